#include "map/sun_curve.h"

#include <algorithm>
#include <cmath>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "map/compute_text.h"
#include "map/propagation.h"

namespace zeblon::map {

namespace {

constexpr double kMaxDeclination = 23.45 * geodesy::kShortPi / 180.0;
constexpr double kArcLimit = 0.999999999999;
constexpr int kDaysBeforeMonth[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// One curve: samples a = 0 to 360 in `step`, and the sum of sin e over the
// samples above the horizon.
std::vector<SunSample> Curve(double latitude, double s, double declination, double step, double& sum) {
  std::vector<SunSample> samples;
  sum = 0;
  const int count = static_cast<int>(std::lround(360.0 / step)) + 1;
  samples.reserve(count);
  for (int i = 0; i < count; ++i) {
    const double a = i * step;
    SunSample p;
    p.elevation = SunElevation(latitude, s, a, declination);
    p.x = kSunCurveLeft + a;
    p.y = kSunCurveHorizonY - p.elevation;
    p.aboveHorizon = p.elevation >= 0.0;
    if (p.elevation > 0.0) sum += std::sin(p.elevation * geodesy::kShortPi / 180.0);
    samples.push_back(p);
  }
  return samples;
}

void EnergyLine(const char* label, double energy, std::string& left, std::string& right) {
  left = std::string(label) + NumberTextUntrimmed(std::floor(energy));
  right = "> (Ah @12V):" + NumberTextUntrimmed(std::floor(10.0 * energy / 12.0) / 10.0);
}

}  // namespace

double SunDeclination(int month, int day) {
  const int m = std::clamp(month, 1, 12);
  const double n = day + 10 + kDaysBeforeMonth[m];
  double q = n / 364.0;
  if (q >= 1.0) q -= 1.0;
  return -kMaxDeclination * std::cos(360.0 * q * geodesy::kShortPi / 180.0);
}

double SunElevation(double latitude, double timeOffsetHours, double hourAngleStep, double declination) {
  const double phi = latitude * geodesy::kShortPi / 180.0;
  const double h = (15.0 * timeOffsetHours + hourAngleStep) * geodesy::kShortPi / 180.0 + geodesy::kShortPi;
  double x = std::sin(phi) * std::sin(declination) + std::cos(declination) * std::cos(phi) * std::cos(h);
  if (!(x >= -kArcLimit)) x = -kArcLimit;  // also a value that is not a number
  if (x > kArcLimit) x = kArcLimit;
  return std::atan(x / std::sqrt(1.0 - x * x)) * 180.0 / geodesy::kShortPi;
}

SunCurve ComputeSunCurveAt(double latitude, double longitude, const SunCurveClock& clock) {
  SunCurve c;
  c.latitude = latitude;
  c.longitude = longitude;
  const double s = longitude / 15.0 - clock.utcOffsetHours;

  c.title = "SUN CURVE  " + std::to_string(clock.year) + "-" + TwoDigits(clock.month) + "-" + TwoDigits(clock.day) +
            "       N " + NumberTextUntrimmed(CutToTenth(latitude)) + "   E " +
            NumberTextUntrimmed(CutToTenth(longitude));

  c.nowX = static_cast<int>(ToWholeNumber<std::int32_t>(kSunCurveLeft + 15.0 * clock.secondsSinceMidnight / 3600.0));
  for (int h = 0; h <= 21; h += 3) {
    const std::string t = NumberTextUntrimmed(h);
    c.hourLabels.push_back(t.substr(t.size() - 2));
  }
  c.utcLabel = " UTC";
  if (clock.utcOffsetHours != 0) c.utcLabel += (clock.utcOffsetHours > 0 ? "+" : "") + NumberText(clock.utcOffsetHours);
  if (c.utcLabel.size() < 5) c.utcLabel.insert(0, 5 - c.utcLabel.size(), ' ');

  double st = 0, sj = 0, sd = 0;
  c.today = Curve(latitude, s, SunDeclination(clock.month, clock.day), 1.0, st);
  c.june = Curve(latitude, s, kMaxDeclination, 7.5, sj);
  c.december = Curve(latitude, s, -kMaxDeclination, 7.5, sd);
  c.energyToday = st / 0.15;
  c.energyJune = sj / 0.15 * 7.5;
  c.energyDecember = sd / 0.15 * 7.5;
  EnergyLine("SOL.EL.PWR (Wh/d/m\xB2hor):", c.energyToday, c.energyLeft[0], c.energyRight[0]);
  EnergyLine(" ... 06-21 (Wh/d/m\xB2hor):", c.energyJune, c.energyLeft[1], c.energyRight[1]);
  EnergyLine(" ... 12-21 (Wh/d/m\xB2hor):", c.energyDecember, c.energyLeft[2], c.energyRight[2]);
  return c;
}

std::optional<SunCurve> ComputeSunCurve(double northKm, double eastKm, double mapCentralMeridian,
                                        const SunCurveClock& clock) {
  double longitude = 0, latitude = 0;
  try {
    geodesy::ConvertUtmToLatLon(longitude, latitude, mapCentralMeridian, eastKm * 1000.0, northKm * 1000.0,
                                geodesy::kUtmFalseEasting);
  } catch (const geodesy::GeodesyError&) {
    return std::nullopt;
  }
  return ComputeSunCurveAt(latitude, longitude, clock);
}

}  // namespace zeblon::map
