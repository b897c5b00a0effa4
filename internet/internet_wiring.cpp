#include "internet/internet_wiring.h"

#include <cmath>

#include "internet/web_requests.h"

namespace zeblon {

InternetWiring::InternetWiring(reception::ReceptionState& state, reception::ReceptionHost& host, Hooks hooks,
                               internet::WebSources sources)
    : h_(std::move(hooks)) {
  chat_.target = h_.chat;
  switches_ = std::make_unique<internet::InternetSwitches>(switchState_, h_.switches);
  web_ = std::make_unique<internet::WebRequests>(state, host, chat_, switchState_, iono_, h_.web, std::move(sources));
}

InternetWiring::~InternetWiring() = default;

void InternetWiring::RequestMagnetogramPage() { web_->RequestMagnetogramPage(); }

void InternetWiring::StartIonoUpdateByUser() { web_->StartIonoUpdateByUser(); }

void InternetWiring::TakeSavedIono(double sunspotNumber, double kIndex, bool autoUpdate) {
  iono_.sunspotNumber = sunspotNumber;
  iono_.kIndex = kIndex;
  iono_.autoUpdate = autoUpdate;
}

void InternetWiring::Changed() {
  if (h_.switchesChanged) h_.switchesChanged();
}

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
  const double now = h_.clockSeconds ? h_.clockSeconds() : 0;
  const double limit = h_.pollLimitSeconds ? h_.pollLimitSeconds() : 900;
  if (!(std::fabs(switchState_.internetPollStart - now) > limit)) return false;
  if (!switchState_.moniOneSupport && !switchState_.areaSupport) return false;
  switches_->SetAreaSupport(false);
  switches_->SetMoniOneSupport(false);
  Changed();
  return true;
}

void InternetWiring::FillTickHooks(links::TickHooks& t) {
  t.stopWebBrowser = [this] { web_->StopPageLoader(); };
  t.internetScanStep = [this] {
    if (switchState_.internetScanBusy && h_.restoreMoniOneFrames) h_.restoreMoniOneFrames();
    const bool stepped = switches_->Tick();
    if (stepped) Changed();
    return stepped;
  };
  t.pollTimeLimit = [this] { PollTimeLimit(); };
  t.ionosphereUpdate = [this] {
    const double now = h_.clockSeconds ? h_.clockSeconds() : 0;
    if (!web_->IonoUpdateDue(now)) return false;
    web_->StartHourlyIonoUpdate(now);
    return true;
  };
  t.moniOneWebPoll = [this] {
    if (!web_->RawPollDue(h_.hhmm ? h_.hhmm() : 0)) return false;
    web_->StartRawPoll();
    return true;
  };
  t.areaWebPoll = [this] {
    if (!web_->AreaPollDue(h_.hhmm ? h_.hhmm() : 0)) return false;
    web_->StartAreaPoll();
    return true;
  };
}

}  // namespace zeblon
