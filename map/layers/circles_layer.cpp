#include "map/layers/circles_layer.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>

#include "geodesy/text.h"
#include "platform/qtext.h"
#include "settings/text_files.h"

namespace zeblon::map {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);

}  // namespace

std::string CircleLabel(double radius_km) { return NumberTextUntrimmed(radius_km) + " km"; }

void CirclesLayer::render(QPainter& painter, const MapView& v) {
  estimates_ = 0;
  MapPen pen(painter, v.widthPx, v.heightPx);
  pen.SetFont(MapFont());
  pen.SetColour(kBlack);
  const double cx = v.CentreX(), cy = v.CentreY();
  double lat_c = 0, lon_c = 0;
  if (lat_lon_) lat_lon_(v.centreNorthKm, v.centreEastKm, lat_c, lon_c);
  for (int r = 100; r <= 1000; r += 100) {
    pen.SetColour(kBlack);
    pen.Circle(cx, cy, r);
    const double radius = r * v.MetresPerPixel() / 1000;
    const std::string text = CircleLabel(radius);
    for (int k = 0; k < 4; ++k) {
      double f = 0;
      std::string fopt;
      if (radius < 3001 && lat_lon_ && fopt_) {
        double n = v.centreNorthKm, e = v.centreEastKm;
        if (k == 0) e += radius;
        if (k == 1) n -= radius;
        if (k == 2) e -= radius;
        if (k == 3) n += radius;
        double lat = 0, lon = 0;
        lat_lon_(n, e, lat, lon);
        f = fopt_(lon + 0.01, lon_c, lat + 0.01, lat_c);
        ++estimates_;
        if (f > 0) fopt = "Fopt=" + NumberTextUntrimmed(f);
      }
      double x = cx - 14, y = cy - 14;
      if (k == 0) x = cx + r - 14;
      if (k == 1) y = cy + r - 14;
      if (k == 2) x = cx - r - 14;
      if (k == 3) y = cy - r - 14;
      x = RoundHalfEven(x);
      y = RoundHalfEven(y);
      // Black on a white halo; the Fopt text lies below the radius text, clear of it.
      painter.drawImage(QPointF(x - 1, y - 1), HaloLabel(text, painter.font()));
      if (!fopt.empty()) painter.drawImage(QPointF(x + 8 - 1, y + 15 - 1), HaloLabel(fopt, painter.font()));
    }
  }
  pen.SetColour(kMapYellow);
}

const QImage& CirclesLayer::HaloLabel(const std::string& text, const QFont& font) {
  auto it = labels_.find(text);
  if (it != labels_.end()) return it->second;
  if (labels_.size() > 512) labels_.clear();
  const QFontMetrics fm(font);
  const QString q = platform::ToQ(text);
  QImage img(fm.horizontalAdvance(q) + 4, fm.height() + 4, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setFont(font);
  p.setPen(kWhite);
  for (int yy = 0; yy <= 2; ++yy)
    for (int xx = 0; xx <= 2; ++xx) p.drawText(QPointF(xx, yy + fm.ascent()), q);
  p.setPen(kBlack);
  p.drawText(QPointF(1, 1 + fm.ascent()), q);
  p.end();
  return labels_.emplace(text, std::move(img)).first->second;
}

void DrawCentreCross(QPainter& painter, const MapView& v) {
  MapPen pen(painter, v.widthPx, v.heightPx);
  const double cx = v.CentreX(), cy = v.CentreY();
  pen.Line(cx - 9, cy - 9, cx + 10, cy + 10, kMapYellow);
  pen.Line(cx - 9, cy + 9, cx + 10, cy - 10, kMapYellow);
}

void MarkersLayer::render(QPainter& painter, const MapView& v) {
  MapPen pen(painter, v.widthPx, v.heightPx);
  // The user's position.
  {
    const double x = static_cast<double>(v.PixelX(s_.userEast)), y = static_cast<double>(v.PixelY(s_.userNorth));
    const QColor c = s_.gpsMoved ? s_.ownTrackColour : kMapYellow;
    const std::pair<int, QColor> frames[] = {{13, kBlack}, {12, c}, {11, c}, {10, kBlack}};
    for (const auto& [k, colour] : frames) pen.Box(x - k, y - k, x + k, y + k, colour);
    const auto ticks = [&](int reach, const QColor& colour) {
      for (int xx = -reach; xx <= reach; ++xx) {
        for (int yy = -reach; yy <= reach; ++yy) {
          const double px = x + xx, py = y + yy;
          pen.Line(px, py - 13, px, py - 8, colour);
          pen.Line(px + 13, py, px + 8, py, colour);
          pen.Line(px, py + 13, px, py + 8, colour);
          pen.Line(px - 13, py, px - 8, py, colour);
        }
      }
    };
    ticks(2, kBlack);
    ticks(1, c);
  }
  // The own object.
  if (!s_.objectName.empty()) {
    const double x = static_cast<double>(v.PixelX(s_.objectEast));
    const double y = static_cast<double>(v.PixelY(s_.objectNorth));
    pen.SetFont(SymbolFont(17.0 / 15 * s_.twipsPerPixelX));
    pen.SetColour(kBlack);
    for (int xx = -12; xx <= -10; ++xx)
      for (int yy = -13; yy <= -11; ++yy) pen.Text(x + xx, y + yy, "i");
    const QColor c = s_.objectSent ? kMapYellow : QColor(192, 192, 0);
    pen.SetColour(c);
    pen.Text(x - 11, y - 12, "i");
    pen.SetFont(MapFont());
    const std::string t = Trim(s_.objectName);
    pen.FilledBox(x + 16, y - 7, x + 16 + 8.0 * t.size(), y + 5, kBlack);
    pen.SetColour(c);
    pen.Text(x + 17, y - 9, t);
  }
  pen.SetFont(MapFont());
  pen.SetColour(kMapYellow);
}

std::string ScaleBarText(double mpp) {
  std::string t = NumberText(mpp / 10);
  if (!t.empty() && t[0] == '.') t = "0" + t;
  if (t.size() % 2 == 1) t += ' ';
  t += " km";
  if (t.size() > 9) t = t.substr(t.size() - 9);
  while (t.size() < 9) t = " " + t + " ";
  while (t.size() < 11) t = "-" + t + "-";
  return std::string(" ") + '\x96' + t + '\x96';
}

Gauges GaugesFor(long all_count, long all_limit, long one_count, long one_limit, int tppx) {
  Gauges g;
  const double t = tppx > 0 ? tppx : 15;
  if (all_limit > 0) g.moniAllWidth = static_cast<double>(all_count) / all_limit * 120 * 15 / t;
  if (one_limit > 0) {
    double w = RoundHalfEven(static_cast<double>(one_count) / one_limit * 120 * 15 / t);
    if (1800 / t < w) w = RoundHalfEven(1800 / t);
    g.moniOneWidth = static_cast<int>(std::clamp(w, 0.0, 100000.0));
    if (one_count > one_limit) g.moniOneColour = QColor(208, 128, 0);
    if (one_count > 1.2 * one_limit) g.moniOneColour = QColor(255, 64, 0);
  }
  return g;
}

}  // namespace zeblon::map
