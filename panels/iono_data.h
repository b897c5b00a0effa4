// The IONO DATA frame at work: opened by a right click on the distance-circle
// box with the sunspot number and the K index, an update from the web when the
// values update themselves, the typed values taken by OK, and the outcome of an
// update shown. A change of either value box, typed or shown, and a click into
// one stop the main cycle: OK, a settings write or the pause timer resume it. The values are internet::IonoState's; the
// rules are in internet/ionosphere.h.
#pragma once

#include <functional>

#include "internet/ionosphere.h"
#include "panels/frames.h"

namespace zeblon::panels {

class IonoData {
 public:
  struct Hooks {
    std::function<bool()> mapDrawnOnce;  // the frame opens once the map has been drawn
    std::function<void()> startUpdate;   // the update from the web the user asked for
    std::function<void()> saveValues;    // the typed values into the settings file
    std::function<void()> startCycle;    // the main cycle (Timer1) on
    std::function<void()> stopCycle;     // the main cycle (Timer1) off
    std::function<void()> drawMap;
  };

  IonoData(IonoPanel& panel, internet::IonoState& state, Hooks hooks);

  // The distance-circle box's release (Check9): the right button opens the frame.
  void Open(int button);
  // OK (Command60): typed values are taken and saved (not with automatic update).
  void TakeTypedValues();
  // An update's outcome: the status line and the values it took.
  void ShowOutcome(const internet::IonoOutcome& outcome);

 private:
  void StopCycle();
  IonoPanel& panel_;
  internet::IonoState& state_;
  Hooks h_;
};

}  // namespace zeblon::panels
