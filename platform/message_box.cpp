#include "platform/message_box.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include "platform/qtext.h"

namespace platform {
namespace {

MessageResponder& Responder() {
  static MessageResponder responder;
  return responder;
}

std::vector<MessageRecord>& Log() {
  static std::vector<MessageRecord> log;
  return log;
}

QMessageBox::StandardButtons ToQtButtons(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return QMessageBox::Ok;
    case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::None: return QMessageBox::NoIcon;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

MsgResult FromQtButton(int button, MsgButtons buttons) {
  switch (button) {
    case QMessageBox::Ok: return MsgResult::Ok;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Retry: return MsgResult::Retry;
    default: break;
  }
  // Closed with the window's close box: the cancel-like answer where there is one.
  switch (buttons) {
    case MsgButtons::Ok: return MsgResult::Ok;
    case MsgButtons::YesNo: return MsgResult::No;
    default: return MsgResult::Cancel;
  }
}

std::vector<MsgResult> ButtonsInOrder(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return {MsgResult::Ok};
    case MsgButtons::OkCancel: return {MsgResult::Ok, MsgResult::Cancel};
    case MsgButtons::YesNo: return {MsgResult::Yes, MsgResult::No};
    case MsgButtons::YesNoCancel: return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
    case MsgButtons::RetryCancel: return {MsgResult::Retry, MsgResult::Cancel};
  }
  return {MsgResult::Ok};
}

QMessageBox::StandardButton ToQtButton(MsgResult result) {
  switch (result) {
    case MsgResult::Ok: return QMessageBox::Ok;
    case MsgResult::Cancel: return QMessageBox::Cancel;
    case MsgResult::Yes: return QMessageBox::Yes;
    case MsgResult::No: return QMessageBox::No;
    case MsgResult::Retry: return QMessageBox::Retry;
  }
  return QMessageBox::Ok;
}

}  // namespace

MsgResult DefaultAnswer(MsgButtons buttons, int default_button) {
  const std::vector<MsgResult> order = ButtonsInOrder(buttons);
  if (default_button < 1 || default_button > static_cast<int>(order.size())) default_button = 1;
  return order[default_button - 1];
}

bool IsHeadless() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return true;
  const QString name = QGuiApplication::platformName();
  return name == "offscreen" || name == "minimal";
}

MsgResult MsgBox(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon,
                 int default_button) {
  MessageRecord record{text, title, buttons, icon, default_button};
  Log().push_back(record);
  if (Responder()) return Responder()(record);
  const MsgResult preset = DefaultAnswer(buttons, default_button);
  if (IsHeadless()) return preset;
  QMessageBox box(ToQtIcon(icon), ToQ(title), ToQ(text), ToQtButtons(buttons), QApplication::activeWindow());
  box.setDefaultButton(ToQtButton(preset));
  return FromQtButton(box.exec(), buttons);
}

void SetMessageResponder(MessageResponder responder) { Responder() = std::move(responder); }

const std::vector<MessageRecord>& MessageLog() { return Log(); }

void ClearMessageLog() { Log().clear(); }

}  // namespace platform
