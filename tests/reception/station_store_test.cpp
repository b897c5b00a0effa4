// The station store: each named change announced once, the deletion of older or
// newer track positions at the ends of the track and when the log cannot be
// written, and the start-up's load of the MONI 1 log.
#include "reception/station_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "fakes.h"
#include "geodesy/text.h"
#include "settings/text_files.h"
#include "tests/support/file_faults.h"

namespace zeblon::reception {
namespace {

namespace fs = std::filesystem;
using testing::TempDataFolder;

// A report of `call` at a minute of 1 January 2024 with a position and comment.
std::string Report(const std::string& call, int minute, double north = 6580, const std::string& comment = "") {
  std::string r = BlankRecord();
  const std::string hhmm = "12" + std::string(minute < 10 ? "0" : "") + std::to_string(minute);
  r.replace(0, 11, "240101 " + hhmm);
  r.replace(12, 19, PositionPart(north * 1000, 400000));
  r.replace(32, call.size(), call);
  r.replace(42, comment.size(), comment);
  r.replace(90, 2, "RF");
  r.replace(100, 2, "/>");
  return r;
}

TEST(StationStoreChanges, EveryNamedChangeIsAnnouncedOnce) {
  TempDataFolder folder;
  const fs::path log = folder.log("QW7TK.TXT");
  const struct {
    const char* name;
    std::function<void(StationStore&)> change;
  } changes[] = {
      {"Add", [](StationStore& s) { s.Add(Report("AB1CD", 5), 50); }},
      {"Add above the limit", [](StationStore& s) { s.Add(Report("AB1CD", 5), 1); }},
      {"AddInOrder", [](StationStore& s) { s.AddInOrder(Report("AB1CD", 1), 50); }},
      {"Merge", [](StationStore& s) { s.Merge(Report("QW7TK", 3, 6580, "wx"), 50); }},
      {"ClearMoniAll", [](StationStore& s) { s.ClearMoniAll(); }},
      {"AddWatched", [](StationStore& s) { s.AddWatched(Report("QW7TK", 9), true, 1); }},
      {"MergeWatched",
       [](StationStore& s) { s.MergeWatched(Report("QW7TK", 9), [](const std::string&) { return true; }); }},
      {"MergeWatched refused",
       [](StationStore& s) { s.MergeWatched(Report("QW7TK", 9), [](const std::string&) { return false; }); }},
      {"KeepTrackBounds", [](StationStore& s) { s.KeepTrackBounds(true, 1); }},
      {"RemoveStamped", [](StationStore& s) { s.RemoveStamped(); }},
      {"SetNewest", [](StationStore& s) { s.SetNewest(NewestFieldsOf(Report("QW7TK", 4))); }},
      {"RenewNewest", [](StationStore& s) { s.RenewNewest(); }},
      {"SetNewestPosition", [](StationStore& s) { s.SetNewestPosition(6581, 401); }},
      {"LoadTrack", [](StationStore& s) { s.LoadTrack({Report("QW7TK", 1)}); }},
      {"MergeMoniAll", [](StationStore& s) { s.MergeMoniAll("QW7TK", false); }},
      {"SelectWatched", [&](StationStore& s) { s.SelectWatched(folder.path(), "QW7TK", false); }},
      {"RestoreAtStartUp", [&](StationStore& s) { s.RestoreAtStartUp(folder.path(), "QW7TK"); }},
      {"DeleteOlder",
       [&](StationStore& s) {
         int error = 0;
         EXPECT_TRUE(s.DeleteOlder(2, log, error));
       }},
      {"DeleteNewer",
       [&](StationStore& s) {
         int error = 0;
         EXPECT_TRUE(s.DeleteNewer(1, log, error));
       }},
  };
  for (const auto& c : changes) {
    StationStore store;
    store.Add(Report("QW7TK", 2), 50);
    store.Add(Report("QW7TK", 3), 50);
    store.LoadTrack({Report("QW7TK", 1), Report("QW7TK", 2), Report("QW7TK", 3)});
    int announced = 0;
    store.OnChanged([&announced] { ++announced; });
    c.change(store);
    EXPECT_EQ(announced, 1) << c.name;
  }
}

// A report of the watched station that joins the track brings the newest fields
// with it, by radio or from the web; a web report the track refuses and the other
// changes of the track leave them, with a position the window gave them, alone.
TEST(StationStoreNewest, AWatchedReportTakenBringsTheNewestFields) {
  StationStore store;
  store.LoadTrack({Report("QW7TK", 1)});
  store.SetNewestPosition(6000, 300);
  EXPECT_EQ(store.Newest().north, 6000);
  store.AddWatched(Report("QW7TK", 2, 6581.5, "radio"), false, 100);
  EXPECT_EQ(store.Newest().time, "1202");
  EXPECT_DOUBLE_EQ(store.Newest().north, 6581.5);
  EXPECT_EQ(store.Newest().comment, "radio");
  EXPECT_EQ(store.Newest().symbol, "/>");
  store.SetNewestPosition(6000, 300);
  store.MergeWatched(Report("QW7TK", 3, 6582, "refused"), [](const std::string&) { return false; });
  EXPECT_EQ(store.Newest().north, 6000);
  EXPECT_EQ(store.Newest().comment, "radio");
  store.MergeWatched(Report("QW7TK", 4, 6583, "web"), [](const std::string&) { return true; });
  EXPECT_EQ(store.Newest().time, "1204");
  EXPECT_DOUBLE_EQ(store.Newest().north, 6583);
  EXPECT_EQ(store.Newest().comment, "web");
  store.RemoveStamped();
  store.KeepTrackBounds(false, 100);
  EXPECT_EQ(store.Newest().comment, "web");
}

TEST(StationStoreDrawing, OnlySmartLoggingDropsStampedReportsAndNotUnderThePictureViewer) {
  const struct {
    bool smartLog, pictureShown;
    std::size_t kept;
  } cases[] = {{true, false, 2}, {false, false, 3}, {true, true, 3}, {false, true, 3}};
  for (const auto& c : cases) {
    std::string stamped = Report("QW7TK", 2);
    stamped[11] = 'T';
    StationStore store;
    store.LoadTrack({Report("QW7TK", 1), stamped, Report("QW7TK", 3)});
    store.PrepareTrackForDrawing(c.smartLog, c.pictureShown);
    EXPECT_EQ(store.TrackRecords().size(), c.kept) << c.smartLog << c.pictureShown;
  }
}

class TrackDeletionTest : public ::testing::Test {
 protected:
  TrackDeletionTest() {
    std::vector<std::string> track;
    for (int i = 1; i <= 5; ++i) track.push_back(Report("QW7TK", i, 6580 + i));
    store.LoadTrack(track);
  }
  std::vector<int> Minutes() const {
    std::vector<int> m;
    for (const std::string& r : store.TrackRecords()) m.push_back(std::stoi(r.substr(9, 2)));
    return m;
  }
  TempDataFolder folder;
  fs::path log = folder.log("QW7TK.TXT");
  StationStore store;
};

TEST_F(TrackDeletionTest, TheSlotIsHeldWithinTheTrackAndTheFileHoldsWhatIsKept) {
  const struct {
    bool older;
    int index;
    std::vector<int> kept;
  } cases[] = {
      {true, 3, {3, 4, 5}}, {false, 3, {1, 2, 3}},        {true, 1, {1, 2, 3, 4, 5}}, {false, 1, {1}},
      {true, 5, {5}},       {false, 5, {1, 2, 3, 4, 5}},  {true, 0, {1, 2, 3, 4, 5}}, {false, -7, {1}},
      {true, 99, {5}},      {false, 99, {1, 2, 3, 4, 5}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> track;
    for (int i = 1; i <= 5; ++i) track.push_back(Report("QW7TK", i, 6580 + i));
    store.LoadTrack(track);
    int error = 0;
    ASSERT_TRUE(c.older ? store.DeleteOlder(c.index, log, error) : store.DeleteNewer(c.index, log, error));
    EXPECT_EQ(Minutes(), c.kept) << c.older << " " << c.index;
    EXPECT_EQ(store.MoniOneTrack()[c.kept.size() + 1], BlankRecord());
    EXPECT_EQ(folder.read("QW7TK.TXT"), MoniOneLogText(store.TrackRecords())) << c.older << " " << c.index;
  }
}

TEST_F(TrackDeletionTest, AnEmptyTrackStaysEmptyAndItsLogIsEmptied) {
  store.LoadTrack({});
  std::ofstream(log, std::ios::binary) << "old\r\n";
  for (bool older : {true, false}) {
    int error = 0;
    ASSERT_TRUE(older ? store.DeleteOlder(1, log, error) : store.DeleteNewer(1, log, error));
    EXPECT_EQ(store.MoniOneCount(), 0);
    EXPECT_EQ(folder.read("QW7TK.TXT"), "");
  }
}

TEST_F(TrackDeletionTest, ALogThatCannotBeWrittenLeavesTheTrackAsItWas) {
  const std::vector<int> before = Minutes();
  const fs::path nowhere = folder.path() / "MISSING" / "QW7TK.TXT";
  int announced = 0;
  store.OnChanged([&announced] { ++announced; });
  for (bool older : {true, false}) {
    int error = 0;
    EXPECT_FALSE(older ? store.DeleteOlder(3, nowhere, error) : store.DeleteNewer(3, nowhere, error));
    EXPECT_NE(error, 0);
    EXPECT_EQ(Minutes(), before);
    EXPECT_EQ(store.MoniOneTrack()[6], BlankRecord());
  }
  EXPECT_EQ(announced, 0);
}

// ---------------------------------------------------------------------------
// The start-up's load of the MONI 1 log

std::string Record(const std::string& date, double north = 6581.234, double east = 401.5, std::size_t length = 110) {
  std::string r(120, ' ');
  r.replace(0, 6, date);
  r.replace(7, 4, "1234");
  r[12] = '\xFE';
  const std::string n = PositionText(static_cast<std::int64_t>(north * 1000));
  const std::string e = PositionText(static_cast<std::int64_t>(east * 1000));
  r.replace(13, 9, n);
  r.replace(22, 9, e);
  r.replace(32, 5, "QW7TK");
  r.replace(42, 7, "comment");
  r.replace(90, 6, "WIDE1 ");
  r.replace(100, 2, "/>");
  r.replace(104, 3, "Car");
  r.resize(length, 'x');
  return r;
}

class RestoreAtStartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zeblon_restore_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "LOG");
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path Log() const { return dir_ / "LOG" / "QW7TK.TXT"; }
  void WriteLog(const std::vector<std::string>& lines) {
    std::string t;
    for (const auto& l : lines) t += l + "\r\n";
    WriteFileAtomically(Log(), t);
  }
  std::vector<std::string> FileLines() {
    std::string b;
    ReadWholeFile(Log(), b);
    return SplitLines(b);
  }
  MoniOneLogFile Restore() { return store.RestoreAtStartUp(dir_, "QW7TK"); }
  fs::path dir_;
  StationStore store;
};

TEST_F(RestoreAtStartUpTest, NoFileGivesAnEmptyOneAndAnEmptyStore) {
  const MoniOneLogFile r = Restore();
  EXPECT_TRUE(fs::exists(Log()));
  EXPECT_TRUE(r.records.empty());
  EXPECT_EQ(store.Newest().north, 0);
  EXPECT_EQ(store.Newest().comment, "");
}

TEST_F(RestoreAtStartUpTest, LeftoversOfAKilledRewriteGo) {
  const fs::path leftover =
      dir_ / "LOG" / ("QW7TK.TXT.tmp" + std::to_string(zeblon::testing_support::EndedProcessId()));
  std::ofstream(leftover) << "half a record";
  WriteLog({});
  Restore();
  EXPECT_FALSE(fs::exists(leftover));
  EXPECT_TRUE(fs::exists(Log()));
}

TEST_F(RestoreAtStartUpTest, PrunesBeforeTheLastGapOfMoreThan30Days) {
  struct Case {
    std::vector<std::string> dates;
    std::size_t kept;
  };
  const Case cases[] = {
      {{"240101", "240110", "240301", "240305"}, 2},  // 51 day numbers between Jan 10 and Mar 1
      {{"240101", "240131"}, 2},                      // exactly 30
      {{"240101", "240202"}, 1},                      // 31
      {{"240131", "240301"}, 2},                      // month ends are not calendar-exact
      {{"991231", "000105"}, 2},                      // 1999 into 2000
      {{"240301", "240101"}, 2},                      // a step back prunes nothing
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    for (const auto& d : c.dates) lines.push_back(Record(d));
    WriteLog(lines);
    const MoniOneLogFile r = Restore();
    EXPECT_EQ(r.records.size(), c.kept) << c.dates.front() << " " << c.dates.back();
    EXPECT_EQ(FileLines().size(), c.kept);
    EXPECT_EQ(store.Newest().date, c.dates.back());
  }
}

TEST_F(RestoreAtStartUpTest, LineLengthsAndFields) {
  std::string r103 = Record("240101", 2, 2, 103);
  r103.back() = 'x';  // a record keeps its length only up to its last non-blank
  WriteLog({Record("240101", 1, 1, 102), r103, Record("240101", 3, 3, 121), "garbage",
            Record("240102", 6581.234, 401.5, 120)});
  const MoniOneLogFile r = Restore();
  ASSERT_EQ(r.records.size(), 2u);
  const auto lines = FileLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 103u);
  EXPECT_EQ(store.Newest().date, "240102");
  EXPECT_EQ(store.Newest().time, "1234");
  EXPECT_DOUBLE_EQ(store.Newest().north, 6581.234);
  EXPECT_DOUBLE_EQ(store.Newest().east, 401.5);
  EXPECT_EQ(store.Newest().comment, "comment");
  EXPECT_EQ(store.Newest().via, "WIDE1");
  EXPECT_EQ(store.Newest().symbol, "/>");
  EXPECT_EQ(store.Newest().symbolName, "Car");
}

TEST_F(RestoreAtStartUpTest, ALogLongerThanTheStoreKeepsItsNewestReports) {
  std::vector<std::string> lines;
  for (int i = 0; i < 10050; ++i) lines.push_back(Record("240101", 6000 + i * 0.001));
  lines.back() = Record("240101", 7777.777);
  WriteLog(lines);
  const MoniOneLogFile r = Restore();
  EXPECT_EQ(r.records.size(), 9998u);
  EXPECT_DOUBLE_EQ(store.Newest().north, 7777.777);
  EXPECT_EQ(FileLines().size(), 9998u);
}

TEST_F(RestoreAtStartUpTest, ALogThatCannotBeReadIsNotEmptied) {
  // A folder in the log's place cannot be read, whoever runs the test: it is left
  // as it is, not replaced by an empty log.
  fs::create_directories(Log());
  fs::path inside = Log();
  inside /= "KEPT";
  std::ofstream(inside) << "x";
  const MoniOneLogFile r = Restore();
  EXPECT_TRUE(r.records.empty());
  EXPECT_FALSE(r.rewritten);
  EXPECT_TRUE(fs::exists(inside));
}

TEST_F(RestoreAtStartUpTest, AMissingLogFolderIsCreated) {
  fs::remove_all(dir_ / "LOG");
  const MoniOneLogFile r = Restore();
  EXPECT_TRUE(r.folderMissing);
  EXPECT_TRUE(fs::exists(Log()));
}

}  // namespace
}  // namespace zeblon::reception
