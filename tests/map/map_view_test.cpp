#include "map/map_view.h"

#include <gtest/gtest.h>

#include <limits>

namespace zeblon::map {
namespace {

TEST(MapView, EdgesTilesAndPlacementAroundTheOrigin) {
  // Centre 0/0, scale 50, zoom 1, 800 x 600 pixels.
  const MapView v = MapView::Of(0, 0, 50, 1, 800, 600);
  EXPECT_DOUBLE_EQ(v.ViewEastMin(), -20);
  EXPECT_DOUBLE_EQ(v.ViewEastMax(), 19.95);
  EXPECT_DOUBLE_EQ(v.ViewNorthMin(), -15);
  EXPECT_DOUBLE_EQ(v.ViewNorthMax(), 14.95);
  const auto r = v.Tiles();
  EXPECT_EQ(r.south, -50);
  EXPECT_EQ(r.north, 0);
  EXPECT_EQ(r.west, -50);
  EXPECT_EQ(r.east, 0);
  const auto t = v.TilePlacement(0, 0);
  EXPECT_EQ(t.x, 400);
  EXPECT_EQ(t.y, -700);
  EXPECT_DOUBLE_EQ(t.side, 1000);
}

TEST(MapView, PixelsAndBackAgree) {
  const MapView v = MapView::Of(6600, 400, 10, 2, 1280, 1024);
  for (double x : {0.0, 17.0, 640.0, 1279.0}) {
    for (double y : {0.0, 511.0, 1023.0}) {
      EXPECT_EQ(v.PixelX(v.EastAt(x)), static_cast<std::int64_t>(x));
      EXPECT_EQ(v.PixelY(v.NorthAt(y)), static_cast<std::int64_t>(y));
    }
  }
  EXPECT_EQ(v.PixelX(v.centreEastKm + 50000), 4000);
  EXPECT_EQ(v.PixelY(v.centreNorthKm + 50000), -4000);
}

TEST(MapView, NormalisedHoldsEveryValue) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double n, e, zoom, scale, w;
    double wantN, wantE, wantZoom, wantScale, wantW;
  } cases[] = {
      {12000, -12000, 0, 50, 800, 9999.999, -9999.999, 1, 50, 800},
      {nan, inf, 1e300, 2, 1e12, 0, 9999.999, 8, 2, 32000},
      {1, 1, 1e-300, 7, -5, 1, 1, 0.125, 5000, 0},
      {1, 1, nan, 1000, nan, 1, 1, 1, 1000, 0},
  };
  for (const auto& c : cases) {
    const MapView v = MapView::Of(c.n, c.e, c.scale, c.zoom, c.w, 100);
    EXPECT_DOUBLE_EQ(v.centreNorthKm, c.wantN);
    EXPECT_DOUBLE_EQ(v.centreEastKm, c.wantE);
    EXPECT_DOUBLE_EQ(v.zoom, c.wantZoom);
    EXPECT_DOUBLE_EQ(v.scale, c.wantScale);
    EXPECT_DOUBLE_EQ(v.widthPx, c.wantW);
  }
}

TEST(MapView, ScaleSteps) {
  EXPECT_EQ(CoarserScale(2), 10);
  EXPECT_EQ(CoarserScale(1000), 5000);
  EXPECT_EQ(CoarserScale(5000), 5000);
  EXPECT_EQ(FinerScale(5000), 1000);
  EXPECT_EQ(FinerScale(2), 2);
  EXPECT_EQ(ScaleLevel(50), 3);
  EXPECT_EQ(ScaleLevel(51), -1);
}

}  // namespace
}  // namespace zeblon::map
