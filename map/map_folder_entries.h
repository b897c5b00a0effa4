// The map's entries that the shutdown patches into the settings file: the map
// folder of each scale as its combo shows it, the map centre and the user position.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zeblon::map {

// A map-folder setting from its combo's text: from the sixth character on, trimmed,
// upper case.
std::string MapFolderFromCombo(std::string_view combo_text);

// The entries the shutdown patches into the settings file, in order.
std::vector<std::pair<std::string, std::string>> ShutdownPatchEntries(
    const std::array<std::string, 6>& map_folders_m5000_to_m0002, double centre_north, double centre_east,
    double user_north, double user_east);

}  // namespace zeblon::map
