#include "map/layers/grid_layer.h"

#include <cmath>
#include <limits>
#include <vector>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "settings/text_files.h"

namespace zeblon::map {

namespace {

const QColor kGridColours[5] = {QColor(232, 232, 232), QColor(224, 224, 0), QColor(255, 192, 255), QColor(0, 224, 255),
                                QColor(0, 240, 0)};

int Sign(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

std::string TwoDigits(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

double GraticuleStep(double mpp) {
  if (mpp <= 15) return 1.0 / 60;
  if (mpp <= 30) return 2.0 / 60;
  if (mpp <= 60) return 5.0 / 60;
  if (mpp <= 90) return 10.0 / 60;
  if (mpp <= 150) return 15.0 / 60;
  if (mpp <= 300) return 30.0 / 60;
  if (mpp <= 700) return 1;
  if (mpp <= 1500) return 2;
  if (mpp <= 3000) return 5;
  return 10;
}

std::string GraticuleLabel(double v, bool minutes) {
  const double a = std::fabs(v);
  const double d = std::floor(a + 0.0001);
  const int m = static_cast<int>(std::floor((a - d) * 60 + 0.0001));
  std::string t = NumberTextUntrimmed(d);
  if (v < 0 && !t.empty() && t[0] == ' ') t[0] = '-';
  if (minutes) t += ":" + TwoDigits(m);
  return t;
}

std::string GridLabelText(double km) { return NumberText(std::floor(km * 1000 + 0.0001) / 1000); }

void GridLayer::render(QPainter& painter, const MapView& view) {
  MapPen pen(painter, view.widthPx, view.heightPx);
  pen.SetFont(MapFont());
  for (int k = 0; k < 5; ++k) {
    if (!settings_.systems[k]) continue;
    pen.SetColour(kGridColours[k]);
    if (k == 0)
      Lattice(pen, view);
    else if (k == 1)
      Graticule(pen, view);
    else
      Projected(pen, view, k);
  }
  pen.SetColour(kMapYellow);
}

void GridLayer::Lattice(MapPen& pen, const MapView& v) {
  const auto range = v.Tiles();
  const auto ref = v.TilePlacement(range.north, range.east);
  const double e0 = static_cast<double>(range.east);
  const double n1 = static_cast<double>(range.north) + v.scale;
  const double px0 = static_cast<double>(ref.x), py0 = static_cast<double>(ref.y);
  const double m = v.MetresPerPixel(), w = v.widthPx, h = v.heightPx;
  for (double x = px0 - 5000; x <= px0 + 5000; x += 100) {
    pen.Line(x, -5001, x, 4999);
    if (0 < x + 4 && x + 4 < w) pen.Text(x + 4, h - 12, NumberText(e0 + (x - px0) * m / 1000));
  }
  for (double y = py0 - 5001; y <= py0 + 4999; y += 100) {
    pen.Line(-5000, y, 5000, y);
    if (0 < y - 12 && y - 12 < h) pen.Text(2, y - 12, NumberText(n1 + (py0 - y - 1) * m / 1000));
  }
}

void GridLayer::Graticule(MapPen& pen, const MapView& v) {
  const double mpp = v.MetresPerPixel();
  const double s = GraticuleStep(mpp);
  const double lat_c = settings_.centre.lat, lon_c = settings_.centre.lon;
  const double w = v.widthPx, h = v.heightPx, ppk = v.PixelsPerKm();
  const double vemin = v.ViewEastMin(), vnmax = v.ViewNorthMax();
  std::vector<double> lats, lons;
  double lat0 = std::floor((lat_c - 16 * s) / s) * s;
  if (lat0 < -80) lat0 = -80;
  double lat_end = lat_c + 16 * s;
  if (lat_end > 80) lat_end = 80;
  for (int i = 0; i < 200; ++i) {
    const double lat = lat0 + i * s;
    if (lat > lat_end + 1e-9) break;
    lats.push_back(lat);
  }
  const double lon0 = std::floor((lon_c - 16 * s) / s) * s;
  for (int i = 0; i < 200; ++i) {
    const double lon = lon0 + i * s;
    if (lon > lon_c + 16 * s + 1e-9) break;
    lons.push_back(lon);
  }
  struct P {
    double x = 0, y = 0;
    bool far = true;
  };
  const auto project = [&](double lat, double lon) {
    double e = std::numeric_limits<double>::quiet_NaN(), n = e;
    geodesy::ConvertLatLonToUtm(lon, lat, v.centralMeridian, e, n, v.falseEastingM);
    P p;
    if (!std::isfinite(e) || !std::isfinite(n)) {
      p.x = p.y = std::numeric_limits<double>::quiet_NaN();  // no segment to or from it
      return p;
    }
    p.far = std::fabs(n / 1000) > 9990 || std::fabs(e / 1000) > 9990;
    p.x = RoundHalfEven((e / 1000 - vemin) * ppk);
    p.y = RoundHalfEven((vnmax - n / 1000) * ppk);
    return p;
  };
  const bool parallel_minutes = mpp < 1000;
  const bool meridian_minutes = v.scale < 1000;
  // Every point once: parallels and meridians share them.
  std::vector<P> points;
  points.reserve(lats.size() * lons.size());
  for (double lat : lats)
    for (double lon : lons) points.push_back(project(lat, lon));
  const auto at = [&](std::size_t i, std::size_t j) -> const P& { return points[i * lons.size() + j]; };
  // Parallels, labelled where they leave the right edge.
  for (std::size_t i = 0; i < lats.size(); ++i) {
    const std::string label = GraticuleLabel(lats[i], parallel_minutes);
    for (std::size_t j = 1; j < lons.size(); ++j) {
      const P& prev = at(i, j - 1);
      const P& p = at(i, j);
      if (p.far) continue;
      pen.Line(prev.x, prev.y, p.x, p.y);
      if (prev.x < w && w < p.x && (prev.y > 0 || p.y > 0) && (p.y < h || prev.y < h)) {
        const double yl = RoundHalfEven(prev.y - 12 - (w - prev.x) * (prev.y - p.y) / (p.x - prev.x));
        if (yl < 32000 && yl > -32000) pen.Text(w - 1 - 8.0 * label.size(), yl, label);
      }
    }
  }
  // Meridians, labelled where they leave the top edge.
  for (std::size_t j = 0; j < lons.size(); ++j) {
    const std::string label = Trim(GraticuleLabel(lons[j], meridian_minutes));
    for (std::size_t i = 1; i < lats.size(); ++i) {
      const P& prev = at(i - 1, j);
      const P& p = at(i, j);
      if (p.far) continue;
      pen.Line(prev.x, prev.y, p.x, p.y);
      if (prev.y > 0 && p.y <= 0 && (p.x > 0 || prev.x > 0) && (p.x < w || prev.x < w)) {
        const double xl = RoundHalfEven((p.x - prev.x) * prev.y / (prev.y - p.y) + prev.x + 2);
        if (xl < 32000 && xl > -32000) pen.Text(xl, 0, label);
      }
    }
  }
}

void GridLayer::Projected(MapPen& pen, const MapView& v, int system) {
  const double mpp = v.MetresPerPixel();
  const double s = mpp / 10;
  double nc = 0, ec = 0;
  double east_back = mpp, east_span = 2 * mpp, east_limit = 10000;
  if (system == 2) {
    nc = settings_.centre.gkNorth;
    ec = settings_.centre.gkEast;
    east_back = 3 * mpp;
    east_span = 6 * mpp;
    east_limit = 20000;
  } else if (system == 3) {
    nc = settings_.centre.ownNorth;
    ec = settings_.centre.ownEast;
  } else {
    nc = settings_.centre.rt90North;
    ec = settings_.centre.rt90East;
  }
  double n_start = std::floor(nc / s) * s - mpp;
  if (n_start < -10000) n_start = -10000;
  double n_end = n_start + 2 * mpp;
  if (n_end > 10000) n_end = 10000;
  double e_start = std::floor(ec / s) * s - east_back;
  if (e_start < -east_limit) e_start = -east_limit;
  double e_end = e_start + east_span;
  if (e_end > east_limit) e_end = east_limit;
  std::vector<double> norths, easts;
  for (int i = 0; i < 1000; ++i) {
    const double n = n_start + i * s;
    if (n > n_end + 1e-9) break;
    norths.push_back(n);
  }
  for (int i = 0; i < 1000; ++i) {
    const double e = e_start + i * s;
    if (e > e_end + 1e-9) break;
    easts.push_back(e);
  }
  const double vemin = v.ViewEastMin(), vnmax = v.ViewNorthMax(), ppk = v.PixelsPerKm(), w = v.widthPx;
  struct P {
    double x = 0, y = 0;
    bool ok = false;
  };
  // Each point once: rows of constant northing, columns of constant easting.
  std::vector<P> points(norths.size() * easts.size());
  for (std::size_t i = 0; i < norths.size(); ++i) {
    for (std::size_t j = 0; j < easts.size(); ++j) {
      double e = std::numeric_limits<double>::quiet_NaN(), n = e;
      try {
        const double gn = norths[i] * 1000, ge = easts[j] * 1000;
        if (system == 2)
          geodesy::ConvertGaussKruegerToUtm(ge, gn, settings_.gkCentralMeridian, v.centralMeridian, v.falseEastingM, e,
                                            n);
        else if (system == 3)
          geodesy::ConvertUtmToUtm(ge, gn, settings_.ownZoneCentralMeridian, v.falseEastingM, v.centralMeridian,
                                   v.falseEastingM, e, n);
        else
          geodesy::ConvertRt90ToUtm(ge, gn, v.centralMeridian, v.falseEastingM, e, n);
      } catch (const geodesy::GeodesyError&) {
        continue;
      }
      P& p = points[i * easts.size() + j];
      if (!std::isfinite(e) || !std::isfinite(n)) continue;
      p.x = std::floor((e / 1000 - vemin) * ppk);
      p.y = std::floor((vnmax - n / 1000) * ppk);
      p.ok = std::fabs(p.x) < 1e9 && std::fabs(p.y) < 1e9;
    }
  }
  const auto joined = [](const P& a, const P& b) {
    return a.ok && b.ok && std::fabs(b.x - a.x) <= 120 && std::fabs(b.y - a.y) <= 120;
  };
  for (std::size_t i = 0; i < norths.size(); ++i) {
    const std::string label = GridLabelText(norths[i]);
    for (std::size_t j = 1; j < easts.size(); ++j) {
      const P& a = points[i * easts.size() + j - 1];
      const P& b = points[i * easts.size() + j];
      if (!joined(a, b)) continue;
      pen.Line(a.x, a.y, b.x, b.y);
      if (Sign(w - b.x) != Sign(w - a.x)) pen.Text(w - 1 - 8.0 * label.size(), b.y, label);
    }
  }
  for (std::size_t j = 0; j < easts.size(); ++j) {
    const std::string label = GridLabelText(easts[j]);
    for (std::size_t i = 1; i < norths.size(); ++i) {
      const P& a = points[(i - 1) * easts.size() + j];
      const P& b = points[i * easts.size() + j];
      if (!joined(a, b)) continue;
      pen.Line(a.x, a.y, b.x, b.y);
      if (Sign(b.y) != Sign(a.y)) pen.Text(b.x, 0, label);
    }
  }
}

}  // namespace zeblon::map
