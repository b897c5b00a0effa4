// The internet layer's surroundings as tests give them: one fake that answers
// the main cycle, the controls around the internet boxes and the rest of the
// window, writing what was asked of it into a list of events and counters.
#pragma once

#include <string>
#include <vector>

#include "internet/internet_ports.h"
#include "links/cycle_control.h"

namespace zeblon::internet::testing {

class FakeInternetWindow : public links::CycleControl, public InternetControls, public InternetWindow {
 public:
  // "timer1 on/off", "timer2 <ms>", "notice <text> <colour>", "notice hidden",
  // "hourglass"/"pointer", "settings", in the order they came.
  std::vector<std::string> events;
  double clock = 0;  // seconds since midnight
  int hhmm = 0;
  double pollLimit = 900;
  double centreLatitude = 0, centreLongitude = 0;
  bool chatOpen = false;
  std::vector<std::string> calls;  // the MONI 1 combo's list and text
  std::string combo;
  int switchesShown = 0, draws = 0, selects = 0, focuses = 0, frameRestores = 0, newestReports = 0;

  // links::CycleControl
  void StopCycle() override { events.push_back("timer1 off"); }
  void StartCycle() override { events.push_back("timer1 on"); }
  void HoldCycle() override { events.push_back("hold"); }
  void ArmPause(int interval_ms) override { events.push_back("timer2 " + std::to_string(interval_ms)); }
  void StopWatchdog() override { events.push_back("timer2 off"); }
  int CycleInterval() const override { return 1000; }
  void SetCycleInterval(int) override {}

  // InternetControls
  void ShowNotice(const std::string& text, int colour) override {
    events.push_back("notice " + text + " " + std::to_string(colour));
  }
  void HideNotice() override { events.push_back("notice hidden"); }
  void SwitchesChanged() override { ++switchesShown; }
  bool ChatOpen() override { return chatOpen; }
  void CloseChat() override { chatOpen = false; }
  void DirectOnlyOff() override {}
  std::vector<std::string> StoredCalls() override { return calls; }
  std::string ComboText() override { return combo; }
  void SetComboText(const std::string& text) override { combo = text; }
  void MapCentre(double& latitude, double& longitude) override {
    latitude = centreLatitude;
    longitude = centreLongitude;
  }
  void WriteSettings() override { events.push_back("settings"); }
  // The values themselves are in the ionosphere state the tests read.
  void ShowIono(const IonoOutcome&) override {}

  // InternetWindow
  void ShowBusy(bool busy) override { events.push_back(busy ? "hourglass" : "pointer"); }
  // A test runs the event loop itself where it waits.
  void PumpEvents() override {}
  void DrawMap() override { ++draws; }
  void FocusMap() override { ++focuses; }
  void SelectMoniOneCall() override { ++selects; }
  void RestoreMoniOneFrames() override { ++frameRestores; }
  double PollLimitSeconds() const override { return pollLimit; }
  void ShowNewestInfoReport() override { ++newestReports; }
  double ClockSeconds() const override { return clock; }
  int Hhmm() const override { return hhmm; }
  reception::ChatPanel* ChatLines() override { return chatLines; }
  reception::ChatPanel* chatLines = nullptr;  // none: the internet layer keeps lines of its own
};

}  // namespace zeblon::internet::testing
