// The poll requests, the pages turned into raw lines, the area query's station
// parser, the ionosphere pages and the internet switches.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes.h"
#include "internet/area_stations.h"
#include "internet/internet_switches.h"
#include "internet/ionosphere.h"
#include "internet/web_polls.h"
#include "internet_fakes.h"

namespace zeblon::internet {
namespace {

using reception::testing::FakeHost;
using reception::testing::TempDataFolder;

TEST(WebPolls, HoursOfThePoll) {
  const reception::LocalTime now{2024, 5, 1, 13, 40, 0};
  EXPECT_EQ(PollHours("240501 1005", now), 4);   // 11:00, 12:00, 13:00 passed
  EXPECT_EQ(PollHours("240426 1005", now), 72);  // five days
  EXPECT_EQ(PollHours("           ", now), 72);  // no record
  EXPECT_EQ(PollHours("240501 1339", now), 1);
  EXPECT_EQ(PollHours("240502 1000", now), 1);  // a record from the future
  EXPECT_EQ(PollHours("24xx01 1000", now), 72);
}

TEST(WebPolls, RequestAddresses) {
  const WebSources s = WebSourcesAt("http://127.0.0.1:9/");
  EXPECT_EQ(RawPacketsUrl(s, 1, "AB1CD-9", 4), "http://127.0.0.1:9/cgi-bin/raw.cgi?call=AB1CD-9&start=4&time=1");
  EXPECT_EQ(RawPacketsUrl(s, 0, "AB1CD-9", 4), "http://127.0.0.1:9/aprs/raw?callsign=AB1CD-9&seconds=14400");
  EXPECT_EQ(RawPacketsUrl(s, 0, "AB1CD", 500), "http://127.0.0.1:9/aprs/raw?callsign=AB1CD&seconds=259200");
  EXPECT_EQ(RawPacketsUrl(s, 1, "A B&C=D/\xC4", 0),
            "http://127.0.0.1:9/cgi-bin/raw.cgi?call=A%20B%26C%3DD%2F%C4&start=1&time=1");
  EXPECT_EQ(AreaUrl(s, 52.5, -13.25), "http://127.0.0.1:9/aprs/area?lat=52.5&lon=-13.25&distance=100000&seconds=3600");
  EXPECT_EQ(ClassifyPage("about:blank", s), PageKind::Blank);
  EXPECT_EQ(ClassifyPage("http://127.0.0.1:9/aprs/raw?callsign=X&seconds=3600", s), PageKind::RawSource1);
  EXPECT_EQ(ClassifyPage("http://127.0.0.1:9/cgi-bin/raw.cgi?call=X", s), PageKind::RawSource2);
  EXPECT_EQ(ClassifyPage("http://127.0.0.1:9/text/sgas.txt", s), PageKind::Iono2);
  EXPECT_EQ(ClassifyPage("http://127.0.0.1:9/magnetogram/index.html", s), PageKind::Iono1);
  EXPECT_EQ(ClassifyPage("http://127.0.0.1:9/other", s), PageKind::Other);
}

TEST(WebPolls, Source1Pages) {
  const std::string page = std::string("2024-05-01 12:34:56: AB1CD>APRS:!5230.00N/01320.00E>\n") +
                           "2024-05-01 12:35:56: AB1CD>APRS:!5230.00N/01320.00E>x\r\n" + std::string("\0", 1) +
                           "footer\r";
  EXPECT_EQ(RawLinesFromSource1Page(page),
            "20240501123456,AB1CD>APRS:!5230.00N/01320.00E>\r\n"
            "20240501123556,AB1CD>APRS:!5230.00N/01320.00E>x\r\n");
  EXPECT_EQ(RawLinesFromSource1Page("2024-05-01 12:34:56: A>B:x"), "");  // 40 characters or fewer
}

TEST(WebPolls, Source2Pages) {
  const std::string lines =
      "20240501123456,AB1CD>APRS,TCPIP*:!5230.00N/01320.00E>\r\n20240501123556,AB1CD>APRS:!5230.00N/01320.00E>\r\n";
  std::string page = "Packets\r\nRaw data: ab1cd\r\n\r\n" + lines + "\r\nEnd of page";
  page.insert(10, std::string("\0\0", 2));
  EXPECT_EQ(RawLinesFromSource2Page(page, "AB1CD"), lines + "End of page\r\n");
  EXPECT_EQ(RawLinesFromSource2Page("No data found for AB1CD RAW DATA: AB1CD\n" + lines, "AB1CD"), "");
  EXPECT_EQ(RawLinesFromSource2Page("RAW DATA: AB1CD\n2024050112,short", "AB1CD"), "");  // 60 or fewer
  EXPECT_EQ(RawLinesFromSource2Page("RAW DATA: OTHER\n" + lines, "AB1CD"), "");
}

struct AreaFixture : ::testing::Test {
  TempDataFolder folder;
  reception::ReceptionState state;
  FakeHost host;
  testing::FakeInternetWindow window;  // the notice hidden at the end
  void SetUp() override {
    state.settings.dataFolder = folder.path();
    state.settings.logsOn = true;
    state.settings.moniAllLimit = 100;
  }
  int Parse(const std::string& answer) { return ParseAreaStations(answer, state, host, window, window); }
};

std::string Station(const std::string& call, const std::string& when, const std::string& lat, const std::string& lon,
                    const std::string& table = "/", const std::string& code = ">", bool object = false) {
  return "{\"callsign\":\"" + call + "\",\"ssid\":\"\",\"class\":\"a\"," +
         (object ? "\"type\":\"O\"," : "\"type\":\"l\",") + "\"posreceived\":\"" + when + "\",\"lat\":" + lat +
         ",\"lon\":" + lon + ",\"course\":0,\"speed\":0,\"symbolcode\":\"" + code + "\",\"symboltable\":\"" + table +
         "\",\"comment\":\"a comment that makes the answer long enough for the last station\"}";
}

TEST_F(AreaFixture, StationsOfTheArea) {
  const std::string answer = "[" + Station("AB1CD", "2024-05-01 12:34:56", "52.5", "13.25") + "," +
                             Station("OBJECT", "2024-05-01 12:35:00", "52.6", "13.3", "/", ">", true) + "," +
                             Station("EF2GH-7", "2024-05-01 12:36:00", "52.7", "13.4", "S", "#") + "," +
                             Station("EQUATOR", "2024-05-01 12:36:00", "0.005", "13.4") + "]";
  EXPECT_EQ(Parse(answer), 2);
  ASSERT_EQ(state.stations.MoniAllCount(), 2);
  const std::string& r = state.stations.MoniAll()[1];
  EXPECT_EQ(r.size(), 120u);
  EXPECT_EQ(r.substr(0, 12), "240501 1234 ");
  EXPECT_EQ(r[12], reception::kPointMark);
  EXPECT_EQ(r.substr(31, 10), " AB1CD    ");
  EXPECT_EQ(r.substr(90, 10), "inet      ");
  EXPECT_EQ(r.substr(100, 3), "/> ");
  EXPECT_EQ(state.stations.MoniAll()[2].substr(100, 3), "\\#S");
  EXPECT_EQ(std::count(window.events.begin(), window.events.end(), "notice hidden"), 1);
  EXPECT_EQ(host.drawMaps, 1);
  EXPECT_EQ(folder.read("_LOGL_.TXT"), state.stations.MoniAll()[1] + "\r\n" + state.stations.MoniAll()[2] + "\r\n");
  // The same answer again: every station a duplicate.
  EXPECT_EQ(Parse(answer), 0);
  // An older time of day of a stored call is dropped, whatever the date.
  EXPECT_EQ(Parse("[" + Station("AB1CD", "2024-05-02 12:30:00", "53.5", "13.25") + "]"), 0);
}

TEST_F(AreaFixture, BrokenStationsAreSkipped) {
  // Blanks around a colon and keys between the position's keys are plain JSON.
  const std::string spaced =
      "{\"callsign\":\"SPACED\",\"ssid\":\"\",\"class\":\"a\",\"type\":\"l\",\"posreceived\":\"2024-05-01 12:34:56\","
      "\"lat\":52.5,\"x\":1,\"y\":2,\"z\":3,\"w\":4,\"v\":5,\"u\":6,\"t\":7,\"lon\" :13.2,"
      "\"symbolcode\":\">\",\"symboltable\":\"/\",\"comment\":\"padding padding padding\"}";
  const std::string noLon =
      "{\"callsign\":\"NOLON\",\"posreceived\":\"2024-05-01 12:34:56\",\"lat\":52.5,"
      "\"symbolcode\":\">\",\"symboltable\":\"/\"}";
  const std::string answer = "[" + Station("AB1CD", "2024-05-01 12:34:56", "52.5", "13.25") + "," + spaced + "," +
                             noLon + "," + Station("BAD DATE", "2024-05-01 12:36:00", "52.7", "13.4") + "," +
                             Station("EF2GH", "2024-13-01 12:36:00", "52.7", "13.4") + "," +
                             Station("IJ3KL", "2024-05-01 12:37:00", "95.0", "13.4") + "," +
                             Station("MN4OP", "2024-05-01 12:38:00", "52.8", "13.5") + "]";
  EXPECT_EQ(Parse(answer), 3);
  std::vector<std::string> calls;
  for (int i = 1; i <= state.stations.MoniAllCount(); ++i)
    calls.push_back(reception::TrimmedColumns(state.stations.MoniAll()[static_cast<std::size_t>(i)], 33, 41));
  std::sort(calls.begin(), calls.end());
  EXPECT_EQ(calls, (std::vector<std::string>{"AB1CD", "MN4OP", "SPACED"}));
  // No answer, or a cut-off one: nothing.
  EXPECT_EQ(Parse(""), 0);
  EXPECT_EQ(Parse(answer.substr(0, answer.size() - 40)), 0);
}

// The service may write its answer compact or pretty-printed, with the
// coordinates as numbers or in quotes, inside an array or an object: the same
// stations are taken.
TEST(AreaStations, TheSameStationsInAnyJsonForm) {
  const std::string compact =
      R"([{"callsign":"AB1CD-9","type":"l","posreceived":"2024-05-01 12:34:56","lat":59.5,"lon":18.25,)"
      R"("symbolcode":">","symboltable":"\/"},{"callsign":"OBJ1","type":"O","posreceived":"2024-05-01 12:35:00",)"
      R"("lat":59.6,"lon":18.3,"symbolcode":"-","symboltable":"/"},{"callsign":"EF2GH","type":"l",)"
      R"("posreceived":"2024-05-01 12:36:00","lat":59.7,"lon":-18.4,"symbolcode":"#","symboltable":"S"}])";
  const std::string pretty = R"([
  {
    "symboltable" : "/",
    "symbolcode" : ">",
    "lon" : "18.25",
    "lat" : "59.5",
    "posreceived" : "2024-05-01 12:34:56",
    "type" : "l",
    "callsign" : "AB1CD-9"
  },
  {
    "callsign" : "OBJ1",
    "type" : "O",
    "posreceived" : "2024-05-01 12:35:00",
    "lat" : 59.6,
    "lon" : 18.3,
    "symbolcode" : "-",
    "symboltable" : "/"
  },
  {
    "callsign" : "EF2GH",
    "type" : "l",
    "posreceived" : "2024-05-01 12:36:00",
    "lat" : 59.7,
    "lon" : -18.4,
    "symbolcode" : "#",
    "symboltable" : "S"
  }
]
)";
  const std::string wrapped = "{\"found\": 3, \"entries\": " + pretty + "}";
  for (const std::string* answer : {&compact, &pretty, &wrapped}) {
    const std::vector<AreaStation> got = AreaStationsOf(*answer);
    ASSERT_EQ(got.size(), 2u) << *answer;
    EXPECT_EQ(got[0].call, "AB1CD-9");
    EXPECT_EQ(got[0].date, "2024-05-01");
    EXPECT_EQ(got[0].time, "12:34:56");
    EXPECT_DOUBLE_EQ(got[0].latitude, 59.5);
    EXPECT_DOUBLE_EQ(got[0].longitude, 18.25);
    EXPECT_EQ(std::string({got[0].table, got[0].code, got[0].overlay}), "/> ");
    EXPECT_EQ(got[1].call, "EF2GH");
    EXPECT_DOUBLE_EQ(got[1].longitude, -18.4);
    EXPECT_EQ(std::string({got[1].table, got[1].code, got[1].overlay}), "\\#S");
  }
  EXPECT_TRUE(AreaStationsOf("not json at all, callsign").empty());
}

TEST(Ionosphere, KIndexOfTheMagnetogram) {
  struct Case {
    double h, c, k;
  };
  for (const Case& c : {Case{3, 4, 3.5}, Case{2.67, 3, 2.8}, Case{2, 3, 2.5}, Case{2, 2.5, 2.2}, Case{2.25, 2, 2.1},
                        Case{2.75, 2, 2.4}})
    EXPECT_DOUBLE_EQ(CombinedKIndex(c.h, c.c), c.k) << c.h << " " << c.c;
}

std::string Padded(const std::string& text) { return text + std::string(320, ' '); }

TEST(Ionosphere, MagnetogramAndBulletin) {
  IonoState st;
  IonoOutcome o = ParseMagnetogramPage(
      Padded("<p>kiel 3-hour k: 3</p>\r\nKiel current K 4\r\nsunspot number 123 today\r\n"), st, "12:00:00");
  EXPECT_DOUBLE_EQ(st.kIndex, 3.5);
  EXPECT_DOUBLE_EQ(st.sunspotNumber, 123);
  EXPECT_EQ(st.status, " UPDATED (1) 12:00:00");
  EXPECT_EQ(o.settingsWrites, 2);
  EXPECT_FALSE(o.requestBulletin);
  // Without the sunspot number: the K index is kept and saved, the bulletin gives the rest.
  o = ParseMagnetogramPage(Padded("KIEL 3-HOUR K 2\r\nKIEL CURRENT K 3\r\n"), st, "13:00:00");
  EXPECT_DOUBLE_EQ(st.kIndex, 2.5);
  EXPECT_EQ(o.settingsWrites, 1);
  EXPECT_TRUE(o.requestBulletin);
  EXPECT_EQ(st.status, "UPDATE FAILED");
  const std::string bulletin = Padded("SSN 999\r\n") + "Solar: SSN 142 x\r\nA. Middle Latitude 2\r\n Planetary 12\r\n";
  o = ParseSpaceWeatherBulletin(bulletin, st, "13:00:01");
  EXPECT_DOUBLE_EQ(st.sunspotNumber, 142);
  EXPECT_DOUBLE_EQ(st.kIndex, 2.5);
  EXPECT_EQ(st.status, " UPDATED (M) 13:00:01");
  // Both values wanted: the K index from the end of the " Planetary " line.
  st.sunspotPending = st.kIndexPending = true;
  o = ParseSpaceWeatherBulletin(bulletin, st, "14:00:00");
  EXPECT_DOUBLE_EQ(st.kIndex, 12);
  EXPECT_EQ(st.status, " UPDATED (2) 14:00:00");
  EXPECT_EQ(o.settingsWrites, 1);
  // Without the " Planetary " line: failed, the sunspot number taken but nothing saved.
  st.kIndexPending = true;
  o = ParseSpaceWeatherBulletin(Padded("Solar: SSN 150 x\r\n"), st, "15:00:00");
  EXPECT_EQ(st.status, "UPDATE FAILED");
  EXPECT_TRUE(o.sunspotTaken);
  EXPECT_EQ(o.settingsWrites, 0);
  // Short pages fail; a bulletin with "ssn" in small letters is not read.
  o = ParseMagnetogramPage("KIEL 3-HOUR K 2", st, "");
  EXPECT_TRUE(o.requestBulletin);
  o = ParseSpaceWeatherBulletin(Padded("Solar: ssn 150 x\r\n"), st, "");
  EXPECT_EQ(st.status, "UPDATE FAILED");
  EXPECT_FALSE(o.sunspotTaken);
}

TEST(Ionosphere, ManualInput) {
  IonoState st;
  EXPECT_TRUE(ApplyManualIonoInput("120 R", "7.5xyz", st));
  EXPECT_DOUBLE_EQ(st.sunspotNumber, 120);
  EXPECT_DOUBLE_EQ(st.kIndex, 7.5);
  EXPECT_TRUE(ApplyManualIonoInput("", "none", st));
  EXPECT_DOUBLE_EQ(st.kIndex, 0);
  st.autoUpdate = true;
  EXPECT_FALSE(ApplyManualIonoInput("5", "5", st));
  EXPECT_DOUBLE_EQ(st.sunspotNumber, 0);
  EXPECT_EQ(InetValueText(3.5), "3.5 (INET)");
}

TEST(InternetSwitches, NextCallOfTheScan) {
  const std::vector<std::string> list{"A", "B", "C"};
  EXPECT_EQ(NextScanCall(list, "B"), "C");
  EXPECT_EQ(NextScanCall(list, "C"), "A");
  EXPECT_EQ(NextScanCall(list, "X"), "B");
  EXPECT_EQ(NextScanCall({"A"}, "X"), "A");
  EXPECT_EQ(NextScanCall({}, "X"), "");
}

TEST(InternetSwitches, SwitchesAndScan) {
  InternetSwitchState st;
  testing::FakeInternetWindow window;
  window.clock = 100;
  window.calls = {"A", "B", "C"};
  window.combo = "B";
  bool& chat = window.chatOpen;
  const std::string& combo = window.combo;
  InternetSwitches sw(st, window, window);
  // A right click twice returns to source 1.
  sw.ToggleWebSource();
  EXPECT_EQ(sw.MoniOneCaption(), "i  2");
  sw.ToggleWebSource();
  EXPECT_EQ(sw.MoniOneCaption(), "i  1");
  // The scan: the next call, MONI 1 support on, five ticks per station.
  sw.SetScan(true);
  EXPECT_TRUE(st.internetScanBusy);
  EXPECT_TRUE(st.moniOneSupport);
  EXPECT_EQ(combo, "C");
  EXPECT_EQ(st.lastRawRequestHhmm, -5000);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(sw.Tick());
  EXPECT_TRUE(sw.Tick());
  EXPECT_EQ(combo, "A");
  EXPECT_EQ(window.selects, 2);
  // MONI ALL support stops the scan and keeps MONI 1 support.
  sw.SetAreaSupport(true);
  EXPECT_FALSE(st.scan);
  EXPECT_FALSE(st.internetScanBusy);
  EXPECT_TRUE(st.moniOneSupport);
  EXPECT_EQ(window.draws, 1);
  // MONI 1 support off ends MONI ALL support too.
  sw.SetMoniOneSupport(false);
  EXPECT_FALSE(st.areaSupport);
  EXPECT_EQ(st.lastAreaRequestHhmm, 0);
  // Ticking MONI ALL support while MONI 1 support is off ticks it.
  sw.SetAreaSupport(true);
  EXPECT_TRUE(st.moniOneSupport);
  // The scan cannot run while the chat window is open.
  chat = true;
  sw.SetScan(true);
  EXPECT_FALSE(st.scan);
  EXPECT_FALSE(st.internetScanBusy);
}

}  // namespace
}  // namespace zeblon::internet
