// The CHAT and SAVED MESSAGES windows joined to the main window: thin glue
// between the frames, the main cycle, the links and panels/chat_controller.
// form1.h comes first: the page fetcher's namespace would hide the controls' one.
#include "main_window/form1.h"

#include "internet/message_web_send.h"
#include "internet/web_polls.h"
#include "internet/web_requests.h"
#include "platform/wait.h"
#include "settings/interface_kind.h"

namespace zeblon {

void Form1::WireChat() {
  ChatService::Hooks h;
  h.interfaceKind = [this] { return static_cast<int>(settings_.InterfaceKind); };
  h.hfDualOn = [this] { return shell_.HfDualOn == 1; };
  h.txCall = [this] { return shell_.TxCall.empty() ? settings_.UserCall : shell_.TxCall; };
  h.dataFolder = [this] { return std::filesystem::path(data_folder_); };
  h.now = [] { return ComputerClockNow(); };
  h.windowActive = [this] { return isActiveWindow(); };
  h.focusMap = [this] { Picture1->setFocus(); };
  h.pause = [this](int ms) { ArmPause(ms); };
  h.stopTimer2 = [this] { Timer2->stop(); };
  h.setTimer1 = [this](bool on, int interval_ms) {
    if (interval_ms > 0) Timer1->setInterval(interval_ms);
    on ? cycle_->Start() : cycle_->Stop();
  };
  h.applyTexts = [this] { ApplyLanguageTexts(); };
  h.twipsPerPixelX = [this] { return static_cast<int>(shell_.TwipsPerPixelX); };
  h.callValid = [this] { return shell_.CallValid != 0; };
  h.stopScan = [this] { Internet().StopScan(); };
  h.moniOneCall = [this] { return reception_.settings.moniOneCall; };
  h.startMoniOneSupport = [this] {
    column_->Check22->SetValue(1);
    Internet().RestartPollLimit();
  };
  h.autoAnswerChanged = [this] {
    reception_.settings.autoAnswerOn =
        chat_service_->Answer().on && InterfaceKindOf(settings_.InterfaceKind) != InterfaceKind::NoRadio;
    reception_.settings.autoAnswerText = chat_service_->AnswerTextSent();
  };
  h.transmit = [this](const std::string& info) { return RadioLink().Transmit(info); };
  h.writeTnc = [this](const std::string& bytes) { return RadioLink().State().MSComm1.Write(bytes); };
  h.pauseSeconds = [](float s) { ::platform::Pause(s); };
  h.webSendUrl = [this](const std::string& outgoing) {
    const std::string from = shell_.TxCall.empty() ? settings_.UserCall : shell_.TxCall;
    return internet::SendMessageUrl(Internet().Web().Sources(), from, outgoing);
  };
  h.reception = &reception_;
  h.notice = [this](const std::string& text) {
    if (LinkNotice) LinkNotice(text);
  };
  // A call picked from a chat line or the saved text: the INFO panel on its
  // newest MONI ALL report.
  h.showStationInfo = [this](const std::string& call, int index) {
    info_service_->ShowStationInfo(call, index, false);
  };
  auto web = std::make_unique<internet::WebMessageQueue>(internet_boxes_->Controls(), *internet_window_,
                                                         static_cast<links::CycleControl&>(*this));
  chat_service_ = std::make_unique<ChatService>(*chat_, *saved_, *column_, std::move(web), std::move(h));
}

}  // namespace zeblon
