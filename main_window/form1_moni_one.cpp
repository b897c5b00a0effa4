// The watched station (MONI 1): the connection of its call combo and selection
// (panels/moni_one_select) and the map centre on the track's newest record.

#include "main_window/form1.h"
#include "map/moni_one_centre.h"

namespace zeblon {

void Form1::WireMoniOneSelect() {
  panels::MoniOneSelect::Port p;
  p.dataFolder = [this] { return std::filesystem::path(data_folder_); };
  p.settingsPath = [this] { return std::filesystem::path(SettingsPath()); };
  p.holdCycle = [this] { cycle_->StopAll(); };
  p.startCycle = [this] { cycle_->Start(); };
  p.armPause = [this](int ms) { ArmPause(ms); };
  p.updateReceptionSettings = [this] { UpdateReceptionSettings(); };
  p.takeNewestOrCentre = [this] { TakeMoniOneNewestOrCentre(); };
  p.followStation = [this] { map_core_->SetCentreMode(1); };
  p.showStationInfo = [this](const std::string& call, int index) { info_service_->ShowStationInfo(call, index, true); };
  p.stationSelected = [this] { Internet().MoniOneStationSelected(); };
  p.restoreFrameWidths = [this] { moni_one_frames_->RestoreWidths(); };
  p.drawMap = [this] { DrawMap(); };
  p.focusMap = [this] {
    if (isActiveWindow()) Picture1->setFocus();
  };
  moni_one_select_ =
      std::make_unique<panels::MoniOneSelect>(*column_, *info_, *Label5, *chat_, settings_, reception_, std::move(p));
}

void Form1::TakeMoniOneNewestOrCentre() { map::TakeMoniOneNewestOrCentre(reception_.stations, *map_core_); }

}  // namespace zeblon
