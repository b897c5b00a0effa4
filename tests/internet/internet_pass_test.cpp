// The internet pass over raw packet lines: stamps, header, position forms,
// messages, the MONI 1 merge, MONI ALL, the logs and the end of the pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "fakes.h"
#include "geodesy/text.h"
#include "internet/internet_pass.h"
#include "internet_fakes.h"
#include "settings/text_files.h"

namespace zeblon::internet {
namespace {

using reception::testing::FakeHost;
using reception::testing::TempDataFolder;

constexpr const char* kCall = "AB1CD";

struct PassFixture : ::testing::Test {
  TempDataFolder folder;
  reception::ReceptionState state;
  FakeHost host;
  reception::ChatLines chat;
  testing::FakeInternetWindow window;  // the notice hidden at the end of a pass

  void SetUp() override {
    auto& s = state.settings;
    s.dataFolder = folder.path();
    s.logsOn = true;
    s.moniOneCall = kCall;
    s.userCall = "ME1XY";
    s.txCall = "ME1XY-9";
    s.moniAllLimit = 50;
  }
  std::string Run(std::string lines, PassOptions options = {}) {
    InternetPass pass(state, host, chat, window, window);
    pass.Run(lines, options);
    level = pass.Level();
    return lines;
  }
  int level = 0;
  long NoticeHidden() const { return std::count(window.events.begin(), window.events.end(), "notice hidden"); }
};

// A line as the page receiver hands it over.
std::string Line(const std::string& stamp, const std::string& packet) { return stamp + "," + packet + "\r\n"; }

LineOutcome Decode(const std::string& raw, InternetLine& l, int offset = 0, const std::string& newest = "") {
  LineSettings s;
  s.utcOffsetHours = offset;
  s.txCall = "ME1XY-9";
  return DecodeInternetLine(raw, newest, s, l);
}

TEST(InternetLine, PositionForms) {
  struct Case {
    const char* packet;
    LineOutcome outcome;
    double lat, lon;
    const char* symbol;
    const char* comment;
    const char* mark;
  };
  const Case cases[] = {
      {"AB1CD>APRS,TCPIP*,qAC,T2X:!4903.50N/07201.75W-Test", LineOutcome::Record, 49 + 3.5 / 60, -(72 + 1.75 / 60),
       "/-", "Test", " "},
      {"AB1CD>APRS:=4903.50N/07201.75W-Test", LineOutcome::Record, 49 + 3.5 / 60, -(72 + 1.75 / 60), "/-", "Test", "'"},
      // The altitude leaves the comment.
      {"AB1CD>APRS:!5230.00N/01320.00E>123/045/A=001234 hello", LineOutcome::Record, 52.5, 13 + 20.0 / 60, "/>",
       " hello", " "},
      // A blank inside the latitude digits: read as compressed, which these characters are not.
      {"AB1CD>APRS:!49 3.50N/07201.75W-Test", LineOutcome::NoPosition, 0, 0, "", "", " "},
      // Compressed.
      {"AB1CD>APRS:=/5L!!<*e7>7P[", LineOutcome::Record, 49.5, -72.75, "/>", "7P[", "'"},
      // Compressed characters outside the form give no position.
      {"AB1CD>APRS:!/\x01\x01\x01\x01\x01\x01\x01\x01>", LineOutcome::NoPosition, 0, 0, "", "", " "},
      // NMEA with south and west; SSID 9 gives the car.
      {"AB1CD-9>GPSLK:$GPRMC,120000,A,3330.00,S,07030.00,W,0.0,0.0,010524,,*00", LineOutcome::Record, -33.5, -70.5,
       "/>", "", " "},
      // Latitude 0.005 degrees.
      {"AB1CD>APRS:!0000.30N/01320.00E-x", LineOutcome::NoPosition, 0, 0, "", "", " "},
      // Latitude beyond 90.
      {"AB1CD>APRS:!9530.00N/01320.00E-x", LineOutcome::NoPosition, 0, 0, "", "", " "},
      // Longitude beyond 180.
      {"AB1CD>APRS:!5230.00N/19320.00E-x", LineOutcome::NoPosition, 0, 0, "", "", " "},
      // An object is not decoded from internet lines.
      {"AB1CD>APRS:;OBJ      *111111z4903.50N/07201.75W-", LineOutcome::NoPosition, 0, 0, "", "", " "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.packet);
    InternetLine l;
    EXPECT_EQ(Decode("20240501123000," + std::string(c.packet), l), c.outcome);
    if (c.outcome != LineOutcome::Record) continue;
    EXPECT_NEAR(l.v.latitude, c.lat, 1e-4);
    EXPECT_NEAR(l.v.longitude, c.lon, 1e-4);
    EXPECT_EQ(l.v.symbolText, c.symbol);
    EXPECT_EQ(l.v.decodedComment, c.comment);
    EXPECT_EQ(l.v.messagingMark, c.mark);
  }
}

TEST(InternetLine, MicE) {
  InternetLine l;
  // Destination digits 1-3 all digits: emergency; "P" in position 4: north.
  ASSERT_EQ(Decode("20240501123000,AB1CD>512P3V:`(_fn\"Oj/>comment", l), LineOutcome::Record);
  EXPECT_EQ(l.v.emergencyFlag, 1);
  EXPECT_GT(l.v.latitude, 0);
  EXPECT_EQ(l.v.symbolText, "/j");
  EXPECT_EQ(l.v.decodedComment, "comment");
  // A "Z" as character 10 starts the comment.
  ASSERT_EQ(Decode("20240501123000,AB1CD>S32U6T:`(_fn\"Oj/Zulu", l), LineOutcome::Record);
  EXPECT_EQ(l.v.emergencyFlag, 0);
  EXPECT_EQ(l.v.decodedComment, "Zulu");
  // Longitude 90-99 degrees without the offset: 118-127 stays 90-99.
  LineSettings west;
  west.mapCentralMeridian = -93;
  ASSERT_EQ(DecodeInternetLine("20240501123000,AB1CD>S32U6T:`v_fn\"Oj/", "", west, l), LineOutcome::Record);
  EXPECT_NEAR(std::fabs(l.v.longitude), 90 + 7.0 / 60 + 74.0 / 6000, 1e-9);
  // Characters outside the Mic-E ranges give no position.
  EXPECT_EQ(Decode("20240501123000,AB1CD>S3!U6T:`(_fn\"Oj/", l), LineOutcome::NoPosition);
  EXPECT_EQ(Decode("20240501123000,AB1CD>S32U6T:`\x01_fn\"Oj/", l), LineOutcome::NoPosition);
}

TEST(InternetLine, StampHeaderAndFilters) {
  InternetLine l;
  // Dashed stamp, before the stamp is read.
  ASSERT_EQ(Decode("2024-03-01 12:00:05,AB1CD>APRS:!5230.00N/01320.00E-", l), LineOutcome::Record);
  EXPECT_EQ(l.line.substr(0, 15), "20240301120005,");
  // Local time one hour ahead: the next day.
  ASSERT_EQ(Decode("20240301233000,AB1CD>APRS:!5230.00N/01320.00E-", l, 1), LineOutcome::Record);
  EXPECT_EQ(l.line.substr(0, 14), "20240302003000");
  EXPECT_EQ(l.date + " " + l.time, "240302 0030");
  // Time filter: the same minute passes, a minute older does not; blanks (no track) pass all.
  EXPECT_EQ(Decode("20240301233000,AB1CD>APRS:!5230.00N/01320.00E-", l, 0, "240301 2330"), LineOutcome::Record);
  EXPECT_EQ(Decode("20240301232900,AB1CD>APRS:!5230.00N/01320.00E-", l, 0, "240301 2330"), LineOutcome::Older);
  EXPECT_EQ(Decode("20240301232900,AB1CD>APRS:!5230.00N/01320.00E-", l, 0, "           "), LineOutcome::Record);
  // Heard-via: the last path element in lower case, "tcpip" for TCPIP*.
  ASSERT_EQ(Decode("20240301233000,ab1cd>APRS,WIDE2-1,qAR,SERVER:!5230.00N/01320.00E-", l), LineOutcome::Record);
  EXPECT_EQ(l.v.viaText, "server");
  EXPECT_EQ(l.v.callText, "AB1CD");
  ASSERT_EQ(Decode("20240301233000,AB1CD>APRS,TCPIP*,qAC,SERVER:!5230.00N/01320.00E-", l), LineOutcome::Record);
  EXPECT_EQ(l.v.viaText, "tcpip");
  // No path: the destination ends at the ":" even with a "," in the payload.
  ASSERT_EQ(Decode("20240301233000,AB1CD>APRS:!5230.00N/01320.00E-a, b", l), LineOutcome::Record);
  EXPECT_EQ(l.v.destinationCall, "APRS");
  // The own relayed packet is dropped; another's is decoded without the stamp flag.
  EXPECT_EQ(Decode("20240501120300,ME1XY-9>ZEBLRE:@011200z5230.00N/01320.00E-", l), LineOutcome::OwnRelay);
  ASSERT_EQ(Decode("20240501120300,AB1CD>ZEBLRE:@011200z5230.00N/01320.00E-", l), LineOutcome::BadStamp);
  EXPECT_EQ(l.v.stampDeviates, 0);
  // Broken stamps and headers.
  EXPECT_EQ(Decode("20240231120000,AB1CD>APRS:!5230.00N/01320.00E-", l), LineOutcome::Broken);
  EXPECT_EQ(Decode("20240501120000,AB1CD-APRS-!5230.00N/01320.00E-", l), LineOutcome::Broken);
  EXPECT_EQ(Decode("20240501120000,AB1CD>APRS:@311200z5230.00N/01320.00E-", l, 0), LineOutcome::Record);
  EXPECT_EQ(Decode("20240401120000,AB1CD>APRS:@311200z5230.00N/01320.00E-", l, 0), LineOutcome::Broken);
}

TEST(InternetLine, StampFlagAndReportStamp) {
  struct Case {
    const char* stamp;
    const char* payload;
    LineOutcome outcome;
    int flag;
  };
  const Case cases[] = {
      {"20240501120300", "@011200z5230.00N/01320.00E-", LineOutcome::Record, 1},    // 3 minutes: flag "T"
      {"20240501120259", "@011200z5230.00N/01320.00E-", LineOutcome::BadStamp, 0},  // 2 minutes: stamp kept, off by 2
      {"20240512153100", "@121530z5230.00N/01320.00E-", LineOutcome::Record, 0},
      {"20240512153200", "@121530z5230.00N/01320.00E-", LineOutcome::BadStamp, 0},
      {"20240512160000", "@121559z5230.00N/01320.00E-", LineOutcome::BadStamp, 0},  // 41 apart as numbers
      {"20240512153100", "/153000h5230.00N/01320.00E-", LineOutcome::Record, 0},
      {"20240512154000", "/153000h5230.00N/01320.00E-", LineOutcome::Record, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.stamp) + " " + c.payload);
    InternetLine l;
    EXPECT_EQ(Decode(std::string(c.stamp) + ",AB1CD>APRS:" + c.payload, l), c.outcome);
    EXPECT_EQ(l.v.stampDeviates, c.flag);
  }
}

// The same packets through the radio decoder and the internet decoder.
TEST(InternetLine, AgreesWithTheRadioDecoder) {
  const char* packets[] = {
      "!4903.50N/07201.75W-Test",
      "=5230.00N/01320.00E>mobile/A=000100 x",
      "@011200z5230.00N/01320.00E_090/005g010t068",
      "=/5L!!<*e7>7P[",
      "!/5L!!<*e7>7P[ compressed",
      "$GPRMC,120000,A,3330.00,S,07030.00,W,0.0,0.0,010524,,*00",
      "`(_fn\"Oj/>comment",
      "'(_fn\"Oj/]Mic-E",
  };
  for (const char* payload : packets) {
    SCOPED_TRACE(payload);
    const std::string dest = payload[0] == '`' || payload[0] == '\'' ? "S32U6T" : "APRS";
    reception::FrameValues radio;
    radio.callText = "AB1CD-9";
    radio.destinationCall = dest;
    radio.payloadText = payload;
    radio.dataTypeChar = payload[0];
    reception::DecodeContext ctx;
    ctx.now = {2024, 5, 1, 12, 0, 0};
    ctx.project = false;
    ASSERT_EQ(reception::DecodePayload(radio, ctx), reception::DecodeResult::Position);
    InternetLine l;
    ASSERT_EQ(Decode("20240501120000,AB1CD-9>" + dest + ",TCPIP*:" + payload, l), LineOutcome::Record);
    EXPECT_DOUBLE_EQ(l.v.latitude, radio.latitude);
    EXPECT_DOUBLE_EQ(l.v.longitude, radio.longitude);
    EXPECT_EQ(l.v.symbolText, radio.symbolText);
    EXPECT_EQ(l.v.decodedComment, radio.decodedComment);
    EXPECT_EQ(l.v.messagingMark, radio.messagingMark);
  }
}

TEST_F(PassFixture, LinesBecomeRecordsOfTheWatchedStation) {
  host.now = {2024, 5, 1, 12, 40, 0};
  const std::string lines = Line("20240501120000", "AB1CD>APRS,TCPIP*:!5230.00N/01320.00E-first") +
                            Line("20240501120100", "OTHER>APRS,TCPIP*:!5230.00N/01320.00E-other") +
                            Line("20240501121000", "AB1CD>APRS,WIDE1-1,qAR,GATE:=5231.00N/01321.00E>second") +
                            "20240501121500,AB1CD>APRS:!5232.00N/01322.00E-unfinished";
  const std::string left = Run(lines);
  // The last line without CR LF stays.
  EXPECT_EQ(left, "20240501121500,AB1CD>APRS:!5232.00N/01322.00E-unfinished");
  ASSERT_EQ(state.stations.MoniOneCount(), 2);  // the empty track took the first report
  ASSERT_EQ(state.stations.MoniAllCount(), 2);  // the other station is stored nowhere
  const std::string& r = state.stations.MoniOneTrack()[2];
  EXPECT_EQ(r.size(), 120u);
  EXPECT_EQ(r.substr(0, 11), "240501 1210");
  EXPECT_EQ(r.substr(31, 10), "'AB1CD    ");
  EXPECT_EQ(reception::TrimmedColumns(r, 43, 89), "second");
  EXPECT_EQ(reception::TrimmedColumns(r, 91, 100), "gate");
  EXPECT_EQ(r.substr(100, 3), "/> ");
  EXPECT_EQ(state.stations.Newest().comment, "second");
  EXPECT_EQ(level, 2);
  // Logs, and the MONI 1 log mirrors the track.
  EXPECT_EQ(folder.read("_LOGL_.TXT"), state.stations.MoniAll()[1] + "\r\n" + state.stations.MoniAll()[2] + "\r\n");
  EXPECT_EQ(folder.read("_LOG_.TXT").size(), 2 * 92u);
  EXPECT_EQ(folder.read("AB1CD.TXT"), TrimRight(state.stations.MoniOneTrack()[1]) + "\r\n" +
                                          TrimRight(state.stations.MoniOneTrack()[2]) + "\r\n");
  EXPECT_EQ(NoticeHidden(), 1);
  EXPECT_EQ(host.drawMaps, 1);
  EXPECT_EQ(host.follows, 2);
}

TEST_F(PassFixture, MergeRulesAndRepeatedFetches) {
  const std::string first = Line("20240501120000", "AB1CD>APRS:!5230.00N/01320.00E-a");
  Run(first);
  ASSERT_EQ(state.stations.MoniOneCount(), 1);
  // Same minute: never added; the next fetch of the same line adds nothing but logs again.
  Run(first + Line("20240501120030", "AB1CD>APRS:!5230.00N/01320.00E-b"));
  EXPECT_EQ(state.stations.MoniOneCount(), 1);
  EXPECT_EQ(state.stations.MoniAllCount(), 1);  // the same date, time, position and call: one report
  EXPECT_EQ(level, 0);
  EXPECT_EQ(folder.read("_LOGL_.TXT").size(), 3 * 122u);
  // One minute newer: only with another position, call, mark or comment.
  Run(Line("20240501120100", "AB1CD>APRS:!5230.00N/01320.00E-a"));
  EXPECT_EQ(state.stations.MoniOneCount(), 1);
  Run(Line("20240501120100", "AB1CD>APRS:!5230.00N/01320.00E-c"));
  EXPECT_EQ(state.stations.MoniOneCount(), 2);
  // Two minutes newer: always.
  Run(Line("20240501120300", "AB1CD>APRS:!5230.00N/01320.00E-c"));
  EXPECT_EQ(state.stations.MoniOneCount(), 3);
  // A stored report without a comment takes the comment fetched later.
  Run(Line("20240501130000", "AB1CD>APRS:!5240.00N/01320.00E-"));
  const int n = state.stations.MoniAllCount();
  Run(Line("20240501130000", "AB1CD>APRS:!5240.00N/01320.00E-late comment"));
  EXPECT_EQ(state.stations.MoniAllCount(), n);
  EXPECT_EQ(reception::TrimmedColumns(state.stations.MoniAll()[n], 43, 89), "late comment");
}

TEST_F(PassFixture, EmergencyWritesOneAlarmBlock) {
  const std::string line = Line("20240501120000", "AB1CD>APRS:!5230.00N\\01320.00E!help");
  Run(line);
  EXPECT_EQ(level, 3);
  EXPECT_EQ(host.emergencyWindows, 1);
  const std::string alarm = folder.read("_ALARM_.TXT");
  EXPECT_NE(alarm.find("STATION : AB1CD\r\nTIME    : 2024-05-01 12:00\r\nQTH GLL : LAT"), std::string::npos);
  EXPECT_NE(alarm.find("INFO    : help\r\n"), std::string::npos);
  EXPECT_EQ(state.stations.MoniAll()[1][41], '!');
  EXPECT_EQ(state.stations.MoniOneTrack()[1][41], ' ');
  Run(line);
  EXPECT_EQ(folder.read("_ALARM_.TXT"), alarm);
}

TEST_F(PassFixture, FailingLineDropsOnlyItselfAndTheEndAlwaysRuns) {
  const std::string lines = Line("20240231120000", "AB1CD>APRS:!5230.00N/01320.00E-bad date") +
                            Line("20240501120000", "AB1CD>APRS:!5230.00N/01320.00E-good") +
                            Line("2024050112", "short") +
                            Line("20240501120500", "AB1CD>APRS:!5231.00N/01320.00E-good2");
  EXPECT_EQ(Run(lines), "");
  EXPECT_EQ(state.stations.MoniOneCount(), 2);
  // A text of 40 characters with CR LF is not processed; a text that begins with CR LF stays.
  host.drawMaps = 0;
  const std::string forty = std::string(38, 'x') + "\r\n";
  EXPECT_EQ(Run(forty), forty);
  EXPECT_EQ(Run("\r\n" + lines), "\r\n" + lines);
  EXPECT_EQ(host.drawMaps, 2);
  EXPECT_EQ(NoticeHidden(), 3);
}

TEST_F(PassFixture, RecordFieldsKeepTheirColumns) {
  state.settings.moniOneCall = "LONGCALL-15";
  Run(Line("20240501120000", "LONGCALL-15>APRS,AVERYLONGSERVERNAME:!5230.00N/01320.00E-" + std::string(60, 'c')));
  ASSERT_EQ(state.stations.MoniOneCount(), 1);
  const std::string& r = state.stations.MoniAll()[1];
  EXPECT_EQ(r.size(), 120u);
  EXPECT_EQ(r.substr(32, 9), "LONGCALL-");
  EXPECT_EQ(r[41], ' ');
  EXPECT_EQ(r.substr(42, 47), std::string(46, 'c') + "~");
  EXPECT_EQ(r.substr(90, 10), "averylongs");
  EXPECT_EQ(r.substr(100, 3), "/- ");
  // Positions below 1000 m keep their digits.
  EXPECT_EQ(::PositionText(500), "     .500");
}

TEST_F(PassFixture, DistanceAlarmInfoPanelAndScan) {
  auto& s = state.settings;
  s.moniOneAlarmOn = true;
  s.alarmDistanceKm = 5;
  InternetLine l;
  ASSERT_EQ(Decode("20240501120000,AB1CD>APRS:!5230.00N/01320.00E-A&B", l), LineOutcome::Record);
  s.userNorth = std::trunc(l.v.northing) / 1000.0 + 3.47;
  s.userEast = std::floor(l.v.easting) / 1000.0;
  state.info.Open(kCall, 0, reception::InfoMode::None);  // shown, no step captions yet
  PassOptions o;
  o.scanBusy = true;
  o.areaSupportOn = true;
  Run(Line("20240501120000", "AB1CD>APRS:!5230.00N/01320.00E-A&B"), o);
  ASSERT_EQ(host.alarms.size(), 1u);
  EXPECT_EQ(host.alarms[0].frameCaption, "MONI 1  < 5 km  ALARM   2024-05-01 12:00");
  EXPECT_EQ(host.alarms[0].labelCaption, "AB1CD    D = 3.4 km !");
  EXPECT_EQ(state.info.LabelCaption(), "DELETE");
  EXPECT_NE(state.info.LabelText().find("A&&B"), std::string::npos);
  EXPECT_EQ(host.drawMaps, 0);  // scanning with MONI ALL support: no redraw
}

TEST_F(PassFixture, MessagesToTheUser) {
  Run(Line("20240501120000", "AB1CD>APRS,TCPIP*::ME1XY-9  :hello{12") +
      Line("20240501120000", "AB1CD>APRS,TCPIP*::ME1XY    :plain") +
      Line("20240501120000", "AB1CD>APRS,TCPIP*::OTHER    :not mine{3"));
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0], ":AB1CD    :mok12");
  EXPECT_EQ(chat.text[6].substr(0, 28), "AB1CD    :ME1XY-9  :hello{12");
  EXPECT_EQ(chat.text[7].substr(0, 25), "AB1CD    :ME1XY    :plain");
  EXPECT_EQ(chat.colour[7], reception::kChatToUser);
  EXPECT_EQ(chat.openings, 1);
  const std::string log = folder.read("_CHATLOG.TXT");
  EXPECT_NE(log.find("20240501 1234  AB1CD    :ME1XY-9  :hello{12\r\n"), std::string::npos);
  // Fetched again: found in the chat lines or the log, neither shown nor answered.
  chat.text[6] = chat.text[7] = "";
  Run(Line("20240501120000", "AB1CD>APRS,TCPIP*::ME1XY-9  :hello{12"));
  EXPECT_EQ(host.sent.size(), 1u);
  // An acknowledgement colours the own line awaiting it.
  chat.text[3] = "ME1XY-9  :AB1CD    :hi{7";
  chat.colour[3] = 251;
  chat.text[4] = "ME1XY-9  :AB1CD    :hi{7";
  chat.colour[4] = 250;
  Run(Line("20240501120000", "AB1CD>APRS,TCPIP*::ME1XY-9  :ack7"));
  EXPECT_EQ(chat.colour[3], reception::kChatAcknowledged);
  EXPECT_EQ(chat.colour[4], 250);
}

TEST_F(PassFixture, MissingChatLogCountsAsEmpty) {
  std::filesystem::remove_all(folder.path() / "LOG");
  Run(Line("20240501120000", "AB1CD>APRS,TCPIP*::ME1XY-9  :hello{5"));
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0], ":AB1CD    :mok5");
}

}  // namespace
}  // namespace zeblon::internet
