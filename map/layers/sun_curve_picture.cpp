#include "map/layers/sun_curve_picture.h"

#include <cmath>

#include "map/layers/layer.h"

namespace zeblon::map {
namespace {

const QColor kGrid(128, 128, 128), kGridMajor(176, 176, 176), kHorizon(224, 224, 224), kNow(255, 0, 0);
const QColor kAbove(255, 255, 0), kBelow(0, 208, 255), kTitle(192, 192, 192), kDim(144, 144, 144);

void Samples(MapPen& pen, const std::vector<SunSample>& samples) {
  for (const SunSample& s : samples)
    pen.Point(std::floor(s.x + 0.5), std::floor(s.y + 0.5), s.aboveHorizon ? kAbove : kBelow);
}

}  // namespace

void DrawSunCurve(QPainter& painter, const SunCurve& c) {
  painter.fillRect(0, 0, kSunCurveWidth, kSunCurveHeight, Qt::black);
  MapPen pen(painter, kSunCurveWidth, kSunCurveHeight);
  pen.SetFont(MapFont());
  pen.SetColour(kTitle);
  pen.Text(16, 10, c.title);
  for (int x = kSunCurveLeft; x <= kSunCurveRight; x += 15) pen.Line(x, 260, x, 80, kGrid);
  for (int y = 260; y >= 80; y -= 10) pen.Line(16, y, 376, y, kGrid);
  for (int x = kSunCurveLeft; x <= kSunCurveRight; x += 45) pen.Line(x, 260, x, 80, kGridMajor);
  for (int y = 260; y >= 80; y -= 30) pen.Line(16, y, 376, y, kGridMajor);
  pen.Line(16, 170, 376, 170, kHorizon);
  pen.Line(c.nowX, 260, c.nowX, 80, kNow);
  const QFontMetrics metrics(painter.font());
  for (std::size_t i = 0; i < c.hourLabels.size(); ++i) {
    const int x = 8 + 45 * int(i);
    pen.Text(x, 265, c.hourLabels[i]);
    if (i + 1 == c.hourLabels.size())
      pen.Text(x + metrics.horizontalAdvance(QString::fromLatin1(c.hourLabels[i].c_str())), 265, c.utcLabel);
  }
  Samples(pen, c.today);
  Samples(pen, c.june);
  Samples(pen, c.december);
  for (int i = 0; i < 3; ++i) {
    pen.SetColour(i == 0 ? kTitle : kDim);
    pen.Text(16, 30 + 14 * i, c.energyLeft[i]);
    pen.Text(248, 30 + 14 * i, c.energyRight[i]);
  }
}

QImage SunCurveImage(const SunCurve& curve) {
  QImage img(kSunCurveWidth, kSunCurveHeight, QImage::Format_RGB32);
  img.fill(Qt::black);
  QPainter p(&img);
  DrawSunCurve(p, curve);
  return img;
}

}  // namespace zeblon::map
