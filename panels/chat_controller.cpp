#include "panels/chat_controller.h"

#include <QFont>
#include <QMouseEvent>
#include <QPalette>

#include "geodesy/text.h"
#include "internet/message_web_send.h"
#include "links/message_sender.h"
#include "panels/saved_messages.h"
#include "platform/qtext.h"
#include "reception/messages.h"
#include "reception/station_record.h"
#include "settings/interface_kind.h"
#include "settings/text_files.h"

namespace zeblon {

namespace {

// Chat texts hold code page 850 bytes: shown as the characters they are there.
QString DosToQ(std::string_view text) {
  QString q;
  q.reserve(static_cast<qsizetype>(text.size()));
  for (char c : text) q.append(QChar(panels::DosCharToUnicode(static_cast<unsigned char>(c))));
  return q;
}

template <typename F, typename... A>
void Call(const F& f, A&&... a) {
  if (f) f(std::forward<A>(a)...);
}

}  // namespace

ChatService::ChatService(panels::ChatFrame& chat, panels::SavedMessagesPanel& saved, panels::ControlColumn& column,
                         std::unique_ptr<internet::WebMessageQueue> web, Hooks hooks)
    : chat_(chat), saved_(saved), check7_(*column.Check7), h_(std::move(hooks)) {
  web_ = std::move(web);
  queue_.changed = [this] { ShowLines(); };
  queue_.dropped = [this](const std::string& line) {
    Call(h_.notice, "CHAT MESSAGE DROPPED FROM THE QUEUE: " + Trim(line));
  };
  queue_.window.visible = [this] { return !chat_.isHidden(); };
  queue_.window.meOnly = [this] { return chat_.Check8->Value() == 1; };
  queue_.window.openForUser = [this] {
    check7_.SetValue(1);
    chat_.show();
    chat_.raise();
    chat_.Check8->SetValue(1);
  };
  queue_.window.queueMessage = [this](const std::string& addressee, const std::string& text) {
    // The automatic answer: the receive side gives the text (as sent) with its "AA: ".
    const std::string typed = panels::DosTextToTyped(text);
    if (answer_.on) answer_.text = typed;
    chat_.Text2->SetText(addressee);
    chat_.Text3->SetText(typed);
    chat_.Text3->KeyDown(13, 0);
  };

  // The lines and boxes in the program's fixed-pitch font, so the columns stand under the header.
  QFont font(QStringLiteral("QW7_T6"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  chat_.setFont(font);  // the caption (the header) and every line and box in it
  saved_.Text5->setFont(font);
  QPalette p = saved_.Text5->palette();
  p.setColor(QPalette::Base, ::platform::PlatformColour(0xB0C0A8));
  saved_.Text5->setPalette(p);

  chat_.Text3->OnKeyDown = [this](int key, int shift) { MessageKeyDown(key, shift); };
  chat_.Text2->OnKeyDown = [this](int key, int shift) { AddresseeKeyDown(key, shift); };
  chat_.Text2->OnChange = [this] { Call(h_.pause, 6000); };
  chat_.Text2->OnClick = [this] { Call(h_.pause, 2000); };
  chat_.Text3->OnChange = [this] {
    if (!answer_.on) Call(h_.pause, 6000);
  };
  chat_.Text3->OnClick = [this] { Call(h_.pause, 2000); };
  chat_.Check8->OnClick = [this] { SwitchMeOnly(); };
  column.Command24->OnClick = [this] { ShowSavedMessages(); };
  column.Command25->OnClick = [this] { DeleteSavedMessages(); };
  chat_.Command27->OnClick = [this] { CloseChat(); };
  saved_.Command28->OnClick = [this] { CloseSavedMessages(); };
  check7_.OnClick = [this] { ShowOrHideChat(); };
  for (QWidget* w : chat_.Text1) w->installEventFilter(this);
  saved_.Text5->viewport()->installEventFilter(this);
  ShowLines();
}

ChatService::~ChatService() = default;

std::string ChatService::AnswerTextSent() const { return panels::TypedTextToDos(answer_.text); }

bool ChatService::WebSendNoticeShown() const { return web_->ShowsNotice(); }

void ChatService::WebNoticeTaken() { web_->NoticeTaken(); }

bool ChatService::NoRadio() const {
  return h_.interfaceKind && InterfaceKindOf(h_.interfaceKind()) == InterfaceKind::NoRadio;
}

void ChatService::FocusMapIfActive() {
  if (h_.windowActive && h_.windowActive()) Call(h_.focusMap);
}

void ChatService::FocusInput() {
  if (NoRadio()) return;
  if (!chat_.Text2->Text().empty())
    chat_.Text3->setFocus();
  else
    chat_.Text2->setFocus();
}

void ChatService::ShowLines() {
  for (int i = 0; i < 8; ++i) {
    const panels::ChatLine& l = queue_.At(i);
    ::platform::TextBox* box = chat_.Text1[static_cast<std::size_t>(i)];
    QPalette p = box->palette();
    p.setColor(QPalette::Text, ::platform::PlatformColour(l.colour));
    // A line whose last transmission did not go out stands on a pale red ground.
    p.setColor(QPalette::Base, l.failed ? QColor(255, 208, 208) : chat_.palette().color(QPalette::Window));
    box->setPalette(p);
    box->setToolTip(l.failed ? QStringLiteral("NOT SENT - IT IS TRIED AGAIN") : QString());
    box->setText(DosToQ(l.text));
    box->setCursorPosition(0);
  }
}

void ChatService::Log(const std::string& line) {
  const reception::LocalTime t = h_.now ? h_.now() : reception::LocalTime{};
  const std::filesystem::path dataFolder = h_.dataFolder ? h_.dataFolder() : std::filesystem::path();
  if (!reception::AppendToFile(reception::ChatLogPath(dataFolder), reception::ChatLogLine(t, line)))
    Call(h_.notice, "CANNOT WRITE THE CHAT LOG " + reception::ChatLogPath(dataFolder).string());
}

// ---------------------------------------------------------------------------
// Sending

panels::ChatQueue::Sent ChatService::Send(const std::string& outgoing, long lineId) {
  links::MessageLink l;
  l.interfaceKind = h_.interfaceKind ? h_.interfaceKind() : ModemNumber(InterfaceKind::NoRadio);
  l.hfDualOn = h_.hfDualOn && h_.hfDualOn();
  l.transmit = h_.transmit;
  l.writeTnc = h_.writeTnc;
  l.pause = h_.pauseSeconds;
  l.web = [this, lineId](const std::string& out) {
    const std::string url = h_.webSendUrl ? h_.webSendUrl(out) : std::string();
    web_->Send(url, [this, lineId](bool sent, const std::string&) {
      if (lineId != 0) queue_.WebOutcome(lineId, sent);
    });
  };
  switch (links::SendAprsMessage(l, outgoing)) {
    case links::MessageSent::Yes: return panels::ChatQueue::Sent::Yes;
    case links::MessageSent::No: return panels::ChatQueue::Sent::No;
    case links::MessageSent::ToWeb: return panels::ChatQueue::Sent::Later;
  }
  return panels::ChatQueue::Sent::No;
}

void ChatService::SendAprsMessage(const std::string& outgoing) {
  // Nothing is sent by itself under a call that cannot be a licensed one.
  if (!h_.callValid || h_.callValid()) Send(outgoing, 0);
  waiting_ = false;  // OutgoingMessage is handed on
}

void ChatService::SendPendingMessages() {
  Call(h_.setTimer1, false, 0);
  waiting_ = false;
  queue_.RetryPass([this](const std::string& info, long id) { return Send(info, id); });
  Call(h_.setTimer1, true, 0);
}

void ChatService::QueueChatMessage() {
  const std::string txCall = h_.txCall ? h_.txCall() : std::string();
  // Typed characters go out in code page 850 (Text3_KeyPress), as other stations of this program read them.
  const auto m = panels::BuildChatMessage(chat_.Text2->Text(), panels::TypedTextToDos(chat_.Text3->Text()), txCall,
                                          counter_, NoRadio());
  if (!m) {
    // Nothing to send, or no one to send it to: the box that lacks it gets the focus.
    if (Trim(chat_.Text2->Text()).empty() && !chat_.Text3->Text().empty()) {
      chat_.Text2->setFocus();
      chat_.Text2->selectAll();
    }
    return;
  }
  Call(h_.stopTimer2);
  Call(h_.setTimer1, false, 0);
  waiting_ = true;
  queue_.Add(m->line, m->colour);
  Log(m->line);
  if (!answer_.on) chat_.Text3->SetText("");
  chat_.Text3->setFocus();
  Call(h_.setTimer1, true, 0);
}

// ---------------------------------------------------------------------------
// Handlers

void ChatService::MessageKeyDown(int key_code, int) {
  Call(h_.pause, 2000);
  if (key_code != 13) return;
  if (!answer_.on) {
    QueueChatMessage();
    return;
  }
  if (Trim(chat_.Text2->Text()).empty()) {
    chat_.Text3->SetText(answer_.Store(chat_.Text3->Text()));
    // The box holds at most 60 characters: the answer is what it shows, the text
    // every answer then carries and the receive side looks for among the lines;
    // a character code page 850 lacks is kept as the stand-in every answer sends.
    answer_.text = panels::DosTextToTyped(panels::TypedTextToDos(chat_.Text3->Text()));
    Call(h_.autoAnswerChanged);
    return;
  }
  QueueChatMessage();
}

void ChatService::AddresseeKeyDown(int key_code, int) {
  Call(h_.pause, 2000);
  if (key_code == 13) chat_.Text3->setFocus();
}

void ChatService::ShowOrHideChat() {
  if (check7_.Value() != 1) {
    chat_.hide();
    FocusMapIfActive();
    return;
  }
  chat_.show();
  chat_.raise();
  FocusInput();
  Call(h_.stopScan);
  if (NoRadio()) {
    chat_.Check16->SetValue(0);
    chat_.Text2->SetText(h_.moniOneCall ? h_.moniOneCall() : std::string());
    chat_.Text2->setEnabled(false);
    Call(h_.startMoniOneSupport);
  }
  Call(h_.applyTexts);
}

void ChatService::SwitchMeOnly() { FocusInput(); }

bool ChatService::SwitchAutoAnswer() {
  if (chat_.Check16->Value() == 1 && h_.callValid && !h_.callValid()) {
    // Without a valid own call nothing is answered automatically: the box, hidden
    // where the user could not switch it off, goes off again.
    chat_.Check8->SetValue(1);
    chat_.Check8->setEnabled(false);
    chat_.Check16->setEnabled(false);
    chat_.Check16->hide();
    chat_.Text2->setEnabled(false);
    chat_.Check16->SetValue(0);  // runs the box's handler again, which switches the answer off
    return false;
  }
  const int tpp = h_.twipsPerPixelX && h_.twipsPerPixelX() > 0 ? h_.twipsPerPixelX() : 15;
  ::platform::CheckBox* box = chat_.Check16;
  if (box->Value() == 1) {
    chat_.Text2->SetText("");
    const std::string text = answer_.SwitchOn(NoRadio());
    chat_.Text3->SetText(text);
    box->SetCaption("AUTO ANSWER TEXT:");
    box->resize(2385 / tpp, box->height());
    Call(h_.applyTexts);
    if (!chat_.isHidden()) chat_.Text3->setFocus();
  } else {
    chat_.Text2->SetText("");
    chat_.Text3->SetText("");
    box->SetCaption("AUTO-A");
    box->resize(1095 / tpp, box->height());
    Call(h_.applyTexts);
    FocusMapIfActive();
    answer_.SwitchOff();
  }
  Call(h_.autoAnswerChanged);
  return true;
}

void ChatService::ShowSavedMessages() {
  Call(h_.stopTimer2);
  Call(h_.setTimer1, false, 0);
  Call(h_.setTimer1, true, 30000);  // the next full tick closes the window
  const std::filesystem::path dataFolder = h_.dataFolder ? h_.dataFolder() : std::filesystem::path();
  const panels::SavedLog log = panels::ShowSavedLog(reception::ChatLogPath(dataFolder));
  if (!log.ok) Call(h_.notice, log.error);
  std::string shown;
  shown.reserve(log.text.size());
  for (char c : log.text)
    if (c != '\r') shown += c;
  saved_.Text5->setPlainText(DosToQ(shown));
  saved_.show();
  saved_.raise();
  if (!NoRadio()) {
    if (chat_.Text2->Text().empty())
      chat_.Text2->setFocus();
    else
      chat_.Text3->setFocus();
  }
}

void ChatService::DeleteSavedMessages() {
  std::vector<std::string> lines;
  for (int i = 0; i < 8; ++i) lines.push_back(queue_.At(i).text);
  const std::filesystem::path dataFolder = h_.dataFolder ? h_.dataFolder() : std::filesystem::path();
  std::string error;
  const reception::LocalTime t = h_.now ? h_.now() : reception::LocalTime{};
  if (!panels::DeleteSavedLog(reception::ChatLogPath(dataFolder), lines, t, &error)) Call(h_.notice, error);
  saved_.hide();
  FocusMapIfActive();
}

void ChatService::CloseChat() {
  check7_.SetValue(0);
  queue_.GiveUpPending();
  chat_.hide();
  saved_.hide();
  FocusMapIfActive();
}

void ChatService::CloseSavedMessages() {
  saved_.hide();
  Call(h_.setTimer1, false, 0);
  Call(h_.setTimer1, true, 1000);
  FocusMapIfActive();
}

void ChatService::TakeCall(const std::string& call) {
  if (call.size() >= 3) {
    chat_.Text2->SetText(call);
    if (h_.reception != nullptr) {
      const int i =
          panels::LastRecordOfCall(h_.reception->stations.MoniAll(), h_.reception->stations.MoniAllCount(), call);
      if (i > 0) Call(h_.showStationInfo, call, i);
    }
  }
  FocusMapIfActive();
  Call(h_.setTimer1, true, 6000);
}

void ChatService::PickFromLine(int index, int caret) {
  Call(h_.setTimer1, false, 0);
  TakeCall(panels::CallFromChatLine(queue_.At(index).text, caret));
}

void ChatService::PickFromSaved(const std::string& marked) {
  Call(h_.setTimer1, false, 0);
  TakeCall(panels::CallFromMarkedText(marked));
}

bool ChatService::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonRelease) {
    auto* m = static_cast<QMouseEvent*>(e);
    if (m->button() == Qt::LeftButton) {
      for (int i = 0; i < 8; ++i) {
        if (watched == chat_.Text1[static_cast<std::size_t>(i)]) {
          const int caret = chat_.Text1[static_cast<std::size_t>(i)]->cursorPosition();
          PickFromLine(i, caret);
          return false;
        }
      }
      if (watched == saved_.Text5->viewport()) {
        const std::string marked = ::platform::FromQ(saved_.Text5->textCursor().selectedText());
        PickFromSaved(marked);
        return false;
      }
    } else if (m->button() == Qt::RightButton || m->button() == Qt::MiddleButton) {
      for (QWidget* w : chat_.Text1)
        if (watched == w) Call(h_.setTimer1, true, 6000);
    }
  }
  return QObject::eventFilter(watched, e);
}

}  // namespace zeblon
