#include "main_window/map_service.h"

namespace zeblon {

MapService::MapService(map::MapDisplay& display, map::MapWidget& widget) : display_(display), widget_(widget) {}

MapService::~MapService() {
  tools_.reset();
  controller_.reset();
}

void MapService::Attach(const MapContext& context) {
  MapDisplayService::Attach(context);
  if (controller_ != nullptr || map_.column == nullptr) return;
  panels::ControlColumn& c = *map_.column;
  map::MapControls m;
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
  m.check24 = c.Check24;
  m.tone = c.Check1;
  m.track = c.Check14;
  m.transmit = c.Check6;
  m.followUser = c.Option1;
  m.followMoniOne = c.Option2;
  m.readouts = {c.Label1, c.Label2, c.Label3, c.Label4, c.Label7, c.Label8};
  m.moniOneLine = c.Label11;
  m.moniAllGauge = c.Label26;
  m.moniOneGauge = c.Label27;
  m.qthPanel = map_.qth;
  m.qthOk = map_.qth->Command21;
  m.infoMapButton = map_.info != nullptr ? map_.info->Command12 : nullptr;
  m.scaleRow = map_.scales;
  m.combos = map_.scales->combos;
  m.marks = map_.scales->marks;
  m.inkFrame = map_.inkFrame;
  m.inks = map_.inks;
  controller_ = std::make_unique<map::MapController>(display_, widget_, *map_.settings, *map_.reception, m,
                                                     static_cast<map::MapPort&>(*this));
  // The map's periphery: its own hooks and controls.
  map::ToolControls t;
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
  if (map_.viewer != nullptr) {
    t.viewer = map_.viewer;
    t.viewerPage = map_.viewer->WebBrowser2;
    t.picturePrevious = map_.viewer->Command29;
    t.pictureNext = map_.viewer->Command30;
    t.videoStart = map_.viewer->Command70;
    t.pictureCentre = map_.viewer->Command71;
  }
  if (map_.poiEditor != nullptr) {
    t.poiEditor = map_.poiEditor;
    t.poiText = map_.poiEditor->Text4;
    t.poiOk = map_.poiEditor->Command26;
    t.poiCancel = map_.poiEditor->Command22;
    t.poiToCentre = map_.poiEditor->Command64;
    t.poiOpenLink = map_.poiEditor->Command67;
  }
  if (map_.trkPanel != nullptr) {
    t.trackPanel = map_.trkPanel;
    t.trackPrevious = map_.trkPanel->Command68;
    t.trackNext = map_.trkPanel->Command69;
  }
  tools_ = std::make_unique<map::MapTools>(display_, widget_, *map_.settings, *map_.reception, *map_.files, t,
                                           static_cast<map::ToolPort&>(*this));
}

void MapService::BuildMapIndex() {
  if (controller_ != nullptr) controller_->BuildMapIndex();
}

void MapService::DrawMap() {
  if (controller_ != nullptr) controller_->DrawMap();
}

void MapService::FunctionKey(int key_code) {
  if (tools_ != nullptr) tools_->FunctionKey(key_code);
}

map::MapInputs MapService::Inputs() const {
  map::MapInputs in;
  if (map_.shell != nullptr) {
    in.twipsPerPixelX = map_.shell->TwipsPerPixelX;
    in.twipsPerPixelY = map_.shell->TwipsPerPixelY;
    in.moniAllDisplayLevel = map_.shell->MoniAllDisplayLevel;
  }
  if (map_.objectBeaconOn) in.objectBeaconOn = map_.objectBeaconOn();
  if (map_.files != nullptr) {
    in.trackLines = map_.files->tracks.lines();
    in.poiLines = map_.files->pois.lines();
  }
  if (map_.gps != nullptr) {
    in.gpsFixMoved = map_.gps->GpsFixMoved;
    in.gpsNorth = map_.gps->GpsNorth;
    in.gpsEast = map_.gps->GpsEast;
  }
  return in;
}

void MapService::DrawingDone() {
  if (map_.drawingDone) map_.drawingDone();
}

bool MapService::WindowActive() const { return map_.windowActive && map_.windowActive(); }

void MapService::ToneSwitched(bool on) {
  if (map_.shell != nullptr) map_.shell->ToneOn = on ? 1 : 0;
  if (map_.toneSwitched) map_.toneSwitched(on);
}

void MapService::CloseInfoPanel() {
  if (map_.closeInfoPanel) map_.closeInfoPanel();
}

void MapService::ClosePictureViewer() {
  if (tools_ != nullptr)
    tools_->ClosePictureViewer();
  else
    display_.SetPictureMode(0);
}

void MapService::UntickCentringOptions() { map_.column->UntickCentringOptions(); }

void MapService::ApplyTexts() {
  if (map_.applyTexts) map_.applyTexts();
}

std::string MapService::SettingsPath() const { return map_.settingsPath ? map_.settingsPath() : std::string(); }

std::string MapService::AppFolder() const { return map_.appFolder(); }

std::string MapService::TempFolder() const { return map_.tempFolder(); }

void MapService::KeepOwnFile(const std::filesystem::path& file) {
  if (map_.ownFiles != nullptr) map_.ownFiles->Add(file);
}

void MapService::Draw() { DrawMap(); }

void MapService::FocusMap() {
  if (controller_ != nullptr) controller_->FocusMap();
}

void MapService::Pause(int interval_ms) {
  if (map_.pause) map_.pause(interval_ms);
}

void MapService::WriteSettings() {
  if (map_.writeSettings) map_.writeSettings();
}

bool MapService::OpenDocument(const std::string& path) { return map_.openDocument && map_.openDocument(path); }

void MapService::ShowStation(const std::string& call, int index, bool moni_one) {
  if (map_.showStation) map_.showStation(call, index, moni_one);
}

std::string MapService::DataFolder() const { return map_.dataFolder ? map_.dataFolder() : AppFolder(); }

int MapService::MoniAllDisplayLevel() const {
  return map_.shell != nullptr ? map_.shell->MoniAllDisplayLevel : display_.state().MoniAllDisplayLevel;
}

int MapService::StationFilterMask() const { return map_.shell != nullptr ? map_.shell->StationFilterMask : 31; }

}  // namespace zeblon
