#include "talmor/tile_converter.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "map/map_tile.h"
#include "platform/paths.h"

namespace talmor {

namespace {

const char kDifferentPaths[] = "SOURCE / DESTINATION / TEMP  PATHS  HAVE TO BE DIFFERENT !";
const char kScales[] = "SUPPORTED SCALES ARE 2 10 50 200 1000 5000 !";

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
      mode_(mode),
      priority_(priority),
      empty8_(empty_template.bits() == 8 ? empty_template.EmptyValue() : 255) {}

namespace {

// What placing a value in a destination tile needs besides the tile.
struct Placing {
  std::size_t rowLength;
  std::size_t firstPixel;
  const InkPriority* priority;
  std::uint32_t empty8;
};

// Puts a value into pixel `place` (row x 1000 + q) of a destination tile. With
// `Interior` the pixel is known to have all four neighbours in the tile.
template <int Bits, bool AvoidEmpty, bool Interior>
inline void PlaceValue(std::uint8_t* b, const Placing& at, std::uint32_t place, int row, int q, std::uint32_t value) {
  const InkPriority& priority = *at.priority;
  const size_t rl = at.rowLength;  // 500, 1000 or 3000 bytes: 1000 pixels
  auto has = [&](bool neighbour) { return Interior || neighbour; };
  if constexpr (Bits == 4) {
    std::uint32_t n = value;
    const size_t pos = at.firstPixel + place / 2;
    std::uint32_t hi = b[pos] >> 4, lo = b[pos] & 15;
    const bool high = place % 2 == 0;
    if (!AvoidEmpty) {
      if (high && priority[hi] < priority[n]) n = hi;
      if (!high && priority[lo] < priority[n]) n = lo;
    } else {
      if (high && lo == 15) lo = n;
      if (!high && hi == 15) hi = n;
    }
    b[pos] = static_cast<std::uint8_t>(high ? n * 16 + lo : hi * 16 + n);
    if (AvoidEmpty) {
      // The nibble at the same place, when it is empty (15), becomes n.
      const std::uint32_t mask = high ? 0xF0 : 0x0F, ink = high ? n << 4 : n;
      auto fill = [&](size_t p) {
        if ((b[p] & mask) == mask) b[p] = static_cast<std::uint8_t>((b[p] & ~mask) | ink);
      };
      if (has(row > 0)) fill(pos - rl);
      if (has(row < 999)) fill(pos + rl);
    }
  } else if constexpr (Bits == 8) {
    std::uint32_t n = value;
    const size_t pos = at.firstPixel + place;
    if (!AvoidEmpty) {
      if (priority[b[pos]] < priority[n]) n = b[pos];
      b[pos] = static_cast<std::uint8_t>(n);
    } else {
      const std::uint8_t ink = static_cast<std::uint8_t>(n), empty = static_cast<std::uint8_t>(at.empty8);
      b[pos] = ink;
      auto fill = [&](size_t p) {
        if (b[p] == empty) b[p] = ink;
      };
      if (has(q > 0)) fill(pos - 1);
      if (has(q < 999)) fill(pos + 1);
      if (has(row > 0)) fill(pos - rl);
      if (has(row < 999)) fill(pos + rl);
    }
  } else {
    const size_t pos = at.firstPixel + 3 * static_cast<size_t>(place);
    // The row to the north is met for the first time here: ask for it ahead.
    if constexpr (AvoidEmpty && Interior) __builtin_prefetch(b + pos + rl + 192, 1);
    const std::uint8_t blue = static_cast<std::uint8_t>(value), green = static_cast<std::uint8_t>(value >> 8),
                       red = static_cast<std::uint8_t>(value >> 16);
    b[pos] = blue;
    b[pos + 1] = green;
    b[pos + 2] = red;
    if (AvoidEmpty) {
      auto fill = [&](size_t p) {
        // One test of the three bytes: the empty colour is blue 0, green and red 252.
        if ((b[p] | b[p + 1] << 8 | b[p + 2] << 16) == 0xFCFC00) {
          b[p] = blue;
          b[p + 1] = green;
          b[p + 2] = red;
        }
      };
      if (has(q > 0)) fill(pos - 3);
      if (has(q < 999)) fill(pos + 3);
      if (has(row > 0)) fill(pos - rl);
      if (has(row < 999)) fill(pos + rl);
    }
  }
}

template <int Bits, bool AvoidEmpty>
inline void PlaceValue(std::uint8_t* b, const Placing& at, int row, int q, std::uint32_t value) {
  PlaceValue<Bits, AvoidEmpty, false>(b, at, static_cast<std::uint32_t>(row * 1000 + q), row, q, value);
}

// The value of source pixel c of a row.
template <int Bits>
inline std::uint32_t SourceValue(const std::uint8_t* row, int c) {
  if constexpr (Bits == 4) return c % 2 == 0 ? row[c / 2] >> 4 : row[c / 2] & 15;
  if constexpr (Bits == 8) return row[c];
  return row[3 * c] | (row[3 * c + 1] << 8) | (static_cast<std::uint32_t>(row[3 * c + 2]) << 16);
}

}  // namespace

void TileTransfer::Place(zeblon::map::Tile& tile, int row, int q, std::uint32_t value) {
  const Placing at{static_cast<size_t>(template_.row_length()), static_cast<size_t>(template_.first_pixel()),
                   &priority_, empty8_};
  const bool avoid = mode_ == CollisionMode::AvoidEmptyPixels;
  std::uint8_t* b = tile.bytes().data();
  switch (template_.bits()) {
    case 4: return avoid ? PlaceValue<4, true>(b, at, row, q, value) : PlaceValue<4, false>(b, at, row, q, value);
    case 8: return avoid ? PlaceValue<8, true>(b, at, row, q, value) : PlaceValue<8, false>(b, at, row, q, value);
    case 24: return avoid ? PlaceValue<24, true>(b, at, row, q, value) : PlaceValue<24, false>(b, at, row, q, value);
    default: break;
  }
}

zeblon::map::Tile* TileTransfer::TileAt(std::int32_t tile_row, std::int32_t tile_column, std::string& error) {
  const std::string name = zeblon::map::TileName(static_cast<std::int64_t>(tile_row) * scale_,
                                                 static_cast<std::int64_t>(tile_column) * scale_);
  auto found = tiles_.find(name);
  if (found == tiles_.end()) {
    std::optional<zeblon::map::Tile> loaded;
    if (loadTile && !loadTile(name, loaded, error)) return nullptr;
    found = tiles_.emplace(name, loaded ? std::move(*loaded) : template_).first;
  }
  touched_.insert(name);
  return &found->second;
}

template <int Bits, bool AvoidEmpty>
RunEnd TileTransfer::TransferRows(const zeblon::map::Tile& source, LandingPlanner& planner, std::size_t index,
                                  const RunHooks& hooks, std::string& error) {
  const Placing at{static_cast<size_t>(template_.row_length()), static_cast<size_t>(template_.first_pixel()),
                   &priority_, empty8_};
  const std::uint8_t* src = source.bytes().data() + source.first_pixel();
  const size_t src_rl = static_cast<size_t>(source.row_length());
  const SourceCorner& corner = planner.Corner(index);
  const auto base = BaseTileOf(corner, scale_);
  // The pixel centres as the landings were worked out (see LandBand).
  const double s = scale_;
  const double north0 = corner.northKm * 1000 + 0.5 * s, east0 = corner.eastKm * 1000 + 0.5 * s;
  // The destination tile open now, by its tile bits in the packed landings
  // (none at first and after a landing worked out here).
  constexpr std::uint32_t kNoTile = 0xFFFFFFFF;
  std::uint32_t open = kNoTile;
  std::uint8_t* tile = nullptr;
  const std::uint32_t* band = nullptr;
  for (int r = 0; r < zeblon::map::kTilePixels; ++r) {
    if (hooks.StopRequested()) return RunEnd::Stopped;
    if (r % kBandRows == 0) band = planner.Band(index, r / kBandRows);
    const std::uint32_t* landing = band + static_cast<size_t>(r % kBandRows) * 1000;
    const std::uint8_t* row = src + static_cast<size_t>(r) * src_rl;
    for (int c = 0; c < zeblon::map::kTilePixels; ++c) {
      const std::uint32_t l = landing[c];
      if (l >> 31) {
        if (l == packed::kNowhere) continue;
        // Too far from the base tile for the packed form.
        const Landing far = ExactLanding(north0 + r * s, east0 + c * s, scale_);
        if (far.row == Landing::kNowhere) continue;  // as the planner found it, so never
        const std::int32_t tr = TileOfPixel(far.row), tc = TileOfPixel(far.column);
        zeblon::map::Tile* t = TileAt(tr, tc, error);
        if (!t) return RunEnd::Failed;
        open = kNoTile;
        PlaceValue<Bits, AvoidEmpty>(t->bytes().data(), at, far.row - tr * 1000, far.column - tc * 1000,
                                     SourceValue<Bits>(row, c));
        continue;
      }
      if (l >> packed::kTileShift != open) {
        zeblon::map::Tile* t = TileAt(base.first + packed::TileRows(l), base.second + packed::TileColumns(l), error);
        if (!t) return RunEnd::Failed;
        tile = t->bytes().data();
        open = l >> packed::kTileShift;
      }
      const std::uint32_t place = l & packed::kPlace;
      if (l & packed::kInterior) {
        PlaceValue<Bits, AvoidEmpty, true>(tile, at, place, 0, 0, SourceValue<Bits>(row, c));
      } else {
        PlaceValue<Bits, AvoidEmpty, false>(tile, at, place, static_cast<int>(place / 1000),
                                            static_cast<int>(place % 1000), SourceValue<Bits>(row, c));
      }
    }
    if (r % kBandRows == kBandRows - 1) planner.Release(index, r / kBandRows);
    hooks.Pump();
  }
  return RunEnd::Ready;
}

RunEnd TileTransfer::Transfer(const zeblon::map::Tile& source, LandingPlanner& planner, std::size_t index,
                              const RunHooks& hooks, std::string& error) {
  touched_.clear();
  if (source.bits() != template_.bits()) {
    error = "THE SOURCE TILE HAS " + std::to_string(source.bits()) + " BITS PER PIXEL, THE DESTINATION TILES " +
            std::to_string(template_.bits()) + " !";
    return RunEnd::Failed;
  }
  const bool avoid = mode_ == CollisionMode::AvoidEmptyPixels;
  switch (source.bits()) {
    case 4:
      return avoid ? TransferRows<4, true>(source, planner, index, hooks, error)
                   : TransferRows<4, false>(source, planner, index, hooks, error);
    case 8:
      return avoid ? TransferRows<8, true>(source, planner, index, hooks, error)
                   : TransferRows<8, false>(source, planner, index, hooks, error);
    case 24:
      return avoid ? TransferRows<24, true>(source, planner, index, hooks, error)
                   : TransferRows<24, false>(source, planner, index, hooks, error);
    default: return RunEnd::Ready;
  }
}

RunEnd TileTransfer::Transfer(const zeblon::map::Tile& source, double corner_north_km, double corner_east_km,
                              const RunHooks& hooks, std::string& error) {
  LandingPlanner planner({{corner_north_km, corner_east_km}}, scale_, exactEveryPixel);
  return Transfer(source, planner, 0, hooks, error);
}

namespace {

std::string ElapsedMinutes(double seconds) {
  if (seconds < 0) seconds += 86400;  // across midnight
  return NumberTextUntrimmed(std::floor(seconds / 6) / 10);
}

// Writes finished destination tiles on threads of their own (flushing a file to
// the disk mostly waits, and waits overlap): each into the destination folder,
// replaced whole and flushed to the disk. When that fails the tile is kept as a
// copy in the work folder and the failure is reported with the tile. A tile is
// handed over again only after its last writing is done (see Holds).
class TileWriter {
 public:
  struct Written {
    std::string name;
    std::vector<std::size_t> sources;  // the source tiles whose pixels went into it
    std::string error;                 // "" when it is written
  };

  TileWriter(fs::path destination, fs::path work) : destination_(std::move(destination)), work_(std::move(work)) {
    for (int i = 0; i < kThreads; ++i) threads_.emplace_back([this] { Work(); });
  }
  ~TileWriter() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_) t.join();
  }

  void Write(std::string name, zeblon::map::Tile tile, std::vector<std::size_t> sources) {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return queue_.size() < kQueue; });  // a bound on the memory held
    queue_.push_back({std::move(name), std::move(tile), std::move(sources)});
    wake_.notify_one();
  }
  // Waits until every tile handed over is written (or has failed).
  void Drain() {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return queue_.empty() && busy_.empty(); });
  }
  // Whether a tile is waiting or being written.
  bool Holds(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    return busy_.count(name) > 0 ||
           std::any_of(queue_.begin(), queue_.end(), [&](const Job& j) { return j.name == name; });
  }
  // Whether writing a tile of this name has failed in this run.
  bool Failed(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_.count(name) > 0;
  }
  // The tiles written (or failed) since the last call.
  std::vector<Written> TakeWritten() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(written_, {});
  }

 private:
  struct Job {
    std::string name;
    zeblon::map::Tile tile;
    std::vector<std::size_t> sources;
  };
  static constexpr std::size_t kQueue = 16;
  static constexpr int kThreads = 4;

  void Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
      wake_.wait(lock, [&] { return closing_ || !queue_.empty(); });
      if (queue_.empty()) return;
      Job job = std::move(queue_.front());
      queue_.pop_front();
      busy_.insert(job.name);
      done_.notify_all();  // room in the queue
      lock.unlock();
      std::string error;
      if (!zeblon::map::WriteTileFile(FileInFolder(destination_, job.name), job.tile, error)) {
        std::string ignored;
        zeblon::map::WriteTileFile(work_ / job.name, job.tile, ignored, false);
      }
      lock.lock();
      busy_.erase(job.name);
      if (!error.empty()) failed_.insert(job.name);
      written_.push_back({std::move(job.name), std::move(job.sources), std::move(error)});
      done_.notify_all();
    }
  }

  const fs::path destination_, work_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::deque<Job> queue_;
  std::set<std::string> busy_;
  std::set<std::string> failed_;
  std::vector<Written> written_;
  bool closing_ = false;
  std::vector<std::thread> threads_;
};

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
    if (!problem.empty()) return {RunEnd::Refused, "NOT A MAP TILE: " + name + ".BMP: " + problem + " !"};
    if (first_bits == 0) first_bits = bits;
    if (bits != first_bits)
      return {RunEnd::Refused, "NOT A MAP TILE LIKE THE FIRST ONE: " + name + ".BMP HAS " + std::to_string(bits) +
                                   " BITS PER PIXEL, " + names.front() + ".BMP " + std::to_string(first_bits) + " !"};
  }
  std::error_code ec;
  fs::create_directories(work, ec);
  if (!fs::is_directory(work, ec)) return {RunEnd::Refused, "CANNOT MAKE THE WORK FOLDER " + work.string() + " !"};

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
  std::vector<SourceCorner> corners;
  for (const auto& name : names) {
    const auto corner = zeblon::map::TileCornerOfName(name);
    corners.push_back({corner.northKm, corner.eastKm});
  }
  // The last source tile that may reach each destination tile: after it the tile
  // is finished and can be written.
  std::map<std::string, std::size_t> last_reach;
  for (std::size_t i = 0; i < total; ++i)
    for (const auto& [cn, ce] : DestinationTilesNear(corners[i], options.scale))
      last_reach[zeblon::map::TileName(cn, ce)] = i;

  TileWriter writer(options.destination, work);
  LandingPlanner planner(corners, options.scale, false);
  TileTransfer transfer(empty, options.scale, options.mode, options.priority);
  transfer.loadTile = [&](const std::string& tile_name, std::optional<zeblon::map::Tile>& tile, std::string& why) {
    // A tile written before in this run is read back once its writing is done.
    if (writer.Holds(tile_name)) writer.Drain();
    if (writer.Failed(tile_name)) {
      why = "CANNOT WRITE " + FileInFolder(options.destination, tile_name).string() + " !";
      return false;
    }
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

  // For each destination tile held: the source tiles whose pixels it got since
  // it was last written, and the last of them.
  struct Held {
    std::vector<std::size_t> sources;
    std::size_t last = 0;
  };
  std::map<std::string, Held> held;
  std::vector<int> unwritten(total, 0);  // per source tile: its destination tiles not yet written
  std::vector<char> complete(total, 0);  // carried over whole, with a pixel in the grid
  auto note_touched = [&](std::size_t i) {
    for (const auto& name : transfer.touched()) {
      Held& h = held[name];
      h.sources.push_back(i);
      h.last = i;
      ++unwritten[i];
    }
  };
  auto hand_over = [&](const std::string& name) {
    auto tile = transfer.tiles().extract(name);
    auto h = held.extract(name);
    writer.Write(name, std::move(tile.mapped()), h ? std::move(h.mapped().sources) : std::vector<std::size_t>{});
  };
  auto hand_over_all = [&] {
    while (!transfer.tiles().empty()) hand_over(transfer.tiles().begin()->first);
  };
  // Takes note of the tiles written: a source tile whose destination tiles are
  // all written is deleted now when that is asked for. False with a message for
  // a tile that could not be written or a source that could not be deleted.
  auto settle = [&](std::string& why) {
    bool ok = true;
    for (auto& w : writer.TakeWritten()) {
      if (!w.error.empty()) {
        if (ok) {
          const std::size_t earliest = w.sources.empty() ? 0 : *std::min_element(w.sources.begin(), w.sources.end());
          why = w.error + " - " + names[earliest] + ".BMP IS NOT CONVERTED COMPLETELY";
        }
        ok = false;
        continue;
      }
      for (const std::size_t s : w.sources)
        if (--unwritten[s] == 0 && complete[s] && options.deleteSources && ok &&
            !DeleteSource(FileInFolder(options.source, names[s] + ".BMP"), why))
          ok = false;
    }
    return ok;
  };
  auto fail = [&](const std::string& why) {
    // What is held is written; source tiles whose results are all written go
    // when that is asked for.
    hand_over_all();
    writer.Drain();
    std::string ignored;
    settle(ignored);
    std::error_code e;
    fs::remove(work, e);  // only when empty: a copy of a tile that could not be written stays
    return RunResult{RunEnd::Failed, why};
  };
  for (std::size_t i = 0; i < total; ++i) {
    const std::string& name = names[i];
    hooks.Append(hooks.TimeOfDay() + "     START..." + std::string(kLineBreak));
    const double started = hooks.SecondsNow();
    hooks.Append(ProgressLine(name + ".BMP", i + 1, total, ""));
    hooks.Pump();
    const fs::path source_file = FileInFolder(options.source, name + ".BMP");
    if (!zeblon::map::ReadFileBytes(source_file, bytes, error)) return fail(error + " !");
    auto source = zeblon::map::Tile::FromBytes(std::move(bytes), &problem);
    if (!source) return fail("NOT A MAP TILE: " + name + ".BMP: " + problem + " !");
    if (source->bits() != empty.bits()) return fail("NOT A MAP TILE LIKE THE FIRST ONE: " + name + ".BMP !");
    hooks.Pump();

    const RunEnd end = transfer.Transfer(*source, planner, i, hooks, error);
    bytes = std::move(source->bytes());  // its memory read into again for the next tile
    hooks.Pump();
    if (end == RunEnd::Failed) return fail(error);
    note_touched(i);
    if (end == RunEnd::Stopped) {
      // The destination keeps what was transferred so far, this tile's part too;
      // the source tile under way is never deleted.
      hand_over_all();
      writer.Drain();
      if (!settle(error)) return fail(error);
      fs::remove(work, ec);
      return {RunEnd::Stopped, {}};
    }
    // A tile whose name puts all of it beyond the grid has no result: it stays.
    const bool placed = !transfer.touched().empty();
    complete[i] = placed;

    // Destination tiles that no later source tile reaches are written now, and
    // so are the ones touched longest ago while too many are held.
    std::vector<std::string> finished;
    std::vector<std::pair<std::size_t, std::string>> others;
    for (const auto& [tile_name, tile] : transfer.tiles()) {
      const auto reach = last_reach.find(tile_name);
      if (reach == last_reach.end() || reach->second <= i) {
        finished.push_back(tile_name);
      } else {
        others.emplace_back(held[tile_name].last, tile_name);
      }
    }
    const std::size_t keep = options.heldBytes / empty.bytes().size();
    if (others.size() > keep) {
      std::sort(others.begin(), others.end());
      for (std::size_t k = 0; k < others.size() - keep; ++k) finished.push_back(others[k].second);
    }
    for (const auto& tile_name : finished) hand_over(tile_name);
    if (!settle(error)) return fail(error);
    hooks.Pump();
    if (!placed)
      hooks.Append("NO PIXEL OF " + name + ".BMP LANDS IN UTM ZONE 33: THE SOURCE IS KEPT" + std::string(kLineBreak));
    hooks.Append(hooks.TimeOfDay() + "     ...READY  " + ElapsedMinutes(hooks.SecondsNow() - started) + " min" +
                 std::string(kLineBreak) + std::string(kLineBreak));
    hooks.Pump();
  }
  hand_over_all();
  writer.Drain();
  if (!settle(error)) return fail(error);
  fs::remove(work, ec);
  hooks.Append(std::string(kLineBreak) + "READY !" + std::string(kLineBreak));
  hooks.Beep();
  hooks.Pump();
  return {RunEnd::Ready, {}};
}

}  // namespace talmor
