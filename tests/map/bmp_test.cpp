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
    int firstPixel;
  } forms[] = {{4, 500118, 118}, {8, 1001078, 1078}, {24, 3000054, 54}};
  for (const auto& f : forms) {
    const auto tile = zeblon::map::Tile::Make(f.bits, GreyPalette(f.bits == 4 ? 16 : 256));
    const auto& b = tile.bytes();
    ASSERT_EQ(b.size(), f.length);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(b[2] | b[3] << 8 | b[4] << 16 | b[5] << 24, static_cast<int>(f.length));
    for (int i = 6; i < 10; ++i) EXPECT_EQ(b[i], 0) << "reserved byte " << i;
    EXPECT_EQ(b[10] | b[11] << 8, f.firstPixel);
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

// A header byte of 0x80 or more in any field is a large unsigned value of that
// field, never a negative or overflowing one, and gets the refusal of the field.
TEST(TileBitmap, HighHeaderBytesAreLargeUnsignedFieldValues) {
  std::vector<std::uint8_t> short_file = {0x42, 0x4d, 0, 0, 0, 0, 0, 0, 0, 0x80};
  short_file.resize(54, 0);
  EXPECT_EQ(zeblon::map::TileProblem(short_file), "UNSUPPORTED BMP HEADER");
  const auto parsed = zeblon::map::ParseBmpHeader(short_file);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->lengthAndReserved, 0x8000000000000000ULL);

  const auto good = zeblon::map::Tile::Make(8, GreyPalette(256)).bytes();
  const struct {
    std::size_t at;
    const char* problem;
  } cases[] = {
      {9, "RESERVED HEADER FIELDS NOT 0"},
      {5, "WRONG FILE LENGTH IN HEADER"},
      {13, "UNEXPECTED PIXEL OFFSET"},
      {17, "UNSUPPORTED BMP HEADER"},
      {21, "NOT 1000 x 1000 PIXELS (-2147482648 x 1000)"},
      {25, "NOT 1000 x 1000 PIXELS (1000 x -2147482648)"},
      {27, "UNSUPPORTED BMP HEADER"},
      {29, "UNSUPPORTED COLOUR DEPTH (32776 BITS PER PIXEL)"},
      {33, "COMPRESSED BMP"},
  };
  for (const auto& c : cases) {
    auto b = good;
    b[c.at] = 0x80;
    EXPECT_EQ(zeblon::map::TileProblem(b), c.problem) << "byte " << c.at;
    b[c.at] = 0xFF;
    EXPECT_NE(zeblon::map::TileProblem(b), "") << "byte " << c.at;
  }
}

// Tiles are written with the header of their format: image size and colours used
// of a source (here 0xFFFFFFFF) never reach a written tile, nor do the other
// fields a tile does not use.
TEST(TileBitmap, WrittenTilesCarryTheHeaderOfTheTileFormat) {
  const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "test_tmp" / "bmp_format_header";
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (int bits : {4, 8, 24}) {
    const auto made = zeblon::map::Tile::Make(bits, GreyPalette(bits == 4 ? 16 : 256));
    auto odd = made.bytes();
    for (std::size_t i : {34, 35, 36, 37, 38, 42, 46, 47, 48, 49, 50, 53}) odd[i] = 0xFF;
    odd[made.first_pixel()] = 0x12;
    std::string problem;
    auto tile = zeblon::map::Tile::FromBytes(odd, &problem);
    ASSERT_TRUE(tile) << problem;   // those fields do not make it unusable
    EXPECT_EQ(tile->bytes(), odd);  // kept as read

    const auto empty = tile->EmptyCopy();
    EXPECT_TRUE(std::equal(empty.bytes().begin(), empty.bytes().begin() + made.first_pixel(), made.bytes().begin()))
        << bits;

    const fs::path file = dir / "65801628.BMP";
    std::string error;
    ASSERT_TRUE(zeblon::map::WriteTileFile(file, *tile, error)) << error;
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(zeblon::map::ReadFileBytes(file, back, error)) << error;
    auto expected = made.bytes();
    expected[made.first_pixel()] = 0x12;  // the pixels stay
    EXPECT_EQ(back, expected) << bits;
    const auto le32 = [&](std::size_t at) {
      return back[at] | back[at + 1] << 8 | back[at + 2] << 16 | back[at + 3] << 24;
    };
    EXPECT_EQ(le32(34), static_cast<int>(back.size()) - made.first_pixel()) << bits;
    EXPECT_EQ(le32(46), bits == 4 ? 16 : bits == 8 ? 256 : 0) << bits;
  }
  std::string error;
  std::vector<std::uint8_t> back;
  EXPECT_FALSE(zeblon::map::ReadFileBytes(dir / "none.BMP", back, error));
  EXPECT_NE(error.find("CANNOT OPEN"), std::string::npos);
  auto tile = zeblon::map::Tile::Make(4);
  EXPECT_FALSE(zeblon::map::WriteTileFile(dir / "missing" / "x.BMP", tile, error));
  EXPECT_NE(error.find("CANNOT WRITE"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
