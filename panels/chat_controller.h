// The CHAT and SAVED MESSAGES windows at work: the lines shown in their states,
// the queueing of own messages, the retry pass of the main cycle and the sending
// of every message (radio or web send page), the automatic answer, the chat log.
// It works on the two frames and the CHAT box it is given, holds and resumes the
// main cycle and focuses the map through the shared ports, and reaches the rest
// of the main window through its own port; the logic is in panels/chat.h,
// panels/saved_messages.h, links/message_sender.h and internet/message_web_send.h.
#pragma once

#include <QObject>
#include <filesystem>
#include <memory>
#include <string>

#include "links/cycle_control.h"
#include "links/tx_identity.h"
#include "panels/chat.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/map_actions.h"
#include "reception/reception_state.h"

namespace zeblon::internet {
class WebMessageQueue;
}

namespace zeblon::panels {

// What the CHAT and SAVED MESSAGES windows need of the rest of the program
// besides the main cycle and the map.
class ChatPort {
 public:
  virtual ~ChatPort() = default;
  // The settings' interface kind (the modem number).
  virtual int InterfaceKind() const = 0;
  // The map system's data folder, which holds the chat log.
  virtual std::filesystem::path DataFolder() const = 0;
  // The computer clock's local time, for the chat log's lines.
  virtual reception::LocalTime Now() const = 0;
  // Every caption and tooltip in the language of the settings.
  virtual void ApplyTexts() = 0;
  virtual int TwipsPerPixelX() const = 0;
  // Check7 ticked: the internet scan of the MONI 1 stations stops.
  virtual void StopScan() = 0;
  // Check7 ticked without radio: MONI 1 internet support on (Check22 ticked, the
  // poll time and request count started anew).
  virtual void StartMoniOneSupport() = 0;
  // The receive side takes AutoAnswerOn and AutoAnswerText anew.
  virtual void AutoAnswerChanged() = 0;
  // The links: the transmit step (false: nothing went out), the TNC's port,
  // Pause, the web send page's address for a message from the call `from`.
  virtual bool Transmit(const std::string& info_field) = 0;
  virtual bool WriteTnc(const std::string& bytes) = 0;
  virtual void PauseSeconds(float seconds) = 0;
  virtual std::string WebSendUrl(const std::string& from, const std::string& outgoing) = 0;
  // A picked call that the MONI ALL log holds: the station INFO panel on its
  // last record there (index into the log).
  virtual void ShowStationInfo(const std::string& call, int index) = 0;
  // A note for the user that needs no answer (RAW list).
  virtual void Notice(const std::string& text) = 0;
};

}  // namespace zeblon::panels

namespace zeblon {

class ChatService : public QObject {
 public:
  // `column`: the CHAT box Check7 and the SHOW SAVED and DELETE SAVED buttons
  // (Command24, Command25) beside it.
  // `reception`: the MONI ALL log a picked call is looked up in, and the MONI 1
  // call of the receive settings; `tx`: the call the own messages go out under,
  // the HF dual mode and whether the own call can be a licensed one.
  ChatService(panels::ChatFrame& chat, panels::SavedMessagesPanel& saved, panels::ControlColumn& column,
              std::unique_ptr<internet::WebMessageQueue> web, const reception::ReceptionState& reception,
              const links::TxIdentity& tx, links::CycleControl& cycle, panels::MapActions& map, panels::ChatPort& port);
  ~ChatService() override;

  panels::ChatQueue& Queue() { return queue_; }
  panels::AutoAnswer& Answer() { return answer_; }
  // AutoAnswerText as the answer goes out (code page 850), for the receive side.
  std::string AnswerTextSent() const;
  internet::WebMessageQueue& Web() { return *web_; }
  // The internet notice shows the web send of a message (sending or its failure).
  bool WebSendNoticeShown() const;
  // A web poll showed its notice over the send's.
  void WebNoticeTaken();
  int MessageCounter() const { return counter_; }
  // OutgoingMessage is set: a message was queued and has not been sent yet.
  bool MessageWaiting() const { return waiting_; }

  // The main cycle's retry pass (SendPendingMessages).
  void SendPendingMessages();
  // The receive side's acknowledgements and replies; nothing while the own call
  // is not a valid one.
  void SendAprsMessage(const std::string& outgoing);
  // QueueChatMessage: the two boxes' message as the newest pending line.
  void QueueChatMessage();

  // The handlers.
  void MessageKeyDown(int key_code, int shift);    // Text3
  void AddresseeKeyDown(int key_code, int shift);  // Text2
  void ShowOrHideChat();                           // Check7, CHAT
  void SwitchMeOnly();                             // Check8, ME!
  // The AUTO-A box (Check16) switched; false when it was refused and went off
  // again (no valid own call).
  bool SwitchAutoAnswer();     // Check16, AUTO-A
  void ShowSavedMessages();    // Command24, SHOW SAVED
  void DeleteSavedMessages();  // Command25, DELETE SAVED
  void CloseChat();            // Command27, close, pending lines given up
  void CloseSavedMessages();   // Command28, close SAVED MESSAGES
  // A call picked with the left button from chat line `index` at the caret
  // position, or from the marked saved text.
  void PickFromLine(int index, int caret);
  void PickFromSaved(const std::string& marked);

  // The lines into the eight boxes with their colours.
  void ShowLines();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  bool NoRadio() const;
  void FocusInput();
  void Log(const std::string& line);
  void TakeCall(const std::string& call);
  panels::ChatQueue::Sent Send(const std::string& outgoing, long lineId);

  panels::ChatFrame& chat_;
  panels::SavedMessagesPanel& saved_;
  platform::CheckBox& check7_;
  const reception::ReceptionState& reception_;
  const links::TxIdentity& tx_;
  links::CycleControl& cycle_;
  panels::MapActions& map_;
  panels::ChatPort& port_;
  panels::ChatQueue queue_;
  panels::AutoAnswer answer_;
  std::unique_ptr<internet::WebMessageQueue> web_;
  int counter_ = 0;
  bool waiting_ = false;
};

}  // namespace zeblon
