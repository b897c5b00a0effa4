#include "platform/serial_port.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <charconv>
#include <filesystem>
#include <vector>

#include "platform/paths.h"

namespace platform {

namespace fs = std::filesystem;

std::string SerialDeviceForPort(int port_number) {
  const fs::path link = ProgramFolder() / ("COM" + std::to_string(port_number));
  if (auto found = ResolveCaseInsensitive(link)) return found->string();
  return "/dev/ttyS" + std::to_string(port_number - 1);
}

bool ParseLineSettings(const std::string& text, LineSettings& out) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : text) {
    if (c == ',') {
      parts.push_back(cur);
      cur.clear();
    } else if (c != ' ') {
      cur.push_back(c);
    }
  }
  parts.push_back(cur);
  if (parts.size() != 4) return false;
  auto num = [](const std::string& s, int& v) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
  };
  LineSettings ls;
  if (!num(parts[0], ls.baud) || ls.baud <= 0) return false;
  if (parts[1].size() != 1) return false;
  ls.parity = static_cast<char>(std::toupper(static_cast<unsigned char>(parts[1][0])));
  if (ls.parity != 'N' && ls.parity != 'E' && ls.parity != 'O') return false;
  if (!num(parts[2], ls.dataBits) || ls.dataBits < 5 || ls.dataBits > 8) return false;
  if (!num(parts[3], ls.stopBits) || (ls.stopBits != 1 && ls.stopBits != 2)) return false;
  out = ls;
  return true;
}

SerialPort::SerialPort() = default;

SerialPort::~SerialPort() { Close(); }

bool SerialPort::Open(int port_number, const std::string& settings, const std::string& device) {
  Close();
  last_error_.clear();
  LineSettings ls;
  if (!ParseLineSettings(settings, ls)) {
    last_error_ = "UNUSABLE PORT SETTINGS " + settings;
    return false;
  }
  device_ = device.empty() ? SerialDeviceForPort(port_number) : device;
  port_ = std::make_unique<QSerialPort>();
  port_->setPortName(QString::fromStdString(device_));
  if (!port_->open(QIODevice::ReadWrite)) {
    last_error_ = "CANNOT OPEN " + device_ + ": " + port_->errorString().toStdString();
    port_.reset();
    return false;
  }
  port_->setBaudRate(ls.baud);
  port_->setParity(ls.parity == 'E'   ? QSerialPort::EvenParity
                   : ls.parity == 'O' ? QSerialPort::OddParity
                                      : QSerialPort::NoParity);
  port_->setDataBits(static_cast<QSerialPort::DataBits>(ls.dataBits));
  port_->setStopBits(ls.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
  port_->setFlowControl(QSerialPort::NoFlowControl);
  // A device that sends without end fills the port's buffer no further: the
  // rest waits in the device until the buffer is read.
  port_->setReadBufferSize(kReadBufferBytes);
  return true;
}

bool SerialPort::IsOpen() const { return port_ && port_->isOpen(); }

bool SerialPort::LineLost() const {
  // A pulled USB adapter shows as a resource error; a pseudo-terminal whose far end
  // closed fails every read (EIO) instead.
  return port_ && (port_->error() == QSerialPort::ResourceError || port_->error() == QSerialPort::ReadError);
}

void SerialPort::Close() {
  if (port_) {
    port_->close();
    port_.reset();
  }
}

bool SerialPort::Write(const std::string& bytes, int timeout_ms) {
  if (!IsOpen()) return false;
  const qint64 n = port_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  if (n != static_cast<qint64>(bytes.size())) {
    last_error_ = "WRITE FAILED ON " + device_;
    return false;
  }
  QElapsedTimer t;
  t.start();
  while (port_->bytesToWrite() > 0 && t.elapsed() < timeout_ms) {
    if (!port_->waitForBytesWritten(static_cast<int>(timeout_ms - t.elapsed()))) break;
  }
  if (port_->bytesToWrite() > 0) {
    last_error_ = "WRITE TIMED OUT ON " + device_;
    return false;
  }
  return true;
}

std::string SerialPort::ReadAll() {
  if (!IsOpen()) return {};
  port_->waitForReadyRead(0);
  const QByteArray data = port_->readAll();
  return std::string(data.constData(), static_cast<size_t>(data.size()));
}

bool SerialPort::WaitForInput(int timeout_ms) {
  if (!IsOpen()) return false;
  if (port_->bytesAvailable() > 0) return true;
  return port_->waitForReadyRead(timeout_ms);
}

long long SerialPort::InBufferCount() {
  if (!IsOpen()) return 0;
  port_->waitForReadyRead(0);
  return port_->bytesAvailable();
}

void SerialPort::Drain(int timeout_ms) {
  if (!IsOpen()) return;
  QElapsedTimer t;
  t.start();
  while (port_->bytesToWrite() > 0 && t.elapsed() < timeout_ms) {
    port_->waitForBytesWritten(static_cast<int>(std::max<qint64>(1, timeout_ms - t.elapsed())));
  }
  // Only the input is thrown away: what was written stays in the line's buffer and
  // still goes out (flushing the output would lose the last commands sent).
  port_->clear(QSerialPort::Input);
  port_->readAll();
}

}  // namespace platform
