#include "panels/iono_data.h"

#include <QCoreApplication>

#include "geodesy/text.h"
#include "panels/internet_boxes.h"

namespace zeblon::panels {

IonoData::IonoData(IonoPanel& panel, InternetWiring& internet, links::CycleControl& cycle, InternetBoxesPort& port)
    : panel_(panel), internet_(internet), state_(internet.Iono()), cycle_(cycle), port_(port) {
  for (platform::TextBox* box : {panel_.Text17, panel_.Text18}) {
    box->OnChange = [this] { cycle_.StopCycle(); };
    box->OnClick = [this] { cycle_.StopCycle(); };
  }
}

void IonoData::Open(int button) {
  if (button != 2 || port_.Map().MapDrawnOnce != 1) return;
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
  internet_.StartIonoUpdateByUser();
}

void IonoData::TakeTypedValues() {
  if (internet::ApplyManualIonoInput(panel_.Text17->Text(), panel_.Text18->Text(), state_)) {
    port_.WriteSettings(state_.sunspotNumber, state_.kIndex);
  }
  panel_.hide();
  cycle_.StartCycle();
  port_.DrawMap();
}

void IonoData::ShowOutcome(const internet::IonoOutcome& outcome) {
  panel_.Label46->SetCaption(state_.status);
  if (outcome.sunspotTaken) panel_.Text17->SetText(internet::InetValueText(state_.sunspotNumber));
  if (outcome.kIndexTaken) panel_.Text18->SetText(internet::InetValueText(state_.kIndex));
}

}  // namespace zeblon::panels
