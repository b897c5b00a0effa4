// The window's receive host (reception/reception_host.h): what every receive
// pass reaches of the main window, the radio link's and the internet's alike,
// implemented once over the map, the RAW list and the panels.
#include "links/computer_clock.h"
#include "main_window/form1.h"
#include "map/readouts.h"

namespace zeblon {

class Form1::ReceptionWindow : public reception::ReceptionHost {
 public:
  explicit ReceptionWindow(Form1& f) : f_(f) {}

  reception::LocalTime Now() override { return ComputerClockNow(); }
  void DrawMap() override { f_.DrawMap(); }
  void SetTimer1(bool on) override { on ? f_.cycle_->Start() : f_.cycle_->Stop(); }
  void ConvertMapKmToLatLon(double northKm, double eastKm, std::string& latText, std::string& lonText) override {
    // The read-out texts of the map (" 59:30.00"), not the position report's form.
    const reception::ReceptionSettings& s = f_.reception_.settings;
    const map::MapPoint p = map::ConvertMapKmToLatLon(northKm, eastKm, s.mapCentralMeridian, s.mapFalseEasting);
    latText = p.latText;
    lonText = p.lonText;
  }
  void SendAprsMessage(const std::string& outgoing) override { f_.chat_service_->SendAprsMessage(outgoing); }
  void MonitorListChanged() override { f_.RefillMonitorList(); }
  void ShowEmergencyWindow() override { f_.emergency_window_->Show(); }
  void ShowWxInfoForRecord(const std::string& record) override { f_.ShowWxInfoForRecord(record); }
  void InfoPanelChanged() override { f_.info_service_->RefreshInfoPanel(); }
  void ShowDistanceAlarm(const reception::DistanceAlarm& alarm) override { f_.ShowDistanceAlarm(alarm); }
  void Beep() override {
    if (f_.Beep) f_.Beep();  // a seam the program or a test may leave empty
  }
  void FollowMoniOneStation() override { f_.FollowMoniOneStation(); }
  void ClosePictureViewer() override { f_.ClosePictureViewer(); }
  bool PictureViewerShown() override { return f_.PictureViewerShown(); }
  void AfterQuietPass() override { f_.AfterQuietPass(); }

 private:
  Form1& f_;
};

reception::ReceptionHost& Form1::ReceptionWindowPort() {
  if (!reception_window_) reception_window_ = std::make_unique<ReceptionWindow>(*this);
  return *reception_window_;
}

}  // namespace zeblon
