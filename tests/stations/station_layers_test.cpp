// Pixel probes on an offscreen map whose stores were filled by the receive
// pass from real frames: markers and symbols at the projected positions,
// tracks by age and kind, labels, the emergency label, filters and levels,
// MONI 1 on top, the weather diagram, and bad records drawn safely.
#include <gtest/gtest.h>

#include "layers_fixture.h"

namespace zeblon::stations {
namespace {

using testing::At;
using testing::Position;
using testing::StationMap;

const QColor kStation = ToQColor(kStationColour);
const QColor kWhite(255, 255, 255);

constexpr double kLat = 59.33, kLon = 18.06;

class LayersTest : public ::testing::Test {
 protected:
  LayersTest() {
    map.CentreOn(kLat, kLon);
    map.st.settings.moniOneCall = "WATCH";
  }
  // A station heard directly at an offset of (dlat, dlon) from the centre.
  void Hear(const std::string& call, double dlat, double dlon, char table, char code, const std::string& comment = "",
            int hour = 12, int minute = 30, const std::string& path = "APRS", char kind = '!') {
    map.Receive(
        call + ">" + path + ":" + std::string(1, kind) + Position(kLat + dlat, kLon + dlon, table, code) + comment,
        hour, minute);
  }
  StationMap map;
};

// The centre of a station's marker near where its position projects: the
// white centre pixel with the station colour on its four sides.
QPoint FindCross(const QImage& img, QPoint around, const QColor& colour, const QColor& centre) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const QPoint p = around + QPoint(dx, dy);
      if (At(img, p) == centre && At(img, p, 1, 0) == colour && At(img, p, -1, 0) == colour &&
          At(img, p, 0, 1) == colour && At(img, p, 0, -1) == colour)
        return p;
    }
  return {-1, -1};
}

// Along the column halfway between two points: whether a band of colour
// `band` with a centre line of colour `centre` crosses it.
bool BandBetween(const QImage& img, QPoint a, QPoint b, const QColor& band, const QColor& centre, double t = 0.5) {
  const int x = a.x() + static_cast<int>(std::lround((b.x() - a.x()) * t));
  for (int y = std::min(a.y(), b.y()) - 3; y <= std::max(a.y(), b.y()) + 3; ++y)
    if (At(img, x, y) == centre && At(img, x, y - 1) == band && At(img, x, y + 1) == band) return true;
  return false;
}

// Rings, squares, labels and the alarm label are written straight into the
// picture's pixels as figures taken once from the painter: they must equal the
// painter's own drawing wherever they lie, also cut by the picture's edges.
TEST_F(LayersTest, FiguresWrittenStraightEqualThePainters) {
  const double edgeLon = 400 * 0.05 / 56.8, edgeLat = 300 * 0.05 / 111.3;  // the picture's half sides in degrees
  const struct {
    const char* call;
    double dlat, dlon;
    char table, code;
  } stations[] = {
      {"FIX1", 0.01, 0.02, '/', '-'},
      {"DIGI1", -0.02, -0.03, '/', '#'},
      {"WX1", 0.03, 0.05, '/', '_'},
      {"FIXE", 0.0, edgeLon - 0.0004, '/', '-'},
      {"DIGIW", 0.02, -edgeLon - 0.0002, '/', '#'},
      {"WXN", edgeLat - 0.0001, 0.1, '/', '_'},
      {"DIGIS", -edgeLat + 0.0002, -0.1, '/', '#'},
      {"LONGCALL-12", 0.05, edgeLon - 0.005, '/', '-'},
  };
  for (const auto& s : stations) Hear(s.call, s.dlat, s.dlon, s.table, s.code, "text for the long label");
  Hear("HELP", -0.05, 0.08, '\\', '!', "need help");
  Hear("OBJ1", 0.06, -0.1, '/', 'E', "", 12, 30, "APRS", ';');
  ASSERT_EQ(map.st.alarm.call, "HELP");
  int compared = 0;
  for (int level = 1; level <= 3; ++level) {
    SCOPED_TRACE(level);
    map.settings.moniAllLevel = level;
    const QImage straight = map.Draw(true, false), painted = map.Draw(true, false, true);
    int differing = 0;
    for (int y = 0; y < straight.height(); ++y)
      for (int x = 0; x < straight.width(); ++x) {
        differing += straight.pixel(x, y) != painted.pixel(x, y);
        compared += straight.pixel(x, y) != StationMap::kGround.rgb();
      }
    EXPECT_EQ(differing, 0);
  }
  EXPECT_GT(compared, 3000);  // the stations were drawn
}

TEST_F(LayersTest, MarkersAtTheProjectedPositionsWithLabels) {
  Hear("FIX1", 0.01, 0.02, '/', '-', "house");
  Hear("DIGI1", -0.02, -0.03, '/', '#', "digi");
  Hear("CAR1", 0.03, -0.04, '/', '>', "car");
  ASSERT_EQ(map.st.stations.MoniAllCount(), 3);
  const QImage img = map.Draw();
  struct Case {
    const char* call;
    double dlat, dlon;
  };
  for (const Case& c : {Case{"FIX1", 0.01, 0.02}, Case{"DIGI1", -0.02, -0.03}, Case{"CAR1", 0.03, -0.04}}) {
    SCOPED_TRACE(c.call);
    const QPoint projected = map.PixelOfLatLon(kLat + c.dlat, kLon + c.dlon);
    const QPoint found = FindCross(img, projected, kStation, kWhite);
    ASSERT_NE(found, QPoint(-1, -1));
    EXPECT_LE(std::abs(found.x() - projected.x()), 1);
    EXPECT_LE(std::abs(found.y() - projected.y()), 1);
    // Level 2: the call in a box of the station colour 8 pixels right of the point.
    const int len = static_cast<int>(std::string(c.call).size());
    EXPECT_EQ(At(img, found, 8 + 8 * len, 5), kStation);
    EXPECT_EQ(At(img, found, 8 + 8 * len + 1, 5), StationMap::kGround);
  }
  // The shapes: fixed squares (ring 3 white), digipeater circles, mobile diamonds.
  const QPoint fix = map.PixelOf(map.Newest("FIX1"));
  EXPECT_EQ(At(img, fix, 3, 3), kWhite);
  EXPECT_EQ(At(img, fix, 5, 5), kStation);
  EXPECT_EQ(At(img, fix, 6, 6), StationMap::kGround);
  const QPoint car = map.PixelOf(map.Newest("CAR1"));
  EXPECT_EQ(At(img, car, 0, -3), kWhite);
  EXPECT_EQ(At(img, car, 0, -6), kStation);
  EXPECT_EQ(At(img, car, 3, -3), kStation);  // (x+3, y-3) lies on ring 6 of the diamond
  EXPECT_EQ(At(img, car, 5, -5), StationMap::kGround);
}

TEST_F(LayersTest, TracksDrawingOrderAndMoniOneOnTop) {
  // CAR1 moves east in three reports; FIX1 and CAR2 are heard in between.
  Hear("CAR1", 0, -0.05, '/', '>', "", 12, 0);
  Hear("FIX1", 0.02, 0, '/', '-', "", 12, 1);
  Hear("CAR1", 0, -0.03, '/', '>', "", 12, 2);
  Hear("CAR2", -0.02, 0, '/', '>', "", 12, 3);
  Hear("CAR1", 0, -0.01, '/', '>', "", 12, 4);
  Hear("NEAR", 0.001, 0.001, '/', '-', "", 12, 5);
  Hear("WATCH", 0.001, 0.001, '/', '-', "", 12, 6);
  ASSERT_EQ(map.st.stations.MoniOneCount(), 1);
  const QImage img = map.Draw();
  EXPECT_EQ(map.lastOrder, (std::vector<std::string>{"FIX1", "CAR2", "CAR1", "NEAR"}));
  // The band between two positions: station colour above and below a white centre line.
  const QPoint a = map.PixelOfLatLon(kLat, kLon - 0.05), b = map.PixelOfLatLon(kLat, kLon - 0.03);
  EXPECT_TRUE(BandBetween(img, a, b, kStation, kWhite));
  // MONI 1 is drawn last: its square of half side 12 in its track colour lies
  // over NEAR's label box.
  const QPoint w = map.PixelOf(map.st.stations.MoniOneTrack()[1]);
  EXPECT_EQ(At(img, w, 12, 0), ToQColor(kTrackColourRecent));
  EXPECT_EQ(At(img, w, 11, 0), QColor(0, 0, 0));
  // Without the MONI 1 pass NEAR's label box is there.
  const QImage without = map.Draw(true, false);
  EXPECT_EQ(At(without, w, 12, 0), kStation);
}

TEST_F(LayersTest, MoniOneTrackColoursByAgeAndKind) {
  // The watched station walks east; reports 7 hours, 2 hours and 10 minutes old.
  map.now = {2024, 5, 1, 19, 0, 0};
  Hear("WATCH", 0, -0.06, '/', '>', "", 12, 0);
  Hear("WATCH", 0, -0.04, '/', '>', "", 17, 0);
  Hear("WATCH", 0, -0.02, '/', '[', "", 18, 50);
  Hear("WATCH", 0, 0, '/', '>', "", 18, 55);
  ASSERT_EQ(map.st.stations.MoniOneCount(), 4);
  QPoint p[5];
  for (int i = 1; i <= 4; ++i) p[i] = map.PixelOf(map.st.stations.MoniOneTrack()[i]);
  // The band ending at report i, with its black centre line.
  // (A quarter of the way along: the newest point's marker covers the rest.)
  auto band = [&](const QImage& img, int i, const Rgb& c) {
    return BandBetween(img, p[i - 1], p[i], ToQColor(c), QColor(0, 0, 0), 0.25);
  };
  map.settings.moniOneLevel = 2;
  QImage img = map.Draw(false, true);
  EXPECT_TRUE(band(img, 2, kTrackColourHours));
  EXPECT_TRUE(band(img, 3, kTrackColourPedestrian));
  EXPECT_TRUE(band(img, 4, kTrackColourRecent));
  EXPECT_FALSE(band(img, 2, kTrackColourOld));
  // Point marks at the older points: ring 3 in the colour, 5 black.
  EXPECT_EQ(At(img, p[2], 0, -3), ToQColor(kTrackColourHours));
  EXPECT_EQ(At(img, p[2], 0, -5), QColor(0, 0, 0));
  // Level 1: one colour, no point marks.
  map.settings.moniOneLevel = 1;
  img = map.Draw(false, true);
  EXPECT_TRUE(band(img, 2, kTrackColourRecent));
  EXPECT_EQ(At(img, p[2], 0, -5), StationMap::kGround);
  // The label at level 2: call in the track colour on black, 16 pixels right.
  map.settings.moniOneLevel = 2;
  img = map.Draw(false, true);
  EXPECT_EQ(At(img, p[4], 16 + 8 * 5, 5), QColor(0, 0, 0));
  EXPECT_EQ(At(img, p[4], 16 + 8 * 5 + 1, 5), StationMap::kGround);
}

TEST_F(LayersTest, FiltersAndLevelsChangeWhatIsDrawn) {
  Hear("FIX1", 0.01, 0, '/', '-');
  Hear("CAR1", -0.01, 0, '/', '>');
  Hear("VIADIGI", 0, 0.02, '/', '-', "", 12, 30, "APRS,SM5DIG*");
  const QPoint fix = map.PixelOf(map.Newest("FIX1"));
  const QPoint car = map.PixelOf(map.Newest("CAR1"));
  const QPoint via = map.PixelOf(map.Newest("VIADIGI"));
  auto drawn = [&](const QImage& img, QPoint p) { return At(img, p, 1, 0) != StationMap::kGround; };

  QImage img = map.Draw();
  EXPECT_TRUE(drawn(img, fix) && drawn(img, car) && drawn(img, via));
  // The fixed class box unticked.
  StationSwitches s;
  s.SetClassShown(1, false);
  map.settings = StationDrawSettings::From(s);
  img = map.Draw();
  EXPECT_FALSE(drawn(img, fix));
  EXPECT_FALSE(drawn(img, via));
  EXPECT_TRUE(drawn(img, car));
  // Mobile stations only when they move: CAR1 has one report.
  s.SetClassShown(1, true);
  s.PressMobile();
  map.settings = StationDrawSettings::From(s);
  img = map.Draw();
  EXPECT_FALSE(drawn(img, car));
  EXPECT_TRUE(drawn(img, fix));
  // Direct reception only.
  map.settings = StationDrawSettings::From(StationSwitches{}, true);
  img = map.Draw();
  EXPECT_FALSE(drawn(img, via));
  EXPECT_TRUE(drawn(img, fix));
  // Level 0 draws nothing at all.
  map.settings.directOnly = false;
  map.settings.moniAllLevel = 0;
  img = map.Draw();
  QImage empty(img.size(), QImage::Format_RGB32);
  empty.fill(StationMap::kGround);
  EXPECT_EQ(img, empty);
  // Level 1: no label; level 3: the long label is longer than the call's.
  map.settings.moniAllLevel = 1;
  img = map.Draw();
  EXPECT_EQ(At(img, fix, 8 + 8 * 4, 5), StationMap::kGround);
  map.settings.moniAllLevel = 3;
  img = map.Draw();
  EXPECT_EQ(At(img, fix, 8 + 8 * 10, 5), kStation);
}

TEST_F(LayersTest, EachClassBoxHidesOnlyItsClass) {
  Hear("DIG1", 0.02, 0, '/', '#');
  Hear("FIX1", 0.01, 0, '/', '-');
  Hear("CAR1", 0, 0, '/', '>');
  map.Receive("SENDER>APRS:;OBJ1     *111111z" + Position(kLat - 0.01, kLon, '/', 'E') + "meeting");
  Hear("WX1", -0.02, 0, '/', '_', "090/010t050h50b10100");
  const std::pair<const char*, int> stations[] = {{"DIG1", 2}, {"FIX1", 1}, {"CAR1", 0}, {"OBJ1", 3}, {"WX1", 4}};
  for (const auto& [call, cls] : stations) ASSERT_FALSE(map.Newest(call).empty()) << call;
  for (const auto& [hidden, hiddenClass] : stations) {
    StationSwitches s;
    s.SetClassShown(hiddenClass, false);
    map.settings = StationDrawSettings::From(s);
    const QImage img = map.Draw();
    for (const auto& [call, cls] : stations) {
      const QPoint p = map.PixelOf(map.Newest(call));
      EXPECT_EQ(At(img, p, 8 + 8 * static_cast<int>(std::string(call).size()), 5) == kStation, cls != hiddenClass)
          << call << " with class " << hiddenClass << " hidden";
    }
  }
}

TEST_F(LayersTest, LevelsFourAndFiveLabelBesideTheSymbol) {
  Hear("FIX1", 0, 0, '/', '-', "hello");
  const QPoint p = map.PixelOf(map.Newest("FIX1"));
  map.settings.moniAllLevel = 4;
  QImage img = map.Draw();
  EXPECT_EQ(At(img, p, 14 + 8 * 4, 5), kStation);  // the call at x + 14
  EXPECT_EQ(At(img, p, 14 + 8 * 4 + 1, 5), StationMap::kGround);
  map.settings.moniAllLevel = 5;
  img = map.Draw();
  // The long label: call, two blanks, symbol, comment, time (24 characters).
  const int len = static_cast<int>(std::string("FIX1  /- hello 12:30").size());
  EXPECT_EQ(At(img, p, 14 + 8 * len, 5), kStation);
  EXPECT_EQ(At(img, p, 14 + 8 * len + 1, 5), StationMap::kGround);
}

TEST_F(LayersTest, GreyByAgeAtLevelOne) {
  Hear("OLD1", 0, 0, '/', '-', "", 11, 40);  // 60 minutes before now (12:40)
  map.settings.moniAllLevel = 1;
  const QImage img = map.Draw();
  const QPoint p = map.PixelOf(map.Newest("OLD1"));
  EXPECT_EQ(At(img, p), QColor(195, 195, 195));
  EXPECT_EQ(At(img, p, 3, 3), QColor(195, 195, 195));  // the grey ring
}

// The cells lie on a 21-pixel grid, 16 to a row, held within the sheet.
TEST(SymbolSheets, CellOriginsOnTheGrid) {
  struct Case {
    int index, x, y;
  };
  for (const Case& c : std::initializer_list<Case>{{1, 0, 0},
                                                   {16, 315, 0},
                                                   {17, 0, 21},
                                                   {94, 273, 105},
                                                   {101, 0, 0},
                                                   {116, 315, 0},
                                                   {194, 273, 105},
                                                   {0, 0, 0},
                                                   {100, 0, 105},
                                                   {-7, 0, 0},
                                                   {5000, 0, 105}}) {
    EXPECT_EQ(SymbolSheets::CellOrigin(c.index), QPoint(c.x, c.y)) << c.index;
  }
}

TEST_F(LayersTest, SymbolsFromTheSheetsAndTheEmergencyLabel) {
  Hear("CAR1", 0, 0, '/', '>');
  Hear("HELP", 0.02, 0.02, '\\', '!', "need help");  // the emergency symbol
  ASSERT_EQ(map.st.alarm.call, "HELP");
  map.settings.moniAllLevel = 4;
  QImage img = map.Draw();
  const QPoint car = map.PixelOf(map.Newest("CAR1"));
  // The 22 x 22 cell of "/>" (index 30) at (x - 11, y - 10).
  QImage sheet(QStringLiteral(ZEBLON_PROGRAM_DIR "/ZEBLSYM0.BMP"));
  ASSERT_FALSE(sheet.isNull());
  const QPoint origin = SymbolSheets::CellOrigin(30);
  int same = 0;
  for (int dy = 0; dy < 22; ++dy)
    for (int dx = 0; dx < 22; ++dx)
      same += At(img, car.x() - 11 + dx, car.y() - 10 + dy) == sheet.pixelColor(origin.x() + dx, origin.y() + dy);
  EXPECT_GE(same, 22 * 22 - 22);  // the label box may cover the right column
  // The emergency station: an orange box at x + 14 at level 4, at x + 8 at level 1.
  const QPoint help = map.PixelOf(map.Newest("HELP"));
  const int len = static_cast<int>(std::string("! HELP !").size());
  EXPECT_EQ(At(img, help, 14 + 8 * len, 5), ToQColor(kAlarmOrange));
  map.settings.moniAllLevel = 1;
  img = map.Draw();
  EXPECT_EQ(At(img, help, 8 + 8 * len, 5), ToQColor(kAlarmOrange));
  EXPECT_EQ(At(img, help, 8 + 8 * len + 1, 5), StationMap::kGround);
}

TEST_F(LayersTest, WeatherDiagramAtTheWxLevel) {
  // 20 C, wind from the east 10 kt, rain: 24 h 12.7 mm, 1 h 2.5 mm, pressure 1020.
  Hear("WX1", 0, 0, '/', '_', "090/010g015t068r010p050P020h50b10200");
  const QPoint p = map.PixelOf(map.Newest("WX1"));
  StationSwitches s;
  for (int i = 0; i < 4; ++i) s.LevelUp();
  ASSERT_TRUE(s.WxLevel());
  map.settings = StationDrawSettings::From(s);
  QImage img = map.Draw();
  EXPECT_EQ(At(img, p, 2, 2), ToQColor(Rgb{220, 220, 0}));  // the temperature centre
  EXPECT_EQ(At(img, p, 25, 0), QColor(0, 0, 0));            // wind bar to the east
  EXPECT_EQ(At(img, p, -25, 0), StationMap::kGround);
  EXPECT_EQ(At(img, p, -16, 9), QColor(0, 192, 255));       // 24-hour rain, left
  EXPECT_EQ(At(img, p, 16, 10), QColor(0, 192, 255));       // last hour, right
  EXPECT_EQ(At(img, p, 14, 11 - 24), QColor(0, 192, 255));  // its 24-hour outline
  // Below the "WX" level: only the weather marker.
  map.settings.wxLevel = false;
  img = map.Draw();
  EXPECT_EQ(At(img, p, 25, 0), StationMap::kGround);
  EXPECT_EQ(At(img, p, 4, 0), QColor(245, 245, 245));  // grey of a report 10 minutes old
  // Fewer than 16 bits per pixel: no temperature centre, grey rain.
  map.settings = StationDrawSettings::From(s, false, 8);
  img = map.Draw();
  EXPECT_NE(At(img, p, 2, 2), ToQColor(Rgb{220, 220, 0}));
  EXPECT_EQ(At(img, p, -16, 9), QColor(128, 128, 128));
}

TEST_F(LayersTest, BadRecordsAreDrawnSafely) {
  Hear("FIX1", 0, 0, '/', '-');
  // Hand-spoilt records beside the received one: blank and out-of-range
  // symbols, far-away and unreadable positions, garbage weather.
  const std::string good = map.Newest("FIX1");
  auto spoilt = [&](const std::string& call, int column, const std::string& text) {
    std::string r = good;
    reception::WriteAt(r, 33, std::string(9, ' '));
    reception::WriteAt(r, 33, call);
    reception::WriteAt(r, column, text);
    map.st.stations.Add(r, reception::kMoniAllSlots);
  };
  spoilt("BLANKSYM", 101, "   ");
  spoilt("RANGE", 101, "\x01\x01 ");
  spoilt("FAR", 14, "-9999.999");
  spoilt("FAR2", 23, "99999999");
  spoilt("JUNKPOS", 14, "xx.-.-.- ");
  spoilt("WXJUNK", 43, "t-5-5b-----h-9g-9-c---s999r999p999P999");
  spoilt("WXJUNK", 101, "/_ ");
  map.st.stations.Add(reception::BlankRecord(), reception::kMoniAllSlots);
  for (int level : {1, 2, 3, 4, 5}) {
    map.settings.moniAllLevel = level;
    map.settings.wxLevel = level == 1;
    const QImage img = map.Draw();
    EXPECT_FALSE(img.isNull());
  }
  // A blank symbol is drawn as "No Symbol": fixed square, and no picture at level 4.
  map.settings.moniAllLevel = 2;
  map.settings.wxLevel = false;
  const QImage img = map.Draw();
  EXPECT_EQ(map.lastOrder.size(), 7u);
  // A missing symbol sheet: no picture, the label still drawn.
  SymbolSheets none;
  none.Reload();
  EXPECT_FALSE(none.Loaded(0));
  StationDrawSettings level4;
  level4.moniAllLevel = 4;
  QImage pic(200, 200, QImage::Format_RGB32);
  pic.fill(StationMap::kGround);
  QPainter painter(&pic);
  EXPECT_FALSE(none.PaintCell(painter, 30, 10, 10));
  EXPECT_FALSE(map.sheets.PaintCell(painter, 0, 10, 10));
  EXPECT_FALSE(map.sheets.PaintCell(painter, 195, 10, 10));
  EXPECT_TRUE(map.sheets.PaintCell(painter, 194, 10, 10));
}

// The layers of the program live as long as the map and keep what they read
// of each slot: whatever changes in the stores between two redraws - a record
// overwritten in place with one of the same length, new reports, a shorter
// log, a moved track point, the clock, the levels - the kept layers must draw
// exactly what layers made anew draw.
TEST_F(LayersTest, KeptLayersDrawWhatNewLayersDraw) {
  MoniAllLayer all(map.st.stations, map.st.alarm, map.st.settings.moniOneCall, map.settings, map.sheets,
                   [this] { return map.now; });
  MoniOneLayer one(map.st.stations, map.settings, map.sheets, [this] { return map.now; });
  auto kept = [&] {
    QImage img(static_cast<int>(map.view.widthPx), static_cast<int>(map.view.heightPx), QImage::Format_RGB32);
    img.fill(StationMap::kGround);
    QPainter p(&img);
    p.setFont(map::MapFont());
    all.render(p, map.view);
    one.render(p, map.view);
    return img;
  };
  auto same = [&](const char* step) {
    SCOPED_TRACE(step);
    const QImage a = kept(), b = map.Draw();
    EXPECT_TRUE(a == b);
    EXPECT_EQ(all.DrawnOrder(), map.lastOrder);
  };
  const reception::StationStore& stations = map.st.stations;
  Hear("CAR1", 0.01, -0.05, '/', '>', "", 12, 0);
  Hear("FIX1", 0.02, 0.01, '/', '-', "", 12, 1);
  Hear("CAR1", 0.01, -0.03, '/', '>', "", 12, 2);
  Hear("DIGI1", -0.02, 0.03, '/', '#', "", 12, 3);
  Hear("WATCH", 0, 0, '/', '>', "", 12, 4);
  Hear("WATCH", 0.005, 0.01, '/', '>', "", 12, 5);
  Hear("WATCH", 0.01, 0.02, '/', '>', "", 12, 6);
  ASSERT_EQ(map.st.stations.MoniOneCount(), 3);
  same("first redraw");
  same("nothing changed");
  Hear("FAR1", 0.04, -0.02, '/', '-', "", 12, 7);
  {
    // A later copy of a report brings the comment it lacked: its bytes change
    // in their buffer.
    std::string copy = stations.MoniAll()[1];
    reception::WriteAt(copy, 43, "t072h50b10150");
    const char* buffer = stations.MoniAll()[1].data();
    map.st.stations.Merge(copy, reception::kMoniAllSlots);
    ASSERT_EQ(stations.MoniAll()[1], copy);
    ASSERT_EQ(stations.MoniAll()[1].data(), buffer);
  }
  same("a record overwritten in place");
  {
    std::vector<std::string> track(stations.TrackRecords().begin(), stations.TrackRecords().end());
    track[1] = track[0];
    map.st.stations.LoadTrack(track);
  }
  same("a track point moved");
  Hear("CAR2", -0.03, -0.01, '/', '>', "", 12, 8);
  same("a new report");
  {
    const std::vector<std::string> first(stations.MoniAll().begin() + 1, stations.MoniAll().begin() + 3);
    map.st.stations.ClearMoniAll();
    for (const std::string& r : first) map.st.stations.Add(r, reception::kMoniAllSlots);
  }
  same("a shorter log");
  map.now = {2024, 5, 1, 18, 0, 0};
  map.settings.moniAllLevel = 1;
  map.settings.moniOneLevel = 2;
  same("later, greys by age and track colours by age");
  map.settings.moniAllLevel = 3;
  map.settings.directOnly = true;
  same("long labels, direct reports only");
}

}  // namespace
}  // namespace zeblon::stations
