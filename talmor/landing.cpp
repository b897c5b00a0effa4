#include "talmor/landing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "geodesy/geodesy.h"
#include "map/map_tile.h"

namespace talmor {

namespace {

constexpr int kNodes = 1000 / kNodeStep + 1;  // node 20 is the (virtual) pixel 1000
// Pixel rows and columns of points within the bound (9999000 m at 2 m a pixel is
// 4999500) made positive.
constexpr double kPixelOffset = 8388608;

// Northing and easting side by side.
typedef double V2 __attribute__((vector_size(16)));
typedef std::int32_t I2 __attribute__((vector_size(8)));
typedef std::int64_t L2 __attribute__((vector_size(16)));
static_assert(sizeof(Landing) == sizeof(I2));

// The converted point, NaN when it cannot be converted (not checked against the bound).
void ConvertPoint(double rt90_north, double rt90_east, double& n, double& e) {
  n = e = NAN;
  try {
    geodesy::ConvertRt90ToUtm33(rt90_east, rt90_north, e, n);
  } catch (const geodesy::GeodesyError&) {
    n = e = NAN;
  }
}

// The second difference of three neighbouring nodes, taken at the middle one.
double SecondDifference(double a, double b, double c) { return std::fabs(a - 2 * b + c); }

}  // namespace

Landing ExactLanding(double rt90_north, double rt90_east, int scale) {
  double n = 0, e = 0;
  ConvertPoint(rt90_north, rt90_east, n, e);
  if (!(std::fabs(n) <= kUtmBound) || !(std::fabs(e) <= kUtmBound)) return {};  // NaN too
  const double pixels_per_km = 1000.0 / scale;
  const double n_km = n / 1000, e_km = e / 1000;
  const std::int64_t cn = zeblon::map::TileCornerKm(n_km, scale), ce = zeblon::map::TileCornerKm(e_km, scale);
  const int row = std::clamp(static_cast<int>(std::floor((n_km - static_cast<double>(cn)) * pixels_per_km)), 0, 999);
  const int col = std::clamp(static_cast<int>(std::floor((e_km - static_cast<double>(ce)) * pixels_per_km)), 0, 999);
  return {static_cast<std::int32_t>(cn / scale * 1000 + row), static_cast<std::int32_t>(ce / scale * 1000 + col)};
}

namespace {

// The exactly converted nodes of a source tile (those that are needed) and, at
// each node, the larger for northing and easting of the sum of the second
// differences along and across the rows.
struct Nodes {
  double n[kNodes][kNodes], e[kNodes][kNodes], curvature[kNodes][kNodes];
};

void ConvertNodeRows(const SourceCorner& corner, double s, int k_low, int k_high, Nodes& nodes) {
  const double north0 = corner.northKm * 1000 + 0.5 * s, east0 = corner.eastKm * 1000 + 0.5 * s;
  for (int k = k_low; k <= k_high; ++k)
    for (int j = 0; j < kNodes; ++j)
      ConvertPoint(north0 + k * kNodeStep * s, east0 + j * kNodeStep * s, nodes.n[k][j], nodes.e[k][j]);
}

// Needs node rows k - 1 to k + 1 (0 to 2 for the first row, the last three for
// the last).
void CurvatureOfRow(int k, Nodes& nodes) {
  const int km = std::clamp(k, 1, kNodes - 2);  // the middle row of the three
  for (int j = 0; j < kNodes; ++j) {
    const int jm = std::clamp(j, 1, kNodes - 2);
    const double across_n = SecondDifference(nodes.n[km - 1][j], nodes.n[km][j], nodes.n[km + 1][j]);
    const double across_e = SecondDifference(nodes.e[km - 1][j], nodes.e[km][j], nodes.e[km + 1][j]);
    const double along_n = SecondDifference(nodes.n[k][jm - 1], nodes.n[k][jm], nodes.n[k][jm + 1]);
    const double along_e = SecondDifference(nodes.e[k][jm - 1], nodes.e[k][jm], nodes.e[k][jm + 1]);
    nodes.curvature[k][j] = std::max(across_n + along_n, across_e + along_e);  // NaN stays NaN
  }
}

// Landings made positive (a whole number of tiles more than the grid reaches)
// so that the tile is a division without a sign.
constexpr std::int32_t kShift = 8000000;

// Where the packed landings of a tile go, with the tile's base tile (made
// positive, less 16).
struct Packing {
  std::uint32_t* out;
  std::uint32_t baseRow, baseColumn;
  Packing(std::uint32_t* o, std::pair<std::int32_t, std::int32_t> base)
      : out(o),
        baseRow(static_cast<std::uint32_t>(base.first + kShift / 1000 - 16)),
        baseColumn(static_cast<std::uint32_t>(base.second + kShift / 1000 - 16)) {}

  std::uint32_t Pack(const Landing& l) const {
    if (l.row == Landing::kNowhere) return packed::kNowhere;
    const std::uint32_t row = static_cast<std::uint32_t>(l.row + kShift);
    const std::uint32_t column = static_cast<std::uint32_t>(l.column + kShift);
    const std::uint32_t tr = row / 1000, tc = column / 1000;
    const std::uint32_t dr = tr - baseRow, dc = tc - baseColumn;  // 16 + tiles from the base
    const std::uint32_t r = row - tr * 1000, q = column - tc * 1000;
    const bool interior = r - 1 < 998 && q - 1 < 998;
    return (dr | dc) >= 32 ? packed::kElsewhere
                           : dr << 26 | dc << packed::kTileShift | (interior ? packed::kInterior : 0) | (r * 1000 + q);
  }
};

// The landings of one band from the nodes of rows band and band + 1 and their
// curvature. With `pack` they go packed into pack->out (and `out` is scratch).
void LandRows(const SourceCorner& corner, int scale, int band, const Nodes& nodes, Landing* out,
              const Packing* pack = nullptr) {
  const double s = scale;
  const double north0 = corner.northKm * 1000 + 0.5 * s;
  const double east0 = corner.eastKm * 1000 + 0.5 * s;
  const int first_row = band * kBandRows;
  auto exact_at = [&](int r, int c) { return ExactLanding(north0 + r * s, east0 + c * s, scale); };
  const double* n0 = nodes.n[band];
  const double* n1 = nodes.n[band + 1];
  const double* e0 = nodes.e[band];
  const double* e1 = nodes.e[band + 1];
  const double* curvature0 = nodes.curvature[band];
  const double* curvature1 = nodes.curvature[band + 1];
  const double inverse = 1.0 / s;
  for (int j = 0; j < kNodes - 1; ++j) {
    const int c0 = j * kNodeStep;
    // Eight times the bound of the bilinear error, and a floor for the rounding
    // of the arithmetic (metres); NaN when a node could not be converted.
    const double margin = std::max({curvature0[j], curvature0[j + 1], curvature1[j], curvature1[j + 1]}) + 1e-6;
    const double margin_px = margin * inverse + 1e-7;
    // The interpolated points of a cell are weighted means of its corners, so
    // they lie within the corners' range.
    const double corner_n[4] = {n0[j], n0[j + 1], n1[j], n1[j + 1]}, corner_e[4] = {e0[j], e0[j + 1], e1[j], e1[j + 1]};
    const double low_n = *std::min_element(corner_n, corner_n + 4), high_n = *std::max_element(corner_n, corner_n + 4);
    const double low_e = *std::min_element(corner_e, corner_e + 4), high_e = *std::max_element(corner_e, corner_e + 4);
    const double inside = kUtmBound - margin, outside = kUtmBound + margin;
    const bool interpolate = margin_px < 0.05;  // false for NaN
    // The cell's landings packed from the scratch landings (when packing).
    auto pack_cell = [&] {
      if (!pack) return;
      for (int r = 0; r < kBandRows; ++r)
        for (int c = c0; c < c0 + kNodeStep; ++c) pack->out[r * 1000 + c] = pack->Pack(out[r * 1000 + c]);
    };
    if (interpolate && (low_n > outside || high_n < -outside || low_e > outside || high_e < -outside)) {
      for (int r = 0; r < kBandRows; ++r)
        for (int c = c0; c < c0 + kNodeStep; ++c) out[r * 1000 + c] = {};  // all beyond the bound
      pack_cell();
      continue;
    }
    if (!interpolate || low_n <= -inside || high_n >= inside || low_e <= -inside || high_e >= inside) {
      for (int r = 0; r < kBandRows; ++r)
        for (int c = c0; c < c0 + kNodeStep; ++c) out[r * 1000 + c] = exact_at(first_row + r, c);
      pack_cell();
      continue;
    }
    // Pixels whose interpolated point lies closer to a pixel edge than the margin
    // are marked and converted exactly afterwards.
    const V2 low = {margin_px, margin_px}, high = {1 - margin_px, 1 - margin_px};
    const V2 offset = {kPixelOffset, kPixelOffset};
    const I2 whole_offset = {static_cast<std::int32_t>(kPixelOffset), static_cast<std::int32_t>(kPixelOffset)};
    // Every pixel of the cell goes to `store` with its interpolated row and
    // column, then those in doubt to `fix`.
    auto interpolate_cell = [&](auto store, auto fix) {
      for (int r = 0; r < kBandRows; ++r) {
        const double t = static_cast<double>(r) / kNodeStep;
        const double nl = n0[j] + t * (n1[j] - n0[j]), nr = n0[j + 1] + t * (n1[j + 1] - n0[j + 1]);
        const double el = e0[j] + t * (e1[j] - e0[j]), er = e0[j + 1] + t * (e1[j + 1] - e0[j + 1]);
        // Northing and easting side by side, in pixels.
        const V2 left = V2{nl, el} * inverse, step = V2{nr - nl, er - el} * (inverse / kNodeStep);
        std::int64_t unsure[kNodeStep];
        std::int64_t any = 0;
        double u = 0;
        for (int k = 0; k < kNodeStep; ++k, u += 1) {
          // Within 5000000 of 0 inside the bound: the floor is the truncation of
          // the number made positive.
          const V2 p = left + u * step;
          const I2 whole = __builtin_convertvector(p + offset, I2) - whole_offset;
          const V2 part = p - __builtin_convertvector(whole, V2);
          const L2 doubt = (part < low) | (part > high);
          unsure[k] = doubt[0] | doubt[1];
          any |= unsure[k];
          store(r, k, whole);
        }
        if (!any) continue;
        for (int k = 0; k < kNodeStep; ++k)
          if (unsure[k]) fix(r, k);
      }
    };
    if (pack) {
      // Every pixel of the cell inside one destination tile, none on its edge,
      // that tile near the base: packed straight away.
      const std::int32_t row_low = static_cast<std::int32_t>(std::floor(low_n * inverse - margin_px)) + kShift;
      const std::int32_t row_high = static_cast<std::int32_t>(std::floor(high_n * inverse + margin_px)) + kShift;
      const std::int32_t column_low = static_cast<std::int32_t>(std::floor(low_e * inverse - margin_px)) + kShift;
      const std::int32_t column_high = static_cast<std::int32_t>(std::floor(high_e * inverse + margin_px)) + kShift;
      const std::int32_t tr = row_low / 1000, tc = column_low / 1000;
      const std::uint32_t dr = static_cast<std::uint32_t>(tr) - pack->baseRow;
      const std::uint32_t dc = static_cast<std::uint32_t>(tc) - pack->baseColumn;
      if (row_low - tr * 1000 >= 1 && row_high - tr * 1000 <= 998 && column_low - tc * 1000 >= 1 &&
          column_high - tc * 1000 <= 998 && (dr | dc) < 32) {
        const std::uint32_t tile = dr << 26 | dc << packed::kTileShift | packed::kInterior;
        const std::int32_t first_row_of_tile = tr * 1000 - kShift, first_column_of_tile = tc * 1000 - kShift;
        interpolate_cell(
            [&](int r, int k, const I2& whole) {
              pack->out[r * 1000 + c0 + k] = tile | static_cast<std::uint32_t>((whole[0] - first_row_of_tile) * 1000 +
                                                                               (whole[1] - first_column_of_tile));
            },
            [&](int r, int k) { pack->out[r * 1000 + c0 + k] = pack->Pack(exact_at(first_row + r, c0 + k)); });
        continue;
      }
    }
    interpolate_cell(
        [&](int r, int k, const I2& whole) {
          std::memcpy(static_cast<void*>(&out[r * 1000 + c0 + k]), &whole, sizeof whole);
        },
        [&](int r, int k) { out[r * 1000 + c0 + k] = exact_at(first_row + r, c0 + k); });
    pack_cell();
  }
}

}  // namespace

void LandBand(const SourceCorner& corner, int scale, int band, bool exact, Landing* out) {
  if (exact) {
    const double s = scale;
    const double north0 = corner.northKm * 1000 + 0.5 * s, east0 = corner.eastKm * 1000 + 0.5 * s;
    for (int r = 0; r < kBandRows; ++r)
      for (int c = 0; c < 1000; ++c)
        out[r * 1000 + c] = ExactLanding(north0 + (band * kBandRows + r) * s, east0 + c * s, scale);
    return;
  }
  Nodes nodes;
  ConvertNodeRows(corner, scale, std::max(0, band - 1), std::min(kNodes - 1, band + 2), nodes);
  CurvatureOfRow(band, nodes);
  CurvatureOfRow(band + 1, nodes);
  LandRows(corner, scale, band, nodes, out);
}

void LandTile(const SourceCorner& corner, int scale, bool exact, Landing* out) {
  if (exact) {
    for (int band = 0; band < kBands; ++band) LandBand(corner, scale, band, true, out + band * kBandRows * 1000);
    return;
  }
  Nodes nodes;
  ConvertNodeRows(corner, scale, 0, kNodes - 1, nodes);
  for (int k = 0; k < kNodes; ++k) CurvatureOfRow(k, nodes);
  for (int band = 0; band < kBands; ++band) LandRows(corner, scale, band, nodes, out + band * kBandRows * 1000);
}

std::vector<std::pair<std::int64_t, std::int64_t>> DestinationTilesNear(const SourceCorner& corner, int scale) {
  const double s = scale;
  const double north0 = corner.northKm * 1000 + 0.5 * s, east0 = corner.eastKm * 1000 + 0.5 * s;
  double min_n = INFINITY, max_n = -INFINITY, min_e = INFINITY, max_e = -INFINITY;
  for (int r : {0, 500, 999})
    for (int c : {0, 500, 999}) {
      double n = 0, e = 0;
      ConvertPoint(north0 + r * s, east0 + c * s, n, e);
      if (!std::isfinite(n) || !std::isfinite(e)) return {};
      min_n = std::min(min_n, n), max_n = std::max(max_n, n);
      min_e = std::min(min_e, e), max_e = std::max(max_e, e);
    }
  // The outline bends a little between the points taken: a margin of 1 % of the
  // tile and a few pixels.
  const double edge = 1000 * s, slack = 0.01 * edge + 4 * s;
  const double bound = kUtmBound + edge;
  if (min_n - slack > bound || max_n + slack < -bound || min_e - slack > bound || max_e + slack < -bound) return {};
  auto tile = [&](double metres) {
    return static_cast<std::int64_t>(std::floor(std::clamp(metres, -bound, bound) / edge)) * scale;
  };
  std::vector<std::pair<std::int64_t, std::int64_t>> tiles;
  for (std::int64_t cn = tile(min_n - slack); cn <= tile(max_n + slack); cn += scale)
    for (std::int64_t ce = tile(min_e - slack); ce <= tile(max_e + slack); ce += scale) tiles.emplace_back(cn, ce);
  return tiles;
}

std::pair<std::int32_t, std::int32_t> BaseTileOf(const SourceCorner& corner, int scale) {
  const double s = scale;
  const Landing centre = ExactLanding(corner.northKm * 1000 + 500.5 * s, corner.eastKm * 1000 + 500.5 * s, scale);
  if (centre.row == Landing::kNowhere) return {0, 0};
  return {TileOfPixel(centre.row), TileOfPixel(centre.column)};
}

void PackTile(const SourceCorner& corner, int scale, bool exact, std::uint32_t* out) {
  const auto base = BaseTileOf(corner, scale);
  thread_local std::vector<Landing> scratch(kBandRows * 1000);
  Nodes nodes;
  if (!exact) {
    ConvertNodeRows(corner, scale, 0, kNodes - 1, nodes);
    for (int k = 0; k < kNodes; ++k) CurvatureOfRow(k, nodes);
  }
  for (int band = 0; band < kBands; ++band) {
    const Packing pack(out + static_cast<std::size_t>(band) * kBandRows * 1000, base);
    if (exact) {
      LandBand(corner, scale, band, true, scratch.data());
      for (int i = 0; i < kBandRows * 1000; ++i) pack.out[i] = pack.Pack(scratch[i]);
    } else {
      LandRows(corner, scale, band, nodes, scratch.data(), &pack);
    }
  }
}

LandingPlanner::LandingPlanner(std::vector<SourceCorner> tiles, int scale, bool exact, int threads)
    : tiles_(std::move(tiles)),
      scale_(scale),
      exact_(exact),
      jobs_(tiles_.size()),
      ring_(new std::uint32_t[kRing * kTileLandings]),
      ready_(new std::atomic<bool>[jobs_]) {
  for (std::size_t j = 0; j < jobs_; ++j) ready_[j].store(false, std::memory_order_relaxed);
  if (threads < 0) threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()) - 1, 0, 3);
  threads = static_cast<int>(std::min(static_cast<std::size_t>(threads), jobs_));
  for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
}

LandingPlanner::~LandingPlanner() {
  abort_.store(true);
  released_.store(jobs_ + kRing);
  released_.notify_all();
  for (auto& t : workers_) t.join();
}

void LandingPlanner::Work() {
  for (std::size_t job = next_.fetch_add(1); job < jobs_; job = next_.fetch_add(1)) {
    // Wait until the job that held this place in the ring has been released.
    for (std::size_t done = released_.load(std::memory_order_acquire); done + kRing <= job;
         done = released_.load(std::memory_order_acquire))
      released_.wait(done);
    if (abort_.load(std::memory_order_relaxed)) return;
    PackTile(tiles_[job], scale_, exact_, Slot(job));
    ready_[job].store(true, std::memory_order_release);
    ready_[job].notify_all();
  }
}

const std::uint32_t* LandingPlanner::Band(std::size_t tile, int band) {
  if (workers_.empty()) {
    if (band == 0) PackTile(tiles_[tile], scale_, exact_, Slot(tile));
  } else {
    ready_[tile].wait(false, std::memory_order_acquire);
  }
  return Slot(tile) + static_cast<std::size_t>(band) * kBandRows * 1000;
}

void LandingPlanner::Release(std::size_t tile, int band) {
  if (band != kBands - 1) return;
  released_.store(tile + 1, std::memory_order_release);
  released_.notify_all();
}

}  // namespace talmor
