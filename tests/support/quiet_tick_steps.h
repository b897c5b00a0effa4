// A main cycle for tests that drive ticks without a window: every step does
// nothing and the timers are not there; a test overrides the steps it watches.
#pragma once

#include "links/cycle_control.h"
#include "links/cycle_tick.h"

namespace zeblon::testing_support {

class QuietTickSteps : public links::TickSteps, public links::CycleControl {
 public:
  void StopWebBrowser() override {}
  void AprsIsUpkeep() override {}
  void AprsIsTitleAndAgeing() override {}
  void WatchUiDigipeater() override {}
  bool InternetScanStep() override { return false; }
  void UpdateClockLabel() override {}
  void PumpEvents() override {}
  void HfDualKeepAlive() override {}
  bool TakeChangedMoniOneCall() override { return false; }
  void MonitorListUpkeep() override {}
  void ReshowEmergencyWindow() override {}
  void PollTimeLimit() override {}
  void SendStatusBeacon() override {}
  bool IonosphereUpdate() override { return false; }
  bool MoniOneWebPoll() override { return false; }
  bool AreaWebPoll() override { return false; }
  void HideSavedMessages() override {}
  void DrawMap() override {}
  void RestoreFrameWidths() override {}
  void ReadGps() override {}
  void RadioLinkUpkeep() override {}
  void DecodeReceivedTraffic() override {}
  void SendPendingMessages() override {}
  void SendObjectBeacon() override {}
  void SendOwnBeacon() override {}
  void StopCycle() override {}
  void StartCycle() override {}
  void HoldCycle() override {}
  void ArmPause(int) override {}
  void StopWatchdog() override {}
  int CycleInterval() const override { return links::CycleTick::kCycleInterval; }
  void SetCycleInterval(int) override {}
};

}  // namespace zeblon::testing_support
