// The right-click finders: what lies at a clicked map point among the received
// stations, the coordinate-named pictures, the loaded track's points and the POIs.
//
// Each compares every entry with the point separately in the two axes: a hit lies
// strictly less than r km away in northing and in easting. Entries are read from
// the first to the last and the last hit wins. Indexes are 1-based (the stores'
// slot numbers); 0 means nothing was found.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace zeblon::map {

// r for stations, track points and POIs: 10 pixels of the present scale.
double FinderRadiusKm(double metres_per_pixel);
// r for pictures: 0.5 km plus 1 km for every full 100 m per pixel (the metres per
// pixel taken to the nearest whole number, a half to the even neighbour).
double PictureFinderRadiusKm(double metres_per_pixel);

bool InFinderSquare(double north, double east, double selected_north, double selected_east, double r);

// The station finder: the watched station's track wins over the report log. A
// report counts only with a call, heard directly when `directOnly`, and of a class
// the filter mask shows (1 digipeater or gateway, 2 fixed, 4 mobile, 8 object or
// item, 16 weather); an object or item (column 90 "_") is class 3 whatever its
// symbol, a record with blank or unknown symbol columns has the class of the
// "No Symbol" row.
struct StationFilter {
  bool directOnly = false;
  int mask = 31;
};
struct StationHit {
  long index = 0;        // 0: nothing found
  bool moniOne = false;  // found in the MONI 1 track (the panel's delete mode)
  std::string call;      // the MONI 1 call, or the record's trimmed call
  std::string record;
};
StationHit FindStationAt(std::span<const std::string> moni_one_track, std::string_view moni_one_call,
                         std::span<const std::string> moni_all_log, double selected_north, double selected_east,
                         double metres_per_pixel, const StationFilter& filter);

// The station class of a 120-column record (see above).
int StationClassOfRecord(std::string_view record);

// A picture of the list (the search point of each is its PictureCentre).
int FindPictureAt(std::span<const std::string> names, double selected_north, double selected_east,
                  double metres_per_pixel);

// A TRK or POI line (columns 2-10 northing, 11-19 easting), and its text from
// column 21, trimmed.
struct LineHit {
  long index = 0;
  std::string text;
};
LineHit FindLineAt(std::span<const std::string> lines, double selected_north, double selected_east,
                   double metres_per_pixel);

// Texts of a POI: the editor shows the link button when the text holds "{" and "}".
bool TextHoldsLink(std::string_view text);

}  // namespace zeblon::map
