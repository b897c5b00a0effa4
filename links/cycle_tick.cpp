#include "links/cycle_tick.h"

#include <chrono>
#include <cmath>
#include <limits>

#include "geodesy/text.h"

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

bool IsGatingKind(int k) { return k == 0 || k == 1 || k == 5 || k == 6; }

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
  const bool radio = in.interfaceKind != 4;

  Call(hooks.stopWebBrowser);                                             // 1
  if (IsGatingKind(in.interfaceKind)) Call(hooks.aprsIsUpkeep);           // 2 (the hook tests the passcode)
  Call(hooks.aprsIsTitleAndAgeing);                                       // 3
  if (in.interfaceKind == 0) Call(hooks.watchUiDigipeater);               // 4
  if (Ends(hooks.internetScanStep)) return TickEnd::ScanStep;             // 5
  Call(hooks.updateClockLabel);                                           // 6
  Call(hooks.pumpEvents);                                                 // 7
  if (in.interfaceKind == 5) Call(hooks.hfDualKeepAlive);                 // 8
  if (Ends(hooks.takeChangedMoniOneCall)) return TickEnd::MoniOneChange;  // 9
  Call(hooks.monitorListUpkeep);                                          // 10
  Call(hooks.reshowEmergencyWindow);                                      // 11
  Call(hooks.pollTimeLimit);                                              // 12
  std::string slot;                                                       // 13
  if (StatusSlotDue(in, slot)) {
    Call(hooks.sendStatusBeacon);
    lastStatusSlot_ = slot;
    return TickEnd::StatusBeacon;
  }
  if (Ends(hooks.ionosphereUpdate)) return TickEnd::Ionosphere;  // 14
  if (Ends(hooks.moniOneWebPoll)) return TickEnd::MoniOnePoll;   // 15
  if (Ends(hooks.areaWebPoll)) return TickEnd::AreaPoll;         // 16

  if (hooks.setTimer1) hooks.setTimer1(false, 0);  // 17
  Call(hooks.hideSavedMessages);
  if (!in.pictureMode) Call(hooks.drawMap);
  Call(hooks.restoreFrameWidths);
  messageRetryDue_ = objectBeaconDue_ = positionBeaconDue_ = false;

  if (in.chatOn) {  // 18
    if (in.messageWaiting) messageRetryCountdown_ = 0;
    if (messageRetryCountdown_ <= 0) {
      messageRetryDue_ = true;
      messageRetryCountdown_ = 5;
    }
    --messageRetryCountdown_;
  }

  const double now = Now();  // 19
  if (in.beaconIntervalMinutes > 0 && radio && in.txOn && !messageRetryDue_) {
    auto elapsed = [&](const std::optional<double>& last) {
      return last ? std::floor(now - *last) : std::numeric_limits<double>::infinity();
    };
    if (in.objectBoxOn && elapsed(lastObjectBeacon_) > in.beaconIntervalMinutes * 120.0) objectBeaconDue_ = true;
    if (!objectBeaconDue_ && elapsed(lastPositionBeacon_) > in.beaconIntervalMinutes * 60.0) positionBeaconDue_ = true;
  }

  const bool work = objectBeaconDue_ || messageRetryDue_ || positionBeaconDue_;  // 20, 21
  lastInterval_ = work ? 2 * cycleInterval : cycleInterval;
  if (hooks.setTimer1) hooks.setTimer1(true, lastInterval_);

  if (RunsGps(in.gpsSource)) Call(hooks.readGps);  // 22
  if (radio) {                                     // 23
    Call(hooks.radioLinkUpkeep);
    Call(hooks.decodeReceivedTraffic);
  }
  if (messageRetryDue_) Call(hooks.sendPendingMessages);
  if (radio) {  // 24
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
