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
// The interpolation error of a cell is bounded from the second differences of the
// nodes around it (the error of bilinear interpolation is at most an eighth of
// the sum of the second differences of the two directions; the margin taken is
// eight times that), and every point closer than the margin to a pixel edge or
// to the bound is converted exactly. A cell whose margin is a twentieth of a
// pixel or more, or whose nodes cannot all be converted, is converted pixel by
// pixel. So every landing equals the exact one.
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

// The source tile whose south-west corner is at `north_km`, `east_km`.
struct SourceCorner {
  double north_km = 0;
  double east_km = 0;
};

// The landings of one band of rows, kBandRows x 1000, row by row from the south.
inline constexpr int kBandRows = 50;
inline constexpr int kBands = 1000 / kBandRows;
inline constexpr int kNodeStep = 50;  // a band is one row of interpolation cells
void LandBand(const SourceCorner& corner, int scale, int band, bool exact, Landing* out);

// The corners (in km) of the destination tiles that a source tile reaches,
// estimated from its outline (a few pixels of margin); empty when the outline
// cannot be converted. Only a hint for when a destination tile is finished.
std::vector<std::pair<std::int64_t, std::int64_t>> DestinationTilesNear(const SourceCorner& corner, int scale);

// Works out the landings of a list of source tiles, band by band in order, on
// worker threads ahead of the caller, which takes the bands in the same order
// (Band, then Release). Without worker threads (one processor, or threads 0)
// Band works the band out itself. A bounded ring of bands holds the results.
class LandingPlanner {
 public:
  // `threads` < 0: one fewer than the processors, at most 7.
  LandingPlanner(std::vector<SourceCorner> tiles, int scale, bool exact, int threads = -1);
  ~LandingPlanner();
  LandingPlanner(const LandingPlanner&) = delete;
  LandingPlanner& operator=(const LandingPlanner&) = delete;

  // The landings of band `band` of tile `tile`, waiting for them. The caller
  // takes the bands in order and releases each before asking for the one
  // after it.
  const Landing* Band(std::size_t tile, int band);
  void Release(std::size_t tile, int band);

 private:
  void Work();
  Landing* Slot(std::size_t job) { return ring_.get() + (job % kRing) * kBandRows * 1000; }

  static constexpr std::size_t kRing = 64;  // bands held at once
  const std::vector<SourceCorner> tiles_;
  const int scale_;
  const bool exact_;
  const std::size_t jobs_;
  std::unique_ptr<Landing[]> ring_;
  std::unique_ptr<std::atomic<bool>[]> ready_;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::size_t> released_{0};  // jobs released by the caller, in order
  std::atomic<bool> abort_{false};
  std::vector<std::thread> workers_;
};

}  // namespace talmor
