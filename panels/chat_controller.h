// The CHAT and SAVED MESSAGES windows at work: the lines shown in their states,
// the queueing of own messages, the retry pass of the main cycle and the sending
// of every message (radio or web send page), the automatic answer, the chat log.
// It works on the two frames and the CHAT box it is given and reaches the rest
// of the main window only through its hooks; the logic is in panels/chat.h,
// panels/saved_messages.h, links/message_sender.h and internet/message_web_send.h.
#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "panels/chat.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "reception/reception_state.h"

namespace zeblon::internet {
class WebMessageQueue;
}

namespace zeblon {

class ChatService : public QObject {
 public:
  struct Hooks {
    std::function<int()> interfaceKind;
    std::function<bool()> hfDualOn;
    std::function<std::string()> txCall;
    std::function<std::filesystem::path()> dataFolder;
    std::function<reception::LocalTime()> now;
    std::function<bool()> windowActive;  // MainWindowActive
    std::function<void()> focusMap;      // Picture1 takes the focus
    std::function<void(int ms)> pause;   // Timer1 off, Timer2 armed with `ms`
    std::function<void()> stopTimer2;
    std::function<void(bool on, int intervalMs)> setTimer1;  // interval 0: unchanged
    std::function<void()> applyTexts;
    std::function<int()> twipsPerPixelX;
    std::function<bool()> callValid;  // the own call is a valid one (CallValid)
    // Check7 ticked: the internet scan of the MONI 1 stations stops.
    std::function<void()> stopScan;
    // Check7 ticked without radio: the MONI 1 call and MONI 1 internet support
    // (Check22 ticked, the poll time and request count started anew).
    std::function<std::string()> moniOneCall;
    std::function<void()> startMoniOneSupport;
    // The receive side takes AutoAnswerOn and AutoAnswerText anew.
    std::function<void()> autoAnswerChanged;
    // The links: the transmit step, the TNC's port, Pause, the web send page's address.
    std::function<bool(const std::string& infoField)> transmit;
    std::function<bool(const std::string& bytes)> writeTnc;
    std::function<void(float seconds)> pauseSeconds;
    std::function<std::string(const std::string& outgoing)> webSendUrl;
    // The MONI ALL log for the picking of a call.
    const reception::ReceptionState* reception = nullptr;
    // A picked call that the MONI ALL log holds: the station INFO panel on its
    // last record there (index into the log).
    std::function<void(const std::string& call, int index)> showStationInfo;
    // A note for the user that needs no answer (RAW list).
    std::function<void(const std::string& text)> notice;
  };

  // `column`: the CHAT box Check7 and the SHOW SAVED and DELETE SAVED buttons
  // (Command24, Command25) beside it.
  ChatService(panels::ChatFrame& chat, panels::SavedMessagesPanel& saved, panels::ControlColumn& column,
              std::unique_ptr<internet::WebMessageQueue> web, Hooks hooks);
  ~ChatService() override;

  Hooks& hooks() { return h_; }  // the INFO panel sets showStationInfo
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
  void FocusMapIfActive();
  void FocusInput();
  void Log(const std::string& line);
  void TakeCall(const std::string& call);
  panels::ChatQueue::Sent Send(const std::string& outgoing, long lineId);

  panels::ChatFrame& chat_;
  panels::SavedMessagesPanel& saved_;
  platform::CheckBox& check7_;
  Hooks h_;
  panels::ChatQueue queue_;
  panels::AutoAnswer answer_;
  std::unique_ptr<internet::WebMessageQueue> web_;
  int counter_ = 0;
  bool waiting_ = false;
};

}  // namespace zeblon
