// The main cycle's tick (RunCycleTick) as a plain object: the order of its
// steps, the ones that end the tick early, the transmissions that are due and
// the interval of the next tick. The steps that other modules build (the web
// polls, the GPS reader, the APRS-IS upkeep, ...) are hooks; a hook that is not
// set is a step that does nothing.
//
// The tick cannot run inside itself: an event pump of a step (or a wait of a
// beacon that lets events run) that meets the next Timer1 event returns at once.
// Beacon intervals are measured on a monotonic clock of seconds.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "reception/aprs_decode.h"

namespace zeblon::links {

// How a tick ended.
enum class TickEnd {
  Full,           // ran to its end
  ScanStep,       // the next MONI 1 scan step ran
  MoniOneChange,  // a changed MONI 1 call was taken
  StatusBeacon,   // the 20-minute status beacon went out
  Ionosphere,     // the hourly ionosphere update was requested
  MoniOnePoll,    // the MONI 1 station's raw packets were requested
  AreaPoll,       // the stations of the area were requested
  Reentered       // called while a tick was running: nothing done
};

// The main window's state that a tick reads, taken afresh every tick.
struct TickInputs {
  int interfaceKind = 4;     // MODEM
  reception::LocalTime now;  // the local clock (the status minute)
  std::string userCall;      // USER
  bool aprsIsVerified = false;
  bool digiOn = false;            // DIGI (kind 0: as the digipeater watch found it)
  int beaconIntervalMinutes = 0;  // TXON; 0 is MANUAL
  bool txOn = false;              // the TX box Check6
  bool objectBoxOn = false;       // the OBJ box Check18
  bool objectBeaconOn = false;    // ObjectBeaconOn: the own object is being sent
  bool chatOn = false;            // the CHAT box Check7
  bool messageWaiting = false;    // OutgoingMessage not empty
  bool pictureMode = false;       // a picture replaces the map
  std::string gpsSource;          // NMEA
};

// The steps, in the order the tick runs them. Those returning bool end the tick
// when they return true.
struct TickHooks {
  std::function<void()> stopWebBrowser;          // the page loader stopped
  std::function<void()> aprsIsUpkeep;            // APRS-IS link upkeep and login
  std::function<void()> aprsIsTitleAndAgeing;    // IGate title field, duplicate list ageing
  std::function<void()> watchUiDigipeater;       // the engine's digipeater watched: kind 0 only
  std::function<bool()> internetScanStep;        // count down; true when the scan step ran
  std::function<void()> updateClockLabel;        // the clock label
  std::function<void()> pumpEvents;              // pending events, MainWindowActive
  std::function<void()> hfDualKeepAlive;         // SCS TNC keep-alive: kind 5 only (the hook tests HfDualOn)
  std::function<bool()> takeChangedMoniOneCall;  // true when a changed MONI 1 call was taken
  std::function<void()> monitorListUpkeep;       // the RAW list at its newest line
  std::function<void()> reshowEmergencyWindow;   // EMERGENCY shown again while the alarm stands
  std::function<void()> pollTimeLimit;           // the web polls switched off past their time limit
  std::function<void()> sendStatusBeacon;        // SendOwnBeacon in status mode
  std::function<bool()> ionosphereUpdate;        // true when the hourly update was requested
  std::function<bool()> moniOneWebPoll;          // true when the MONI 1 raw packets were requested
  std::function<bool()> areaWebPoll;             // true when the area's stations were requested
  std::function<void()> hideSavedMessages;       // before the redraw
  std::function<void()> drawMap;                 // unless a picture is shown (every drawing switches Timer1 on)
  std::function<void()> restoreFrameWidths;      // the MONI 1 read-out frames at standard width
  std::function<void(bool on, int intervalMs)> setTimer1;  // off to redraw, then on (interval 0: unchanged)
  std::function<void()> readGps;                           // the GPS source read
  std::function<void()> radioLinkUpkeep;                   // the packet engine's reconnect
  std::function<void()> decodeReceivedTraffic;             // the radio's frames since the last tick
  std::function<void()> sendPendingMessages;               // the chat lines waiting or due for a retry
  std::function<void()> sendObjectBeacon;                  // the own object, when due
  std::function<void()> sendOwnBeacon;                     // the position beacon, when due
};

class CycleTick {
 public:
  static constexpr int kCycleInterval = 6000;  // ms

  TickHooks hooks;
  // CycleInterval: the interval of a tick without transmit work (tests shorten it).
  int cycleInterval = kCycleInterval;
  // Seconds on a monotonic clock; tests install their own.
  std::function<double()> clock;

  TickEnd Run(const TickInputs& in);

  // What the last full tick found due.
  bool MessageRetryDue() const { return messageRetryDue_; }
  bool ObjectBeaconDue() const { return objectBeaconDue_; }
  bool PositionBeaconDue() const { return positionBeaconDue_; }
  int LastInterval() const { return lastInterval_; }
  bool Running() const { return running_; }

  // The TX switch and the TX setup OK make the next full tick find the
  // position beacon due (the "zero date").
  void ResetPositionBeacon() { lastPositionBeacon_.reset(); }
  void ResetObjectBeacon() { lastObjectBeacon_.reset(); }

 private:
  double Now() const;
  bool StatusSlotDue(const TickInputs& in, std::string& slot) const;
  bool RunsGps(const std::string& gpsSource) const;

  bool running_ = false;
  bool messageRetryDue_ = false, objectBeaconDue_ = false, positionBeaconDue_ = false;
  int messageRetryCountdown_ = 0;
  int lastInterval_ = kCycleInterval;
  std::optional<double> lastObjectBeacon_, lastPositionBeacon_;
  std::string lastStatusSlot_;
};

// A gating interface kind (the settings' MODEM number): reception::IsGatingInterface.
bool IsGatingKind(int interfaceKind);

}  // namespace zeblon::links
