// The MONI 1 read-outs of the control column: the watched station's call in its
// combo (Combo9), the number of its stored positions (Label6), the time of the
// newest (Label9) and its comment (Label10). The labels follow every change of
// the heard stations' store at once; a drawing of the map shows all four anew,
// the call as the settings name it.
#pragma once

#include "panels/control_column.h"
#include "reception/reception_state.h"
#include "stations/station_display.h"

namespace zeblon::panels {

class MoniOneReadoutLabels {
 public:
  // Listens to the station store of `reception` from now on: the store changes
  // no more once these read-outs are gone.
  MoniOneReadoutLabels(ControlColumn& column, reception::ReceptionState& reception);
  MoniOneReadoutLabels(const MoniOneReadoutLabels&) = delete;
  MoniOneReadoutLabels& operator=(const MoniOneReadoutLabels&) = delete;

  // A drawing's read-outs: the call in the combo and the three labels.
  void Show(const stations::MoniOneReadouts& readouts);

 private:
  void ShowLabels(const stations::MoniOneReadouts& readouts);

  ControlColumn& column_;
  const reception::ReceptionState& reception_;
};

}  // namespace zeblon::panels
