// The coordinate grids over the map.
//
// One grid per coordinate system that a read-out pair shows (0 UTM of the map zone,
// 1 latitude/longitude, 2 Gauss-Krueger, 3 UTM of the point's own zone, 4 RT90),
// drawn in that order, each in its colour:
//   0 (232, 232, 232) a lattice of straight lines 100 pixels apart through the west
//     and top edges of the north-easternmost tile, labelled with map km;
//   1 (224, 224, 0)   parallels and meridians around the centre (16 steps each way,
//     step by metres per pixel, never beyond +/-80 degrees), labelled at the right
//     and top edges in degrees (and minutes at finer scales);
//   2 (255, 192, 255), 3 (0, 224, 255), 4 (0, 240, 0): lines of constant northing
//     and easting of that system every metres-per-pixel / 10 km around the centre,
//     converted point by point into map km and joined where neighbours lie within
//     120 pixels; labelled where they cross the right and top edges.
// The layer converts grid points with the geodesy chains; where the centre lies in
// each system (the read-out texts' values) it is told by GridCentre.
#pragma once

#include <array>
#include <string>

#include "map/layers/layer.h"

namespace zeblon::map {

// The map centre in the systems the grids follow (km), as the read-outs give it.
struct GridCentre {
  double lat = 0, lon = 0;           // WGS84 degrees
  double gkNorth = 0, gkEast = 0;    // Gauss-Krueger, false easting of its zone
  double ownNorth = 0, ownEast = 0;  // UTM of the own zone
  double rt90North = 0, rt90East = 0;
};

struct GridSettings {
  std::array<bool, 5> systems{};  // which grids are drawn
  double gkCentralMeridian = 9;   // as the read-outs last set it
  double ownZoneCentralMeridian = 9;
  GridCentre centre;
};

// The graticule step in degrees for a number of metres per pixel.
double GraticuleStep(double metres_per_pixel);
// A graticule label: degrees (a "-" in place of the blank when negative) and,
// with minutes, ":" and two digits ("  48:30" is " 48:30").
std::string GraticuleLabel(double value, bool minutes);
// The label of a projected grid line: the value cut to whole metres, trimmed.
std::string GridLabelText(double km);

class GridLayer : public Layer {
 public:
  void Set(const GridSettings& s) { settings_ = s; }
  void render(QPainter& painter, const MapView& view) override;

 private:
  void Lattice(MapPen& pen, const MapView& v);
  void Graticule(MapPen& pen, const MapView& v);
  void Projected(MapPen& pen, const MapView& v, int system);
  GridSettings settings_;
};

}  // namespace zeblon::map
