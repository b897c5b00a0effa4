// The radio link joined to the main window: the window's side of the link's
// port (links/radio_link.h), thin glue to the title, the notices and the chat
// lines. The link's receive pass reaches the window through its receive host
// (form1_reception.cpp).
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
  reception::ChatPanel* ChatLines() override { return &f_.chat_service_->Queue(); }

 private:
  Form1& f_;
};

void Form1::SetRadioLink(std::unique_ptr<links::RadioLinkService> s) {
  fed_pass_.reset();  // it passes through the old link's chat lines
  radio_link_ = std::move(s);
  AttachRadioLink();
}

void Form1::AttachRadioLink() {
  if (!link_window_) link_window_ = std::make_unique<LinkWindow>(*this);
  radio_link_->Attach(settings_, reception_, *link_window_, ReceptionWindowPort());
  // The terminal and the RAW list's TNC keys work on the link's own port.
  terminal_io_->SetPort(radio_link_->State().MSComm1);
  raw_list_->SetPort(&radio_link_->State().MSComm1);
}

void Form1::RunReceivePass(reception::MonitorSource& source) {
  if (radio_link_->Chat() == nullptr) return;
  if (!fed_pass_) {
    fed_pass_ = std::make_unique<reception::ReceivePass>(reception_, ReceptionWindowPort(), *radio_link_->Chat());
  }
  reception_.receiveBuffer.assign(1, '\n');
  fed_pass_->Run(source);
}

void Form1::StoreHeardReport(const std::string& record) { reception_.stations.Add(record, reception::kMoniAllSlots); }

}  // namespace zeblon
