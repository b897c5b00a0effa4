// The exchange with outside maps: the web-map addresses of the map centre, the
// ZEBLON.KML placemark for a globe program, the positions read back from a
// copied globe position or web-map address, and the names of the saved map
// pictures. Plain code: no windows, no programs started.
//
// Texts are 8-bit Windows-1252 ("\xB0" is the degree sign).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zeblon::map {

// A latitude or longitude to at most seven decimals (the nearest such value),
// "." as decimal point, no trailing zeros, a whole value keeps its point
// ("15."), a "0" before the point of a value between -1 and 1 ("-0.25").
std::string DecimalDegreeText(double degrees);

// The web maps that take the map centre.
enum class WebMap { kGoogleMaps, kSwedish, kNorwegian, kFinnish };

// The address of a web map at a map centre (km of the map zone). The web maps
// read UTM zone 33 values: Google Maps and the Finnish map convert the centre
// with the central meridian 15 whatever the map zone, the Swedish and Norwegian
// maps take its metres unchanged.
std::string WebMapAddress(WebMap map, double centre_north_km, double centre_east_km);

// ZEBLON.KML: eight lines, each ended CR LF, a placemark at the map centre
// (latitude and longitude of the map zone's inverse UTM).
struct KmlPlacemark {
  double latitude = 0, longitude = 0;
  // The placemark's name: latitude text, two blanks, longitude text; when the map
  // follows the MONI 1 station and its track holds a record, its call, two blanks
  // and its date and time caption.
  std::string name;
};
KmlPlacemark PlacemarkAt(double centre_north_km, double centre_east_km, double central_meridian, bool follows_moni_one,
                         long moni_one_count, std::string_view moni_one_call, std::string_view moni_one_time_caption);
std::string KmlText(const KmlPlacemark& placemark);

// A position read back from an outside map.
struct LatLon {
  double latitude = 0, longitude = 0;
};

// The position text a globe program copies: decimal degrees, degrees and decimal
// minutes, or degrees, minutes and seconds, with hemisphere letters (S, W or V
// make the value negative; decimal degrees take no sign from letters).
// Nothing (no position) when both values read 0.
std::optional<LatLon> ParseGlobePosition(std::string_view text);

// A web-map address ".../@lat,lon,zoom..." : the numbers between the first "@",
// the first comma of the whole text and the next comma. Nothing when a piece is
// missing, when the first comma stands before the "@" (a place name in the path)
// or when both values read 0.
std::optional<LatLon> ParseWebMapAddress(std::string_view text);

// A read-back position as map centre: the latitude and longitude in the map zone,
// cut down to whole metres, in km.
struct CentreKm {
  double north = 0, east = 0;
};
CentreKm CentreOfLatLon(const LatLon& position, double central_meridian, double false_easting);

// Saved map pictures: MAP_nnnn.BMP in the folder, nnnn the first number from 1 up
// whose file (in any letter case) does not exist yet, four digits at least.
std::filesystem::path NextSavedMapFile(const std::filesystem::path& folder);

// The question before a map picture is saved, by the units digit of the language
// setting (1 English, 2 German, 3 Swedish), with the file's full name; nothing
// for another language (then nothing is saved).
std::optional<std::string> SaveMapQuestion(int language_setting, std::string_view file_name);

}  // namespace zeblon::map
