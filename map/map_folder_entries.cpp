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

bool PatchSettingsAtShutdown(const std::filesystem::path& path, const std::array<std::string, 6>& combo_texts,
                             Settings& settings, const std::function<std::string(const Settings&)>& whole_text) {
  std::array<std::string*, 6> fields = {&settings.MapFolderM5000, &settings.MapFolderM1000, &settings.MapFolderM0200,
                                        &settings.MapFolderM0050, &settings.MapFolderM0010, &settings.MapFolderM0002};
  std::array<std::string, 6> folders;
  for (int i = 0; i < 6; ++i) {
    folders[i] = MapFolderFromCombo(combo_texts[i]);
    *fields[i] = folders[i];
  }
  const auto entries =
      ShutdownPatchEntries(folders, settings.CentreNorth, settings.CentreEast, settings.UserNorth, settings.UserEast);
  std::error_code ec;
  bool ok = true;
  if (!std::filesystem::exists(path, ec)) ok = WriteFileAtomically(path, whole_text(settings));
  return ok && PatchSettingsFile(path, entries, true);
}

}  // namespace zeblon::map
