#include "map/layers/tile_frames_layer.h"

#include <algorithm>
#include <cmath>

#include "geodesy/text.h"

#include "map/map_tile.h"

namespace zeblon::map {

QColor TileFrameColour(int level) {
  static const QColor colours[kLevels] = {QColor(0, 160, 192), QColor(240, 240, 240), QColor(224, 208, 0),
                                          QColor(224, 64, 64), QColor(0, 255, 0),     QColor(255, 192, 0)};
  return level >= 0 && level < kLevels ? colours[level] : kMapYellow;
}

void TileFramesLayer::render(QPainter& painter, const MapView& v) {
  MapPen pen(painter, v.widthPx, v.heightPx);
  const QColor black(0, 0, 0);
  const auto bound = [](double p) { return std::clamp(p, -4000.0, 4000.0); };
  for (int level = 0; level < kLevels; ++level) {
    if (!shown_[level]) continue;
    const double edge_m = kTileScales[level] * 1000.0;
    const double s = kTileScales[level];
    const double p = edge_m / v.MetresPerPixel();
    if (p > 9) {
      const double x0 = RoundHalfEven(v.ViewEastMin() * v.PixelsPerKm());
      const double pr = RoundHalfEven(p);
      double k = std::trunc(x0 / pr);
      const double xs = -5 * pr - (x0 - k * pr);
      for (double x = xs; x <= xs + 3000; x += p) pen.Line(bound(x), 0, bound(x), 3000, black);
      const double y0 = RoundHalfEven(v.ViewNorthMax() * v.PixelsPerKm());
      k = std::trunc(y0 / pr);
      const double ys = y0 - k * pr;
      for (double y = ys; y <= ys + 3000; y += p) pen.Line(0, bound(y), 3000, bound(y), black);
    }
    const auto* tiles = index_.Tiles(folders_[level]);
    if (tiles == nullptr) continue;
    const double vnmin = v.ViewNorthMin(), vnmax = v.ViewNorthMax(), vemin = v.ViewEastMin(), vemax = v.ViewEastMax();
    const double ppk = v.PixelsPerKm();
    for (const std::string& line : *tiles) {
      const auto c = TileCornerOfName(line);
      const double n = c.northKm, e = c.eastKm;
      if (!(n <= vnmax && n + s >= vnmin && e <= vemax && e + s >= vemin)) continue;
      const double left = bound((e - vemin) * ppk), right = bound((e + s - vemin) * ppk - 1);
      const double top = bound((vnmax - n - s) * ppk + 1), bottom = bound((vnmax - n) * ppk);
      pen.Point(left, top, TileFrameColour(level));
      pen.Box(left, top, right, bottom, TileFrameColour(level));
    }
  }
  pen.SetColour(kMapYellow);
}

}  // namespace zeblon::map
