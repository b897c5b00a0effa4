// Where the pixels of a source tile land: for the centre of every source pixel
// (RT90) the destination pixel (UTM zone 33) that holds the converted point.
//
// A destination pixel is named by its place in the whole grid of the scale: row
// Int(northing / scale) and column Int(easting / scale), so that the tile holding
// it has its corner at Int(row / 1000) x scale km north and the pixel lies in
// row `row mod 1000` of that tile (likewise for the column). A point beyond the
// bound of 9999000 m, or one that cannot be converted, lands nowhere.
//
// The point conversion runs exactly on a grid of nodes every kNodeStep pixels;
// the points between are interpolated bilinearly within each cell of the grid
// where that provably lands them in the same pixel as converting them exactly.
// The interpolation error of a cell is estimated from the second differences of
// the nodes around it (the error of bilinear interpolation is at most an eighth
// of the sum of the second derivatives along the two directions times the
// squared cell edge, which the second differences measure; the margin taken is
// eight times that estimate, plus a micrometre for rounding), and every point
// closer than the margin to a pixel edge is converted exactly. A cell whose
// margin is a twentieth of a pixel or more, whose nodes cannot all be
// converted, or which reaches to within the margin of the bound is converted
// pixel by pixel; one wholly beyond the bound lands nowhere. So every landing
// equals the exact one (the tests compare them pixel by pixel at every scale).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace talmor {

inline constexpr double kUtmBound = 9999000.0;  // converted points beyond this (metres) are skipped

struct Landing {
  static constexpr std::int32_t kNowhere = INT32_MIN;
  std::int32_t row = kNowhere;     // Int(northing / scale)
  std::int32_t column = kNowhere;  // Int(easting / scale)
};

// Int(v / 1000) for a pixel row or column: the tile of the pixel.
inline std::int32_t TileOfPixel(std::int32_t v) { return v >= 0 ? v / 1000 : -((999 - v) / 1000); }

// The landing of one point by the full conversion: the RT90 northing and easting
// of a source pixel centre, in metres.
Landing ExactLanding(double rt90_north, double rt90_east, int scale);

// The source tile whose south-west corner is at `northKm`, `eastKm`.
struct SourceCorner {
  double northKm = 0;
  double eastKm = 0;
};

// The landings of one band of rows, kBandRows x 1000, row by row from the south,
// and of a whole tile, band after band (its nodes converted once).
inline constexpr int kBandRows = 50;
inline constexpr int kBands = 1000 / kBandRows;
inline constexpr int kNodeStep = 50;  // a band is one row of interpolation cells
inline constexpr std::size_t kTileLandings = 1000 * 1000;
void LandBand(const SourceCorner& corner, int scale, int band, bool exact, Landing* out);
void LandTile(const SourceCorner& corner, int scale, bool exact, Landing* out);

// The corners (in km) of the destination tiles that a source tile reaches,
// estimated from its outline (a few pixels of margin); empty when the outline
// cannot be converted. Only a hint for when a destination tile is finished.
std::vector<std::pair<std::int64_t, std::int64_t>> DestinationTilesNear(const SourceCorner& corner, int scale);

// The landings as the placement reads them, 32 bits each: the pixel's place in
// its destination tile (row x 1000 + column, bits 0 to 19), whether it has all
// four neighbours in that tile (bit 20), and the tile, relative to a base tile
// of the source tile (bits 21 to 30: 16 + rows of tiles north of it, times 32,
// plus 16 + columns east). Two values with bit 31 set: nowhere, and a landing
// too far from the base tile, which the reader works out itself.
namespace packed {
inline constexpr std::uint32_t kNowhere = 0xFFFFFFFF;
inline constexpr std::uint32_t kElsewhere = 0xFFFFFFFE;
inline constexpr std::uint32_t kInterior = 1u << 20;
inline constexpr std::uint32_t kPlace = kInterior - 1;
inline constexpr int kTileShift = 21;
inline std::int32_t TileRows(std::uint32_t l) { return static_cast<std::int32_t>(l >> 26) - 16; }
inline std::int32_t TileColumns(std::uint32_t l) { return static_cast<std::int32_t>((l >> 21) & 31) - 16; }
}  // namespace packed

// The base tile of a source tile (tile row and column in the grid of the scale):
// where the centre of the tile lands, or 0, 0 when it lands nowhere.
std::pair<std::int32_t, std::int32_t> BaseTileOf(const SourceCorner& corner, int scale);

// Packs the landings of a tile, `out` receiving kTileLandings values.
void PackTile(const SourceCorner& corner, int scale, bool exact, std::uint32_t* out);

// Works out the landings of a list of source tiles, tile by tile in order, on
// worker threads ahead of the caller, which takes the bands in the same order
// (Band, then Release). Without worker threads (one processor, or threads 0)
// Band works the tile out itself. A bounded ring of tiles holds the results.
class LandingPlanner {
 public:
  // `threads` < 0: one fewer than the processors, at most 3 (the placement of a
  // tile takes longer than working out its landings).
  LandingPlanner(std::vector<SourceCorner> tiles, int scale, bool exact, int threads = -1);
  ~LandingPlanner();
  LandingPlanner(const LandingPlanner&) = delete;
  LandingPlanner& operator=(const LandingPlanner&) = delete;

  // The packed landings of band `band` of tile `tile`, waiting for them. The
  // caller takes the bands in order and releases each before asking for the
  // one after it.
  const std::uint32_t* Band(std::size_t tile, int band);
  void Release(std::size_t tile, int band);
  const SourceCorner& Corner(std::size_t tile) const { return tiles_[tile]; }
  int scale() const { return scale_; }

 private:
  void Work();
  std::uint32_t* Slot(std::size_t tile) { return ring_.get() + (tile % kRing) * kTileLandings; }

  static constexpr std::size_t kRing = 5;  // tiles held at once
  const std::vector<SourceCorner> tiles_;
  const int scale_;
  const bool exact_;
  const std::size_t jobs_;
  std::unique_ptr<std::uint32_t[]> ring_;
  std::unique_ptr<std::atomic<bool>[]> ready_;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::size_t> released_{0};  // tiles released by the caller, in order
  std::atomic<bool> abort_{false};
  std::vector<std::thread> workers_;
};

}  // namespace talmor
