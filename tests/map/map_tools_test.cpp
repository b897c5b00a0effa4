// The map tools' plain parts: web-map addresses, ZEBLON.KML, the read-back
// parsers, the saved map names, PIC.HTM and the right-click finders.
#include <gtest/gtest.h>

#include <QImage>
#include <fstream>

#include "geodesy/text.h"
#include "map/finders.h"
#include "map/layers/sun_curve_picture.h"
#include "map/outside_maps.h"
#include "map/picture_page.h"
#include "tests/support/program_folder.h"

namespace zeblon::map {
namespace {

TEST(OutsideMaps, DecimalDegreeTexts) {
  const struct {
    double v;
    const char* text;
  } cases[] = {{15, "15."},
               {0.5, "0.5"},
               {-0.25, "-0.25"},
               {58.64029694, "58.6402969"},
               {-33.95, "-33.95"},
               {1e-9, "0."},
               {-1e-9, "0."},
               {12.00000005, "12.0000001"},
               {-179.99999999, "-180."}};
  for (const auto& c : cases) EXPECT_EQ(DecimalDegreeText(c.v), c.text) << c.v;
}

TEST(OutsideMaps, WebMapAddressesOfTheCentre) {
  EXPECT_EQ(WebMapAddress(WebMap::kGoogleMaps, 6500, 500),
            "https://www.google.com/maps/@58.6402969,15.,1008m/data=!3m1!1e3");
  EXPECT_EQ(WebMapAddress(WebMap::kSwedish, 6500.25, 432.5),
            "https://minkarta.lantmateriet.se/?e=432500&n=6500250&z=12&background=2&boundaries=false");
  EXPECT_EQ(WebMapAddress(WebMap::kNorwegian, 6650.1234, 262.5),
            "https://norgeskart.no/#!?project=norgeskart&layers=1003&zoom=14&lat=6650123.4&lon=262500");
  // Finnish grid: zone 33 -> lat/lon -> central meridian 27, cut down to whole metres.
  const std::string fin = WebMapAddress(WebMap::kFinnish, 6700, 800);
  EXPECT_EQ(fin.rfind("https://asiointi.maanmittauslaitos.fi/karttapaikka/?share=customMarker&n=", 0), 0u);
  EXPECT_NE(fin.find("&title=&desc=&zoom=11&layers=%5B%7B%22id%22%3A3%2C%22opacity%22%3A100%7D%5D&lang=sv"),
            std::string::npos);
  const std::size_t n = fin.find("&n="), e = fin.find("&e="), end = fin.find("&title");
  ASSERT_TRUE(n < e && e < end);
  EXPECT_EQ(fin.substr(n, end - n).find('.'), std::string::npos) << "whole metres only: " << fin;
}

TEST(OutsideMaps, KmlFileLinesAndPlacemarkName) {
  const KmlPlacemark k = PlacemarkAt(6500, 500, 15, false, 0, "", "");
  EXPECT_EQ(k.name, "58.6402969  15.");
  EXPECT_EQ(KmlText(k),
            "<kml>\r\n<Placemark>\r\n<name> 58.6402969  15.</name>\r\n<Point>\r\n"
            "<coordinates>15.,58.6402969</coordinates>\r\n</Point>\r\n</Placemark>\r\n</kml>\r\n");
  // Following the MONI 1 station with a track: its call and time caption.
  EXPECT_EQ(PlacemarkAt(6500, 500, 15, true, 3, "SM0ABC-9", "24-05-01 12:34").name, "SM0ABC-9  24-05-01 12:34");
  EXPECT_EQ(PlacemarkAt(6500, 500, 15, true, 0, "SM0ABC-9", "x").name, "58.6402969  15.");
  // Another zone: the KML uses the map zone's meridian (zone 32: 9 degrees).
  EXPECT_NEAR(PlacemarkAt(6500, 500, 9, false, 0, "", "").longitude, 9.0, 1e-9);
}

TEST(OutsideMaps, GlobePositionTexts) {
  const struct {
    const char* text;
    bool found;
    double lat, lon;
  } cases[] = {
      {"59.3293\xB0 18.0686\xB0", true, 59.3293, 18.0686},
      {"59\xB0"
       "19'45.48\"N  18\xB0"
       "04'07.00\"E",
       true, 59 + 19 / 60.0 + 45.48 / 3600, 18 + 4 / 60.0 + 7 / 3600.0},
      {"33\xB0"
       "52.5'S  151\xB0"
       "12.6'W",
       true, -(33 + 52.5 / 60), -(151 + 12.6 / 60)},
      {"33\xB0"
       "52'30.00\"S 151\xB0"
       "12'36.00\"V",
       true, -(33 + 52.5 / 60), -(151 + 12.6 / 60)},
      {"-33.875\xB0 -151.21\xB0 S W", true, -33.875, -151.21},  // decimal degrees: letters give no sign
      {" 59.3293000\xB0 18.0686000", true, 59.3293, 18.0686},   // the fixed-column form (character 12)
      {"no position here", false, 0, 0},
      {"0\xB0 0\xB0", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const auto& c : cases) {
    const auto p = ParseGlobePosition(c.text);
    ASSERT_EQ(p.has_value(), c.found) << c.text;
    if (!p) continue;
    EXPECT_NEAR(p->latitude, c.lat, 1e-9) << c.text;
    EXPECT_NEAR(p->longitude, c.lon, 1e-9) << c.text;
  }
}

TEST(OutsideMaps, WebMapAddressReadBack) {
  const struct {
    const char* text;
    bool found;
    double lat, lon;
  } cases[] = {
      {"https://www.google.com/maps/@59.3293,18.0686,1008m/data=!3m1!1e3", true, 59.3293, 18.0686},
      {"https://www.google.com/maps/@-33.8688,151.2093,12z", true, -33.8688, 151.2093},
      {"https://www.google.com/maps/place/Stockholm,+Sweden/@59.3293,18.0686,12z", false, 0, 0},
      {"https://www.google.com/maps/@59.3293,18z", false, 0, 0},
      {"https://www.google.com/maps/@0,0,3z", false, 0, 0},
      {"59.3293,18.0686,", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const auto& c : cases) {
    const auto p = ParseWebMapAddress(c.text);
    ASSERT_EQ(p.has_value(), c.found) << c.text;
    if (!p) continue;
    EXPECT_NEAR(p->latitude, c.lat, 1e-12);
    EXPECT_NEAR(p->longitude, c.lon, 1e-12);
  }
}

TEST(OutsideMaps, ReadBackBecomesCentreInWholeMetres) {
  const CentreKm c = CentreOfLatLon({58.6402969, 15.0}, 15, 500000);
  EXPECT_NEAR(c.north, 6500.0, 0.0011);
  EXPECT_DOUBLE_EQ(c.east * 1000, std::floor(c.east * 1000 + 1e-6));
  EXPECT_DOUBLE_EQ(c.north * 1000, std::round(c.north * 1000));
}

TEST(OutsideMaps, SavedMapNumbersAndQuestion) {
  testing_support::ScratchFolder dir("zeblon_mymaps");
  EXPECT_EQ(NextSavedMapFile(dir.path()).filename(), "MAP_0001.BMP");
  std::ofstream(dir.path() / "MAP_0002.BMP") << "x";
  EXPECT_EQ(NextSavedMapFile(dir.path()).filename(), "MAP_0001.BMP");
  std::ofstream(dir.path() / "map_0001.bmp") << "x";  // any letter case counts as taken
  EXPECT_EQ(NextSavedMapFile(dir.path()).filename(), "MAP_0003.BMP");
  EXPECT_EQ(*SaveMapQuestion(1, "/x/MAP_0003.BMP"), "SAVE MAP WINDOW TO FILE...  /x/MAP_0003.BMP");
  EXPECT_EQ(*SaveMapQuestion(12, "f"), "KARTENFENSTER ALS DATEI SPEICHERN...  f");
  EXPECT_EQ(*SaveMapQuestion(3, "f"), "SPARA KARTF\xD6NSTRET SOM FIL...  f");
  EXPECT_FALSE(SaveMapQuestion(4, "f").has_value());
}

TEST(PicturePage, WrittenByteForByteWithTheEscapedPath) {
  EXPECT_EQ(PicturePage("/maps/UTMPICS/65200432.JPG"),
            "<html>\r\n<body bgcolor=\"#505050\">\r\n<center>\r\n<img src=\"/maps/UTMPICS/65200432.JPG\">\r\n"
            "</center>\r\n</body>\r\n</html>\r\n");
  EXPECT_EQ(PicturePage("/m/a&b/\"><script>x</script>/65200432.avi"),
            "<html>\r\n<body bgcolor=\"#505050\">\r\n<center>\r\n"
            "<img dynsrc=\"/m/a&amp;b/&quot;&gt;&lt;script&gt;x&lt;/script&gt;/65200432.avi\">\r\n"
            "</center>\r\n</body>\r\n</html>\r\n");
  EXPECT_TRUE(IsVideoName("65200432.Avi"));
  EXPECT_FALSE(IsVideoName("65200432.JPG"));
  EXPECT_FALSE(IsVideoName("AV"));
}

TEST(PicturePage, CentreAndStepping) {
  const struct {
    const char* name;
    double north, east;
  } cases[] = {
      {"65200432.JPG", 6520.499, 432.499}, {"B2500100.JPG", -2249.501, 100.499}, {"A0010500.JPG", -1000.501, 500.499}};
  for (const auto& c : cases) {
    EXPECT_NEAR(PictureCentre(c.name).north, c.north, 1e-9) << c.name;
    EXPECT_NEAR(PictureCentre(c.name).east, c.east, 1e-9) << c.name;
  }
  EXPECT_EQ(StepPicture(1, 3, -1), 1);
  EXPECT_EQ(StepPicture(3, 3, +1), 3);
  EXPECT_EQ(StepPicture(2, 3, -1), 1);
  EXPECT_EQ(StepPicture(2, 3, +1), 3);
  EXPECT_EQ(StepPicture(0, 0, +1), 0);
}

// A 120-column station record.
std::string Record(double north_km, double east_km, const std::string& call, const std::string& symbol = "/>",
                   const std::string& via = "", bool object = false) {
  std::string r(120, ' ');
  const std::string pos = PositionText(std::llround(north_km * 1000)) + PositionText(std::llround(east_km * 1000));
  r.replace(12, 1, "\xFE");
  r.replace(13, pos.size(), pos);
  r.replace(32, call.size(), call);
  if (object) r[89] = '_';
  r.replace(90, via.size(), via);
  r.replace(100, symbol.size(), symbol);
  return r;
}

TEST(Finders, RadiiBySquareAndScale) {
  EXPECT_DOUBLE_EQ(FinderRadiusKm(10), 0.1);
  const struct {
    double mpp, r;
  } pictures[] = {{10, 0.5}, {99.4, 0.5}, {100, 1.5}, {199, 1.5}, {200, 2.5}, {299, 2.5}, {1000, 10.5}, {5000, 50.5}};
  for (const auto& c : pictures) EXPECT_DOUBLE_EQ(PictureFinderRadiusKm(c.mpp), c.r) << c.mpp;
  EXPECT_TRUE(InFinderSquare(100.09, 200.09, 100, 200, 0.1));
  EXPECT_FALSE(InFinderSquare(100.5, 200, 100, 200, 0.5)) << "exactly r away is no hit";
  EXPECT_FALSE(InFinderSquare(100, 199.875, 100, 200, 0.125));
}

TEST(Finders, StationsLastHitWinsMoniOneFirstFiltersApply) {
  const std::vector<std::string> none;
  const std::vector<std::string> log = {Record(6500.05, 500, "EARLY"), Record(6500.09, 500.09, "LATER")};
  StationHit h = FindStationAt(none, "", log, 6500, 500, 10, {});
  EXPECT_EQ(h.index, 2);
  EXPECT_EQ(h.call, "LATER");
  EXPECT_FALSE(h.moniOne);
  // The MONI 1 track wins whatever the filters say.
  const std::vector<std::string> track = {Record(6500.02, 500.02, "ME")};
  h = FindStationAt(track, "SM0XYZ-9", log, 6500, 500, 10, {true, 0});
  EXPECT_TRUE(h.moniOne);
  EXPECT_EQ(h.index, 1);
  EXPECT_EQ(h.call, "SM0XYZ-9");
  // Passed over: an empty call, a digipeated record with "direct only", a class switched off.
  const std::vector<std::string> log2 = {Record(6500, 500, "DIRECT", "/>"), Record(6500, 500, ""),
                                         Record(6500, 500, "VIADIGI", "/>", "SK0DIG")};
  EXPECT_EQ(FindStationAt(none, "", log2, 6500, 500, 10, {true, 31}).call, "DIRECT");
  EXPECT_EQ(FindStationAt(none, "", log2, 6500, 500, 10, {false, 31}).call, "VIADIGI");
  EXPECT_EQ(FindStationAt(none, "", log2, 6500, 500, 10, {false, 31 - 4}).index, 0)
      << "mobiles off (car /> is class 0)";
  // An object is class 3 whatever its symbol.
  const std::vector<std::string> objects = {Record(6500, 500, "OBJ", "/>", "SM0ABC", true)};
  EXPECT_EQ(FindStationAt(none, "", objects, 6500, 500, 10, {false, 8}).call, "OBJ");
  EXPECT_EQ(FindStationAt(none, "", objects, 6500, 500, 10, {false, 31 - 8}).index, 0);
}

TEST(Finders, BlankSymbolColumnsCountAsNoSymbol) {
  EXPECT_EQ(StationClassOfRecord(Record(1, 1, "X", "   ")), 1);
  EXPECT_EQ(StationClassOfRecord(Record(1, 1, "X", "/")), 1);
  EXPECT_EQ(StationClassOfRecord(std::string(40, ' ')), 1) << "a short record";
  EXPECT_EQ(StationClassOfRecord(Record(1, 1, "X", "/_")), 4) << "weather";
  const std::vector<std::string> log = {Record(6500, 500, "NOSYM", "   ")};
  EXPECT_EQ(FindStationAt({}, "", log, 6500, 500, 10, {false, 2}).call, "NOSYM") << "shown with the fixed stations";
  EXPECT_EQ(FindStationAt({}, "", log, 6500, 500, 10, {false, 31 - 2}).index, 0);
}

TEST(Finders, PicturesTrackPointsAndPois) {
  const std::vector<std::string> pics = {"65200432.JPG", "65200433.AVI", "65210432.JPG"};
  EXPECT_EQ(FindPictureAt(pics, 6520.5, 432.5, 10), 1);
  EXPECT_EQ(FindPictureAt(pics, 6520.5, 433.2, 10), 2);
  EXPECT_EQ(FindPictureAt(pics, 6520.9, 432.9, 1000), 3) << "last hit of a wide square";
  EXPECT_EQ(FindPictureAt(pics, 6600, 432.5, 10), 0);
  const std::vector<std::string> trk = {"\xFE 6500.000  500.000 20240501 1200", "",
                                        "\xFE 6500.050  500.050 20240501 1201"};
  LineHit t = FindLineAt(trk, 6500.04, 500.04, 10);
  EXPECT_EQ(t.index, 3);
  EXPECT_EQ(t.text, "20240501 1201");
  EXPECT_EQ(FindLineAt(trk, 6510, 500, 10).index, 0);
  EXPECT_TRUE(TextHoldsLink("see {https://x.y}"));
  EXPECT_FALSE(TextHoldsLink("see {https://x.y"));
}

TEST(SunCurvePicture, DrawsGridCurvesAndNow) {
  SunCurveClock clock;
  clock.year = 2024;
  clock.month = 6;
  clock.day = 21;
  clock.secondsSinceMidnight = 12 * 3600;
  clock.utcOffsetHours = 2;
  const SunCurve c = ComputeSunCurveAt(59.3, 18.0, clock);
  const QImage img = SunCurveImage(c);
  ASSERT_EQ(img.size(), QSize(400, 290));
  EXPECT_EQ(img.pixelColor(16 + 180, 170), QColor(255, 0, 0)) << "the present time at noon";
  EXPECT_EQ(img.pixelColor(31, 250), QColor(128, 128, 128)) << "hour line";
  EXPECT_EQ(img.pixelColor(100, 170), QColor(224, 224, 224)) << "horizon";
  // Today's noon sample: above the horizon, yellow.
  const SunSample& noon = c.today[180];
  EXPECT_TRUE(noon.aboveHorizon);
  EXPECT_EQ(img.pixelColor(int(std::floor(noon.x + 0.5)), int(std::floor(noon.y + 0.5))), QColor(255, 255, 0));
  const SunSample& night = c.today[0];
  EXPECT_FALSE(night.aboveHorizon);
  EXPECT_EQ(img.pixelColor(int(std::floor(night.x + 0.5)), int(std::floor(night.y + 0.5))), QColor(0, 208, 255));
  img.save(QString(ZEBLON_BINARY_DIR) + "/sun_curve.png");
}

}  // namespace
}  // namespace zeblon::map
