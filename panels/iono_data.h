// The IONO DATA frame at work: opened by a right click on the distance-circle
// box with the sunspot number and the K index, an update from the web when the
// values update themselves, the typed values taken by OK, and the outcome of an
// update shown. A change of either value box, typed or shown, and a click into
// one stop the main cycle: OK, a settings write or the pause timer resume it. The values are internet::IonoState's; the
// rules are in internet/ionosphere.h.
#pragma once

#include "internet/internet_wiring.h"
#include "internet/ionosphere.h"
#include "links/cycle_control.h"
#include "panels/frames.h"

namespace zeblon::panels {

class InternetBoxesPort;

class IonoData {
 public:
  // `internet`: the ionosphere values and the update from the web the user asks
  // for; `cycle`: the main cycle (Timer1) stopped and started; `port`: the map's
  // first drawing (the frame opens only after it), the map drawn and the typed
  // values written into the settings file.
  IonoData(IonoPanel& panel, InternetWiring& internet, links::CycleControl& cycle, InternetBoxesPort& port);

  // The distance-circle box's release (Check9): the right button opens the frame.
  void Open(int button);
  // OK (Command60): typed values are taken and saved (not with automatic update).
  void TakeTypedValues();
  // An update's outcome: the status line and the values it took.
  void ShowOutcome(const internet::IonoOutcome& outcome);

 private:
  IonoPanel& panel_;
  InternetWiring& internet_;
  internet::IonoState& state_;
  links::CycleControl& cycle_;
  InternetBoxesPort& port_;
};

}  // namespace zeblon::panels
