#include "talmor/tile_converter.h"

#include <algorithm>
#include <cmath>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "map/map_tile.h"
#include "platform/paths.h"

namespace talmor {

namespace {

constexpr double kBound = 9999000.0;  // converted points beyond this (metres) are skipped

const char kDifferentPaths[] = "SOURCE / DESTINATION / TEMP  PATHS  HAVE TO BE DIFFERENT !";
const char kScales[] = "SUPPORTED SCALES ARE 2 10 50 200 1000 5000 !";

// Converts the pixel centres of a source tile, row by row, on worker threads,
// while the caller places the rows already converted. A point that cannot be
// converted becomes NaN and is skipped by the placement.
class RowConverter {
 public:
  RowConverter(double north0, double east0, double scale, int width, int height, bool exact)
      : north0_(north0), east0_(east0), scale_(scale), width_(width), height_(height), exact_(exact),
        // A ring of rows, small enough to stay in the cache; not zero-filled, as
        // each row is written by its worker before it is read.
        north_(new double[static_cast<size_t>(width) * kRing]),
        east_(new double[static_cast<size_t>(width) * kRing]),
        ready_(static_cast<size_t>((height + kBlock - 1) / kBlock)) {
    for (auto& r : ready_) r.store(false, std::memory_order_relaxed);
    // One processor stays with the caller, which places the converted rows.
    const int threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()) - 1, 0, 8);
    if (threads > 0)
      for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
  }
  ~RowConverter() {
    abort_.store(true);
    consumed_.store(height_ + kRing);
    consumed_.notify_all();
    for (auto& t : workers_) t.join();
  }
  // The caller is done with row r: its place in the ring may be reused (told to
  // the workers once per block).
  void Done(int r) {
    if ((r + 1) % kBlock != 0 && r + 1 != height_) return;
    consumed_.store(r + 1, std::memory_order_release);
    consumed_.notify_all();
  }
  // Waits for row r (converting it here when there are no workers).
  void WaitFor(int r) {
    if (workers_.empty()) {
      Convert(r);
      return;
    }
    if (r % kBlock == 0) ready_[static_cast<size_t>(r / kBlock)].wait(false, std::memory_order_acquire);
  }
  double North(int r, int c) const { return north_[static_cast<size_t>(r % kRing) * width_ + c]; }
  double East(int r, int c) const { return east_[static_cast<size_t>(r % kRing) * width_ + c]; }

 private:
  void Work() {
    // Blocks of rows, so the threads meet only once per block.
    for (int b = next_.fetch_add(1); b * kBlock < height_ && !abort_.load(std::memory_order_relaxed);
         b = next_.fetch_add(1)) {
      const int first = b * kBlock, last = std::min(height_, first + kBlock);
      // Wait until the rows that held these places in the ring have been placed.
      for (int done = consumed_.load(std::memory_order_acquire); done < last - kRing;
           done = consumed_.load(std::memory_order_acquire))
        consumed_.wait(done);
      if (abort_.load(std::memory_order_relaxed)) return;
      for (int r = first; r < last; ++r) Convert(r);
      ready_[static_cast<size_t>(b)].store(true, std::memory_order_release);
      ready_[static_cast<size_t>(b)].notify_all();
    }
  }
  bool Exact(double rt90_north, int c, double& n, double& e) const {
    e = n = NAN;
    try {
      geodesy::ConvertRt90ToUtm33(east0_ + c * scale_, rt90_north, e, n);
    } catch (const geodesy::GeodesyError&) {
      e = n = NAN;
    }
    return std::fabs(n) <= kBound && std::fabs(e) <= kBound;  // false for NaN
  }

  // True when `v` (metres) lies within `margin` of a destination pixel edge (the
  // multiples of the scale) or of the bound: there only the exact point decides.
  bool NearEdge(double v, double margin) const {
    const double f = v - std::floor(v / scale_) * scale_;
    return f < margin || scale_ - f < margin || std::fabs(std::fabs(v) - kBound) < margin;
  }

  // Every pixel centre of row r. The conversion is exact at every kStep-th column;
  // between, the points are interpolated along the row when that lands every
  // point in the same destination pixel as the exact conversion would: the
  // interpolation error of a span is measured at its middle (the error of a
  // smooth map over a short span is a parabola, largest there), and a point
  // closer to a pixel edge than twice that error is converted exactly.
  void Convert(int r) {
    const double rt90_north = north0_ + r * scale_;
    double* north = &north_[static_cast<size_t>(r % kRing) * width_];
    double* east = &east_[static_cast<size_t>(r % kRing) * width_];
    if (exact_) {
      for (int c = 0; c < width_; ++c) Exact(rt90_north, c, north[c], east[c]);
      return;
    }
    bool ok0 = Exact(rt90_north, 0, north[0], east[0]);
    for (int c0 = 0; c0 < width_ - 1;) {
      const int c1 = std::min(c0 + kStep, width_ - 1);
      const bool ok1 = Exact(rt90_north, c1, north[c1], east[c1]);
      bool interpolated = false;
      if (ok0 && ok1 && c1 - c0 >= 2) {
        const int cm = (c0 + c1) / 2;
        const double t = static_cast<double>(cm - c0) / (c1 - c0);
        const double n_lin = north[c0] + t * (north[c1] - north[c0]);
        const double e_lin = east[c0] + t * (east[c1] - east[c0]);
        if (Exact(rt90_north, cm, north[cm], east[cm])) {
          const double error = std::max(std::fabs(n_lin - north[cm]), std::fabs(e_lin - east[cm]));
          const double margin = 2 * error + 1e-5;
          if (margin < 0.05 * scale_) {
            interpolated = true;
            for (int c = c0 + 1; c < c1; ++c) {
              if (c == cm) continue;
              const double u = static_cast<double>(c - c0) / (c1 - c0);
              const double n = north[c0] + u * (north[c1] - north[c0]);
              const double e = east[c0] + u * (east[c1] - east[c0]);
              if (NearEdge(n, margin) || NearEdge(e, margin)) {
                Exact(rt90_north, c, north[c], east[c]);
              } else {
                north[c] = n;
                east[c] = e;
              }
            }
          }
        }
      }
      if (!interpolated)
        for (int c = c0 + 1; c < c1; ++c) Exact(rt90_north, c, north[c], east[c]);
      c0 = c1;
      ok0 = ok1;
    }
  }

  static constexpr int kStep = 32;
  static constexpr int kRing = 128;  // a multiple of kBlock
  static constexpr int kBlock = 16;
  const double north0_, east0_, scale_;
  const int width_, height_;
  const bool exact_;
  std::unique_ptr<double[]> north_, east_;
  std::vector<std::atomic<bool>> ready_;
  std::atomic<int> next_{0};
  std::atomic<int> consumed_{0};
  std::atomic<bool> abort_{false};
  std::vector<std::thread> workers_;
};

}  // namespace

InkPriority NoInkPriority() {
  InkPriority p;
  p.fill(kUnlistedInk);
  return p;
}

bool ParseInkList(std::string_view text, InkPriority& priority, std::string& error) {
  priority = NoInkPriority();
  std::string rest(text);
  const auto first = rest.find_first_not_of(' ');
  if (first == std::string::npos) return true;
  rest = rest.substr(first, rest.find_last_not_of(' ') - first + 1) + " ";
  std::int16_t k = 0;
  while (true) {
    const auto blank = rest.find(' ');
    if (blank == std::string::npos) break;
    ++k;
    const double ink = RoundHalfEven(LeadingNumber(rest.substr(0, blank)));
    if (!(ink >= 0 && ink <= 260)) {
      error = "INK NUMBERS OF THE LIST MUST BE 0 TO 260 !";
      return false;
    }
    priority[static_cast<size_t>(ink)] = k;
    rest = rest.substr(blank + 1);
  }
  return true;
}

fs::path WorkFolderOf(const fs::path& temp) { return temp / "TALMORMC"; }

TileTransfer::TileTransfer(const zeblon::map::Tile& empty_template, int scale, CollisionMode mode,
                           const InkPriority& priority)
    : template_(empty_template),
      scale_(scale),
      pixels_per_km_(1000.0 / scale),
      mode_(mode),
      priority_(priority),
      empty8_(empty_template.bits() == 8 ? empty_template.EmptyValue() : 255) {}

void TileTransfer::Place(zeblon::map::Tile& tile, int row, int q, std::uint32_t value) {
  std::uint8_t* b = tile.bytes().data();
  const size_t rl = static_cast<size_t>(template_.row_length());
  const size_t line = static_cast<size_t>(template_.first_pixel()) + static_cast<size_t>(row) * rl;
  const bool avoid_empty = mode_ == CollisionMode::AvoidEmptyPixels;
  switch (template_.bits()) {
    case 4: {
      std::uint32_t n = value;
      const size_t pos = line + static_cast<size_t>(q / 2);
      std::uint32_t hi = b[pos] >> 4, lo = b[pos] & 15;
      const bool high = q % 2 == 0;
      if (!avoid_empty) {
        if (high && priority_[hi] < priority_[n]) n = hi;
        if (!high && priority_[lo] < priority_[n]) n = lo;
      } else {
        if (high && lo == 15) lo = n;
        if (!high && hi == 15) hi = n;
      }
      b[pos] = static_cast<std::uint8_t>(high ? n * 16 + lo : hi * 16 + n);
      if (avoid_empty) {
        auto fill = [&](size_t p) {
          if (high && (b[p] >> 4) == 15) b[p] = static_cast<std::uint8_t>(n * 16 + (b[p] & 15));
          if (!high && (b[p] & 15) == 15) b[p] = static_cast<std::uint8_t>((b[p] & 0xF0) | n);
        };
        if (row > 0) fill(pos - rl);
        if (row < 999) fill(pos + rl);
      }
      break;
    }
    case 8: {
      std::uint32_t n = value;
      const size_t pos = line + static_cast<size_t>(q);
      if (!avoid_empty) {
        if (priority_[b[pos]] < priority_[n]) n = b[pos];
        b[pos] = static_cast<std::uint8_t>(n);
      } else {
        b[pos] = static_cast<std::uint8_t>(n);
        auto fill = [&](size_t p) {
          if (b[p] == empty8_) b[p] = static_cast<std::uint8_t>(n);
        };
        if (q > 0) fill(pos - 1);
        if (q < 999) fill(pos + 1);
        if (row > 0) fill(pos - rl);
        if (row < 999) fill(pos + rl);
      }
      break;
    }
    case 24: {
      const size_t pos = line + 3 * static_cast<size_t>(q);
      const std::uint8_t blue = static_cast<std::uint8_t>(value), green = static_cast<std::uint8_t>(value >> 8),
                         red = static_cast<std::uint8_t>(value >> 16);
      b[pos] = blue;
      b[pos + 1] = green;
      b[pos + 2] = red;
      if (avoid_empty) {
        auto fill = [&](size_t p) {
          if (b[p] == 0 && b[p + 1] == 252 && b[p + 2] == 252) {
            b[p] = blue;
            b[p + 1] = green;
            b[p + 2] = red;
          }
        };
        if (q > 0) fill(pos - 3);
        if (q < 999) fill(pos + 3);
        if (row > 0) fill(pos - rl);
        if (row < 999) fill(pos + rl);
      }
      break;
    }
    default: break;
  }
}

RunEnd TileTransfer::Transfer(const zeblon::map::Tile& source, double corner_north_km, double corner_east_km,
                              const RunHooks& hooks, std::string& error) {
  const int width = zeblon::map::kTilePixels, height = zeblon::map::kTilePixels;
  const double scale = scale_;
  const double north0 = corner_north_km * 1000 + 0.5 * scale;
  const double east0 = corner_east_km * 1000 + 0.5 * scale;
  std::int64_t current_north = -9999, current_east = -9999;
  zeblon::map::Tile* tile = nullptr;
  const std::uint8_t* src = source.bytes().data();
  const size_t src_rl = static_cast<size_t>(source.row_length());

  std::optional<RowConverter> rows;
  for (int r = 0; r < height; ++r) {
    if (hooks.StopRequested()) return RunEnd::Stopped;
    if (!rows) rows.emplace(north0, east0, scale, width, height, exact_every_pixel);
    rows->WaitFor(r);
    {
      const std::uint8_t* row = src + source.first_pixel() + static_cast<size_t>(r) * src_rl;
      for (int c = 0; c < width; ++c) {
        std::uint32_t value;
        switch (source.bits()) {
          case 4: value = c % 2 == 0 ? row[c / 2] >> 4 : row[c / 2] & 15; break;
          case 8: value = row[c]; break;
          default:
            value = row[3 * c] | (row[3 * c + 1] << 8) | (static_cast<std::uint32_t>(row[3 * c + 2]) << 16);
        }
        const double n = rows->North(r, c);
        const double e = rows->East(r, c);
        if (!(std::fabs(n) <= kBound) || !(std::fabs(e) <= kBound)) continue;  // NaN too
        const double n_km = n / 1000, e_km = e / 1000;
        const std::int64_t cn = zeblon::map::TileCornerKm(n_km, scale_);
        const std::int64_t ce = zeblon::map::TileCornerKm(e_km, scale_);
        if (cn != current_north || ce != current_east || !tile) {
          const std::string name = zeblon::map::TileName(cn, ce);
          auto found = tiles_.find(name);
          if (found == tiles_.end()) {
            std::optional<zeblon::map::Tile> loaded;
            if (load_tile && !load_tile(name, loaded, error)) return RunEnd::Failed;
            found = tiles_.emplace(name, loaded ? std::move(*loaded) : template_).first;
          }
          tile = &found->second;
          current_north = cn;
          current_east = ce;
        }
        const int dest_row = std::clamp(static_cast<int>(std::floor((n_km - cn) * pixels_per_km_)), 0, 999);
        const int dest_col = std::clamp(static_cast<int>(std::floor((e_km - ce) * pixels_per_km_)), 0, 999);
        Place(*tile, dest_row, dest_col, value);
      }
      rows->Done(r);
      hooks.Pump();
    }
  }
  return RunEnd::Ready;
}

namespace {

std::string ElapsedMinutes(double seconds) {
  if (seconds < 0) seconds += 86400;  // across midnight
  return NumberTextUntrimmed(std::floor(seconds / 6) / 10);
}

// Writes the edited tiles: first into the work folder, then each into the
// destination (replaced whole), then the work copy goes.
bool SaveTiles(std::map<std::string, zeblon::map::Tile>& tiles, const fs::path& work, const fs::path& destination,
               std::string& error) {
  for (auto& [name, tile] : tiles) {
    const fs::path work_copy = work / name;
    if (!zeblon::map::WriteTileFile(work_copy, tile, error, false)) return false;
    if (!zeblon::map::WriteTileFile(FileInFolder(destination, name), tile, error)) return false;
    std::error_code ec;
    fs::remove(work_copy, ec);
  }
  tiles.clear();
  return true;
}

}  // namespace

RunResult ConvertMapTiles(const TileRunOptions& options, const RunHooks& hooks) {
  const fs::path work = WorkFolderOf(options.temp);
  if (!zeblon::map::IsTileScale(options.scale)) return {RunEnd::Refused, kScales};
  std::vector<std::string> files;
  if (auto end = StartRun({options.source, options.destination, work}, kDifferentPaths, {".BMP"}, hooks, files))
    return *end;
  std::string error;
  std::vector<std::string> names;
  for (const auto& f : files) names.push_back(BaseNameBeforeBmp(f).substr(0, 8));
  SortUnique(names);

  // Every source must be a tile of the first one's form before anything is written.
  int first_bits = 0;
  for (const auto& name : names) {
    const fs::path file = FileInFolder(options.source, name + ".BMP");
    int bits = 0;
    std::string problem = zeblon::map::TileFileProblem(file, &bits);
    if (problem.rfind("CANNOT OPEN", 0) == 0 && !fs::exists(file))
      problem = "NOT FOUND (A TILE NAME IS 8 CHARACTERS AND .BMP)";
    if (!problem.empty())
      return {RunEnd::Refused, "NOT A MAP TILE: " + name + ".BMP: " + problem + " !"};
    if (first_bits == 0) first_bits = bits;
    if (bits != first_bits)
      return {RunEnd::Refused, "NOT A MAP TILE LIKE THE FIRST ONE: " + name + ".BMP HAS " +
                                   std::to_string(bits) + " BITS PER PIXEL, " + names.front() + ".BMP " +
                                   std::to_string(first_bits) + " !"};
  }
  std::error_code ec;
  fs::create_directories(work, ec);
  if (!fs::is_directory(work, ec))
    return {RunEnd::Refused, "CANNOT MAKE THE WORK FOLDER " + work.string() + " !"};

  // The empty template: the first tile's headers and palette, every pixel empty.
  hooks.Append("PREPARING BITMAP...");
  hooks.Pump();
  std::vector<std::uint8_t> bytes;
  if (!zeblon::map::ReadFileBytes(FileInFolder(options.source, names.front() + ".BMP"), bytes, error))
    return {RunEnd::Failed, error + " !"};
  std::string problem;
  auto first = zeblon::map::Tile::FromBytes(std::move(bytes), &problem);
  if (!first) return {RunEnd::Failed, "NOT A MAP TILE: " + names.front() + ".BMP: " + problem + " !"};
  const zeblon::map::Tile empty = first->EmptyCopy();
  hooks.Append("  DONE" + std::string(kLineBreak) + std::string(kLineBreak));
  hooks.Pump();

  const std::size_t total = names.size();
  auto fail = [&](TileTransfer* transfer, const std::string& why) {
    std::string ignored;
    if (transfer) SaveTiles(transfer->tiles(), work, options.destination, ignored);
    std::error_code e;
    fs::remove(work, e);  // only when empty: a work copy that could not go stays
    return RunResult{RunEnd::Failed, why};
  };
  for (std::size_t i = 1; i <= total; ++i) {
    const std::string& name = names[i - 1];
    hooks.Append(hooks.TimeOfDay() + "     START..." + std::string(kLineBreak));
    const double started = hooks.SecondsNow();
    hooks.Append(ProgressLine(name + ".BMP", i, total, ""));
    hooks.Pump();
    const fs::path source_file = FileInFolder(options.source, name + ".BMP");
    if (!zeblon::map::ReadFileBytes(source_file, bytes, error)) return fail(nullptr, error + " !");
    auto source = zeblon::map::Tile::FromBytes(std::move(bytes), &problem);
    if (!source) return fail(nullptr, "NOT A MAP TILE: " + name + ".BMP: " + problem + " !");
    if (source->bits() != empty.bits())
      return fail(nullptr, "NOT A MAP TILE LIKE THE FIRST ONE: " + name + ".BMP !");
    hooks.Pump();

    TileTransfer transfer(empty, options.scale, options.mode, options.priority);
    transfer.load_tile = [&](const std::string& tile_name, std::optional<zeblon::map::Tile>& tile, std::string& why) {
      const fs::path existing = FileInFolder(options.destination, tile_name);
      std::error_code e;
      if (!fs::exists(existing, e)) return true;
      std::vector<std::uint8_t> data;
      if (!zeblon::map::ReadFileBytes(existing, data, why)) {
        why += " !";
        return false;
      }
      std::string p;
      tile = zeblon::map::Tile::FromBytes(std::move(data), &p);
      if (!tile || tile->bits() != empty.bits() || tile->bytes().size() != empty.bytes().size()) {
        why = "THE DESTINATION FILE " + existing.string() + " IS NOT A MAP TILE LIKE THE SOURCE TILES" +
              (p.empty() ? std::string() : " (" + p + ")") + " !";
        return false;
      }
      return true;
    };
    const auto corner = zeblon::map::TileCornerOfName(name);
    const RunEnd end = transfer.Transfer(*source, corner.north_km, corner.east_km, hooks, error);
    hooks.Pump();
    if (end == RunEnd::Failed) return fail(&transfer, error);
    if (end == RunEnd::Stopped) {
      // The destination keeps what was transferred so far, this tile's part too;
      // the source tile under way is never deleted.
      if (!SaveTiles(transfer.tiles(), work, options.destination, error)) return fail(&transfer, error);
      fs::remove(work, ec);
      return {RunEnd::Stopped, {}};
    }
    // A tile whose name puts all of it beyond the grid has no result: it stays.
    const bool placed = !transfer.tiles().empty();
    if (!SaveTiles(transfer.tiles(), work, options.destination, error))
      return fail(&transfer, error + " - " + name + ".BMP IS NOT CONVERTED COMPLETELY");
    hooks.Pump();
    if (!placed) hooks.Append("NO PIXEL OF " + name + ".BMP LANDS IN UTM ZONE 33: THE SOURCE IS KEPT" +
                              std::string(kLineBreak));
    // Only now that its result is on the disk the source tile may go.
    if (placed && options.delete_sources && !DeleteSource(source_file, error)) return fail(nullptr, error);
    hooks.Append(hooks.TimeOfDay() + "     ...READY  " + ElapsedMinutes(hooks.SecondsNow() - started) + " min" +
                 std::string(kLineBreak) + std::string(kLineBreak));
    hooks.Pump();
  }
  fs::remove(work, ec);
  hooks.Append(std::string(kLineBreak) + "READY !" + std::string(kLineBreak));
  hooks.Beep();
  hooks.Pump();
  return {RunEnd::Ready, {}};
}

}  // namespace talmor
