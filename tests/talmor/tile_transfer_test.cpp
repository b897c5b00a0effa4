#include <gtest/gtest.h>

#include "fixture.h"
#include "map/map_tile.h"
#include "talmor/file_converters.h"
#include "talmor/tile_converter.h"

namespace {

using namespace talmor_test;
using talmor::CollisionMode;

TEST(InkList, PriorityNumbers) {
  talmor::InkPriority p;
  std::string error;
  ASSERT_TRUE(talmor::ParseInkList("  5 3  ", p, error));
  EXPECT_EQ(p[5], 1);
  EXPECT_EQ(p[3], 2);
  EXPECT_EQ(p[0], talmor::kUnlistedInk);
  ASSERT_TRUE(talmor::ParseInkList("7 2.5 7", p, error));  // 7 listed twice keeps 3; 2.5 -> 2
  EXPECT_EQ(p[7], 3);
  EXPECT_EQ(p[2], 2);
  ASSERT_TRUE(talmor::ParseInkList("4  9", p, error));  // two blanks: an empty item, ink 0
  EXPECT_EQ(p[4], 1);
  EXPECT_EQ(p[0], 2);
  EXPECT_EQ(p[9], 3);
  ASSERT_TRUE(talmor::ParseInkList("", p, error));
  EXPECT_EQ(p, talmor::NoInkPriority());
  for (const char* bad : {"-1", "300", "99999999", "1 2 261"}) {
    EXPECT_FALSE(talmor::ParseInkList(bad, p, error)) << bad;
    EXPECT_EQ(error, "INK NUMBERS OF THE LIST MUST BE 0 TO 260 !");
  }
}

// One destination pixel receiving two source values in a row.
struct CollisionCase {
  int bits;
  CollisionMode mode;
  const char* inkList;
  std::uint32_t first, second, expected;
};

TEST(TilePlacement, CollisionsInOnePixel) {
  const CollisionCase cases[] = {
      // The ink list 5 3: 5 wins against all, 3 against all but 5, otherwise the later one.
      {4, CollisionMode::PrioritizeInks, "5 3", 5, 3, 5},
      {4, CollisionMode::PrioritizeInks, "5 3", 3, 5, 5},
      {4, CollisionMode::PrioritizeInks, "5 3", 3, 7, 3},
      {4, CollisionMode::PrioritizeInks, "5 3", 7, 8, 8},
      {8, CollisionMode::PrioritizeInks, "5 3", 5, 200, 5},
      {8, CollisionMode::PrioritizeInks, "5 3", 3, 200, 3},
      {8, CollisionMode::PrioritizeInks, "5 3", 200, 201, 201},
      {8, CollisionMode::PrioritizeInks, "", 9, 1, 1},
      {4, CollisionMode::AvoidEmptyPixels, "", 9, 1, 1},
      {24, CollisionMode::PrioritizeInks, "", 0x123456, 0x654321, 0x654321},
  };
  for (const auto& c : cases) {
    talmor::InkPriority p;
    std::string error;
    ASSERT_TRUE(talmor::ParseInkList(c.inkList, p, error));
    const auto empty = zeblon::map::Tile::Make(c.bits, Palette(c.bits == 4 ? 16 : 256)).EmptyCopy();
    talmor::TileTransfer transfer(empty, 2, c.mode, p);
    for (int q : {10, 11}) {  // high and low nibble at 4 bits
      auto tile = empty;
      transfer.Place(tile, 500, q, c.first);
      transfer.Place(tile, 500, q, c.second);
      EXPECT_EQ(tile.Pixel(500, q), c.expected)
          << c.bits << " bits, q " << q << ", " << c.first << " then " << c.second;
    }
  }
}

TEST(TilePlacement, EmptyPixelsInPriorityMode) {
  const auto empty = zeblon::map::Tile::Make(4, Palette(16)).EmptyCopy();
  talmor::InkPriority p;
  std::string error;
  ASSERT_TRUE(talmor::ParseInkList("", p, error));
  talmor::TileTransfer plain(empty, 2, CollisionMode::PrioritizeInks, p);
  auto tile = empty;
  plain.Place(tile, 0, 0, 6);
  EXPECT_EQ(tile.Pixel(0, 0), 6u);
  EXPECT_EQ(tile.Pixel(0, 1), 15u);  // no neighbour touched in this mode
  ASSERT_TRUE(talmor::ParseInkList("15 6", p, error));
  talmor::TileTransfer keep_empty(empty, 2, CollisionMode::PrioritizeInks, p);
  tile = empty;
  keep_empty.Place(tile, 0, 0, 6);
  EXPECT_EQ(tile.Pixel(0, 0), 15u);
}

TEST(TilePlacement, AvoidEmptyPixelsAtFourBits) {
  const auto empty = zeblon::map::Tile::Make(4, Palette(16)).EmptyCopy();
  talmor::TileTransfer t(empty, 2, CollisionMode::AvoidEmptyPixels, talmor::NoInkPriority());
  auto tile = empty;
  const std::size_t pos = 118 + 500 * 500 + 5;  // row 500, q 10 and 11
  t.Place(tile, 500, 10, 4);
  EXPECT_EQ(tile.bytes()[pos], 68);    // both pixels of the byte become 4
  EXPECT_EQ(tile.Pixel(499, 10), 4u);  // south and north neighbours, same nibble
  EXPECT_EQ(tile.Pixel(501, 10), 4u);
  EXPECT_EQ(tile.Pixel(499, 11), 15u);  // the other nibble of those bytes kept
  EXPECT_EQ(tile.Pixel(500, 9), 15u);   // no fill across the byte
  tile.bytes()[pos] = 47;               // hi 2, lo 15
  t.Place(tile, 500, 11, 4);
  EXPECT_EQ(tile.bytes()[pos], 36);
  // Row 0 has no southern neighbour, row 999 no northern one.
  t.Place(tile, 0, 0, 3);
  t.Place(tile, 999, 0, 3);
  EXPECT_EQ(tile.Pixel(1, 0), 3u);
  EXPECT_EQ(tile.Pixel(998, 0), 3u);
}

TEST(TilePlacement, AvoidEmptyPixelsFillsOnlyEmptyNeighboursInsideTheTile) {
  for (int bits : {8, 24}) {
    const auto empty = zeblon::map::Tile::Make(bits, Palette(256)).EmptyCopy();
    const std::uint32_t ink = bits == 8 ? 7 : 0x102030, other = bits == 8 ? 9 : 0x405060;
    talmor::TileTransfer t(empty, 2, CollisionMode::AvoidEmptyPixels, talmor::NoInkPriority());
    auto tile = empty;
    tile.SetPixel(500, 499, other);  // west neighbour not empty
    t.Place(tile, 500, 500, ink);
    EXPECT_EQ(tile.Pixel(500, 500), ink) << bits;
    EXPECT_EQ(tile.Pixel(500, 499), other) << bits;
    EXPECT_EQ(tile.Pixel(500, 501), ink) << bits;
    EXPECT_EQ(tile.Pixel(499, 500), ink) << bits;
    EXPECT_EQ(tile.Pixel(501, 500), ink) << bits;
    EXPECT_EQ(tile.Pixel(499, 499), empty.EmptyValue()) << bits;  // no diagonal
    // On the edge: nothing across it (the west of column 0 would be the row before).
    t.Place(tile, 300, 0, ink);
    EXPECT_EQ(tile.Pixel(299, 999), empty.EmptyValue()) << bits;
  }
  // At 24 bits the empty colour itself is written like any colour and still counts
  // as empty for a later fill.
  const auto empty = zeblon::map::Tile::Make(24).EmptyCopy();
  talmor::TileTransfer t(empty, 2, CollisionMode::AvoidEmptyPixels, talmor::NoInkPriority());
  auto tile = empty;
  t.Place(tile, 10, 10, zeblon::map::kEmptyColour);
  t.Place(tile, 10, 11, 0x111111);
  EXPECT_EQ(tile.Pixel(10, 10), 0x111111u);
}

TEST(TileTransfer, FirstSourcePixelIsTheCentreOfTheCornerPixel) {
  // One marked pixel at the south-west corner of 60001200.BMP at scale 2, ranked
  // first in the ink list so no later pixel covers it.
  auto source = FilledTile(8, 1);
  source.SetPixel(0, 0, 2);
  talmor::InkPriority p;
  std::string error;
  ASSERT_TRUE(talmor::ParseInkList("2", p, error));
  const auto empty = source.EmptyCopy();
  talmor::TileTransfer t(empty, 2, CollisionMode::PrioritizeInks, p);
  Recorder rec;
  ASSERT_EQ(t.Transfer(source, 6000, 1200, rec.Hooks(), error), talmor::RunEnd::Ready) << error;
  EXPECT_EQ(rec.pumps, 1000);  // after every source row
  double n = 0, e = 0;
  ASSERT_TRUE(talmor::ConvertRt90PointToUtm33(6000001, 1200001, n, e));
  const auto cn = zeblon::map::TileCornerKm(n / 1000, 2), ce = zeblon::map::TileCornerKm(e / 1000, 2);
  auto& tiles = t.tiles();
  ASSERT_TRUE(tiles.count(zeblon::map::TileName(cn, ce)));
  const auto& tile = tiles.at(zeblon::map::TileName(cn, ce));
  const int row = static_cast<int>((n / 1000 - cn) * 500), col = static_cast<int>((e / 1000 - ce) * 500);
  EXPECT_EQ(tile.Pixel(row, col), 2u);
  // Every destination tile is at a 2 km corner and the source lands in at most four.
  EXPECT_LE(tiles.size(), 4u);
  for (const auto& [name, dest] : tiles) {
    const auto corner = zeblon::map::TileCornerOfName(name);
    EXPECT_EQ(static_cast<long>(corner.northKm) % 2, 0) << name;
    EXPECT_EQ(dest.bytes().size(), source.bytes().size());
  }
}

TEST(TileTransfer, StopRequestEndsBeforeTheNextRow) {
  const auto source = FilledTile(4, 3);
  talmor::TileTransfer t(source.EmptyCopy(), 2, CollisionMode::AvoidEmptyPixels, talmor::NoInkPriority());
  Recorder rec;
  rec.stop = [&] { return rec.pumps >= 3; };
  std::string error;
  EXPECT_EQ(t.Transfer(source, 6000, 1200, rec.Hooks(), error), talmor::RunEnd::Stopped);
  EXPECT_EQ(rec.pumps, 3);  // three rows carried over
  EXPECT_FALSE(t.tiles().empty());
}

}  // namespace

namespace {

TEST(TileTransfer, InterpolatedRowsGiveTheSamePixelsAsExactConversion) {
  // A pattern where every pixel differs from its neighbours, so any pixel landing
  // elsewhere shows.
  auto source = zeblon::map::Tile::Make(8, Palette(256));
  for (int r = 0; r < 1000; ++r)
    for (int c = 0; c < 1000; ++c) source.SetPixel(r, c, static_cast<std::uint32_t>((r * 7 + c * 13) % 256));
  const struct {
    int scale;
    double northKm, eastKm;
  } cases[] = {{2, 6580, 1628}, {10, 6580, 1620}, {50, 7000, 1500}, {1000, 6000, 1000}, {5000, 5000, 0}};
  for (const auto& c : cases) {
    std::map<std::string, zeblon::map::Tile> results[2];
    for (int exact = 0; exact < 2; ++exact) {
      talmor::TileTransfer t(source.EmptyCopy(), c.scale, talmor::CollisionMode::PrioritizeInks,
                             talmor::NoInkPriority());
      t.exactEveryPixel = exact == 1;
      Recorder rec;
      std::string error;
      ASSERT_EQ(t.Transfer(source, c.northKm, c.eastKm, rec.Hooks(), error), talmor::RunEnd::Ready);
      results[exact] = std::move(t.tiles());
    }
    ASSERT_EQ(results[0].size(), results[1].size()) << c.scale;
    ASSERT_FALSE(results[0].empty()) << c.scale;
    for (const auto& [name, tile] : results[0]) {
      ASSERT_TRUE(results[1].count(name)) << name;
      EXPECT_TRUE(tile.bytes() == results[1].at(name).bytes()) << "scale " << c.scale << ", tile " << name;
    }
  }
}

}  // namespace
