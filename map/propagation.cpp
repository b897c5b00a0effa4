#include "map/propagation.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "geodesy/geodesy.h"

namespace zeblon::map {

namespace {

constexpr double kRad = geodesy::kShortPi / 180.0;
constexpr double kEarthRadiusKm = 6367.0;

// An arithmetic fault ends the estimate with 0.
struct Fault {
  FoptFault why;
};

// Every value is tested as it is made: what would raise a run-time error
// raises a Fault instead.
double Checked(double x) {
  if (std::isnan(x)) throw Fault{FoptFault::kNotANumber};
  if (std::isinf(x)) throw Fault{FoptFault::kOverflow};
  return x;
}

double Div(double a, double b) {
  if (b == 0.0) throw Fault{FoptFault::kDivisionByZero};
  return Checked(Checked(a) / Checked(b));
}

double Sqrt(double x) {
  if (Checked(x) < 0.0) throw Fault{FoptFault::kNegativeRoot};
  return std::sqrt(x);
}

double Pow(double base, double exponent) {
  Checked(base);
  if (base < 0.0 && exponent != std::floor(exponent)) throw Fault{FoptFault::kNegativePower};
  if (base == 0.0 && exponent < 0.0) throw Fault{FoptFault::kDivisionByZero};
  return Checked(std::pow(base, exponent));
}

double Exp(double x) { return Checked(std::exp(Checked(x))); }

double Sgn(double x) { return x > 0.0 ? 1.0 : x < 0.0 ? -1.0 : 0.0; }

double SinD(double degrees) { return std::sin(Checked(degrees) * kRad); }
double CosD(double degrees) { return std::cos(Checked(degrees) * kRad); }

// The guarded inverse functions of the hop estimate, in radians.
double AsinStar(double x) { return std::atan(Div(x, Sqrt(1.0 - x * x + 0.000001))); }
double AcosStar(double x) { return geodesy::kShortPi / 2.0 - AsinStar(x); }

double Clamp1(double x) { return std::clamp(Checked(x), -1.0, 1.0); }

struct Path {
  double wc, wp, phiC, phiP;  // west longitudes and latitudes, degrees
  double u;                   // UTC hours
};

// A control point's frequency of the hop estimate.
double HopControlPointFrequency(const Path& p, double rh, int month, double a, double hopAngle, double f, double h,
                                double beta) {
  // Latitude and longitude of the point at f * H from the centre along A.
  const double fh = f * hopAngle;
  const double s = SinD(p.phiC) * CosD(fh) + CosD(a) * CosD(p.phiC) * SinD(fh);
  const double phiM = AsinStar(s) / kRad;
  const double gamma = Div(CosD(fh) - SinD(p.phiC) * SinD(phiM), CosD(p.phiC) * CosD(phiM));
  double delta = AcosStar(gamma) / kRad;
  if (a < 180.0) delta = -delta;
  double wm = p.wc + delta;
  if (wm > 180.0) wm -= 360.0;
  if (wm < -180.0) wm += 360.0;

  // Latitude offset by longitude.
  const double w = wm < -160.0 ? wm + 360.0 : wm;
  const double x = (20.0 - w) / 50.0;
  const double g = 5.0 * Pow(1.0 - x / 7.0, 2) + Div(20.0 * x, x * x + 1.0 + x);
  double mu = phiM - g;

  // Local time.
  double t = p.u - wm / 15.0;
  if (t > 24.0) t -= 24.0;
  if (t < 0.0) t += 24.0;

  // Season.
  double m = month;
  if (mu <= 0.0) {
    mu = -mu;
    m = month + 6;
  }
  const double q = CosD((m - 6.5) * 30.0);
  const double summer = (std::fabs(q) + q) / 2.0;
  const double winter = (std::fabs(q) - q) / 2.0;
  if (mu > 77.5) mu = 77.5;

  // Time angle and base frequency.
  const double tp = t < 5.0 ? t + 24.0 : t;
  double timeAngle = (tp - 14.0 - 2.0 * summer + 2.0 * winter - rh / 175.0) *
                     (7.0 - 3.0 * summer + 4.0 * winter - Div(rh, 150.0 - 75.0 * winter));
  if (std::fabs(timeAngle) > 60.0) timeAngle = 60.0;
  const double f0 =
      6.5 * (1.0 + Div(rh, 175.0 + 175.0 * summer)) * CosD(timeAngle) * Sqrt(CosD(mu - 5.0 * summer + 5.0 * winter));
  const double r = Div(kEarthRadiusKm * CosD(beta), kEarthRadiusKm + h);
  return Checked(f0 * Pow(1.0 - r * r, -0.5));
}

double HopEstimate(const Path& p, double sunspots, int month, int& hops) {
  const double rh = std::clamp(sunspots, 1.0, 180.0);

  // Path angle, length and bearing from the centre.
  const double x = SinD(p.phiP) * SinD(p.phiC) + CosD(p.phiC) * CosD(p.phiP) * CosD(p.wc - p.wp);
  const double d = AcosStar(x) / kRad;
  const double km = 111.1 * d;
  const double y = Div(SinD(p.phiP) - SinD(p.phiC) * CosD(d), CosD(p.phiC) * SinD(d));
  double a = AcosStar(y) / kRad;
  if (p.wc - p.wp <= 0.0) a = 360.0 - a;
  if (std::fabs(p.wc - p.wp) >= 180.0) a = 360.0 - a;

  // Hops: no longer than 4500 km, at least 1.5 degrees above the horizon.
  const double h = 275.0 + rh / 2.0;
  int n = 1;
  while (km / n > 4500.0 && n < kFoptHopCap) ++n;
  auto elevation = [&](double hop) {
    return std::atan(Div(CosD(hop / 2.0) - kEarthRadiusKm / (kEarthRadiusKm + h), SinD(hop / 2.0))) / kRad;
  };
  double hop = d / n;
  double beta = elevation(hop);
  while (beta < 1.5 && n < kFoptHopCap) {
    ++n;
    while (km / n > 4500.0 && n < kFoptHopCap) ++n;
    hop = d / n;
    beta = elevation(hop);
  }
  hops = n;

  const double first = HopControlPointFrequency(p, rh, month, a, hop, 0.5, h, beta);
  const double last = HopControlPointFrequency(p, rh, month, a, hop, n - 0.5, h, beta);
  return std::min(first, last);
}

// One control point of the daylight estimate.
double DaylightControlPointFrequency(const Path& p, double phiC, double phiP, double wc, double wp, double sunspots,
                                     int month, int day, double c, double e, double a) {
  const double z = Div(std::sin(phiC) - std::sin(phiP) * std::cos(c), std::cos(phiP) * std::sin(c));
  const double r = c * a;
  double s = std::sin(phiP) * std::cos(r) + std::cos(phiP) * std::sin(r) * z;
  const double gamma = Clamp1(Div(std::cos(r) - s * std::sin(phiP), std::cos(phiP) * Sqrt(1.0 - s * s)));
  const double delta = 1.5708 - std::atan(Div(gamma, Sqrt(1.0 - gamma * gamma)));

  // Control longitude (west) and latitude, radians.
  double l = wp + Sgn(std::sin(wc - wp)) * delta;
  if (l < 0.0) l += 2.0 * geodesy::kShortPi;
  if (l >= 2.0 * geodesy::kShortPi) l -= 2.0 * geodesy::kShortPi;
  s = Clamp1(s);
  const double phi = geodesy::kShortPi / 2.0 - (1.5708 - std::atan(Div(s, Sqrt(1.0 - s * s))));

  // Day angle, declination, local noon in UTC.
  const double theta = ((month - 1) * 30.4 + 10.0 + day) * 0.0172;
  const double eps = 0.409 * std::cos(theta);
  double noon = 3.82 * l + 12.0 + 0.13 * (std::sin(theta) + 1.2 * std::sin(2.0 * theta));
  if (noon > 24.0) noon -= 24.0;

  // Path factor.
  const double g = std::min(2.5 * c * e, geodesy::kShortPi / 2.0);
  const double bigG = 1.0 + 2.5 * std::sin(g) * Sqrt(std::sin(g));

  double dayLength = 0, q = 0;
  if (std::cos(phi + eps) > -0.26) {
    const double x = Div(-0.26 + std::sin(eps) * std::sin(phi), std::cos(eps) * std::cos(phi) + 0.0009999999);
    dayLength = 12.0 - 7.639437 * std::atan(Div(x, Sqrt(std::fabs(1.0 - x * x))));
    double rise = noon - dayLength / 2.0;
    if (rise < 0.0) rise += 24.0;
    double set = noon + dayLength / 2.0;
    if (set > 24.0) set -= 24.0;
    const double pp = std::fabs(std::cos(phi + eps));
    double tau = 9.7 * Pow(pp, 9.6);
    if (tau <= 0.1) tau = 0.1;
    const double rho = Div(tau * geodesy::kShortPi, dayLength);
    const double u = p.u;
    const bool isDay = set >= rise ? (u - rise) * (set - u) > 0.0 : (u - set) * (rise - u) <= 0.0;
    const double nightScale = Div((Exp(Div(-dayLength, tau)) + 1.0) * rho * pp, rho * rho + 1.0);
    if (isDay) {
      const double uu = u < rise ? u + 24.0 : u;
      const double omega = Div((uu - rise) * geodesy::kShortPi, dayLength);
      q = Div(((Exp(Div(rise - uu, tau)) - std::cos(omega)) * rho + std::sin(omega)) * pp, rho * rho + 1.0);
      const double qn = nightScale * Exp((dayLength - 24.0) / 2.0);
      if (q < qn) q = qn;
    } else {
      const double uu = u < set ? u + 24.0 : u;
      q = nightScale * Exp((set - uu) / 2.0);
    }
  }

  double f = (1.0 + sunspots / 250.0) * bigG * Sqrt(58.0 * Sqrt(q) + 6.0);
  f *= 1.0 - 0.1 * Exp((dayLength - 24.0) / 3.0);
  f *= 1.0 + 0.1 * (1.0 - Sgn(phiC) * Sgn(phiP));
  f *= 1.0 - 0.1 * (1.0 + Sgn(std::fabs(std::sin(phi)) - std::cos(phi)));
  return Checked(f);
}

double DaylightEstimate(const Path& p, double sunspots, int month, int day, int& passes) {
  const double phiC = p.phiC * kRad, phiP = p.phiP * kRad, wc = p.wc * kRad, wp = p.wp * kRad;
  const double x = Clamp1(std::sin(phiC) * std::sin(phiP) + std::cos(phiC) * std::cos(phiP) * std::cos(wp - wc));
  const double c = 1.5708 - std::atan(Div(x, Sqrt(1.0 - x * x)));
  const double k = std::max(1.59 * c, 1.0);
  double e = 1.0 / k;
  double fmin = 100.0;

  const double from = 1.0 / (2.0 * k), to = 1.0 - 1.0 / (2.0 * k), step = 0.9999 - 1.0 / k;
  passes = 0;
  auto pass = [&](double a) {
    if (e != 1.0) e = 0.5;
    const double f = DaylightControlPointFrequency(p, phiC, phiP, wc, wp, sunspots, month, day, c, e, a);
    if (f <= fmin) fmin = f;
    ++passes;
  };
  for (double a = from; (step < 0.0 ? a >= to : a <= to) && passes < kFoptControlPointCap; a += step) pass(a);
  if (passes == 0) pass(0.5);
  return fmin;
}

}  // namespace

double FoptUtcHours(int hour, int minute, int utcOffsetHours) {
  double u = hour - utcOffsetHours + minute / 60.0;
  if (u < 0.0) u += 24.0;
  if (u > 24.0) u -= 24.0;
  return u;
}

double FoptLatitudeFactor(double meanLatitude) {
  const double v = std::sin((3.0 * meanLatitude - 120.0) * kRad) / 2.7 + 0.3;
  return v * v * v + 0.011;
}

double CutToTenth(double x) { return std::floor(10.0 * x) / 10.0; }

FoptEstimate EstimateFoptDetail(double pointLon, double centreLon, double pointLat, double centreLat,
                                const FoptInputs& in) {
  FoptEstimate r;
  for (double v : {pointLon, centreLon, pointLat, centreLat, in.sunspotNumber, in.kIndex}) {
    if (!std::isfinite(v)) {
      r.fault = FoptFault::kNotANumber;
      return r;
    }
  }
  Path p{-centreLon, -pointLon, centreLat, pointLat, 0};
  if (p.wc < -180.0 || p.wc > 180.0 || p.wp < -180.0 || p.wp > 180.0 || p.phiC < -90.0 || p.phiC > 90.0 ||
      p.phiP < -90.0 || p.phiP > 90.0) {
    r.fault = FoptFault::kOutOfRange;
    return r;
  }
  p.u = r.utcHours = FoptUtcHours(in.hour, in.minute, in.utcOffsetHours);
  try {
    r.f1 = HopEstimate(p, in.sunspotNumber, in.month, r.hops);
    if (in.sunspotNumber < 0.0) {
      r.fault = FoptFault::kOutOfRange;
      return r;
    }
    r.f2 = DaylightEstimate(p, in.sunspotNumber, in.month, in.day, r.controlPointPasses);
    r.fm = (2.0 * r.f1 + r.f2) / 3.0;
    const double meanLatitude = (std::fabs(p.phiC) + std::fabs(p.phiP)) / 2.0;
    const double b = FoptLatitudeFactor(meanLatitude);
    const double fopt = Checked(r.fm - Pow(in.kIndex, 1.5) * b / 9.0 * r.fm);
    r.fopt = CutToTenth(fopt);
  } catch (const Fault& f) {
    r.fault = f.why;
    r.fopt = 0;
  }
  return r;
}

double EstimateFopt(double pointLon, double centreLon, double pointLat, double centreLat, const FoptInputs& in) {
  return EstimateFoptDetail(pointLon, centreLon, pointLat, centreLat, in).fopt;
}

}  // namespace zeblon::map
