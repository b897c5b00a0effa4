// A full DrawMap of a 1280 x 1024 map (tiles, grids, circles, markers) at every
// scale and zoom factor against a bare loop that loads the same tiles from their
// files and paints them with QPainter::drawImage into the same picture. The tiles
// are the stock tiles of the build when they are there
// (build/assets/stock_maps/U33), else patterned tiles made for the run. Ends with
// the ratio DrawMap / bare loop of every case.
//
//   build/bench/map/bench_map [--benchmark_filter=...]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "map/map_display.h"
#include "map/map_tile.h"
#include "tests/map/tile_fixture.h"

namespace {

namespace fs = std::filesystem;
using zeblon::map::MapDisplay;
using zeblon::map::MapView;

constexpr int kW = 1280, kH = 1024;
constexpr double kCentreN = 6600, kCentreE = 400;  // the start-up's centre
constexpr double kZooms[] = {0.125, 0.25, 0.5, 1, 2, 4, 8};

std::unique_ptr<zeblon::map::testing::TempFolder> g_made;

const fs::path& TileRoot() {
  static const fs::path root = [] {
    const fs::path stock = fs::path(ZEBLON_BINARY_DIR) / "assets" / "stock_maps" / "U33";
    if (fs::exists(stock / "M0050")) return stock;
    // Patterned tiles over the zoom-8 view of each scale.
    g_made = std::make_unique<zeblon::map::testing::TempFolder>();
    for (int s : zeblon::map::kTileScales) {
      const double hw = kW / 2.0 * 8 * s / 1000 + s, hh = kH / 2.0 * 8 * s / 1000 + s;
      const auto lo = [s](double v) {
        return std::max<std::int64_t>(-10000, static_cast<std::int64_t>(std::floor(v / s)) * s);
      };
      const auto hi = [s](double v) {
        return std::min<std::int64_t>(9999, static_cast<std::int64_t>(std::floor(v / s)) * s);
      };
      zeblon::map::testing::WritePatternTiles(g_made->path() / zeblon::map::ScaleTag(s), lo(kCentreN - hh),
                                              hi(kCentreN + hh), lo(kCentreE - hw), hi(kCentreE + hw), s);
    }
    return g_made->path();
  }();
  return root;
}

void BM_DrawMap(benchmark::State& state, double scale, double zoom) {
  static zeblon::map::testing::TempFolder index;
  MapDisplay d(TileRoot(), index.path());
  d.BuildMapIndex();
  auto& s = d.mutable_state();
  s.MapWidthPx = kW;
  s.MapHeightPx = kH;
  s.MapScale = scale;
  s.ZoomFactor = zoom;
  s.CentreNorth = kCentreN;
  s.CentreEast = kCentreE;
  s.UserNorth = kCentreN + 1;
  s.UserEast = kCentreE + 1;
  s.GridOn = 1;
  s.ReadoutSystem = {0, 1, 0};  // the map-zone lattice and the graticule
  s.CirclesOn = 1;
  d.hooks().fopt = [](double, double, double, double) { return 7.5; };
  d.DrawMap();  // the first drawing fills the cache
  for (auto _ : state) {
    d.DrawMap();
    benchmark::DoNotOptimize(d.picture().constBits());
  }
  state.counters["tiles"] = static_cast<double>(d.cache().file_reads());
}

void BM_BareBlit(benchmark::State& state, double scale, double zoom) {
  const MapView v = MapView::Of(kCentreN, kCentreE, scale, zoom, kW, kH);
  const fs::path folder = TileRoot() / zeblon::map::ScaleTag(static_cast<int>(scale));
  QImage picture(kW, kH, QImage::Format_RGB32);
  const auto range = v.Tiles();
  const auto step = static_cast<std::int64_t>(scale);
  for (auto _ : state) {
    QPainter p(&picture);
    for (std::int64_t n = range.south; n <= range.north; n += step) {
      for (std::int64_t e = range.west; e <= range.east; e += step) {
        const auto place = v.TilePlacement(n, e);
        const QRectF target(static_cast<double>(place.x), static_cast<double>(place.y), place.side, place.side);
        const QImage tile(QString::fromStdString((folder / zeblon::map::TileName(n, e)).string()));
        if (tile.isNull())
          p.fillRect(target, QColor(80, 80, 80));
        else
          p.drawImage(target, tile);
      }
    }
    p.end();
    benchmark::DoNotOptimize(picture.constBits());
  }
}

// Console output as usual, then the ratio of each case.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs)
      if (!run.error_occurred && run.iterations > 0)
        ms_[run.benchmark_name()] = run.GetAdjustedRealTime();  // in the unit of the run: ms
  }
  void PrintRatios() const {
    std::printf("\nDrawMap (tiles, grids, circles, markers) against the bare load-and-blit loop, %d x %d:\n", kW, kH);
    std::printf("%6s %6s %12s %12s %7s\n", "scale", "zoom", "DrawMap ms", "bare ms", "ratio");
    for (int s : zeblon::map::kTileScales) {
      for (double z : kZooms) {
        const std::string key = Key(s, z);
        const auto a = ms_.find("DrawMap/" + key), b = ms_.find("BareBlit/" + key);
        if (a == ms_.end() || b == ms_.end()) continue;
        std::printf("%6d %6.3f %12.2f %12.2f %7.2f\n", s, z, a->second, b->second, a->second / b->second);
      }
    }
  }
  static std::string Key(int s, double z) { return std::to_string(s) + "/" + std::to_string(z); }

 private:
  std::map<std::string, double> ms_;
};

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf("Tiles from %s\n", TileRoot().c_str());
  for (int s : zeblon::map::kTileScales) {
    for (double z : kZooms) {
      const std::string key = RatioReporter::Key(s, z);
      benchmark::RegisterBenchmark(("DrawMap/" + key).c_str(), BM_DrawMap, s, z)->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("BareBlit/" + key).c_str(), BM_BareBlit, s, z)->Unit(benchmark::kMillisecond);
    }
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  g_made.reset();
  return 0;
}
