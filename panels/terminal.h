// The terminal window (Frame19) at work: every key typed into the input box goes
// to the TNC at once as one byte, and what the TNC sends shows in the output box,
// while the window holds the main cycle. A port that is not open takes no key
// (the key still shows as typed); nothing is read from it.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

#include "panels/frames.h"

namespace platform {
class SerialPort;
}

namespace zeblon::panels {

// A box's text after more was added: beyond 1000 characters only the last 300 stay.
std::string TerminalBoxText(const std::string& text);

// The byte a key sends: Enter CR, Backspace BS, a character its Windows-1252 byte;
// -1 for a key without a character.
int TerminalKeyByte(int qt_key, const std::string& text_bytes);

class Terminal : public QObject {
  Q_OBJECT
 public:
  Terminal(TerminalPanel& panel, platform::SerialPort& port, QObject* parent = nullptr);

  // TERM (and F2, and the window's activation and resize while it is open): both
  // boxes emptied, the frame shown, the input box focused, the port read.
  void Open();
  // The close button: no more reading, the frame hidden, then OnClosed.
  void Close();
  bool IsOpen() const;
  // A key in the input box (before the box takes it): the byte sent.
  void KeyPressed(int byte);
  // The port's waiting text into the output box.
  void Receive();

  // The port of another radio link (the window's link set anew).
  void SetPort(platform::SerialPort& port) { port_ = &port; }

  std::function<void()> OnClosed;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  TerminalPanel& panel_;
  QObject* input_ = nullptr;  // the panel's input box, whose keys are watched
  platform::SerialPort* port_;
  QTimer poll_;  // the receive events: every 50 ms while the terminal is open
};

}  // namespace zeblon::panels
