#include "panels/moni_one_readouts.h"

namespace zeblon::panels {

MoniOneReadoutLabels::MoniOneReadoutLabels(ControlColumn& column, reception::ReceptionState& reception)
    : column_(column), reception_(reception) {
  reception.stations.OnChanged([this] { ShowLabels(stations::MoniOneReadoutsOf(reception_)); });
}

void MoniOneReadoutLabels::Show(const stations::MoniOneReadouts& readouts) {
  column_.Combo9->SetText(readouts.call);
  ShowLabels(readouts);
}

void MoniOneReadoutLabels::ShowLabels(const stations::MoniOneReadouts& readouts) {
  column_.Label6->SetCaption(readouts.count);
  column_.Label9->SetCaption(readouts.stamp);
  column_.Label10->SetCaption(readouts.text);
}

}  // namespace zeblon::panels
