// The map's entries that the shutdown patches into the settings file: the map
// folder of each scale as its combo shows it, the map centre and the user position;
// and the shutdown's patch itself.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/settings.h"

namespace zeblon::map {

// A map-folder setting from its combo's text: from the sixth character on, trimmed,
// upper case.
std::string MapFolderFromCombo(std::string_view combo_text);

// The entries the shutdown patches into the settings file, in order.
std::vector<std::pair<std::string, std::string>> ShutdownPatchEntries(
    const std::array<std::string, 6>& map_folders_m5000_to_m0002, double centre_north, double centre_east,
    double user_north, double user_east);

// The shutdown's patch of the settings file: the map folders from the scale combos'
// texts (M5000 … M0002) taken into `settings`, then patched in with the map centre
// and the user position. A file that went missing while the program ran is first
// written anew from `whole_text` of the settings, so nothing is lost. False when
// the file could not be written.
bool PatchSettingsAtShutdown(const std::filesystem::path& settings_file, const std::array<std::string, 6>& combo_texts,
                             Settings& settings, const std::function<std::string(const Settings&)>& whole_text);

}  // namespace zeblon::map
