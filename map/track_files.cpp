#include "map/track_files.h"

#include <algorithm>

#include "settings/text_files.h"
#include "map/layers/overlay_layers.h"
#include "map/poi_file.h"
#include "platform/paths.h"

namespace zeblon::map {

std::vector<std::string> TrackFiles::List() const { return ListFileNames(folder_, ".TRK", true); }

void TrackFiles::Load(const std::string& name) {
  name_ = name;
  std::filesystem::path file = folder_ / (name + ".TRK");
  if (auto found = platform::ResolveCaseInsensitive(file)) file = *found;
  lines_ = ReadLines(file, kTrackLineLimit);
}

std::optional<TrackEndPoint> TrackEnd(std::span<const std::string> lines) {
  if (lines.empty()) return std::nullopt;
  return TrackEndPoint{LineNorth(lines.back()), LineEast(lines.back())};
}

std::optional<std::size_t> NeighbourEntry(const std::vector<std::string>& list, const std::string& text, int step) {
  std::size_t position = 0;
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i] == text) position = i;
  if (step < 0 && position > 0 && position < list.size()) return position - 1;
  if (step > 0 && position + 1 < list.size()) return position + 1;
  return std::nullopt;
}

std::string ChooseListEntry(const std::string& current, const std::vector<std::string>& entries) {
  if (std::find(entries.begin(), entries.end(), current) != entries.end()) return current;
  return entries.empty() ? std::string() : entries.front();
}

}  // namespace zeblon::map
