#include <gtest/gtest.h>

#include <algorithm>

#include "fixture.h"
#include "talmor/tile_converter.h"
#include "tests/support/file_faults.h"

namespace {

using namespace talmor_test;
using talmor::RunEnd;

class TileRun : public ::testing::Test {
 protected:
  void SetUp() override {
    root = Scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
    source = root / "RN" / "M0002";
    destination = root / "U33" / "M0002";
    temp = root / "temp";
    fs::create_directories(source);
    fs::create_directories(destination);
    fs::create_directories(temp);
    options.source = source;
    options.destination = destination;
    options.temp = temp;
    options.scale = 2;
  }
  talmor::RunResult Run() { return talmor::ConvertMapTiles(options, rec.Hooks()); }

  fs::path root, source, destination, temp;
  talmor::TileRunOptions options;
  Recorder rec;
};

TEST_F(TileRun, EmptySourceFolder) {
  WriteText(source / "README.TXT", "no tiles");
  EXPECT_EQ(Run().end, RunEnd::NoSourceData);
  EXPECT_EQ(rec.text, "\r\nNO SOURCE DATA FOUND !\r\n");
  EXPECT_TRUE(FilesIn(destination).empty());
}

TEST_F(TileRun, ConvertsWithProgressAndLeavesNoWorkFiles) {
  WriteBytes(source / "60001200.BMP", FilledTile(4, 3).bytes());
  WriteBytes(source / "60021200.bmp", FilledTile(4, 5).bytes());  // found in any letter case
  options.deleteSources = true;
  const auto result = Run();
  ASSERT_EQ(result.end, RunEnd::Ready) << result.message;
  EXPECT_EQ(rec.text,
            "PREPARING BITMAP...  DONE\r\n\r\n"
            "12:00:00     START...\r\n60001200.BMP   1/2\r\n12:00:00     ...READY   0 min\r\n\r\n"
            "12:00:00     START...\r\n60021200.BMP   2/2\r\n12:00:00     ...READY   0 min\r\n\r\n"
            "\r\nREADY !\r\n");
  EXPECT_EQ(rec.beeps, 1);
  EXPECT_TRUE(FilesIn(source).empty());  // both deleted after their results were written
  EXPECT_FALSE(fs::exists(temp / "TALMORMC"));
  const auto made = FilesIn(destination);
  ASSERT_FALSE(made.empty());
  std::size_t inked = 0;
  for (const auto& name : made) {
    auto tile = zeblon::map::Tile::FromBytes(ReadBytes(destination / name));
    ASSERT_TRUE(tile) << name;
    EXPECT_EQ(tile->bits(), 4);
    for (int r = 0; r < 1000; r += 7)
      for (int c = 0; c < 1000; c += 7) {
        const auto v = tile->Pixel(r, c);
        EXPECT_TRUE(v == 3 || v == 5 || v == 15) << name << " " << r << "," << c << " = " << v;
        inked += v != 15;
      }
  }
  // Two 2 km tiles cover 8 km2; about that much of the destination is inked.
  EXPECT_NEAR(static_cast<double>(inked) / (143 * 143), 2.0, 0.1);
}

TEST_F(TileRun, ExistingDestinationTilesAreEditedNotReplaced) {
  WriteBytes(source / "60001200.BMP", FilledTile(8, 1).bytes());
  // First find where the tile goes, then put a marked tile there and run again.
  ASSERT_EQ(Run().end, RunEnd::Ready);
  const auto names = FilesIn(destination);
  ASSERT_FALSE(names.empty());
  auto marked = FilledTile(8, 1).EmptyCopy();
  for (int c = 0; c < 1000; ++c) marked.SetPixel(0, c, 77), marked.SetPixel(999, c, 77);
  for (const auto& name : names) WriteBytes(destination / name, marked.bytes());
  rec.text.clear();
  ASSERT_EQ(Run().end, RunEnd::Ready);
  int kept = 0;
  for (const auto& name : names) {
    auto tile = zeblon::map::Tile::FromBytes(ReadBytes(destination / name));
    ASSERT_TRUE(tile);
    for (int c = 0; c < 1000; ++c) kept += tile->Pixel(0, c) == 77 || tile->Pixel(999, c) == 77;
  }
  EXPECT_GT(kept, 0);  // pixels no source reaches keep what they held
}

// Header fields a source tile may hold (image size and colours used of
// 0xFFFFFFFF, a resolution) never reach the destination tiles, new or edited; the
// temporary file a killed run left in the destination goes at the next run.
TEST_F(TileRun, DestinationTilesCarryTheTileFormatHeaderAndLeftoversGo) {
  auto odd = FilledTile(8, 1).bytes();
  for (std::size_t i : {34, 35, 36, 37, 38, 39, 46, 47, 48, 49}) odd[i] = 0xFF;
  WriteBytes(source / "60001200.BMP", odd);
  ASSERT_EQ(Run().end, RunEnd::Ready);
  const auto names = FilesIn(destination);
  ASSERT_FALSE(names.empty());
  const std::string leftover = names.front() + ".tmp" + std::to_string(zeblon::testing_support::EndedProcessId());
  WriteText(destination / leftover, "half a tile");
  const auto format = zeblon::map::Tile::Make(8, Palette(256)).bytes();
  for (const auto& name : names) {
    const auto back = ReadBytes(destination / name);
    ASSERT_EQ(back.size(), format.size()) << name;
    EXPECT_TRUE(std::equal(format.begin(), format.begin() + 1078, back.begin())) << name;
    // Edited again from a destination tile that holds such fields itself.
    auto edited = back;
    edited[46] = edited[47] = 0xFF;
    WriteBytes(destination / name, edited);
  }
  ASSERT_EQ(Run().end, RunEnd::Ready);
  EXPECT_EQ(FilesIn(destination), names);  // the leftover went
  for (const auto& name : names) {
    const auto back = ReadBytes(destination / name);
    EXPECT_TRUE(std::equal(format.begin(), format.begin() + 1078, back.begin())) << name;
  }
}

TEST_F(TileRun, NameCutToEightCharacters) {
  WriteBytes(source / "60001200.BMP", FilledTile(4, 3).bytes());
  WriteBytes(source / "60001200X.BMP", FilledTile(4, 4).bytes());
  options.deleteSources = true;
  ASSERT_EQ(Run().end, RunEnd::Ready);
  EXPECT_EQ(FilesIn(source), std::vector<std::string>{"60001200X.BMP"});
  EXPECT_NE(rec.text.find("60001200.BMP   1/1"), std::string::npos);
}

TEST_F(TileRun, TileWithNoPixelInTheGridIsKept) {
  // "XXXX" reads as -24000 km: every pixel lies beyond the grid and is skipped.
  WriteBytes(source / "XXXXXXXX.BMP", FilledTile(4, 3).bytes());
  options.deleteSources = true;
  ASSERT_EQ(Run().end, RunEnd::Ready);
  EXPECT_TRUE(FilesIn(destination).empty());
  EXPECT_EQ(FilesIn(source), std::vector<std::string>{"XXXXXXXX.BMP"});  // not deleted: it has no result
  EXPECT_NE(rec.text.find("NO PIXEL OF XXXXXXXX.BMP LANDS IN UTM ZONE 33: THE SOURCE IS KEPT\r\n"), std::string::npos)
      << rec.text;
}

TEST_F(TileRun, SourcesThatAreNotTilesAreRefusedBeforeAnythingIsWritten) {
  const auto good = FilledTile(8, 1).bytes();
  auto truncated = good;
  truncated.resize(good.size() / 2);
  auto small = zeblon::map::Tile::Make(8, Palette(256)).bytes();
  small[18] = 100;  // 100 x 1000 pixels
  small[19] = 0;
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {"60021200.BMP", {'G', 'I', 'F', '8', '9', 'a'}, "NOT A MAP TILE: 60021200.BMP: NOT A BMP FILE !"},
      {"60021200.BMP", truncated, "NOT A MAP TILE: 60021200.BMP: TRUNCATED FILE !"},
      {"60021200.BMP", small, "NOT A MAP TILE: 60021200.BMP: NOT 1000 x 1000 PIXELS (100 x 1000) !"},
      {"60021200.BMP", FilledTile(4, 1).bytes(),
       "NOT A MAP TILE LIKE THE FIRST ONE: 60021200.BMP HAS 4 BITS PER PIXEL, 60001200.BMP 8 !"},
      {"6002120X.BMP", good, "NOT A MAP TILE: 6002120X.BMP: NOT FOUND"},  // prefix only
  };
  for (const auto& c : cases) {
    fs::remove_all(source);
    fs::create_directories(source);
    WriteBytes(source / "60001200.BMP", good);
    WriteBytes(source / c.name, c.bytes);
    if (std::string(c.name) == "6002120X.BMP") {
      fs::remove(source / c.name);
      WriteBytes(source / "6002120XY.BMP", good);  // cut to 6002120X, which does not exist
    }
    options.deleteSources = true;
    const auto result = Run();
    EXPECT_EQ(result.end, RunEnd::Refused) << c.name;
    EXPECT_EQ(result.message.rfind(c.reason, 0), 0u) << result.message << " | " << c.reason;
    EXPECT_TRUE(FilesIn(destination).empty());
    EXPECT_TRUE(fs::exists(source / "60001200.BMP"));
  }
}

TEST_F(TileRun, FoldersThatCannotBeUsedTogether) {
  const std::string different = "SOURCE / DESTINATION / TEMP  PATHS  HAVE TO BE DIFFERENT !";
  WriteBytes(source / "60001200.BMP", FilledTile(4, 3).bytes());
  fs::create_directory_symlink(source, root / "link");
  const struct {
    fs::path source, destination, temp;
    std::string message;
  } cases[] = {
      {source, source, temp, different},
      {source, root / "link", temp, different},   // the same folder through a link
      {source, source / "U33", temp, different},  // destination inside the source
      {source, destination, source, different},   // work folder inside the source
      {root / "missing", destination, temp, "CANNOT READ THE SOURCE FOLDER " + (root / "missing").string() + " !"},
      {source, root / "nowhere", temp,
       "CANNOT WRITE INTO THE DESTINATION FOLDER " + (root / "nowhere").string() + " !"},
  };
  fs::create_directories(source / "U33");
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    options.source = c.source;
    options.destination = c.destination;
    options.temp = c.temp;
    const auto result = Run();
    EXPECT_EQ(result.end, RunEnd::Refused) << i;
    EXPECT_EQ(result.message, c.message) << i;
  }
  EXPECT_TRUE(FilesIn(destination).empty());
  options.scale = 7;
  EXPECT_EQ(Run().message, "SUPPORTED SCALES ARE 2 10 50 200 1000 5000 !");
}

TEST_F(TileRun, WriteFailureIsReportedAndTheSourceStays) {
  WriteBytes(source / "60001200.BMP", FilledTile(4, 3).bytes());
  ASSERT_EQ(Run().end, RunEnd::Ready);
  const auto names = FilesIn(destination);
  for (const auto& n : names) fs::remove(destination / n);
  // A full disk: a file size limit below a tile's length makes every tile write fail.
  options.deleteSources = true;
  talmor::RunResult result;
  {
    const zeblon::testing_support::FileSizeLimit full(100000);
    ASSERT_TRUE(full.set());
    result = Run();
  }
  EXPECT_EQ(result.end, RunEnd::Failed);
  EXPECT_NE(result.message.find("CANNOT WRITE"), std::string::npos) << result.message;
  EXPECT_NE(result.message.find("60001200.BMP IS NOT CONVERTED COMPLETELY"), std::string::npos);
  EXPECT_TRUE(fs::exists(source / "60001200.BMP"));
}

TEST_F(TileRun, DestinationTileOfAnotherFormIsReported) {
  WriteBytes(source / "60001200.BMP", FilledTile(4, 3).bytes());
  ASSERT_EQ(Run().end, RunEnd::Ready);
  const auto names = FilesIn(destination);
  WriteBytes(destination / names.front(), FilledTile(8, 3).bytes());
  options.deleteSources = true;
  const auto result = Run();
  EXPECT_EQ(result.end, RunEnd::Failed);
  EXPECT_NE(result.message.find("IS NOT A MAP TILE LIKE THE SOURCE TILES"), std::string::npos) << result.message;
  EXPECT_TRUE(fs::exists(source / "60001200.BMP"));
}

TEST_F(TileRun, StopDuringTheSecondTileKeepsWhatWasDone) {
  WriteBytes(source / "60001200.BMP", FilledTile(24, 0x112233).bytes());
  WriteBytes(source / "60021200.BMP", FilledTile(24, 0x445566).bytes());
  options.deleteSources = true;
  rec.stop = [&] { return rec.text.find("2/2") != std::string::npos && rec.pumps > 1500; };
  ASSERT_EQ(Run().end, RunEnd::Stopped);
  EXPECT_EQ(rec.text.find("READY !"), std::string::npos);
  EXPECT_EQ(FilesIn(source), std::vector<std::string>{"60021200.BMP"});  // the stopped one stays
  EXPECT_FALSE(fs::exists(temp / "TALMORMC"));
  bool second_seen = false;
  for (const auto& name : FilesIn(destination)) {
    auto tile = zeblon::map::Tile::FromBytes(ReadBytes(destination / name));
    ASSERT_TRUE(tile) << name;
    for (int r = 0; r < 1000 && !second_seen; r += 3)
      for (int c = 0; c < 1000; c += 3)
        if (tile->Pixel(r, c) == 0x445566u) second_seen = true;
  }
  EXPECT_TRUE(second_seen);  // part of the second tile was saved
}

TEST_F(TileRun, EmptyInkOfEightBitTilesFollowsPaletteEntry15) {
  for (std::uint32_t entry15 : {0xFCFC00u, 0xFFFFFFu}) {
    fs::remove_all(destination);
    fs::create_directories(destination);
    auto palette = Palette(256);
    palette[15] = entry15;
    auto tile = zeblon::map::Tile::Make(8, palette);
    WriteBytes(source / "60001200.BMP", tile.bytes());
    ASSERT_EQ(Run().end, RunEnd::Ready);
    const auto names = FilesIn(destination);
    bool corner_empty = false;
    for (const auto& name : names) {
      auto dest = zeblon::map::Tile::FromBytes(ReadBytes(destination / name));
      const std::uint32_t expected = entry15 == 0xFCFC00u ? 15 : 255;
      for (auto [r, c] : {std::pair{0, 0}, {0, 999}, {999, 0}, {999, 999}})
        corner_empty |= dest->Pixel(r, c) == expected;
    }
    EXPECT_TRUE(corner_empty) << std::hex << entry15;
  }
}

}  // namespace
