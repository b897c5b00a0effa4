#include "panels/terminal.h"

#include <QKeyEvent>

#include "platform/qtext.h"
#include "platform/serial_port.h"

namespace zeblon::panels {

std::string TerminalBoxText(const std::string& text) {
  return text.size() > 1000 ? text.substr(text.size() - 300) : text;
}

int TerminalKeyByte(int key, const std::string& text) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return 13;
  if (key == Qt::Key_Backspace) return 8;
  if (text.size() == 1) return static_cast<unsigned char>(text[0]);
  return -1;
}

Terminal::Terminal(TerminalPanel& panel, platform::SerialPort& port, QObject* parent)
    : QObject(parent), panel_(panel), port_(&port) {
  input_ = panel_.Text19;
  input_->installEventFilter(this);
  // The output box never keeps the focus: a click into it returns to the input box.
  panel_.Text20->setReadOnly(true);
  panel_.Text20->setFocusPolicy(Qt::NoFocus);
  panel_.Command66->SetCaption("CLOSE TERMINAL WINDOW  |x");
  panel_.Command66->setGeometry(412, 386, 220, 22);
  panel_.Command66->OnClick = [this] { Close(); };
  poll_.setInterval(50);
  connect(&poll_, &QTimer::timeout, this, [this] { Receive(); });
}

void Terminal::Open() {
  panel_.Text19->SetText("");
  panel_.Text20->SetText("");
  panel_.show();
  panel_.raise();
  panel_.Text19->setFocus();
  poll_.start();
}

void Terminal::Close() {
  poll_.stop();
  panel_.hide();
  if (OnClosed) OnClosed();
}

bool Terminal::IsOpen() const { return !panel_.isHidden(); }

void Terminal::KeyPressed(int byte) {
  platform::TextBox* in = panel_.Text19;
  in->end(false);
  if (port_->IsOpen()) port_->Write(std::string(1, static_cast<char>(byte)));
  const std::string text = in->Text();
  if (text.size() > 1000) {
    in->SetText(TerminalBoxText(text));
    in->end(false);
  }
}

void Terminal::Receive() {
  if (!IsOpen() || !port_->IsOpen() || port_->InBufferCount() <= 0) return;
  platform::TextArea* out = panel_.Text20;
  out->SetText(TerminalBoxText(out->Text() + port_->ReadAll()));
  out->moveCursor(QTextCursor::End);
  out->ensureCursorVisible();
  panel_.Text19->setFocus();
}

bool Terminal::eventFilter(QObject* watched, QEvent* e) {
  // The panel is not asked for its box here: events still come while it is being destroyed.
  if (watched == input_ && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    const int byte = TerminalKeyByte(k->key(), platform::FromQ(k->text()));
    if (byte >= 0) KeyPressed(byte);
  }
  return QObject::eventFilter(watched, e);  // the box still takes the key: the local echo
}

}  // namespace zeblon::panels
