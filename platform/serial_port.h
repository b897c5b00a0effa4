// A serial port as the programs use one: opened by COM port number with a line
// settings text ("9600,N,8,1"), written and read as bytes, polled (no callbacks
// needed), closed.
//
// COM port numbers on Linux: COM n is the device named by the link (or file)
// "COMn" in the program folder when there is one, so a user or a test can point
// any port number at any device (ln -s /dev/ttyUSB0 COM3); otherwise it is
// /dev/ttyS(n-1). A text that is a path ("/dev/ttyUSB0") is taken as it is.
#pragma once

#include <memory>
#include <string>

class QSerialPort;

namespace platform {

// The device of a COM port number.
std::string SerialDeviceForPort(int port_number);

class SerialPort {
 public:
  // The most received bytes the port keeps unread.
  static constexpr long long kReadBufferBytes = 64 * 1024;

  SerialPort();
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens COM `port_number` (or `device` when not empty) with settings such as
  // "9600,N,8,1". Closes the port first when open. False with LastError() set when
  // the port cannot be opened or the settings are not usable.
  bool Open(int port_number, const std::string& settings, const std::string& device = {});
  bool IsOpen() const;
  void Close();

  // Writes bytes; false when the port is closed or the write failed. The bytes are
  // handed to the device before it returns (bounded by `timeout_ms`).
  bool Write(const std::string& bytes, int timeout_ms = 2000);
  // Everything received so far (lets pending port events run first), at most
  // kReadBufferBytes and what the device holds.
  std::string ReadAll();
  // Waits at most `timeout_ms` for more input; true when some arrived.
  bool WaitForInput(int timeout_ms);
  // Bytes received and not yet read.
  long long InBufferCount();
  // Hands what is still buffered to the line, at most `timeout_ms`, and throws away
  // unread input; nothing written is thrown away. Never blocks longer than that, even
  // on a stuck line.
  void Drain(int timeout_ms);

  // True when the device went away under the open port (a USB adapter unplugged,
  // the far end of a pseudo-terminal closed): nothing more can come through it.
  bool LineLost() const;

  const std::string& LastError() const { return last_error_; }
  const std::string& DeviceName() const { return device_; }

 private:
  std::unique_ptr<QSerialPort> port_;
  std::string last_error_;
  std::string device_;
};

// Parses "9600,N,8,1": speed, parity letter, data bits, stop bits. False when unusable.
struct LineSettings {
  int baud = 0;
  char parity = 'N';
  int dataBits = 8;
  int stopBits = 1;
};
bool ParseLineSettings(const std::string& text, LineSettings& out);

}  // namespace platform
