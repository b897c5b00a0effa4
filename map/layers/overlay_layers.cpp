#include "map/layers/overlay_layers.h"

#include <algorithm>
#include <cmath>

#include <QPainterPath>

#include "geodesy/text.h"
#include "map/map_tile.h"
#include "settings/text_files.h"

namespace zeblon::map {

namespace {

const QColor kBlack(0, 0, 0);

std::string_view Columns(std::string_view line, std::size_t from, std::size_t count) {
  if (line.size() <= from) return {};
  return line.substr(from, count);
}

double Bound(double v, double limit) { return std::clamp(v, -limit, limit); }

// The POI mark, sign 234 of the symbol font: a triangle with rounded corners, point
// up, in a glyph cell of `em` pixels with its top left corner at (0, 0). It is
// drawn as a figure, since a computer without that font would print the letter of
// code 234 instead.
QPainterPath PoiMark(double em) {
  QPainterPath triangle;
  triangle.moveTo(0.5 * em, 0.12 * em);
  triangle.lineTo(0.92 * em, 0.84 * em);
  triangle.lineTo(0.08 * em, 0.84 * em);
  triangle.closeSubpath();
  QPainterPathStroker rounded;
  rounded.setWidth(0.1 * em);
  rounded.setJoinStyle(Qt::RoundJoin);
  return rounded.createStroke(triangle).united(triangle).simplified();
}

}  // namespace

double LineNorth(std::string_view line) { return LeadingNumber(Columns(line, 1, 9)); }
double LineEast(std::string_view line) { return LeadingNumber(Columns(line, 10, 9)); }
std::string LineText(std::string_view line) { return Trim(Columns(line, 19, std::string_view::npos)); }

void GpsTrackLayer::render(QPainter& painter, const MapView& v) {
  MapPen pen(painter, v.widthPx, v.heightPx);
  pen.SetFont(MapFont());
  const QColor green(144, 255, 208), first_label(0, 224, 224);
  double px = 0, py = 0;
  bool previous_skipped = true;
  const std::size_t count = lines_.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& line = lines_[i];
    const QColor c = line.size() > 34 ? green : colour_;
    const double n = LineNorth(line), e = LineEast(line);
    if (n == 0 && e == 0) {
      previous_skipped = true;
      continue;
    }
    const double x = Bound(std::floor((e - v.ViewEastMin() + 0.0001) * v.PixelsPerKm()), 32000);
    const double y = Bound(std::floor((v.ViewNorthMax() - n + 0.0001) * v.PixelsPerKm()), 32000);
    if (i == 0 || previous_skipped) {
      px = x;
      py = y;
    }
    previous_skipped = false;
    pen.Line(px - 1, py, x - 1, y, c);
    pen.Line(px + 1, py, x + 1, y, c);
    pen.Line(px, py - 1, x, y - 1, c);
    pen.Line(px, py + 1, x, y + 1, c);
    pen.Line(px, py, x, y, kBlack);
    if (x == px && y == py) {
      pen.Point(x, y - 1, c);
      pen.Point(x - 1, y, c);
      pen.Point(x + 1, y, c);
      pen.Point(x, y + 1, c);
      pen.Point(x, y, kBlack);
    }
    if (i == 0 || i + 1 == count) {
      const std::string text = LineText(line);
      const double ty = i == 0 ? y - 12 : y + 2;
      pen.FilledBox(x + 5, ty + 2, x + 5 + 8.0 * text.size(), ty + 14, kBlack);
      pen.SetColour(i + 1 == count ? c : first_label);
      pen.Text(x + 6, ty, text);
    }
    px = x;
    py = y;
  }
  pen.SetColour(kMapYellow);
}

void PoiLayer::render(QPainter& painter, const MapView& v) {
  MapPen pen(painter, v.widthPx, v.heightPx);
  // The symbol font's 17 points (at 15 twips a pixel) in pixels.
  const QPainterPath mark = PoiMark(17.0 * tppx_ / 15 * 96 / 72);
  const QFont text_font = MapFont();
  pen.SetFont(text_font);
  for (const std::string& line : lines_) {
    const double x = std::floor((LineEast(line) - v.ViewEastMin() + 0.0001) * v.PixelsPerKm());
    const double y = std::floor((v.ViewNorthMax() - LineNorth(line) + 0.0001) * v.PixelsPerKm());
    if (std::fabs(x) > 3200 || std::fabs(y) > 3200) continue;
    // Nine prints in black one pixel around the coloured one: its outline.
    for (int col = -12; col <= -10; ++col)
      for (int row = -14; row <= -12; ++row) painter.fillPath(mark.translated(x + col, y + row), kBlack);
    painter.fillPath(mark.translated(x - 11, y - 13), colour_);
    if (mode_ == 2) {
      const std::string text = LineText(line);
      pen.FilledBox(x + 12, y - 6, x + 12 + 8.0 * text.size(), y + 6, kBlack);
      pen.SetColour(colour_);
      pen.Text(x + 12, y - 8, text);
    }
  }
  pen.SetFont(text_font);
  pen.SetColour(kMapYellow);
}

void PictureLayer::render(QPainter& painter, const MapView& v) {
  MapPen pen(painter, v.widthPx, v.heightPx);
  const double h = v.MetresPerPixel() >= 200 ? 3 : RoundHalfEven(v.PixelsPerKm() / 2);
  for (const std::string& name : names_) {
    const auto corner = TileCornerOfName(name);
    const double x = Bound(std::floor((corner.eastKm + 0.5 - v.ViewEastMin() + 0.0001) * v.PixelsPerKm()), 4000);
    const double y = Bound(std::floor((v.ViewNorthMax() - corner.northKm - 0.5 + 0.0001) * v.PixelsPerKm()), 4000);
    const double l = x - h, r = x + h, t = y - h, b = y + h;
    pen.Box(l - 1, t - 1, r + 1, b + 1, kBlack);
    pen.Box(l + 1, t + 1, r - 1, b - 1, kBlack);
    pen.Box(l, t, r, b, colour_);
  }
  pen.SetColour(kMapYellow);
}

}  // namespace zeblon::map
