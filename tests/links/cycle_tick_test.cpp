// The main cycle's tick: the order of its steps, the early ends, the beacon
// schedule and the interval, with every step a recording hook.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "links/cycle_tick.h"

namespace zeblon::links {
namespace {

struct Recorder {
  std::vector<std::string> steps;
  double now = 100000;
  // Step names whose hook ends the tick.
  std::vector<std::string> ending;
  CycleTick tick;

  Recorder() {
    tick.clock = [this] { return now; };
    auto& h = tick.hooks;
    auto v = [this](const char* n) { return [this, n] { steps.push_back(n); }; };
    auto b = [this](const char* n) {
      return [this, n] {
        steps.push_back(n);
        for (const auto& e : ending)
          if (e == n) return true;
        return false;
      };
    };
    h.stopWebBrowser = v("browser");
    h.aprsIsUpkeep = v("aprsis");
    h.aprsIsTitleAndAgeing = v("title");
    h.watchUiDigipeater = v("digi");
    h.internetScanStep = b("scan");
    h.updateClockLabel = v("clock");
    h.pumpEvents = v("events");
    h.hfDualKeepAlive = v("hfdual");
    h.takeChangedMoniOneCall = b("moni1call");
    h.monitorListUpkeep = v("list");
    h.reshowEmergencyWindow = v("emergency");
    h.pollTimeLimit = v("polllimit");
    h.sendStatusBeacon = v("status");
    h.ionosphereUpdate = b("iono");
    h.moniOneWebPoll = b("moni1poll");
    h.areaWebPoll = b("areapoll");
    h.hideSavedMessages = v("hide7");
    h.drawMap = v("draw");
    h.restoreFrameWidths = v("widths");
    h.setTimer1 = [this](bool on, int ms) { steps.push_back(on ? "on" + std::to_string(ms) : "off"); };
    h.readGps = v("gps");
    h.radioLinkUpkeep = v("link");
    h.decodeReceivedTraffic = v("decode");
    h.sendPendingMessages = v("messages");
    h.sendObjectBeacon = v("object");
    h.sendOwnBeacon = v("beacon");
  }
  std::vector<std::string> Run(const TickInputs& in) {
    steps.clear();
    tick.Run(in);
    return steps;
  }
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
    EXPECT_EQ(r.tick.Run(Radio()), end) << step;
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
    const bool sent = r.tick.Run(in) == TickEnd::StatusBeacon;
    EXPECT_EQ(sent, c.sent) << c.hour << ":" << c.minute;
  }
  // A letter as the third character: minutes 00, 20, 40. Not without a gating kind.
  in.userCall = "SMXABC";
  in.now.minute = 40;
  EXPECT_EQ(r.tick.Run(in), TickEnd::StatusBeacon);
  in.interfaceKind = 3;
  in.now.minute = 0;
  EXPECT_EQ(r.tick.Run(in), TickEnd::Full);
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
  r.tick.hooks.pumpEvents = [&] {
    ++inner;
    innerEnd = r.tick.Run(Radio());  // the next Timer1 event met inside the pump
  };
  EXPECT_EQ(r.tick.Run(Radio()), TickEnd::Full);
  EXPECT_EQ(inner, 1);
  EXPECT_EQ(innerEnd, TickEnd::Reentered);
  EXPECT_FALSE(r.tick.Running());
  // An early end clears the mark too.
  r.ending = {"scan"};
  r.tick.Run(Radio());
  EXPECT_FALSE(r.tick.Running());
}

}  // namespace
}  // namespace zeblon::links
