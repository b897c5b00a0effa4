// SMART LOG: the gap stage, the thinning passes, the speed test and the file.
#include "start_window/smart_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "geodesy/text.h"
#include "reception/station_record.h"
#include "settings/settings.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;

// A MONI 1 record of 110 characters: date, time, the mark, northing and easting.
std::string Record(const std::string& date, double north_km, double east_km, const std::string& call = "QW7TK") {
  std::string r = date + " 1200 \xFE" + PositionText(static_cast<std::int64_t>(std::llround(north_km * 1000))) +
                  PositionText(static_cast<std::int64_t>(std::llround(east_km * 1000))) + " " + call;
  r.resize(110, ' ');
  r.replace(100, 7, "/>  Car");
  return r;
}

std::string Trimmed(std::string r) {
  while (!r.empty() && r.back() == ' ') r.pop_back();
  return r;
}

double North(const std::string& r) { return LeadingNumber(r.substr(13, 9)); }

TEST(SmartLogRules, LineLimitAndSpeedTest) {
  EXPECT_DOUBLE_EQ(SmartLogLineLimit(300000), 6000);
  EXPECT_DOUBLE_EQ(SmartLogLineLimit(900000), 6000);
  EXPECT_DOUBLE_EQ(SmartLogLineLimit(150000), 3000);
  EXPECT_DOUBLE_EQ(SmartLogLineLimit(10), 2);  // never below two lines
  // A clock that stands still cannot hold the test up: it ends at the cap.
  EXPECT_EQ(SpeedTestPasses([] { return 5.0; }), kSpeedTestMaxPasses);
  // A clock of seconds since midnight that wraps ends the test at the wrap.
  double t = 86399.5;
  const int passes = SpeedTestPasses([&t] {
    t += 0.001;
    if (t >= 86400) t -= 86400;
    return t;
  });
  EXPECT_LT(passes, 1000);
  // A steady clock: the passes are the readings less than a second after the first.
  double u = 0;
  EXPECT_EQ(SpeedTestPasses([&u] { return u += 0.25; }), 3);
}

TEST(SmartLogRules, DayNumbersAndGaps) {
  EXPECT_EQ(reception::RecordDayNumber(Record("000102", 1, 1)) - reception::RecordDayNumber(Record("991230", 1, 1)), 2);
  const std::vector<std::string> wrap = {Record("991230", 1, 1), Record("000102", 1, 1)};
  EXPECT_EQ(DropBeforeLastGaps(wrap), wrap);
  const std::vector<std::string> four = {Record("250101", 1, 1), Record("250105", 2, 2), Record("250301", 3, 3),
                                         Record("250302", 4, 4)};
  EXPECT_EQ(DropBeforeLastGaps(four), (std::vector<std::string>{four[2], four[3]}));
  // A step back in time or a gap of exactly 20 days drops nothing.
  const std::vector<std::string> back = {Record("250301", 1, 1), Record("250101", 2, 2), Record("250121", 3, 3)};
  EXPECT_EQ(DropBeforeLastGaps(back), back);
}

std::vector<double> Northings(const std::vector<std::string>& lines) {
  std::vector<double> n;
  for (const auto& l : lines) n.push_back(North(l));
  return n;
}

TEST(SmartLogRules, ThinningComparesWithTheLineKeptBefore) {
  // Lines 2 to 5 rise by 4 m: the 8 m line goes, the 12 m one stays.
  std::vector<std::string> lines = {Record("250101", 10, 1), Record("250101", 20, 1), Record("250101", 20.004, 1),
                                    Record("250101", 20.008, 1), Record("250101", 20.012, 1)};
  for (int i = 0; i < 6; ++i) lines.push_back(Record("250101", 100 + i, 1));
  ThinPass(lines, 0.01, 3.0 / 4);
  EXPECT_EQ(Northings(lines), (std::vector<double>{10, 20, 20.012, 100, 101, 102, 103, 104, 105}));

  // 15 m apart: kept by the 10 m pass, removed by the 50 m pass.
  std::vector<std::string> pair = {Record("250101", 10, 1), Record("250101", 20, 1), Record("250101", 20.015, 1),
                                   Record("250101", 30, 1), Record("250101", 40, 1), Record("250101", 50, 1)};
  ThinPass(pair, 0.01, 3.0 / 4);
  EXPECT_EQ(pair.size(), 6u);
  ThinPass(pair, 0.05, 2.0 / 3);
  EXPECT_EQ(Northings(pair), (std::vector<double>{10, 20, 30, 40, 50}));

  // From slot 1 the comparison goes on from the former slot 3, not from slot 1.
  std::vector<std::string> first = {
      Record("250101", 10, 1), Record("250101", 10.001, 1), Record("250101", 10.005, 1), Record("250101", 10.006, 1),
      Record("250101", 50, 1), Record("250101", 60, 1),     Record("250101", 70, 1),     Record("250101", 80, 1)};
  ThinPass(first, 0.01, 3.0 / 4);
  EXPECT_EQ(Northings(first), (std::vector<double>{10, 10.005, 50, 60, 70, 80}));
}

class SmartLogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zeblon_slog_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    file_ = dir_ / "LOG" / "QW7TK.TXT";
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Write(const std::vector<std::string>& lines) {
    fs::create_directories(file_.parent_path());
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\r\n";
    ASSERT_TRUE(WriteFileAtomically(file_, bytes));
  }
  std::vector<std::string> Read() {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(file_, bytes));
    return SplitLines(bytes);
  }
  fs::path dir_, file_;
};

TEST_F(SmartLogFileTest, ASmallLogIsOnlyCleaned) {
  const std::string padded = Record("250101", 1, 1) + "          ";  // 120 characters
  Write({padded, "too short", Record("250102", 2, 2), std::string(121, 'x')});
  const SmartLogResult r = TrimMoniOneLogFile(file_, 6000);
  EXPECT_TRUE(r.ran);
  EXPECT_FALSE(r.gapStage);
  EXPECT_EQ(r.sweeps, 1);
  EXPECT_EQ(Read(), (std::vector<std::string>{Trimmed(padded), Trimmed(Record("250102", 2, 2))}));
}

TEST_F(SmartLogFileTest, AMissingLogAndFolderAreCreatedEmpty) {
  const SmartLogResult r = TrimMoniOneLogFile(file_, 100);
  EXPECT_TRUE(r.ran);
  EXPECT_TRUE(fs::exists(file_));
  EXPECT_TRUE(Read().empty());
}

TEST_F(SmartLogFileTest, GapsThenThinningDownToTheLimit) {
  std::vector<std::string> lines = {Record("250101", 1, 1), Record("250105", 2, 2)};
  for (int i = 0; i < 40; ++i) lines.push_back(Record("250301", 100 + i * 0.03, 5));
  Write(lines);
  const SmartLogResult r = TrimMoniOneLogFile(file_, 10);
  EXPECT_TRUE(r.gapStage);
  EXPECT_LE(r.linesKept, 10);
  const auto kept = Read();
  EXPECT_EQ(static_cast<int>(kept.size()), r.linesKept);
  EXPECT_EQ(kept.front().substr(0, 6), "250301");  // the stretch before the gap is gone
}

TEST_F(SmartLogFileTest, ALimitBelowTwoEnds) {
  Write(std::vector<std::string>(5, Record("250101", 1, 1)));
  const SmartLogResult r = TrimMoniOneLogFile(file_, 0);
  EXPECT_EQ(r.linesKept, 2);
  EXPECT_EQ(Read().size(), 2u);
}

TEST_F(SmartLogFileTest, PositionsThatNeverComeCloseEndAfterTheLastSweep) {
  // Northings too far apart for any threshold: the sweeps stop at their bound.
  std::string far = Record("250101", 1, 1), near = far;
  far.replace(13, 9, "  1E+308 ");
  near.replace(13, 9, " -1E+308 ");
  Write({far, near, far, near, far, near});
  const SmartLogResult r = TrimMoniOneLogFile(file_, 2);
  EXPECT_EQ(r.sweeps, kSmartLogMaxSweeps);
  EXPECT_EQ(r.linesKept, 6);
}

TEST_F(SmartLogFileTest, ALongLogKeepsItsNewestReports) {
  std::vector<std::string> lines;
  for (int i = 0; i < 10500; ++i) {
    lines.push_back(Record("250101", 1000 + i * 0.02, 500, "N" + std::to_string(i)));
  }
  Write(lines);
  const SmartLogResult r = TrimMoniOneLogFile(file_, 6000);
  EXPECT_EQ(r.linesRead, 10500);
  EXPECT_LE(r.linesKept, 6000);
  const auto kept = Read();
  ASSERT_FALSE(kept.empty());
  EXPECT_EQ(kept.back(), Trimmed(lines.back()));
  EXPECT_EQ(kept.front().substr(0, 40), lines.front().substr(0, 40));
}

}  // namespace
}  // namespace zeblon
