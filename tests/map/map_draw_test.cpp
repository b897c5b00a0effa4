// The redraw's sequence (centring, bounds, hooks, end of the drawing) and the
// steering by buttons, mouse and keys on the map picture box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <limits>

#include "map/map_display.h"
#include "map/map_widget.h"
#include "map/navigation.h"
#include "tile_fixture.h"

namespace zeblon::map {
namespace {

namespace fs = std::filesystem;

class Draw : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WritePatternTiles(root_.path() / "M0050", 6550, 6600, 350, 400, 50);
    fs::create_directories(root_.path() / "M0050TOPO");
    fs::create_directories(root_.path() / "M0010");
    d_ = std::make_unique<MapDisplay>(root_.path(), temp_.path());
    d_->BuildMapIndex();
    MapState& s = d_->mutable_state();
    s.MapWidthPx = 400;
    s.MapHeightPx = 300;
    s.MapScale = 50;
    s.CentreNorth = 6583;
    s.CentreEast = 401;
    d_->hooks().timer1On = [this] { ++timer_on_; };
  }
  MapState& S() { return d_->mutable_state(); }

  testing::TempFolder root_, temp_;
  std::unique_ptr<MapDisplay> d_;
  int timer_on_ = 0;
};

TEST_F(Draw, CentringRulesInTheirOrder) {
  const struct {
    int mode, onObject;
    double moniN, moniE;
    double wantN, wantE;
    int modeAfter;
  } cases[] = {
      {1, 0, 6590, 410, 6590, 410, 1},  // MONI 1
      {1, 0, 0, 0, 6583, 401, 1},       // MONI 1 without a position: the map stays
      {1, 0, 6590, 0, 6583, 401, 1},    // only one of its values: the map stays
      {2, 0, 6590, 410, 6500, 300, 2},  // the user position
      {2, 1, 0, 0, 6400, 200, 2},       // the own object wins
      {3, 1, 0, 0, 6700.5, 350.25, 0},  // the alarm position wins, once
  };
  for (const auto& c : cases) {
    S().CentreNorth = 6583;
    S().CentreEast = 401;
    S().CentreMode = c.mode;
    S().CentreOnObject = c.onObject;
    S().MoniOneNorth = c.moniN;
    S().MoniOneEast = c.moniE;
    S().UserNorth = 6500;
    S().UserEast = 300;
    S().ObjectNorth = 6400;
    S().ObjectEast = 200;
    S().AlarmNorthText = " 6700.500";
    S().AlarmEastText = "  350.250";
    d_->DrawMap();
    EXPECT_DOUBLE_EQ(S().CentreNorth, c.wantN) << c.mode;
    EXPECT_DOUBLE_EQ(S().CentreEast, c.wantE) << c.mode;
    EXPECT_EQ(S().CentreMode, c.modeAfter);
    EXPECT_EQ(d_->outputs().UntickCentringOptions, c.mode == 3);
    EXPECT_EQ(S().CentreOnObject, 0);
  }
}

TEST_F(Draw, HugeAndEmptyValuesAreHeld) {
  const double inf = std::numeric_limits<double>::infinity();
  S().CentreNorth = 12000;
  S().CentreEast = -inf;
  S().ZoomFactor = 0;
  d_->DrawMap();
  EXPECT_DOUBLE_EQ(S().CentreNorth, 9999.999);
  EXPECT_DOUBLE_EQ(S().CentreEast, -9999.999);
  EXPECT_DOUBLE_EQ(S().ZoomFactor, 1);
  S().ZoomFactor = 1e308;
  S().MapWidthPx = 1e18;
  S().MapHeightPx = 3;
  d_->DrawMap();
  EXPECT_DOUBLE_EQ(S().ZoomFactor, 8);
  EXPECT_EQ(d_->picture().width(), 32000);
  EXPECT_DOUBLE_EQ(S().MetresPerPixel, 400);
}

TEST_F(Draw, EveryGridAndOverlayAtTheEdgesOfTheMapZone) {
  // Corners of the map zone, the poles' side and the far east: every layer on, every
  // read-out system; each drawing ends, whatever the projections make of it.
  std::vector<std::string> lines = {std::string("\xFE") + "-9999.999-9999.999 far",
                                    std::string("\xFE") + " 9999.999 9999.999 far"};
  S().TrackLines = lines;
  S().PoiLines = lines;
  S().TrackShown = 1;
  S().PoiDisplayMode = 2;
  S().PictureDisplay = 1;
  S().GridOn = 1;
  S().CirclesOn = 1;
  S().TileFramesShown.fill(true);
  S().ObjectName = "FAR";
  d_->hooks().fopt = [](double, double, double, double) { return 3.5; };
  for (double n : {-9999.999, 0.0, 8800.0, 9999.999}) {
    for (double e : {-9999.999, 500.0, 9999.999}) {
      for (double zoom : {0.125, 8.0}) {
        for (int sys = 0; sys < 5; ++sys) {
          S().CentreNorth = n;
          S().CentreEast = e;
          S().UserNorth = -n;
          S().UserEast = -e;
          S().ObjectNorth = n;
          S().ObjectEast = e + 1;
          S().MapScale = zoom < 1 ? 2 : 5000;
          S().ZoomFactor = zoom;
          S().ReadoutSystem = {sys, sys, sys};
          S().Zones = ComputeZoneMeridians(e / 100);
          d_->DrawMap();
          ASSERT_EQ(S().MapDrawnOnce, 1);
        }
      }
    }
  }
}

TEST_F(Draw, TheEndOfADrawingAndItsHooks) {
  std::vector<std::string> calls;
  auto& h = d_->hooks();
  FunctionLayer moni_all([&](QPainter&, const MapView&) { calls.push_back("moni_all"); });
  FunctionLayer moni_one([&](QPainter&, const MapView&) {
    calls.push_back("moni_one " + std::to_string(S().MoniOnePixelX) + " " + std::to_string(S().MoniOnePixelY));
  });
  d_->layers().Add(LayerPlace::kMoniOne, &moni_one);
  d_->layers().Add(LayerPlace::kMoniAll, &moni_all);
  h.showPicture = [&] { calls.push_back("picture"); };
  h.infoMapCaption = [&](const std::string& c) { calls.push_back(c); };
  d_->SetMapLock(1);
  d_->outputs().Tooltip = "Lclick: Center map / Rclick: Access to POI, TRK, PIC, STN, SUN, ";
  // Picture viewer: only the picture, the timer on, not a complete drawing.
  S().PictureMode = 1;
  d_->DrawMap();
  EXPECT_EQ(calls, (std::vector<std::string>{"MAP L", "picture"}));
  EXPECT_EQ(S().MapDrawnOnce, 0);
  EXPECT_EQ(timer_on_, 1);
  calls.clear();
  S().PictureMode = 0;
  S().MoniAllDisplayLevel = 1;
  S().CentreMode = 1;
  d_->DrawMap();
  EXPECT_EQ(calls, (std::vector<std::string>{"MAP L", "moni_all", "moni_one 200 149"}));
  EXPECT_EQ(S().MapDrawnOnce, 1);
  EXPECT_EQ(timer_on_, 2);
  EXPECT_EQ(d_->outputs().Tooltip, "Lclick: Center map / Rclick: Access to POI, TRK, PIC, STN, SUN, M0050");
  // A free map places MONI 1 by its position, held to 4000 pixels.
  calls.clear();
  S().CentreMode = 0;
  S().MoniAllDisplayLevel = 0;
  S().MoniOneNorth = 0;
  S().MoniOneEast = 0;
  d_->DrawMap();
  EXPECT_EQ(calls, (std::vector<std::string>{"MAP L", "moni_one -4000 4000"}));
  // The drawing that centres on the own object leaves the timer as it was.
  S().CentreOnObject = 1;
  d_->DrawMap();
  EXPECT_EQ(timer_on_, 3);
  // Another folder of the scale: the tag follows the base folder.
  S().ComboText[4] = "M0010";
  S().MapScale = 10;
  d_->DrawMap();
  EXPECT_EQ(d_->outputs().Tooltip, "Lclick: Center map / Rclick: Access to POI, TRK, PIC, STN, SUN, M0010");
  d_->layers().Remove(&moni_one);
  d_->layers().Remove(&moni_all);
}

TEST_F(Draw, GpsPositionAndReadouts) {
  S().GpsFixMoved = 1;
  S().GpsNorth = 6581.5;
  S().GpsEast = 402.25;
  S().CursorX = 200;
  S().CursorY = 149;
  d_->DrawMap();
  EXPECT_DOUBLE_EQ(S().UserNorth, 6581.5);
  EXPECT_DOUBLE_EQ(S().UserEast, 402.25);
  EXPECT_EQ(d_->outputs().Readouts[0], "UTMcen 6583.000");
  EXPECT_EQ(d_->outputs().Readouts[1], "33! 15  401.000");
  EXPECT_EQ(d_->outputs().Readouts[2], "UTMcrs 6583.000");
  EXPECT_EQ(d_->outputs().ScaleText, std::string(" \x96-  5  km  -\x96"));
  // The centre pair steps to latitude and longitude; with grids on the map is to be
  // redrawn (the step itself draws nothing).
  S().GridOn = 1;
  const auto drawn = timer_on_;
  EXPECT_TRUE(d_->StepReadoutSystem(0));
  EXPECT_EQ(S().ReadoutSystem[0], 1);
  EXPECT_EQ(d_->outputs().Readouts[0].substr(0, 6), "GLLcen");
  EXPECT_EQ(timer_on_, drawn);
  // The zones follow the centre (about 13.2 degrees east) from the first click on.
  EXPECT_EQ(S().Zones.gkCentralMeridian, 12);
  EXPECT_EQ(S().Zones.ownZoneCentralMeridian, 15);
  S().GridOn = 0;
  EXPECT_FALSE(d_->StepReadoutSystem(0));
  EXPECT_EQ(d_->outputs().Readouts[0].substr(0, 6), "GK cen");
  EXPECT_EQ(d_->outputs().Readouts[1].substr(0, 6), "  | 12");
}

// The listeners learn of every view the map takes: after each drawing (also the
// picture viewer's) with the view as the centring left it, and at once after a
// named change of the centre or the user's position.
TEST_F(Draw, ListenersSeeTheViewAfterDrawingsAndNamedChanges) {
  std::vector<std::pair<double, double>> centres, users;
  d_->OnViewChanged([&](const MapState& s) {
    centres.emplace_back(s.CentreNorth, s.CentreEast);
    users.emplace_back(s.UserNorth, s.UserEast);
  });
  d_->SetUserPosition(6500, 300);
  d_->SetCentreMode(2);
  EXPECT_EQ(centres.size(), 1u);  // the mode alone tells nothing until the drawing
  d_->DrawMap();
  ASSERT_EQ(centres.size(), 2u);
  EXPECT_EQ(centres.back(), std::make_pair(6500.0, 300.0));
  d_->SetCentreMode(0);
  d_->SetCentre(6583, 401);
  EXPECT_EQ(centres.back(), std::make_pair(6583.0, 401.0));
  EXPECT_EQ(users.back(), std::make_pair(6500.0, 300.0));
  d_->SetPictureMode(1);
  d_->DrawMap();
  EXPECT_EQ(centres.size(), 4u);
  // A scale at zoom 1, and the map system's zone with its meridian.
  S().ZoomFactor = 4;
  d_->SetScale(200);
  EXPECT_EQ(S().ZoomFactor, 1);
  EXPECT_EQ(S().MetresPerPixel, 200);
  d_->SetMapZone("34");
  EXPECT_EQ(S().Zone, 34);
  EXPECT_EQ(S().MapCentralMeridian, 21);
  EXPECT_EQ(S().MapMeridianText, " 21");
  // A layout of no size yet keeps the picture's last size.
  d_->SetPictureSize(0, 0);
  EXPECT_EQ(S().MapWidthPx, 400);
  d_->SetPictureSize(640, 480);
  EXPECT_EQ(S().MapHeightPx, 480);
}

// The stack draws by place, in the order added within a place, skips the places
// switched off, and forgets a removed layer.
TEST(LayerStackTest, PlacesOrderTheDrawing) {
  std::string drawn;
  const auto layer = [&drawn](char name) {
    return FunctionLayer([&drawn, name](QPainter&, const MapView&) { drawn += name; });
  };
  FunctionLayer markers = layer('m'), one = layer('1'), all = layer('a'), tiles = layer('t'), all2 = layer('b');
  LayerStack stack;
  stack.Add(LayerPlace::kMarkers, &markers);
  stack.Add(LayerPlace::kMoniOne, &one);
  stack.Add(LayerPlace::kMoniAll, &all);
  stack.Add(LayerPlace::kTiles, &tiles);
  stack.Add(LayerPlace::kMoniAll, &all2);
  QImage image(4, 4, QImage::Format_RGB32);
  QPainter p(&image);
  const MapView view = MapView::Of(6500, 500, 50, 1, 4, 4, 33);
  stack.render(p, view);
  EXPECT_EQ(drawn, "tab1m");
  stack.SetShown(LayerPlace::kMoniAll, false);
  stack.Remove(&markers);
  drawn.clear();
  stack.render(p, view);
  EXPECT_EQ(drawn, "t1");
  EXPECT_EQ(stack.Ordered(), (std::vector<Layer*>{&tiles, &all, &all2, &one}));
}

TEST(Navigation, ScaleAndZoomStopAtTheirEnds) {
  MapState s;
  s.MapScale = 2;
  EXPECT_FALSE(ScaleIn(s));
  std::vector<double> scales;
  while (ScaleOut(s)) scales.push_back(s.MapScale);
  EXPECT_EQ(scales, (std::vector<double>{10, 50, 200, 1000, 5000}));
  EXPECT_FALSE(ScaleOut(s));
  s.ZoomFactor = 4;
  ASSERT_TRUE(ScaleIn(s));
  EXPECT_EQ(s.MapScale, 1000);
  EXPECT_EQ(s.ZoomFactor, 1);
  std::vector<double> zooms;
  while (ZoomIn(s)) zooms.push_back(s.ZoomFactor);
  EXPECT_EQ(zooms, (std::vector<double>{0.5, 0.25, 0.125}));
  while (ZoomOut(s)) zooms.push_back(s.ZoomFactor);
  EXPECT_EQ(zooms.back(), 8);
  EXPECT_FALSE(ZoomOut(s));
  EXPECT_TRUE(ZoomReset(s));
  EXPECT_EQ(s.ZoomFactor, 1);
}

TEST(Navigation, FolderChoiceSwitchesTheScale) {
  MapState s;
  s.MapScale = 50;
  s.ZoomFactor = 2;
  s.CurrentMapFolder = "M0050";
  EXPECT_FALSE(ChooseFolder(s, 4, "M0010"));  // before the first drawing: nothing
  s.MapDrawnOnce = 1;
  EXPECT_FALSE(ChooseFolder(s, 3, "M0050"));  // the folder shown
  EXPECT_TRUE(ChooseFolder(s, 3, "M0050TOPO"));
  EXPECT_EQ(s.ZoomFactor, 2);  // the same scale keeps its zoom
  EXPECT_TRUE(ChooseFolder(s, 4, "M0010"));
  EXPECT_EQ(s.MapScale, 10);
  EXPECT_EQ(s.ZoomFactor, 1);
}

TEST(Navigation, ArrowStepsStayInsideTheMap) {
  const struct {
    int key, shift, x, y;
    bool moves;
    int wantX, wantY;
  } cases[] = {{39, 0, 10, 10, true, 11, 10}, {39, 1, 10, 10, true, 20, 10}, {39, 2, 10, 10, true, 29, 10},
               {39, 3, 10, 10, true, 38, 10}, {37, 3, 10, 10, false, 0, 0},  {38, 0, 10, 0, false, 0, 0},
               {40, 1, 10, 89, true, 10, 99}, {40, 1, 10, 90, false, 0, 0},  {65, 0, 10, 10, false, 0, 0}};
  for (const auto& c : cases) {
    const auto t = ArrowTarget(c.key, c.shift, c.x, c.y, 100, 100);
    ASSERT_EQ(t.has_value(), c.moves) << c.key << " " << c.shift;
    if (t) {
      EXPECT_EQ(*t, std::make_pair(c.wantX, c.wantY));
    }
  }
}

TEST(Navigation, QthOkLines) {
  MapState s;
  s.CentreNorth = 6583.25;
  s.CentreEast = 401.5;
  const auto lines = SetQthToCentre(s);
  EXPECT_EQ(lines, (std::vector<std::pair<std::string, std::string>>{{"UUN", "6583.25"}, {"UUE", "401.5"}}));
  EXPECT_EQ(s.UserNorth, 6583.25);
}

// Mouse and keys on the map picture box.
class Widget : public Draw {
 protected:
  void SetUp() override {
    Draw::SetUp();
    w_ = std::make_unique<MapWidget>(*d_);
    w_->resize(400, 300);
    w_->show();
    QApplication::processEvents();
    w_->Redraw();
  }
  void Mouse(QEvent::Type type, Qt::MouseButton b, QPointF p) {
    QMouseEvent e(type, p, w_->mapToGlobal(p), b, type == QEvent::MouseButtonRelease ? Qt::NoButton : b,
                  Qt::NoModifier);
    QApplication::sendEvent(w_.get(), &e);
  }
  void Key(int key, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, key, m);
    QApplication::sendEvent(w_.get(), &e);
  }
  std::unique_ptr<MapWidget> w_;
};

TEST_F(Widget, ClicksMovesAndKeys) {
  // Move to a point, click it: it becomes the centre.
  Mouse(QEvent::MouseMove, Qt::NoButton, QPointF(300, 49));
  EXPECT_EQ(S().CursorX, 300);
  const double n = S().CursorNorth, e = S().CursorEast;
  EXPECT_DOUBLE_EQ(n, 6583 + 100 * 0.05);
  EXPECT_DOUBLE_EQ(e, 401 + 100 * 0.05);
  EXPECT_EQ(d_->outputs().Readouts[2], "UTMcrs 6588.000");
  S().CentreMode = 2;
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPointF(300, 49));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPointF(300, 49));
  EXPECT_DOUBLE_EQ(S().CentreNorth, n);
  EXPECT_DOUBLE_EQ(S().CentreEast, e);
  EXPECT_EQ(S().CentreMode, 0);
  // Arrow keys move the cursor; Ctrl+Shift 28 pixels; Enter clicks there.
  Mouse(QEvent::MouseMove, Qt::NoButton, QPointF(200, 149));
  Key(Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
  Key(Qt::Key_Up);
  EXPECT_EQ(S().CursorX, 228);
  EXPECT_EQ(S().CursorY, 148);
  Key(Qt::Key_Return);
  EXPECT_DOUBLE_EQ(S().CentreNorth, n + 0.05);
  EXPECT_DOUBLE_EQ(S().CentreEast, e + 28 * 0.05);
  // A step that would leave the map leaves the cursor where it was.
  Mouse(QEvent::MouseMove, Qt::NoButton, QPointF(395, 10));
  Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(S().CursorX, 395);
}

TEST_F(Widget, RightPressShowsTheBaseMapOrTheSunCurve) {
  // Finders that find `found`, a sun curve counted open (+1) and closed (-1).
  struct FakeTools : MapPressTools {
    bool found = false;
    int sun = 0;
    bool Find() override { return found; }
    void SunCurve(bool open) override { sun += open ? 1 : -1; }
    bool SunCurveOpen() const override { return false; }
    std::string PictureName() const override { return {}; }
    void LeftPictureMode() override {}
  } tools;
  w_->SetTools(&tools);
  int& sun = tools.sun;
  bool& found = tools.found;
  // The plain folder: the sun curve opens and closes with the button.
  Mouse(QEvent::MouseButtonPress, Qt::RightButton, QPointF(100, 100));
  EXPECT_EQ(sun, 1);
  Mouse(QEvent::MouseButtonRelease, Qt::RightButton, QPointF(100, 100));
  EXPECT_EQ(sun, 0);
  EXPECT_DOUBLE_EQ(S().SelectedNorth, S().CursorNorth);
  // A map type: the base map shows while the button is held.
  S().ComboText[3] = "M0050TOPO";
  w_->Redraw();
  Mouse(QEvent::MouseButtonPress, Qt::RightButton, QPointF(100, 100));
  EXPECT_TRUE(w_->ShowingBase());
  Mouse(QEvent::MouseButtonRelease, Qt::RightButton, QPointF(100, 100));
  EXPECT_FALSE(w_->ShowingBase());
  // A finder that finds something: neither.
  found = true;
  Mouse(QEvent::MouseButtonPress, Qt::RightButton, QPointF(100, 100));
  EXPECT_FALSE(w_->ShowingBase());
}

}  // namespace
}  // namespace zeblon::map
