#include "map/map_folder_entries.h"

#include "geodesy/text.h"
#include "settings/text_files.h"
#include "map/map_tile.h"
#include "platform/paths.h"

namespace zeblon::map {

std::string MapFolderFromCombo(std::string_view combo_text) {
  if (combo_text.size() < 6) return {};
  return platform::UpperAscii(Trim(combo_text.substr(5)));
}

std::vector<std::pair<std::string, std::string>> ShutdownPatchEntries(const std::array<std::string, 6>& f, double cn,
                                                                      double ce, double un, double ue) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < 6; ++i) entries.emplace_back(ScaleTag(kTileScales[i]), f[i]);
  entries.insert(entries.end(),
                 {{"UTN", NumberText(cn)}, {"UTE", NumberText(ce)}, {"UUN", NumberText(un)}, {"UUE", NumberText(ue)}});
  return entries;
}

}  // namespace zeblon::map
