// The station filters, the MONI ALL and MONI 1 display levels and the two
// km ALARM boxes of the control column, wired to the station display's
// switches. The handlers only pass the controls' values to the switches, show
// the result on the controls and ask for a redraw.
#pragma once

#include "map/map_display.h"
#include "panels/control_column.h"
#include "panels/map_actions.h"
#include "stations/station_display.h"
#include "stations/station_layers.h"

namespace zeblon {

// What the station controls need of the rest of the program besides the map's actions.
class StationControlsPort {
 public:
  virtual ~StationControlsPort() = default;
  // Any switch changed: the receive path and the settings take the new state.
  virtual void SwitchesChanged(const stations::StationSwitches& switches) = 0;
  // The settings file written, after the MONI 1 alarm box (DISA).
  virtual void WriteSettings() = 0;
  // A right click on either km ALARM box: the alarm distance's set-up opens.
  virtual void AlarmDistanceSetup() = 0;
};

class StationControls {
 public:
  // `map`: whether the picture viewer covers the map (no redraw then).
  StationControls(panels::ControlColumn& column, const map::MapDisplay& map, panels::MapActions& mapActions,
                  StationControlsPort& port);

  const stations::StationSwitches& Switches() const { return switches_; }
  // The stored MONI 1 alarm switch (DISA) as the settings file gives it: the box
  // shows the value, the alarm is on for 1. Nothing is written.
  void ShowStoredMoniOneAlarm(int disa);
  // What the station passes draw with (Check24: direct reception only).
  stations::StationDrawSettings DrawSettings(int colourDepth) const;

  // The handlers (public for tests and function keys).
  void ClassBoxClicked(platform::CheckBox* box, int stationClass);
  void MobileBoxPressed();
  void LevelDown();
  void LevelUp();
  void MoniOneLevel(bool up);
  void AlarmBoxReleased(bool moniAll, int button);

 private:
  void ShowAlarmCaption(stations::AlarmCaption caption);
  // What follows a change: nothing more, a redraw (none while the picture viewer
  // covers the map), or a level's redraw (the map's focus instead under the viewer).
  enum class After { Nothing, Redraw, LevelRedraw };
  void Changed(After after);
  void FocusMap();

  panels::ControlColumn& c_;
  const map::MapDisplay& map_;
  panels::MapActions& map_actions_;
  StationControlsPort& port_;
  stations::StationSwitches switches_;
  bool setting_ = false;  // a box's value set from here runs its handler again
};

}  // namespace zeblon
