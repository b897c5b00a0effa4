#include "geodesy/geodesy.h"

#include "literal_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kH_Utm = 19995930.0;

// ---------------------------------------------------------------------------
// Datum shifts and geocentric conversions.

TEST(DatumShift, PotsdamTranslationsBothWays) {
  double x, y, z;
  geodesy::ShiftPotsdamToWgs84(0, 0, 0, x, y, z);
  EXPECT_EQ(x, 587.0);
  EXPECT_EQ(y, 16.0);
  EXPECT_EQ(z, 393.0);
  geodesy::ShiftWgs84ToPotsdam(x, y, z, 587, 16, 393);
  EXPECT_EQ(x, 0.0);
  EXPECT_EQ(y, 0.0);
  EXPECT_EQ(z, 0.0);
}

TEST(DatumShift, Rt90HelmertOfOriginIsTheTranslation) {
  double x, y, z;
  geodesy::TransformRt90ToSweref99(0, 0, 0, x, y, z);
  EXPECT_EQ(x, 414.0978567149);
  EXPECT_EQ(y, 41.3381489658);
  EXPECT_EQ(z, 603.0627177516);
  geodesy::TransformSweref99ToRt90(x, y, z, 0, 0, 0);
  EXPECT_EQ(x, -414.0978567149);
  EXPECT_EQ(y, -41.3381489658);
  EXPECT_EQ(z, -603.0627177516);
}

TEST(DatumShift, Rt90RoundTripIsNotAnExactInverse) {
  double x, y, z, xr, yr, zr, x2, y2, z2;
  geodesy::ConvertLatLonToGeocentricGrs80(x, y, z, 18, 59);
  geodesy::TransformSweref99ToRt90(xr, yr, zr, x, y, z);
  geodesy::TransformRt90ToSweref99(xr, yr, zr, x2, y2, z2);
  // About -4 mm, +15 mm and +5 mm.
  EXPECT_NEAR(x2 - x, -0.004, 0.001);
  EXPECT_NEAR(y2 - y, 0.015, 0.001);
  EXPECT_NEAR(z2 - z, 0.005, 0.001);
}

TEST(Geocentric, RoundTripOnBothEllipsoids) {
  for (const bool grs80 : {false, true}) {
    for (const double lat : {-60.0, 0.0, 1.0, 45.0, 59.0, 69.9}) {
      for (const double lon : {-89.0, -18.0, 0.0, 18.0, 89.0}) {
        double x, y, z, lonBack = 0, latBack = 0;
        if (grs80) {
          geodesy::ConvertLatLonToGeocentricGrs80(x, y, z, lon, lat);
          geodesy::ConvertGeocentricToLatLonGrs80(x, y, z, lonBack, latBack);
        } else {
          geodesy::ConvertLatLonToGeocentricBessel(x, y, z, lon, lat);
          geodesy::ConvertGeocentricToLatLonBessel(x, y, z, lonBack, latBack);
        }
        EXPECT_NEAR(lonBack, lon, 1e-13) << grs80 << " " << lat << " " << lon;
        EXPECT_NEAR(latBack, lat, 1e-13) << grs80 << " " << lat << " " << lon;
      }
    }
  }
}

TEST(Geocentric, PointOnTheEllipsoidSurface) {
  // No height is carried: X^2+Y^2 over a^2 plus Z^2 over b^2 is 1.
  double x, y, z;
  geodesy::ConvertLatLonToGeocentricGrs80(x, y, z, 18, 59);
  const double a = 6378137.0, b2 = a * a * 0.9933056199771;
  EXPECT_NEAR((x * x + y * y) / (a * a) + z * z / b2, 1.0, 1e-12);
}

// A longitude beyond +-90 degrees keeps its quadrant (the plain arctangent of
// Y / X would put 120 at -60 and -100 at 80).
TEST(Geocentric, LongitudeBeyondNinetyKeepsItsQuadrant) {
  for (const double lonIn : {120.0, -100.0, 179.5, -179.5, 180.0, 91.0, -91.0}) {
    double x, y, z, lon = 0, lat = 0;
    geodesy::ConvertLatLonToGeocentricGrs80(x, y, z, lonIn, 40);
    geodesy::ConvertGeocentricToLatLonGrs80(x, y, z, lon, lat);
    EXPECT_NEAR(lon, lonIn, 1e-9);
    EXPECT_NEAR(lat, 40, 1e-9);
  }
  double lon = 0, lat = 0;
  geodesy::ConvertGeocentricToLatLonBessel(0, -5000000, 3000000, lon, lat);  // X exactly 0
  EXPECT_EQ(lon, -90.0);
}

TEST(Geocentric, LongitudeNinetyDoesNotFail) {
  double x, y, z, lon = 0, lat = 0;
  geodesy::ConvertLatLonToGeocentricGrs80(x, y, z, 90, 40);
  EXPECT_GT(x, 0.0);
  ASSERT_NO_THROW(geodesy::ConvertGeocentricToLatLonGrs80(x, y, z, lon, lat));
  EXPECT_NEAR(lon, 90, 1e-9);
  EXPECT_NEAR(lat, 40, 1e-9);
}

TEST(Geocentric, PolarAxisFaultLeavesOutputsUntouched) {
  double lon = 7, lat = 8;
  EXPECT_THROW(geodesy::ConvertGeocentricToLatLonGrs80(0, 0, 6356752, lon, lat), geodesy::GeodesyError);
  EXPECT_EQ(lon, 7);
  EXPECT_EQ(lat, 8);
  EXPECT_THROW(geodesy::ConvertGeocentricToLatLonBessel(0, 0, -6356752, lon, lat), geodesy::GeodesyError);
  EXPECT_EQ(lon, 7);
  EXPECT_EQ(lat, 8);
}

// ---------------------------------------------------------------------------
// Transverse Mercator.

TEST(TransverseMercator, EquatorOnTheCentralMeridian) {
  double e = -1, n = -1;
  geodesy::ConvertLatLonToUtm(15, 0, 15, e, n, 500000);
  EXPECT_EQ(e, 500000.0);
  EXPECT_EQ(n, 0.0);
  double lon = -1, lat = -1;
  geodesy::ConvertUtmToLatLon(lon, lat, 15, 500000, 0, 500000);
  EXPECT_EQ(lon, 15.0);
  EXPECT_EQ(lat, 0.0);
}

TEST(TransverseMercator, CentralMeridianGivesTheFalseEastingExactly) {
  double e, n;
  geodesy::ConvertLatLonToUtm(15, 45, 15, e, n, 500000);
  EXPECT_EQ(e, 500000.0);
  geodesy::ConvertLatLonToGaussKrueger(9, 50, 9, e, n, 3500000);
  EXPECT_EQ(e, 3500000.0);
  geodesy::ConvertLatLonToGaussKrueger(17, 59, geodesy::kRt90CentralMeridian, e, n, geodesy::kRt90FalseEasting);
  EXPECT_GT(e, 1500000.0);
}

TEST(TransverseMercator, KnownPoints) {
  // Latitude 59, longitude 18 in SWEREF 99 TM (zone 33 on GRS80).
  double e, n;
  geodesy::ConvertLatLonToUtm(18, 59, 15, e, n, 500000);
  EXPECT_NEAR(e, 672319.964088, 0.001);
  EXPECT_NEAR(n, 6543920.334128, 0.001);
  // No false northing south of the equator.
  geodesy::ConvertLatLonToUtm(18.4, -33.9, 15, e, n, 500000);
  EXPECT_LT(n, 0.0);
  EXPECT_NEAR(n, -3756275.1599, 0.001);  // cs2cs EPSG:4326 -> EPSG:32633
  EXPECT_NEAR(e, 814420.3310, 0.001);
}

TEST(TransverseMercator, RoundTripsBothEllipsoids) {
  struct Case {
    bool utm;
    double cm, fe, lon, lat;
  };
  const std::vector<Case> cases = {
      {true, 15, 500000, 18, 59},
      {true, 15, 500000, 5, 55},
      {true, 27, 500000, 30, 70},
      {true, 9, 500000, 7.5, -40},
      {false, 9, 3500000, 10.4, 50},
      {false, 15.808277777, 1500000, 11, 56},
      {false, 15.808277777, 1500000, 24, 68},
  };
  for (const Case& c : cases) {
    double e, n, lon = 0, lat = 0;
    if (c.utm) {
      geodesy::ConvertLatLonToUtm(c.lon, c.lat, c.cm, e, n, c.fe);
      geodesy::ConvertUtmToLatLon(lon, lat, c.cm, e, n, c.fe);
    } else {
      geodesy::ConvertLatLonToGaussKrueger(c.lon, c.lat, c.cm, e, n, c.fe);
      geodesy::ConvertGaussKruegerToLatLon(lon, lat, c.cm, e, n, c.fe);
    }
    EXPECT_NEAR(lon, c.lon, 1e-10) << c.lon << " " << c.lat;
    EXPECT_NEAR(lat, c.lat, 1e-10) << c.lon << " " << c.lat;
  }
}

TEST(TransverseMercator, FarSideMovesTheNorthingByHalfAMeridian) {
  double e, n;
  // Latitude 30: uncorrected northing negative, H added.
  geodesy::ConvertLatLonToUtm(120, 30, 15, e, n, 500000);
  EXPECT_GT(n, 0.0);
  EXPECT_LT(n - kH_Utm, 0.0);
  double lon = 0, lat = 0;
  geodesy::ConvertUtmToLatLon(lon, lat, 15, e, n, 500000);
  EXPECT_GT(lon, 105.0);  // the correct side of the globe, not exactly 120
  EXPECT_LT(lon, 135.0);
  // Between the equator and 1 degree north H is subtracted like a southern point.
  geodesy::ConvertLatLonToUtm(120, 0.5, 15, e, n, 500000);
  EXPECT_LT(n, -kH_Utm / 2);
  // At exactly 1.0 degree the uncorrected northing stays.
  double eRef, nRef;
  literal::LatLonToTm(true, 120, 1.0, 15, eRef, nRef, 500000);
  geodesy::ConvertLatLonToUtm(120, 1.0, 15, e, n, 500000);
  EXPECT_LT(std::fabs(n), 1e6);
  EXPECT_NEAR(n, nRef, 1e-6);
  // West of the far-side line.
  geodesy::ConvertLatLonToUtm(-90, 30, 15, e, n, 500000);
  EXPECT_GT(n, 0.0);
}

TEST(TransverseMercator, QuarterTurnOnTheEquatorIsAFault) {
  for (const double lon : {105.0, -75.0}) {
    double e = 11, n = 22;
    geodesy::ConvertLatLonToUtm(lon, 0, 15, e, n, 500000);  // swallowed
    EXPECT_EQ(e, 11);
    EXPECT_EQ(n, 22);
    EXPECT_THROW(geodesy::ConvertLatLonToGaussKrueger(lon, 0, 15, e, n, 500000), geodesy::GeodesyError);
    EXPECT_EQ(e, 11);
    EXPECT_EQ(n, 22);
  }
}

TEST(TransverseMercator, NotANumberIsSwallowedByUtmOnly) {
  double e = 11, n = 22;
  geodesy::ConvertLatLonToUtm(std::nan(""), 59, 15, e, n, 500000);
  EXPECT_EQ(e, 11);
  EXPECT_EQ(n, 22);
  EXPECT_THROW(geodesy::ConvertLatLonToGaussKrueger(18, std::nan(""), 15, e, n, 500000), geodesy::GeodesyError);
  double lon = 1, lat = 2;
  EXPECT_THROW(geodesy::ConvertUtmToLatLon(lon, lat, 15, std::nan(""), 6e6, 500000), geodesy::GeodesyError);
  EXPECT_EQ(lon, 1);
  EXPECT_EQ(lat, 2);
}

TEST(TransverseMercator, InverseAtThePoleIsAFault) {
  // The northing of the pole on the grid: a-hat * pi / 2 * k0.
  const double f = 1 / 298.257222101, n = f / (2 - f);
  const double aHat = 6378137.0 / (1 + n) * (1 + n * n / 4 + n * n * n * n / 64);
  double lon = 1, lat = 2;
  EXPECT_THROW(geodesy::ConvertUtmToLatLon(lon, lat, 15, 500000, aHat * geodesy::kPi / 2 * 0.9996, 500000),
               geodesy::GeodesyError);
  EXPECT_EQ(lon, 1);
  EXPECT_EQ(lat, 2);
}

TEST(TransverseMercator, InverseLongitudeStaysWithinHalfATurn) {
  for (const double cm : {-177.0, -3.0, 15.0, 177.0}) {
    for (const double east : {-9e6, -2e6, 1e5, 499999.0, 500001.0, 9e5, 3e6, 9e6}) {
      for (const double north : {-9e6, -1e6, 0.0, 6e6, 9.9e6}) {
        double lon = 0, lat = 0;
        geodesy::ConvertUtmToLatLon(lon, lat, cm, east, north, 500000);
        EXPECT_GE(lon, -180.0) << cm << " " << east << " " << north;
        EXPECT_LE(lon, 180.0) << cm << " " << east << " " << north;
        geodesy::ConvertGaussKruegerToLatLon(lon, lat, cm, east, north, 500000);
        EXPECT_GE(lon, -180.0);
        EXPECT_LE(lon, 180.0);
      }
    }
  }
}

TEST(TransverseMercator, FarOffCentralMeridianStillEndsWithinHalfATurn) {
  for (const double cm : {1e20, -1e20, 3600000.0 + 15.0}) {
    double lon = 0, lat = 0;
    geodesy::ConvertUtmToLatLon(lon, lat, cm, 672319.964088, 6543920.334128, 500000);
    EXPECT_GE(lon, -180.0);
    EXPECT_LE(lon, 180.0);
  }
  double lon = 0, lat = 0;
  geodesy::ConvertUtmToLatLon(lon, lat, 3600000.0 + 15.0, 672319.964088, 6543920.334128, 500000);
  EXPECT_NEAR(lon, 18, 1e-6);
}

// The library derives its constants once and takes the multiple angles by
// recurrence; it must agree with the step-by-step formulas to the last few
// bits of a double. The forward projection is bit for bit the same; the inverse
// stays within 1e-9 m (9e-15 degrees) within 20 degrees of the central
// meridian and within 2e-14 degrees (two units in the last place) out to 40.
TEST(TransverseMercator, AgreesWithTheStepByStepFormulas) {
  struct Band {
    double maxOffset, inverseTolerance;
  };
  for (const Band band : {Band{20, 9e-15}, Band{40, 2e-14}}) {
    double worstForward = 0, worstInverse = 0;
    for (const bool utm : {false, true}) {
      for (double lat = -80; lat <= 84; lat += 1.75) {
        for (double dl = -band.maxOffset; dl <= band.maxOffset; dl += band.maxOffset / 23) {
          const double cm = utm ? 15.0 : geodesy::kRt90CentralMeridian;
          const double fe = utm ? 500000.0 : 1500000.0;
          double e, n, eRef, nRef;
          if (utm)
            geodesy::ConvertLatLonToUtm(cm + dl, lat, cm, e, n, fe);
          else
            geodesy::ConvertLatLonToGaussKrueger(cm + dl, lat, cm, e, n, fe);
          literal::LatLonToTm(utm, cm + dl, lat, cm, eRef, nRef, fe);
          worstForward = std::max({worstForward, std::fabs(e - eRef), std::fabs(n - nRef)});
          double lon, la, lonRef, laRef;
          if (utm)
            geodesy::ConvertUtmToLatLon(lon, la, cm, e, n, fe);
          else
            geodesy::ConvertGaussKruegerToLatLon(lon, la, cm, e, n, fe);
          literal::TmToLatLon(utm, lonRef, laRef, cm, e, n, fe);
          worstInverse = std::max({worstInverse, std::fabs(lon - lonRef), std::fabs(la - laRef)});
        }
      }
    }
    EXPECT_EQ(worstForward, 0.0) << band.maxOffset;  // metres
    EXPECT_LT(worstInverse, band.inverseTolerance) << band.maxOffset;
  }
}

TEST(Geocentric, AgreesWithTheStepByStepFormulas) {
  double worst = 0;
  for (const bool grs80 : {false, true}) {
    for (double lat = -80; lat <= 84; lat += 1.75) {
      for (double lon = -89; lon <= 89; lon += 3.7) {
        double x, y, z, xr, yr, zr, lo, la, lor, lar;
        if (grs80)
          geodesy::ConvertLatLonToGeocentricGrs80(x, y, z, lon, lat);
        else
          geodesy::ConvertLatLonToGeocentricBessel(x, y, z, lon, lat);
        literal::LatLonToGeocentric(grs80, xr, yr, zr, lon, lat);
        EXPECT_EQ(x, xr);
        EXPECT_EQ(y, yr);
        EXPECT_EQ(z, zr);
        if (grs80)
          geodesy::ConvertGeocentricToLatLonGrs80(x + 100, y - 50, z + 30, lo, la);
        else
          geodesy::ConvertGeocentricToLatLonBessel(x + 100, y - 50, z + 30, lo, la);
        literal::GeocentricToLatLon(grs80, x + 100, y - 50, z + 30, lor, lar);
        worst = std::max({worst, std::fabs(lo - lor), std::fabs(la - lar)});
      }
    }
  }
  EXPECT_LT(worst, 9e-15);  // degrees, about 1e-9 m
}

// ---------------------------------------------------------------------------
// Chains.

TEST(Chains, Rt90ToZone33AgreesWithTheStepByStepFormulas) {
  double worst = 0;
  for (double north = 6100000; north <= 7700000; north += 23456) {
    for (double east = 1200000; east <= 1900000; east += 12345) {
      double e, n, eRef, nRef;
      geodesy::ConvertRt90ToUtm33(east, north, e, n);
      literal::Rt90ToUtm(east, north, 15, 500000, eRef, nRef);
      worst = std::max({worst, std::fabs(e - eRef), std::fabs(n - nRef)});
    }
  }
  EXPECT_LT(worst, 1e-9);
}

TEST(Chains, Rt90ToMapZoneIsTheStepsInOrder) {
  double lonB = 0, latB = 0, x, y, z, xs, ys, zs, lon = 0, lat = 0, e, n;
  geodesy::ConvertGaussKruegerToLatLon(lonB, latB, geodesy::kRt90CentralMeridian, 1628000, 6580000, 1500000);
  geodesy::ConvertLatLonToGeocentricBessel(x, y, z, lonB, latB);
  geodesy::TransformRt90ToSweref99(x, y, z, xs, ys, zs);
  geodesy::ConvertGeocentricToLatLonGrs80(xs, ys, zs, lon, lat);
  geodesy::ConvertLatLonToUtm(lon, lat, 9, e, n, 500000);
  double eChain, nChain;
  geodesy::ConvertRt90ToUtm(1628000, 6580000, 9, 500000, eChain, nChain);
  EXPECT_NEAR(eChain, e, 1e-9);
  EXPECT_NEAR(nChain, n, 1e-9);
}

TEST(Chains, Wgs84ToRt90AndBackLandsWithinTwoCentimetres) {
  double eRt, nRt, e, n, eDirect, nDirect;
  geodesy::ConvertWgs84ToRt90(18, 59, eRt, nRt);
  geodesy::ConvertRt90ToUtm(eRt, nRt, 15, 500000, e, n);
  geodesy::ConvertLatLonToUtm(18, 59, 15, eDirect, nDirect, 500000);
  EXPECT_LT(std::hypot(e - eDirect, n - nDirect), 0.02);
}

TEST(Chains, GaussKruegerRoundTripThroughPotsdam) {
  double eGk, nGk, e, n, eDirect, nDirect;
  geodesy::ConvertWgs84ToGaussKrueger(10.4, 50.2, 9, eGk, nGk);
  EXPECT_GT(eGk, 3500000.0);
  EXPECT_LT(eGk, 3700000.0);
  geodesy::ConvertGaussKruegerToUtm(eGk, nGk, 9, 9, 500000, e, n);
  geodesy::ConvertLatLonToUtm(10.4, 50.2, 9, eDirect, nDirect, 500000);
  // The Potsdam shift is a pure translation: forward and back agree exactly
  // up to the one-step Bowring error.
  EXPECT_LT(std::hypot(e - eDirect, n - nDirect), 0.01);
}

TEST(Chains, UtmZoneToZone) {
  double e, n, lon = 0, lat = 0;
  geodesy::ConvertUtmToUtm(672319.964088, 6543920.334128, 15, 500000, 27, 500000, e, n);
  geodesy::ConvertUtmToLatLon(lon, lat, 27, e, n, 500000);
  EXPECT_NEAR(lon, 18, 1e-8);
  EXPECT_NEAR(lat, 59, 1e-8);
}

TEST(Chains, FaultInTheLastStepLeavesTheOutputs) {
  // A Gauss-Krueger point whose map longitude lies a quarter turn from the
  // map meridian on the equator cannot be constructed easily; a fault in
  // an earlier step throws instead.
  double e = 1, n = 2;
  EXPECT_THROW(geodesy::ConvertRt90ToUtm33(std::nan(""), 6500000, e, n), geodesy::GeodesyError);
  EXPECT_EQ(e, 1);
  EXPECT_EQ(n, 2);
}

// ---------------------------------------------------------------------------
// Zone parameters.

TEST(ZoneParameters, CentralMeridians) {
  struct Case {
    double lon, gk, own;
  };
  for (const Case c : {Case{10.4, 9, 9}, Case{10.5, 12, 9}, Case{11.99, 12, 9}, Case{12.0, 12, 15}, Case{18.0, 18, 21},
                       Case{-0.5, 0, -3}, Case{-1.6, -3, -3}}) {
    EXPECT_EQ(geodesy::GaussKruegerCentralMeridianFor(c.lon), c.gk) << c.lon;
    EXPECT_EQ(geodesy::OwnZoneCentralMeridianFor(c.lon), c.own) << c.lon;
  }
  EXPECT_EQ(geodesy::GaussKruegerFalseEasting(9), 3500000.0);
  EXPECT_EQ(geodesy::GaussKruegerFalseEasting(12), 4500000.0);
}

TEST(ZoneParameters, MapSystem) {
  struct Case {
    const char* system;
    double cm;
  };
  for (const Case c : {Case{"U33", 15}, Case{"U32", 9}, Case{"U35", 27}, Case{"U34XYZ", 21}, Case{"u32", 15},
                       Case{"X32", 15}, Case{"", 15}}) {
    EXPECT_EQ(geodesy::MapCentralMeridianFor(c.system), c.cm) << c.system;
  }
}

}  // namespace
