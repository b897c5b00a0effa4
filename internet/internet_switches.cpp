#include "internet/internet_switches.h"

#include "settings/text_files.h"

namespace zeblon::internet {

std::string NextScanCall(const std::vector<std::string>& calls, const std::string& current) {
  if (calls.empty()) return {};
  std::size_t at = 0;
  const std::string_view wanted = TrimView(current);
  for (std::size_t i = 0; i < calls.size(); ++i)
    if (TrimView(calls[i]) == wanted) at = i;
  std::size_t next = at + 1;
  if (next == calls.size()) next = 0;
  return calls[next];
}

void InternetSwitches::SetMoniOneSupport(bool on) {
  if (st_.moniOneSupport == on) return;
  st_.moniOneSupport = on;
  MoniOneSupportChanged();
}

void InternetSwitches::SetAreaSupport(bool on) {
  if (st_.areaSupport == on) return;
  st_.areaSupport = on;
  AreaSupportChanged();
}

void InternetSwitches::SetScan(bool on) {
  if (st_.scan == on) return;
  st_.scan = on;
  ScanClicked();
}

void InternetSwitches::StopScan() {
  SetScan(false);
  st_.internetScanBusy = false;
  NormalColours();
}

void InternetSwitches::NormalColours() {
  st_.comboColour = kComboColour;
  st_.moniOneColour = st_.scanColour = kSwitchColour;
}

void InternetSwitches::MoniOneSupportChanged() {
  if (!st_.moniOneSupport) {
    SetAreaSupport(false);
    controls_.CloseChat();
    SetScan(false);
    st_.internetScanBusy = false;
    NormalColours();
  } else {
    st_.internetPollStart = window_.ClockSeconds();
    st_.webRequestCount = 0;
  }
  window_.FocusMap();
}

void InternetSwitches::AreaSupportChanged() {
  if (!st_.areaSupport) {
    st_.lastAreaRequestHhmm = 0;
  } else {
    SetMoniOneSupport(true);
    controls_.DirectOnlyOff();
    SetScan(false);
    st_.internetScanBusy = false;
    NormalColours();
    st_.internetPollStart = window_.ClockSeconds();
    st_.webRequestCount = 0;
    window_.DrawMap();
  }
  window_.FocusMap();
}

void InternetSwitches::ScanClicked() {
  if (controls_.ChatOpen()) {
    st_.internetScanBusy = false;
    SetScan(false);
    return;
  }
  st_.internetScanBusy = st_.scan;
  if (!st_.scan) {
    NormalColours();
    st_.lastAreaRequestHhmm = 0;
    window_.PumpEvents();
    return;
  }
  st_.scanCountdown = 5;
  SetAreaSupport(false);
  st_.comboColour = st_.moniOneColour = st_.scanColour = kScanColour;
  st_.lastRawRequestHhmm = -5000;
  st_.lastAreaRequestHhmm = 0;
  controls_.SetComboText(NextScanCall(controls_.StoredCalls(), controls_.ComboText()));
  window_.PumpEvents();
  SetMoniOneSupport(true);
  window_.SelectMoniOneCall();
}

bool InternetSwitches::Tick() {
  if (!st_.internetScanBusy) return false;
  if (--st_.scanCountdown > 0) return false;
  ScanClicked();
  return true;
}

}  // namespace zeblon::internet
