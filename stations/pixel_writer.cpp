#include "stations/pixel_writer.h"

namespace zeblon::stations {

using map::MapPen;

void Diamond(MapPen& pen, int x, int y, int k, const QColor& c) {
  pen.Line(x, y - k, x + k, y, c);
  pen.Line(x + k, y, x, y + k, c);
  pen.Line(x, y + k, x - k, y, c);
  pen.Line(x - k, y, x, y - k, c);
}

void Square(MapPen& pen, int x, int y, int k, const QColor& c) { pen.Box(x - k, y - k, x + k, y + k, c); }

void Ring(MapPen& pen, int x, int y, int k, const QColor& c) {
  const QColor keep = pen.Colour();
  pen.SetColour(c);
  pen.Circle(x, y, k);
  pen.SetColour(keep);
}

namespace {

// The stamps of radii 0 to 15 whose pixels (dx, dy) lie on the outline `on` of radius r.
template <typename OnOutline>
std::array<PixelStamp, 16> MakeStamps(OnOutline on) {
  std::array<PixelStamp, 16> out;
  for (int r = 0; r < 16; ++r) {
    out[r].reach = r;
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (on(dx, dy, r)) out[r].points.emplace_back(dx, dy);
  }
  return out;
}

}  // namespace

// The one-pixel lines of a diamond of radius k: every pixel with |dx| + |dy| = k.
const PixelStamp& DiamondStamp(int k) {
  static const std::array<PixelStamp, 16> stamps =
      MakeStamps([](int dx, int dy, int r) { return std::abs(dx) + std::abs(dy) == r; });
  return stamps[static_cast<std::size_t>(std::clamp(k, 0, 15))];
}

// The outline of the square from (-k, -k) to (k, k).
const PixelStamp& SquareStamp(int k) {
  static const std::array<PixelStamp, 16> stamps =
      MakeStamps([](int dx, int dy, int r) { return std::abs(dx) == r || std::abs(dy) == r; });
  return stamps[static_cast<std::size_t>(std::clamp(k, 0, 15))];
}

// The circle of radius k (0 to 15) as a one-pixel pen without smoothing draws
// it around a whole pixel, taken once from the painter itself.
const PixelStamp& RingStamp(int k) {
  static const std::array<PixelStamp, 16> stamps = [] {
    std::array<PixelStamp, 16> out;
    constexpr int kCentre = 20;
    for (int r = 0; r < 16; ++r) {
      QImage img(2 * kCentre + 1, 2 * kCentre + 1, QImage::Format_RGB32);
      img.fill(Qt::black);
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setPen(QPen(Qt::white, 0));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(kCentre, kCentre), r, r);
      p.end();
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if (img.pixel(x, y) != QColor(Qt::black).rgb()) {
            out[r].points.emplace_back(x - kCentre, y - kCentre);
            out[r].reach = std::max({out[r].reach, std::abs(x - kCentre), std::abs(y - kCentre)});
          }
    }
    return out;
  }();
  return stamps[static_cast<std::size_t>(std::clamp(k, 0, 15))];
}

}  // namespace zeblon::stations
