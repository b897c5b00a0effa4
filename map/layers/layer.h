// One overlay of the map picture.
//
// A layer draws with render(QPainter&, const MapView&) onto the map picture, whose
// pixels are those of the MapView (origin top left, x east, y south). The redraw
// walks the map's layer stack (layer_stack.h: tiles, grids, circles, tile frames,
// stations, pictures, GPS track, POIs, centre cross, MONI 1, markers), so a later
// layer draws over an earlier one. A layer reads its own data and the view; it
// changes neither.
//
// Conventions every layer keeps: it leaves the painter's pen yellow (255, 255, 0)
// and the font the map font (MapFont(): "QW7_F6", 9 points); texts are
// Windows-1252 bytes; lines go through MapPen, which clips them to the picture
// before they reach QPainter, so a line of far-away ends costs nothing and never
// overflows the painter's coordinates.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <string_view>

#include "map/map_view.h"

namespace zeblon::map {

class Layer {
 public:
  virtual ~Layer() = default;
  virtual void render(QPainter& painter, const MapView& view) = 0;
};

// The map picture's text font ("QW7_F6", 9 points) and the symbol font of the
// POI and object markers ("Webdings" at `points`).
QFont MapFont();
QFont SymbolFont(double points);

inline const QColor kMapYellow(255, 255, 0);

// Drawing helpers on the map picture, in whole pixels as the run-time's picture box
// draws: lines include both end points, boxes run from corner to corner inclusive,
// text is placed by its top left corner on a transparent background.
class MapPen {
 public:
  MapPen(QPainter& painter, double width_px, double height_px);

  void SetColour(const QColor& c);
  const QColor& Colour() const { return colour_; }

  // A line from (x1, y1) to (x2, y2); nothing when it misses the picture.
  void Line(double x1, double y1, double x2, double y2);
  void Line(double x1, double y1, double x2, double y2, const QColor& c);
  void Point(double x, double y);
  void Point(double x, double y, const QColor& c);
  // Outline and filled box between two corners (both included).
  void Box(double x1, double y1, double x2, double y2, const QColor& c);
  void FilledBox(double x1, double y1, double x2, double y2, const QColor& c);
  // A circle of radius r around (cx, cy); nothing when it cannot touch the picture.
  void Circle(double cx, double cy, double r);
  // Text with its top left corner at (x, y), in the current colour and font.
  void Text(double x, double y, std::string_view cp1252);
  void SetFont(const QFont& f);

  QPainter& painter() { return p_; }

 private:
  QPainter& p_;
  double w_, h_;
  QColor colour_ = kMapYellow;
};

// Clips the segment to the rectangle [x0, x1] x [y0, y1] (Liang-Barsky); false when
// nothing of it lies inside.
bool ClipSegment(double& ax, double& ay, double& bx, double& by, double x0, double y0, double x1, double y1);

}  // namespace zeblon::map
