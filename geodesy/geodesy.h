// Coordinate procedures shared by ZEBLON and TALMOR.
//
// Latitude and longitude are decimal degrees (north and east positive), WGS84
// positions are taken on the GRS80 ellipsoid; geocentric X, Y, Z and grid
// coordinates are metres. Points always lie on the ellipsoid surface (no height).
//
// Every procedure is stateless. Inputs are passed by value, results come back
// through the reference parameters; the argument order of each procedure is
// fixed (longitude before latitude, easting before northing, and for some
// procedures the outputs first) and callers rely on it.
//
// Faults: an arithmetic fault (division by zero, logarithm of zero, a result
// that is not a finite number) throws GeodesyError, leaving the outputs not yet
// written as the caller passed them. ConvertLatLonToUtm is the exception: it
// swallows its faults and returns with easting and northing untouched.
//
// Sources of the formulas: the transverse Mercator projection (Gauss-Krüger, RT90,
// UTM) follows Krüger's series to the fourth order through the conformal latitude,
// in the form published for Swedish grid work (SWEREF 99 TM and RT90 2.5 gon V);
// the datum shifts are a three-parameter translation (Potsdam) and a seven-
// parameter Helmert transformation without scale (RT90 <-> SWEREF 99).
//
// Accuracy, measured against PROJ on a 0.25-degree grid over 55-70 N, 5-30 E
// (tests/geodesy/proj_reference_test.cpp keeps these bounds):
//   ConvertLatLonToUtm against EPSG:32633 within 0.13 mm, against EPSG:3006 within
//   0.008 mm; ConvertWgs84ToRt90 against EPSG:3021 within 5.4 cm; the RT90 -> UTM 33
//   chain against EPSG:3021 -> EPSG:3006 within 5.7 cm.
#pragma once

#include <stdexcept>
#include <string_view>

namespace geodesy {

// An arithmetic fault inside a coordinate procedure (the run-time error that
// the caller's error trap takes).
class GeodesyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The pi of the coordinate library (fifteen significant digits).
inline constexpr double kPi = 3.14159265358979;

// The eight-decimal pi of the main window: the map read-outs, the Fopt
// estimate, the sun curve and the weather pictures are defined with these
// digits, and their reference results follow them.
inline constexpr double kShortPi = 3.14159265;

// Grid parameters.
inline constexpr double kUtmFalseEasting = 500000.0;          // every UTM zone
inline constexpr double kZone33CentralMeridian = 15.0;        // UTM zone 33 / SWEREF 99 TM
inline constexpr double kFinnishCentralMeridian = 27.0;       // the Finnish grid (UTM zone 35)
inline constexpr double kRt90CentralMeridian = 15.808277777;  // RT90 2.5 gon V
inline constexpr double kRt90FalseEasting = 1500000.0;

// ---------------------------------------------------------------------------
// Datum shifts and geocentric conversions.

// Potsdam (Bessel 1841) <-> WGS84: three translations.
void ShiftPotsdamToWgs84(double x, double y, double z, double& xWgs84, double& yWgs84, double& zWgs84);
void ShiftWgs84ToPotsdam(double& x, double& y, double& z, double xWgs84, double yWgs84, double zWgs84);

// RT90 (Bessel 1841) <-> SWEREF 99 (GRS80): Helmert with three shifts and three
// rotations, no scale. The reverse direction is the forward one with every
// sign changed, so the round trip is off by a few millimetres to centimetres.
void TransformRt90ToSweref99(double x, double y, double z, double& xSweref, double& ySweref, double& zSweref);
void TransformSweref99ToRt90(double& x, double& y, double& z, double xSweref, double ySweref, double zSweref);

// Latitude and longitude on the ellipsoid -> geocentric X, Y, Z.
void ConvertLatLonToGeocentricBessel(double& x, double& y, double& z, double longitude, double latitude);
void ConvertLatLonToGeocentricGrs80(double& x, double& y, double& z, double longitude, double latitude);

// Geocentric X, Y, Z -> longitude and latitude (Bowring, one step). The
// longitude keeps its quadrant (-180 to +180 degrees). A point on the polar
// axis (X and Y both 0) throws GeodesyError.
void ConvertGeocentricToLatLonBessel(double x, double y, double z, double& longitude, double& latitude);
void ConvertGeocentricToLatLonGrs80(double x, double y, double z, double& longitude, double& latitude);

// ---------------------------------------------------------------------------
// Transverse Mercator (Krueger series to n^4). No false northing: the northing
// counts from the equator, negative south of it.

// Bessel 1841, scale 1 (Gauss-Krueger and RT90).
void ConvertLatLonToGaussKrueger(double longitude, double latitude, double centralMeridian, double& easting,
                                 double& northing, double falseEasting);
// GRS80, scale 0.9996 (UTM, SWEREF 99 TM). Never throws: on a fault the
// outputs keep the values the caller put into them.
void ConvertLatLonToUtm(double longitude, double latitude, double centralMeridian, double& easting, double& northing,
                        double falseEasting);

void ConvertGaussKruegerToLatLon(double& longitude, double& latitude, double centralMeridian, double easting,
                                 double northing, double falseEasting);
void ConvertUtmToLatLon(double& longitude, double& latitude, double centralMeridian, double easting, double northing,
                        double falseEasting);

// ---------------------------------------------------------------------------
// Conversion chains: each is the fixed sequence of the procedures above, with
// nothing in between (no cutting, no range test). A fault in a step before the
// last one throws GeodesyError; a fault in a final ConvertLatLonToUtm step
// leaves the chain's outputs as the caller passed them.

// WGS84 -> Gauss-Krueger through the Potsdam datum. The false easting is
// GaussKruegerFalseEasting(centralMeridian).
void ConvertWgs84ToGaussKrueger(double longitude, double latitude, double gkCentralMeridian, double& easting,
                                double& northing);
// WGS84 -> RT90 (approximate reverse Helmert, RT90 central meridian and false easting).
void ConvertWgs84ToRt90(double longitude, double latitude, double& easting, double& northing);

// Gauss-Krueger (central meridian gkCentralMeridian, its false easting) -> UTM.
void ConvertGaussKruegerToUtm(double gkEasting, double gkNorthing, double gkCentralMeridian, double utmCentralMeridian,
                              double utmFalseEasting, double& utmEasting, double& utmNorthing);
// RT90 -> UTM (the map zone of ZEBLON).
void ConvertRt90ToUtm(double rt90Easting, double rt90Northing, double utmCentralMeridian, double utmFalseEasting,
                      double& utmEasting, double& utmNorthing);
// RT90 -> UTM zone 33 (central meridian 15, false easting 500000): TALMOR's
// chain, the same computation as ConvertRt90ToUtm with zone 33.
void ConvertRt90ToUtm33(double rt90Easting, double rt90Northing, double& utmEasting, double& utmNorthing);

// UTM in one zone -> UTM in another (own zone -> map zone, zone 33 -> the
// Finnish grid): ConvertUtmToLatLon then ConvertLatLonToUtm.
void ConvertUtmToUtm(double easting, double northing, double fromCentralMeridian, double fromFalseEasting,
                     double toCentralMeridian, double toFalseEasting, double& toEasting, double& toNorthing);

// ---------------------------------------------------------------------------
// Zone parameters.

// Int(cm / 3) * 1000000 + 500000: the zone number in the millions.
double GaussKruegerFalseEasting(double gkCentralMeridian);
// 3 * Int(Int(lon + 1.5) / 3): 10.4 -> 9, 10.5 -> 12.
double GaussKruegerCentralMeridianFor(double longitude);
// 6 * Int(Int(lon + 6) / 6) - 3: 11.99 -> 9, 12.0 -> 15, 18.0 -> 21.
double OwnZoneCentralMeridianFor(double longitude);
// Central meridian of a map system such as "U33": the leading number after the
// first character * 6 - 183 when the text begins with an upper-case "U",
// otherwise 15.
double MapCentralMeridianFor(std::string_view mapSystem);

}  // namespace geodesy
