// The stock tiles the build drew: their form, their place against GMT's own
// projection of the same shoreline, and pictures of them to look at.
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
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

QImage ToImage(const map::Tile& tile) {
  QImage image(map::kTilePixels, map::kTilePixels, QImage::Format_RGB32);
  for (int r = 0; r < map::kTilePixels; ++r) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(map::kTilePixels - 1 - r));
    for (int c = 0; c < map::kTilePixels; ++c) line[c] = 0xFF000000u | tile.PaletteEntry(static_cast<int>(tile.Pixel(r, c)));
  }
  return image;
}

// A picture of the tiles of a scale between two corners (km), each tile drawn
// `edge` pixels wide, north up; missing tiles stay dark grey.
void SaveMosaic(const std::string& tag, int scale, std::int64_t south, std::int64_t north, std::int64_t west,
                std::int64_t east, int edge, const std::string& name) {
  const int columns = static_cast<int>((east - west) / scale + 1), rows = static_cast<int>((north - south) / scale + 1);
  QImage mosaic(columns * edge, rows * edge, QImage::Format_RGB32);
  mosaic.fill(QColor(80, 80, 80));
  QPainter painter(&mosaic);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < columns; ++j) {
      const auto tile = LoadTile(kDrawn / tag / map::TileName(south + i * scale, west + j * scale));
      if (!tile) continue;
      painter.drawImage(QRect(j * edge, (rows - 1 - i) * edge, edge, edge), ToImage(*tile));
    }
  }
  painter.end();
  const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "artefacts";
  fs::create_directories(dir);
  ASSERT_TRUE(mosaic.save(QString::fromStdString((dir / name).string()), "PNG"));
}

TEST(StockTiles, Pictures) {
  if (!fs::exists(kDrawn)) GTEST_SKIP() << "no stock tiles drawn (gmt missing)";
  SaveMosaic("M5000", 5000, 0, 5000, -5000, 0, 500, "stock_M5000.png");
  SaveMosaic("M1000", 1000, 3000, 9000, -2000, 4000, 150, "stock_M1000.png");
  SaveMosaic("M0200", 200, 5800, 7800, -200, 1000, 100, "stock_M0200.png");
  SaveMosaic("M0050", 50, 6550, 6700, 300, 500, 250, "stock_M0050_vanern.png");
  SaveMosaic("M0010", 10, 6560, 6630, 360, 430, 125, "stock_M0010.png");
  SaveMosaic("M0002", 2, 6590, 6608, 390, 408, 100, "stock_M0002.png");
}

}  // namespace
}  // namespace zeblon::stock_maps
