// The tile cache: tiles kept one byte a pixel paint the very pixels that the same
// tiles kept in full colour painted, at every zoom and palette work, and the cache
// keeps its bytes within its budget however many tiles pass through it.
#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "geodesy/text.h"
#include "map/bmp.h"
#include "map/map_display.h"
#include "map/map_tile.h"
#include "map/tile_cache.h"
#include "tile_fixture.h"

namespace zeblon::map {
namespace {

namespace fs = std::filesystem;

// A tile file as Qt's own bitmap reader gives it, in full colour after the palette
// work: brightness on the red, green and blue of every colour, the marked ink of a
// 16-colour tile yellow.
QImage FullColour(const fs::path& file, const PaletteWork& work) {
  QImage tile(QString::fromStdString(file.string()));
  if (tile.format() != QImage::Format_Indexed8) return tile.convertToFormat(QImage::Format_RGB32);
  QList<QRgb> table = tile.colorTable();
  const double f = work.backgroundMode - 0.4;
  const auto bright = [f](int v) { return static_cast<int>(std::min(255.0, RoundHalfEven(f * v))); };
  for (QRgb& c : table)
    if (work.backgroundMode > 0) c = qRgb(bright(qRed(c)), bright(qGreen(c)), bright(qBlue(c)));
  if (table.size() == 16 && work.markedInk >= 0) table[work.markedInk] = qRgb(255, 255, 0);
  tile.setColorTable(table);
  return tile.convertToFormat(QImage::Format_RGB32);
}

// The map picture as tiles kept in full colour painted it: each tile scaled to its
// side up to 1000 pixels and painted whole; above 1000 only the part that shows,
// scaled by the painter.
QImage FullColourPicture(const MapView& v, const fs::path& folder, const PaletteWork& work) {
  const int w = static_cast<int>(v.widthPx), h = static_cast<int>(v.heightPx);
  QImage picture(w, h, QImage::Format_RGB32);
  picture.fill(QColor(80, 80, 80));
  QPainter p(&picture);
  const auto range = v.Tiles();
  const auto s = static_cast<std::int64_t>(v.scale);
  for (std::int64_t n = range.south; n <= range.north; n += s) {
    for (std::int64_t e = range.west; e <= range.east; e += s) {
      const auto place = v.TilePlacement(n, e);
      const double side = place.side;
      QImage img = FullColour(folder / TileName(n, e), work);
      if (std::lround(side) < kTilePixels)
        img = img.scaled(static_cast<int>(std::lround(side)), static_cast<int>(std::lround(side)),
                         Qt::IgnoreAspectRatio, Qt::FastTransformation);
      if (img.width() == static_cast<int>(std::lround(side))) {
        p.drawImage(QPoint(static_cast<int>(place.x), static_cast<int>(place.y)), img);
        continue;
      }
      const double k = img.width() / side;
      const double x = static_cast<double>(place.x), y = static_cast<double>(place.y);
      const double l = std::max(0.0, -x), t = std::max(0.0, -y);
      const double r = std::min(side, w - x), b = std::min(side, h - y);
      const int sl = static_cast<int>(std::floor(l * k)), st = static_cast<int>(std::floor(t * k));
      const int sr = std::min(img.width(), static_cast<int>(std::ceil(r * k)));
      const int sb = std::min(img.height(), static_cast<int>(std::ceil(b * k)));
      if (sr <= sl || sb <= st) continue;
      p.drawImage(QRectF(x + sl / k, y + st / k, (sr - sl) / k, (sb - st) / k), img, QRectF(sl, st, sr - sl, sb - st));
    }
  }
  return picture;
}

int DifferentPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return a.width() * a.height() + 1;
  int different = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) different += a.pixel(x, y) != b.pixel(x, y);
  return different;
}

TEST(TileCacheTest, TilesOfInksPaintTheVeryPixelsOfTilesInFullColour) {
  testing::TempFolder root, index;
  constexpr int kW = 300, kH = 240;
  constexpr double kNorth = 6583.37, kEast = 401.93;
  // Every tile of the zoom-8 views: 16 colours at M0010, all three depths at M0050.
  for (std::int64_t n = 6570; n <= 6590; n += 10)
    for (std::int64_t e = 380; e <= 410; e += 10) testing::WriteNoiseTile(root.path() / "M0010", n, e, 10, 4);
  for (std::int64_t n = 6500; n <= 6600; n += 50)
    for (std::int64_t e = 300; e <= 450; e += 50)
      testing::WriteNoiseTile(root.path() / "M0050", n, e, 50, std::array{4, 8, 24}[(n / 50 + e / 50) % 3]);
  MapDisplay d(root.path(), index.path());
  d.BuildMapIndex();
  MapState& s = d.mutable_state();
  s.MapWidthPx = kW;
  s.MapHeightPx = kH;
  s.CentreMode = 1;  // following a MONI 1 station without a position: no centre cross
  struct Case {
    int scale;
    PaletteWork work;
  };
  // A tile of 256 colours or of 24 bits clears the marked ink of the drawing.
  const Case cases[] = {{10, {0, -1}}, {10, {1, 3}}, {10, {2, 12}}, {50, {0, -1}}, {50, {1, -1}}, {50, {2, -1}}};
  // One view after another with only the palette work changed.
  for (double zoom : {0.125, 0.25, 0.5, 1.0, 2.0, 4.0, 8.0}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << "scale " << c.scale << " zoom " << zoom << " brightness "
                                        << c.work.backgroundMode << " ink " << c.work.markedInk);
      s.CentreNorth = kNorth;
      s.CentreEast = kEast;
      s.MapScale = c.scale;
      s.ZoomFactor = zoom;
      s.Palette.backgroundMode = c.work.backgroundMode;
      s.Palette.markedInk = c.work.markedInk;
      d.DrawMap();
      const QImage want = FullColourPicture(d.view(), root.path() / ScaleTag(c.scale), c.work);
      EXPECT_EQ(DifferentPixels(d.picture(), want), 0);
      // Drawn from the cache the second time, the same.
      d.DrawMap();
      EXPECT_EQ(DifferentPixels(d.picture(), want), 0);
    }
  }
}

TEST(TileCacheTest, ATileScaledToAnySidePaintsThePixelsOfItsColoursScaled) {
  testing::TempFolder folder;
  for (int bits : {4, 8, 24}) testing::WriteNoiseTile(folder.path(), 6500 + bits, 0, 1, bits);
  TileCache cache;
  for (int bits : {4, 8, 24}) {
    const fs::path file = folder.path() / TileName(6500 + bits, 0);
    const QImage colours = FullColour(file, {});
    for (int side : {1, 3, 7, 99, 125, 250, 333, 500, 667, 999, 1000, 4000}) {
      SCOPED_TRACE(::testing::Message() << bits << " bits, side " << side);
      const auto tile = cache.Get(file, {}, side);
      ASSERT_TRUE(tile.ok);
      const int want_side = std::min(side, kTilePixels);
      const QImage want = colours.scaled(want_side, want_side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
      QImage got = tile.image->convertToFormat(QImage::Format_RGB32);
      if (tile.image->format() == QImage::Format_Indexed8) {
        for (int y = 0; y < got.height(); ++y)
          for (int x = 0; x < got.width(); ++x) got.setPixel(x, y, tile.colours[tile.image->pixelIndex(x, y)]);
      }
      EXPECT_EQ(DifferentPixels(got, want), 0);
    }
  }
}

TEST(TileCacheTest, KeepsItsBytesWithinItsBudget) {
  testing::TempFolder folder;
  const int tiles = testing::WritePatternTiles(folder.path(), 6500, 6540, 0, 70, 10);  // 5 x 8 tiles
  ASSERT_EQ(tiles, 40);
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(folder.path())) files.push_back(e.path());
  std::sort(files.begin(), files.end());

  // A tile of 16 colours takes one byte a pixel (rows padded to 4 bytes) and its
  // palette, in full and scaled to 125 pixels.
  TileCache big(std::size_t{1} << 30);
  ASSERT_TRUE(big.Get(files[0], {}, 1000).ok);
  EXPECT_EQ(big.bytes(), 1000u * 1000 + 64);
  ASSERT_TRUE(big.Get(files[0], {2, 3}, 125).ok);
  EXPECT_EQ(big.bytes(), 1000u * 1000 + 64 + 128 * 125 + 64);

  // Many tiles at every side, three times over: never more than the budget.
  TileCache cache(std::size_t{6} << 20);
  for (int pass = 0; pass < 3; ++pass)
    for (const fs::path& file : files)
      for (int side : {125, 1000, 250, 4000, 500}) {
        SCOPED_TRACE(::testing::Message() << file << " side " << side);
        ASSERT_TRUE(cache.Get(file, {pass, -1}, side).ok);
        EXPECT_LE(cache.bytes(), cache.budget());
      }
  cache.Clear();
  EXPECT_EQ(cache.bytes(), 0u);

  // The tiles scaled down stay, the full tiles read to scale them go first: a
  // redraw of a zoomed-out view of 40 tiles reads no file again.
  TileCache small(std::size_t{3} << 20);
  for (const fs::path& file : files) ASSERT_TRUE(small.Get(file, {}, 125).ok);
  EXPECT_EQ(small.file_reads(), 40u);
  EXPECT_LE(small.bytes(), small.budget());
  for (const fs::path& file : files) ASSERT_TRUE(small.Get(file, {}, 125).ok);
  EXPECT_EQ(small.file_reads(), 40u);

  // A tile that alone passes the budget is still given for painting, and stays
  // alone.
  TileCache tiny(1000);
  for (const fs::path& file : {files[0], files[1]}) {
    const auto tile = tiny.Get(file, {}, 1000);
    ASSERT_TRUE(tile.ok);
    EXPECT_EQ(tile.image->width(), 1000);
    EXPECT_EQ(tiny.bytes(), 1000u * 1000 + 64);
  }
}

}  // namespace
}  // namespace zeblon::map
