#include "panels/pick_lists.h"

#include <string>
#include <vector>

#include "map/track_files.h"
#include "platform/paths.h"
#include "settings/text_files.h"

namespace zeblon::panels {

namespace fs = std::filesystem;

namespace {

// The combo filled from the folder's files, the chosen entry shown; the folder as the files are read from.
fs::path FillPickList(platform::ComboBox& combo, const fs::path& folder, const char* ext, std::string& chosen) {
  for (const std::string& n : ListFileNames(folder, ext, true)) combo.AddItem(n);
  std::vector<std::string> entries;
  for (int i = 0; i < combo.ListCount(); ++i) entries.push_back(combo.List(i));
  chosen = map::ChooseListEntry(chosen, entries);
  combo.SetText(chosen);
  return platform::ResolveOrSame(folder);
}

}  // namespace

void ListPickFiles(ControlColumn& column, const fs::path& data_folder, Settings& settings, map::UserFiles& files) {
  files.tracks.SetFolder(FillPickList(*column.Combo1, data_folder / "TRK", ".TRK", settings.TrackFileName));
  if (!settings.TrackFileName.empty()) files.tracks.Load(settings.TrackFileName);
  files.pois.SetFolder(FillPickList(*column.Combo2, data_folder / "POI", ".POI", settings.PoiFileName));
  if (!settings.PoiFileName.empty()) files.pois.Load(settings.PoiFileName);
}

}  // namespace zeblon::panels
