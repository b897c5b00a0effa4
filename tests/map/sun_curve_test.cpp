// The sun curve: its texts and samples, and its elevation against the sun's
// position from Python's ephem.
#include "map/sun_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "tests/map/peers.h"

namespace zeblon::map {
namespace {

SunCurveClock Clock(int year, int month, int day, double hours, int offset) {
  SunCurveClock c;
  c.year = year;
  c.month = month;
  c.day = day;
  c.secondsSinceMidnight = hours * 3600.0;
  c.utcOffsetHours = offset;
  return c;
}

TEST(SunCurve, TitleLabelsAndPresentTime) {
  SunCurve c = ComputeSunCurveAt(52.5, 13.4, Clock(2024, 5, 7, 14.5, 2));
  EXPECT_EQ(c.title, "SUN CURVE  2024-05-07       N  52.5   E  13.4");
  EXPECT_EQ(c.nowX, 16 + 218);  // 14:30 -> 217.5, to the even neighbour
  const std::vector<std::string> hours = {" 0", " 3", " 6", " 9", "12", "15", "18", "21"};
  EXPECT_EQ(c.hourLabels, hours);
  EXPECT_EQ(c.utcLabel, " UTC+2");

  struct Case {
    int offset;
    const char* label;
  } labels[] = {{0, "  UTC"}, {-5, " UTC-5"}, {10, " UTC+10"}, {-10, " UTC-10"}};
  for (const Case& l : labels) EXPECT_EQ(ComputeSunCurveAt(0, 0, Clock(2024, 1, 1, 0, l.offset)).utcLabel, l.label);

  // Latitudes cut down to one decimal: -33.95 reads -34, without decimals.
  c = ComputeSunCurveAt(-33.95, -70.66, Clock(2025, 12, 31, 0, -3));
  EXPECT_EQ(c.title, "SUN CURVE  2025-12-31       N -34   E -70.7");
  EXPECT_EQ(c.nowX, 16);
  EXPECT_EQ(ComputeSunCurveAt(0, 0, Clock(2025, 1, 1, 24.0, 0)).nowX, 376);
}

TEST(SunCurve, Samples) {
  const SunCurve c = ComputeSunCurveAt(59.33, 18.07, Clock(2025, 3, 21, 12, 1));
  ASSERT_EQ(c.today.size(), 361u);
  ASSERT_EQ(c.june.size(), 49u);
  ASSERT_EQ(c.december.size(), 49u);
  EXPECT_DOUBLE_EQ(c.today.front().x, 16);
  EXPECT_DOUBLE_EQ(c.today.back().x, 376);
  EXPECT_DOUBLE_EQ(c.june[1].x, 23.5);
  for (const auto* curve : {&c.today, &c.june, &c.december}) {
    for (const SunSample& s : *curve) {
      EXPECT_DOUBLE_EQ(s.y, 170 - s.elevation);
      EXPECT_EQ(s.aboveHorizon, s.elevation >= 0);
      EXPECT_GE(s.y, 80);
      EXPECT_LE(s.y, 260);
    }
  }
  // The sample of a local clock hour h is at a = 15 h.
  const double s = 18.07 / 15 - 1;
  EXPECT_DOUBLE_EQ(c.today[180].elevation, SunElevation(59.33, s, 180, SunDeclination(3, 21)));
  // Summer above winter at noon, below the horizon at midnight in March.
  EXPECT_GT(c.june[24].elevation, c.december[24].elevation);
  EXPECT_LT(c.today[0].elevation, 0);
}

TEST(SunCurve, DeclinationOfTheDay) {
  constexpr double kDeg = 3.14159265 / 180;
  EXPECT_NEAR(SunDeclination(6, 21) / kDeg, 23.4, 0.1);
  EXPECT_NEAR(SunDeclination(12, 21) / kDeg, -23.45, 0.01);
  EXPECT_NEAR(SunDeclination(3, 21) / kDeg, 0.0, 1.5);
  // 31 December: N = 375, q = 375 / 364 - 1: close to the lowest.
  EXPECT_NEAR(SunDeclination(12, 31) / kDeg, -23.45 * std::cos(2 * 3.14159265 * (375.0 / 364 - 1)), 1e-9);
  EXPECT_LT(SunDeclination(12, 31) / kDeg, -23.0);
}

TEST(SunCurve, EnergyAndPolarDays) {
  // Polar night on 21 December at 80 north: every sample of today below the
  // horizon, no energy, while 21 June has the midnight sun.
  SunCurve c = ComputeSunCurveAt(80.0, 15.0, Clock(2025, 12, 21, 12, 1));
  for (const SunSample& s : c.today) EXPECT_FALSE(s.aboveHorizon);
  EXPECT_EQ(c.energyToday, 0.0);
  EXPECT_EQ(c.energyLeft[0], "SOL.EL.PWR (Wh/d/m\xB2hor): 0");
  EXPECT_EQ(c.energyRight[0], "> (Ah @12V): 0");
  for (const SunSample& s : c.june) EXPECT_TRUE(s.aboveHorizon);
  EXPECT_GT(c.energyJune, 0.0);

  // Midnight sun: all 361 samples add to the sum.
  c = ComputeSunCurveAt(80.0, 15.0, Clock(2025, 6, 21, 12, 1));
  double sum = 0;
  for (const SunSample& s : c.today) {
    EXPECT_GT(s.elevation, 0.0);
    sum += std::sin(s.elevation * 3.14159265 / 180);
  }
  EXPECT_NEAR(c.energyToday, sum / 0.15, 1e-9);
  EXPECT_EQ(c.energyLeft[1], " ... 06-21 (Wh/d/m\xB2hor):" + std::string(" ") +
                                 std::to_string(static_cast<long long>(std::floor(c.energyJune))));
  EXPECT_EQ(c.energyLeft[2].substr(0, 24), " ... 12-21 (Wh/d/m\xB2hor):");

  // Ampere-hours at 12 V: floor(10 E / 12) / 10 in number text.
  c = ComputeSunCurveAt(48.0, 11.0, Clock(2025, 4, 1, 12, 2));
  char expected[64];
  std::snprintf(expected, sizeof expected, "%g", std::floor(10 * c.energyToday / 12) / 10);
  EXPECT_EQ(c.energyRight[0], std::string("> (Ah @12V): ") + expected);
}

TEST(SunCurve, MapPoint) {
  // Stockholm in zone 33.
  const auto c = ComputeSunCurve(6580.0, 674.0, 15.0, Clock(2025, 6, 21, 12, 2));
  ASSERT_TRUE(c.has_value());
  EXPECT_NEAR(c->latitude, 59.33, 0.02);
  EXPECT_NEAR(c->longitude, 18.07, 0.05);
  EXPECT_FALSE(ComputeSunCurve(std::numeric_limits<double>::quiet_NaN(), 500, 15, Clock(2025, 1, 1, 0, 0)));
}

// The elevation against ephem's geometric elevation (no refraction) for a
// table of places, dates and local hours. The curve neglects the equation of
// time, takes the declination from a cosine of the day and knows no
// refraction: it promises 4.5 degrees (4.1 degrees of hour angle and 1.1 of
// declination at most).
TEST(SunCurve, ElevationAgainstEphem) {
  struct Place {
    const char* name;
    double lat, lon;
    int offset;
  } places[] = {
      {"Stockholm", 59.33, 18.07, 1}, {"Tromso", 69.65, 18.96, 2},     {"Quito", -0.18, -78.47, -5},
      {"Sydney", -33.87, 151.21, 10}, {"Reykjavik", 64.15, -21.94, 0}, {"Cape Town", -33.92, 18.42, 2},
  };
  struct Date {
    int month, day;
  } dates[] = {{2, 12}, {3, 21}, {5, 14}, {6, 21}, {8, 5}, {11, 3}, {12, 21}, {12, 31}};

  std::ostringstream script;
  script << "import sys, datetime, math, ephem\n"
            "o = ephem.Observer(); o.pressure = 0; o.elevation = 0\n"
            "for line in sys.stdin:\n"
            "    lat, lon, y, m, d, h, off = line.split()\n"
            "    o.lat, o.lon = lat, lon\n"
            "    t = datetime.datetime(int(y), int(m), int(d)) + datetime.timedelta(hours=int(h) - int(off))\n"
            "    o.date = t\n"
            "    s = ephem.Sun(o)\n"
            "    print('%.6f' % math.degrees(s.alt))\n";
  std::ostringstream input;
  std::vector<double> ours;
  for (const Place& p : places) {
    for (const Date& d : dates) {
      for (int hour = 0; hour < 24; ++hour) {
        input << p.lat << ' ' << p.lon << " 2025 " << d.month << ' ' << d.day << ' ' << hour << ' ' << p.offset << '\n';
        ours.push_back(SunElevation(p.lat, p.lon / 15 - p.offset, 15.0 * hour, SunDeclination(d.month, d.day)));
      }
    }
  }
  const auto out = test::RunProgram({"/usr/bin/python3", "-c", script.str()}, input.str());
  ASSERT_TRUE(out.has_value()) << "/usr/bin/python3 with python3-ephem did not run";
  std::istringstream lines(*out);
  double worst = 0;
  std::size_t i = 0, worstAt = 0;
  for (double ref; lines >> ref; ++i) {
    ASSERT_LT(i, ours.size());
    const double diff = std::fabs(ours[i] - ref);
    if (diff > worst) {
      worst = diff;
      worstAt = i;
    }
  }
  ASSERT_EQ(i, ours.size());
  const std::size_t perPlace = std::size(dates) * 24;
  const Date& at = dates[worstAt % perPlace / 24];
  std::printf("largest difference from ephem: %.3f degrees (%s, 2025-%02d-%02d, %zu h local)\n", worst,
              places[worstAt / perPlace].name, at.month, at.day, worstAt % 24);
  EXPECT_LT(worst, 4.5);
  EXPECT_GT(worst, 0.5);  // an approximation: the comparison does see it
}

}  // namespace
}  // namespace zeblon::map
