// Where source pixels land: the interpolated landings against converting every
// pixel centre exactly, and whole runs over folders against carrying the tiles
// over one after another.
#include <gtest/gtest.h>

#include <future>
#include <map>
#include <set>

#include "fixture.h"
#include "map/map_tile.h"
#include "talmor/landing.h"
#include "talmor/tile_converter.h"

namespace {

using namespace talmor_test;
using talmor::Landing;

struct Place {
  int scale;
  double northKm, eastKm;
  bool nearTilesKnown;  // the outline hint covers every landing here
};

// Differences between the interpolated and the exact landings of some bands of
// one source tile ("" when there are none), and the destination tiles reached.
std::string CompareBands(const Place& p, const std::vector<int>& bands, std::set<std::pair<int, int>>& reached) {
  std::vector<Landing> fast(talmor::kBandRows * 1000), exact(talmor::kBandRows * 1000);
  std::string differences;
  for (int band : bands) {
    talmor::LandBand({p.northKm, p.eastKm}, p.scale, band, false, fast.data());
    talmor::LandBand({p.northKm, p.eastKm}, p.scale, band, true, exact.data());
    for (std::size_t i = 0; i < fast.size(); ++i) {
      if (fast[i].row != exact[i].row || fast[i].column != exact[i].column) {
        if (differences.size() < 300)
          differences += "band " + std::to_string(band) + " pixel " + std::to_string(i) + ": " +
                         std::to_string(fast[i].row) + "," + std::to_string(fast[i].column) + " instead of " +
                         std::to_string(exact[i].row) + "," + std::to_string(exact[i].column) + "; ";
        continue;
      }
      if (exact[i].row != Landing::kNowhere)
        reached.insert({talmor::TileOfPixel(exact[i].row), talmor::TileOfPixel(exact[i].column)});
    }
  }
  return differences;
}

TEST(Landing, InterpolatedLandingsAreTheExactOnes) {
  // Every scale across Sweden and its surroundings, and places where the
  // conversion bends hard or ends: beyond the pole, near the bound of 9999000 m
  // (an RT90 northing of about 10003 km), far west and east, south of the
  // equator.
  const Place whole_tiles[] = {
      {2, 6580, 1628, true},    {2, 7660, 1880, true},  {2, 6130, 1300, true},   {10, 6900, 1520, true},
      {10, 7500, 1250, true},   {50, 6200, 1200, true}, {200, 7000, 1400, true}, {1000, 6000, 1000, true},
      {1000, 7000, 2000, true}, {5000, 5000, 0, true},
  };
  const Place odd_places[] = {
      {2, 10002, 1500, false},  {10, 9990, 1600, false},  {2, 6580, 3000, false},      {2, 6580, 200, false},
      {50, -1000, 1500, false}, {200, 9800, 1000, false}, {5000, -5000, -5000, false}, {5000, 0, 5000, false},
  };
  std::vector<int> all_bands, some_bands{0, 7, 19};
  for (int b = 0; b < talmor::kBands; ++b) all_bands.push_back(b);
  std::vector<std::pair<Place, std::future<std::pair<std::string, std::set<std::pair<int, int>>>>>> runs;
  auto start = [&](const Place& p, const std::vector<int>& bands) {
    runs.emplace_back(p, std::async(std::launch::async, [p, bands] {
                        std::set<std::pair<int, int>> reached;
                        std::string differences = CompareBands(p, bands, reached);
                        return std::make_pair(differences, reached);
                      }));
  };
  for (const auto& p : whole_tiles) start(p, all_bands);
  for (const auto& p : odd_places) start(p, some_bands);
  for (auto& [p, run] : runs) {
    const auto [differences, reached] = run.get();
    const std::string where = "scale " + std::to_string(p.scale) + " at " + std::to_string(p.northKm) + " km N, " +
                              std::to_string(p.eastKm) + " km E";
    EXPECT_EQ(differences, "") << where;
    if (!p.nearTilesKnown) continue;
    EXPECT_FALSE(reached.empty()) << where;
    // The outline hint names every destination tile the source tile reaches.
    std::set<std::pair<int, int>> near;
    for (const auto& [cn, ce] : talmor::DestinationTilesNear({p.northKm, p.eastKm}, p.scale))
      near.insert({static_cast<int>(cn / p.scale), static_cast<int>(ce / p.scale)});
    for (const auto& t : reached) EXPECT_TRUE(near.count(t)) << where << ": tile " << t.first << "," << t.second;
    EXPECT_LE(near.size(), 9u) << where;
  }
}

TEST(Landing, PackedLandingsNameTheSamePixels) {
  // Ordinary tiles, one beyond the grid and ones where the landings spread far
  // from the tile's centre (past the pole).
  const Place places[] = {{2, 6580, 1628, true},
                          {5000, 5000, 0, true},
                          {2, -24000, -24000, false},
                          {2, 10002, 1500, false},
                          {5000, 10000, 1000, false}};
  std::vector<Landing> plain(talmor::kTileLandings);
  std::vector<std::uint32_t> packed(talmor::kTileLandings);
  for (const auto& p : places) {
    const talmor::SourceCorner corner{p.northKm, p.eastKm};
    talmor::LandTile(corner, p.scale, false, plain.data());
    talmor::PackTile(corner, p.scale, false, packed.data());
    const auto base = talmor::BaseTileOf(corner, p.scale);
    int wrong = 0, elsewhere = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
      const std::uint32_t l = packed[i];
      if (l == talmor::packed::kNowhere) {
        wrong += plain[i].row != Landing::kNowhere;
        continue;
      }
      if (l == talmor::packed::kElsewhere) {
        ++elsewhere;
        const int tr = talmor::TileOfPixel(plain[i].row) - base.first;
        const int tc = talmor::TileOfPixel(plain[i].column) - base.second;
        wrong += plain[i].row == Landing::kNowhere || (tr >= -16 && tr < 16 && tc >= -16 && tc < 16);
        continue;
      }
      const std::uint32_t place = l & talmor::packed::kPlace;
      const int row = (base.first + talmor::packed::TileRows(l)) * 1000 + static_cast<int>(place / 1000);
      const int column = (base.second + talmor::packed::TileColumns(l)) * 1000 + static_cast<int>(place % 1000);
      const bool interior = place / 1000 > 0 && place / 1000 < 999 && place % 1000 > 0 && place % 1000 < 999;
      wrong += row != plain[i].row || column != plain[i].column || interior != ((l & talmor::packed::kInterior) != 0);
    }
    EXPECT_EQ(wrong, 0) << p.northKm << " " << p.eastKm << " at scale " << p.scale;
    if (elsewhere)
      std::cout << elsewhere << " landings too far for the packed form at " << p.northKm << ", " << p.eastKm << "\n";
  }
}

TEST(Landing, PlannerGivesTheBandsOfEveryTileInOrder) {
  // Several tiles through the ring (longer than it) with workers and without:
  // the same landings as packing each tile alone.
  std::vector<talmor::SourceCorner> tiles;
  for (int i = 0; i < 7; ++i) tiles.push_back({6580.0 + 2 * (i % 3), 1628.0 + 2 * (i / 3)});
  tiles.push_back({-24000, -24000});
  std::vector<std::uint32_t> alone(talmor::kTileLandings);
  for (int threads : {0, 3}) {
    talmor::LandingPlanner planner(tiles, 2, false, threads);
    for (std::size_t t = 0; t < tiles.size(); ++t) {
      talmor::PackTile(tiles[t], 2, false, alone.data());
      for (int b = 0; b < talmor::kBands; ++b) {
        const std::uint32_t* band = planner.Band(t, b);
        ASSERT_TRUE(std::equal(band, band + talmor::kBandRows * 1000, alone.data() + b * talmor::kBandRows * 1000))
            << threads << " threads, tile " << t << " band " << b;
        planner.Release(t, b);
      }
    }
  }
  // Given up half way: the workers end.
  talmor::LandingPlanner planner(tiles, 2, false, 3);
  planner.Band(0, 0);
}

// Tiles of `bits` per pixel, each with a pattern of its own.
zeblon::map::Tile PatternTile(int bits, int seed) {
  auto tile = zeblon::map::Tile::Make(bits, Palette(bits == 4 ? 16 : 256));
  const std::uint32_t inks = bits == 4 ? 15 : 255;  // every ink but the last, the empty one at 4 bits
  for (int r = 0; r < 1000; ++r)
    for (int c = 0; c < 1000; ++c) {
      const auto v = static_cast<std::uint32_t>(r / 9 * 7 + c / 11 * 3 + seed * 5 + (r ^ c) / 64);
      tile.SetPixel(r, c, bits == 24 ? (v * 2654435761u) & 0xFFFFFF : v % inks);
    }
  return tile;
}

TEST(Landing, PlacementFollowsTheLandings) {
  // The transfer, reading packed landings, against placing each source pixel
  // by its landing one after another: at every depth and in both modes, at an
  // ordinary place and past the pole, where landings lie far apart.
  const Place places[] = {{2, 6580, 1628, true}, {2, 10002, 1500, false}};
  std::vector<Landing> plain(talmor::kTileLandings);
  for (const auto& p : places) {
    talmor::LandTile({p.northKm, p.eastKm}, p.scale, false, plain.data());
    for (int bits : {4, 8, 24})
      for (auto mode : {talmor::CollisionMode::AvoidEmptyPixels, talmor::CollisionMode::PrioritizeInks}) {
        const auto source = PatternTile(bits, 1);
        const auto empty = source.EmptyCopy();
        talmor::InkPriority priority;
        std::string error;
        ASSERT_TRUE(talmor::ParseInkList("3 7", priority, error));
        talmor::TileTransfer transfer(empty, p.scale, mode, priority);
        Recorder rec;
        ASSERT_EQ(transfer.Transfer(source, p.northKm, p.eastKm, rec.Hooks(), error), talmor::RunEnd::Ready);

        talmor::TileTransfer one_by_one(empty, p.scale, mode, priority);
        std::map<std::string, zeblon::map::Tile> expected;
        for (int r = 0; r < 1000; ++r)
          for (int c = 0; c < 1000; ++c) {
            const Landing l = plain[static_cast<std::size_t>(r) * 1000 + c];
            if (l.row == Landing::kNowhere) continue;
            const int tr = talmor::TileOfPixel(l.row), tc = talmor::TileOfPixel(l.column);
            const std::string name = zeblon::map::TileName(std::int64_t{tr} * p.scale, std::int64_t{tc} * p.scale);
            auto found = expected.try_emplace(name, empty).first;
            one_by_one.Place(found->second, l.row - tr * 1000, l.column - tc * 1000, source.Pixel(r, c));
          }
        const std::string what = std::to_string(bits) + " bits, mode " + std::to_string(static_cast<int>(mode)) +
                                 " at " + std::to_string(p.northKm);
        ASSERT_EQ(transfer.tiles().size(), expected.size()) << what;
        for (const auto& [name, tile] : expected)
          EXPECT_TRUE(transfer.tiles().at(name).bytes() == tile.bytes()) << what << ", tile " << name;
      }
  }
}

class FolderRun : public ::testing::Test {
 protected:
  void SetUp() override {
    root = Scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
    options.source = root / "RN";
    options.destination = root / "U33";
    options.temp = root / "temp";
    options.scale = 2;
  }
  void Reset() {
    for (const auto& d : {options.source, options.destination, options.temp}) {
      fs::remove_all(d);
      fs::create_directories(d);
    }
  }

  fs::path root;
  talmor::TileRunOptions options;
};

TEST_F(FolderRun, SameTilesAsCarryingTheSourcesOverOneAfterAnother) {
  // A block of 3 x 3 source tiles: neighbouring sources meet in the destination
  // tiles, where the order of the sources decides collisions and fills. One
  // destination tile exists before the run. Held in memory until finished,
  // and written after every source tile (nothing held), the run gives the tiles
  // that carrying the sources over one by one with exact conversions gives.
  const struct {
    int bits;
    talmor::CollisionMode mode;
    std::size_t heldBytes;
  } cases[] = {
      {8, talmor::CollisionMode::AvoidEmptyPixels, std::size_t{256} << 20},
      {8, talmor::CollisionMode::AvoidEmptyPixels, 0},
      {4, talmor::CollisionMode::PrioritizeInks, std::size_t{256} << 20},
      {24, talmor::CollisionMode::AvoidEmptyPixels, 3000054},
  };
  for (const auto& c : cases) {
    Reset();
    std::string error;
    ASSERT_TRUE(talmor::ParseInkList("3 7 15", options.priority, error));
    options.mode = c.mode;
    options.heldBytes = c.heldBytes;
    std::vector<std::pair<std::string, zeblon::map::Tile>> sources;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        const std::string name = zeblon::map::TileName(6580 + 2 * i, 1620 + 2 * j);
        sources.emplace_back(name.substr(0, 8), PatternTile(c.bits, i * 3 + j));
        WriteBytes(options.source / name, sources.back().second.bytes());
      }
    const auto empty = sources.front().second.EmptyCopy();

    // An existing destination tile, where the first source pixel lands.
    const Landing corner_pixel = talmor::ExactLanding(6580001, 1620001, 2);
    const std::string existing =
        zeblon::map::TileName(talmor::TileOfPixel(corner_pixel.row) * 2, talmor::TileOfPixel(corner_pixel.column) * 2);
    const auto marked = PatternTile(c.bits, 99);
    WriteBytes(options.destination / existing, marked.bytes());

    // The reference: one transfer after another.
    talmor::TileTransfer reference(empty, 2, options.mode, options.priority);
    reference.loadTile = [&](const std::string& name, std::optional<zeblon::map::Tile>& tile, std::string&) {
      if (name == existing) tile = marked;
      return true;
    };
    Recorder rec;
    for (const auto& [name, tile] : sources) {
      const auto corner = zeblon::map::TileCornerOfName(name);
      ASSERT_EQ(reference.Transfer(tile, corner.northKm, corner.eastKm, rec.Hooks(), error), talmor::RunEnd::Ready);
    }
    const auto& expected = reference.tiles();
    ASSERT_GE(expected.size(), 9u);
    ASSERT_TRUE(expected.count(existing));

    options.deleteSources = true;
    const auto result = talmor::ConvertMapTiles(options, rec.Hooks());
    ASSERT_EQ(result.end, talmor::RunEnd::Ready) << result.message;
    EXPECT_TRUE(FilesIn(options.source).empty());  // every source deleted once its results were written
    EXPECT_FALSE(fs::exists(options.temp / "TALMORMC"));
    const auto made = FilesIn(options.destination);
    EXPECT_EQ(made.size(), expected.size()) << c.bits << " bits";
    for (const auto& [name, tile] : expected) {
      const auto bytes = ReadBytes(options.destination / name);
      EXPECT_TRUE(bytes == tile.bytes()) << c.bits << " bits, held " << c.heldBytes << ": tile " << name;
    }
  }
}

TEST_F(FolderRun, StopKeepsTheResultsOfTheTilesBefore) {
  // A stop in the third of four tiles: the first two are complete in the
  // destination and deleted, the third is partly there and stays, the fourth
  // is untouched.
  Reset();
  for (int j = 0; j < 4; ++j)
    WriteBytes(options.source / zeblon::map::TileName(6580, 1620 + 2 * j), PatternTile(8, j).bytes());
  options.deleteSources = true;
  Recorder rec;
  int rows_of_the_third = 0;
  rec.stop = [&] { return rec.text.find("3/4") != std::string::npos && ++rows_of_the_third > 400; };
  ASSERT_EQ(talmor::ConvertMapTiles(options, rec.Hooks()).end, talmor::RunEnd::Stopped);
  EXPECT_EQ(FilesIn(options.source),
            (std::vector<std::string>{zeblon::map::TileName(6580, 1624), zeblon::map::TileName(6580, 1626)}));
  EXPECT_FALSE(fs::exists(options.temp / "TALMORMC"));

  // The first two tiles' pixels, carried over alone, are all in the destination.
  const auto first = PatternTile(8, 0);
  talmor::TileTransfer reference(first.EmptyCopy(), 2, options.mode, options.priority);
  std::string error;
  Recorder plain;
  for (int j = 0; j < 2; ++j)
    ASSERT_EQ(reference.Transfer(PatternTile(8, j), 6580, 1620 + 2 * j, plain.Hooks(), error), talmor::RunEnd::Ready);
  for (const auto& [name, tile] : reference.tiles()) {
    auto written = zeblon::map::Tile::FromBytes(ReadBytes(options.destination / name));
    ASSERT_TRUE(written) << name;
    int missing = 0;
    for (int r = 0; r < 1000; ++r)
      for (int c = 0; c < 1000; ++c)
        missing += tile.Pixel(r, c) != tile.EmptyValue() && written->Pixel(r, c) == written->EmptyValue();
    EXPECT_EQ(missing, 0) << name;
  }
}

}  // namespace
