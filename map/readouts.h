// Coordinate read-outs of the map: a map position (km of the map's UTM zone,
// the northing first) as WGS84 latitude and longitude, Gauss-Krueger, UTM of
// the point's own zone, RT90 and the Maidenhead locator, in the fixed-width
// texts of the read-out labels. Plain functions: no window, no state.
//
// Texts are 8-bit, a point is the decimal separator whatever the locale.
//
// Accuracy: the conversions are those of geodesy/geodesy.h (transverse
// Mercator to about a millimetre, the RT90 datum change to a few centimetres,
// the Potsdam datum by three translations only). The texts cut, never round:
// a km text is the value cut down to whole metres (+0.01 m), so it lies
// between 1 m below and 0.01 m above the exact value (10 m below for an
// eight-digit easting); a degree-minute text is cut toward zero to
// hundredths of a minute (at most 0.01' = 18.5 m of latitude nearer zero).
//
// Faults: the conversions throw GeodesyError where the geodesy does (a point
// at a pole, a value that is not finite); the caption builders catch it and
// show only the tag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "geodesy/geodesy.h"

namespace zeblon::map {

// ---------------------------------------------------------------------------
// Texts.

// The read-out km text of a km value v, made from a whole number of metres m:
// nine characters, the sign in column 1, a point before the metres.
//   0 -> "    0.000", 500 km -> "  500.000", 0.5 km -> "     .500",
//   -12.345 km -> "-  12.345", -0.5 km -> "-    .500", 0.005 km -> "     .005"
//   (the metres have at least three digits).
// eightDigitEasting: a text of 10,000 km or more keeps five km digits and
// hundreds and tens of metres instead ("10512345" m -> " 10512.34").
// Metres of more than 8 digits do not fit: the text stays nine characters and
// drops digits.
std::string ReadoutKmText(double km, std::uint64_t metres, bool eightDigitEasting = false);

// m of a km value for ReadoutKmText: |Int(v * 1000 + 0.01)|, Int rounding
// down (a value that is not finite gives 0).
std::uint64_t ReadoutMetres(double km);

// The centre pair's value text: ReadoutKmText(v, ReadoutMetres(v)).
std::string CentreValueText(double km);

// A km value cut to whole metres: Int((v + 0.0001) * 1000) / 1000 (down).
double CutToWholeMetres(double km);

// The cursor's and the MONI 1 station's value text of a value already cut to
// whole metres: ReadoutKmText with m = |v * 1000|, or the empty text when v
// lies above 9999.999 or below -9999.999 (or is not finite).
std::string TrackedValueText(double km);

// Degrees as "DDD:MM.HH", nine characters: whole degrees (blank-padded to
// three), minutes and hundredths of a minute, both cut toward zero.
// A negative value puts "-" in column 1 when that column is blank:
// 59.5 -> " 59:30.00", 18.0755 -> " 18:04.53", -0.5 -> "- 0:30.00",
// -120.25 -> "120:15.00" (no room for the sign). A value that is not finite
// reads as 0; one of 1000 degrees or more is longer than nine characters.
std::string LatLonText(double degrees);

// The six-character Maidenhead locator, upper case: 59.3293 N, 18.0686 E ->
// "JO99AH". Latitude -90..90 and longitude -180..180; the upper bounds give
// the letter "S" in the field (90 N, 180 E lie beyond field R). A position
// outside these bounds, or not finite, gives six blanks.
std::string MaidenheadLocator(double latitude, double longitude);

// ---------------------------------------------------------------------------
// Point conversion.

// A map position converted to WGS84 (the point fields of the main window).
struct MapPoint {
  double latitude = 0;   // degrees, north positive
  double longitude = 0;  // degrees, east positive
  std::string latText;   // LatLonText(latitude), 9 characters
  std::string lonText;   // LatLonText(longitude), 9 characters
};

// Map km (northing first) -> WGS84 latitude and longitude and their texts:
// the inverse UTM of the map zone (GRS80, scale 0.9996, no false northing;
// eastings with the map's false easting, 500000 m). Throws GeodesyError for a
// point the inverse cannot take (the pole itself, a value that is not finite).
// The degrees agree with PROJ's inverse UTM within 1e-8 (a millimetre).
MapPoint ConvertMapKmToLatLon(double northKm, double eastKm, double mapCentralMeridian,
                              double mapFalseEasting = 500000.0);

// The central meridians of the Gauss-Krueger and own-zone UTM read-outs.
// The start values are 9 degrees (UTM zone 32).
struct ZoneMeridians {
  double gkCentralMeridian = 9.0;
  std::string gkCentralMeridianText = "  9";  // 3 characters
  double ownZoneCentralMeridian = 9.0;
  std::string ownZoneMeridianText = "  9";  // 3 characters
  std::string ownZoneText = "32";           // zone number, 2 characters
};

// A central meridian as the read-outs show it: three characters, blank-filled in front.
std::string MeridianText(double meridian);

// The meridians of a centre longitude: Gauss-Krueger the multiple of 3
// nearest it (13.4 -> 12, 13.6 -> 15), own zone the centre of its 6-degree
// UTM zone (12.0 -> 15, 11.9 -> 9); zone text 33 for 15 (a blank in front of
// one digit).
ZoneMeridians ComputeZoneMeridians(double centreLongitude);

// The grid texts of a WGS84 point (nine characters each, metres cut as in
// ReadoutMetres, northings lowered to 9999.999 km, eastings with the
// eight-digit rule) and its locator.
struct AllSystemsTexts {
  std::string gkNorth, gkEast;            // Gauss-Krueger (Bessel, Potsdam datum)
  std::string ownZoneNorth, ownZoneEast;  // UTM of the own zone (GRS80)
  std::string rt90North, rt90East;        // RT90 2.5 gon V (Bessel)
  std::string locator;                    // 6 characters
};

// WGS84 point -> Gauss-Krueger (zone false easting Int(cm / 3) * 1e6 + 5e5),
// own-zone UTM (false easting mapFalseEasting) and RT90 texts and the locator.
// Throws GeodesyError where a datum step does (a point on the polar axis).
AllSystemsTexts ConvertLatLonToAllSystems(double latitude, double longitude, const ZoneMeridians& zones,
                                          double mapFalseEasting = 500000.0,
                                          double rt90CentralMeridian = geodesy::kRt90CentralMeridian,
                                          double rt90FalseEasting = geodesy::kRt90FalseEasting);

// ---------------------------------------------------------------------------
// The read-out labels.

// Systems of a label pair, stepped by a left click.
enum ReadoutSystem : int {
  kReadoutMapZone = 0,       // UTM of the map zone, the position as held
  kReadoutLatLon = 1,        // WGS84 latitude and longitude with the locator
  kReadoutGaussKrueger = 2,  // Gauss-Krueger
  kReadoutOwnZone = 3,       // UTM of the own zone
  kReadoutRt90 = 4,          // RT90
};

// The three label pairs.
enum class ReadoutPair { kCentre, kCursor, kMoniOne };

// The next system after a left click: (system + 1) mod 5; with a map central
// meridian below -30 or above 60 degrees 2 becomes 3 and 4 becomes 0
// (the cycle 0, 1, 3, 0).
int NextReadoutSystem(int system, double mapCentralMeridian);

// What the pairs read beside the position itself.
struct ReadoutFrame {
  double mapCentralMeridian = 15.0;
  double mapFalseEasting = 500000.0;
  std::string mapZoneText = "33";       // zone number of the map system
  std::string mapMeridianText = " 15";  // map meridian, 3 characters
  ZoneMeridians zones;
  double rt90CentralMeridian = geodesy::kRt90CentralMeridian;
  double rt90FalseEasting = geodesy::kRt90FalseEasting;
};

// The captions of a pair (northing side, easting side; 15 characters at most)
// and, for systems 1 to 4, the converted point.
struct ReadoutCaptions {
  std::string north;  // Label1 / Label3 / Label7
  std::string east;   // Label2 / Label4 / Label8
  bool converted = false;
  MapPoint point;  // when converted
};

// Captions of one pair showing `system` for the position (northKm, eastKm).
// northText and eastText are the pair's own value texts for system 0
// (CentreValueText or TrackedValueText). A conversion fault shows only the tags.
// System 0 for a zone-33 map: "UTMcen" + north text, "33! 15" + east text.
ReadoutCaptions ReadoutCaptionsFor(ReadoutPair pair, int system, double northKm, double eastKm,
                                   const std::string& northText, const std::string& eastText,
                                   const ReadoutFrame& frame);

// ---------------------------------------------------------------------------
// Cursor and MONI 1 read-outs.

// A map position in km (northing first).
struct MapKm {
  double north = 0;
  double east = 0;
};

// The map position under the cursor, cut to whole metres (CutToWholeMetres):
// north = centre - (y - (height / 2 - 1)) * metres per pixel / 1000,
// east = centre + (x - width / 2) * metres per pixel / 1000.
MapKm CursorPosition(double centreNorth, double centreEast, double cursorX, double cursorY, double mapWidthPx,
                     double mapHeightPx, double metresPerPixel);

// Great-circle distance (km, 111.12 km per degree of arc) and initial direction
// (degrees 0 to 360, clockwise from north) from point 1 to point 2, through
// the arc cosine with its argument held within +/-0.999999999999: the same
// point gives a distance of about 0.009 km and the direction 90; a direction
// argument that is not a number (point 1 at a pole) counts as 0 (90 degrees).
struct DistanceBearing {
  double distanceKm = 0;
  double bearing = 0;
};
DistanceBearing ComputeDistanceBearing(double lat1, double lon1, double lat2, double lon2);

// From the user's position to the MONI 1 station, both in map km: each is
// converted with ConvertMapKmToLatLon (the user first; `moniOnePoint` receives
// the station's point, the last one converted). Throws GeodesyError as the
// conversion does.
DistanceBearing ComputeMoniOneDistanceBearing(const MapKm& user, const MapKm& moniOne, double mapCentralMeridian,
                                              double mapFalseEasting, MapPoint& moniOnePoint);

// The MONI 1 speed in whole km/h as digits, or the empty text: from the
// newest record of the track (slots 1 to count of `track`, slot 0 unused)
// back while the gap to it is under 3 minutes; a gap of at least one minute
// gives Int(distance of the two positions * 60 / gap). A count below 2, a gap
// under a minute or a record time that is no date gives no speed.
std::string MoniOneSpeedText(const std::vector<std::string>& track, int count);

// The MONI 1 line (8-bit, the degree sign is byte B0):
// "DIST:   124 km   DIR: 270 \xB0   SPEED:  45 km/h   VIA: SM4DIG" (52
// characters and the via; distance in columns 6-11, direction 22-25, speed
// 37-40, each padded in front and cut to its last characters); the
// distance and direction taken to whole numbers (halves to even), the speed
// text as it stands, the via trimmed ("-" when empty).
std::string MoniOneLine(double distanceKm, double bearing, const std::string& speedText, const std::string& via);

}  // namespace zeblon::map
