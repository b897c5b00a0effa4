// make_stock_maps OUTPUT [TAG...]: draws the stock map tiles into OUTPUT/<scale tag>/
// (all six scales, or the tags given) from GSHHG and WDBII data read through `gmt`.
// Prints what it made and how long it took.
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <numbers>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "assets/stock_maps/stock_maps.h"
#include "map/map_tile.h"

namespace zeblon::stock_maps {
namespace {

namespace fs = std::filesystem;

// A scratch folder for GMT's session file.
std::string g_gmt_scratch;

// GMT's region option of a box in degrees.
std::string RegionArgument(const Region& r) {
  std::ostringstream s;
  s << "-R" << r.west << "/" << r.east << "/" << r.south << "/" << r.north;
  return s.str();
}

// GMT's dump of the shorelines, borders or rivers (`what`) of a region.
std::vector<Piece> Dump(const Region& region, char resolution, const std::vector<std::string>& what) {
  std::vector<std::string> args = {"coast", RegionArgument(region), std::string("-D") + resolution, "-M"};
  args.insert(args.end(), what.begin(), what.end());
  std::string text;
  if (!RunGmt(args, g_gmt_scratch, text)) throw std::runtime_error("gmt coast failed (" + what.front() + ")");
  std::istringstream in(text);
  return ReadPieces(in);
}

struct DataSource {
  Region region;
  char resolution;
  std::vector<std::string> rivers;
};

ScaleData Load(const DataSource& source) {
  auto shore = std::async(std::launch::async, [&] { return Dump(source.region, source.resolution, {"-W"}); });
  auto borders = std::async(std::launch::async, [&] { return Dump(source.region, source.resolution, {"-N1"}); });
  auto rivers = std::async(std::launch::async, [&] { return Dump(source.region, source.resolution, source.rivers); });
  ScaleData data;
  const std::vector<Piece> pieces = shore.get();
  int straight = 0;
  for (const Ring& ring : AssembleRings(pieces, source.region, 2e-4, &straight)) {
    if (ring.level >= 1 && ring.level <= 4) data.rings[ring.level].push_back(Project(ring.level, ring.points));
  }
  if (straight > 0) std::printf("-D%c: %d shoreline chains closed straight\n", source.resolution, straight);
  for (const Piece& p : pieces) data.shores.push_back(Project(p.level, p.points));
  for (const Piece& p : borders.get()) data.borders.push_back(Project(p.level, p.points));
  for (const Piece& p : rivers.get()) data.rivers.push_back(Project(p.level, p.points));
  return data;
}

// How a scale's tiles are chosen.
enum class Choice {
  EuropeLand,  // tiles holding land inside the Europe boxes
  AreaCoasts,  // tiles of the area holding land, and their neighbours in the area
  Block,       // every tile of a block of tile rows and columns
};

struct ScalePlan {
  int scale_km;
  int source;  // index into the data sources
  LineWidths widths;
  Choice choice;
  std::vector<Region> area;  // boxes (degrees) whose tiles are candidates
  // For Block: the tile rows and columns in km (south, north, west, east inclusive).
  std::int64_t south_km = 0, north_km = 0, west_km = 0, east_km = 0;
};

// Europe as a few boxes: the continent with the islands of the Arctic west of the
// Urals; Iceland; without Greenland and the Atlantic islands.
const std::vector<Region> kEurope = {
    {-11, 30, 35, 82},
    {30, 60, 41, 82},
    {-25, -13, 63, 67},
};

// Scandinavia, Finland, Denmark and the Baltic coasts.
const std::vector<Region> kNorth = {
    {4.5, 31.7, 54.4, 71.3},  // Scandinavia, Finland, Denmark
    {9.5, 30.5, 53.7, 54.4},  // the German and Polish Baltic coast
};

bool InBoxes(LonLat p, const std::vector<Region>& boxes) {
  for (const Region& r : boxes)
    if (p.lon >= r.west && p.lon <= r.east && p.lat >= r.south && p.lat <= r.north) return true;
  return false;
}

using TileKey = std::pair<std::int64_t, std::int64_t>;  // north km, east km

std::set<TileKey> TilesOfBoxes(const std::vector<Region>& boxes, int scale_km) {
  std::set<TileKey> tiles;
  const double step = std::min(0.05, scale_km / 400.0);
  for (const Region& r : boxes) {
    for (double lat = r.south; lat <= r.north + 1e-9; lat += step) {
      const double lon_step = step / std::max(0.05, std::cos(lat * std::numbers::pi / 180));
      for (double lon = r.west; lon <= r.east + 1e-9; lon += lon_step) {
        const ZoneXy xy = ToZone({lon, lat});
        if (!std::isfinite(xy.east)) continue;
        tiles.insert({map::TileCornerKm(xy.north / 1000, scale_km), map::TileCornerKm(xy.east / 1000, scale_km)});
      }
    }
  }
  return tiles;
}

// Whether a tile's land lies in Europe: land pixels sampled every 10 pixels.
bool HoldsEuropeanLand(const Canvas& canvas, int column0, std::int64_t north_km, std::int64_t east_km, int scale_km) {
  for (int r = 5; r < map::kTilePixels; r += 10) {
    for (int c = 5; c < map::kTilePixels; c += 10) {
      if (canvas.At(r, column0 + c) != kLand) continue;
      LonLat p;
      const ZoneXy xy{static_cast<double>(east_km) * 1000 + (c + 0.5) * scale_km,
                      static_cast<double>(north_km) * 1000 + (r + 0.5) * scale_km};
      if (FromZone(xy, p) && InBoxes(p, kEurope)) return true;
    }
  }
  return false;
}

struct Result {
  std::set<TileKey> land;  // tiles written that hold land
  std::set<TileKey> written;
};

void RenderScale(const ScalePlan& plan, const ScaleData& data, const fs::path& folder, Result& result,
                 unsigned threads) {
  std::set<TileKey> candidates;
  if (plan.choice == Choice::Block) {
    for (auto n = plan.south_km; n <= plan.north_km; n += plan.scale_km)
      for (auto e = plan.west_km; e <= plan.east_km; e += plan.scale_km) candidates.insert({n, e});
  } else {
    candidates = TilesOfBoxes(plan.area, plan.scale_km);
  }
  std::map<std::int64_t, std::vector<std::int64_t>> rows;
  for (const auto& [n, e] : candidates) rows[n].push_back(e);
  std::vector<std::pair<std::int64_t, std::vector<std::int64_t>>> bands(rows.begin(), rows.end());

  std::atomic<size_t> next{0};
  std::mutex mutex;
  std::string failure;
  auto work = [&] {
    for (size_t b = next++; b < bands.size(); b = next++) {
      const auto& [north, columns] = bands[b];
      const std::int64_t west = columns.front(), east = columns.back();
      const int count = static_cast<int>((east - west) / plan.scale_km + 1);
      const Canvas canvas = DrawBand(data, plan.scale_km, north, west, count, plan.widths);
      for (const std::int64_t e : columns) {
        const int column0 = static_cast<int>((e - west) / plan.scale_km) * map::kTilePixels;
        const bool land = canvas.Holds(0, column0, kLand);
        if (plan.choice == Choice::EuropeLand &&
            !(land && HoldsEuropeanLand(canvas, column0, north, e, plan.scale_km))) {
          continue;
        }
        map::Tile tile = canvas.CutTile(0, column0);
        std::string error;
        if (!map::WriteTileFile(folder / map::TileName(north, e), tile, error, false)) {
          std::lock_guard lock(mutex);
          failure = error;
          continue;
        }
        std::lock_guard lock(mutex);
        result.written.insert({north, e});
        if (land) result.land.insert({north, e});
      }
    }
  };
  std::vector<std::thread> pool;
  for (unsigned i = 0; i < threads; ++i) pool.emplace_back(work);
  for (auto& t : pool) t.join();
  if (!failure.empty()) throw std::runtime_error(failure);

  if (plan.choice == Choice::AreaCoasts) {
    // Open sea far from any land is left out: a tile stays when it or one of its
    // eight neighbours holds land.
    const std::int64_t s = plan.scale_km;
    for (auto it = result.written.begin(); it != result.written.end();) {
      bool keep = false;
      for (int dn = -1; dn <= 1 && !keep; ++dn)
        for (int de = -1; de <= 1 && !keep; ++de)
          keep = result.land.count({it->first + dn * s, it->second + de * s}) > 0;
      if (keep) {
        ++it;
      } else {
        fs::remove(folder / map::TileName(it->first, it->second));
        it = result.written.erase(it);
      }
    }
  }
}

int Main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_stock_maps OUTPUT [SCALE TAG...]\n");
    return 2;
  }
  const auto started = std::chrono::steady_clock::now();
  const fs::path output = argv[1];
  std::set<std::string> wanted;
  for (int i = 2; i < argc; ++i) wanted.insert(argv[i]);

  const std::vector<DataSource> sources = {
      // The near half of the globe, kept half a degree inside the meridians 90 degrees
      // from the central one, where the projection runs off to infinity.
      {{-74.5, 104.5, 0, 89.9}, 'l', {"-I1", "-I2"}},
      {{-74.5, 104.5, 15, 89.9}, 'i', {"-I1", "-I2"}},
      {{-5, 45, 48, 76}, 'h', {"-Ir"}},  // the north of Europe
      {{-5, 45, 48, 76}, 'f', {"-Ir"}},
  };
  // The two small scales: the blocks that a map of 1280 x 1024 pixels at zoom 1/8
  // centred on the default centre (6600 km north, 400 km east) shows.
  const std::vector<ScalePlan> plans = {
      {5000, 0, {1, 1, 1}, Choice::EuropeLand, kEurope},
      {1000, 1, {1, 1, 1}, Choice::EuropeLand, kEurope},
      {200, 2, {1, 2, 1}, Choice::AreaCoasts, kNorth},
      {50, 3, {1, 2, 1}, Choice::AreaCoasts, kNorth},
      {10, 3, {2, 3, 2}, Choice::Block, {}, 6550, 6640, 340, 450},
      {2, 3, {3, 4, 2}, Choice::Block, {}, 6590, 6608, 388, 410},
  };
  const unsigned threads = std::max(1u, std::thread::hardware_concurrency());

  g_gmt_scratch = (output / ".gmt").string();
  fs::create_directories(g_gmt_scratch);
  std::map<int, ScaleData> loaded;
  for (const ScalePlan& plan : plans) {
    const std::string tag = map::ScaleTag(plan.scale_km);
    if (!wanted.empty() && !wanted.count(tag)) continue;
    if (!loaded.count(plan.source)) loaded[plan.source] = Load(sources[static_cast<size_t>(plan.source)]);
    const fs::path folder = output / tag;
    fs::remove_all(folder);
    fs::create_directories(folder);
    Result result;
    RenderScale(plan, loaded[plan.source], folder, result, threads);
    std::printf("%s: %zu tiles (%zu with land)\n", tag.c_str(), result.written.size(), result.land.size());
  }
  fs::remove_all(g_gmt_scratch);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("stock maps drawn in %.1f s with %u threads\n", seconds, threads);
  return 0;
}

}  // namespace
}  // namespace zeblon::stock_maps

int main(int argc, char** argv) {
  try {
    return zeblon::stock_maps::Main(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_stock_maps: %s\n", e.what());
    return 1;
  }
}
