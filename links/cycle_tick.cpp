#include "links/cycle_tick.h"

#include <chrono>
#include <cmath>
#include <limits>

#include "geodesy/text.h"
#include "reception/igate.h"
#include "settings/interface_kind.h"

namespace zeblon::links {
namespace {

template <typename F>
void Call(const F& f) {
  if (f) f();
}

template <typename F>
bool Ends(const F& f) {
  return f && f();
}

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

TickEnd CycleTick::Run(const TickInputs& in) {
  if (running_) return TickEnd::Reentered;
  RunningMark mark(running_);
  const InterfaceKind kind = InterfaceKindOf(in.interfaceKind);
  const bool radio = kind != InterfaceKind::NoRadio;

  Call(hooks.stopWebBrowser);
  if (IsGatingKind(in.interfaceKind)) Call(hooks.aprsIsUpkeep);  // the hook tests the passcode
  Call(hooks.aprsIsTitleAndAgeing);
  if (kind == InterfaceKind::AgwLocal) Call(hooks.watchUiDigipeater);
  if (Ends(hooks.internetScanStep)) return TickEnd::ScanStep;
  Call(hooks.updateClockLabel);
  Call(hooks.pumpEvents);
  if (kind == InterfaceKind::ScsTnc) Call(hooks.hfDualKeepAlive);
  if (Ends(hooks.takeChangedMoniOneCall)) return TickEnd::MoniOneChange;
  Call(hooks.monitorListUpkeep);
  Call(hooks.reshowEmergencyWindow);
  Call(hooks.pollTimeLimit);
  std::string slot;
  if (StatusSlotDue(in, slot)) {
    Call(hooks.sendStatusBeacon);
    lastStatusSlot_ = slot;
    return TickEnd::StatusBeacon;
  }
  if (Ends(hooks.ionosphereUpdate)) return TickEnd::Ionosphere;
  if (Ends(hooks.moniOneWebPoll)) return TickEnd::MoniOnePoll;
  if (Ends(hooks.areaWebPoll)) return TickEnd::AreaPoll;

  if (hooks.setTimer1) hooks.setTimer1(false, 0);
  Call(hooks.hideSavedMessages);
  if (!in.pictureMode) Call(hooks.drawMap);
  Call(hooks.restoreFrameWidths);
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
  if (hooks.setTimer1) hooks.setTimer1(true, lastInterval_);

  if (RunsGps(in.gpsSource)) Call(hooks.readGps);
  if (radio) {
    Call(hooks.radioLinkUpkeep);
    Call(hooks.decodeReceivedTraffic);
  }
  if (messageRetryDue_) Call(hooks.sendPendingMessages);
  if (radio) {
    if (in.objectBeaconOn && objectBeaconDue_) {
      Call(hooks.sendObjectBeacon);
      lastObjectBeacon_ = Now();
    }
    if (positionBeaconDue_) {
      Call(hooks.sendOwnBeacon);
      lastPositionBeacon_ = Now();
    }
  }
  return TickEnd::Full;
}

}  // namespace zeblon::links
