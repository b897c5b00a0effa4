// The stock tiles the build drew: their form, their place against GMT's own
// projection of the same shoreline, and pictures of them to look at.
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "assets/stock_maps/stock_maps.h"
#include "map/bmp.h"
#include "map/map_tile.h"

namespace zeblon::stock_maps {
namespace {

namespace fs = std::filesystem;

const fs::path kDrawn = fs::path(ZEBLON_BINARY_DIR) / "assets" / "stock_maps" / "U33";

std::optional<map::Tile> LoadTile(const fs::path& path) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!map::ReadFileBytes(path, bytes, error)) return std::nullopt;
  return map::Tile::FromBytes(std::move(bytes));
}

// The map's palette work on a 16-colour tile: every palette byte times `factor`
// (nearest whole number, at most 255), then ink `marked` yellow.
struct PaletteWork {
  double factor = 1;
  int marked = -1;
};

QImage ToImage(const map::Tile& tile, PaletteWork work) {
  std::uint32_t colours[16];
  for (int ink = 0; ink < 16; ++ink) {
    std::uint32_t c = 0;
    for (int shift : {16, 8, 0}) {
      const double v = std::min(255.0, std::nearbyint(work.factor * ((tile.PaletteEntry(ink) >> shift) & 255)));
      c |= static_cast<std::uint32_t>(v) << shift;
    }
    colours[ink] = ink == work.marked ? 0xFFFF00u : c;
  }
  QImage image(map::kTilePixels, map::kTilePixels, QImage::Format_RGB32);
  for (int r = 0; r < map::kTilePixels; ++r) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(map::kTilePixels - 1 - r));
    for (int c = 0; c < map::kTilePixels; ++c) line[c] = 0xFF000000u | colours[tile.Pixel(r, c) & 15];
  }
  return image;
}

// A picture of the tiles of a scale between two corners (km), each tile drawn
// `edge` pixels wide, north up; missing tiles stay dark grey.
void SaveMosaic(const std::string& tag, int scale, std::int64_t south, std::int64_t north, std::int64_t west,
                std::int64_t east, int edge, const std::string& name, PaletteWork work = {}) {
  const int columns = static_cast<int>((east - west) / scale + 1), rows = static_cast<int>((north - south) / scale + 1);
  QImage mosaic(columns * edge, rows * edge, QImage::Format_RGB32);
  mosaic.fill(QColor(80, 80, 80));
  QPainter painter(&mosaic);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) {
      const auto tile = LoadTile(kDrawn / tag / map::TileName(south + i * scale, west + j * scale));
      if (!tile) continue;
      painter.drawImage(QRect(j * edge, (rows - 1 - i) * edge, edge, edge), ToImage(*tile, work));
    }
  }
  painter.end();
  const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "artefacts";
  fs::create_directories(dir);
  ASSERT_TRUE(mosaic.save(QString::fromStdString((dir / name).string()), "PNG"));
}

const char* const kTags[] = {"M5000", "M1000", "M0200", "M0050", "M0010", "M0002"};

// Every drawn file is a 16-colour tile named by the tile rule on its scale's grid,
// with the stock palette; each scale has the tile of the default map centre, and
// STOCK.ZIP carries them.
TEST(StockTiles, EveryScaleHasTilesOfTheTileForm) {
  if (!fs::exists(kDrawn)) GTEST_SKIP() << "no stock tiles drawn (gmt missing)";
  std::string zip;
  {
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(map::ReadFileBytes(ZEBLON_STOCK_ARCHIVE, bytes, error)) << error;
    zip.assign(bytes.begin(), bytes.end());
  }
  for (const char* tag : kTags) {
    const int scale = std::stoi(std::string(tag).substr(1));
    int count = 0;
    for (const auto& entry : fs::directory_iterator(kDrawn / tag)) {
      const std::string name = entry.path().filename().string();
      ASSERT_EQ(name.size(), 12u) << name;
      ASSERT_EQ(name.substr(8), ".BMP") << name;
      const map::TileCorner corner = map::TileCornerOfName(name);
      EXPECT_EQ(std::fmod(corner.northKm, scale), 0) << tag << " " << name;
      EXPECT_EQ(std::fmod(corner.eastKm, scale), 0) << tag << " " << name;
      EXPECT_EQ(map::TileName(static_cast<std::int64_t>(corner.northKm), static_cast<std::int64_t>(corner.eastKm)),
                name);
      int bits = 0;
      EXPECT_EQ(map::TileFileProblem(entry.path(), &bits), "") << name;
      EXPECT_EQ(bits, 4) << name;
      EXPECT_NE(zip.find(std::string("U33/") + tag + "/" + name), std::string::npos) << tag << " " << name;
      ++count;
    }
    EXPECT_GT(count, 0) << tag;
    std::printf("%s: %d tiles\n", tag, count);
    const std::string centre = map::TileName(map::TileCornerKm(6600, scale), map::TileCornerKm(400, scale));
    const auto tile = LoadTile(kDrawn / tag / centre);
    ASSERT_TRUE(tile.has_value()) << tag << " " << centre;
    for (int ink = 0; ink < 16; ++ink) EXPECT_EQ(tile->PaletteEntry(ink), StockPalette()[ink]) << tag;
  }
}

// The coastline of a drawn M0050 tile against GMT's own projection (mapproject to
// UTM zone 33) of the same shoreline points: each point has a shoreline pixel
// within one pixel, and the fill's water as good as always within one pixel.
TEST(StockTiles, CoastlineLiesWhereGmtProjectsIt) {
  if (!fs::exists(kDrawn)) GTEST_SKIP() << "no stock tiles drawn (gmt missing)";
  const fs::path scratch = fs::temp_directory_path() / ("zeblon_stock_tiles_" + std::to_string(::getpid()));
  fs::create_directories(scratch);
  struct Case {
    std::int64_t northKm, eastKm;  // an M0050 tile: the west coast and the north of Lake Vaenern
  };
  for (const Case c : {Case{6500, 250}, Case{6550, 400}}) {
    const auto tile = LoadTile(kDrawn / "M0050" / map::TileName(c.northKm, c.eastKm));
    ASSERT_TRUE(tile.has_value());
    const double e0 = static_cast<double>(c.eastKm) * 1000, n0 = static_cast<double>(c.northKm) * 1000;
    // The tile's box in degrees, from its corners and edge middles.
    double west = 180, east = -180, south = 90, north = -90;
    for (double fx : {0.0, 0.5, 1.0}) {
      for (double fy : {0.0, 0.5, 1.0}) {
        LonLat p;
        ASSERT_TRUE(FromZone({e0 + fx * 50000, n0 + fy * 50000}, p));
        west = std::min(west, p.lon), east = std::max(east, p.lon);
        south = std::min(south, p.lat), north = std::max(north, p.lat);
      }
    }
    std::ostringstream region;
    region.precision(10);
    region << "-R" << west - 0.01 << "/" << east + 0.01 << "/" << south - 0.01 << "/" << north + 0.01;
    std::string dump;
    ASSERT_TRUE(RunGmt({"coast", region.str(), "-Df", "-M", "-W"}, scratch.string(), dump, 60000));
    std::istringstream in(dump);
    std::vector<LonLat> points;
    std::vector<int> levels;
    for (const Piece& piece : ReadPieces(in)) {
      for (const LonLat& p : piece.points) {
        points.push_back(p);
        levels.push_back(piece.level);
      }
    }
    ASSERT_GT(points.size(), 100u);
    {
      std::ofstream out(scratch / "points.txt");
      out.precision(12);
      for (const LonLat& p : points) out << p.lon << " " << p.lat << "\n";
    }
    std::string projected;
    ASSERT_TRUE(RunGmt({"mapproject", (scratch / "points.txt").string(), "-Ju33/1:1", "-F", "-C"}, scratch.string(),
                       projected, 60000));
    std::istringstream lines(projected);
    double worst_pixels = 0, worst_metres = 0, sum_pixels = 0;
    int checked = 0, water_within_pixel = 0;
    for (size_t i = 0; i < points.size(); ++i) {
      double e = 0, n = 0;
      ASSERT_TRUE(lines >> e >> n) << "point " << i;
      const ZoneXy ours = ToZone(points[i]);
      worst_metres = std::max(worst_metres, std::hypot(ours.east - e, ours.north - n));
      const double x = (e - e0) / 50, y = (n - n0) / 50;  // pixels from the south-west corner
      if (x < 3 || y < 3 || x > 997 || y > 997) continue;
      const std::uint8_t shore = levels[i] % 2 == 1 ? kCoast : kLakeShore;
      double nearest = 99, nearest_water = 99;
      for (int r = static_cast<int>(y) - 3; r <= static_cast<int>(y) + 3; ++r) {
        for (int col = static_cast<int>(x) - 3; col <= static_cast<int>(x) + 3; ++col) {
          const auto ink = tile->Pixel(r, col);
          const double dx = std::max({col - x, 0.0, x - (col + 1)}), dy = std::max({r - y, 0.0, y - (r + 1)});
          if (ink == shore || ink == kBorder) nearest = std::min(nearest, std::hypot(dx, dy));
          if (ink == kSea || ink == kLake) nearest_water = std::min(nearest_water, std::hypot(dx, dy));
        }
      }
      water_within_pixel += nearest_water <= 1.0;
      EXPECT_LE(nearest, 1.0) << "point " << points[i].lon << " " << points[i].lat << " at pixel " << x << " " << y;
      worst_pixels = std::max(worst_pixels, nearest);
      sum_pixels += nearest;
      ++checked;
    }
    EXPECT_GT(checked, 100);
    EXPECT_GE(water_within_pixel, checked * 95 / 100);
    std::printf(
        "M0050 %s: %d shoreline points, farthest shoreline pixel %.3f px (mean %.4f px), "
        "water within a pixel of %.1f %%, our projection against mapproject at most %.4f m\n",
        map::TileName(c.northKm, c.eastKm).c_str(), checked, worst_pixels, sum_pixels / checked,
        100.0 * water_within_pixel / checked, worst_metres);
    EXPECT_LT(worst_metres, 0.01);
  }
  fs::remove_all(scratch);
}

TEST(StockTiles, Pictures) {
  if (!fs::exists(kDrawn)) GTEST_SKIP() << "no stock tiles drawn (gmt missing)";
  SaveMosaic("M5000", 5000, 0, 5000, -5000, 0, 500, "stock_M5000.png");
  SaveMosaic("M1000", 1000, 3000, 9000, -2000, 4000, 150, "stock_M1000.png");
  SaveMosaic("M0200", 200, 5800, 7800, -200, 1000, 100, "stock_M0200.png");
  SaveMosaic("M0050", 50, 6550, 6700, 300, 500, 250, "stock_M0050_vanern.png");
  SaveMosaic("M0050", 50, 6450, 6550, 250, 350, 333, "stock_M0050_coast.png");
  SaveMosaic("M0050", 50, 6450, 6550, 250, 350, 333, "stock_M0050_coast_dark.png", {0.6, -1});
  SaveMosaic("M0050", 50, 6450, 6550, 250, 350, 333, "stock_M0050_coast_bright.png", {1.6, -1});
  SaveMosaic("M0050", 50, 6450, 6550, 250, 350, 333, "stock_M0050_coast_ink3.png", {1, kCoast});
  SaveMosaic("M0010", 10, 6550, 6640, 340, 450, 100, "stock_M0010.png");
  SaveMosaic("M0002", 2, 6590, 6608, 388, 410, 100, "stock_M0002.png");
}

}  // namespace
}  // namespace zeblon::stock_maps
