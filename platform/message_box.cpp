#include "platform/message_box.h"

#include <QApplication>
#include <QGuiApplication>
#include <QAbstractButton>
#include <QMessageBox>
#include <memory>

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

int& Language() {
  static int language = 1;
  return language;
}

std::string ButtonText(MsgResult button, int language) {
  switch (button) {
    case MsgResult::Ok: return "OK";
    case MsgResult::Cancel: return language == 2 ? "Abbrechen" : language == 3 ? "Avbryt" : "Cancel";
    case MsgResult::Yes: return language == 1 ? "Yes" : "Ja";
    case MsgResult::No: return language == 2 ? "Nein" : language == 3 ? "Nej" : "No";
    case MsgResult::Retry: return language == 2 ? "Wiederholen" : language == 3 ? "F\xF6rs\xF6k igen" : "Retry";
  }
  return "OK";
}

}  // namespace

void SetMessageLanguage(int language) {
  if (language >= 1 && language <= 3) Language() = language;
}

int MessageLanguage() { return Language(); }

std::vector<std::string> ButtonTexts(MsgButtons buttons, int language) {
  std::vector<std::string> texts;
  for (MsgResult b : ButtonsInOrder(buttons)) texts.push_back(ButtonText(b, language));
  return texts;
}

QMessageBox* MakeMessageBox(const MessageRecord& record, QWidget* parent) {
  auto* box =
      new QMessageBox(ToQtIcon(record.icon), ToQ(record.title), ToQ(record.text), ToQtButtons(record.buttons), parent);
  const std::vector<MsgResult> order = ButtonsInOrder(record.buttons);
  for (std::size_t i = 0; i < order.size() && i < record.buttonTexts.size(); ++i) {
    if (QAbstractButton* b = box->button(ToQtButton(order[i]))) b->setText(ToQ(record.buttonTexts[i]));
  }
  box->setDefaultButton(ToQtButton(DefaultAnswer(record.buttons, record.defaultButton)));
  return box;
}

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
  MessageRecord record{text, title, buttons, icon, default_button, ButtonTexts(buttons, Language())};
  Log().push_back(record);
  if (Responder()) return Responder()(record);
  if (IsHeadless()) return DefaultAnswer(buttons, default_button);
  const std::unique_ptr<QMessageBox> box(MakeMessageBox(record, QApplication::activeWindow()));
  return FromQtButton(box->exec(), buttons);
}

void ShowNote(const std::string& text, const std::string& title, MsgIcon icon, QWidget* parent) {
  MessageRecord record{text, title, MsgButtons::Ok, icon, 1, ButtonTexts(MsgButtons::Ok, Language())};
  record.modal = false;
  Log().push_back(record);
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
  const QString qtitle = ToQ(title), qtext = ToQ(text);
  if (parent != nullptr) {
    for (QMessageBox* open : parent->findChildren<QMessageBox*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (open->isVisible() && !open->isModal() && open->windowTitle() == qtitle && open->text() == qtext) {
        open->raise();
        return;
      }
    }
  }
  QMessageBox* box = MakeMessageBox(record, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

void SetMessageResponder(MessageResponder responder) { Responder() = std::move(responder); }

const std::vector<MessageRecord>& MessageLog() { return Log(); }

void ClearMessageLog() { Log().clear(); }

}  // namespace platform
