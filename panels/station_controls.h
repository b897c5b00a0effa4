// The station filters, the MONI ALL and MONI 1 display levels and the two
// km ALARM boxes of the control column, wired to the station display's
// switches. The handlers only pass the controls' values to the switches, show
// the result on the controls and ask for a redraw.
#pragma once

#include <functional>

#include "panels/control_column.h"
#include "stations/station_display.h"
#include "stations/station_layers.h"

namespace zeblon {

class StationControls {
 public:
  struct Hooks {
    std::function<void()> redraw;                                   // DrawMap
    std::function<bool()> pictureShown;                             // the picture viewer covers the map
    std::function<void()> writeSettings;                            // after the MONI 1 alarm box (DISA)
    std::function<void(const stations::StationSwitches&)> changed;  // any switch changed
    std::function<void()> alarmDistanceSetup;                       // a right click on either km ALARM box
    std::function<void()> focusMap;  // the map takes the focus when the window is the active one
  };

  StationControls(panels::ControlColumn& column, Hooks hooks);

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
  Hooks hooks_;
  stations::StationSwitches switches_;
  bool setting_ = false;  // a box's value set from here runs its handler again
};

}  // namespace zeblon
