#include "map/layers/layer.h"

#include <QFontMetrics>
#include <cmath>

#include "platform/qtext.h"

namespace zeblon::map {

QFont MapFont() {
  QFont f(QStringLiteral("QW7_F6"));
  f.setPointSizeF(9);
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

QFont SymbolFont(double points) {
  QFont f(QStringLiteral("Webdings"));
  f.setPointSizeF(points > 0 ? points : 17);
  return f;
}

bool ClipSegment(double& ax, double& ay, double& bx, double& by, double x0, double y0, double x1, double y1) {
  if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by)) return false;
  double t0 = 0, t1 = 1;
  const double dx = bx - ax, dy = by - ay;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {ax - x0, x1 - ax, ay - y0, y1 - ay};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0) {
      if (r > t1) return false;
      if (r > t0) t0 = r;
    } else {
      if (r < t0) return false;
      if (r < t1) t1 = r;
    }
  }
  const double nax = ax + t0 * dx, nay = ay + t0 * dy;
  bx = ax + t1 * dx;
  by = ay + t1 * dy;
  ax = nax;
  ay = nay;
  return true;
}

MapPen::MapPen(QPainter& painter, double width_px, double height_px) : p_(painter), w_(width_px), h_(height_px) {
  p_.setPen(QPen(colour_, 0));
  p_.setBrush(Qt::NoBrush);
}

void MapPen::SetColour(const QColor& c) {
  colour_ = c;
  p_.setPen(QPen(colour_, 0));
}

void MapPen::Line(double x1, double y1, double x2, double y2) {
  // A margin of a few pixels keeps the clipped ends' rounding off the picture edge.
  if (!ClipSegment(x1, y1, x2, y2, -4, -4, w_ + 4, h_ + 4)) return;
  const QPoint a(static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1)));
  const QPoint b(static_cast<int>(std::lround(x2)), static_cast<int>(std::lround(y2)));
  if (a == b)
    p_.drawPoint(a);
  else
    p_.drawLine(a, b);
}

void MapPen::Line(double x1, double y1, double x2, double y2, const QColor& c) {
  const QColor keep = colour_;
  SetColour(c);
  Line(x1, y1, x2, y2);
  SetColour(keep);
}

void MapPen::Point(double x, double y) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  p_.drawPoint(QPoint(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))));
}

void MapPen::Point(double x, double y, const QColor& c) {
  const QColor keep = colour_;
  SetColour(c);
  Point(x, y);
  SetColour(keep);
}

void MapPen::Box(double x1, double y1, double x2, double y2, const QColor& c) {
  Line(x1, y1, x2, y1, c);
  Line(x2, y1, x2, y2, c);
  Line(x2, y2, x1, y2, c);
  Line(x1, y2, x1, y1, c);
}

void MapPen::FilledBox(double x1, double y1, double x2, double y2, const QColor& c) {
  double l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
  if (!(r >= 0 && b >= 0 && l < w_ && t < h_)) return;
  l = std::max(l, -1.0);
  t = std::max(t, -1.0);
  r = std::min(r, w_);
  b = std::min(b, h_);
  const int il = static_cast<int>(std::floor(l)), it = static_cast<int>(std::floor(t));
  p_.fillRect(QRect(il, it, static_cast<int>(std::floor(r)) - il + 1, static_cast<int>(std::floor(b)) - it + 1), c);
}

void MapPen::Circle(double cx, double cy, double r) {
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r) || r < 0) return;
  // Wholly outside the picture, or the picture wholly inside the ring: nothing to see.
  if (cx + r < -2 || cx - r > w_ + 2 || cy + r < -2 || cy - r > h_ + 2) return;
  const double fx = std::max(std::fabs(cx), std::fabs(cx - w_));
  const double fy = std::max(std::fabs(cy), std::fabs(cy - h_));
  if (std::hypot(fx, fy) < r - 2) return;
  p_.drawEllipse(QPointF(cx, cy), r, r);
}

void MapPen::SetFont(const QFont& f) { p_.setFont(f); }

void MapPen::Text(double x, double y, std::string_view cp1252) {
  if (cp1252.empty()) return;
  if (!std::isfinite(x) || !std::isfinite(y) || x > w_ + 2 || y > h_ + 2 || x < -32000 || y < -200) return;
  const QFontMetrics fm(p_.font());
  p_.drawText(QPointF(std::floor(x), std::floor(y) + fm.ascent()), platform::ToQ(cp1252));
}

}  // namespace zeblon::map
