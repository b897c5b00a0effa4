#include "panels/iono_data.h"

#include <QCoreApplication>
#include <utility>

#include "geodesy/text.h"

namespace zeblon::panels {

IonoData::IonoData(IonoPanel& panel, internet::IonoState& state, Hooks hooks)
    : panel_(panel), state_(state), h_(std::move(hooks)) {
  for (platform::TextBox* box : {panel_.Text17, panel_.Text18}) {
    box->OnChange = [this] { StopCycle(); };
    box->OnClick = [this] { StopCycle(); };
  }
}

void IonoData::StopCycle() {
  if (h_.stopCycle) h_.stopCycle();
}

void IonoData::Open(int button) {
  if (button != 2 || !(h_.mapDrawnOnce && h_.mapDrawnOnce())) return;
  panel_.Text17->SetText(NumberText(state_.sunspotNumber));
  panel_.Text18->SetText(NumberText(state_.kIndex));
  panel_.show();
  panel_.raise();
  QCoreApplication::processEvents();
  if (!state_.autoUpdate) return;
  panel_.Text17->SetText(internet::InetValueText(state_.sunspotNumber));
  panel_.Text18->SetText(internet::InetValueText(state_.kIndex));
  panel_.Text17->setEnabled(false);
  panel_.Text18->setEnabled(false);
  if (h_.startUpdate) h_.startUpdate();
}

void IonoData::TakeTypedValues() {
  if (internet::ApplyManualIonoInput(panel_.Text17->Text(), panel_.Text18->Text(), state_) && h_.saveValues) {
    h_.saveValues();
  }
  panel_.hide();
  if (h_.startCycle) h_.startCycle();
  if (h_.drawMap) h_.drawMap();
}

void IonoData::ShowOutcome(const internet::IonoOutcome& outcome) {
  panel_.Label46->SetCaption(state_.status);
  if (outcome.sunspotTaken) panel_.Text17->SetText(internet::InetValueText(state_.sunspotNumber));
  if (outcome.kIndexTaken) panel_.Text18->SetText(internet::InetValueText(state_.kIndex));
}

}  // namespace zeblon::panels
