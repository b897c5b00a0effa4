#include "internet/internet_wiring.h"

#include <cmath>

#include "internet/web_requests.h"
#include "links/computer_clock.h"

namespace zeblon {

// ---------------------------------------------------------------------------
// The relays.

reception::LocalTime ReceptionHostRelay::Now() {
  if (auto* t = Target()) return t->Now();
  return ComputerClockNow();
}

void ReceptionHostRelay::DrawMap() {
  if (auto* t = Target()) return t->DrawMap();
  if (drawMap) drawMap();
}

void ReceptionHostRelay::SetTimer1(bool on) {
  if (auto* t = Target()) return t->SetTimer1(on);
  if (setTimer1) setTimer1(on);
}

void ReceptionHostRelay::ConvertMapKmToLatLon(double northKm, double eastKm, std::string& latText,
                                              std::string& lonText) {
  if (auto* t = Target()) t->ConvertMapKmToLatLon(northKm, eastKm, latText, lonText);
}

void ReceptionHostRelay::SendAprsMessage(const std::string& outgoingMessage) {
  if (sendAprsMessage) {
    sendAprsMessage(outgoingMessage);
    return;
  }
  if (auto* t = Target()) t->SendAprsMessage(outgoingMessage);
}

void ReceptionHostRelay::MonitorListChanged() {
  if (auto* t = Target()) t->MonitorListChanged();
}

void ReceptionHostRelay::ShowEmergencyWindow() {
  if (auto* t = Target()) t->ShowEmergencyWindow();
}

void ReceptionHostRelay::ShowWxInfoForRecord(const std::string& infoRecord) {
  if (auto* t = Target()) t->ShowWxInfoForRecord(infoRecord);
}

void ReceptionHostRelay::InfoPanelChanged() {
  if (auto* t = Target()) t->InfoPanelChanged();
}

void ReceptionHostRelay::ShowDistanceAlarm(const reception::DistanceAlarm& alarm) {
  if (auto* t = Target()) return t->ShowDistanceAlarm(alarm);
  if (showDistanceAlarm) showDistanceAlarm(alarm);
}

void ReceptionHostRelay::Beep() {
  if (auto* t = Target()) t->Beep();
}

void ReceptionHostRelay::FollowMoniOneStation() {
  if (auto* t = Target()) t->FollowMoniOneStation();
}

void ReceptionHostRelay::ClosePictureViewer() {
  if (auto* t = Target()) t->ClosePictureViewer();
}

bool ReceptionHostRelay::PictureViewerShown() {
  auto* t = Target();
  return t != nullptr && t->PictureViewerShown();
}

void ReceptionHostRelay::AfterQuietPass() {
  if (auto* t = Target()) t->AfterQuietPass();
}

// ---------------------------------------------------------------------------
// The wiring.

InternetWiring::InternetWiring(reception::ReceptionState& state, Hooks hooks, links::CycleControl& cycle,
                               internet::InternetControls& controls, internet::InternetWindow& window,
                               internet::WebSources sources)
    : h_(std::move(hooks)), controls_(controls), window_(window) {
  host_.target = h_.host;
  host_.drawMap = h_.drawMap;
  host_.setTimer1 = h_.setTimer1;
  host_.sendAprsMessage = h_.sendAprsMessage;
  host_.showDistanceAlarm = h_.showDistanceAlarm;
  chat_.target = h_.chat;
  switches_ = std::make_unique<internet::InternetSwitches>(switchState_, controls_, window_);
  web_ = std::make_unique<internet::WebRequests>(state, host_, chat_, switchState_, iono_, cycle, controls_, window_,
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
