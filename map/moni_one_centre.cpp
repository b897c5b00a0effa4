#include "map/moni_one_centre.h"

#include "map/start_centre.h"

namespace zeblon::map {

void RestoreMoniOneLog(reception::StationStore& stations, MapDisplay& map, const std::filesystem::path& data_folder,
                       std::string_view call) {
  stations.RestoreAtStartUp(data_folder, call);
  double moniNorth = stations.Newest().north, moniEast = stations.Newest().east;
  double north = map.state().CentreNorth, east = map.state().CentreEast;
  ApplyMoniOneCentre(north, east, moniNorth, moniEast);
  map.SetCentre(north, east);
  stations.SetNewestPosition(moniNorth, moniEast);
}

void TakeMoniOneNewestOrCentre(reception::StationStore& stations, MapDisplay& map) {
  stations.RenewNewest();
  const reception::MoniOneNewest& n = stations.Newest();
  if (n.north != 0) map.SetCentre(n.north, n.east);
  stations.SetNewestPosition(map.state().CentreNorth, map.state().CentreEast);
}

}  // namespace zeblon::map
