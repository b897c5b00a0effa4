// TRK files: the own GPS track, one file per day (YYYYMMDD.TRK) in the data
// folder's TRK folder, written by the GPS reader; here only chosen and read.
// Lines as POI lines (column 1 the mark, 2-10 northing, 11-19 easting), then from
// column 21 the point's date and time.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zeblon::map {

inline constexpr std::size_t kTrackLineLimit = 999999;

class TrackFiles {
 public:
  explicit TrackFiles(std::filesystem::path folder = {}) : folder_(std::move(folder)) {}
  void SetFolder(std::filesystem::path folder) { folder_ = std::move(folder); }

  std::vector<std::string> List() const;
  // Loads the named file (up to 999,999 lines) and makes it current; a file that
  // cannot be read leaves an empty track.
  void Load(const std::string& name);

  const std::string& name() const { return name_; }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::filesystem::path folder_;
  std::string name_;
  std::vector<std::string> lines_;
};

// The position (km) of a track's last point; nothing when no track is loaded.
struct TrackEndPoint {
  double north = 0, east = 0;
};
std::optional<TrackEndPoint> TrackEnd(std::span<const std::string> lines);

// The previous (step -1) or next (+1) entry from the last entry equal to the
// combo's text (position 0 when none is): its position, or nothing at either end.
std::optional<std::size_t> NeighbourEntry(const std::vector<std::string>& list, const std::string& text, int step);

// A pick list's choice at start-up: `current` when it is one of `entries` (exactly),
// else the first entry in sorted order, else empty.
std::string ChooseListEntry(const std::string& current, const std::vector<std::string>& sorted_entries);

}  // namespace zeblon::map
