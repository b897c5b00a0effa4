// The main cycle's GPS step at work: reads the GPS port or drop file the settings
// name and shows the tick's result on the GPS-INFO line over the map and in the
// control column. The rules are in links/gps_reader.h; the step reaches the map
// and the program's folders through its port.
#pragma once

#include <QRect>
#include <functional>
#include <string>

#include "links/gps_reader.h"
#include "panels/control_column.h"
#include "platform/controls.h"
#include "platform/serial_port.h"
#include "settings/settings.h"

namespace zeblon::panels {

class GpsStep {
 public:
  struct Port {
    std::function<double()> mapCentralMeridian;
    std::function<double()> mapFalseEasting;
    std::function<int()> centreMode;
    std::function<void(int mode)> setCentreMode;
    std::function<std::string()> appFolder;
    std::function<std::string()> dataFolder;
    // Runs first in every read: a map the user moved away counts as acted on now.
    std::function<void()> holdMovedMap;
    std::function<double()> secondsSinceMapInteraction;
    std::function<platform::SerialPort&()> gpsPort;
    std::function<QRect()> mapArea;  // where the line goes: along the top of this rectangle
    // Puts the line over the map and under everything else that opens over it.
    std::function<void(QWidget&)> stackOverMap;
  };

  // `line`: the GPS-INFO line; `autoAnswer`: the CHAT frame's AUTO-A box.
  GpsStep(links::GpsReader& gps, links::NavigationState& nav, const Settings& settings, platform::Label& line,
          ControlColumn& column, platform::CheckBox& autoAnswer, Port port);

  // Reads the source the settings name (nothing without one) and applies the tick.
  void Read();

 private:
  links::GpsReader& gps_;
  links::NavigationState& nav_;
  const Settings& settings_;
  platform::Label& line_;
  ControlColumn& column_;
  platform::CheckBox& auto_answer_;
  Port port_;
  bool port_tried_ = false;
};

}  // namespace zeblon::panels
