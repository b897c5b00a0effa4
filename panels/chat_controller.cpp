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

}  // namespace

ChatService::ChatService(panels::ChatFrame& chat, panels::SavedMessagesPanel& saved, panels::ControlColumn& column,
                         std::unique_ptr<internet::WebMessageQueue> web, const reception::ReceptionState& reception,
                         const links::TxIdentity& tx, links::CycleControl& cycle, panels::MapActions& map,
                         panels::ChatPort& port)
    : chat_(chat),
      saved_(saved),
      check7_(*column.Check7),
      reception_(reception),
      tx_(tx),
      cycle_(cycle),
      map_(map),
      port_(port) {
  web_ = std::move(web);
  queue_.changed = [this] { ShowLines(); };
  queue_.dropped = [this](const std::string& line) {
    port_.Notice("CHAT MESSAGE DROPPED FROM THE QUEUE: " + Trim(line));
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
  chat_.Text2->OnChange = [this] { cycle_.ArmPause(6000); };
  chat_.Text2->OnClick = [this] { cycle_.ArmPause(2000); };
  chat_.Text3->OnChange = [this] {
    if (!answer_.on) cycle_.ArmPause(6000);
  };
  chat_.Text3->OnClick = [this] { cycle_.ArmPause(2000); };
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

bool ChatService::NoRadio() const { return InterfaceKindOf(port_.InterfaceKind()) == InterfaceKind::NoRadio; }

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
  const reception::LocalTime t = port_.Now();
  const std::filesystem::path dataFolder = port_.DataFolder();
  if (!reception::AppendToFile(reception::ChatLogPath(dataFolder), reception::ChatLogLine(t, line)))
    port_.Notice("CANNOT WRITE THE CHAT LOG " + reception::ChatLogPath(dataFolder).string());
}

// ---------------------------------------------------------------------------
// Sending

panels::ChatQueue::Sent ChatService::Send(const std::string& outgoing, long lineId) {
  links::MessageLink l;
  l.interfaceKind = port_.InterfaceKind();
  l.hfDualOn = tx_.HfDualOn();
  l.transmit = [this](const std::string& info) { return port_.Transmit(info); };
  l.writeTnc = [this](const std::string& bytes) { return port_.WriteTnc(bytes); };
  l.pause = [this](float seconds) { port_.PauseSeconds(seconds); };
  l.web = [this, lineId](const std::string& out) {
    const std::string url = port_.WebSendUrl(tx_.EffectiveCall(), out);
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
  if (tx_.CallValid()) Send(outgoing, 0);
  waiting_ = false;  // OutgoingMessage is handed on
}

void ChatService::SendPendingMessages() {
  cycle_.StopCycle();
  waiting_ = false;
  queue_.RetryPass([this](const std::string& info, long id) { return Send(info, id); });
  cycle_.StartCycle();
}

void ChatService::QueueChatMessage() {
  const std::string txCall = tx_.EffectiveCall();
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
  cycle_.StopWatchdog();
  cycle_.StopCycle();
  waiting_ = true;
  queue_.Add(m->line, m->colour);
  Log(m->line);
  if (!answer_.on) chat_.Text3->SetText("");
  chat_.Text3->setFocus();
  cycle_.StartCycle();
}

// ---------------------------------------------------------------------------
// Handlers

void ChatService::MessageKeyDown(int key_code, int) {
  cycle_.ArmPause(2000);
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
    port_.AutoAnswerChanged();
    return;
  }
  QueueChatMessage();
}

void ChatService::AddresseeKeyDown(int key_code, int) {
  cycle_.ArmPause(2000);
  if (key_code == 13) chat_.Text3->setFocus();
}

void ChatService::ShowOrHideChat() {
  if (check7_.Value() != 1) {
    chat_.hide();
    map_.FocusMapWhenActive();
    return;
  }
  chat_.show();
  chat_.raise();
  FocusInput();
  port_.StopScan();
  if (NoRadio()) {
    chat_.Check16->SetValue(0);
    chat_.Text2->SetText(reception_.settings.moniOneCall);
    chat_.Text2->setEnabled(false);
    port_.StartMoniOneSupport();
  }
  port_.ApplyTexts();
}

void ChatService::SwitchMeOnly() { FocusInput(); }

bool ChatService::SwitchAutoAnswer() {
  if (chat_.Check16->Value() == 1 && !tx_.CallValid()) {
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
  const int twips = port_.TwipsPerPixelX();
  const int tpp = twips > 0 ? twips : 15;
  ::platform::CheckBox* box = chat_.Check16;
  if (box->Value() == 1) {
    chat_.Text2->SetText("");
    const std::string text = answer_.SwitchOn(NoRadio());
    chat_.Text3->SetText(text);
    box->SetCaption("AUTO ANSWER TEXT:");
    box->resize(2385 / tpp, box->height());
    port_.ApplyTexts();
    if (!chat_.isHidden()) chat_.Text3->setFocus();
  } else {
    chat_.Text2->SetText("");
    chat_.Text3->SetText("");
    box->SetCaption("AUTO-A");
    box->resize(1095 / tpp, box->height());
    port_.ApplyTexts();
    map_.FocusMapWhenActive();
    answer_.SwitchOff();
  }
  port_.AutoAnswerChanged();
  return true;
}

void ChatService::ShowSavedMessages() {
  cycle_.StopWatchdog();
  cycle_.StopCycle();
  cycle_.SetCycleInterval(30000);  // the next full tick closes the window
  cycle_.StartCycle();
  const panels::SavedLog log = panels::ShowSavedLog(reception::ChatLogPath(port_.DataFolder()));
  if (!log.ok) port_.Notice(log.error);
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
  const std::filesystem::path dataFolder = port_.DataFolder();
  std::string error;
  const reception::LocalTime t = port_.Now();
  if (!panels::DeleteSavedLog(reception::ChatLogPath(dataFolder), lines, t, &error)) port_.Notice(error);
  saved_.hide();
  map_.FocusMapWhenActive();
}

void ChatService::CloseChat() {
  check7_.SetValue(0);
  queue_.GiveUpPending();
  chat_.hide();
  saved_.hide();
  map_.FocusMapWhenActive();
}

void ChatService::CloseSavedMessages() {
  saved_.hide();
  cycle_.StopCycle();
  cycle_.SetCycleInterval(1000);
  cycle_.StartCycle();
  map_.FocusMapWhenActive();
}

void ChatService::TakeCall(const std::string& call) {
  if (call.size() >= 3) {
    chat_.Text2->SetText(call);
    const int i = panels::LastRecordOfCall(reception_.stations.MoniAll(), reception_.stations.MoniAllCount(), call);
    if (i > 0) port_.ShowStationInfo(call, i);
  }
  map_.FocusMapWhenActive();
  cycle_.SetCycleInterval(6000);
  cycle_.StartCycle();
}

void ChatService::PickFromLine(int index, int caret) {
  cycle_.StopCycle();
  TakeCall(panels::CallFromChatLine(queue_.At(index).text, caret));
}

void ChatService::PickFromSaved(const std::string& marked) {
  cycle_.StopCycle();
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
      for (QWidget* w : chat_.Text1) {
        if (watched != w) continue;
        cycle_.SetCycleInterval(6000);
        cycle_.StartCycle();
      }
    }
  }
  return QObject::eventFilter(watched, e);
}

}  // namespace zeblon
