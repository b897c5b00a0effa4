#include "map/bmp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::vector<std::uint32_t> GreyPalette(int entries) {
  std::vector<std::uint32_t> p;
  for (int i = 0; i < entries; ++i) {
    const std::uint32_t g = static_cast<std::uint32_t>(i * 255 / (entries - 1));
    p.push_back(g << 16 | g << 8 | g);
  }
  return p;
}

TEST(TileBitmap, FreshTilesHaveTheExactLayout) {
  const struct {
    int bits;
    std::size_t length;
    int first_pixel;
  } forms[] = {{4, 500118, 118}, {8, 1001078, 1078}, {24, 3000054, 54}};
  for (const auto& f : forms) {
    const auto tile = zeblon::map::Tile::Make(f.bits, GreyPalette(f.bits == 4 ? 16 : 256));
    const auto& b = tile.bytes();
    ASSERT_EQ(b.size(), f.length);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(b[2] | b[3] << 8 | b[4] << 16 | b[5] << 24, static_cast<int>(f.length));
    for (int i = 6; i < 10; ++i) EXPECT_EQ(b[i], 0) << "reserved byte " << i;
    EXPECT_EQ(b[10] | b[11] << 8, f.first_pixel);
    EXPECT_EQ(b[14], 40);
    EXPECT_EQ(b[18] | b[19] << 8, 1000);
    EXPECT_EQ(b[22] | b[23] << 8, 1000);
    EXPECT_EQ(b[28], f.bits);
    EXPECT_EQ(zeblon::map::TileProblem(b), "") << f.bits;
    // Parsing its own output gives back the same bytes.
    auto again = zeblon::map::Tile::FromBytes(b);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->bytes(), b);
    EXPECT_EQ(again->row_length(), f.bits == 4 ? 500 : f.bits == 8 ? 1000 : 3000);
  }
}

TEST(TileBitmap, PixelLayout) {
  auto t4 = zeblon::map::Tile::Make(4, GreyPalette(16));
  t4.SetPixel(0, 0, 0xA);
  t4.SetPixel(0, 1, 0x5);
  t4.SetPixel(999, 999, 3);
  // The south-west pixel is the high nibble of the first pixel byte, its east
  // neighbour the low nibble; the last row stored is the northernmost.
  EXPECT_EQ(t4.bytes()[118], 0xA5);
  EXPECT_EQ(t4.bytes()[118 + 999 * 500 + 499], 0x03);
  EXPECT_EQ(t4.Pixel(0, 0), 0xAu);
  EXPECT_EQ(t4.Pixel(0, 1), 0x5u);

  auto t8 = zeblon::map::Tile::Make(8, GreyPalette(256));
  t8.SetPixel(2, 7, 200);
  EXPECT_EQ(t8.bytes()[1078 + 2 * 1000 + 7], 200);

  auto t24 = zeblon::map::Tile::Make(24);
  t24.SetPixel(1, 2, 0x112233);  // red 11, green 22, blue 33
  const std::size_t p = 54 + 3000 + 6;
  EXPECT_EQ(t24.bytes()[p], 0x33);
  EXPECT_EQ(t24.bytes()[p + 1], 0x22);
  EXPECT_EQ(t24.bytes()[p + 2], 0x11);
  EXPECT_EQ(t24.Pixel(1, 2), 0x112233u);
  EXPECT_EQ(t8.PaletteEntry(255), 0xFFFFFFu);
}

TEST(TileBitmap, EmptyValues) {
  const auto t4 = zeblon::map::Tile::Make(4, GreyPalette(16)).EmptyCopy();
  for (std::size_t i = 118; i < t4.bytes().size(); ++i) ASSERT_EQ(t4.bytes()[i], 255) << i;

  auto palette = GreyPalette(256);
  palette[15] = 0xFCFC00;  // red 252, green 252, blue 0
  const auto yellow = zeblon::map::Tile::Make(8, palette);
  EXPECT_EQ(yellow.bytes()[114], 0);
  EXPECT_EQ(yellow.bytes()[115], 252);
  EXPECT_EQ(yellow.bytes()[116], 252);
  EXPECT_EQ(yellow.EmptyValue(), 15u);
  EXPECT_EQ(yellow.EmptyCopy().Pixel(500, 500), 15u);
  palette[15] = 0xFFFFFF;
  EXPECT_EQ(zeblon::map::Tile::Make(8, palette).EmptyValue(), 255u);

  const auto t24 = zeblon::map::Tile::Make(24).EmptyCopy();
  EXPECT_EQ(t24.Pixel(0, 0), zeblon::map::kEmptyColour);
  EXPECT_EQ(t24.bytes()[54], 0);
  EXPECT_EQ(t24.bytes()[55], 252);
  EXPECT_EQ(t24.bytes()[56], 252);
}

TEST(TileBitmap, ProblemsOfFilesThatAreNotTiles) {
  const auto good = zeblon::map::Tile::Make(8, GreyPalette(256)).bytes();
  auto with = [&](auto change) {
    auto b = good;
    change(b);
    return zeblon::map::TileProblem(b);
  };
  EXPECT_EQ(zeblon::map::TileProblem(std::vector<std::uint8_t>{'G', 'I', 'F', '8'}), "NOT A BMP FILE");
  EXPECT_EQ(zeblon::map::TileProblem(std::vector<std::uint8_t>{}), "NOT A BMP FILE");
  EXPECT_EQ(with([](auto& b) { b.resize(30); }), "TRUNCATED FILE");
  EXPECT_EQ(with([](auto& b) { b.resize(b.size() - 1); }), "TRUNCATED FILE");
  EXPECT_EQ(with([](auto& b) { b.push_back(0); }), "WRONG FILE LENGTH");
  EXPECT_EQ(with([](auto& b) { b[18] = 0xE7; }), "NOT 1000 x 1000 PIXELS (999 x 1000)");
  EXPECT_EQ(with([](auto& b) { b[28] = 32; }), "UNSUPPORTED COLOUR DEPTH (32 BITS PER PIXEL)");
  EXPECT_EQ(with([](auto& b) { b[28] = 1; }), "UNSUPPORTED COLOUR DEPTH (1 BITS PER PIXEL)");
  EXPECT_EQ(with([](auto& b) { b[7] = 1; }), "RESERVED HEADER FIELDS NOT 0");
  EXPECT_EQ(with([](auto& b) { b[30] = 1; }), "COMPRESSED BMP");
  EXPECT_EQ(with([](auto& b) { b[3] = 0; }), "WRONG FILE LENGTH IN HEADER");
  std::string why;
  EXPECT_FALSE(zeblon::map::Tile::FromBytes({'B', 'M'}, &why));
  EXPECT_EQ(why, "TRUNCATED FILE");
}

TEST(TileBitmap, SafeWriteReplacesWholeOrNothing) {
  const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "test_tmp" / "bmp_safe_write";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path file = dir / "60001200.BMP";
  std::string error;
  const std::vector<std::uint8_t> first(100, 1), second(50, 2);
  ASSERT_TRUE(zeblon::map::WriteFileSafely(file, first, error)) << error;
  ASSERT_TRUE(zeblon::map::WriteFileSafely(file, second, error)) << error;
  std::vector<std::uint8_t> back;
  ASSERT_TRUE(zeblon::map::ReadFileBytes(file, back, error));
  EXPECT_EQ(back, second);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  // A folder that is missing: the write fails with a reason.
  EXPECT_FALSE(zeblon::map::WriteFileSafely(dir / "missing" / "x.BMP", first, error));
  EXPECT_NE(error.find("CANNOT WRITE"), std::string::npos);
  EXPECT_FALSE(zeblon::map::ReadFileBytes(dir / "none.BMP", back, error));
  EXPECT_NE(error.find("CANNOT OPEN"), std::string::npos);
  fs::remove_all(dir);
}

TEST(TileBitmap, FullDiskIsReportedAndLeavesTheOldFile) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  // /dev/full accepts open but every write fails with ENOSPC; a symlink named
  // like the temporary file makes the safe write run into it.
  const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "test_tmp" / "bmp_full";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path file = dir / "T.BMP";
  std::string error;
  ASSERT_TRUE(zeblon::map::WriteFileSafely(file, std::vector<std::uint8_t>(10, 7), error));
  fs::create_symlink("/dev/full", dir / "T.BMP.part");
  EXPECT_FALSE(zeblon::map::WriteFileSafely(file, std::vector<std::uint8_t>(5000, 1), error));
  EXPECT_NE(error.find("CANNOT WRITE"), std::string::npos) << error;
  std::vector<std::uint8_t> back;
  ASSERT_TRUE(zeblon::map::ReadFileBytes(file, back, error));
  EXPECT_EQ(back, std::vector<std::uint8_t>(10, 7));
  fs::remove_all(dir);
}

}  // namespace
