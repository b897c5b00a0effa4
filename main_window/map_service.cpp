#include "main_window/map_service.h"

#include <algorithm>
#include <span>
#include <vector>

namespace zeblon {

namespace {

// Lines 1 … count of a panel's list (slot 0 unused).
std::span<const std::string> Lines(const std::vector<std::string>& v, long count) {
  std::span<const std::string> all(v);
  if (all.empty()) return all;
  const auto n = static_cast<std::size_t>(std::clamp<long>(count, 0, static_cast<long>(all.size()) - 1));
  return all.subspan(1, n);
}

}  // namespace

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
  MapTools::Calls calls;
  calls.draw = [this] { DrawMap(); };
  calls.focus = [this] { controller_->FocusMap(); };
  tools_ = std::make_unique<MapTools>(display_, widget_, map_, std::move(calls));
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
  if (map_.panels != nullptr) {
    const PanelState& p = *map_.panels;
    in.objectBeaconOn = p.ObjectBeaconOn;
    in.trackLines = Lines(p.TrackLines, p.TrackLineCount);
    in.poiLines = Lines(p.PoiLines, p.PoiCount);
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

}  // namespace zeblon
