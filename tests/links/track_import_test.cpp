// The track import at START: VEC files merged into the day's TRK files.
#include "links/track_import.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/safe_file.h"
#include "settings/settings.h"
#include "tests/support/file_faults.h"
#include "tests/support/program_folder.h"

namespace zeblon::links {
namespace {

namespace fs = std::filesystem;

// A TRK line: "þ", northing and easting as 9 characters each, date and time.
std::string Line(const std::string& north, const std::string& east, const std::string& date, const std::string& time) {
  return "\xFE" + north + east + " " + date + " " + time;
}

class TrackImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<testing_support::ScratchFolder>("zeblon_trk");
    app_ = scratch_->path();
    fs::create_directories(app_ / "U33" / "VEC");
    fs::create_directories(app_ / "U33" / "TRK");
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(app_ / "U33" / "TRK", fs::perms::owner_all, ec);
    scratch_.reset();
  }
  void Write(const fs::path& file, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\r\n";
    ASSERT_TRUE(WriteFileAtomically(file, bytes));
  }
  std::vector<std::string> Read(const fs::path& file) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(file, bytes));
    return SplitLines(bytes);
  }
  std::unique_ptr<testing_support::ScratchFolder> scratch_;
  fs::path app_;
};

const std::string a1 = Line(" 6580.123", "  650.456", "20250601", "1200");
const std::string a2 = Line(" 6581.000", "  651.000", "20250601", "1230");
const std::string a3 = Line(" 6590.000", "  660.000", "20250601", "1300");
const std::string b1 = Line(" 6500.000", "  600.000", "20250601", "1100");
const std::string b2 = Line(" 6500.000", "  600.000", "20250601", "1230");  // same key as a2
const std::string b3 = Line(" 6500.000", "  600.000", "20250601", "1400");

TEST(TrackMerge, KeysDecideTheOrderAndVecLinesReplaceEqualOnes) {
  EXPECT_EQ(TrackLineKey(a1), "20250601 1200");
  const auto merged = MergeTrackLines({a1, "   ", a2, a3}, {b1, b2, b3});
  EXPECT_EQ(merged, (std::vector<std::string>{b1, a1, a2, a3, b3}));
  EXPECT_EQ(MergeTrackLines({}, {b1}), std::vector<std::string>{b1});
  EXPECT_EQ(MergeTrackLines({a1, ""}, {}), std::vector<std::string>{a1});
}

TEST(TrackMerge, WayLogSummaryIsTheFarthestPoint) {
  const auto s = WayLogSummaryLine({"", a1, a2, a3, a1}, "20250601.VEC");
  ASSERT_TRUE(s);
  // a3 lies farthest from a1: its northing digits, easting part, date and time.
  EXPECT_EQ(*s, "6590  660 250601 1300 OUT_A  OUTDOOR_ACT TK250601.VEC");
  EXPECT_EQ(*WayLogSummaryLine({a1}, "20250601.VEC"), "6580  650 250601 1200 OUT_A  OUTDOOR_ACT TK250601.VEC");
  EXPECT_FALSE(WayLogSummaryLine({"  "}, "X.VEC"));
  // Inserted by its key: before a later line, after an equal one, or last.
  const std::string early = "0000000000250601 1100 X";
  const std::string same = "0000000000250601 1300 Y";
  const std::string late = "0000000000250602 0000 Z";
  EXPECT_EQ(InsertWayLogLine({early, late}, *s), (std::vector<std::string>{early, *s, late}));
  EXPECT_EQ(InsertWayLogLine({same, late}, *s), (std::vector<std::string>{same, *s, late}));
  EXPECT_EQ(InsertWayLogLine({early}, *s), (std::vector<std::string>{early, *s}));
  EXPECT_EQ(InsertWayLogLine({}, *s), std::vector<std::string>{*s});
}

TEST_F(TrackImportTest, NewAndExistingTrackFiles) {
  Write(app_ / "U33" / "VEC" / "20250601.VEC", {a1, "", a2, a3});
  Write(app_ / "U33" / "TRK" / "20250601.TRK", {b1, b2, b3});
  Write(app_ / "U33" / "VEC" / "20250602.vec", {a1});
  const TrackImportResult r = ImportVecTrackFiles(app_);
  EXPECT_EQ(r.imported, 2);
  EXPECT_TRUE(r.failed.empty());
  EXPECT_EQ(Read(app_ / "U33" / "TRK" / "20250601.TRK"), (std::vector<std::string>{b1, a1, a2, a3, b3}));
  EXPECT_EQ(Read(app_ / "U33" / "TRK" / "20250602.TRK"), std::vector<std::string>{a1});
  EXPECT_FALSE(fs::exists(app_ / "U33" / "VEC" / "20250601.VEC"));
  EXPECT_FALSE(fs::exists(app_ / "U33" / "VEC" / "20250602.vec"));
  EXPECT_FALSE(fs::exists(app_ / "U33" / "X.INT"));
  // No way log folder: none is made.
  EXPECT_FALSE(fs::exists(app_ / "drive_c"));
}

TEST_F(TrackImportTest, NoVecFolderOnlyCreatesIt) {
  fs::remove_all(app_ / "U33" / "VEC");
  EXPECT_EQ(ImportVecTrackFiles(app_).imported, 0);
  EXPECT_TRUE(fs::is_directory(app_ / "U33" / "VEC"));
  EXPECT_TRUE(fs::is_empty(app_ / "U33" / "TRK"));
}

TEST_F(TrackImportTest, AtMostTwoHundredFilesAStart) {
  for (int i = 0; i < 250; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "2025%04d.VEC", i);
    Write(app_ / "U33" / "VEC" / name, {a1});
  }
  EXPECT_EQ(ImportVecTrackFiles(app_).imported, 200);
  EXPECT_EQ(ImportVecTrackFiles(app_).imported, 50);
}

TEST_F(TrackImportTest, AFailedMergeKeepsTheTrackFile) {
  Write(app_ / "U33" / "VEC" / "20250601.VEC", {a1});
  Write(app_ / "U33" / "TRK" / "20250601.TRK", {b1});
  // A folder in the temporary file's place: the merged file cannot be written.
  fs::create_directories(platform::TemporaryFileFor(app_ / "U33" / "TRK" / "20250601.TRK") / "KEPT");
  const TrackImportResult r = ImportVecTrackFiles(app_);
  EXPECT_EQ(r.imported, 0);
  EXPECT_EQ(r.failed, std::vector<std::string>{"20250601.VEC"});
  EXPECT_TRUE(fs::exists(app_ / "U33" / "VEC" / "20250601.VEC"));
  EXPECT_EQ(Read(app_ / "U33" / "TRK" / "20250601.TRK"), std::vector<std::string>{b1});
}

TEST_F(TrackImportTest, AnUnreadableTrackFileKeepsTheVecFile) {
  // A TRK "file" that cannot be read as one (a folder of that name): the merge
  // fails and neither file is touched, whoever runs the test.
  Write(app_ / "U33" / "VEC" / "20250601.VEC", {a1});
  fs::create_directories(app_ / "U33" / "TRK" / "20250601.TRK");
  const TrackImportResult r = ImportVecTrackFiles(app_);
  EXPECT_EQ(r.imported, 0);
  EXPECT_EQ(r.failed, std::vector<std::string>{"20250601.VEC"});
  EXPECT_TRUE(fs::exists(app_ / "U33" / "VEC" / "20250601.VEC"));
  EXPECT_TRUE(fs::is_directory(app_ / "U33" / "TRK" / "20250601.TRK"));
  EXPECT_FALSE(fs::exists(app_ / "U33" / "X.INT"));
}

TEST_F(TrackImportTest, WayLogWhereTheMapFolderExists) {
  const fs::path map = app_ / "drive_c" / "MAP" / "U33";
  fs::create_directories(map);
  Write(app_ / "U33" / "VEC" / "20250601.VEC", {a1, a2, a3});
  EXPECT_EQ(ImportVecTrackFiles(app_).imported, 1);
  EXPECT_TRUE(fs::exists(map / "TK250601.VEC"));
  EXPECT_EQ(Read(map / "QTHWAY.TXT"),
            std::vector<std::string>{"6590  660 250601 1300 OUT_A  OUTDOOR_ACT TK250601.VEC"});
}

TEST_F(TrackImportTest, WhatAKilledImportLeftIsRemoved) {
  const fs::path map = app_ / "drive_c" / "MAP" / "U33";
  fs::create_directories(map);
  const std::string dead = ".tmp" + std::to_string(zeblon::testing_support::EndedProcessId());  // its leftovers may go
  Write(app_ / "U33" / "X.INT", {b1});
  Write(app_ / "U33" / "TRK" / ("20250601.TRK" + dead), {b1});
  Write(map / "QTHWAY.TXT", {});
  Write(map / ("QTHWAY.TXT" + dead), {b1});
  Write(app_ / "U33" / "TRK" / "20250601.TRK", {b1});
  EXPECT_EQ(ImportVecTrackFiles(app_).imported, 0);  // no track file: only the leftovers go
  EXPECT_FALSE(fs::exists(app_ / "U33" / "X.INT"));
  Write(app_ / "U33" / "VEC" / "20250601.VEC", {a1});
  EXPECT_EQ(ImportVecTrackFiles(app_).imported, 1);
  EXPECT_FALSE(fs::exists(app_ / "U33" / "X.INT"));
  std::vector<std::string> names;
  for (const auto& folder : {app_ / "U33" / "TRK", map})
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"20250601.TRK", "QTHWAY.TXT", "TK250601.VEC"}));
}

}  // namespace
}  // namespace zeblon::links
