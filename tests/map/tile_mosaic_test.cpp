// The tile mosaic as DrawMap paints it: placement probed pixel by pixel at every
// scale and zoom, replacement squares for tiles that cannot be painted, the palette
// work, and the cache that keeps a redraw from reading any file twice.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "geodesy/text.h"
#include "map/bmp.h"
#include "map/map_display.h"
#include "map/map_tile.h"
#include "tile_fixture.h"
#include "platform/safe_file.h"

namespace zeblon::map {
namespace {

namespace fs = std::filesystem;
using testing::InkColour;
using testing::TileInk;

constexpr int kW = 200, kH = 160;

QColor At(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }

class TileMosaic : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new testing::TempFolder();
    // Centre of every test view; the zoom-8 view of each scale needs a block of
    // tiles around it.
    for (int level = 0; level < kLevels; ++level) {
      const int s = kTileScales[level];
      const double half_w = kW / 2.0 * 8 * s / 1000 + s, half_h = kH / 2.0 * 8 * s / 1000 + s;
      const auto lo = [s](double v) {
        return std::max<std::int64_t>(-10000, static_cast<std::int64_t>(std::floor(v / s)) * s);
      };
      const auto hi = [s](double v) {
        return std::min<std::int64_t>(9999, static_cast<std::int64_t>(std::floor(v / s)) * s);
      };
      testing::WritePatternTiles(root_->path() / kScaleTags[level], lo(kCentreN - half_h), hi(kCentreN + half_h),
                                 lo(kCentreE - half_w), hi(kCentreE + half_w), s);
    }
  }
  static void TearDownTestSuite() {
    delete root_;
    root_ = nullptr;
  }

  void SetUp() override {
    display_ = std::make_unique<MapDisplay>(root_->path(), index_.path());
    display_->BuildMapIndex();
    MapState& s = display_->mutable_state();
    s.MapWidthPx = kW;
    s.MapHeightPx = kH;
    s.CentreNorth = kCentreN;
    s.CentreEast = kCentreE;
    // Following a MONI 1 station that has no position: no centre cross over the tiles.
    s.CentreMode = 1;
  }

  static constexpr double kCentreN = 6583.3, kCentreE = 401.7;
  static testing::TempFolder* root_;
  testing::TempFolder index_;
  std::unique_ptr<MapDisplay> display_;
};

testing::TempFolder* TileMosaic::root_ = nullptr;

TEST_F(TileMosaic, EveryPixelShowsItsTileAtEveryScaleAndZoom) {
  for (int level = 0; level < kLevels; ++level) {
    const int s = kTileScales[level];
    for (double zoom : {0.125, 0.25, 0.5, 1.0, 2.0, 4.0, 8.0}) {
      SCOPED_TRACE(::testing::Message() << "scale " << s << " zoom " << zoom);
      MapState& st = display_->mutable_state();
      st.MapScale = s;
      st.ZoomFactor = zoom;
      display_->DrawMap();
      const QImage& img = display_->picture();
      const MapView& v = display_->view();
      const double m = v.MetresPerPixel() / 1000;  // km per pixel
      const double tile_px = s / 1000.0;           // km per tile pixel
      int probed = 0, mismatched = 0;
      for (int y = 1; y < kH - 1; y += 3) {
        for (int x = 1; x < kW - 1; x += 3) {
          // The ground a pixel shows: from its west / north edge on.
          const double e = v.ViewEastMin() + x * m + m / 2;
          const double n = v.ViewNorthMax() - y * m + m / 2 - m;
          const double te = std::floor(e / s) * s, tn = std::floor(n / s) * s;
          if (te < -10000 || tn < -10000 || te > 9999 || tn > 9999) continue;
          // Keep two display pixels and two tile pixels away from every edge.
          const double slack = 2 * m + 2 * tile_px;
          const double de = e - te, dn = tn + s - n;
          if (de < slack || s - de < slack || dn < slack || s - dn < slack) continue;
          if (std::fabs(de - 8 * tile_px) < slack || std::fabs(dn - 8 * tile_px) < slack) continue;
          const bool border = de < 8 * tile_px || dn < 8 * tile_px;
          const QColor want = border
                                  ? InkColour(15)
                                  : InkColour(TileInk(static_cast<std::int64_t>(tn), static_cast<std::int64_t>(te), s));
          ++probed;
          if (At(img, x, y) != want) ++mismatched;
        }
      }
      EXPECT_GT(probed, 50);
      EXPECT_EQ(mismatched, 0);
    }
  }
}

TEST_F(TileMosaic, TheTileOfTheOriginSitsWhereItsCornerIs) {
  // Centre 0/0, scale 50, zoom 1, 800 x 600: tile 00000000.BMP at x 400, y -700.
  testing::TempFolder root, index;
  testing::WritePatternTiles(root.path() / "M0050", -50, 0, -50, 0, 50);
  MapDisplay d(root.path(), index.path());
  d.BuildMapIndex();
  MapState& s = d.mutable_state();
  s.MapWidthPx = 800;
  s.MapHeightPx = 600;
  s.MapScale = 50;
  d.DrawMap();
  const QImage& img = d.picture();
  // Its west border: columns 400 ... 407 white, 408 its own ink; 399 the tile west of it.
  EXPECT_EQ(At(img, 400, 100), InkColour(15));
  EXPECT_EQ(At(img, 407, 100), InkColour(15));
  EXPECT_EQ(At(img, 408, 100), InkColour(TileInk(0, 0, 50)));
  EXPECT_EQ(At(img, 399, 100), InkColour(TileInk(0, -50, 50)));
  // Its bottom row (north 0) is y 299; y 300 belongs to the tile south of it.
  EXPECT_EQ(At(img, 600, 299), InkColour(TileInk(0, 0, 50)));
  EXPECT_EQ(At(img, 600, 300), InkColour(15));  // the north border of tile -50/0
}

TEST_F(TileMosaic, TilesThatCannotBePaintedBecomeGreySquares) {
  testing::TempFolder root, index;
  const fs::path folder = root.path() / "M0010";
  testing::WritePatternTiles(folder, 6570, 6590, 390, 410, 10);
  const auto write = [&](const std::string& name, std::vector<std::uint8_t> bytes) {
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  // The tiles around the centre 6585/405, each damaged another way.
  std::vector<std::uint8_t> good;
  std::string error;
  ASSERT_TRUE(ReadFileBytes(folder / "65800400.BMP", good, error));
  auto truncated = good;
  truncated.resize(300000);
  auto wide = good;
  wide[18] = 0xE7;  // width 999
  auto deep = good;
  deep[28] = 1;  // 1 bit per pixel
  write("65800400.BMP", truncated);
  write("65800390.BMP", wide);
  write("65900400.BMP", deep);
  write("65700400.BMP", std::vector<std::uint8_t>(500118, 0x42));  // not a bitmap at all
  fs::remove(folder / "65800410.BMP");
  fs::remove(folder / "65900410.BMP");
  fs::create_directory(folder / "65900410.BMP");  // a folder of a tile's name

  MapDisplay d(root.path(), index.path());
  d.BuildMapIndex();
  MapState& s = d.mutable_state();
  s.MapWidthPx = 400;
  s.MapHeightPx = 400;
  s.MapScale = 10;
  s.ZoomFactor = 8;  // 125 pixels a tile: all nine tiles and more on the picture
  s.CentreNorth = 6585;
  s.CentreEast = 405;
  s.CentreMode = 1;  // no centre cross
  for (int save : {0, 1}) {
    s.MapSaveDrawing = save;
    d.DrawMap();
    const QColor grey = save ? QColor(255, 255, 255) : QColor(80, 80, 80);
    const MapView& v = d.view();
    const auto centre_of = [&](double n, double e) {
      return At(d.picture(), static_cast<int>(v.PixelX(e + 5)), static_cast<int>(v.PixelY(n + 5)));
    };
    for (auto [n, e] : {std::pair{6580, 400}, {6580, 390}, {6590, 400}, {6570, 400}, {6580, 410}, {6590, 410}})
      EXPECT_EQ(centre_of(n, e), grey) << n << "/" << e;
    EXPECT_EQ(centre_of(6570, 390), InkColour(TileInk(6570, 390, 10)));
    EXPECT_EQ(s.MapSaveDrawing, 0);
    EXPECT_EQ(s.MapDrawnOnce, 1);
  }
}

TEST_F(TileMosaic, PaletteWorkChangesTheColourTableOnly) {
  MapState& s = display_->mutable_state();
  s.MapScale = 50;
  s.ZoomFactor = 1;
  const auto interior = [&] {
    const MapView& v = display_->view();
    const double n = std::floor(kCentreN / 50) * 50, e = std::floor(kCentreE / 50) * 50;
    return std::pair{
        At(display_->picture(), static_cast<int>(v.PixelX(kCentreE)), static_cast<int>(v.PixelY(kCentreN))),
        TileInk(static_cast<std::int64_t>(n), static_cast<std::int64_t>(e), 50)};
  };
  display_->DrawMap();
  auto [plain, ink] = interior();
  EXPECT_EQ(plain, InkColour(ink));
  EXPECT_EQ(s.Palette.paletteAvailable, 1);

  s.Palette.backgroundMode = 1;  // dark: every palette byte * 0.6
  display_->DrawMap();
  const QColor want(static_cast<int>(RoundHalfEven(plain.red() * 0.6)),
                    static_cast<int>(RoundHalfEven(plain.green() * 0.6)),
                    static_cast<int>(RoundHalfEven(plain.blue() * 0.6)));
  EXPECT_EQ(interior().first, want);

  s.Palette.backgroundMode = 2;  // bright: * 1.6, at most 255
  s.Palette.markedInk = ink;     // and the ink of the centre tile yellow
  display_->DrawMap();
  EXPECT_EQ(interior().first, QColor(255, 255, 0));
  ASSERT_EQ(s.Palette.paletteShown.size(), 64u);
  EXPECT_EQ(s.Palette.paletteShown[4 * ink], 0);
  EXPECT_EQ(s.Palette.paletteShown[4 * ink + 1], 255);
  EXPECT_EQ(s.Palette.paletteShown[4 * ink + 2], 255);
  EXPECT_EQ(s.Palette.paletteShown[4 * 15], 255);  // white stays white
  // The tile files are as they were: the cache decoded each of them once.
  const auto reads = display_->cache().file_reads();
  display_->DrawMap();
  EXPECT_EQ(display_->cache().file_reads(), reads);
}

TEST_F(TileMosaic, ATileOfMoreThan600000BytesClearsTheMarkedInk) {
  testing::TempFolder root, index;
  const fs::path folder = root.path() / "M0050";
  testing::WritePatternTiles(folder, 6550, 6600, 350, 400, 50);
  // The south-west tile in 256 colours: it is painted first.
  auto tile8 = Tile::Make(8, std::vector<std::uint32_t>(256, 0x123456));
  std::string error;
  ASSERT_TRUE(platform::WriteFileAtomically(folder / "65500350.BMP", tile8.bytes(), &error, false));
  MapDisplay d(root.path(), index.path());
  d.BuildMapIndex();
  MapState& s = d.mutable_state();
  s.MapWidthPx = 400;
  s.MapHeightPx = 400;
  s.MapScale = 50;
  s.ZoomFactor = 0.5;
  s.CentreNorth = 6600;
  s.CentreEast = 400;
  s.Palette.markedInk = 3;
  s.Palette.paletteAvailable = 1;
  d.DrawMap();
  EXPECT_EQ(s.Palette.markedInk, -1);
  EXPECT_TRUE(s.Palette.frameClosed);
  // A 16-colour tile painted after it makes the palette available again.
  EXPECT_EQ(s.Palette.paletteAvailable, 1);
  EXPECT_EQ(At(d.picture(), static_cast<int>(d.view().PixelX(397)), static_cast<int>(d.view().PixelY(6597))),
            QColor(0x12, 0x34, 0x56));
}

TEST_F(TileMosaic, AChangedTileFileIsReadAgain) {
  MapState& s = display_->mutable_state();
  s.MapScale = 10;
  s.ZoomFactor = 1;
  display_->DrawMap();
  const auto reads = display_->cache().file_reads();
  display_->DrawMap();
  EXPECT_EQ(display_->cache().file_reads(), reads);
  // Replace the centre tile by a 24-bit one of one colour.
  const std::string name = TileName(6580, 400);
  auto tile24 = Tile::Make(24);
  for (int r = 0; r < 1000; ++r)
    for (int c = 0; c < 1000; ++c) tile24.SetPixel(r, c, 0x204060);
  std::string error;
  testing::TempFolder scratch;
  ASSERT_TRUE(platform::WriteFileAtomically(scratch.path() / name, tile24.bytes(), &error, false));
  const fs::path target = root_->path() / "M0010" / name;
  const fs::path keep = scratch.path() / "keep.bmp";
  fs::copy_file(target, keep);
  fs::copy_file(scratch.path() / name, target, fs::copy_options::overwrite_existing);
  display_->DrawMap();
  EXPECT_EQ(display_->cache().file_reads(), reads + 1);
  EXPECT_EQ(At(display_->picture(), static_cast<int>(display_->view().PixelX(kCentreE)),
               static_cast<int>(display_->view().PixelY(kCentreN))),
            QColor(0x20, 0x40, 0x60));
  fs::copy_file(keep, target, fs::copy_options::overwrite_existing);
}

}  // namespace
}  // namespace zeblon::map
