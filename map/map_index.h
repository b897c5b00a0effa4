// The catalogue of map folders, their tiles and the coordinate-named pictures.
//
// Below the map root every folder whose upper-cased, trimmed name holds a scale tag
// ("M5000" ... "M0002", anywhere in the name) is a map folder of that scale; a name
// with two tags belongs to both. Build():
//   - writes ALLMDIRS.DIR (the folder names, once per tag, in listing order) and one
//     NAME.DIR per folder (its tile names) into the index folder, CR LF lines;
//   - gives every file of exactly eight characters, a point and three whose
//     extension is not ".BMP" the name with ".BMP" (when that name exists already,
//     the file is deleted instead); other names are never touched;
//   - lists each scale's folders (sorted without regard to case) and chooses each
//     scale's folder: the entry whose suffix (the name from its sixth character)
//     equals the scale's setting, else the first entry;
//   - lists the pictures of UTMPICS (names without "THUMB", cut or padded to 12
//     characters, sorted without regard to case, at most 5000).
// Old index files are deleted only when this index wrote them: nothing outside the
// index folder, and nothing in it that another program put there, is removed.
//
// The tile lists are read back from the index files and kept while the files stay
// unchanged; a file that has gone or cannot be read makes HasTile report a failure,
// which the redraw answers with a rebuild (which keeps the user's choices).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zeblon::map {

inline constexpr int kLevels = 6;
inline constexpr const char* kScaleTags[kLevels] = {"M5000", "M1000", "M0200", "M0050", "M0010", "M0002"};
inline constexpr int kMaxPictures = 5000;

class MapIndex {
 public:
  MapIndex() = default;
  MapIndex(std::filesystem::path map_root, std::filesystem::path index_folder);

  // Rebuilds everything. `suffixes` are the per-scale settings (M5000 ... M0002:
  // the chosen folder's name from its sixth character, upper case).
  void Build(const std::array<std::string, kLevels>& suffixes);

  const std::vector<std::string>& Folders(int level) const { return folders_[level]; }
  // The folder chosen by the last Build (its name as listed).
  const std::string& Chosen(int level) const { return chosen_[level]; }
  // The folder on disk for a listed name (the name may differ in case).
  std::filesystem::path FolderPath(const std::string& name) const;

  // True / false: whether the folder's index lists the tile; nullopt when the
  // folder's index file cannot be read (gone, unreadable). An empty folder name
  // (a scale without map folders) has no tiles and no failure.
  std::optional<bool> HasTile(const std::string& folder, const std::string& tile_name);
  // The tile names of a folder's index, nullptr when the file cannot be read.
  const std::vector<std::string>* Tiles(const std::string& folder);

  const std::vector<std::string>& Pictures() const { return pictures_; }

  const std::filesystem::path& index_folder() const { return index_folder_; }
  const std::filesystem::path& map_root() const { return root_; }
  // Files that this index wrote and still owns (deleted at shutdown).
  std::vector<std::filesystem::path> OwnFiles() const;
  void DeleteOwnFiles();

 private:
  struct Cached {
    std::uint64_t length = 0;
    std::int64_t stamp = 0;
    std::vector<std::string> names;
    std::unordered_set<std::string> set;
  };
  const Cached* Load(const std::string& folder);

  std::filesystem::path root_, index_folder_;
  std::array<std::vector<std::string>, kLevels> folders_;
  std::array<std::string, kLevels> chosen_;
  std::vector<std::string> folder_lines_;
  std::unordered_map<std::string, std::filesystem::path> folder_paths_;
  std::vector<std::string> pictures_;
  std::unordered_set<std::string> written_;
  std::unordered_map<std::string, Cached> cache_;
};

// Sorts texts ascending without regard to (ASCII) case, as the combos and the
// picture list keep them.
void SortIgnoringCase(std::vector<std::string>& texts);

// The tile at the map centre for a scale: NNNNEEEE.BMP of floor(centre / s) * s.
std::string CentreTileName(double centre_north_km, double centre_east_km, int scale);

// True for a name of exactly eight characters, a point and three.
bool IsEightDotThree(std::string_view name);

}  // namespace zeblon::map
