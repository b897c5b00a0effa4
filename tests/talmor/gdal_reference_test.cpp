// The pixel transfer against an outside reference: GDAL's gdalwarp reprojecting
// the same RT90 tile (EPSG:3021) to UTM zone 33 (EPSG:3006).
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <fstream>
#include <map>

#include "fixture.h"
#include "map/map_tile.h"
#include "talmor/tile_converter.h"

extern char** environ;

namespace {

using namespace talmor_test;

int RunProgram(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveGdal() {
  return RunProgram({"sh", "-c", "command -v gdalwarp >/dev/null && command -v gdal_translate >/dev/null"}) == 0;
}

struct Centroid {
  double north = 0, east = 0;
  int count = 0;
  void Add(double n, double e) { north += n, east += e, ++count; }
};

TEST(GdalReference, PixelsLandWithinOnePixelOfGdalwarp) {
  if (!HaveGdal()) GTEST_SKIP() << "gdalwarp (Debian package gdal-bin) is not installed";
  const fs::path dir = Scratch("gdal_reference");
  const int scale = 2;
  const int north_km = 6580, east_km = 1628;

  // A background of ink 0 with 49 marks of 3 x 3 pixels, each its own ink, away
  // from the edges.
  std::vector<std::uint32_t> palette;
  for (int i = 0; i < 256; ++i) palette.push_back(static_cast<std::uint32_t>(i * 0x010101));
  auto source = zeblon::map::Tile::Make(8, palette);
  std::map<int, std::pair<int, int>> marks;
  int ink = 1;
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 7; ++j, ++ink) {
      const int r = 100 + 133 * i, c = 100 + 133 * j;
      marks[ink] = {r, c};
      for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) source.SetPixel(r + dr, c + dc, static_cast<std::uint32_t>(ink));
    }
  const fs::path bmp = dir / "65801628.BMP";
  WriteBytes(bmp, source.bytes());

  // Ours.
  talmor::TileTransfer transfer(source.EmptyCopy(), scale, talmor::CollisionMode::PrioritizeInks,
                                talmor::NoInkPriority());
  std::string error;
  Recorder rec;
  ASSERT_EQ(transfer.Transfer(source, north_km, east_km, rec.Hooks(), error), talmor::RunEnd::Ready) << error;
  std::map<int, Centroid> ours;
  double min_n = 1e18, min_e = 1e18, max_n = -1e18, max_e = -1e18;
  for (const auto& [name, tile] : transfer.tiles()) {
    const auto corner = zeblon::map::TileCornerOfName(name);
    min_n = std::min(min_n, corner.northKm * 1000), max_n = std::max(max_n, corner.northKm * 1000 + 2000);
    min_e = std::min(min_e, corner.eastKm * 1000), max_e = std::max(max_e, corner.eastKm * 1000 + 2000);
    for (int r = 0; r < 1000; ++r)
      for (int c = 0; c < 1000; ++c) {
        const auto v = static_cast<int>(tile.Pixel(r, c));
        if (v >= 1 && v <= 49)
          ours[v].Add(corner.northKm * 1000 + (r + 0.5) * scale, corner.eastKm * 1000 + (c + 0.5) * scale);
      }
  }

  // GDAL's, on the same extent and pixel size (rows from the north down).
  const fs::path vrt = dir / "source.vrt", raw = dir / "warped.raw";
  ASSERT_EQ(RunProgram({"gdal_translate", "-q", "-of", "VRT", "-a_srs", "EPSG:3021", "-a_ullr",
                        std::to_string(east_km * 1000), std::to_string(north_km * 1000 + 1000 * scale),
                        std::to_string(east_km * 1000 + 1000 * scale), std::to_string(north_km * 1000), bmp.string(),
                        vrt.string()}),
            0);
  ASSERT_EQ(RunProgram({"gdalwarp",
                        "-q",
                        "-overwrite",
                        "-s_srs",
                        "EPSG:3021",
                        "-t_srs",
                        "EPSG:3006",
                        "-r",
                        "near",
                        "-et",
                        "0",
                        "-tr",
                        std::to_string(scale),
                        std::to_string(scale),
                        "-te",
                        std::to_string(min_e),
                        std::to_string(min_n),
                        std::to_string(max_e),
                        std::to_string(max_n),
                        "-of",
                        "ENVI",
                        vrt.string(),
                        raw.string()}),
            0);
  const auto warped = ReadBytes(raw);
  const int width = static_cast<int>((max_e - min_e) / scale), height = static_cast<int>((max_n - min_n) / scale);
  ASSERT_EQ(warped.size(), static_cast<std::size_t>(width) * height);
  std::map<int, Centroid> gdal;
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col) {
      const int v = warped[static_cast<std::size_t>(row) * width + col];
      if (v >= 1 && v <= 49) gdal[v].Add(max_n - (row + 0.5) * scale, min_e + (col + 0.5) * scale);
    }

  ASSERT_EQ(ours.size(), 49u);
  ASSERT_EQ(gdal.size(), 49u);
  double worst = 0;
  for (auto& [mark, c] : ours) {
    const auto& g = gdal[mark];
    const double dn = c.north / c.count - g.north / g.count, de = c.east / c.count - g.east / g.count;
    worst = std::max({worst, std::fabs(dn), std::fabs(de)});
    EXPECT_LE(std::fabs(dn), scale) << "mark " << mark << " northing";
    EXPECT_LE(std::fabs(de), scale) << "mark " << mark << " easting";
  }
  RecordProperty("worst_offset_m", std::to_string(worst));
  std::cout << "largest offset from gdalwarp: " << worst << " m (one pixel is " << scale << " m)\n";
}

}  // namespace
