// The main cycle's tick (RunCycleTick) as a plain object: the order of its
// steps, the ones that end the tick early, the transmissions that are due and
// the interval of the next tick. The steps that other modules build (the web
// polls, the GPS reader, the APRS-IS upkeep, ...) are the window's TickSteps.
//
// The tick cannot run inside itself: an event pump of a step (or a wait of a
// beacon that lets events run) that meets the next Timer1 event returns at once.
// Beacon intervals are measured on a monotonic clock of seconds.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "links/cycle_control.h"
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

// The steps, in the order the tick runs them, as the window carries them out.
// Those returning bool end the tick when they return true.
class TickSteps {
 public:
  virtual ~TickSteps() = default;
  virtual void StopWebBrowser() = 0;          // the page loader stopped
  virtual void AprsIsUpkeep() = 0;            // APRS-IS link upkeep and login
  virtual void AprsIsTitleAndAgeing() = 0;    // IGate and log title fields, duplicate list ageing
  virtual void WatchUiDigipeater() = 0;       // the engine's digipeater watched: kind 0 only
  virtual bool InternetScanStep() = 0;        // count down; true when the scan step ran
  virtual void UpdateClockLabel() = 0;        // the clock label
  virtual void PumpEvents() = 0;              // pending events, MainWindowActive
  virtual void HfDualKeepAlive() = 0;         // SCS TNC keep-alive: kind 5 only (it tests HfDualOn)
  virtual bool TakeChangedMoniOneCall() = 0;  // true when a changed MONI 1 call was taken
  virtual void MonitorListUpkeep() = 0;       // the RAW list at its newest line
  virtual void ReshowEmergencyWindow() = 0;   // EMERGENCY shown again while the alarm stands
  virtual void PollTimeLimit() = 0;           // the web polls switched off past their time limit
  virtual void SendStatusBeacon() = 0;        // the own beacon in status mode
  virtual bool IonosphereUpdate() = 0;        // true when the hourly update was requested
  virtual bool MoniOneWebPoll() = 0;          // true when the MONI 1 raw packets were requested
  virtual bool AreaWebPoll() = 0;             // true when the area's stations were requested
  virtual void HideSavedMessages() = 0;       // before the redraw
  virtual void DrawMap() = 0;                 // unless a picture is shown (every drawing switches Timer1 on)
  virtual void RestoreFrameWidths() = 0;      // the MONI 1 read-out frames at standard width
  virtual void ReadGps() = 0;                 // the GPS source read
  virtual void RadioLinkUpkeep() = 0;         // the packet engine's reconnect
  virtual void DecodeReceivedTraffic() = 0;   // the radio's frames since the last tick
  virtual void SendPendingMessages() = 0;     // the chat lines waiting or due for a retry
  virtual void SendObjectBeacon() = 0;        // the own object, when due
  virtual void SendOwnBeacon() = 0;           // the position beacon, when due
};

class CycleTick {
 public:
  static constexpr int kCycleInterval = 6000;  // ms

  // CycleInterval: the interval of a tick without transmit work (tests shorten it).
  int cycleInterval = kCycleInterval;
  // Seconds on a monotonic clock; tests install their own.
  std::function<double()> clock;

  // One tick: the steps through `steps`; Timer1 off for the redraw and on
  // again with the next tick's interval through `cycle`.
  TickEnd Run(const TickInputs& in, TickSteps& steps, CycleControl& cycle);

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
