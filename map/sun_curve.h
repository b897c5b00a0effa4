// The sun curve: the sun's elevation over the 24 hours of the local clock day
// at a map point, for today, 21 June and 21 December, with the day's solar
// energy on a horizontal square metre. Plain computation: the values, points
// and texts of the picture; drawing them is the caller's.
//
// Input: the point (map km of the map zone, or latitude and longitude in
// degrees), the local date, the seconds since local midnight and the UTC
// offset (local time minus UTC, whole hours).
// Output: see SunCurve. Texts are 8-bit ("\xB2" is the superscript two).
// Accuracy: an approximation on purpose: the declination is a cosine of the
// day of a 364-day year (within 1.1 degrees of the true one), the clock hour
// is taken as local solar time from the longitude alone (no equation of time:
// up to 16.5 minutes, 4.1 degrees of hour angle) and there is no refraction.
// The elevation lies within 4.5 degrees of the sun's true geometric elevation
// (4.05 the largest difference found from ephem over six places, eight dates
// and every hour).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zeblon::map {

// Picture geometry (pixels): midnight at x = 16, 15 pixels an hour to x = 376;
// the horizon at y = 170, one pixel a degree (+90 at y = 80, -90 at y = 260).
inline constexpr int kSunCurveLeft = 16;
inline constexpr int kSunCurveRight = 376;
inline constexpr int kSunCurvePixelsPerHour = 15;
inline constexpr int kSunCurveHorizonY = 170;
inline constexpr int kSunCurveTopY = 80;
inline constexpr int kSunCurveBottomY = 260;

// One sample of a curve: drawn as a pixel at (x, y), yellow (255, 255, 0)
// when the sun is at or above the horizon, light blue (0, 208, 255) below.
struct SunSample {
  double x = 0;          // 16 + hour-angle step
  double y = 0;          // 170 - elevation
  double elevation = 0;  // degrees
  bool aboveHorizon = false;
};

// The local clock.
struct SunCurveClock {
  int year = 2000;
  int month = 1;                    // 1-12
  int day = 1;                      // 1-31
  double secondsSinceMidnight = 0;  // local time
  int utcOffsetHours = 0;           // local time minus UTC
};

struct SunCurve {
  double latitude = 0, longitude = 0;                          // degrees
  std::string title;                                           // at (16, 10)
  int nowX = 16;                                               // the red present-time line, x
  std::vector<std::string> hourLabels;                         // " 0", " 3" ... "21" at x = 8 + 15 h, y = 265
  std::string utcLabel;                                        // right behind "21": "  UTC", " UTC+2", " UTC-5"
  std::vector<SunSample> today;                                // 361 samples, a step of 1 (4 minutes)
  std::vector<SunSample> june;                                 // 49 samples, 21 June, a step of 7.5 (half an hour)
  std::vector<SunSample> december;                             // 49 samples, 21 December
  double energyToday = 0, energyJune = 0, energyDecember = 0;  // Wh per day and m2
  // The energy lines: left at x = 16, right at x = 248; y = 30 (colour
  // (192, 192, 192)), 44 and 58 (colour (144, 144, 144)).
  std::string energyLeft[3], energyRight[3];
};

// Declination (radians) of today: day number N = day + 10 + days before the
// month (a common year), q = N / 364 less 1 when at least 1,
// -23.45 degrees * cos(360 q degrees).
double SunDeclination(int month, int day);

// Elevation (degrees) of the sun at latitude phi (degrees) for a declination
// (radians), with s = longitude / 15 - UTC offset (hours) and the hour-angle
// step a (degrees; 15 a local clock hour, 0 at local midnight).
double SunElevation(double latitude, double timeOffsetHours, double hourAngleStep, double declination);

// The curve at a latitude and longitude.
SunCurve ComputeSunCurveAt(double latitude, double longitude, const SunCurveClock& clock);

// The curve at a map point: the inverse UTM of the map zone (false easting
// 500000 m). No curve for a point the inverse cannot take (a pole, a value
// that is not finite).
std::optional<SunCurve> ComputeSunCurve(double northKm, double eastKm, double mapCentralMeridian,
                                        const SunCurveClock& clock);

}  // namespace zeblon::map
