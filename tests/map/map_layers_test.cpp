// Pixel probes of the overlay layers on a plain picture: grids, circles, markers,
// the GPS track, picture markers, tile frames; the scale text and gauges; clipping.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "geodesy/geodesy.h"
#include "map/layers/circles_layer.h"
#include "map/layers/grid_layer.h"
#include "map/layers/overlay_layers.h"
#include "map/map_view.h"

namespace zeblon::map {
namespace {

const QColor kBack(10, 20, 30);

QImage Render(Layer& layer, const MapView& v) {
  QImage img(static_cast<int>(v.widthPx), static_cast<int>(v.heightPx), QImage::Format_RGB32);
  img.fill(kBack);
  QPainter p(&img);
  p.setFont(MapFont());
  layer.render(p, v);
  return img;
}

QColor At(const QImage& img, double x, double y) { return QColor(img.pixel(static_cast<int>(x), static_cast<int>(y))); }

// True when a pixel of colour c lies within `reach` pixels of (x, y).
bool Near(const QImage& img, double x, double y, const QColor& c, int reach = 1) {
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx) {
      const int px = static_cast<int>(std::lround(x)) + dx, py = static_cast<int>(std::lround(y)) + dy;
      if (px >= 0 && py >= 0 && px < img.width() && py < img.height() && QColor(img.pixel(px, py)) == c) return true;
    }
  return false;
}

int Count(const QImage& img, const QRect& r, const QColor& c) {
  int n = 0;
  for (int y = std::max(0, r.top()); y <= std::min(img.height() - 1, r.bottom()); ++y)
    for (int x = std::max(0, r.left()); x <= std::min(img.width() - 1, r.right()); ++x)
      if (QColor(img.pixel(x, y)) == c) ++n;
  return n;
}

TEST(GridLayer, TheLatticeRunsThroughTheTileEdgesEvery100Pixels) {
  const QColor grey(232, 232, 232);
  GridLayer grid;
  GridSettings g;
  g.systems[0] = true;
  grid.Set(g);
  for (double zoom : {0.5, 1.0, 4.0}) {
    const MapView v = MapView::Of(0, 0, 50, zoom, 800, 600);
    const QImage img = Render(grid, v);
    // The north-east tile's west edge and its top row lie on lattice lines.
    const auto ref = v.TilePlacement(v.Tiles().north, v.Tiles().east);
    const double x0 = static_cast<double>(((ref.x % 100) + 100) % 100);
    const double y0 = static_cast<double>(((ref.y - 1) % 100 + 100) % 100);
    for (double x = x0; x < 800; x += 100) {
      EXPECT_EQ(At(img, x, 300), grey) << x;
      if (x + 50 < 800) {
        EXPECT_NE(At(img, x + 50, 300 + 50), grey) << x;
      }
    }
    for (double y = y0; y < 580; y += 100) EXPECT_EQ(At(img, 37, y), grey) << y;
    // Labels: the eastings along the bottom, the northings at the left edge.
    EXPECT_GT(Count(img, QRect(static_cast<int>(x0) + 4, 588, 40, 12), grey), 0);
  }
}

TEST(GridLayer, GraticuleLinesLieOnTheirProjectedPoints) {
  const QColor yellow(224, 224, 0);
  GridLayer grid;
  GridSettings g;
  g.systems[1] = true;
  g.centre.lat = 59.33;
  g.centre.lon = 18.07;
  grid.Set(g);
  double e = 0, n = 0;
  geodesy::ConvertLatLonToUtm(18.07, 59.33, 15, e, n, 500000);
  const MapView v = MapView::Of(n / 1000, e / 1000, 50, 1, 800, 600);  // 50 m per pixel: 5' steps
  EXPECT_DOUBLE_EQ(GraticuleStep(50), 5.0 / 60);
  const QImage img = Render(grid, v);
  int probed = 0;
  for (double lat : {59.25, 59.3333333333, 59.4166666667}) {
    for (double lon : {17.9166666667, 18.0, 18.0833333333, 18.1666666667}) {
      double pe = 0, pn = 0;
      geodesy::ConvertLatLonToUtm(lon, lat, 15, pe, pn, 500000);
      const double x = (pe / 1000 - v.ViewEastMin()) * v.PixelsPerKm();
      const double y = (v.ViewNorthMax() - pn / 1000) * v.PixelsPerKm();
      if (x < 2 || y < 14 || x > 797 || y > 597) continue;
      ++probed;
      EXPECT_TRUE(Near(img, x, y, yellow)) << lat << " " << lon;
    }
  }
  EXPECT_GE(probed, 6);
}

TEST(GridLayer, GraticuleStepsAndLabels) {
  const struct {
    double mpp, step;
  } steps[] = {{15, 1.0 / 60}, {15.01, 2.0 / 60}, {60, 5.0 / 60}, {150, 15.0 / 60}, {700, 1}, {3000, 5}, {3000.5, 10}};
  for (const auto& s : steps) EXPECT_DOUBLE_EQ(GraticuleStep(s.mpp), s.step) << s.mpp;
  EXPECT_EQ(GraticuleLabel(48.5, true), " 48:30");
  EXPECT_EQ(GraticuleLabel(-5.25, true), "-5:15");
  EXPECT_EQ(GraticuleLabel(60, false), " 60");
  EXPECT_EQ(GridLabelText(6543.2109), "6543.21");
  EXPECT_EQ(GridLabelText(3500), "3500");
}

TEST(GridLayer, ProjectedGridsLieOnTheirConvertedPoints) {
  const struct {
    int system;
    QColor colour;
  } grids[] = {{2, QColor(255, 192, 255)}, {3, QColor(0, 224, 255)}, {4, QColor(0, 240, 0)}};
  const double cn = 6580, ce = 674;  // east of Stockholm, map zone 33
  const MapView v = MapView::Of(cn, ce, 10, 1, 600, 500);
  for (const auto& gr : grids) {
    SCOPED_TRACE(gr.system);
    GridSettings g;
    g.systems[gr.system] = true;
    g.gkCentralMeridian = 18;
    g.ownZoneCentralMeridian = 21;
    // The centre in the grid's own system.
    double gn = 0, ge = 0;
    double lon = 0, lat = 0;
    geodesy::ConvertUtmToLatLon(lon, lat, 15, ce * 1000, cn * 1000, 500000);
    if (gr.system == 2) geodesy::ConvertWgs84ToGaussKrueger(lon, lat, 18, ge, gn);
    if (gr.system == 3) geodesy::ConvertLatLonToUtm(lon, lat, 21, ge, gn, 500000);
    if (gr.system == 4) geodesy::ConvertWgs84ToRt90(lon, lat, ge, gn);
    g.centre.gkNorth = g.centre.ownNorth = g.centre.rt90North = gn / 1000;
    g.centre.gkEast = g.centre.ownEast = g.centre.rt90East = ge / 1000;
    GridLayer grid;
    grid.Set(g);
    const QImage img = Render(grid, v);
    // Grid points 1 km apart near the centre: each lies on a drawn line.
    const double s = v.MetresPerPixel() / 10;
    int probed = 0;
    for (int i = -1; i <= 1; ++i) {
      for (int j = -1; j <= 1; ++j) {
        const double pn = (std::floor(gn / 1000 / s) + i) * s, pe = (std::floor(ge / 1000 / s) + j) * s;
        double e = 0, n = 0;
        if (gr.system == 2) geodesy::ConvertGaussKruegerToUtm(pe * 1000, pn * 1000, 18, 15, 500000, e, n);
        if (gr.system == 3) geodesy::ConvertUtmToUtm(pe * 1000, pn * 1000, 21, 500000, 15, 500000, e, n);
        if (gr.system == 4) geodesy::ConvertRt90ToUtm(pe * 1000, pn * 1000, 15, 500000, e, n);
        const double x = std::floor((e / 1000 - v.ViewEastMin()) * v.PixelsPerKm());
        const double y = std::floor((v.ViewNorthMax() - n / 1000) * v.PixelsPerKm());
        ++probed;
        EXPECT_TRUE(Near(img, x, y, gr.colour)) << pn << " " << pe;
      }
    }
    EXPECT_EQ(probed, 9);
  }
}

TEST(CirclesLayer, CirclesLabelsAndFoptBelow3001Km) {
  const MapView v = MapView::Of(6580, 400, 5000, 1, 2200, 2200);
  CirclesLayer c;
  int calls = 0;
  c.SetConversions(
      [](double n, double e, double& lat, double& lon) {
        lat = n / 111;
        lon = e / 60;
      },
      [&](double, double, double, double) {
        ++calls;
        return 7.3;
      });
  const QImage img = Render(c, v);
  EXPECT_EQ(calls, 24);  // 500 ... 3000 km, four points each
  EXPECT_EQ(c.estimates(), 24);
  const QColor black(0, 0, 0), white(255, 255, 255);
  for (int r : {100, 500, 1000}) {
    EXPECT_TRUE(Near(img, v.CentreX() - r, v.CentreY(), black)) << r;
    EXPECT_TRUE(Near(img, v.CentreX(), v.CentreY() + r, black)) << r;
  }
  // The radius label at east of the first circle: black text on a white halo.
  const QRect label(static_cast<int>(v.CentreX() + 100 - 14), static_cast<int>(v.CentreY() - 14), 70, 32);
  EXPECT_GT(Count(img, label, white), 0);
  EXPECT_GT(Count(img, label, black), 0);
  EXPECT_EQ(CircleLabel(5), " 5 km");
  EXPECT_EQ(CircleLabel(0.5), " .5 km");
}

TEST(MarkersLayer, QthFrameTicksAndObject) {
  const MapView v = MapView::Of(6580, 400, 10, 1, 300, 300);
  const QColor black(0, 0, 0), yellow(255, 255, 0), cyan(0, 255, 255);
  for (bool gps : {false, true}) {
    MarkersLayer m;
    MarkerSettings s;
    s.userNorth = 6580.2;
    s.userEast = 400.3;
    s.gpsMoved = gps;
    s.objectName = " OBJ1 ";
    s.objectNorth = 6579.5;
    s.objectEast = 399.5;
    m.Set(s);
    const QImage img = Render(m, v);
    const double x = static_cast<double>(v.PixelX(s.userEast)), y = static_cast<double>(v.PixelY(s.userNorth));
    const QColor c = gps ? cyan : yellow;
    EXPECT_EQ(At(img, x - 13, y + 6), black);
    EXPECT_EQ(At(img, x - 12, y + 6), c);
    EXPECT_EQ(At(img, x - 11, y + 6), c);
    EXPECT_EQ(At(img, x - 10, y + 6), black);
    EXPECT_EQ(At(img, x, y - 10), c);          // the core of the north tick
    EXPECT_EQ(At(img, x + 2, y - 10), black);  // its black edge
    EXPECT_EQ(At(img, x, y), kBack);           // the centre stays free
    // The object's name on its black box.
    const double ox = static_cast<double>(v.PixelX(s.objectEast)), oy = static_cast<double>(v.PixelY(s.objectNorth));
    EXPECT_EQ(At(img, ox + 16, oy + 5), black);
    EXPECT_EQ(At(img, ox + 16 + 32, oy - 7), black);
  }
  // A position 50000 pixels away is held at 4000 pixels: nothing on the picture.
  MarkersLayer far;
  MarkerSettings s;
  s.userNorth = 6580;
  s.userEast = 400 + 50000 * 0.01;
  far.Set(s);
  const QImage img = Render(far, v);
  EXPECT_EQ(Count(img, img.rect(), kBack), 300 * 300);
}

TEST(OverlayLayers, TrackBandBreaksAndLabels) {
  const MapView v = MapView::Of(6580, 400, 10, 1, 400, 400);
  const std::string mark = "\xFE";
  std::vector<std::string> lines = {
      mark + " 6580.000  399.000 20261210 1200",
      mark + " 6580.000  399.500 20261210 1201",
      "",
      mark + " 6580.000  400.500 20261210 1203",
      mark + " 6580.000  401.000 20261210 1204 and a longer note",
  };
  GpsTrackLayer t;
  t.Set(lines, QColor(0, 255, 255));
  const QImage img = Render(t, v);
  const double y = static_cast<double>(v.PixelY(6580));
  const auto x = [&](double e) { return static_cast<double>(v.PixelX(e)); };
  EXPECT_EQ(At(img, x(399.25), y), QColor(0, 0, 0));            // black centre line
  EXPECT_EQ(At(img, x(399.25), y - 1), QColor(0, 255, 255));    // cyan band
  EXPECT_EQ(At(img, x(400.2), y), kBack);                       // broken at the blank line
  EXPECT_EQ(At(img, x(400.75), y - 1), QColor(144, 255, 208));  // a long line: light green
  EXPECT_GT(Count(img, QRect(static_cast<int>(x(399)) + 5, static_cast<int>(y) - 10, 60, 12), QColor(0, 0, 0)), 0);
  EXPECT_EQ(LineNorth(lines[0]), 6580);
  EXPECT_EQ(LineEast(lines[1]), 399.5);
  EXPECT_EQ(LineText(lines[0]), "20261210 1200");
}

TEST(OverlayLayers, PictureMarkersFrameTheirKilometreSquare) {
  const QColor white(255, 255, 255), black(0, 0, 0);
  const std::vector<std::string> names = {"65800400.JPG"};
  PictureLayer p;
  p.Set(names, white);
  {
    const MapView v = MapView::Of(6580.5, 400.5, 2, 1, 600, 600);  // 500 pixels per km
    const QImage img = Render(p, v);
    const double cx = static_cast<double>(v.PixelX(400.5)), cy = static_cast<double>(v.PixelY(6580.5));
    EXPECT_EQ(At(img, cx - 250, cy), white);
    EXPECT_EQ(At(img, cx - 251, cy), black);
    EXPECT_EQ(At(img, cx - 249, cy), black);
    EXPECT_EQ(At(img, cx, cy), kBack);
  }
  {
    const MapView v = MapView::Of(6580.5, 400.5, 200, 1, 60, 60);
    const QImage img = Render(p, v);
    const double cx = static_cast<double>(v.PixelX(400.5)), cy = static_cast<double>(v.PixelY(6580.5));
    EXPECT_EQ(At(img, cx + 3, cy), white);
    EXPECT_EQ(At(img, cx + 4, cy), black);
  }
}

TEST(ScaleBar, TextsAndGauges) {
  const std::string dash = "\x96";
  EXPECT_EQ(ScaleBarText(5), " " + dash + "- 0.5  km -" + dash);
  EXPECT_EQ(ScaleBarText(50), " " + dash + "-  5  km  -" + dash);
  EXPECT_EQ(ScaleBarText(5000), " " + dash + "- 500  km -" + dash);
  EXPECT_EQ(ScaleBarText(40000), " " + dash + "- 4000 km -" + dash);
  const struct {
    long one, limit;
    int width;
    QColor colour;
  } gauges[] = {
      {100, 250, 48, QColor(120, 192, 192)}, {275, 250, 120, QColor(208, 128, 0)}, {325, 250, 120, QColor(255, 64, 0)}};
  for (const auto& g : gauges) {
    const Gauges out = GaugesFor(25, 50, g.one, g.limit, 15);
    EXPECT_DOUBLE_EQ(out.moniAllWidth, 60);
    EXPECT_EQ(out.moniOneWidth, g.width);
    EXPECT_EQ(out.moniOneColour, g.colour);
  }
}

TEST(MapPen, FarLinesAndCirclesAreClippedBeforeThePainter) {
  QImage img(100, 100, QImage::Format_RGB32);
  img.fill(kBack);
  QPainter p(&img);
  MapPen pen(p, 100, 100);
  pen.SetColour(QColor(255, 0, 0));
  pen.Line(-1e15, 50, 1e15, 50);            // a horizontal line through the picture
  pen.Line(-1e300, -1e300, -1e299, 1e300);  // nowhere near
  pen.Line(std::nan(""), 0, 10, 10);
  pen.Circle(50, 50, 1e12);  // the picture lies inside the ring
  pen.Circle(1e9, 1e9, 10);
  p.end();
  EXPECT_EQ(Count(img, QRect(0, 50, 100, 1), QColor(255, 0, 0)), 100);
  EXPECT_EQ(Count(img, img.rect(), QColor(255, 0, 0)), 100);
  double ax = -10, ay = 5, bx = 200, by = 5;
  EXPECT_TRUE(ClipSegment(ax, ay, bx, by, 0, 0, 100, 100));
  EXPECT_DOUBLE_EQ(ax, 0);
  EXPECT_DOUBLE_EQ(bx, 100);
  ax = -10, ay = -5, bx = 200, by = -5;
  EXPECT_FALSE(ClipSegment(ax, ay, bx, by, 0, 0, 100, 100));
}

}  // namespace
}  // namespace zeblon::map
