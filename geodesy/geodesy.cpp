#include "geodesy/geodesy.h"

#include "geodesy/text.h"

#include <cmath>

namespace geodesy {

namespace {

// ---------------------------------------------------------------------------
// Ellipsoids. e^2, 1 - e^2 and e^2 * a are held as constants of their own.

struct Ellipsoid {
  double a;
  double inverseFlattening;
  double e2;
  double oneMinusE2;
  double e2a;
};

constexpr Ellipsoid kBessel{6377397.15508, 299.1528128, 0.0066743722318, 0.9933256277682, 42565.122483026265};
constexpr Ellipsoid kGrs80{6378137.0, 298.257222101, 0.0066943800229, 0.9933056199771, 42697.672916119336};

// Potsdam -> WGS84 translations.
constexpr double kPotsdamDx = 587.0;
constexpr double kPotsdamDy = 16.0;
constexpr double kPotsdamDz = 393.0;

// RT90 -> SWEREF 99: shifts, and rotations as arcseconds times pi.
constexpr double kRt90Tx = 414.0978567149;
constexpr double kRt90Ty = 41.3381489658;
constexpr double kRt90Tz = 603.0627177516;
constexpr double kRt90RxConstant = 2.6861981625864457;
constexpr double kRt90RyConstant = -6.727238491309673;
constexpr double kRt90RzConstant = 22.06252854975766;
// The reverse direction: the same values, every sign changed.
constexpr double kSwerefTx = -414.0978567149;
constexpr double kSwerefTy = -41.3381489658;
constexpr double kSwerefTz = -603.0627177516;
constexpr double kSwerefRxConstant = -2.6861981625864457;
constexpr double kSwerefRyConstant = 6.727238491309673;
constexpr double kSwerefRzConstant = -22.06252854975766;

// Rotation angle in radians: the constant / 180, then / 3600.
constexpr double RotationRadians(double constant) { return constant / 180.0 / 3600.0; }

inline double ToRadians(double degrees) { return degrees * kPi / 180.0; }
inline double ToDegrees(double radians) { return radians * 180.0 / kPi; }

// ---------------------------------------------------------------------------
// Transverse Mercator constants, derived once per ellipsoid exactly as the
// series define them (f, n, e and its powers, the conformal-latitude and
// Krueger coefficients, the rectifying radius).

struct TmConstants {
  double e2;
  double B, C, D;  // conformal latitude
  double beta1, beta2, beta3, beta4;
  double delta1, delta2, delta3, delta4;
  double Astar, Bstar, Cstar, Dstar;
  double aHat;     // rectifying radius, unscaled
  double k0;       // scale factor
  double farSide;  // H: half a meridian on the grid
  bool scaled;     // k0 applied (UTM) or not (Gauss-Krueger)
};

TmConstants MakeTmConstants(const Ellipsoid& el, double k0, bool scaled, double farSide) {
  // Written exactly as the series define them, so that every constant is the
  // same double as a derivation at each call would give.
  TmConstants c{};
  const double f = 1 / el.inverseFlattening;
  const double n = f / (2 - f);
  const double e = std::sqrt(el.e2);
  const double e4 = std::pow(e, 4), e6 = std::pow(e, 6), e8 = std::pow(e, 8);
  c.e2 = el.e2;
  c.B = (5 * e4 - e6) / 6;
  c.C = (104 * e6 - 45 * e8) / 120;
  c.D = 1237 * e8 / 1260;
  c.beta1 = n / 2 - 2 * n * n / 3 + 5 * std::pow(n, 3) / 16 + 41 * std::pow(n, 4) / 180;
  c.beta2 = 13 * n * n / 48 - 3 * std::pow(n, 3) / 5 + 557 * std::pow(n, 4) / 1440;
  c.beta3 = 61 * std::pow(n, 3) / 240 - 103 * std::pow(n, 4) / 140;
  c.beta4 = 49561 * std::pow(n, 4) / 161280;
  c.delta1 = n / 2 - 2 * n * n / 3 + 37 * std::pow(n, 3) / 96 - std::pow(n, 4) / 360;
  c.delta2 = n * n / 48 + std::pow(n, 3) / 15 - 437 * std::pow(n, 4) / 1440;
  c.delta3 = 17 * std::pow(n, 3) / 480 - 37 * std::pow(n, 4) / 840;
  c.delta4 = 4397 * std::pow(n, 4) / 161280;
  c.Astar = el.e2 + e4 + e6 + e8;
  c.Bstar = -(7 * e4 + 17 * e6 + 30 * e8) / 6;
  c.Cstar = (224 * e6 + 889 * e8) / 120;
  c.Dstar = -4279 * e8 / 1260;
  c.aHat = el.a / (1 + n) * (1 + n * n / 4 + std::pow(n, 4) / 64);
  c.k0 = k0;
  c.farSide = farSide;
  c.scaled = scaled;
  return c;
}

const TmConstants kGaussKrueger = MakeTmConstants(kBessel, 1.0, false, 20001712.0);
const TmConstants kUtm = MakeTmConstants(kGrs80, 0.9996, true, 19995930.0);

// The truncated hyperbolic series of the projection, given x^2 (and x).
// The terms are summed left to right as the series are written: the sums feed
// the main terms of the inverse, where a different rounding would show.
inline double CoshSeries(double x2) {
  const double x4 = x2 * x2;
  return 1 + x2 / 2 + x4 / 24 + x4 * x2 / 720;
}
inline double SinhSeries(double x, double x2) {
  const double x3 = x2 * x;
  const double x5 = x3 * x2;
  return x + x3 / 6 + x5 / 120 + x5 * x2 / 5040;
}

// sin and cos of 2u, 4u, 6u and 8u from sin 2u and cos 2u.
struct Multiples {
  double s2, c2, s4, c4, s6, c6, s8, c8;
};
inline Multiples MultiplesOf(double s2, double c2) {
  Multiples m;
  m.s2 = s2;
  m.c2 = c2;
  m.s4 = 2.0 * s2 * c2;
  m.c4 = (c2 - s2) * (c2 + s2);
  m.s6 = m.s4 * c2 + m.c4 * s2;
  m.c6 = m.c4 * c2 - m.s4 * s2;
  m.s8 = 2.0 * m.s4 * m.c4;
  m.c8 = (m.c4 - m.s4) * (m.c4 + m.s4);
  return m;
}

// Forward projection. Returns false on an arithmetic fault, with the outputs
// not written.
inline bool ForwardTm(const TmConstants& k, double longitude, double latitude, double centralMeridian,
                      double falseEasting, double& easting, double& northing) {
  const double dl = ToRadians(longitude - centralMeridian);
  const double phi = ToRadians(latitude);
  const double sinPhi = std::sin(phi);
  const double cosPhi = std::cos(phi);
  const double s2 = sinPhi * sinPhi;
  const double s4 = s2 * s2;
  const double phiStar = phi - sinPhi * cosPhi * (k.e2 + k.B * s2 + k.C * s4 + k.D * (s4 * s2));
  const double sinDl = std::sin(dl);
  const double cosDl = std::cos(dl);
  const double xiP = std::atan(std::tan(phiStar) / cosDl);
  const double x = std::cos(phiStar) * sinDl;
  const double denominator = 1.0 - x;
  if (denominator == 0.0) return false;  // division by zero
  const double ratio = (1.0 + x) / denominator;
  if (!(ratio > 0.0)) return false;  // logarithm of zero (or NaN input)
  const double etaP = 0.5 * std::log(ratio);

  const Multiples m = MultiplesOf(std::sin(2.0 * xiP), std::cos(2.0 * xiP));
  const double u2 = 4.0 * etaP * etaP;  // (2 eta')^2
  const double u = 2.0 * etaP;
  const double ch2 = CoshSeries(u2), ch4 = CoshSeries(4.0 * u2), ch6 = CoshSeries(9.0 * u2),
               ch8 = CoshSeries(16.0 * u2);
  const double sh2 = SinhSeries(u, u2), sh4 = SinhSeries(2.0 * u, 4.0 * u2), sh6 = SinhSeries(3.0 * u, 9.0 * u2),
               sh8 = SinhSeries(4.0 * u, 16.0 * u2);

  const double northSum =
      k.beta1 * m.s2 * ch2 + xiP + k.beta2 * m.s4 * ch4 + k.beta3 * m.s6 * ch6 + k.beta4 * m.s8 * ch8;
  const double eastSum =
      k.beta1 * m.c2 * sh2 + etaP + k.beta2 * m.c4 * sh4 + k.beta3 * m.c6 * sh6 + k.beta4 * m.c8 * sh8;
  double n = northSum * k.aHat;
  double e = eastSum * k.aHat;
  if (k.scaled) {
    n = n * k.k0;
    e = e * k.k0;
  }
  e = e + falseEasting;

  // Far side: more than 90 degrees of longitude from the central meridian.
  if (latitude > 1.0 && longitude < centralMeridian - 90.0)
    n += k.farSide;
  else if (latitude > 1.0 && longitude > centralMeridian + 90.0)
    n += k.farSide;
  else if (latitude < 1.0 && longitude < centralMeridian - 90.0)
    n -= k.farSide;
  else if (latitude < 1.0 && longitude > centralMeridian + 90.0)
    n -= k.farSide;

  if (!std::isfinite(n) || !std::isfinite(e)) return false;  // overflow
  northing = n;
  easting = e;
  return true;
}

enum class InverseFault { None, BeforeLatitude, BeforeLongitude };

// Inverse projection. The latitude is written before the longitude; a fault
// leaves the outputs not yet written untouched.
inline InverseFault InverseTm(const TmConstants& k, double& longitude, double& latitude, double centralMeridian,
                              double easting, double northing, double falseEasting) {
  double nPrime = northing;
  double ePrime = easting - falseEasting;
  if (k.scaled) {
    nPrime = northing / k.k0;
    ePrime = (easting - falseEasting) / k.k0;
  }
  const double xi = nPrime / k.aHat;
  const double eta = ePrime / k.aHat;

  const Multiples m = MultiplesOf(std::sin(2.0 * xi), std::cos(2.0 * xi));
  const double u = 2.0 * eta;
  const double u2 = u * u;
  const double ch2 = CoshSeries(u2), ch4 = CoshSeries(4.0 * u2), ch6 = CoshSeries(9.0 * u2),
               ch8 = CoshSeries(16.0 * u2);
  const double sh2 = SinhSeries(u, u2), sh4 = SinhSeries(2.0 * u, 4.0 * u2), sh6 = SinhSeries(3.0 * u, 9.0 * u2),
               sh8 = SinhSeries(4.0 * u, 16.0 * u2);

  const double xiP = xi - k.delta1 * m.s2 * ch2 - k.delta2 * m.s4 * ch4 - k.delta3 * m.s6 * ch6 - k.delta4 * m.s8 * ch8;
  const double etaP =
      eta - k.delta1 * m.c2 * sh2 - k.delta2 * m.c4 * sh4 - k.delta3 * m.c6 * sh6 - k.delta4 * m.c8 * sh8;

  const double etaP2 = etaP * etaP;
  const double sinXiP = std::sin(xiP);
  const double cosXiP = std::cos(xiP);
  const double s = sinXiP / CoshSeries(etaP2);
  const double rootArg = 1.0 - s * s;
  if (!(rootArg > 0.0)) return InverseFault::BeforeLatitude;  // division by zero at a pole, or NaN
  const double phiStar = std::atan(s / std::sqrt(rootArg));
  const double sinPhiStar = std::sin(phiStar);
  const double cosPhiStar = std::cos(phiStar);
  const double sp2 = sinPhiStar * sinPhiStar;
  const double sp4 = sp2 * sp2;
  const double phi =
      phiStar + sinPhiStar * cosPhiStar * (k.Astar + k.Bstar * sp2 + k.Cstar * sp4 + k.Dstar * (sp4 * sp2));
  const double lat = ToDegrees(phi);
  if (!std::isfinite(lat)) return InverseFault::BeforeLatitude;
  latitude = lat;

  double lon = ToDegrees(std::atan(SinhSeries(etaP, etaP2) / cosXiP)) + centralMeridian;
  if (!std::isfinite(lon)) return InverseFault::BeforeLongitude;
  if (easting > falseEasting && lon < centralMeridian) lon += 180.0;
  if (easting < falseEasting && lon > centralMeridian) lon += 180.0;
  // Whole turns off; a far-off central meridian is reduced at once instead
  // of turn by turn (adding 360 to a huge value would never end).
  if (std::fabs(lon) > 1.0e6) lon = std::fmod(lon, 360.0);
  while (lon < -180.0) lon += 360.0;
  while (lon > 180.0) lon -= 360.0;
  longitude = lon;
  return InverseFault::None;
}

inline void ThrowInverseFault(InverseFault fault) {
  if (fault != InverseFault::None) throw GeodesyError("transverse Mercator inverse: arithmetic fault");
}

inline void LatLonToGeocentric(const Ellipsoid& el, double& x, double& y, double& z, double longitude,
                               double latitude) {
  const double phi = ToRadians(latitude);
  const double lambda = ToRadians(longitude);
  const double sinPhi = std::sin(phi);
  const double cosPhi = std::cos(phi);
  const double n = el.a / std::sqrt(1.0 - sinPhi * sinPhi * el.e2);
  x = cosPhi * n * std::cos(lambda);
  y = cosPhi * n * std::sin(lambda);
  z = n * el.oneMinusE2 * sinPhi;
}

// Bowring in one step. Returns false on a fault; the longitude is written
// before the latitude is computed.
inline bool GeocentricToLatLon(const Ellipsoid& el, double x, double y, double z, double& longitude, double& latitude) {
  // The longitude keeps its quadrant: west of -90 and east of +90 degrees
  // (X negative) the arctangent of Y / X is half a turn off, and X = 0 is
  // the meridian of +90 or -90. Only the polar axis has no longitude.
  double lon;
  if (x > 0.0) {
    lon = ToDegrees(std::atan(y / x));
  } else if (x < 0.0) {
    lon = ToDegrees(std::atan(y / x)) + (y >= 0.0 ? 180.0 : -180.0);
  } else if (y != 0.0) {
    lon = y > 0.0 ? 90.0 : -90.0;
  } else {
    return false;  // on the polar axis
  }
  if (!std::isfinite(lon)) return false;
  longitude = lon;
  const double p = std::sqrt(x * x + y * y);
  const double rootOneMinusE2 = std::sqrt(el.oneMinusE2);
  const double theta = std::atan(z / (rootOneMinusE2 * p));
  const double sinTheta = std::sin(theta);
  const double cosTheta = std::cos(theta);
  const double denominator = p - cosTheta * cosTheta * cosTheta * el.e2a;
  if (denominator == 0.0) return false;
  const double lat = ToDegrees(std::atan((z + sinTheta * sinTheta * sinTheta * el.e2a / rootOneMinusE2) / denominator));
  if (!std::isfinite(lat)) return false;
  latitude = lat;
  return true;
}

inline void HelmertRt90ToSweref99(double x, double y, double z, double& xs, double& ys, double& zs) {
  constexpr double rX = RotationRadians(kRt90RxConstant);
  constexpr double rY = RotationRadians(kRt90RyConstant);
  constexpr double rZ = RotationRadians(kRt90RzConstant);
  xs = rZ * y + x - rY * z + kRt90Tx;
  ys = -rZ * x + y + rX * z + kRt90Ty;
  zs = rY * x - rX * y + z + kRt90Tz;
}

inline void HelmertSweref99ToRt90(double& x, double& y, double& z, double xs, double ys, double zs) {
  // The forward formulas with every value negated, applied to SWEREF 99.
  constexpr double rX = RotationRadians(kSwerefRxConstant);
  constexpr double rY = RotationRadians(kSwerefRyConstant);
  constexpr double rZ = RotationRadians(kSwerefRzConstant);
  x = rZ * ys + xs - rY * zs + kSwerefTx;
  y = -rZ * xs + ys + rX * zs + kSwerefTy;
  z = rY * xs - rX * ys + zs + kSwerefTz;
}

[[noreturn]] void ThrowFault(const char* what) { throw GeodesyError(what); }

}  // namespace

// ---------------------------------------------------------------------------
// Datum shifts and geocentric conversions.

void ShiftPotsdamToWgs84(double x, double y, double z, double& xWgs84, double& yWgs84, double& zWgs84) {
  xWgs84 = x + kPotsdamDx;
  yWgs84 = y + kPotsdamDy;
  zWgs84 = z + kPotsdamDz;
}

void ShiftWgs84ToPotsdam(double& x, double& y, double& z, double xWgs84, double yWgs84, double zWgs84) {
  x = xWgs84 - kPotsdamDx;
  y = yWgs84 - kPotsdamDy;
  z = zWgs84 - kPotsdamDz;
}

void TransformRt90ToSweref99(double x, double y, double z, double& xSweref, double& ySweref, double& zSweref) {
  HelmertRt90ToSweref99(x, y, z, xSweref, ySweref, zSweref);
}

void TransformSweref99ToRt90(double& x, double& y, double& z, double xSweref, double ySweref, double zSweref) {
  HelmertSweref99ToRt90(x, y, z, xSweref, ySweref, zSweref);
}

void ConvertLatLonToGeocentricBessel(double& x, double& y, double& z, double longitude, double latitude) {
  LatLonToGeocentric(kBessel, x, y, z, longitude, latitude);
}

void ConvertLatLonToGeocentricGrs80(double& x, double& y, double& z, double longitude, double latitude) {
  LatLonToGeocentric(kGrs80, x, y, z, longitude, latitude);
}

void ConvertGeocentricToLatLonBessel(double x, double y, double z, double& longitude, double& latitude) {
  if (!GeocentricToLatLon(kBessel, x, y, z, longitude, latitude))
    ThrowFault("geocentric to latitude and longitude: arithmetic fault");
}

void ConvertGeocentricToLatLonGrs80(double x, double y, double z, double& longitude, double& latitude) {
  if (!GeocentricToLatLon(kGrs80, x, y, z, longitude, latitude))
    ThrowFault("geocentric to latitude and longitude: arithmetic fault");
}

// ---------------------------------------------------------------------------
// Transverse Mercator.

void ConvertLatLonToGaussKrueger(double longitude, double latitude, double centralMeridian, double& easting,
                                 double& northing, double falseEasting) {
  if (!ForwardTm(kGaussKrueger, longitude, latitude, centralMeridian, falseEasting, easting, northing))
    ThrowFault("Gauss-Krueger projection: arithmetic fault");
}

void ConvertLatLonToUtm(double longitude, double latitude, double centralMeridian, double& easting, double& northing,
                        double falseEasting) {
  // Faults are swallowed: the outputs then keep what the caller put into them.
  ForwardTm(kUtm, longitude, latitude, centralMeridian, falseEasting, easting, northing);
}

void ConvertGaussKruegerToLatLon(double& longitude, double& latitude, double centralMeridian, double easting,
                                 double northing, double falseEasting) {
  ThrowInverseFault(InverseTm(kGaussKrueger, longitude, latitude, centralMeridian, easting, northing, falseEasting));
}

void ConvertUtmToLatLon(double& longitude, double& latitude, double centralMeridian, double easting, double northing,
                        double falseEasting) {
  ThrowInverseFault(InverseTm(kUtm, longitude, latitude, centralMeridian, easting, northing, falseEasting));
}

// ---------------------------------------------------------------------------
// Chains.

void ConvertWgs84ToGaussKrueger(double longitude, double latitude, double gkCentralMeridian, double& easting,
                                double& northing) {
  double x, y, z, xp, yp, zp, lonB, latB;
  ConvertLatLonToGeocentricGrs80(x, y, z, longitude, latitude);
  ShiftWgs84ToPotsdam(xp, yp, zp, x, y, z);
  ConvertGeocentricToLatLonBessel(xp, yp, zp, lonB, latB);
  ConvertLatLonToGaussKrueger(lonB, latB, gkCentralMeridian, easting, northing,
                              GaussKruegerFalseEasting(gkCentralMeridian));
}

void ConvertWgs84ToRt90(double longitude, double latitude, double& easting, double& northing) {
  double x, y, z, xr, yr, zr, lonB, latB;
  ConvertLatLonToGeocentricGrs80(x, y, z, longitude, latitude);
  TransformSweref99ToRt90(xr, yr, zr, x, y, z);
  ConvertGeocentricToLatLonBessel(xr, yr, zr, lonB, latB);
  ConvertLatLonToGaussKrueger(lonB, latB, geodesy::kRt90CentralMeridian, easting, northing, geodesy::kRt90FalseEasting);
}

void ConvertGaussKruegerToUtm(double gkEasting, double gkNorthing, double gkCentralMeridian, double utmCentralMeridian,
                              double utmFalseEasting, double& utmEasting, double& utmNorthing) {
  double lonB = 0.0, latB = 0.0, x, y, z, xw, yw, zw, lon = 0.0, lat = 0.0;
  ConvertGaussKruegerToLatLon(lonB, latB, gkCentralMeridian, gkEasting, gkNorthing,
                              GaussKruegerFalseEasting(gkCentralMeridian));
  ConvertLatLonToGeocentricBessel(x, y, z, lonB, latB);
  ShiftPotsdamToWgs84(x, y, z, xw, yw, zw);
  ConvertGeocentricToLatLonGrs80(xw, yw, zw, lon, lat);
  ConvertLatLonToUtm(lon, lat, utmCentralMeridian, utmEasting, utmNorthing, utmFalseEasting);
}

void ConvertRt90ToUtm(double rt90Easting, double rt90Northing, double utmCentralMeridian, double utmFalseEasting,
                      double& utmEasting, double& utmNorthing) {
  double lonB = 0.0, latB = 0.0, x, y, z, xs, ys, zs, lon = 0.0, lat = 0.0;
  ThrowInverseFault(InverseTm(kGaussKrueger, lonB, latB, geodesy::kRt90CentralMeridian, rt90Easting, rt90Northing,
                              geodesy::kRt90FalseEasting));
  LatLonToGeocentric(kBessel, x, y, z, lonB, latB);
  HelmertRt90ToSweref99(x, y, z, xs, ys, zs);
  if (!GeocentricToLatLon(kGrs80, xs, ys, zs, lon, lat))
    ThrowFault("geocentric to latitude and longitude: arithmetic fault");
  ForwardTm(kUtm, lon, lat, utmCentralMeridian, utmFalseEasting, utmEasting, utmNorthing);
}

void ConvertRt90ToUtm33(double rt90Easting, double rt90Northing, double& utmEasting, double& utmNorthing) {
  ConvertRt90ToUtm(rt90Easting, rt90Northing, geodesy::kZone33CentralMeridian, geodesy::kUtmFalseEasting, utmEasting,
                   utmNorthing);
}

void ConvertUtmToUtm(double easting, double northing, double fromCentralMeridian, double fromFalseEasting,
                     double toCentralMeridian, double toFalseEasting, double& toEasting, double& toNorthing) {
  double lon = 0.0, lat = 0.0;
  ConvertUtmToLatLon(lon, lat, fromCentralMeridian, easting, northing, fromFalseEasting);
  ConvertLatLonToUtm(lon, lat, toCentralMeridian, toEasting, toNorthing, toFalseEasting);
}

// ---------------------------------------------------------------------------
// Zone parameters.

double GaussKruegerFalseEasting(double gkCentralMeridian) {
  return std::floor(gkCentralMeridian / 3.0) * 1000000.0 + 500000.0;
}

double GaussKruegerCentralMeridianFor(double longitude) { return 3.0 * std::floor(std::floor(longitude + 1.5) / 3.0); }

double OwnZoneCentralMeridianFor(double longitude) { return 6.0 * std::floor(std::floor(longitude + 6.0) / 6.0) - 3.0; }

double MapCentralMeridianFor(std::string_view mapSystem) {
  if (mapSystem.empty() || mapSystem.front() != 'U') return geodesy::kZone33CentralMeridian;
  return LeadingNumber(mapSystem.substr(1)) * 6.0 - 183.0;
}

}  // namespace geodesy
