// POI files: the user's points of interest, one file per collection in the data
// folder's POI folder (NAME.POI), one point per line, CR LF:
//   column 1 the point mark "\xFE", 2-10 northing and 11-19 easting (km of the map
//   zone, PositionText), 20 a blank, from 21 the point's text (it may hold a link
//   between "{" and "}").
// Lines of another form (written by hand or by other programs) are loaded as they
// stand and dropped at the next rewrite.
//
// PoiStore holds the current file's lines and does what the POI editor's OK asks:
// add, change, move to the map centre or delete a point, then rewrite and reload
// the file. Plain code: no window.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeblon::map {

// The nine-character position text of a POI or GPS point (km): 0.1 m is added and
// the value cut down to whole metres, which is written back into `km`; nothing
// for a value beyond +/-9999.999 km (such a point is refused, never written with
// empty columns).
std::optional<std::string> FormatPointPosition(double& km);

// A POI line: the point mark, the two position texts, a blank and the trimmed
// text; nothing when the position is out of range.
std::optional<std::string> PoiLine(double& north_km, double& east_km, std::string_view text);

// The link of a POI text: what stands between its first "{" and its first "}",
// when at least two characters do.
std::optional<std::string> PoiLink(std::string_view text);

// Whether a link may be opened: only http and https addresses and local files
// (file: addresses or absolute paths) that exist and are not programs (no execute
// permission, no launcher or script extension). Nothing is ever run through a shell.
bool LinkMayBeOpened(const std::string& link);

// The file a first point goes to while no POI file is chosen.
inline constexpr const char* kFirstPoiFileName = "MY_POINTS";

class PoiStore {
 public:
  // The POI folder of the data folder.
  explicit PoiStore(std::filesystem::path folder = {}) : folder_(std::move(folder)) {}
  void SetFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
  const std::filesystem::path& folder() const { return folder_; }

  // The POI files' names (upper case, without extension, sorted).
  std::vector<std::string> List() const;
  // The file of a name (an existing file in any letter case, else NAME.POI).
  std::filesystem::path FileOf(const std::string& name) const;

  // Loads the named file whole (any length) and makes it current.
  void Load(const std::string& name);
  // Creates an empty file of that name when none exists (an existing one keeps its
  // lines on disk) and makes it current with no points in memory.
  void Create(const std::string& name);

  const std::string& name() const { return name_; }
  const std::vector<std::string>& lines() const { return lines_; }

  // The POI editor's OK. `index` the line open in the editor (1-based, 0 a new
  // point); `text` the editor's text; `to_centre` set when the point is to move to
  // the selected point (POS->CENTER was used). An empty text deletes the point
  // (or adds none); a text of blanks has no text column and is dropped by the
  // rewrite. Then the file is rewritten with the lines that carry the mark and a
  // text, and read back. False when the point was refused (out of range: nothing
  // changes) or the file could not be written (the lines in memory stay), and
  // while no file is current (a file needs a name).
  bool Ok(long index, std::string_view text, bool to_centre, double& selected_north, double& selected_east);

 private:
  bool Rewrite();

  std::filesystem::path folder_;
  std::string name_;
  std::vector<std::string> lines_;
};

// The POI and TRK combos' choice: the text typed or chosen, trimmed and in upper
// case, and the entry of the list equal to it.
std::string ComboName(std::string_view text);
bool Listed(const std::vector<std::string>& list, const std::string& name);

}  // namespace zeblon::map
