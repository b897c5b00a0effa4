// The TRK and POI pick lists of the control column at start-up.
#pragma once

#include <filesystem>

#include "map/map_tools.h"
#include "panels/control_column.h"
#include "settings/settings.h"

namespace zeblon::panels {

// Fills the TRK (Combo1) and POI (Combo2) combos with the files of the data
// folder's TRK and POI folders, shows the chosen entry of each (the settings' file
// where it is listed, map::ChooseListEntry) and keeps it in the settings, then
// loads the chosen files into the map's track files and POI store.
void ListPickFiles(ControlColumn& column, const std::filesystem::path& data_folder, Settings& settings,
                   map::UserFiles& files);

}  // namespace zeblon::panels
