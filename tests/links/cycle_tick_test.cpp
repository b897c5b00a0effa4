// The main cycle's tick: the order of its steps, the early ends, the beacon
// schedule and the interval, with every step recorded.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "links/cycle_tick.h"

namespace zeblon::links {
namespace {

// Every step records its name; the steps named in `ending` end the tick.
struct Recorder : TickSteps, CycleControl {
  std::vector<std::string> steps;
  double now = 100000;
  std::vector<std::string> ending;
  CycleTick tick;
  int interval = 0;
  // What the event pump runs besides recording (the next Timer1 event met in it).
  std::function<void()> inPump;

  Recorder() {
    tick.clock = [this] { return now; };
  }
  std::vector<std::string> Run(const TickInputs& in) {
    steps.clear();
    tick.Run(in, *this, *this);
    return steps;
  }
  TickEnd RunTick(const TickInputs& in) { return tick.Run(in, *this, *this); }

  void Step(const char* name) { steps.push_back(name); }
  bool Ends(const char* name) {
    steps.push_back(name);
    for (const auto& e : ending)
      if (e == name) return true;
    return false;
  }
  void StopWebBrowser() override { Step("browser"); }
  void AprsIsUpkeep() override { Step("aprsis"); }
  void AprsIsTitleAndAgeing() override { Step("title"); }
  void WatchUiDigipeater() override { Step("digi"); }
  bool InternetScanStep() override { return Ends("scan"); }
  void UpdateClockLabel() override { Step("clock"); }
  void PumpEvents() override {
    Step("events");
    if (inPump) inPump();
  }
  void HfDualKeepAlive() override { Step("hfdual"); }
  bool TakeChangedMoniOneCall() override { return Ends("moni1call"); }
  void MonitorListUpkeep() override { Step("list"); }
  void ReshowEmergencyWindow() override { Step("emergency"); }
  void PollTimeLimit() override { Step("polllimit"); }
  void SendStatusBeacon() override { Step("status"); }
  bool IonosphereUpdate() override { return Ends("iono"); }
  bool MoniOneWebPoll() override { return Ends("moni1poll"); }
  bool AreaWebPoll() override { return Ends("areapoll"); }
  void HideSavedMessages() override { Step("hide7"); }
  void DrawMap() override { Step("draw"); }
  void RestoreFrameWidths() override { Step("widths"); }
  void ReadGps() override { Step("gps"); }
  void RadioLinkUpkeep() override { Step("link"); }
  void DecodeReceivedTraffic() override { Step("decode"); }
  void SendPendingMessages() override { Step("messages"); }
  void SendObjectBeacon() override { Step("object"); }
  void SendOwnBeacon() override { Step("beacon"); }
  // Timer1: "off" for the redraw, "on<interval>" after it.
  void StopCycle() override { steps.push_back("off"); }
  void StartCycle() override { steps.push_back("on" + std::to_string(interval)); }
  void SetCycleInterval(int interval_ms) override { interval = interval_ms; }
  void HoldCycle() override { steps.push_back("hold"); }
  void ArmPause(int) override { steps.push_back("pause"); }
  void StopWatchdog() override { steps.push_back("watchdog"); }
  int CycleInterval() const override { return tick.cycleInterval; }
};

TickInputs Radio(int kind = 3) {
  TickInputs in;
  in.interfaceKind = kind;
  in.userCall = "AB7CD";
  in.now = {2024, 5, 1, 14, 5, 0};
  return in;
}

using Steps = std::vector<std::string>;

TEST(CycleTick, FullTickOrder) {
  Recorder r;
  EXPECT_EQ(r.Run(Radio(3)),
            (Steps{"browser", "title", "scan", "clock", "events", "moni1call", "list", "emergency", "polllimit", "iono",
                   "moni1poll", "areapoll", "off", "hide7", "draw", "widths", "on6000", "link", "decode"}));
  // Kind 0 gates and watches the digipeater; kind 5 sends the keep-alive.
  const Steps k0 = r.Run(Radio(0));
  EXPECT_EQ(k0[1], "aprsis");
  EXPECT_EQ(k0[3], "digi");
  const Steps k5 = r.Run(Radio(5));
  EXPECT_NE(std::find(k5.begin(), k5.end(), "hfdual"), k5.end());
  // No radio: no link upkeep, no receive pass; a picture keeps the map undrawn;
  // a GPS port is read.
  TickInputs none = Radio(4);
  none.pictureMode = true;
  none.gpsSource = "3";
  EXPECT_EQ(r.Run(none),
            (Steps{"browser", "title", "scan", "clock", "events", "moni1call", "list", "emergency", "polllimit", "iono",
                   "moni1poll", "areapoll", "off", "hide7", "widths", "on6000", "gps"}));
}

TEST(CycleTick, EarlyEnds) {
  const std::pair<const char*, TickEnd> cases[] = {{"scan", TickEnd::ScanStep},
                                                   {"moni1call", TickEnd::MoniOneChange},
                                                   {"iono", TickEnd::Ionosphere},
                                                   {"moni1poll", TickEnd::MoniOnePoll},
                                                   {"areapoll", TickEnd::AreaPoll}};
  for (const auto& [step, end] : cases) {
    Recorder r;
    r.ending = {step};
    r.steps.clear();
    EXPECT_EQ(r.RunTick(Radio()), end) << step;
    EXPECT_EQ(r.steps.back(), step);
    EXPECT_EQ(std::find(r.steps.begin(), r.steps.end(), "decode"), r.steps.end());
  }
}

TEST(CycleTick, StatusSlot) {
  Recorder r;
  TickInputs in = Radio(0);
  in.digiOn = true;
  struct Case {
    int hour, minute;
    bool sent;
  };
  // AB7CD: minutes 07, 27 and 47; once per minute.
  const Case cases[] = {{14, 5, false}, {14, 7, true}, {14, 7, false}, {14, 27, true}, {14, 47, true}, {15, 7, true}};
  for (const Case& c : cases) {
    in.now.hour = c.hour;
    in.now.minute = c.minute;
    const bool sent = r.RunTick(in) == TickEnd::StatusBeacon;
    EXPECT_EQ(sent, c.sent) << c.hour << ":" << c.minute;
  }
  // A letter as the third character: minutes 00, 20, 40. Not without a gating kind.
  in.userCall = "SMXABC";
  in.now.minute = 40;
  EXPECT_EQ(r.RunTick(in), TickEnd::StatusBeacon);
  in.interfaceKind = 3;
  in.now.minute = 0;
  EXPECT_EQ(r.RunTick(in), TickEnd::Full);
}

TEST(CycleTick, BeaconDueStrictlyAfterItsInterval) {
  Recorder r;
  TickInputs in = Radio();
  in.beaconIntervalMinutes = 10;
  in.txOn = true;
  // The zero date: due at the first full tick, the next tick 12 s later.
  Steps s = r.Run(in);
  EXPECT_EQ(s.back(), "beacon");
  EXPECT_EQ(r.tick.LastInterval(), 12000);
  r.now += 600;
  s = r.Run(in);
  EXPECT_FALSE(r.tick.PositionBeaconDue());
  EXPECT_EQ(r.tick.LastInterval(), 6000);
  r.now += 1;
  s = r.Run(in);
  EXPECT_TRUE(r.tick.PositionBeaconDue());
  EXPECT_EQ(s.back(), "beacon");
  // Not with the TX box off, not without a radio, not with MANUAL.
  r.tick.ResetPositionBeacon();
  in.txOn = false;
  EXPECT_FALSE((r.Run(in), r.tick.PositionBeaconDue()));
  in.txOn = true;
  in.beaconIntervalMinutes = 0;
  EXPECT_FALSE((r.Run(in), r.tick.PositionBeaconDue()));
}

TEST(CycleTick, ObjectBeaconAtTwiceTheIntervalBeforeThePosition) {
  Recorder r;
  TickInputs in = Radio();
  in.beaconIntervalMinutes = 10;
  in.txOn = true;
  in.objectBoxOn = true;
  in.objectBeaconOn = true;
  Steps s = r.Run(in);  // both overdue: the object goes, the position waits
  EXPECT_TRUE(r.tick.ObjectBeaconDue());
  EXPECT_FALSE(r.tick.PositionBeaconDue());
  EXPECT_EQ(s.back(), "object");
  s = r.Run(in);
  EXPECT_EQ(s.back(), "beacon");
  r.now += 1200;
  r.Run(in);
  EXPECT_FALSE(r.tick.ObjectBeaconDue());
  r.now += 1;
  r.Run(in);
  EXPECT_TRUE(r.tick.ObjectBeaconDue());
}

TEST(CycleTick, MessageRetryEveryFifthTickAndAtOnceForANewMessage) {
  Recorder r;
  TickInputs in = Radio();
  in.chatOn = true;
  in.beaconIntervalMinutes = 1;
  in.txOn = true;
  std::vector<bool> due;
  for (int i = 0; i < 11; ++i) {
    r.Run(in);
    due.push_back(r.tick.MessageRetryDue());
    r.now += 6;
  }
  EXPECT_EQ(due, (std::vector<bool>{true, false, false, false, false, true, false, false, false, false, true}));
  // A retry tick decides no beacon and takes twice the interval.
  EXPECT_FALSE(r.tick.PositionBeaconDue());
  EXPECT_EQ(r.tick.LastInterval(), 12000);
  in.messageWaiting = true;
  r.Run(in);
  EXPECT_TRUE(r.tick.MessageRetryDue());
  // With no radio the retry pass still runs.
  in.interfaceKind = 4;
  const Steps s = r.Run(in);
  EXPECT_EQ(s.back(), "messages");
}

TEST(CycleTick, GpsSourceDecidesTheRead) {
  const std::pair<const char*, bool> cases[] = {{"", false},    {"0", false},           {"SAVE", false},
                                                {"3", true},    {"3 SAVE", true},       {"C:\\GPS\\DROP.TXT", true},
                                                {"A.T", false}, {"X:\\SAVE.TXT", false}};
  for (const auto& [source, reads] : cases) {
    Recorder r;
    TickInputs in = Radio();
    in.gpsSource = source;
    const Steps s = r.Run(in);
    EXPECT_EQ(std::find(s.begin(), s.end(), "gps") != s.end(), reads) << source;
  }
}

TEST(CycleTick, CannotReenterItself) {
  Recorder r;
  int inner = 0;
  TickEnd innerEnd = TickEnd::Full;
  r.inPump = [&] {
    ++inner;
    innerEnd = r.RunTick(Radio());  // the next Timer1 event met inside the pump
  };
  EXPECT_EQ(r.RunTick(Radio()), TickEnd::Full);
  EXPECT_EQ(inner, 1);
  EXPECT_EQ(innerEnd, TickEnd::Reentered);
  EXPECT_FALSE(r.tick.Running());
  // An early end clears the mark too.
  r.ending = {"scan"};
  r.RunTick(Radio());
  EXPECT_FALSE(r.tick.Running());
}

}  // namespace
}  // namespace zeblon::links
