// ALARM DIST SETUP (Frame13): the radius of both distance alarms in km, opened
// by a right click on either km ALARM box; only its OK button closes it.
#pragma once

#include <functional>

#include "panels/frames.h"
#include "platform/controls.h"

namespace zeblon::panels {

class AlarmDistancePanel : public PanelFrame {
  Q_OBJECT
 public:
  explicit AlarmDistancePanel(QWidget* window);
  // Shows the frame at the top of the window, left at `left`, with the distance.
  void Open(int left, int distanceKm);
  platform::TextBox* Text9;
  platform::CommandButton* Command35;  // OK
  // OK: the frame is hidden, then this runs with the distance of the box
  // (rounded half to even, held to 1 ... 100; 1 for a text without a number).
  std::function<void(int distanceKm)> OnOk;
};

}  // namespace zeblon::panels
