#include "literal_reference.h"

#include <cmath>

namespace literal {
namespace {

const double Pi = 3.14159265358979;

struct El {
  double a, invF, e2, oneMinusE2, e2a;
};
const El Bessel{6377397.15508, 299.1528128, 0.0066743722318, 0.9933256277682, 42565.122483026265};
const El Grs80{6378137.0, 298.257222101, 0.0066943800229, 0.9933056199771, 42697.672916119336};

double Cosh(double x) { return 1 + x * x / 2 + std::pow(x, 4) / 24 + std::pow(x, 6) / 720; }
double Sinh(double x) { return x + std::pow(x, 3) / 6 + std::pow(x, 5) / 120 + std::pow(x, 7) / 5040; }

}  // namespace

void LatLonToTm(bool utm, double longitude, double latitude, double centralMeridian, double& easting, double& northing,
                double falseEasting) {
  const El& el = utm ? Grs80 : Bessel;
  const double H = utm ? 19995930.0 : 20001712.0;
  const double f = 1 / el.invF;
  const double n = f / (2 - f);
  const double e = std::sqrt(el.e2);
  const double e4 = std::pow(e, 4), e6 = std::pow(e, 6), e8 = std::pow(e, 8);
  const double B = (5 * e4 - e6) / 6;
  const double C = (104 * e6 - 45 * e8) / 120;
  const double D = 1237 * e8 / 1260;
  const double dl = (longitude - centralMeridian) * Pi / 180;
  const double phi = latitude * Pi / 180;
  const double phiS = phi - std::sin(phi) * std::cos(phi) *
                                (el.e2 + B * std::pow(std::sin(phi), 2) + C * std::pow(std::sin(phi), 4) +
                                 D * std::pow(std::sin(phi), 6));
  const double xiP = std::atan(std::tan(phiS) / std::cos(dl));
  const double x = std::cos(phiS) * std::sin(dl);
  const double etaP = 0.5 * std::log((1 + x) / (1 - x));
  const double aHat = el.a / (1 + n) * (1 + n * n / 4 + std::pow(n, 4) / 64);
  const double b1 = n / 2 - 2 * n * n / 3 + 5 * std::pow(n, 3) / 16 + 41 * std::pow(n, 4) / 180;
  const double b2 = 13 * n * n / 48 - 3 * std::pow(n, 3) / 5 + 557 * std::pow(n, 4) / 1440;
  const double b3 = 61 * std::pow(n, 3) / 240 - 103 * std::pow(n, 4) / 140;
  const double b4 = 49561 * std::pow(n, 4) / 161280;
  double nSum = b1 * std::sin(2 * xiP) * Cosh(2 * etaP) + xiP + b2 * std::sin(4 * xiP) * Cosh(4 * etaP) +
                b3 * std::sin(6 * xiP) * Cosh(6 * etaP) + b4 * std::sin(8 * xiP) * Cosh(8 * etaP);
  double eSum = b1 * std::cos(2 * xiP) * Sinh(2 * etaP) + etaP + b2 * std::cos(4 * xiP) * Sinh(4 * etaP) +
                b3 * std::cos(6 * xiP) * Sinh(6 * etaP) + b4 * std::cos(8 * xiP) * Sinh(8 * etaP);
  northing = nSum * aHat;
  easting = eSum * aHat;
  if (utm) {
    northing = northing * 0.9996;
    easting = easting * 0.9996;
  }
  easting = easting + falseEasting;
  if (latitude > 1.0 && longitude < centralMeridian - 90) northing = northing + H;
  if (latitude > 1.0 && longitude > centralMeridian + 90) northing = northing + H;
  if (latitude < 1.0 && longitude < centralMeridian - 90) northing = northing - H;
  if (latitude < 1.0 && longitude > centralMeridian + 90) northing = northing - H;
}

void TmToLatLon(bool utm, double& longitude, double& latitude, double centralMeridian, double easting, double northing,
                double falseEasting) {
  const El& el = utm ? Grs80 : Bessel;
  double N = northing, E = easting - falseEasting;
  if (utm) {
    N = northing / 0.9996;
    E = (easting - falseEasting) / 0.9996;
  }
  const double f = 1 / el.invF;
  const double n = f / (2 - f);
  const double e = std::sqrt(el.e2);
  const double e4 = std::pow(e, 4), e6 = std::pow(e, 6), e8 = std::pow(e, 8);
  const double aHat = el.a / (1 + n) * (1 + n * n / 4 + std::pow(n, 4) / 64);
  const double d1 = n / 2 - 2 * n * n / 3 + 37 * std::pow(n, 3) / 96 - std::pow(n, 4) / 360;
  const double d2 = n * n / 48 + std::pow(n, 3) / 15 - 437 * std::pow(n, 4) / 1440;
  const double d3 = 17 * std::pow(n, 3) / 480 - 37 * std::pow(n, 4) / 840;
  const double d4 = 4397 * std::pow(n, 4) / 161280;
  const double xi = N / aHat, eta = E / aHat;
  const double xiP = xi - d1 * std::sin(2 * xi) * Cosh(2 * eta) - d2 * std::sin(4 * xi) * Cosh(4 * eta) -
                     d3 * std::sin(6 * xi) * Cosh(6 * eta) - d4 * std::sin(8 * xi) * Cosh(8 * eta);
  const double etaP = eta - d1 * std::cos(2 * xi) * Sinh(2 * eta) - d2 * std::cos(4 * xi) * Sinh(4 * eta) -
                      d3 * std::cos(6 * xi) * Sinh(6 * eta) - d4 * std::cos(8 * xi) * Sinh(8 * eta);
  const double s = std::sin(xiP) / Cosh(etaP);
  const double phiS = std::atan(s / std::sqrt(1 - s * s));
  const double As = el.e2 + e4 + e6 + e8;
  const double Bs = -(7 * e4 + 17 * e6 + 30 * e8) / 6;
  const double Cs = (224 * e6 + 889 * e8) / 120;
  const double Ds = -4279 * e8 / 1260;
  const double phi = phiS + std::sin(phiS) * std::cos(phiS) *
                                (As + Bs * std::pow(std::sin(phiS), 2) + Cs * std::pow(std::sin(phiS), 4) +
                                 Ds * std::pow(std::sin(phiS), 6));
  latitude = phi * 180 / Pi;
  longitude = std::atan(Sinh(etaP) / std::cos(xiP)) * 180 / Pi + centralMeridian;
  if (easting > falseEasting && longitude < centralMeridian) longitude = longitude + 180;
  if (easting < falseEasting && longitude > centralMeridian) longitude = longitude + 180;
  while (longitude < -180) longitude = longitude + 360;
  while (longitude > 180) longitude = longitude - 360;
}

void LatLonToGeocentric(bool grs80, double& x, double& y, double& z, double longitude, double latitude) {
  const El& el = grs80 ? Grs80 : Bessel;
  const double phi = latitude * Pi / 180, lambda = longitude * Pi / 180;
  const double N = el.a / std::sqrt(1 - std::sin(phi) * std::sin(phi) * el.e2);
  x = std::cos(phi) * N * std::cos(lambda);
  y = std::cos(phi) * N * std::sin(lambda);
  z = N * el.oneMinusE2 * std::sin(phi);
}

void GeocentricToLatLon(bool grs80, double x, double y, double z, double& longitude, double& latitude) {
  const El& el = grs80 ? Grs80 : Bessel;
  longitude = std::atan(y / x) * 180 / Pi;
  const double p = std::sqrt(x * x + y * y);
  const double theta = std::atan(z / (std::sqrt(el.oneMinusE2) * p));
  latitude = std::atan((z + std::pow(std::sin(theta), 3) * el.e2a / std::sqrt(el.oneMinusE2)) /
                       (p - std::pow(std::cos(theta), 3) * el.e2a)) *
             180 / Pi;
}

void Rt90ToUtm(double rt90Easting, double rt90Northing, double utmCentralMeridian, double utmFalseEasting,
               double& utmEasting, double& utmNorthing) {
  double lon, lat, x, y, z;
  TmToLatLon(false, lon, lat, 15.808277777, rt90Easting, rt90Northing, 1500000);
  LatLonToGeocentric(false, x, y, z, lon, lat);
  const double rX = 2.6861981625864457 / 180 / 3600;
  const double rY = -6.727238491309673 / 180 / 3600;
  const double rZ = 22.06252854975766 / 180 / 3600;
  const double xs = rZ * y + x - rY * z + 414.0978567149;
  const double ys = -rZ * x + y + rX * z + 41.3381489658;
  const double zs = rY * x - rX * y + z + 603.0627177516;
  GeocentricToLatLon(true, xs, ys, zs, lon, lat);
  LatLonToTm(true, lon, lat, utmCentralMeridian, utmEasting, utmNorthing, utmFalseEasting);
}

}  // namespace literal
