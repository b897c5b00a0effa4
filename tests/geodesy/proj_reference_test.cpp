// The coordinate procedures against PROJ over Scandinavia.
#include "geodesy/geodesy.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

class ProjTransform {
 public:
  ProjTransform(const char* from, const char* to) {
    ctx_ = proj_context_create();
    proj_context_set_enable_network(ctx_, 0);
    PJ* raw = proj_create_crs_to_crs(ctx_, from, to, nullptr);
    if (raw) {
      pj_ = proj_normalize_for_visualization(ctx_, raw);  // lon/lat in, easting/northing out
      proj_destroy(raw);
    }
  }
  ~ProjTransform() {
    if (pj_) proj_destroy(pj_);
    proj_context_destroy(ctx_);
  }
  ProjTransform(const ProjTransform&) = delete;
  ProjTransform& operator=(const ProjTransform&) = delete;

  bool Ok() const { return pj_ != nullptr; }
  void Apply(double a, double b, double& x, double& y) const {
    const PJ_COORD out = proj_trans(pj_, PJ_FWD, proj_coord(a, b, 0, 0));
    x = out.xy.x;
    y = out.xy.y;
  }

 private:
  PJ_CONTEXT* ctx_ = nullptr;
  PJ* pj_ = nullptr;
};

// Points across Scandinavia: latitude 55 to 70, longitude 5 to 30.
template <typename F>
void ForEachScandinavianPoint(F&& f) {
  for (double lat = 55.0; lat <= 70.0001; lat += 0.75)
    for (double lon = 5.0; lon <= 30.0001; lon += 1.25) f(lon, lat);
}

struct UtmCase {
  const char* crs;
  double toleranceMetres;
};

class UtmAgainstProj : public ::testing::TestWithParam<UtmCase> {};

TEST_P(UtmAgainstProj, WithinOneMillimetre) {
  ProjTransform proj("EPSG:4326", GetParam().crs);
  ASSERT_TRUE(proj.Ok());
  double worst = 0;
  int points = 0;
  ForEachScandinavianPoint([&](double lon, double lat) {
    double e = 0, n = 0, pe = 0, pn = 0;
    geodesy::ConvertLatLonToUtm(lon, lat, 15, e, n, 500000);
    proj.Apply(lon, lat, pe, pn);
    worst = std::max({worst, std::fabs(e - pe), std::fabs(n - pn)});
    ++points;
  });
  EXPECT_GT(points, 400);
  EXPECT_LT(worst, GetParam().toleranceMetres) << GetParam().crs;
}

INSTANTIATE_TEST_SUITE_P(Zone33, UtmAgainstProj,
                         ::testing::Values(UtmCase{"EPSG:32633", 0.001},   // UTM 33 on WGS84
                                           UtmCase{"EPSG:3006", 0.001}));  // SWEREF 99 TM on GRS80

TEST(Rt90AgainstProj, Wgs84ToRt90WithinHalfAMetre) {
  ProjTransform proj("EPSG:4326", "EPSG:3021");
  ASSERT_TRUE(proj.Ok());
  double worst = 0;
  ForEachScandinavianPoint([&](double lon, double lat) {
    double e = 0, n = 0, pe = 0, pn = 0;
    geodesy::ConvertWgs84ToRt90(lon, lat, e, n);
    proj.Apply(lon, lat, pe, pn);
    worst = std::max(worst, std::hypot(e - pe, n - pn));
  });
  EXPECT_LT(worst, 0.5);
}

TEST(Rt90AgainstProj, KnownPoint) {
  // cs2cs: latitude 59, longitude 18 -> RT90 N 6544107.158691, E 1626135.025159.
  double e = 0, n = 0;
  geodesy::ConvertWgs84ToRt90(18, 59, e, n);
  EXPECT_NEAR(n, 6544107.158691, 0.5);
  EXPECT_NEAR(e, 1626135.025159, 0.5);
}

TEST(Rt90AgainstProj, Rt90ToZone33WithinHalfAMetre) {
  // TALMOR's chain against PROJ's RT90 -> SWEREF 99 TM, over the RT90 grid of Sweden.
  ProjTransform proj("EPSG:3021", "EPSG:3006");
  ASSERT_TRUE(proj.Ok());
  double worst = 0;
  for (double north = 6130000; north <= 7650000; north += 50000) {
    for (double east = 1250000; east <= 1900000; east += 25000) {
      double e = 0, n = 0, pe = 0, pn = 0;
      geodesy::ConvertRt90ToUtm33(east, north, e, n);
      proj.Apply(east, north, pe, pn);
      worst = std::max(worst, std::hypot(e - pe, n - pn));
    }
  }
  EXPECT_LT(worst, 0.5);
}

}  // namespace
