// The map joined to the main window: the window's side of the map's ports
// (map/map_controller.h, map/map_tools.h) and the controls the map steers.
#include "main_window/form1.h"
#include "panels/map_controls.h"
#include "platform/paths.h"

namespace zeblon {

class Form1::MapWindow : public map::MapPort, public map::ToolPort {
 public:
  explicit MapWindow(Form1& f) : f_(f) {}

  // Both ports.
  void DrawingDone() override {
    f_.unsetCursor();
    f_.Picture1->unsetCursor();
    f_.cycle_->Start();
    f_.update();
  }
  bool WindowActive() const override { return f_.isActiveWindow(); }
  void CloseInfoPanel() override { f_.info_service_->CloseInfoPanel(); }
  std::string AppFolder() const override { return f_.app_folder_; }

  // map::MapPort
  map::MapInputs Inputs() const override {
    map::MapInputs in;
    in.twipsPerPixelX = f_.shell_.TwipsPerPixelX;
    in.twipsPerPixelY = f_.shell_.TwipsPerPixelY;
    in.moniAllDisplayLevel = f_.station_controls_->Switches().Level();
    in.objectBeaconOn = f_.object_setup_ != nullptr ? f_.object_setup_->ObjectBeaconOn() : 0;
    in.trackLines = f_.user_files_.tracks.lines();
    in.poiLines = f_.user_files_.pois.lines();
    in.gpsFixMoved = f_.gps_.GpsFixMoved;
    in.gpsNorth = f_.gps_.GpsNorth;
    in.gpsEast = f_.gps_.GpsEast;
    return in;
  }
  void PrepareDrawing() override {
    f_.reception_.stations.PrepareTrackForDrawing(f_.reception_.settings.smartLog, f_.PictureViewerShown());
  }
  void ToneSwitched(bool on) override {
    f_.reception_.settings.toneOn = on;  // the passes' beep
  }
  void ClosePictureViewer() override { f_.map_display_->ClosePictureViewer(); }
  void UntickCentringOptions() override { f_.column_->UntickCentringOptions(); }
  void ApplyTexts() override { f_.ApplyLanguageTexts(); }
  std::string SettingsPath() const override { return f_.SettingsPath(); }
  std::string TempFolder() const override { return f_.TempFolderPath(); }
  void KeepOwnFile(const std::filesystem::path& file) override { f_.own_temp_files_.Add(file); }

  // map::ToolPort
  void Draw() override { f_.map_display_->DrawMap(); }
  void FocusMap() override { f_.map_display_->FocusMap(); }
  void Pause(int interval_ms) override { f_.ArmPause(interval_ms); }
  void WriteSettings() override { f_.WriteSettingsFile(); }
  bool OpenDocument(const std::string& path) override { return f_.OpenDocument(path); }
  void ShowStation(const std::string& call, int index, bool moni_one) override {
    f_.wx_->closedByUser = false;
    f_.info_service_->ShowStationInfo(call, index, moni_one);
  }
  std::string DataFolder() const override { return f_.data_folder_; }
  int MoniAllDisplayLevel() const override { return f_.station_controls_->Switches().Level(); }
  int StationFilterMask() const override { return f_.station_controls_->Switches().FilterMask(); }

 private:
  Form1& f_;
};

map::MapAttachment Form1::MapAttachmentOf() {
  if (!map_window_) map_window_ = std::make_shared<MapWindow>(*this);
  map::MapAttachment a;
  a.settings = &settings_;
  a.map = map_core_.get();
  a.reception = &reception_;
  a.files = &user_files_;
  a.picture = Picture1;
  a.port = map_window_.get();
  a.toolPort = map_window_.get();

  a.controls = panels::MapControlsOf(*column_, *qth_, info_, *scales_, *inks_);
  a.toolControls = panels::ToolControlsOf(*column_, viewer_, poi_, trk_);
  return a;
}

void Form1::SetMapDisplay(std::unique_ptr<map::MapDisplayService> s) {
  map_display_ = std::move(s);
  map_display_->Attach(MapAttachmentOf());
}

}  // namespace zeblon
