// The stock map drawing without GMT: reading dumps, joining and closing shoreline
// pieces, filling and cutting tiles, and the palette under the map's brightness.
#include "assets/stock_maps/stock_maps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

namespace zeblon::stock_maps {
namespace {

// Even-odd point in ring (degrees).
bool Inside(const Ring& ring, LonLat p) {
  bool inside = false;
  const auto& v = ring.points;
  for (size_t i = 1; i < v.size(); ++i) {
    const LonLat a = v[i - 1], b = v[i];
    if ((a.lat > p.lat) != (b.lat > p.lat) && p.lon < a.lon + (p.lat - a.lat) * (b.lon - a.lon) / (b.lat - a.lat))
      inside = !inside;
  }
  return inside;
}

// Which of the probe points each level covers, after filling level by level (the
// land of odd levels over the water of even ones).
std::string Coverage(const std::vector<Ring>& rings, const std::vector<LonLat>& probes) {
  std::string out;
  for (const LonLat& p : probes) {
    char state = '.';  // water outside every ring
    for (int level = 1; level <= 4; ++level) {
      bool in = false;
      for (const Ring& r : rings)
        if (r.level == level && Inside(r, p)) in = !in;
      if (in) state = level % 2 == 1 ? 'L' : 'w';
    }
    out += state;
  }
  return out;
}

Piece P(int level, std::vector<LonLat> points) { return {level, std::move(points)}; }

TEST(StockMaps, ReadsGmtDumps) {
  std::istringstream in(
      "> Shore Bin # 2705, Level 1\n"
      "10\t58.5\n11 58.5\n11 59\n10 58.5\n"
      "> Shore Bin # 2705, Level 2\n"
      "12 59.2\n"  // one point: dropped
      "> River Bin # 1809, Level 4\n"
      "not a point\n"
      "18.999984741\t69.0165560388\n19 69.1\n");
  const auto pieces = ReadPieces(in);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0].level, 1);
  EXPECT_EQ(pieces[0].points.size(), 4u);
  EXPECT_EQ(pieces[1].level, 4);
  ASSERT_EQ(pieces[1].points.size(), 2u);
  EXPECT_DOUBLE_EQ(pieces[1].points[0].lon, 18.999984741);
  EXPECT_DOUBLE_EQ(pieces[1].points[0].lat, 69.0165560388);
}

// Pieces in a region of 10 x 10 degrees; probes at the four quarters' centres
// (south-west, south-east, north-east, north-west) and the middle.
const Region kRegion{0, 10, 0, 10};
const std::vector<LonLat> kProbes = {{2.5, 2.5}, {7.5, 2.5}, {7.5, 7.5}, {2.5, 7.5}, {5.1, 5.1}};

struct RingCase {
  const char* name;
  std::vector<Piece> pieces;
  std::string coverage;
};

TEST(StockMaps, AssemblesRingsFromPiecesAndTheRegionEdge) {
  const std::vector<RingCase> cases = {
      {"an island inside", {P(1, {{6, 1}, {9, 1}, {9, 4}, {6, 4}, {6, 1}})}, ".L..."},
      // Land in the south-east quarter, its shore entering on the east edge and
      // leaving on the south edge: the edge walk closes it anticlockwise.
      {"land cut by the edge", {P(1, {{10, 5}, {5, 5}, {5, 0}})}, ".L..."},
      // The same quarter as a lake (clockwise, water on the right of its shore).
      {"a lake cut by the edge", {P(2, {{5, 0}, {5, 5}, {10, 5}})}, ".w..."},
      // Everything but the south-west quarter is land: the walk passes three corners.
      {"land around a bay", {P(1, {{0, 5}, {5, 5}, {5, 0}})}, ".LLLL"},
      // The shore of the south-east quarter in two pieces, cut at a bin edge
      // (lon 7) with a gap of a bin unit between them.
      {"pieces joined at a bin edge", {P(1, {{7.000015, 5}, {5, 5}, {5, 0}}), P(1, {{10, 5}, {7, 5}})}, ".L..."},
      // Two peninsulas from the south edge stay apart.
      {"two peninsulas", {P(1, {{3, 0}, {3, 4}, {1, 4}, {1, 0}}), P(1, {{9, 0}, {9, 4}, {6, 4}, {6, 0}})}, "LL..."},
      // Land in the east half with a lake, and an island in the lake.
      {"land, lake and island in the lake",
       {P(1, {{5, 10}, {5, 0}}), P(2, {{6, 6}, {6, 9}, {9, 9}, {9, 6}, {6, 6}}),
        P(3, {{7, 7}, {8, 7}, {8, 8}, {7, 8}, {7, 7}})},
       ".LL.L"},
  };
  for (const auto& c : cases) {
    int straight = -1;
    const auto rings = AssembleRings(c.pieces, kRegion, 2e-4, &straight);
    EXPECT_EQ(Coverage(rings, kProbes), c.coverage) << c.name;
    EXPECT_EQ(straight, 0) << c.name;
    for (const Ring& r : rings) {
      ASSERT_GE(r.points.size(), 4u) << c.name;
      EXPECT_EQ(r.points.front().lon, r.points.back().lon) << c.name;
      EXPECT_EQ(r.points.front().lat, r.points.back().lat) << c.name;
    }
  }
  // The island in the lake: the probe (7.5, 7.5) is land, (6.5, 6.5) lake water.
  const auto rings = AssembleRings({P(1, {{5, 10}, {5, 0}}), P(2, {{6, 6}, {6, 9}, {9, 9}, {9, 6}, {6, 6}}),
                                    P(3, {{7, 7}, {8, 7}, {8, 8}, {7, 8}, {7, 7}})},
                                   kRegion);
  EXPECT_EQ(Coverage(rings, {{7.5, 7.5}, {6.5, 6.5}, {8.5, 1}}), "LwL");
}

TEST(StockMaps, ClosesAPieceThatEndsNowhereStraight) {
  int straight = 0;
  const auto rings = AssembleRings({P(1, {{2, 2}, {4, 2}, {4, 4}})}, kRegion, 2e-4, &straight);
  EXPECT_EQ(straight, 1);
  ASSERT_EQ(rings.size(), 1u);
  EXPECT_EQ(rings[0].points.size(), 4u);
}

// A square ring of map zone metres.
ZoneLine Square(double east0, double north0, double size) {
  ZoneLine line;
  line.level = 1;
  line.points = {
      {east0, north0}, {east0 + size, north0}, {east0 + size, north0 + size}, {east0, north0 + size}, {east0, north0}};
  line.min_east = east0;
  line.max_east = east0 + size;
  line.min_north = north0;
  line.max_north = north0 + size;
  return line;
}

int Count(const Canvas& canvas, std::uint8_t ink) {
  int n = 0;
  for (int r = 0; r < canvas.height(); ++r)
    for (int c = 0; c < canvas.width(); ++c) n += canvas.At(r, c) == ink;
  return n;
}

TEST(StockMaps, FillsPixelsWhoseCentreLiesInside) {
  // 50 m pixels from (400000, 6600000).
  Canvas canvas(400000, 6600000, 50, 40, 30, kSea);
  // 10 x 10 pixels exactly; a second ring of the same level inside is a hole of 4 x 4.
  canvas.FillRings({Square(400100, 6600100, 500), Square(400250, 6600250, 200)}, kLand);
  EXPECT_EQ(Count(canvas, kLand), 100 - 16);
  EXPECT_EQ(canvas.At(2, 2), kLand);  // south-west corner pixel of the square
  EXPECT_EQ(canvas.At(1, 2), kSea);
  EXPECT_EQ(canvas.At(11, 11), kLand);
  EXPECT_EQ(canvas.At(12, 12), kSea);
  EXPECT_EQ(canvas.At(6, 6), kSea);  // in the hole
  // A ring reaching beyond the canvas on every side fills all of it.
  canvas.FillRings({Square(390000, 6590000, 30000)}, kLake);
  EXPECT_EQ(Count(canvas, kLake), 40 * 30);
}

TEST(StockMaps, DrawsLinesOfTheirThickness) {
  Canvas canvas(0, 0, 10, 100, 20, kLand);
  ZoneLine line = Square(0, 0, 0);
  line.points = {{55, 105}, {855, 105}};  // along row 10, columns 5 to 85
  line.min_east = 55;
  line.max_east = 855;
  line.min_north = line.max_north = 105;
  canvas.DrawLine(line, kBorder, 1);
  EXPECT_EQ(Count(canvas, kBorder), 81);
  EXPECT_EQ(canvas.At(10, 5), kBorder);
  EXPECT_EQ(canvas.At(10, 85), kBorder);
  canvas.DrawLine(line, kRiver, 3);
  EXPECT_EQ(Count(canvas, kRiver), 81 * 3 + 2 * 3);
  EXPECT_EQ(canvas.At(9, 30), kRiver);
  EXPECT_EQ(canvas.At(11, 30), kRiver);
  EXPECT_EQ(canvas.At(12, 30), kLand);
}

TEST(StockMaps, CutsFourBitTilesSouthRowFirst) {
  Canvas canvas(0, 0, 50, 2000, 1000, kSea);
  canvas.FillRings({Square(50000, 0, 100)}, kLand);  // 2 x 2 pixels, second tile's south-west
  const map::Tile tile = canvas.CutTile(0, 1000);
  EXPECT_EQ(map::TileProblem(tile.bytes()), "");
  EXPECT_EQ(tile.bytes().size(), 500118u);
  EXPECT_EQ(tile.bits(), 4);
  EXPECT_EQ(tile.bytes()[118], kLand << 4 | kLand);  // the south-west corner pixel pair
  EXPECT_EQ(tile.bytes()[119], kSea << 4 | kSea);
  EXPECT_EQ(tile.Pixel(1, 1), kLand);
  EXPECT_EQ(tile.Pixel(2, 0), kSea);
  EXPECT_EQ(tile.PaletteEntry(kSea), StockPalette()[kSea]);
  EXPECT_EQ(tile.PaletteEntry(kEmptyInk), map::kEmptyColour);
  EXPECT_TRUE(canvas.Holds(0, 1000, kLand));
  EXPECT_FALSE(canvas.Holds(0, 0, kLand));
}

// A palette colour as the map's brightness shows it: each byte times `factor`,
// the nearest whole number, at most 255.
std::uint32_t Scaled(std::uint32_t colour, double factor) {
  std::uint32_t out = 0;
  for (int shift : {16, 8, 0}) {
    const double v = std::min(255.0, std::nearbyint(factor * ((colour >> shift) & 255)));
    out |= static_cast<std::uint32_t>(v) << shift;
  }
  return out;
}

int Channel(std::uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 255); }

// The map darkens and brightens a 16-colour tile by scaling its palette bytes
// (x 0.6, x 1.6) and marks one ink yellow: the inks the tiles use stay apart from
// each other and from the marking yellow in every mode, and land and water differ
// by more than a shade.
TEST(StockMaps, PaletteKeepsItsInksApartUnderBrightness) {
  const auto& palette = StockPalette();
  for (const double f : {0.6, 1.0, 1.6}) {
    std::set<std::uint32_t> seen;
    for (int ink = kSea; ink <= kBorder; ++ink) {
      const std::uint32_t shown = Scaled(palette[ink], f);
      EXPECT_NE(shown, 0xFFFF00u) << "ink " << ink << " factor " << f;
      EXPECT_TRUE(seen.insert(shown).second) << "ink " << ink << " factor " << f;
    }
    for (int water : {kSea, kLake}) {
      const std::uint32_t land = Scaled(palette[kLand], f), wet = Scaled(palette[water], f);
      int difference = 0;
      for (int shift : {16, 8, 0}) difference += std::abs(Channel(land, shift) - Channel(wet, shift));
      EXPECT_GT(difference, 60) << "ink " << water << " factor " << f;
    }
  }
  EXPECT_EQ(palette[kEmptyInk], map::kEmptyColour);
}

TEST(StockMaps, ProjectsIntoTheMapZone) {
  // The reference of EPSG:32633 for 18 E 59 N (cs2cs): 672319.964 E, 6543920.335 N.
  const ZoneXy xy = ToZone({18, 59});
  EXPECT_NEAR(xy.east, 672319.964, 0.01);
  EXPECT_NEAR(xy.north, 6543920.335, 0.01);
  LonLat back;
  ASSERT_TRUE(FromZone(xy, back));
  EXPECT_NEAR(back.lon, 18, 1e-8);
  EXPECT_NEAR(back.lat, 59, 1e-8);
  const ZoneLine line = Project(1, {{18, 59}, {12, 58}});
  EXPECT_LT(line.min_east, 400000);
  EXPECT_DOUBLE_EQ(line.max_north, xy.north);
}

}  // namespace
}  // namespace zeblon::stock_maps
