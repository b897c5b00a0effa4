// The CHAT and SAVED MESSAGES windows joined to the main window: the window's
// side of the chat's port (panels/chat_controller.h), thin glue to the links and
// panels/chat_controller.
// form1.h comes first: the page fetcher's namespace would hide the controls' one.
#include "main_window/form1.h"

#include "internet/message_web_send.h"
#include "internet/web_polls.h"
#include "internet/web_requests.h"
#include "platform/wait.h"
#include "settings/interface_kind.h"

namespace zeblon {

class Form1::ChatHost : public panels::ChatPort {
 public:
  explicit ChatHost(Form1& f) : f_(f) {}

  int InterfaceKind() const override { return static_cast<int>(f_.settings_.InterfaceKind); }
  std::filesystem::path DataFolder() const override { return std::filesystem::path(f_.data_folder_); }
  reception::LocalTime Now() const override { return ComputerClockNow(); }
  void ApplyTexts() override { f_.ApplyLanguageTexts(); }
  int TwipsPerPixelX() const override { return static_cast<int>(f_.shell_.TwipsPerPixelX); }
  void StopScan() override { f_.Internet().StopScan(); }
  void StartMoniOneSupport() override {
    f_.column_->Check22->SetValue(1);
    f_.Internet().RestartPollLimit();
  }
  void AutoAnswerChanged() override {
    f_.reception_.settings.autoAnswerOn =
        f_.chat_service_->Answer().on && InterfaceKindOf(f_.settings_.InterfaceKind) != InterfaceKind::NoRadio;
    f_.reception_.settings.autoAnswerText = f_.chat_service_->AnswerTextSent();
  }
  bool Transmit(const std::string& info_field) override { return f_.RadioLink().Transmit(info_field); }
  bool WriteTnc(const std::string& bytes) override { return f_.RadioLink().State().MSComm1.Write(bytes); }
  void PauseSeconds(float seconds) override { ::platform::Pause(seconds); }
  std::string WebSendUrl(const std::string& from, const std::string& outgoing) override {
    return internet::SendMessageUrl(f_.Internet().Web().Sources(), from, outgoing);
  }
  // A call picked from a chat line or the saved text: the INFO panel on its
  // newest MONI ALL report.
  void ShowStationInfo(const std::string& call, int index) override {
    f_.info_service_->ShowStationInfo(call, index, false);
  }
  void Notice(const std::string& text) override {
    if (f_.LinkNotice) f_.LinkNotice(text);
  }

 private:
  Form1& f_;
};

void Form1::WireChat() {
  if (!chat_host_) chat_host_ = std::make_unique<ChatHost>(*this);
  auto web = std::make_unique<internet::WebMessageQueue>(internet_boxes_->Controls(), *internet_window_,
                                                         static_cast<links::CycleControl&>(*this));
  chat_service_ = std::make_unique<ChatService>(*chat_, *saved_, *column_, std::move(web), reception_,
                                                tx_setup_->Identity(), static_cast<links::CycleControl&>(*this),
                                                static_cast<panels::MapActions&>(*this), *chat_host_);
}

}  // namespace zeblon
