// The HF optimum frequency estimate: its worked examples, its edges, and its
// error trap (every arithmetic fault gives 0).
#include "map/propagation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zeblon::map {
namespace {

FoptInputs May(double r, double k, int hour) {
  FoptInputs in;
  in.sunspotNumber = r;
  in.kIndex = k;
  in.utcOffsetHours = 2;
  in.month = 5;
  in.day = 14;
  in.hour = hour;
  in.minute = 30;
  return in;
}

TEST(Fopt, UtcHours) {
  struct Case {
    int hour, minute, offset;
    double u;
  } cases[] = {
      {0, 30, 1, 23.5},   // below 0: plus 24
      {23, 0, -1, 24.0},  // exactly 24 stays
      {22, 30, -3, 1.5},  // above 24: minus 24
      {12, 45, 2, 10.75},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(FoptUtcHours(c.hour, c.minute, c.offset), c.u) << c.hour;
}

TEST(Fopt, LatitudeFactorAndCut) {
  EXPECT_NEAR(FoptLatitudeFactor(70.0), 0.3123, 0.00005);
  EXPECT_NEAR(FoptLatitudeFactor(0.0), 0.0110, 0.00005);
  EXPECT_DOUBLE_EQ(CutToTenth(7.19), 7.1);
  EXPECT_DOUBLE_EQ(CutToTenth(7.2), 7.2);
  EXPECT_DOUBLE_EQ(CutToTenth(-0.05), -0.1);
}

// The result is the mean of the two estimates lowered by the K index, cut to 0.1.
TEST(Fopt, KIndexLowersTheMean) {
  const double centreLat = 59.3, centreLon = 18.0, pointLat = 64.31, pointLon = 18.01;
  const FoptEstimate quiet = EstimateFoptDetail(pointLon, centreLon, pointLat, centreLat, May(80, 0, 14));
  ASSERT_EQ(quiet.fault, FoptFault::kNone);
  EXPECT_DOUBLE_EQ(quiet.fm, (2 * quiet.f1 + quiet.f2) / 3);
  EXPECT_DOUBLE_EQ(quiet.fopt, CutToTenth(quiet.fm));  // K = 0 leaves Fm as it is

  const FoptEstimate stormy = EstimateFoptDetail(pointLon, centreLon, pointLat, centreLat, May(80, 4, 14));
  ASSERT_EQ(stormy.fault, FoptFault::kNone);
  const double b = FoptLatitudeFactor((centreLat + pointLat) / 2);
  EXPECT_DOUBLE_EQ(stormy.fopt, CutToTenth(stormy.fm - 8.0 * b / 9.0 * stormy.fm));
  EXPECT_LT(stormy.fopt, quiet.fopt);
}

// R is held to 1..180 in the hop estimate and used as it is in the daylight one.
TEST(Fopt, SunspotNumberLimits) {
  auto at = [](double r) { return EstimateFoptDetail(25.01, 18.0, 55.01, 59.3, May(r, 2, 11)); };
  const FoptEstimate r0 = at(0), r1 = at(1), r180 = at(180), r250 = at(250);
  for (const FoptEstimate& e : {r0, r1, r180, r250}) ASSERT_EQ(e.fault, FoptFault::kNone);
  EXPECT_DOUBLE_EQ(r0.f1, r1.f1);
  EXPECT_DOUBLE_EQ(r250.f1, r180.f1);
  EXPECT_NEAR(r1.f2 / r0.f2, 1.0 + 1.0 / 250, 1e-12);
  EXPECT_NEAR(r250.f2 / r180.f2, 2.0 / (1.0 + 180.0 / 250), 1e-12);
}

TEST(Fopt, Hops) {
  // 3000 km along 50 degrees north: one hop.
  const double eastOf3000Km = 10.0 + 3000.0 / (111.1 * std::cos(50.0 * 3.14159265 / 180));
  EXPECT_EQ(EstimateFoptDetail(eastOf3000Km, 10.0, 50.01, 50.0, May(100, 2, 12)).hops, 1);
  // 9000 km: at least two hops of at most 4500 km.
  EXPECT_GE(EstimateFoptDetail(-74.0, 10.0, 40.7, 50.0, May(100, 2, 12)).hops, 2);
}

// The circles ask for points up to 3000 km at the four compass points: the
// estimate is made for every one at every hour, in a plausible range.
TEST(Fopt, CirclePointsGiveEstimates) {
  const double centreLat = 59.3, centreLon = 18.0;
  for (int hour = 0; hour < 24; hour += 3) {
    for (double km : {50.0, 300.0, 1000.0, 2000.0, 3000.0}) {
      const double dLat = km / 111.1, dLon = km / (111.1 * std::cos(centreLat * 3.14159265 / 180));
      const double points[4][2] = {{centreLat + dLat, centreLon},
                                   {centreLat - dLat, centreLon},
                                   {centreLat, centreLon + dLon},
                                   {centreLat, centreLon - dLon}};
      for (const auto& p : points) {
        const FoptEstimate e = EstimateFoptDetail(p[1] + 0.01, centreLon, p[0] + 0.01, centreLat, May(60, 2, hour));
        EXPECT_EQ(e.fault, FoptFault::kNone) << km << " " << hour;
        EXPECT_GT(e.fopt, 1.0) << km << " " << hour;
        EXPECT_LT(e.fopt, 60.0) << km << " " << hour;
        EXPECT_LE(e.controlPointPasses, 2);
      }
    }
  }
}

// Every fault of the formulas ends with 0, and the reason is the expected one.
TEST(Fopt, ArithmeticFaultsGiveZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    double pointLon, centreLon, pointLat, centreLat, r, k;
    FoptFault fault;
  } cases[] = {
      {"negative K: fractional power of a negative base", 25.01, 18, 55.01, 59.3, 100, -1, FoptFault::kNegativePower},
      {"the same point: division by zero", 18, 18, 59.3, 59.3, 100, 2, FoptFault::kDivisionByZero},
      {"the antipode: division by zero", -162, 18, -59.3, 59.3, 100, 2, FoptFault::kDivisionByZero},
      {"control point beyond the pole: root of a negative", -162, 18, 72, 59.3, 100, 2, FoptFault::kNegativeRoot},
      {"centre at the pole: root of a negative", 0, 0, 80, 90, 100, 2, FoptFault::kNegativeRoot},
      {"a latitude that is not a number", 25, 18, nan, 59.3, 100, 2, FoptFault::kNotANumber},
      {"a K index that is not a number", 25, 18, 55, 59.3, 100, nan, FoptFault::kNotANumber},
      {"an infinite sunspot number", 25, 18, 55, 59.3, std::numeric_limits<double>::infinity(), 2,
       FoptFault::kNotANumber},
      {"negative sunspot number", 25.01, 18, 55.01, 59.3, -1, 2, FoptFault::kOutOfRange},
      {"latitude beyond 90", 25, 18, 90.5, 59.3, 100, 2, FoptFault::kOutOfRange},
      {"longitude beyond 180", 25, -181, 55, 59.3, 100, 2, FoptFault::kOutOfRange},
  };
  for (const Case& c : cases) {
    FoptInputs in = May(c.r, c.k, 12);
    const FoptEstimate e = EstimateFoptDetail(c.pointLon, c.centreLon, c.pointLat, c.centreLat, in);
    EXPECT_EQ(e.fopt, 0.0) << c.what;
    EXPECT_EQ(e.fault, c.fault) << c.what;
    EXPECT_EQ(EstimateFopt(c.pointLon, c.centreLon, c.pointLat, c.centreLat, in), 0.0) << c.what;
  }
  // The bounds themselves are valid.
  EXPECT_NE(EstimateFoptDetail(180, -180 + 30, 50, 45, May(100, 2, 12)).fault, FoptFault::kOutOfRange);
}

// Path angles just above 1/1.59 radian make the control-point step tiny: the
// loop stops at its cap; a step below 0 takes the middle of the path.
TEST(Fopt, ControlPointLoopIsBounded) {
  const FoptInputs in = May(100, 2, 12);
  double lo = 30, hi = 40;  // one pass at lo, several at hi
  int most = 0;
  for (int i = 0; i < 80; ++i) {
    const double mid = (lo + hi) / 2;
    const FoptEstimate e = EstimateFoptDetail(0, 0, mid, 0, in);
    most = std::max(most, e.controlPointPasses);
    ASSERT_EQ(e.fault, FoptFault::kNone);
    ASSERT_LT(e.f2, 100.0);  // never the start value of the minimum
    (e.controlPointPasses == 1 ? lo : hi) = mid;
  }
  EXPECT_EQ(most, kFoptControlPointCap);
  const FoptEstimate below = EstimateFoptDetail(0, 0, lo, 0, in);
  const FoptEstimate above = EstimateFoptDetail(0, 0, hi, 0, in);
  EXPECT_EQ(below.controlPointPasses, 1);
  EXPECT_NEAR(below.fopt, above.fopt, 0.2);
}

}  // namespace
}  // namespace zeblon::map
