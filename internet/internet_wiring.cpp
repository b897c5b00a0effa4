#include "internet/internet_wiring.h"

#include <cmath>

#include "internet/web_requests.h"

namespace zeblon {

InternetWiring::InternetWiring(reception::ReceptionState& state, reception::ReceptionHost& host,
                               links::CycleControl& cycle, internet::InternetControls& controls,
                               internet::InternetWindow& window, internet::WebSources sources)
    : controls_(controls), window_(window), chat_(window) {
  switches_ = std::make_unique<internet::InternetSwitches>(switchState_, controls_, window_);
  web_ = std::make_unique<internet::WebRequests>(state, host, chat_, switchState_, iono_, cycle, controls_, window_,
                                                 std::move(sources));
}

InternetWiring::~InternetWiring() = default;

void InternetWiring::RequestMagnetogramPage() { web_->RequestMagnetogramPage(); }

void InternetWiring::StartIonoUpdateByUser() { web_->StartIonoUpdateByUser(); }

void InternetWiring::TakeSavedIono(double sunspotNumber, double kIndex, bool autoUpdate) {
  iono_.sunspotNumber = sunspotNumber;
  iono_.kIndex = kIndex;
  iono_.autoUpdate = autoUpdate;
}

void InternetWiring::Changed() { controls_.SwitchesChanged(); }

void InternetWiring::MoniOneSupportClicked(bool on) {
  switches_->SetMoniOneSupport(on);
  Changed();
}

void InternetWiring::AreaSupportClicked(bool on) {
  switches_->SetAreaSupport(on);
  Changed();
}

void InternetWiring::ScanClicked(bool on) {
  switches_->SetScan(on);
  Changed();
}

void InternetWiring::StopScan() {
  switches_->StopScan();
  Changed();
}

void InternetWiring::ToggleWebSource() {
  switches_->ToggleWebSource();
  Changed();
}

bool InternetWiring::PollTimeLimit() {
  const double now = window_.ClockSeconds();
  const double limit = window_.PollLimitSeconds();
  if (!(std::fabs(switchState_.internetPollStart - now) > limit)) return false;
  if (!switchState_.moniOneSupport && !switchState_.areaSupport) return false;
  switches_->SetAreaSupport(false);
  switches_->SetMoniOneSupport(false);
  Changed();
  return true;
}

void InternetWiring::StopWebBrowser() { web_->StopPageLoader(); }

bool InternetWiring::ScanStep() {
  if (switchState_.internetScanBusy) window_.RestoreMoniOneFrames();
  const bool stepped = switches_->Tick();
  if (stepped) Changed();
  return stepped;
}

bool InternetWiring::IonosphereUpdate() {
  const double now = window_.ClockSeconds();
  if (!web_->IonoUpdateDue(now)) return false;
  web_->StartHourlyIonoUpdate(now);
  return true;
}

bool InternetWiring::MoniOneWebPoll() {
  if (!web_->RawPollDue(window_.Hhmm())) return false;
  web_->StartRawPoll();
  return true;
}

bool InternetWiring::AreaWebPoll() {
  if (!web_->AreaPollDue(window_.Hhmm())) return false;
  web_->StartAreaPoll();
  return true;
}

}  // namespace zeblon
