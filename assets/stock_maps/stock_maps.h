// The stock map tiles: shorelines, lakes, borders and rivers drawn into 16-colour
// MapTile bitmaps of the map zone (UTM zone 33).
//
// The data are GMT's multisegment dumps of the GSHHG shorelines and the WDBII
// borders and rivers (lines of "lon lat", each piece headed by a ">" line ending
// in "Level N"). Shoreline pieces come cut at GMT's bin edges and at the edges of
// the asked region; every piece keeps land on its left (land rings run
// anticlockwise, lake rings clockwise). AssembleRings joins the pieces again and
// closes what leaves the region along its edge, so that each level can be filled
// by the even-odd rule, level after level (land, lake, island in a lake, pond).
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "map/bmp.h"

namespace zeblon::stock_maps {

struct LonLat {
  double lon = 0;
  double lat = 0;
};

// Map zone metres: easting (with the false easting) and northing.
struct ZoneXy {
  double east = 0;
  double north = 0;
};

// One piece of a GMT dump and its level (shoreline 1 land, 2 lake, 3 island in a
// lake, 4 pond; river and border classes likewise).
struct Piece {
  int level = 0;
  std::vector<LonLat> points;
};

// Reads a GMT multisegment text; lines that are not two numbers are skipped.
std::vector<Piece> ReadPieces(std::istream& in);

struct Region {
  double west = 0, east = 0, south = 0, north = 0;  // degrees
};

// Closed rings of one level (the last point repeats the first).
struct Ring {
  int level = 0;
  std::vector<LonLat> points;
};

// Joins shoreline pieces end to start (ends closer than `join_degrees` meet) and
// closes each chain that ends on the region's edge by walking along the edge, with
// land kept on the left, to the next chain of its level. A chain that neither
// joins nor ends on the edge is closed by a straight line.
// `straight` (when given) counts those.
std::vector<Ring> AssembleRings(const std::vector<Piece>& pieces, const Region& region, double join_degrees = 2e-4,
                                int* straight = nullptr);

// The map zone (UTM 33, our own geodesy) of a point.
ZoneXy ToZone(LonLat p);
// The point of map zone metres (nullopt-free: false when the inverse fails).
bool FromZone(ZoneXy xy, LonLat& p);

// Runs `gmt` with the arguments (never through a shell) and collects what it writes
// to its output; GMT's session file goes to the folder `scratch` (GMT_TMPDIR). False
// when gmt cannot start, fails, or runs longer than `timeout_ms` (then it is killed).
bool RunGmt(const std::vector<std::string>& args, const std::string& scratch, std::string& out,
            int timeout_ms = 300000);

// Inks of the stock palette.
enum Ink : std::uint8_t {
  kSea = 0,
  kLand = 1,
  kLake = 2,
  kCoast = 3,
  kLakeShore = 4,
  kRiver = 5,
  kBorder = 6,
  kEmptyInk = 15,  // the empty colour of converted tiles; no stock pixel uses it
};
// The 16 palette entries, 0xRRGGBB.
const std::array<std::uint32_t, 16>& StockPalette();

// A projected polyline or ring and its box, in map zone metres.
struct ZoneLine {
  int level = 0;
  std::vector<ZoneXy> points;
  double min_east = 0, max_east = 0, min_north = 0, max_north = 0;
};
ZoneLine Project(int level, const std::vector<LonLat>& points);

// A block of pixels of one scale, row 0 the southernmost, column 0 the westernmost;
// pixel (row r, column c) covers east0 + c*m .. east0 + (c+1)*m and likewise north.
class Canvas {
 public:
  Canvas(double east0, double north0, double metres_per_pixel, int width, int height, std::uint8_t ink);

  int width() const { return width_; }
  int height() const { return height_; }
  std::uint8_t At(int row, int column) const { return pixels_[static_cast<size_t>(row) * width_ + column]; }

  // Pixels whose centre lies inside the rings by the even-odd rule take `ink`.
  void FillRings(const std::vector<ZoneLine>& rings, std::uint8_t ink);
  // A polyline `thickness` pixels wide.
  void DrawLine(const ZoneLine& line, std::uint8_t ink, int thickness);

  // The 1000 x 1000 tile whose south-west pixel is (row0, column0), stock palette.
  map::Tile CutTile(int row0, int column0) const;
  // Whether a 1000 x 1000 block holds an ink.
  bool Holds(int row0, int column0, std::uint8_t ink) const;

 private:
  bool Overlaps(const ZoneLine& line, double margin) const;
  void Stamp(int row, int column, std::uint8_t ink, int thickness);

  double east0_, north0_, m_;
  int width_, height_;
  std::vector<std::uint8_t> pixels_;
};

// What one scale's tiles are drawn from and how.
struct ScaleData {
  std::vector<ZoneLine> rings[5];  // by level 1 to 4 (index 0 unused)
  std::vector<ZoneLine> shores;    // the shoreline pieces as lines
  std::vector<ZoneLine> borders;
  std::vector<ZoneLine> rivers;
};

struct LineWidths {
  int coast = 1, border = 1, river = 1;
};

// Draws the band of tiles of one scale whose south edge is `north_km` and which
// spans the tile columns from `west_km` (inclusive) for `columns` tiles.
Canvas DrawBand(const ScaleData& data, int scale_km, std::int64_t north_km, std::int64_t west_km, int columns,
                const LineWidths& widths);

}  // namespace zeblon::stock_maps
