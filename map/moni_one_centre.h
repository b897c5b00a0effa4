// The watched station's (MONI 1) newest record and the map centre on it.
#pragma once

#include <filesystem>
#include <string_view>

#include "map/map_display.h"
#include "reception/station_store.h"

namespace zeblon::map {

// The start-up: `call`'s log restored into the store (StationStore::RestoreAtStartUp),
// the map centred on its newest position (ApplyMoniOneCentre) and that centre kept
// as the newest position.
void RestoreMoniOneLog(reception::StationStore& stations, MapDisplay& map, const std::filesystem::path& data_folder,
                       std::string_view call);

// The newest fields taken from the track's last record; a newest position other
// than 0 becomes the map centre, and the centre is kept as the newest position.
void TakeMoniOneNewestOrCentre(reception::StationStore& stations, MapDisplay& map);

}  // namespace zeblon::map
