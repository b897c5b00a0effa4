// The main cycle's GPS step at work: reads the GPS port or drop file the settings
// name and shows the tick's result on the GPS-INFO line over the map and in the
// control column. The rules are in links/gps_reader.h; the step works on the map
// display and reaches the program's folders and the map picture through its port.
#pragma once

#include <QRect>
#include <string>

#include "links/gps_reader.h"
#include "map/map_display.h"
#include "panels/control_column.h"
#include "platform/controls.h"
#include "platform/serial_port.h"
#include "settings/settings.h"

namespace zeblon::panels {

// What the GPS step needs of the rest of the program besides the map display.
class GpsStepPort {
 public:
  virtual ~GpsStepPort() = default;
  virtual std::string AppFolder() const = 0;
  virtual std::string DataFolder() const = 0;
  // The radio link's GPS port (MSComm2).
  virtual platform::SerialPort& GpsPort() = 0;
  // Where the line goes: along the top of this rectangle.
  virtual QRect MapArea() const = 0;
  // Puts the line over the map and under everything else that opens over it.
  virtual void StackOverMap(QWidget& line) = 0;
};

class GpsStep {
 public:
  // `line`: the GPS-INFO line; `autoAnswer`: the CHAT frame's AUTO-A box; `map`:
  // the map whose projection the fixes take and whose centre mode they change.
  GpsStep(links::GpsReader& gps, links::NavigationState& nav, const Settings& settings, platform::Label& line,
          ControlColumn& column, platform::CheckBox& autoAnswer, map::MapDisplay& map, GpsStepPort& port);

  // Reads the source the settings name (nothing without one) and applies the tick.
  void Read();

 private:
  links::GpsReader& gps_;
  links::NavigationState& nav_;
  const Settings& settings_;
  platform::Label& line_;
  ControlColumn& column_;
  platform::CheckBox& auto_answer_;
  map::MapDisplay& map_;
  GpsStepPort& port_;
  bool port_tried_ = false;
};

}  // namespace zeblon::panels
