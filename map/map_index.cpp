#include "map/map_index.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <system_error>

#include "map/bmp.h"
#include "map/map_tile.h"
#include "platform/paths.h"
#include "settings/text_files.h"
#include "platform/safe_file.h"

namespace zeblon::map {

namespace fs = std::filesystem;

namespace {

bool WriteLines(const fs::path& file, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  std::string error;
  return platform::WriteFileAtomically(file, std::string_view(text), &error, false);
}

}  // namespace

void SortIgnoringCase(std::vector<std::string>& texts) {
  std::stable_sort(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) {
    return platform::UpperAscii(a) < platform::UpperAscii(b);
  });
}

std::string CentreTileName(double centre_north_km, double centre_east_km, int scale) {
  const auto corner = [scale](double km) {
    const double c = std::floor(km / scale) * scale;
    return static_cast<std::int64_t>(std::clamp(c, -32768.0, 32767.0));
  };
  return TileName(corner(centre_north_km), corner(centre_east_km));
}

bool IsEightDotThree(std::string_view name) { return name.size() == 12 && name[8] == '.'; }

MapIndex::MapIndex(fs::path map_root, fs::path index_folder)
    : root_(std::move(map_root)), index_folder_(std::move(index_folder)) {}

fs::path MapIndex::FolderPath(const std::string& name) const {
  auto it = folder_paths_.find(name);
  return it != folder_paths_.end() ? it->second : root_ / name;
}

std::vector<fs::path> MapIndex::OwnFiles() const {
  std::vector<fs::path> out;
  for (const auto& n : written_) out.push_back(index_folder_ / n);
  return out;
}

void MapIndex::DeleteOwnFiles() {
  std::error_code ec;
  for (const auto& n : written_) fs::remove(index_folder_ / n, ec);
  written_.clear();
  cache_.clear();
}

void MapIndex::Build(const std::array<std::string, kLevels>& suffixes) {
  DeleteOwnFiles();
  for (auto& f : folders_) f.clear();
  for (auto& c : chosen_) c.clear();
  folder_lines_.clear();
  folder_paths_.clear();
  pictures_.clear();
  std::error_code ec;
  fs::create_directories(index_folder_, ec);

  // The map folders, in listing order, once per tag they hold.
  std::vector<std::string> unsorted[kLevels];
  for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code dec;
    if (!it->is_directory(dec)) continue;
    const std::string name = platform::UpperAscii(Trim(it->path().filename().string()));
    for (int level = 0; level < kLevels; ++level) {
      if (name.find(kScaleTags[level]) == std::string::npos) continue;
      unsorted[level].push_back(name);
      folder_lines_.push_back(name);
      folder_paths_.emplace(name, it->path());
    }
  }
  if (WriteLines(index_folder_ / "ALLMDIRS.DIR", folder_lines_)) written_.insert("ALLMDIRS.DIR");

  // Each scale's folder.
  for (int level = 0; level < kLevels; ++level) {
    folders_[level] = unsorted[level];
    SortIgnoringCase(folders_[level]);
    chosen_[level] = folders_[level].empty() ? std::string() : folders_[level].front();
    const std::string want = platform::UpperAscii(Trim(suffixes[level]));
    if (want.empty()) continue;
    for (const auto& entry : folders_[level])
      if (entry.size() > 5 && platform::UpperAscii(entry.substr(5)) == want) chosen_[level] = entry;
  }

  // One tile index per folder line.
  for (const auto& name : folder_lines_) {
    const fs::path folder = FolderPath(name);
    // Names of eight characters, a point and three get the extension .BMP.
    std::vector<fs::path> to_rename;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code fec;
      if (!it->is_regular_file(fec)) continue;
      const std::string file = it->path().filename().string();
      if (IsEightDotThree(file) && file.substr(8) != ".BMP") to_rename.push_back(it->path());
    }
    for (const auto& from : to_rename) {
      const fs::path to = folder / (from.filename().string().substr(0, 8) + ".BMP");
      std::error_code rec;
      if (fs::exists(to, rec))
        fs::remove(from, rec);
      else
        fs::rename(from, to, rec);
    }
    std::vector<std::string> tiles;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string file = it->path().filename().string();
      if (IsEightDotThree(file) && file.substr(8) == ".BMP") tiles.push_back(file);
    }
    ec.clear();
    const std::string index_name = name + ".DIR";
    if (index_name.find('/') == std::string::npos && WriteLines(index_folder_ / index_name, tiles))
      written_.insert(index_name);
  }

  // The coordinate-named pictures.
  std::vector<std::string> pictures;
  const fs::path pics = platform::ResolveOrSame(root_ / "UTMPICS");
  for (fs::directory_iterator it(pics, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fec;
    if (!it->is_regular_file(fec)) continue;
    std::string name = it->path().filename().string();
    if (platform::UpperAscii(name).find("THUMB") != std::string::npos) continue;
    if (static_cast<int>(pictures.size()) >= kMaxPictures) break;
    name.resize(12, ' ');
    pictures.push_back(name);
  }
  SortIgnoringCase(pictures);
  pictures_ = std::move(pictures);
}

const MapIndex::Cached* MapIndex::Load(const std::string& folder) {
  const fs::path file = index_folder_ / (folder + ".DIR");
  std::error_code ec;
  const auto length = fs::file_size(file, ec);
  if (ec) return nullptr;
  const auto time = fs::last_write_time(file, ec);
  if (ec) return nullptr;
  const auto stamp = static_cast<std::int64_t>(time.time_since_epoch().count());
  auto it = cache_.find(folder);
  if (it != cache_.end() && it->second.length == length && it->second.stamp == stamp) return &it->second;
  std::ifstream in(file, std::ios::binary);
  if (!in) return nullptr;
  std::stringstream ss;
  ss << in.rdbuf();
  if (in.bad()) return nullptr;
  Cached c;
  c.length = length;
  c.stamp = stamp;
  c.names = SplitLines(ss.str());
  c.set.insert(c.names.begin(), c.names.end());
  auto& slot = cache_[folder];
  slot = std::move(c);
  return &slot;
}

std::optional<bool> MapIndex::HasTile(const std::string& folder, const std::string& tile_name) {
  if (Trim(folder).empty()) return false;
  const Cached* c = Load(folder);
  if (c == nullptr) return std::nullopt;
  if (c->set.count(tile_name) > 0) return true;
  // A line that holds the name with more around it counts as well.
  for (const auto& line : c->names)
    if (line.find(tile_name) != std::string::npos) return true;
  return false;
}

const std::vector<std::string>* MapIndex::Tiles(const std::string& folder) {
  if (Trim(folder).empty()) return nullptr;
  const Cached* c = Load(folder);
  return c != nullptr ? &c->names : nullptr;
}

}  // namespace zeblon::map
