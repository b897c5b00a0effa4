// The MONI 1 log: the gap rules of the three places that cut old trips out of it,
// and the choice of a station, which keeps every report it has stored.
#include "reception/moni_one_log.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "reception/receive_pass.h"

namespace zeblon::reception {
namespace {

using testing::TempDataFolder;
namespace fs = std::filesystem;

// A record as the log holds it: date and time "YYMMDD HHMM", comment, heard-via,
// symbol and its name; trailing blanks removed.
std::string Line(const std::string& date_time, const std::string& comment, const std::string& via = "WIDE1-1") {
  std::string r = BlankRecord();
  r.replace(0, date_time.size(), date_time);
  r[12] = kPointMark;
  r.replace(13, 9, "6585.5000");
  r.replace(22, 9, " 405.2500");
  r.replace(32, 6, "SM5DEF");
  r.replace(42, comment.size(), comment);
  r.replace(90, via.size(), via);
  r.replace(100, 2, "/>");
  r.replace(104, 3, "Car");
  return TrimRight(r);
}

TEST(MoniOneGapRules, OnlyWhatLiesBeforeTheLastForwardGapLongerThanTheRuleGoes) {
  struct Case {
    std::vector<std::string> dates;
    long days;
    std::size_t before;
  };
  const Case cases[] = {
      {{}, kStartUpGapDays, 0},
      {{"240101"}, kStartUpGapDays, 0},
      {{"240101", "240110", "240301", "240305"}, kStartUpGapDays, 2},  // 51 day numbers
      {{"240101", "240131"}, kStartUpGapDays, 0},                      // exactly 30
      {{"240101", "240202"}, kStartUpGapDays, 1},                      // 31
      {{"240101", "240121"}, kReceivePassGapDays, 0},                  // exactly 20
      {{"240101", "240122"}, kReceivePassGapDays, 1},                  // 21
      {{"240101", "240122"}, kStartUpGapDays, 0},                      // the same 21 at start-up
      {{"240301", "240501"}, kSmartLogGapDays, 1},                     // March, then May
      {{"230115", "240615", "241215"}, kSmartLogGapDays, 2},           // the last of two gaps counts
      {{"991231", "000105"}, kReceivePassGapDays, 0},                  // 1999 into 2000
      {{"240301", "240101", "240105"}, kReceivePassGapDays, 0},        // a step back cuts nothing
  };
  for (const Case& c : cases) {
    std::vector<std::string> records;
    for (const std::string& d : c.dates) records.push_back(ToSlot(Line(d + " 1200", "x")));
    EXPECT_EQ(RecordsBeforeLastGap(records, c.days), c.before) << ::testing::PrintToString(c.dates) << " " << c.days;
  }
}

TEST(MoniOneGapRules, TheReceivePassThinningDropsTheEarlierTripOfASmartLog) {
  TempDataFolder folder;
  ReceptionState st;
  st.settings.dataFolder = folder.path();
  st.settings.moniOneCall = "SM5DEF";
  // Three records above a limit of 2 are thinned; the one left lies below 80 % of it.
  st.settings.moniOneTrackLimit = 2;
  const std::string march = ToSlot(Line("240301 1200", "march")), may = ToSlot(Line("240501 1200", "may"));
  st.stations.LoadTrack({march, march, may});
  st.stations.KeepTrackBounds(true, st.settings.moniOneTrackLimit);
  ASSERT_EQ(st.stations.MoniOneCount(), 1);
  EXPECT_EQ(st.stations.MoniOneTrack()[1], may);
  EXPECT_EQ(st.stations.MoniOneTrack()[2], BlankRecord());
}

class MoniOneSelectionTest : public ::testing::Test {
 protected:
  MoniOneSelectionTest() { st.settings.dataFolder = folder.path(); }
  void Put(const std::string& name, const std::string& bytes) {
    std::ofstream(folder.log(name), std::ios::binary) << bytes;
  }
  TempDataFolder folder;
  ReceptionState st;
};

TEST_F(MoniOneSelectionTest, EveryStoredReportStaysHoweverFarApartItsDatesLie) {
  const std::string jan23 = Line("230115 0800", "January 2023"), jun24 = Line("240620 1830", "June 2024"),
                    dec24 = Line("241224 2359", "December 2024 & more");
  // As a user's log may come: a line too short, one too long, one end without CR,
  // a record with trailing blanks, and no line end after the last one.
  Put("SM5DEF.TXT",
      jan23 + "\r\n" + std::string(102, 'x') + "\r\n" + jun24 + "   \n" + std::string(121, 'y') + "\r\n" + dec24);
  // Smart logging with a small limit must not thin or cut the chosen track.
  st.settings.smartLog = true;
  st.settings.moniOneTrackLimit = 2;
  // Reports of the station heard meanwhile: only the later one joins.
  st.stations.Add(ToSlot(Line("241224 2359", "same minute")), kMoniAllSlots);
  st.stations.Add(ToSlot(Line("250102 0700", "heard since")), kMoniAllSlots);

  EXPECT_TRUE(st.stations.SelectWatched(folder.path(), "SM5DEF", false));
  const std::string since = Line("250102 0700", "heard since");
  EXPECT_EQ(folder.read("SM5DEF.TXT"), jan23 + "\r\n" + jun24 + "\r\n" + dec24 + "\r\n" + since + "\r\n");
  ASSERT_EQ(st.stations.MoniOneCount(), 4);
  EXPECT_EQ(st.stations.MoniOneTrack()[1], ToSlot(jan23));
  EXPECT_EQ(st.stations.MoniOneTrack()[4], ToSlot(since));
  EXPECT_EQ(st.stations.MoniOneTrack()[5], BlankRecord());

  // Chosen again, the file and the track stay as they are.
  EXPECT_TRUE(st.stations.SelectWatched(folder.path(), "SM5DEF", false));
  EXPECT_EQ(st.stations.MoniOneCount(), 4);
  EXPECT_EQ(folder.read("SM5DEF.TXT"), jan23 + "\r\n" + jun24 + "\r\n" + dec24 + "\r\n" + since + "\r\n");
}

TEST_F(MoniOneSelectionTest, ACallWithoutALogGetsOneWithExactlyItsReportsHeardMeanwhile) {
  std::vector<std::string> before(6, BlankRecord());
  before.push_back(ToSlot(Line("240101 1200", "of the station chosen before")));
  st.stations.LoadTrack(before);
  EXPECT_TRUE(st.stations.SelectWatched(folder.path(), "SM5DEF", false));
  EXPECT_TRUE(fs::exists(folder.log("SM5DEF.TXT")));
  EXPECT_EQ(folder.read("SM5DEF.TXT"), "");
  EXPECT_EQ(st.stations.MoniOneCount(), 0);
  EXPECT_EQ(st.stations.MoniOneTrack()[7], BlankRecord());

  fs::remove_all(folder.path() / "LOG");  // a missing LOG folder is made too
  st.stations.Add(ToSlot(Line("240101 0900", "a")), kMoniAllSlots);
  st.stations.Add(ToSlot(Line("240101 0930", "b")), kMoniAllSlots);
  EXPECT_TRUE(st.stations.SelectWatched(folder.path(), "QW7TK-9", false));
  EXPECT_EQ(folder.read("QW7TK-9.TXT"), "");
  EXPECT_TRUE(st.stations.SelectWatched(folder.path(), "SM5DEF", false));
  EXPECT_EQ(folder.read("SM5DEF.TXT"), Line("240101 0900", "a") + "\r\n" + Line("240101 0930", "b") + "\r\n");
}

TEST_F(MoniOneSelectionTest, ALogLongerThanTheTrackKeepsItsNewestReports) {
  std::string bytes;
  for (int i = 0; i < kMoniOneMaxLines + 5; ++i) bytes += Line("240101 1200", std::to_string(i)) + "\r\n";
  Put("SM5DEF.TXT", bytes);
  EXPECT_TRUE(st.stations.SelectWatched(folder.path(), "SM5DEF", false));
  ASSERT_EQ(st.stations.MoniOneCount(), kMoniOneMaxLines);
  EXPECT_EQ(TrimmedColumns(st.stations.MoniOneTrack()[1], 43, 89), "5");
  EXPECT_EQ(folder.read("SM5DEF.TXT"), bytes.substr(bytes.find(Line("240101 1200", "5"))));
}

TEST_F(MoniOneSelectionTest, ALogThatCannotBeReadIsLeftAsItIs) {
  // A folder in the log's place cannot be read, whoever runs the test.
  fs::create_directories(folder.log("SM5DEF.TXT") / "KEPT");
  EXPECT_FALSE(st.stations.SelectWatched(folder.path(), "SM5DEF", false));
  EXPECT_EQ(st.stations.MoniOneCount(), 0);
  EXPECT_TRUE(fs::is_directory(folder.log("SM5DEF.TXT") / "KEPT"));
}

}  // namespace
}  // namespace zeblon::reception
