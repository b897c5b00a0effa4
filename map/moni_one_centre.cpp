#include "map/moni_one_centre.h"

#include <utility>

#include "map/start_centre.h"

namespace zeblon::map {

void RestoreMoniOneLog(reception::StationStore& stations, MapDisplay& map, const std::filesystem::path& data_folder,
                       std::string_view call) {
  stations.RestoreAtStartUp(data_folder, call);
  reception::MoniOneNewest n = stations.Newest();
  double north = map.state().CentreNorth, east = map.state().CentreEast;
  ApplyMoniOneCentre(north, east, n.north, n.east);
  map.SetCentre(north, east);
  stations.SetNewest(std::move(n));
}

void TakeMoniOneNewestOrCentre(reception::StationStore& stations, MapDisplay& map) {
  reception::MoniOneNewest n =
      reception::NewestFieldsOf(stations.MoniOneTrack()[static_cast<std::size_t>(stations.MoniOneCount())]);
  if (n.north != 0) map.SetCentre(n.north, n.east);
  n.north = map.state().CentreNorth;
  n.east = map.state().CentreEast;
  stations.SetNewest(std::move(n));
}

}  // namespace zeblon::map
