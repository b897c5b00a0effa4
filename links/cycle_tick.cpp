#include "links/cycle_tick.h"

#include <chrono>
#include <cmath>
#include <limits>

#include "geodesy/text.h"
#include "reception/igate.h"
#include "settings/interface_kind.h"

namespace zeblon::links {
namespace {

std::string TwoDigits(int n) {
  return std::string{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
}

// Clears the running mark on every way out of the tick.
struct RunningMark {
  bool& mark;
  explicit RunningMark(bool& m) : mark(m) { mark = true; }
  ~RunningMark() { mark = false; }
};

}  // namespace

bool IsGatingKind(int interfaceKind) { return reception::IsGatingInterface(InterfaceKindOf(interfaceKind)); }

double CycleTick::Now() const {
  if (clock) return clock();
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool CycleTick::StatusSlotDue(const TickInputs& in, std::string& slot) const {
  if (!(in.aprsIsVerified || in.digiOn) || !IsGatingKind(in.interfaceKind)) return false;
  const char third = in.userCall.size() >= 3 ? in.userCall[2] : ' ';
  const int k = third >= '0' && third <= '9' ? third - '0' : 0;
  const int m = in.now.minute;
  slot = TwoDigits(in.now.hour) + ":" + TwoDigits(m);
  // The remainder keeps the dividend's sign: a minute before k never matches.
  return (m - k) % 20 == 0 && m - k >= 0 && slot != lastStatusSlot_;
}

bool CycleTick::RunsGps(const std::string& g) const {
  if (LeadingNumber(g) > 0) return true;
  return !(g.find("SAVE") != std::string::npos || g.size() <= 3);
}

TickEnd CycleTick::Run(const TickInputs& in, TickSteps& steps, CycleControl& cycle) {
  if (running_) return TickEnd::Reentered;
  RunningMark mark(running_);
  const InterfaceKind kind = InterfaceKindOf(in.interfaceKind);
  const bool radio = kind != InterfaceKind::NoRadio;

  steps.StopWebBrowser();
  if (IsGatingKind(in.interfaceKind)) steps.AprsIsUpkeep();  // the step tests the passcode
  steps.AprsIsTitleAndAgeing();
  if (kind == InterfaceKind::AgwLocal) steps.WatchUiDigipeater();
  if (steps.InternetScanStep()) return TickEnd::ScanStep;
  steps.UpdateClockLabel();
  steps.PumpEvents();
  if (kind == InterfaceKind::ScsTnc) steps.HfDualKeepAlive();
  if (steps.TakeChangedMoniOneCall()) return TickEnd::MoniOneChange;
  steps.MonitorListUpkeep();
  steps.ReshowEmergencyWindow();
  steps.PollTimeLimit();
  std::string slot;
  if (StatusSlotDue(in, slot)) {
    steps.SendStatusBeacon();
    lastStatusSlot_ = slot;
    return TickEnd::StatusBeacon;
  }
  if (steps.IonosphereUpdate()) return TickEnd::Ionosphere;
  if (steps.MoniOneWebPoll()) return TickEnd::MoniOnePoll;
  if (steps.AreaWebPoll()) return TickEnd::AreaPoll;

  cycle.StopCycle();
  steps.HideSavedMessages();
  if (!in.pictureMode) steps.DrawMap();
  steps.RestoreFrameWidths();
  messageRetryDue_ = objectBeaconDue_ = positionBeaconDue_ = false;

  if (in.chatOn) {
    if (in.messageWaiting) messageRetryCountdown_ = 0;
    if (messageRetryCountdown_ <= 0) {
      messageRetryDue_ = true;
      messageRetryCountdown_ = 5;
    }
    --messageRetryCountdown_;
  }

  const double now = Now();
  if (in.beaconIntervalMinutes > 0 && radio && in.txOn && !messageRetryDue_) {
    auto elapsed = [&](const std::optional<double>& last) {
      return last ? std::floor(now - *last) : std::numeric_limits<double>::infinity();
    };
    if (in.objectBoxOn && elapsed(lastObjectBeacon_) > in.beaconIntervalMinutes * 120.0) objectBeaconDue_ = true;
    if (!objectBeaconDue_ && elapsed(lastPositionBeacon_) > in.beaconIntervalMinutes * 60.0) positionBeaconDue_ = true;
  }

  // A transmission due: the next tick comes after twice the interval.
  const bool work = objectBeaconDue_ || messageRetryDue_ || positionBeaconDue_;
  lastInterval_ = work ? 2 * cycleInterval : cycleInterval;
  cycle.SetCycleInterval(lastInterval_);
  cycle.StartCycle();

  if (RunsGps(in.gpsSource)) steps.ReadGps();
  if (radio) {
    steps.RadioLinkUpkeep();
    steps.DecodeReceivedTraffic();
  }
  if (messageRetryDue_) steps.SendPendingMessages();
  if (radio) {
    if (in.objectBeaconOn && objectBeaconDue_) {
      steps.SendObjectBeacon();
      lastObjectBeacon_ = Now();
    }
    if (positionBeaconDue_) {
      steps.SendOwnBeacon();
      lastPositionBeacon_ = Now();
    }
  }
  return TickEnd::Full;
}

}  // namespace zeblon::links
