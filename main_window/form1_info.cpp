// The station INFO panel joined to the main window: the window's side of the
// panel's port (panels/station_info_controller.h) and the panel's controller made
// over the window's panels, settings, map and shared ports.
#include "main_window/form1.h"

#include "geodesy/text.h"
#include "platform/wait.h"

namespace zeblon {

class Form1::InfoWindow : public panels::InfoPort {
 public:
  explicit InfoWindow(Form1& f) : f_(f) {}

  void Pause(float seconds) override { platform::PauseWithEvents(seconds); }
  bool ShutDown() const override { return f_.shutdown_done_; }
  void ApplyTexts() override { f_.ApplyLanguageTexts(); }
  void HideScales() override { f_.scales_->hide(); }
  void MoniOneNewestChanged() override { f_.TakeMoniOneNewestOrCentre(); }
  int ColourDepth() const override { return f_.shell_.ColourDepth; }
  void SelectMoniOneStation(const std::string& call) override { f_.moni_one_select_->SelectMoniOneStation(call); }
  std::optional<std::string> AutoAnswerText() const override {
    if (!f_.chat_service_->Answer().on) return std::nullopt;
    return f_.chat_service_->Answer().text;
  }
  void OpenRawList() override {
    if (f_.raw_list_->RawWindowShown != 0) return;
    if (f_.column_->Check3->Value() != 1) {
      f_.column_->Check3->SetValue(1);
    } else {
      f_.raw_list_->ShowOrHideRawList();
    }
  }
  panels::RetransmitContext RetransmitContextNow() const override {
    panels::RetransmitContext c;
    c.userCall = f_.settings_.UserCall;
    c.txCall = f_.tx_setup_->Identity().EffectiveCall();
    c.now = ComputerClockNow();
    c.utcOffsetHours = static_cast<int>(RoundHalfEven(f_.settings_.UtcOffsetHours));
    return c;
  }
  bool Transmit(const std::string& infoField) override { return f_.RadioLink().Transmit(infoField); }
  void WaitCursor(bool on) override { f_.ShowWaitCursor(on); }

 private:
  Form1& f_;
};

void Form1::WireInfoPanel() {
  wx_->OnReportShown = [this] { FocusMapWhenActive(); };
  if (!info_window_) info_window_ = std::make_unique<InfoWindow>(*this);
  info_service_ = std::make_unique<InfoService>(*info_, *Label5, *column_, *wx_, *chat_, *List1, reception_, settings_,
                                                *map_core_, static_cast<links::CycleControl&>(*this),
                                                static_cast<panels::MapActions&>(*this), *info_window_);
}

}  // namespace zeblon
