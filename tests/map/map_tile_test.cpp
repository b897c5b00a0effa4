#include "map/map_tile.h"

#include <gtest/gtest.h>

namespace {

TEST(MapTileCode, KmToCode) {
  const struct {
    std::int64_t km;
    const char* code;
  } cases[] = {
      {12, "0012"},     {0, "0000"},         {9999, "9999"},  {-1, "@001"},     {-999, "@999"},
      {-1000, "A000"},  {-850, "@850"},      {-5200, "E200"}, {-10000, "J000"}, {10000, "XXXX"},
      {-10001, "XXXX"}, {123456789, "XXXX"}, {6000, "6000"},  {1200, "1200"},
  };
  for (const auto& c : cases) EXPECT_EQ(zeblon::map::ConvertKmToTileCode(c.km), c.code) << c.km;
}

TEST(MapTileCode, CodeToKmAndBack) {
  const struct {
    const char* code;
    double km;
  } cases[] = {
      {"6000", 6000}, {"1200", 1200},   {"@850", -850}, {"E200", -5200}, {"B600", -2600},
      {"0012", 12},   {"J000", -10000}, {"@001", -1},   {"12ab", 12},    {"    ", 0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(zeblon::map::ConvertTileCodeToKm(c.code), c.km) << c.code;
  for (int km = -10000; km < 10000; km += 7)
    EXPECT_DOUBLE_EQ(zeblon::map::ConvertTileCodeToKm(zeblon::map::ConvertKmToTileCode(km)), km) << km;
}

TEST(MapTileName, NamesAndCorners) {
  EXPECT_EQ(zeblon::map::TileName(6000, 1200), "60001200.BMP");
  EXPECT_EQ(zeblon::map::TileName(5410, -850), "5410@850.BMP");
  EXPECT_EQ(zeblon::map::TileName(-5200, -2600), "E200B600.BMP");
  const auto corner = zeblon::map::TileCornerOfName("5410@850.BMP");
  EXPECT_DOUBLE_EQ(corner.northKm, 5410);
  EXPECT_DOUBLE_EQ(corner.eastKm, -850);
}

TEST(MapTileGeometry, CornerOfAPoint) {
  EXPECT_EQ(zeblon::map::TileCornerKm(-0.2, 2), -2);
  EXPECT_EQ(zeblon::map::TileCornerKm(6000.5, 2), 6000);
  EXPECT_EQ(zeblon::map::TileCornerKm(1201.25, 2), 1200);
  EXPECT_EQ(zeblon::map::TileCornerKm(-0.5, 5000), -5000);
  EXPECT_EQ(zeblon::map::ConvertKmToTileCode(zeblon::map::TileCornerKm(-0.5, 5000)), "E000");
  EXPECT_EQ(zeblon::map::TileCornerKm(10, 10), 10);
  EXPECT_TRUE(zeblon::map::IsTileScale(50));
  EXPECT_FALSE(zeblon::map::IsTileScale(7));
  EXPECT_EQ(zeblon::map::ScaleTag(2), "M0002");
  EXPECT_EQ(zeblon::map::ScaleTag(5000), "M5000");
}

}  // namespace
