#include "panels/station_controls.h"

#include <QPalette>
#include <algorithm>

namespace zeblon {

StationControls::StationControls(panels::ControlColumn& column, const map::MapDisplay& map,
                                 panels::MapActions& mapActions, StationControlsPort& port)
    : c_(column), map_(map), map_actions_(mapActions), port_(port) {
  // Every class shown, mobile stations shown, at start.
  setting_ = true;
  for (auto* box : {c_.Check10, c_.Check11, c_.Check19, c_.Check25}) box->SetValue(1);
  c_.Check13->SetValue(1);
  c_.Check20->SetValue(switches_.MoniOneAlarmOn() ? 1 : 0);
  setting_ = false;
  platform::SetBackColour(c_.Check13, QColor(160, 192, 192));
  c_.Label16->SetCaption(switches_.LevelCaption());
  c_.Label17->SetCaption(std::to_string(switches_.MoniOneLevel()));

  c_.Check10->OnClick = [this] { ClassBoxClicked(c_.Check10, 2); };
  c_.Check11->OnClick = [this] { ClassBoxClicked(c_.Check11, 1); };
  c_.Check19->OnClick = [this] { ClassBoxClicked(c_.Check19, 3); };
  c_.Check25->OnClick = [this] { ClassBoxClicked(c_.Check25, 4); };
  // The mobile box steps on the press of any mouse button; a click itself changes nothing.
  c_.Check13->ClickChangesValue = false;
  c_.Check13->OnMouseDown = [this](int) { MobileBoxPressed(); };
  c_.Command13->OnClick = [this] { LevelDown(); };
  c_.Command14->OnClick = [this] { LevelUp(); };
  c_.Command16->OnClick = [this] { MoniOneLevel(false); };
  c_.Command17->OnClick = [this] { MoniOneLevel(true); };
  c_.Check20->OnMouseUp = [this](int button) { AlarmBoxReleased(false, button); };
  c_.Check21->OnMouseUp = [this](int button) { AlarmBoxReleased(true, button); };
}

stations::StationDrawSettings StationControls::DrawSettings(int colourDepth) const {
  return stations::StationDrawSettings::From(switches_, c_.Check24->Value() == 1, colourDepth);
}

void StationControls::ShowStoredMoniOneAlarm(int disa) {
  switches_.SetMoniOneAlarm(disa == 1);
  setting_ = true;
  c_.Check20->SetValue(std::clamp(disa, 0, 2));
  if (!switches_.MoniAllAlarmOn()) c_.Check21->SetValue(0);
  setting_ = false;
  Changed(After::Nothing);
}

void StationControls::ShowAlarmCaption(stations::AlarmCaption caption) {
  if (caption == stations::AlarmCaption::Unchanged) return;
  QPalette pal = c_.Check21->palette();
  pal.setColor(QPalette::WindowText, caption == stations::AlarmCaption::Red ? QColor(255, 0, 0) : QColor(128, 0, 0));
  c_.Check21->setPalette(pal);
  if (!switches_.MoniAllAlarmOn() && c_.Check21->Value() != 0) {
    setting_ = true;
    c_.Check21->SetValue(0);
    setting_ = false;
  }
}

void StationControls::Changed(After after) {
  port_.SwitchesChanged(switches_);
  if (after == After::Nothing) return;
  if (map_.state().PictureMode == 1) {
    if (after == After::LevelRedraw) FocusMap();
    return;
  }
  map_actions_.DrawMap();
}

void StationControls::FocusMap() { map_actions_.FocusMapWhenActive(); }

void StationControls::ClassBoxClicked(platform::CheckBox* box, int stationClass) {
  if (setting_) return;
  bool ticked = box->Value() == 1;
  const auto out = switches_.SetClassShown(stationClass, ticked, &ticked);
  if (ticked != (box->Value() == 1)) {
    setting_ = true;
    box->SetValue(ticked ? 1 : 0);
    setting_ = false;
  }
  ShowAlarmCaption(out.alarmCaption);
  Changed(After::Redraw);
}

void StationControls::MobileBoxPressed() {
  if (setting_) return;
  const auto out = switches_.PressMobile();
  setting_ = true;
  c_.Check13->SetValue(switches_.MobileFilter());
  setting_ = false;
  platform::SetBackColour(c_.Check13, switches_.MobileFilter() == 2 ? QColor(208, 255, 255) : QColor(160, 192, 192));
  ShowAlarmCaption(out.alarmCaption);
  Changed(After::Redraw);
}

void StationControls::LevelDown() {
  const auto out = switches_.LevelDown();
  c_.Label16->SetCaption(switches_.LevelCaption());
  ShowAlarmCaption(out.alarmCaption);
  Changed(After::LevelRedraw);
}

void StationControls::LevelUp() {
  const auto out = switches_.LevelUp();
  c_.Label16->SetCaption(switches_.LevelCaption());
  if (switches_.WxLevel() && c_.Check25->Value() != 1) {
    setting_ = true;
    c_.Check25->SetValue(1);
    setting_ = false;
  }
  ShowAlarmCaption(out.alarmCaption);
  Changed(After::LevelRedraw);
}

void StationControls::MoniOneLevel(bool up) {
  if (up)
    switches_.MoniOneLevelUp();
  else
    switches_.MoniOneLevelDown();
  c_.Label17->SetCaption(std::to_string(switches_.MoniOneLevel()));
  Changed(After::LevelRedraw);
}

void StationControls::AlarmBoxReleased(bool moniAll, int button) {
  if (button == 2) port_.AlarmDistanceSetup();
  if (button != 1) return;
  setting_ = true;
  if (moniAll) {
    switches_.SetMoniAllAlarm(c_.Check21->Value() == 1);
    if (switches_.MoniOneAlarmOn()) c_.Check20->SetValue(1);
  } else {
    switches_.SetMoniOneAlarm(c_.Check20->Value() == 1);
    if (!switches_.MoniAllAlarmOn()) c_.Check21->SetValue(0);
  }
  setting_ = false;
  Changed(After::Nothing);
  FocusMap();
  if (!moniAll) port_.WriteSettings();
}

}  // namespace zeblon
