// The map tile converter: every RT90-named tile of one source folder is carried,
// pixel by pixel, into UTM zone 33 tiles of the same scale, depth and palette in a
// destination folder.
//
// The transfer maps forward without resampling: the centre of each source pixel is
// converted as a point (RT90 -> UTM zone 33) and its value written into the
// destination pixel holding the converted point. Destination tiles that exist are
// edited, not replaced, so runs over neighbouring source folders add up; a tile
// that does not exist yet starts empty (see map/bmp.h).
//
// Where several source pixels meet in one destination pixel the collision mode
// decides: AvoidEmptyPixels writes each value and also fills the empty neighbours
// (inside the same tile); PrioritizeInks keeps an old ink that the ink list ranks
// before the new one.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "map/bmp.h"
#include "talmor/landing.h"
#include "talmor/run.h"

namespace talmor {

enum class CollisionMode { PrioritizeInks = 0, AvoidEmptyPixels = 1 };

// Priority number of each ink 0 to 260 (1 is the most important; 9999 unlisted).
using InkPriority = std::array<std::int16_t, 261>;
inline constexpr std::int16_t kUnlistedInk = 9999;

// Reads the ink list: numbers separated by blanks, most important first. The
// first ink gets 1, the next 2, …; an ink listed twice keeps its later number; two
// blanks in a row give an empty item, read as ink 0. Items are rounded to whole
// numbers (halves to even). False with a message for an ink outside 0 to 260.
bool ParseInkList(std::string_view text, InkPriority& priority, std::string& error);
InkPriority NoInkPriority();

struct TileRunOptions {
  fs::path source;       // folder of RT90 tiles
  fs::path destination;  // folder of UTM zone 33 tiles
  fs::path temp;         // the work folder TALMORMC is made below it
  int scale = 10;        // metres per pixel: 2, 10, 50, 200, 1000 or 5000
  CollisionMode mode = CollisionMode::AvoidEmptyPixels;
  InkPriority priority = NoInkPriority();
  bool deleteSources = false;
  // At most this many bytes of destination tiles are held in memory between
  // their writings; beyond it the tiles touched longest ago are written early
  // (and read again when a later source tile reaches them).
  std::size_t heldBytes = std::size_t{256} << 20;
};

// The work folder of a run: <temp>/TALMORMC.
fs::path WorkFolderOf(const fs::path& temp);

// The transfer of source tiles into the destination tiles, which are kept in
// memory while source tiles are carried over.
class TileTransfer {
 public:
  // `empty_template` is the empty tile that new destination tiles start from.
  TileTransfer(const zeblon::map::Tile& empty_template, int scale, CollisionMode mode, const InkPriority& priority);

  // Loads a destination tile that does not yet exist in memory: returns false with
  // a message when the tile exists but cannot be used. Set by the run.
  std::function<bool(const std::string& name, std::optional<zeblon::map::Tile>& tile, std::string& error)> loadTile;

  // Carries the pixels of `source` (corner from its name) into the destination
  // tiles. Before each source row `hooks.StopRequested()` is read: a stop leaves the
  // rows done so far in the tiles and returns Stopped. Pending events run after
  // each row. Failed with a message when a destination tile cannot be loaded.
  RunEnd Transfer(const zeblon::map::Tile& source, double corner_north_km, double corner_east_km, const RunHooks& hooks,
                  std::string& error);
  // The same for tile `index` of the planner's list, whose landings the planner
  // works out ahead (its scale and exactness are the planner's).
  RunEnd Transfer(const zeblon::map::Tile& source, LandingPlanner& planner, std::size_t index, const RunHooks& hooks,
                  std::string& error);

  // Converts every pixel centre by the full point conversion. Otherwise points
  // are interpolated where that provably puts them into the same destination
  // pixel (see talmor/landing.h; the results are the same, it is faster).
  bool exactEveryPixel = false;

  // The destination tiles held, by name; the run takes out those it has written.
  std::map<std::string, zeblon::map::Tile>& tiles() { return tiles_; }
  // The names of the destination tiles the last transfer put pixels into.
  const std::set<std::string>& touched() const { return touched_; }

  // Puts one source value (ink, or 0xRRGGBB at 24 bits) into destination pixel
  // (row, q) of `tile` by the collision mode.
  void Place(zeblon::map::Tile& tile, int row, int q, std::uint32_t value);

 private:
  template <int Bits, bool AvoidEmpty>
  RunEnd TransferRows(const zeblon::map::Tile& source, LandingPlanner& planner, std::size_t index,
                      const RunHooks& hooks, std::string& error);
  zeblon::map::Tile* TileAt(std::int32_t tile_row, std::int32_t tile_column, std::string& error);

  zeblon::map::Tile template_;
  int scale_;
  CollisionMode mode_;
  InkPriority priority_;
  std::uint32_t empty8_;
  std::map<std::string, zeblon::map::Tile> tiles_;
  std::set<std::string> touched_;
};

// The whole run over a source folder. Checks first that the folders can be used
// and that every source file is a tile of the same form as the first one; a
// problem is Refused with its message before anything is written. After each
// source tile the destination tiles that no later source tile reaches are
// written (each file replaced whole, never half written, on a thread of its own
// while the next source tiles are carried over), so each is written once
// per run; a source tile is deleted, when `deleteSources` is set, only once
// every destination tile it went into is written. A stop or a failure writes
// every tile held first.
RunResult ConvertMapTiles(const TileRunOptions& options, const RunHooks& hooks);

}  // namespace talmor
