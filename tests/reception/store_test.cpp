// Storing reports: the record byte for byte, the logs, duplicates, pruning,
// emergencies, alarms, the MONI 1 track, the pass's turns and its failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/corpus.h"
#include "fakes.h"
#include "geodesy/text.h"
#include "reception/messages.h"
#include "reception/moni_one_log.h"
#include "tests/support/file_faults.h"
#include "tests/support/one_frame.h"

namespace zeblon::reception {
namespace {

using testing::FakeHost;
using testing::Monitor;
using testing::ScriptedSource;
using testing::TempDataFolder;

class StoreTest : public ::testing::Test {
 protected:
  StoreTest() {
    st.settings.dataFolder = folder.path();
    st.settings.logsOn = true;
    st.settings.mapCentralMeridian = -75.0;  // zone 18, where the test positions lie
    st.settings.mapZoneText = "18";
    st.settings.userCall = "N0CALL";
    st.settings.txCall = "N0CALL-1";
    chat.ownCall = "N0CALL-1";
  }
  int Frame(const std::string& header, const std::string& payload) {
    const std::string m = Monitor(header, payload);
    return pass.ProcessFrame(m.substr(0, m.size() - 1));
  }
  TempDataFolder folder;
  ReceptionState st;
  FakeHost host;
  ChatLines chat;
  ReceivePass pass{st, host, chat};
};

TEST_F(StoreTest, RecordAndLogLinesColumnByColumn) {
  ASSERT_EQ(Frame("SRC*>APRS", "!4903.50N/07201.75W-Test"), 1);
  ASSERT_EQ(st.stations.MoniAllCount(), 1);
  const std::string& r = st.stations.MoniAll()[1];
  ASSERT_EQ(r.size(), 120u);
  EXPECT_EQ(r.substr(0, 12), "240501 1234 ");
  EXPECT_EQ(r[12], '\xFE');
  EXPECT_EQ(r.substr(31, 11), " SRC       ");
  EXPECT_EQ(r.substr(41, 1), " ");
  EXPECT_EQ(r.substr(42, 47), "Test" + std::string(43, ' '));
  EXPECT_EQ(r.substr(89, 11), std::string(11, ' '));  // no object mark, heard directly
  EXPECT_EQ(r.substr(100, 20), "/-  Home            ");
  // The position texts are the projected metres, northing truncated, easting rounded down.
  FrameValues v;
  v.callText = "SRC";
  v.destinationCall = "APRS";
  v.dataTypeChar = '!';
  v.payloadText = "!4903.50N/07201.75W-Test";
  DecodeContext ctx;
  ctx.mapCentralMeridian = -75.0;
  ASSERT_EQ(DecodePayload(v, ctx), DecodeResult::Position);
  EXPECT_EQ(r.substr(12, 19), PositionPart(v.northing, v.easting));

  EXPECT_EQ(folder.read("_LOGL_.TXT"), r + "\r\n");
  const std::string shortLine = folder.read("_LOG_.TXT");
  EXPECT_EQ(shortLine, r.substr(0, 58) + " " + r.substr(89, 31) + "\r\n");
  EXPECT_EQ(shortLine.size(), 92u);
}

TEST_F(StoreTest, FlagsOverlayObjectAndCommentCut) {
  const std::string long48(48, 'c');
  ASSERT_EQ(Frame("SRC*>APRS", "=4903.50N907201.75W#" + long48), 1);
  const std::string& r = st.stations.MoniAll()[1];
  EXPECT_EQ(r[31], '\'');
  EXPECT_EQ(r.substr(42, 47), std::string(46, 'c') + "~");
  EXPECT_EQ(r.substr(100, 3), "\\#9");
  EXPECT_EQ(TrimRight(r.substr(104)), "No. Digi 9");
  ASSERT_EQ(Frame("SENDER*>APRS", ";LEADER   *092345z4803.50N/07201.75W>"), 1);
  const std::string& o = st.stations.MoniAll()[2];
  EXPECT_EQ(o.substr(32, 9), "LEADER   ");
  EXPECT_EQ(o[89], '_');
  EXPECT_EQ(o.substr(90, 10), "SENDER    ");
}

TEST(StationRecord, PositionTextsAndComments) {
  EXPECT_EQ(PositionPart(-1234.6, -1234.6), "\xFE   -1.234   -1.235");
  EXPECT_EQ(PositionPart(6543210.9, -0.4), "\xFE 6543.210    -.001");
  EXPECT_EQ(PositionPart(5, 0.4), "\xFE     .005     .000");
  EXPECT_EQ(CutComment(std::string(47, 'a')), std::string(47, 'a'));
  EXPECT_EQ(CutComment(std::string(48, 'a')), std::string(46, 'a') + "~");
}

TEST(StationRecord, NamesFromTheAirStayInsideTheLogFolder) {
  TempDataFolder folder;
  const std::pair<const char*, const char*> cases[] = {{"../../x", "_.._.._x"}, {"..", "_.."}, {"A/B\\C", "A_B_C"},
                                                       {"X\x01Y", "X_Y"},       {"", "_"},     {"SRC-9", "SRC-9"}};
  for (const auto& [name, safe] : cases) {
    EXPECT_EQ(SafeFileName(name), safe) << name;
    const auto path = MoniOneLogPath(folder.path(), name);
    EXPECT_EQ(path.parent_path(), folder.path() / "LOG") << name;
  }
  // An existing file is found whatever its letter case.
  AppendToFile(folder.log("src-9.txt"), "x");
  EXPECT_EQ(MoniOneLogPath(folder.path(), "SRC-9").filename(), "src-9.txt");
}

TEST(StationRecord, MoniOneLogReaderSkipsLinesOfTheWrongLengthAndKeepsTheNewest) {
  TempDataFolder folder;
  const std::string ok103(103, 'a'), short102(102, 'b'), long121(121, 'c');
  AppendToFile(folder.log("W.TXT"), short102 + "\r\n" + ok103 + "\r\n" + long121 + "\r\n");
  bool ok = false;
  const auto lines = ReadMoniOneLog(folder.log("W.TXT"), &ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], ok103 + std::string(17, ' '));
  // A log longer than the store: the newest records stay, in their order.
  std::string big;
  for (int i = 0; i < kMoniOneMaxLines + 5; ++i) {
    std::string rec(110, ' ');
    const std::string n = std::to_string(i);
    rec.replace(0, n.size(), n);
    big += rec + "\r\n";
  }
  const auto newest = MoniOneRecordsOf(big);
  ASSERT_EQ(newest.size(), static_cast<std::size_t>(kMoniOneMaxLines));
  EXPECT_EQ(newest.front().substr(0, 2), "5 ");
  EXPECT_EQ(TrimRight(newest.back()), std::to_string(kMoniOneMaxLines + 4));
  EXPECT_TRUE(ReadMoniOneLog(folder.log("MISSING.TXT"), &ok).empty());
  EXPECT_FALSE(ok);
}

TEST_F(StoreTest, DuplicatesThroughAnotherPathAreDropped) {
  ASSERT_EQ(Frame("SRC*>APRS", "!4903.50N/07201.75W-Test"), 1);
  host.now.minute += 1;
  EXPECT_EQ(Frame("SRC>DIGI-12*>APRS", "!4903.50N/07201.75W-Test"), 0);  // direct, then through a digipeater
  EXPECT_EQ(st.stations.MoniAllCount(), 1);
  EXPECT_EQ(Frame("SRC*>APRS", "!4903.50N/07201.75W-Test"), 1);  // same path again: stored
  EXPECT_EQ(st.stations.MoniAllCount(), 2);
  EXPECT_EQ(Frame("SRC*>APRS", "!4903.50N/07201.75W-Test"), 0);  // equal record
  host.now.minute += 10;
  EXPECT_EQ(Frame("SRC>DIGI-12*>APRS", "!4903.50N/07201.75W-Test"), 1);  // ten minutes later
}

TEST_F(StoreTest, PruningKeepsSlotOneAndTheNewestOfEachStationAndPlace) {
  st.settings.moniAllLimit = 50;
  for (int i = 0; i < 50; ++i) {
    host.now.minute = i % 60;
    host.now.hour = 10 + i / 60;
    Frame("FIX*>APRS", "!4903.50N/07201.75W-beacon " + std::to_string(i));
  }
  EXPECT_EQ(st.stations.MoniAllCount(), 50);
  Frame("NEW*>APRS", "!4803.50N/07201.75W-new");
  // The fixed station's 49 later records share one key: only the newest stays beside slot 1.
  ASSERT_EQ(st.stations.MoniAllCount(), 3);
  EXPECT_NE(st.stations.MoniAll()[1].find("beacon 0 "), std::string::npos);
  EXPECT_NE(st.stations.MoniAll()[2].find("beacon 49"), std::string::npos);
  EXPECT_NE(st.stations.MoniAll()[3].find("new"), std::string::npos);

  // Distinct stations: the quarter pass removes slots 2 to 13.
  ReceptionState s2;
  s2.settings = st.settings;
  ReceivePass p2(s2, host, chat);
  for (int i = 0; i < 51; ++i) {
    const std::string m = Monitor("S" + std::to_string(i) + "X*>APRS", "!4903.50N/07201.75W-");
    p2.ProcessFrame(m.substr(0, m.size() - 1));
  }
  ASSERT_EQ(s2.stations.MoniAllCount(), 39);
  EXPECT_EQ(TrimmedColumns(s2.stations.MoniAll()[1], 33, 41), "S0X");
  EXPECT_EQ(TrimmedColumns(s2.stations.MoniAll()[2], 33, 41), "S13X");
}

TEST_F(StoreTest, EmergencyFillsTheAlarmRecordAndItsFile) {
  st.settings.moniOneCall = "SOS";
  ASSERT_EQ(Frame("SOS*>012U6T", "`(_fn\"Oj/]help"), 3);
  EXPECT_EQ(st.stations.MoniAll()[1][41], '!');
  EXPECT_EQ(st.stations.MoniOneTrack()[1][41], ' ');  // the track point carries no alarm mark
  EXPECT_EQ(st.alarm.call, "SOS");
  EXPECT_EQ(st.alarm.time, "2024-05-01 12:34");
  EXPECT_EQ(st.alarm.comment, "help");
  const std::string block = folder.read("_ALARM_.TXT");
  EXPECT_EQ(block.substr(0, 62), std::string(60, '-') + "\r\n");
  EXPECT_NE(block.find("STATION : SOS\r\nTIME    : 2024-05-01 12:34\r\nGLL     : LAT"), std::string::npos);
  EXPECT_NE(block.find("UTM(Z18): " + st.alarm.northText + " " + st.alarm.eastText + "\r\nINFO    : help\r\n"),
            std::string::npos);
  // The alternate-table "!" is an emergency too.
  EXPECT_EQ(Frame("OTHER*>APRS", "!4903.50N\\07201.75W!"), 3);
}

TEST_F(StoreTest, DistanceAlarms) {
  st.settings.moniAllAlarmOn = true;
  st.settings.alarmDistanceKm = 5;
  FrameValues v;
  v.callText = "NEAR";
  v.destinationCall = "APRS";
  v.dataTypeChar = '!';
  v.payloadText = "!4903.50N/07201.75W>";
  DecodeContext ctx;
  ctx.mapCentralMeridian = -75.0;
  ASSERT_EQ(DecodePayload(v, ctx), DecodeResult::Position);
  st.settings.userNorth = std::floor(v.northing) / 1000.0 + 3.0;
  st.settings.userEast = std::floor(v.easting) / 1000.0 + 0.47;
  ASSERT_EQ(Frame("NEAR*>APRS", "!4903.50N/07201.75W>"), 1);
  ASSERT_EQ(host.alarms.size(), 1u);
  EXPECT_EQ(host.alarms[0].frameCaption, "MONI ALL  < 5 km  ALARM   2024-05-01 12:34");
  EXPECT_EQ(host.alarms[0].labelCaption, "NEAR    D = 3.0 km !");
  // The user's own call, with or without SSID, raises no alarm.
  host.now.minute += 11;
  Frame("N0CALL-5*>APRS", "!4903.50N/07201.75W>");
  EXPECT_EQ(host.alarms.size(), 1u);
  EXPECT_EQ(AlarmDistanceText(3.47), "3.4");
  EXPECT_EQ(AlarmDistanceText(0.05), "0.0");
  EXPECT_EQ(AlarmDistanceText(12.0), "12.0");
}

TEST_F(StoreTest, MoniOneTrackFollowsTheWatchedStation) {
  st.settings.moniOneCall = "WATCH-9";
  ASSERT_EQ(Frame("WATCH-9*>APRS", "!4903.50N/07201.75W>one"), 2);
  host.now.minute += 1;
  ASSERT_EQ(Frame("WATCH-9>DIGI1*>APRS", "!4903.50N/07201.75W>one"), 0);  // other path: a duplicate
  host.now.minute += 20;
  ASSERT_EQ(Frame("WATCH-9*>APRS", "!4903.50N/07201.75W>one"), 2);  // repeated report
  EXPECT_EQ(st.stations.MoniOneCount(), 1);
  EXPECT_EQ(st.stations.MoniOneTrack()[1].substr(0, 11), "240501 1255");
  ASSERT_EQ(Frame("WATCH-9*>APRS", "!4904.50N/07201.75W>two"), 2);
  EXPECT_EQ(st.stations.MoniOneCount(), 2);
  EXPECT_EQ(st.stations.Newest().comment, "two");
  EXPECT_EQ(st.stations.Newest().time, "1255");
  EXPECT_EQ(folder.read("WATCH-9.TXT"),
            TrimRight(st.stations.MoniOneTrack()[1]) + "\r\n" + TrimRight(st.stations.MoniOneTrack()[2]) + "\r\n");
  EXPECT_EQ(host.follows, 3);

  // Restoring from the file gives the same track.
  const MoniOneLogFile restored = RestoreMoniOneLog(MoniOneLogPath(st.settings.dataFolder, st.settings.moniOneCall));
  ASSERT_EQ(restored.records.size(), 2u);
  EXPECT_EQ(restored.records[0], st.stations.MoniOneTrack()[1]);
  EXPECT_EQ(restored.records[1], st.stations.MoniOneTrack()[2]);
}

// The MONI 1 log is rewritten with each report of the watched station: a rewrite
// that fails part way (here a full disk) leaves the log as it was.
TEST_F(StoreTest, AFailedMoniOneLogRewriteKeepsTheOldLog) {
  st.settings.moniOneCall = "WATCH";
  ASSERT_EQ(Frame("WATCH*>APRS", "!4903.50N/07201.75W>one"), 2);
  const std::string before = folder.read("WATCH.TXT");
  ASSERT_FALSE(before.empty());
  int level = 0;
  {
    const zeblon::testing_support::FileSizeLimit full(before.size() + 20);  // room for less than two records
    ASSERT_TRUE(full.set());
    level = Frame("WATCH*>APRS", "!4904.50N/07201.75W>two");
  }
  EXPECT_EQ(level, 2);
  EXPECT_EQ(st.stations.MoniOneCount(), 2);  // the track holds it; the file stays whole
  EXPECT_GT(st.failedLogWrites, 0);
  EXPECT_EQ(folder.read("WATCH.TXT"), before);
  for (const auto& e : std::filesystem::directory_iterator(folder.path() / "LOG"))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

TEST_F(StoreTest, MoniOneTrackDropsItsOldestThousandBeyond9998) {
  std::filesystem::remove_all(folder.path() / "LOG");  // the file is not needed here
  st.settings.moniOneCall = "W";
  for (int i = 0; i < 9999; ++i) {
    FrameValues v;
    v.callText = "W";
    v.viaText = " ";
    v.northing = 5000000.0 + i;
    v.easting = 500000.0;
    v.decodedComment = std::to_string(i);
    pass.StoreReport(v);
  }
  EXPECT_EQ(st.stations.MoniOneCount(), 8999);
  EXPECT_EQ(TrimmedColumns(st.stations.MoniOneTrack()[1], 43, 89), "1000");
  EXPECT_EQ(TrimmedColumns(st.stations.MoniOneTrack()[8999], 43, 89), "9998");
}

TEST_F(StoreTest, SmartLogThinsTheTrack) {
  st.settings.moniOneCall = "W";
  st.settings.smartLog = true;
  st.settings.moniOneTrackLimit = 250;
  st.settings.moniAllLimit = 3000;
  for (int i = 0; i < 276; ++i) {
    FrameValues v;
    v.callText = "W";
    v.viaText = " ";
    v.northing = 5000000.0 + 3.0 * i;  // points 3 m apart
    v.easting = 500000.0;
    v.decodedComment = std::to_string(i);
    pass.StoreReport(v);
    if (i < 275) {
      ASSERT_EQ(st.stations.MoniOneCount(), i + 1);
    }
  }
  EXPECT_LE(st.stations.MoniOneCount(), 200);
  EXPECT_EQ(ReadMoniOneLog(folder.log("W.TXT")).size(), static_cast<std::size_t>(st.stations.MoniOneCount()));
}

TEST_F(StoreTest, MalformedFrameDropsOnlyItself) {
  std::string text = Monitor("AAA*>APRS", "!4903.50N/07201.75W-first") +
                     Monitor("BAD*>APRS", "@320000z4903.50N/07201.75W-") + Monitor("CCC*>S32U6T", "`(_") +
                     Monitor("DDD*>APRS", "!4903.50N/07201.75W") + Monitor("EEE*>APRS", "!4904.50N/07201.75W-last");
  ScriptedSource source;
  source.reads.push_back({text, TurnRead::Leave::No});
  for (int passes = 0; passes < 10; ++passes) pass.Run(source);
  ASSERT_EQ(st.stations.MoniAllCount(), 2);
  EXPECT_EQ(TrimmedColumns(st.stations.MoniAll()[1], 33, 41), "AAA");
  EXPECT_EQ(TrimmedColumns(st.stations.MoniAll()[2], 33, 41), "EEE");
  EXPECT_EQ(st.malformedFrames, 3);
}

TEST_F(StoreTest, PassTurnsAndEnds) {
  // Without any report the pass ends quietly and switches Timer1 on.
  ScriptedSource quiet;
  quiet.reads.push_back({Monitor("SRC*>APRS", ">status"), TurnRead::Leave::No});
  pass.Run(quiet);
  EXPECT_EQ(host.quietEnds, 1);
  EXPECT_TRUE(host.timer1);
  // Text without a UI header above 400 characters does not make the pass run for ever.
  ScriptedSource junk;
  junk.reads.push_back({std::string(1500, 'x') + "\r\n", TurnRead::Leave::No});
  pass.Run(junk);
  EXPECT_EQ(host.quietEnds, 2);
  // An own echo is skipped and the pass reads again.
  st.settings.ownEchoHeader = "N0CALL-1*>APRS";
  ScriptedSource echo;
  echo.reads.push_back({Monitor("N0CALL-1*>APRS", "!4903.50N/07201.75W-me"), TurnRead::Leave::No});
  echo.reads.push_back({Monitor("SRC*>APRS", "!4903.50N/07201.75W-other"), TurnRead::Leave::No});
  pass.Run(echo);
  ASSERT_EQ(st.stations.MoniAllCount(), 1);
  EXPECT_EQ(TrimmedColumns(st.stations.MoniAll()[1], 33, 41), "SRC");
  EXPECT_EQ(host.drawMaps, 1);
  // The raw log holds the text with the heard mark.
  EXPECT_NE(folder.read("_LOGRAW_.TXT").find("SRC*>APRS <UI>:\r\n>status\r\n"), std::string::npos);
}

TEST_F(StoreTest, FailedLogWritesNeverStopThePassNorAnAcknowledgement) {
  std::filesystem::remove_all(folder.path() / "LOG");
  ScriptedSource source;
  source.reads.push_back({Monitor("AAA*>APRS", "!4903.50N/07201.75W-first") +
                              Monitor("OTHER*>APRS", ":N0CALL   :hi{7") +
                              Monitor("CCC*>APRS", "!4904.50N/07201.75W-x") + std::string(200, ' ') + "\n",
                          TurnRead::Leave::No});
  for (int passes = 0; passes < 5; ++passes) pass.Run(source);
  EXPECT_EQ(st.stations.MoniAllCount(), 2);
  EXPECT_GT(st.failedLogWrites, 0);
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0], ":OTHER    :ack7");
}

TEST_F(StoreTest, InfoPanelFollowsItsStation) {
  // The cursor on SRC with the panel hidden and no step captions yet.
  st.info.Open("SRC", 0, InfoMode::None);
  st.info.Hide();
  ScriptedSource source;
  source.reads.push_back({Monitor("SRC*>APRS", "!4903.50N/07201.75W-a&b"), TurnRead::Leave::No});
  pass.Run(source);
  EXPECT_EQ(st.info.LabelCaption(), "QTH=");
  EXPECT_EQ(st.info.Index(), 1);
  EXPECT_EQ(st.info.Record(), "");                       // hidden panel: only the captions change
  st.info.Open("SRC", st.info.Index(), st.info.Mode());  // the panel shown
  source.reads.push_back({Monitor("SRC*>APRS", "!4904.50N/07201.75W-a&b"), TurnRead::Leave::No});
  pass.Run(source);
  EXPECT_EQ(st.info.Index(), 2);
  EXPECT_EQ(st.info.Record(), st.stations.MoniAll()[2]);
  EXPECT_NE(st.info.LabelText().find("a&&b"), std::string::npos);
}

TEST_F(StoreTest, FloodKeepsTheLimitsAndTheOrder) {
  std::filesystem::remove_all(folder.path() / "LOG");  // 100 000 frames without disk traffic
  st.settings.moniAllLimit = 667;
  st.settings.moniOneCall = "WATCH";
  corpus::Generator gen(7);
  int watched = 0, lastSeq = -1;
  for (int i = 0; i < 100000; ++i) {
    host.now.minute = (i / 100) % 60;
    host.now.hour = (i / 6000) % 24;
    std::string monitor;
    if (i % 10 == 0) {
      // The watched station moves north 1 m a frame; its comment is its sequence number.
      const int n = 1 + static_cast<int>((i / 10) % 99);
      monitor = Monitor("WATCH*>APRS", "!" + std::string(n < 10 ? "0" : "") + std::to_string(n / 10 + 10) + "0" +
                                           std::to_string(n % 10) + ".00N/07201.75W>" + std::to_string(i));
      ++watched;
    } else {
      monitor = corpus::Tnc2ToMonitor(gen.Next().line);
    }
    pass.ProcessFrame(monitor.substr(0, monitor.size() - 1));
    ASSERT_LE(st.stations.MoniAllCount(), st.settings.moniAllLimit);
    ASSERT_LE(st.stations.MoniOneCount(), kMoniOneMaxLines);
  }
  // MONI ALL: arrival order, slot 1 the oldest record ever stored.
  for (int i = 1; i <= st.stations.MoniAllCount(); ++i) ASSERT_EQ(st.stations.MoniAll()[i].size(), 120u);
  for (int i = 2; i < st.stations.MoniAllCount(); ++i) {
    const std::string a = std::string(Columns(st.stations.MoniAll()[i], 1, 11)),
                      b = std::string(Columns(st.stations.MoniAll()[i + 1], 1, 11));
    ASSERT_LE(a, b) << i;
  }
  // MONI 1: every report kept in order until the cap dropped the oldest thousands.
  for (int i = 1; i <= st.stations.MoniOneCount(); ++i) {
    const int seq = static_cast<int>(LeadingNumber(TrimmedColumns(st.stations.MoniOneTrack()[i], 43, 89)));
    ASSERT_GT(seq, lastSeq);
    lastSeq = seq;
  }
  EXPECT_EQ(lastSeq, 99990);
  EXPECT_GT(st.stations.MoniOneCount(), 0);
  EXPECT_EQ(watched, 10000);
}

// The chat window logs the automatic answer it queues into the same chat log
// at once: the received message's line must already stand there, even within a
// pass that gathers its other log lines until it ends.
TEST_F(StoreTest, AnAnswerQueuedInAPassIsLoggedAfterTheMessage) {
  struct LoggingChat : ChatLines {
    std::filesystem::path log;
    void QueueChatMessage(const std::string& to, const std::string& message) override {
      ChatLines::QueueChatMessage(to, message);
      AppendToFile(log, "ANSWER " + to + " " + message + "\r\n");
    }
  } logging;
  logging.ownCall = "N0CALL-1";
  logging.log = folder.path() / "LOG" / "_CHATLOG.TXT";
  st.settings.autoAnswerOn = true;
  st.settings.autoAnswerText = "AA: away";
  ReceivePass inPass{st, host, logging};
  testing_support::RunOneFrame(inPass, st, "OTHER*>APRS", ":N0CALL   :hello{12");
  ASSERT_EQ(logging.queued.size(), 1u);
  EXPECT_EQ(folder.read("_CHATLOG.TXT"), "20240501 1234  OTHER    :N0CALL   :hello{12\r\nANSWER OTHER AA: away\r\n");
}

TEST_F(StoreTest, MessagesForTheUser) {
  st.settings.autoAnswerOn = true;
  st.settings.autoAnswerText = "away";
  st.settings.toneOn = true;
  EXPECT_EQ(Frame("OTHER*>APRS", ":N0CALL   :hello{12"), 0);
  EXPECT_EQ(Frame("OTHER*>APRS", ":N0CALL   :hello{12"), 0);
  EXPECT_EQ(st.stations.MoniAllCount(), 0);
  ASSERT_EQ(host.sent.size(), 2u);  // acknowledged twice, shown once
  EXPECT_EQ(host.sent[0], ":OTHER    :ack12");
  EXPECT_EQ(host.beeps, 1);
  ASSERT_EQ(chat.queued.size(), 1u);
  EXPECT_EQ(chat.queued[0], std::make_pair(std::string("OTHER"), std::string("AA: away")));
  EXPECT_EQ(chat.colour[6], kChatToUser);
  EXPECT_EQ(chat.openings, 1);
  const std::string log = folder.read("_CHATLOG.TXT");
  EXPECT_EQ(log, "20240501 1234  OTHER    :N0CALL   :hello{12\r\n");

  // Acknowledgement of the user's own messages.
  chat.ScrollIn("N0CALL-1 :OTHER    :question{33", 252);
  chat.ScrollIn("N0CALL-1 :OTHER    :queued{33", 250);
  Frame("OTHER*>APRS", ":N0CALL-1 :ack33");
  EXPECT_EQ(chat.colour[6], kChatAcknowledged);
  EXPECT_EQ(chat.colour[7], 250);

  // A message without a number: shown, not acknowledged; between other stations: grey, no ack shown.
  host.sent.clear();
  Frame("OTHER*>APRS", ":N0CALL   :plain");
  EXPECT_TRUE(host.sent.empty());
  Frame("X*>APRS", ":Y        :ack5");
  EXPECT_NE(chat.text[7].find("plain"), std::string::npos);
}

TEST_F(StoreTest, PathQueryAndControlBytes) {
  Frame("OTHER>DIGI1*>WIDE2-1>APRS", ":N0CALL   : ?aprst ");
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0], ":OTHER    :PATH = OTHER VIA DIGI1*>WIDE2-1 TO APRS");
  EXPECT_EQ(chat.colour[7], kChatPathReply);
  Frame("OTHER*>APRS", ":N0CALL   :?APRST");
  EXPECT_EQ(host.sent[1], ":OTHER    :PATH = OTHER* VIA  TO APRS");
  // Control bytes from the air never go into a transmission.
  Frame("OT\x1bHER*>AP\x07RS",
        ":N0CALL   :x{1\x02"
        "2");
  Frame("OT\x1bHER*>AP\x07RS", ":N0CALL   :?APRST");
  for (const auto& m : host.sent)
    for (char c : m) EXPECT_FALSE(static_cast<unsigned char>(c) < 32 || c == 127) << m;
  EXPECT_EQ(host.sent[2], ":OTHER    :ack12");
}

}  // namespace
}  // namespace zeblon::reception
