// The radio link joined to the main window: the window's side of the link's
// port (links/radio_link.h), thin glue to the map, the notices and the panels.
#include "main_window/form1.h"
#include "platform/message_box.h"
#include "platform/qtext.h"

namespace zeblon {

class Form1::LinkWindow : public links::RadioLinkWindow {
 public:
  explicit LinkWindow(Form1& f) : f_(f) {}

  std::string TxCall() override { return f_.tx_setup_->Identity().TxCall(); }
  bool HfDualOn() override { return f_.tx_setup_->Identity().HfDualOn(); }
  bool GpsTimeValid() override { return f_.gps_.GpsTimeValid == 1; }
  std::string WindowTitle() override { return platform::FromQ(f_.windowTitle()); }
  void SetWindowTitle(const std::string& title) override { f_.setWindowTitle(platform::ToQ(title)); }
  void LogWriteTitleField(bool failing, bool diskFull) override {
    const std::string title = WindowTitle();
    const std::string marked = links::WithLogWriteTitleField(title, failing, diskFull);
    if (marked != title) SetWindowTitle(marked);
  }
  void DrawMap() override { f_.DrawMap(); }
  void SetTimer1(bool on) override { on ? f_.cycle_->Start() : f_.cycle_->Stop(); }
  void EndProgram(int code) override {
    if (f_.EndProgram) f_.EndProgram(code);
  }
  void Message(const std::string& text, const std::string& title) override {
    platform::MsgBox(text, title, platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
  }
  void Note(const std::string& text, const std::string& title) override {
    platform::ShowNote(text, title, platform::MsgIcon::Exclamation, &f_);
  }
  void Notice(const std::string& text) override {
    if (f_.LinkNotice) f_.LinkNotice(text);
  }
  void EngineNotice(const std::string& text) override {
    f_.setWindowTitle(platform::ToQ(links::WithLinkNotice(platform::FromQ(f_.windowTitle()), text)));
  }
  void MonitorListChanged() override { f_.RefillMonitorList(); }
  reception::ChatPanel* ChatLines() override { return &f_.chat_service_->Queue(); }
  void SendAprsMessage(const std::string& outgoing) override { f_.chat_service_->SendAprsMessage(outgoing); }
  void ShowEmergencyWindow() override { f_.emergency_window_->Show(); }
  void ShowWxInfoForRecord(const std::string& record) override { f_.ShowWxInfoForRecord(record); }
  void InfoPanelChanged() override { f_.info_service_->RefreshInfoPanel(); }
  void ShowDistanceAlarm(const reception::DistanceAlarm& alarm) override { f_.ShowDistanceAlarm(alarm); }
  void Beep() override {
    if (f_.Beep) f_.Beep();
  }
  void FollowMoniOneStation() override { f_.FollowMoniOneStation(); }
  void ClosePictureViewer() override { f_.ClosePictureViewer(); }
  bool PictureViewerShown() override { return f_.PictureViewerShown(); }
  void AfterQuietPass() override { f_.AfterQuietPass(); }

 private:
  Form1& f_;
};

void Form1::SetRadioLink(std::unique_ptr<links::RadioLinkService> s) {
  fed_pass_.reset();  // it passes through the old link's host
  radio_link_ = std::move(s);
  AttachRadioLink();
}

void Form1::AttachRadioLink() {
  if (!link_window_) link_window_ = std::make_unique<LinkWindow>(*this);
  radio_link_->Attach(settings_, reception_, *link_window_);
  // The terminal and the RAW list's TNC keys work on the link's own port.
  terminal_io_->SetPort(radio_link_->State().MSComm1);
  raw_list_->SetPort(&radio_link_->State().MSComm1);
}

void Form1::RunReceivePass(reception::MonitorSource& source) {
  if (radio_link_->Host() == nullptr || radio_link_->Chat() == nullptr) return;
  if (!fed_pass_) {
    fed_pass_ = std::make_unique<reception::ReceivePass>(reception_, *radio_link_->Host(), *radio_link_->Chat());
  }
  reception_.receiveBuffer.assign(1, '\n');
  fed_pass_->Run(source);
}

void Form1::StoreHeardReport(const std::string& record) { reception_.stations.Add(record, reception::kMoniAllSlots); }

}  // namespace zeblon
