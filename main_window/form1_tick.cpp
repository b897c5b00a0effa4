// The main cycle's steps as the window carries them out: each step goes to the
// module that owns it (the radio link, the internet wiring, the panels).
#include <QCoreApplication>

#include "links/gps_reader.h"
#include "main_window/form1.h"

namespace zeblon {

class Form1::TickWindow : public links::TickSteps {
 public:
  explicit TickWindow(Form1& f) : f_(f) {}

  void StopWebBrowser() override { f_.Internet().StopWebBrowser(); }
  void AprsIsUpkeep() override { f_.RadioLink().AprsIsUpkeep(); }
  void AprsIsTitleAndAgeing() override { f_.RadioLink().TitleFieldsAndAgeing(); }
  // The packet engine's own digipeater is another program's, which does not run
  // here: there is nothing to watch.
  void WatchUiDigipeater() override {}
  bool InternetScanStep() override { return f_.Internet().ScanStep(); }
  void UpdateClockLabel() override { f_.UpdateClockLabel(); }
  void PumpEvents() override { QCoreApplication::processEvents(); }
  void HfDualKeepAlive() override { f_.RadioLink().HfDualKeepAlive(); }
  bool TakeChangedMoniOneCall() override { return f_.moni_one_select_->TakeChangedMoniOneCall(); }
  void MonitorListUpkeep() override { f_.List1->SetListIndex(f_.List1->ListCount() - 1); }
  void ReshowEmergencyWindow() override { f_.emergency_window_->ReshowTick(); }
  void PollTimeLimit() override { f_.Internet().PollTimeLimit(); }
  // The own and the status beacon wait for the transmit step under the hourglass.
  void SendStatusBeacon() override {
    f_.ShowWaitCursor(true);
    f_.RadioLink().SendBeacon(true);
    f_.ShowWaitCursor(false);
  }
  bool IonosphereUpdate() override { return f_.Internet().IonosphereUpdate(); }
  bool MoniOneWebPoll() override { return f_.Internet().MoniOneWebPoll(); }
  bool AreaWebPoll() override { return f_.Internet().AreaWebPoll(); }
  void HideSavedMessages() override { f_.saved_->hide(); }
  void DrawMap() override { f_.DrawMap(); }
  void RestoreFrameWidths() override { f_.moni_one_frames_->RestoreWidths(); }
  void ReadGps() override {
    if (links::GpsSourceSet(f_.settings_.GpsSource)) f_.gps_step_->Read();
  }
  void RadioLinkUpkeep() override { f_.RadioLink().LinkUpkeep(); }
  void DecodeReceivedTraffic() override { f_.RadioLink().DecodeReceivedTraffic(); }
  void SendPendingMessages() override { f_.chat_service_->SendPendingMessages(); }
  void SendObjectBeacon() override {
    f_.ShowWaitCursor(true);
    f_.RadioLink().SendObjectBeacon();
    f_.ShowWaitCursor(false);
  }
  void SendOwnBeacon() override {
    f_.ShowWaitCursor(true);
    f_.RadioLink().SendBeacon(false);
    f_.ShowWaitCursor(false);
  }

 private:
  Form1& f_;
};

void Form1::WireCycleTick() {
  tick_window_ = std::make_unique<TickWindow>(*this);
  cycle_->OnTick = [this] { RunCycleTick(); };
}

links::TickSteps& Form1::CycleSteps() { return *tick_window_; }

links::TickEnd Form1::RunTick(const links::TickInputs& in) { return tick_.Run(in, *tick_window_, *this); }

}  // namespace zeblon
