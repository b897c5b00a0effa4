// The coordinate read-outs: their texts, the locator, the label captions, and
// the conversions against PROJ (cs2cs) over grids of points.
#include "map/readouts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "geodesy/text.h"
#include "tests/map/peers.h"

namespace zeblon::map {
namespace {

using test::RunCs2cs;

// ---------------------------------------------------------------------------
// Texts.

TEST(ReadoutKmText, Table) {
  struct Case {
    double km;
    bool eight;
    const char* text;
  } cases[] = {
      {0.0, false, "    0.000"},       {500.0, false, "  500.000"},    {0.5, false, "     .500"},
      {-0.5, false, "-    .500"},      {-12.345, false, "-  12.345"},  {6543.21, false, " 6543.210"},
      {9999.999, false, " 9999.999"},  {0.005, false, "     .005"},    {-9999.999, false, "-9999.999"},
      {0.05, false, "     .050"},      {10512.345, true, " 10512.34"}, {4512.3456, true, " 4512.345"},
      {-10512.345, true, "-10512.34"}, {0.0, true, "    0.000"},       {60500.0, true, " 60500.00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadoutKmText(c.km, ReadoutMetres(c.km), c.eight), c.text) << c.km;
    EXPECT_EQ(std::string(c.text).size(), 9u);
  }
}

TEST(ReadoutKmText, MetresAreCutDownWithinOneCentimetre) {
  EXPECT_EQ(ReadoutMetres(1.2349), 1234u);
  EXPECT_EQ(ReadoutMetres(1.23499), 1235u);  // + 0.01 m
  EXPECT_EQ(ReadoutMetres(-1.2341), 1235u);  // Int rounds down, then the magnitude
  EXPECT_EQ(ReadoutMetres(std::numeric_limits<double>::quiet_NaN()), 0u);
  EXPECT_EQ(ReadoutMetres(std::numeric_limits<double>::infinity()), 0u);
}

TEST(ReadoutKmText, TrackedValuesAreEmptyBeyondTheRange) {
  EXPECT_EQ(TrackedValueText(CutToWholeMetres(1.23456)), "    1.234");
  EXPECT_EQ(TrackedValueText(CutToWholeMetres(-1.23456)), "-   1.235");
  EXPECT_EQ(TrackedValueText(9999.999), " 9999.999");
  EXPECT_EQ(TrackedValueText(-9999.999), "-9999.999");
  EXPECT_EQ(TrackedValueText(-0.005), "-    .005");
  EXPECT_EQ(TrackedValueText(10000.0), "");
  EXPECT_EQ(TrackedValueText(-10000.0), "");
  EXPECT_EQ(TrackedValueText(std::numeric_limits<double>::quiet_NaN()), "");
  EXPECT_EQ(CentreValueText(0.0), "    0.000");
}

TEST(LatLonText, Table) {
  struct Case {
    double degrees;
    const char* text;
  } cases[] = {
      {59.5, " 59:30.00"},
      {18.0755, " 18:04.53"},
      {-3.25, "- 3:15.00"},
      {-0.5, "- 0:30.00"},
      {-120.25, "120:15.00"},
      {0.0, "  0:00.00"},
      {179.99999, "179:59.99"},
      {-45.999999, "-45:59.99"},
      {std::numeric_limits<double>::quiet_NaN(), "  0:00.00"},
      {1e300, "9223372036854775807:00.00"},
  };
  for (const Case& c : cases) EXPECT_EQ(LatLonText(c.degrees), c.text) << c.degrees;
}

TEST(MaidenheadLocator, KnownLocators) {
  struct Case {
    double lat, lon;
    const char* locator;
  } cases[] = {
      {59.3293, 18.0686, "JO99AH"},       // Stockholm
      {41.714775, -72.727260, "FN31PR"},  // Newington, Connecticut
      {51.5074, -0.1278, "IO91WM"},       // London
      {38.8977, -77.0365, "FM18LV"},      // Washington
      {-33.8568, 151.2153, "QF56OD"},     // Sydney
      {-0.01, -0.01, "II99XX"},           // south-west of JJ00AA
      {0.0, 0.0, "JJ00AA"},
      {-90.0, -180.0, "AA00AA"},
      {89.999, 179.999, "RR99XX"},
  };
  for (const Case& c : cases) EXPECT_EQ(MaidenheadLocator(c.lat, c.lon), c.locator) << c.lat << " " << c.lon;
}

TEST(MaidenheadLocator, OutsideTheGlobeIsBlank) {
  EXPECT_EQ(MaidenheadLocator(90.5, 0), "      ");
  EXPECT_EQ(MaidenheadLocator(0, -181), "      ");
  EXPECT_EQ(MaidenheadLocator(std::numeric_limits<double>::quiet_NaN(), 0), "      ");
}

TEST(ZoneMeridians, Table) {
  struct Case {
    double lon;
    double gk;
    const char* gkText;
    double own;
    const char* ownText;
    const char* zone;
  } cases[] = {
      {13.4, 12, " 12", 15, " 15", "33"},    {13.6, 15, " 15", 15, " 15", "33"},    {12.0, 12, " 12", 15, " 15", "33"},
      {11.9, 12, " 12", 9, "  9", "32"},     {3.0, 3, "  3", 3, "  3", "31"},       {-5.0, -6, " -6", -3, " -3", "30"},
      {-75.0, -75, "-75", -75, "-75", "18"}, {140.0, 141, "141", 141, "141", "54"}, {1.0, 0, "  0", 3, "  3", "31"},
  };
  for (const Case& c : cases) {
    const ZoneMeridians z = ComputeZoneMeridians(c.lon);
    EXPECT_EQ(z.gkCentralMeridian, c.gk) << c.lon;
    EXPECT_EQ(z.gkCentralMeridianText, c.gkText) << c.lon;
    EXPECT_EQ(z.ownZoneCentralMeridian, c.own) << c.lon;
    EXPECT_EQ(z.ownZoneMeridianText, c.ownText) << c.lon;
    EXPECT_EQ(z.ownZoneText, c.zone) << c.lon;
  }
  const ZoneMeridians start;
  EXPECT_EQ(start.gkCentralMeridian, 9.0);
  EXPECT_EQ(start.ownZoneText, "32");
}

TEST(ZoneMeridians, MapMeridianText) {
  EXPECT_EQ(MeridianText(9), "  9");
  EXPECT_EQ(MeridianText(15), " 15");
  EXPECT_EQ(MeridianText(-3), " -3");
  EXPECT_EQ(MeridianText(105), "105");
}

// ---------------------------------------------------------------------------
// Labels.

TEST(ReadoutLabels, SystemCycle) {
  EXPECT_EQ(NextReadoutSystem(0, 15), 1);
  EXPECT_EQ(NextReadoutSystem(1, 15), 2);
  EXPECT_EQ(NextReadoutSystem(3, 15), 4);
  EXPECT_EQ(NextReadoutSystem(4, 15), 0);
  // Far from Europe (zone 41 and above, or west of -30): 0, 1, 3, 0.
  for (double cm : {63.0, -33.0}) {
    EXPECT_EQ(NextReadoutSystem(0, cm), 1);
    EXPECT_EQ(NextReadoutSystem(1, cm), 3);
    EXPECT_EQ(NextReadoutSystem(3, cm), 0);
  }
  EXPECT_EQ(NextReadoutSystem(1, 60), 2);
}

TEST(ReadoutLabels, CaptionsOfEverySystem) {
  ReadoutFrame frame;  // zone 33
  frame.zones = ComputeZoneMeridians(18.0);
  const double n = 6580.0, e = 674.0;  // near Stockholm
  const std::string nt = CentreValueText(n), et = CentreValueText(e);

  ReadoutCaptions c = ReadoutCaptionsFor(ReadoutPair::kCentre, 0, n, e, nt, et, frame);
  EXPECT_EQ(c.north, "UTMcen 6580.000");
  EXPECT_EQ(c.east, "33! 15  674.000");
  EXPECT_FALSE(c.converted);

  c = ReadoutCaptionsFor(ReadoutPair::kCursor, 1, n, e, nt, et, frame);
  ASSERT_TRUE(c.converted);
  EXPECT_EQ(c.north, "GLLcrs" + c.point.latText);
  EXPECT_EQ(c.east, MaidenheadLocator(c.point.latitude, c.point.longitude) + c.point.lonText.substr(0, 9));
  EXPECT_EQ(c.east.size(), 15u);
  EXPECT_EQ(c.east.substr(0, 6), "JO99AH");

  c = ReadoutCaptionsFor(ReadoutPair::kMoniOne, 2, n, e, nt, et, frame);
  EXPECT_EQ(c.north.substr(0, 6), "GK mon");
  EXPECT_EQ(c.east.substr(0, 6), "  | 18");
  EXPECT_EQ(c.north.size(), 15u);
  EXPECT_EQ(c.east.size(), 15u);

  c = ReadoutCaptionsFor(ReadoutPair::kCentre, 3, n, e, nt, et, frame);
  EXPECT_EQ(c.east.substr(0, 6), "34| 21");

  c = ReadoutCaptionsFor(ReadoutPair::kCursor, 4, n, e, nt, et, frame);
  EXPECT_EQ(c.north.substr(0, 6), "RNNcrs");
  EXPECT_EQ(c.east.substr(0, 6), "RNEcrs");
  EXPECT_EQ(c.east.size(), 15u);
}

TEST(ReadoutLabels, UnconvertiblePointShowsOnlyTheTag) {
  ReadoutFrame frame;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int system = 1; system <= 4; ++system) {
    const ReadoutCaptions c = ReadoutCaptionsFor(ReadoutPair::kCursor, system, nan, 500.0, "", "", frame);
    EXPECT_FALSE(c.converted);
    EXPECT_EQ(c.north.size(), 6u) << system;
  }
  // The cursor beyond 9999.999 km shows the tag alone in system 0.
  const ReadoutCaptions c =
      ReadoutCaptionsFor(ReadoutPair::kCursor, 0, 12000.0, 500.0, TrackedValueText(12000.0), "", frame);
  EXPECT_EQ(c.north, "UTMcrs");
}

TEST(CursorReadout, PixelsToWholeMetres) {
  // 1000 x 800 map at 10 m a pixel: the centre pixel row is 399, column 500.
  MapKm p = CursorPosition(6580.0, 674.0, 500, 399, 1000, 800, 10);
  EXPECT_DOUBLE_EQ(p.north, 6580.0);
  EXPECT_DOUBLE_EQ(p.east, 674.0);
  p = CursorPosition(6580.0, 674.0, 0, 0, 1000, 800, 10);
  EXPECT_NEAR(p.north, 6583.99, 1e-9);
  EXPECT_NEAR(p.east, 669.0, 1e-9);
  p = CursorPosition(0.0, 0.0, 501, 400, 1000, 800, 0.3);  // 0.3 m a pixel: cut down to metres
  EXPECT_NEAR(p.north, -0.001, 1e-12);
  EXPECT_NEAR(p.east, 0.0, 1e-12);
}

TEST(MoniOneReadout, DistanceAndBearing) {
  struct Case {
    double lat1, lon1, lat2, lon2, km, bearing;
  } cases[] = {
      {59.0, 18.0, 60.0, 18.0, 111.12, 0.0},                   // one degree north
      {60.0, 18.0, 59.0, 18.0, 111.12, 180.0},                 // south
      {0.0, 10.0, 0.0, 11.0, 111.12, 90.0},                    // east along the equator
      {0.0, 10.0, 0.0, 9.0, 111.12, 270.0},                    // west
      {59.3293, 18.0686, 57.7089, 11.9746, 396.625, 245.638},  // Stockholm to Gothenburg (haversine)
  };
  for (const Case& c : cases) {
    const DistanceBearing d = ComputeDistanceBearing(c.lat1, c.lon1, c.lat2, c.lon2);
    EXPECT_NEAR(d.distanceKm, c.km, 0.05) << c.lat2 << " " << c.lon2;
    EXPECT_NEAR(std::fmod(d.bearing + 0.05, 360.0), c.bearing + 0.05, 0.1) << c.lat2 << " " << c.lon2;
  }
  // The same point: distance 0 and direction 90 once taken to whole numbers.
  const DistanceBearing same = ComputeDistanceBearing(59.3, 18.1, 59.3, 18.1);
  EXPECT_EQ(RoundHalfEven(same.distanceKm), 0.0);
  EXPECT_EQ(RoundHalfEven(same.bearing), 90.0);
  // Map km: the user's position and the station 10 km north of it.
  MapPoint station;
  const DistanceBearing d = ComputeMoniOneDistanceBearing({6580, 674}, {6590, 674}, 15, 500000, station);
  EXPECT_NEAR(d.distanceKm, 10.0, 0.1);
  EXPECT_NEAR(d.bearing, 2.64, 0.05);  // grid north lies east of true north there (convergence)
  EXPECT_EQ(station.latText, ConvertMapKmToLatLon(6590, 674, 15).latText);
  // Antipodes stay finite; the user at a pole gives a direction, not NaN.
  EXPECT_TRUE(std::isfinite(ComputeDistanceBearing(10, 20, -10, -160).bearing));
  EXPECT_TRUE(std::isfinite(ComputeDistanceBearing(90, 0, 59, 18).bearing));
}

TEST(MoniOneReadout, Line) {
  const std::string line = MoniOneLine(123.5, 269.5, "45", "  SM4DIG ");
  EXPECT_EQ(line, "DIST:   124 km   DIR: 270 \xB0   SPEED:  45 km/h   VIA: SM4DIG");
  EXPECT_EQ(MoniOneLine(0.009, 90.0, "", ""), "DIST:     0 km   DIR:  90 \xB0   SPEED:     km/h   VIA: -");
  EXPECT_EQ(MoniOneLine(122.5, 0.4, "12345", "WIDE"), "DIST:   122 km   DIR:   0 \xB0   SPEED:2345 km/h   VIA: WIDE");
  EXPECT_EQ(line.size(), 52u + 7u);
}

// A track record: date, time and position as the station records hold them.
std::string TrackRecord(const char* dateTime, double northKm, double eastKm) {
  std::string r(120, ' ');
  r.replace(0, 11, dateTime);
  r[12] = static_cast<char>(0xFE);
  r.replace(13, 9, PositionText(TruncateMetres(northKm * 1000)));
  r.replace(22, 9, PositionText(FloorMetres(eastKm * 1000)));
  return r;
}

TEST(MoniOneReadout, Speed) {
  std::vector<std::string> track(10, std::string(120, ' '));
  // The search goes back until the gap reaches 3 minutes.
  track[1] = TrackRecord("240501 1150", 6570.0, 674.0);
  track[2] = TrackRecord("240501 1157", 6575.0, 674.0);
  track[3] = TrackRecord("240501 1158", 6579.0, 674.0);
  track[4] = TrackRecord("240501 1200", 6580.0, 674.0);
  EXPECT_EQ(MoniOneSpeedText(track, 4), "100");  // back to 1157: 5 km in 3 minutes
  EXPECT_EQ(MoniOneSpeedText(track, 3), "67");   // past 1157 (1 minute) to 1150: 9 km in 8 minutes
  // Across midnight and the month end.
  track[1] = TrackRecord("240430 2359", 6579.0, 674.0);
  track[2] = TrackRecord("240501 0001", 6580.0, 675.0);
  EXPECT_EQ(MoniOneSpeedText(track, 2), "42");  // sqrt(2) km in 2 minutes
  // No speed: one record, reports under a minute apart, a damaged time.
  EXPECT_EQ(MoniOneSpeedText(track, 1), "");
  track[1] = TrackRecord("240501 0001", 6579.0, 674.0);
  EXPECT_EQ(MoniOneSpeedText(track, 2), "");
  track[1] = TrackRecord("241301 0001", 6579.0, 674.0);
  EXPECT_EQ(MoniOneSpeedText(track, 2), "");
  EXPECT_EQ(MoniOneSpeedText(track, 20), "");  // more than the track holds
}

// ---------------------------------------------------------------------------
// Against PROJ.

// A km text back to metres: the sign in column 1, the number after it.
double TextMetres(const std::string& text) {
  const double v = LeadingNumber(text.substr(1)) * 1000.0;
  return text[0] == '-' ? -v : v;
}

// A degree-minute text back to minutes of arc, without its sign.
double TextMinutes(const std::string& text) {
  const std::string t = text[0] == '-' ? " " + text.substr(1) : text;
  const std::size_t colon = t.find(':');
  return LeadingNumber(t.substr(0, colon)) * 60.0 + LeadingNumber(t.substr(colon + 1));
}

std::string Tmerc(double cm, double k, double falseEasting, const char* ellipsoid, const char* towgs84) {
  return "+proj=tmerc +lat_0=0 +lon_0=" + std::to_string(cm) + " +k=" + std::to_string(k) +
         " +x_0=" + std::to_string(falseEasting) + " +y_0=0 +ellps=" + ellipsoid + " +towgs84=" + towgs84 +
         " +units=m +no_defs +type=crs";
}

// Splits a CRS text into words for the argument list.
std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> w;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t j = s.find(' ', i);
    w.push_back(s.substr(i, j - i));
    if (j == std::string::npos) break;
    i = j + 1;
  }
  return w;
}

std::vector<std::string> Args(const std::string& from, const std::string& to) {
  std::vector<std::string> a = Words(from);
  a.push_back("+to");
  for (auto& w : Words(to)) a.push_back(w);
  return a;
}

const char* kWgs84 = "+proj=longlat +datum=WGS84 +no_defs +type=crs";

struct MapZoneCase {
  double cm;
  double northFrom, northTo, eastFrom, eastTo;
};

class MapKmAgainstProj : public ::testing::TestWithParam<MapZoneCase> {};

// ConvertMapKmToLatLon: the degree-minute texts lie within their last digit
// (0.01 minute, cut toward zero) of PROJ's inverse UTM.
TEST_P(MapKmAgainstProj, LatLonTextsWithinTheLastDigit) {
  const MapZoneCase& z = GetParam();
  std::vector<std::pair<double, double>> mapMetres;
  for (double n = z.northFrom; n <= z.northTo + 1e-9; n += (z.northTo - z.northFrom) / 12)
    for (double e = z.eastFrom; e <= z.eastTo + 1e-9; e += (z.eastTo - z.eastFrom) / 12)
      mapMetres.emplace_back(e * 1000.0 + 0.3719, n * 1000.0 + 0.4127);  // off the whole metres
  const auto ref = RunCs2cs(Args(Tmerc(z.cm, 0.9996, 500000, "GRS80", "0,0,0"), kWgs84), mapMetres);
  ASSERT_EQ(ref.size(), mapMetres.size()) << "cs2cs did not run";
  double worst = 0;
  for (std::size_t i = 0; i < ref.size(); ++i) {
    const MapPoint p = ConvertMapKmToLatLon(mapMetres[i].second / 1000.0, mapMetres[i].first / 1000.0, z.cm);
    const double refLon = ref[i].first, refLat = ref[i].second;
    EXPECT_NEAR(p.latitude, refLat, 1e-8);
    EXPECT_NEAR(p.longitude, refLon, 1e-8);
    ASSERT_EQ(p.latText.size(), 9u);
    ASSERT_EQ(p.lonText.size(), 9u);
    for (auto [text, value] : {std::pair{p.latText, refLat}, std::pair{p.lonText, refLon}}) {
      const double cut = std::fabs(value) * 60.0 - TextMinutes(text);  // what the text leaves off
      EXPECT_GE(cut, -1e-6) << text << " " << value;
      EXPECT_LT(cut, 0.01 + 1e-6) << text << " " << value;
      if (value <= -1.0 / 6000 && std::fabs(value) < 100.0) {
        EXPECT_EQ(text[0], '-') << text;
      }
      if (value >= 0.0) {
        EXPECT_NE(text[0], '-') << text;
      }
      worst = std::max(worst, cut);
    }
  }
  EXPECT_GT(worst, 0.005);  // the grid does reach into the last digit
}

INSTANTIATE_TEST_SUITE_P(Zones, MapKmAgainstProj,
                         ::testing::Values(MapZoneCase{15, 5400, 7800, 150, 850},     // zone 33, Europe
                                           MapZoneCase{27, 6500, 7700, 200, 800},     // zone 35
                                           MapZoneCase{-75, 2000, 5000, 200, 800},    // zone 18, America
                                           MapZoneCase{21, -4000, -100, 200, 800}));  // south, no false northing

struct GridCase {
  const char* name;
  double centreLon;  // the centre giving the zone meridians
  double latFrom, latTo, lonFrom, lonTo;
};

class GridAgainstProj : public ::testing::TestWithParam<GridCase> {};

// The Gauss-Krueger, own-zone UTM and RT90 texts lie within their last digit
// (1 m, 10 m for an eight-digit easting; cut down) of PROJ, given the same
// datum: Potsdam by its three translations, RT90 by EPSG:3021.
TEST_P(GridAgainstProj, TextsWithinTheLastDigit) {
  const GridCase& g = GetParam();
  const ZoneMeridians zones = ComputeZoneMeridians(g.centreLon);
  std::vector<std::pair<double, double>> lonLat;
  for (double lat = g.latFrom; lat <= g.latTo + 1e-9; lat += (g.latTo - g.latFrom) / 10)
    for (double lon = g.lonFrom; lon <= g.lonTo + 1e-9; lon += (g.lonTo - g.lonFrom) / 10)
      lonLat.emplace_back(lon + 1.3e-6, lat + 2.9e-6);

  const double gkFalseEasting = std::floor(zones.gkCentralMeridian / 3) * 1e6 + 5e5;
  const auto gk =
      RunCs2cs(Args(kWgs84, Tmerc(zones.gkCentralMeridian, 1, gkFalseEasting, "bessel", "587,16,393")), lonLat);
  const auto utm =
      RunCs2cs(Args(kWgs84, Tmerc(zones.ownZoneCentralMeridian, 0.9996, 500000, "GRS80", "0,0,0")), lonLat);
  const auto rt90 = RunCs2cs(Args(kWgs84, "EPSG:3021"), lonLat);  // northing, easting
  ASSERT_EQ(gk.size(), lonLat.size()) << "cs2cs did not run";
  ASSERT_EQ(utm.size(), lonLat.size());
  ASSERT_EQ(rt90.size(), lonLat.size());

  auto check = [](const std::string& text, double refMetres, bool easting) {
    ASSERT_EQ(text.size(), 9u) << text;
    const bool eight = easting && std::fabs(refMetres) >= 1e7;
    const double digit = eight ? 10.0 : 1.0;
    const double diff = TextMetres(text) - refMetres;
    // Cut down to the last digit (+0.01 m), plus what the datum change of the
    // library and PROJ's leave between them.
    EXPECT_GT(diff, -digit - 0.1) << text << " " << refMetres;
    EXPECT_LT(diff, 0.01 + 0.1) << text << " " << refMetres;
  };
  for (std::size_t i = 0; i < lonLat.size(); ++i) {
    const AllSystemsTexts t = ConvertLatLonToAllSystems(lonLat[i].second, lonLat[i].first, zones);
    check(t.gkNorth, gk[i].second, false);
    check(t.gkEast, gk[i].first, true);
    check(t.ownZoneNorth, utm[i].second, false);
    check(t.ownZoneEast, utm[i].first, true);
    check(t.rt90North, rt90[i].first, false);
    check(t.rt90East, rt90[i].second, true);
    EXPECT_EQ(t.locator, MaidenheadLocator(lonLat[i].second, lonLat[i].first));
  }
}

INSTANTIATE_TEST_SUITE_P(Regions, GridAgainstProj,
                         ::testing::Values(GridCase{"Sweden", 16.2, 55.2, 69.0, 11.0, 24.0},
                                           GridCase{"Germany", 9.4, 47.5, 55.0, 6.0, 13.0},
                                           GridCase{"Finland", 29.0, 60.0, 69.5, 25.5, 31.5}),  // GK zone 10
                         [](const ::testing::TestParamInfo<GridCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace zeblon::map
