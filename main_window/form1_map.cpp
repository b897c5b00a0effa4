// The map joined to the main window: the window's side of the map's ports
// (map/map_controller.h, map/map_tools.h) and the controls the map steers.
#include "main_window/form1.h"
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

  panels::ControlColumn& c = *column_;
  map::MapControls& m = a.controls;
  m.scaleOut = c.Command1;
  m.scaleIn = c.Command2;
  m.zoomOut = c.Command7;
  m.zoomIn = c.Command8;
  m.zoomReset = c.Command9;
  m.poiMode = c.Command73;
  m.background = c.Command72;
  m.inkReset = c.Command43;
  m.inkFold = c.Command42;
  m.lastRow = c.Command57;
  m.grid = c.Check4;
  m.circles = c.Check9;
  m.pictures = c.Check12;
  m.directOnly = c.Check24;
  m.tone = c.Check1;
  m.track = c.Check14;
  m.transmit = c.Check6;
  m.followUser = c.Option1;
  m.followMoniOne = c.Option2;
  m.readouts = {c.Label1, c.Label2, c.Label3, c.Label4, c.Label7, c.Label8};
  m.moniOneLine = c.Label11;
  m.moniAllGauge = c.Label26;
  m.moniOneGauge = c.Label27;
  m.qthPanel = qth_;
  m.qthOk = qth_->Command21;
  m.infoMapButton = info_ != nullptr ? info_->Command12 : nullptr;
  m.scaleRow = scales_;
  m.combos = scales_->combos;
  m.marks = scales_->marks;
  m.inkFrame = inks_->frame;
  m.inks = inks_->inks;

  // The map's periphery: its own hooks and controls.
  map::ToolControls& t = a.toolControls;
  t.help = c.Command57;
  t.saveMap = c.Command59;
  t.globe = c.Command58;
  t.trackCombo = c.Combo1;
  t.poiCombo = c.Combo2;
  t.track = c.Check14;
  t.directOnly = c.Check24;
  t.followUser = c.Option1;
  t.followMoniOne = c.Option2;
  t.moniOneStamp = c.Label9;
  if (viewer_ != nullptr) {
    t.viewer = viewer_;
    t.viewerPage = viewer_->WebBrowser2;
    t.picturePrevious = viewer_->Command29;
    t.pictureNext = viewer_->Command30;
    t.videoStart = viewer_->Command70;
    t.pictureCentre = viewer_->Command71;
  }
  if (poi_ != nullptr) {
    t.poiEditor = poi_;
    t.poiText = poi_->Text4;
    t.poiOk = poi_->Command26;
    t.poiCancel = poi_->Command22;
    t.poiToCentre = poi_->Command64;
    t.poiOpenLink = poi_->Command67;
  }
  if (trk_ != nullptr) {
    t.trackPanel = trk_;
    t.trackPrevious = trk_->Command68;
    t.trackNext = trk_->Command69;
  }
  return a;
}

void Form1::SetMapDisplay(std::unique_ptr<map::MapDisplayService> s) {
  map_display_ = std::move(s);
  map_display_->Attach(MapAttachmentOf());
}

}  // namespace zeblon
