// Distance circles, the centre cross, the user's position (QTH) and own-object
// markers, and the texts of the scale bar and the store gauges.
//
// Circles: ten black circles of 100 ... 1000 pixels around the picture centre, each
// labelled at east, south, west and north with its radius in km (black on a white
// halo) and, for radii below 3001 km, with "Fopt=" and the optimum frequency of an
// HF path from the centre to that point when the estimate is positive.
//
// QTH marker: a square frame (black, two rows of the marker colour, black) with four
// thick ticks pointing inwards, yellow, or cyan while the GPS moves the position.
// Object marker: the "i" glyph of the symbol font on a black halo, yellow while the
// object is sent, (192, 192, 0) otherwise, and its name on a black box.
#pragma once

#include <QImage>
#include <functional>
#include <string>
#include <unordered_map>

#include "map/layers/layer.h"

namespace zeblon::map {

// WGS84 latitude and longitude (degrees) of a map point (km of the map zone).
using LatLonOf = std::function<void(double north_km, double east_km, double& lat, double& lon)>;
// The optimum HF frequency (MHz) from the centre to a point; 0 or less: none.
using FoptOf = std::function<double(double lon, double centre_lon, double lat, double centre_lat)>;

class CirclesLayer : public Layer {
 public:
  void SetConversions(LatLonOf lat_lon, FoptOf fopt) {
    lat_lon_ = std::move(lat_lon);
    fopt_ = std::move(fopt);
  }
  void render(QPainter& painter, const MapView& view) override;
  // How many Fopt estimates the last drawing asked for.
  int estimates() const { return estimates_; }

 private:
  // A label black on its white halo (the text printed at the 3 x 3 positions
  // around it in white, then once in black), drawn once and kept.
  const QImage& HaloLabel(const std::string& text, const QFont& font);

  LatLonOf lat_lon_;
  FoptOf fopt_;
  int estimates_ = 0;
  std::unordered_map<std::string, QImage> labels_;
};

// The radius label of a circle: the km value as number text and " km".
std::string CircleLabel(double radius_km);

// The yellow cross at the picture centre (free map).
void DrawCentreCross(QPainter& painter, const MapView& view);

// The centre cross of a free map as a layer.
class CentreCrossLayer : public Layer {
 public:
  void render(QPainter& painter, const MapView& view) override { DrawCentreCross(painter, view); }
};

struct MarkerSettings {
  double userNorth = 0, userEast = 0;
  bool gpsMoved = false;
  QColor ownTrackColour{0, 255, 255};
  std::string objectName;  // empty: no object marker
  double objectNorth = 0, objectEast = 0;
  bool objectSent = false;
  int twipsPerPixelX = 15;
};

class MarkersLayer : public Layer {
 public:
  void Set(const MarkerSettings& s) { s_ = s; }
  void render(QPainter& painter, const MapView& view) override;

 private:
  MarkerSettings s_;
};

// The scale text (the ground length of 100 pixels) as the main window prints it:
// a blank, the en dash (byte 150), the value padded with blanks and "-" to 11
// characters, the en dash.
std::string ScaleBarText(double metres_per_pixel);

// Widths of the MONI ALL and MONI 1 gauges and the MONI 1 gauge's colour.
struct Gauges {
  double moniAllWidth = 0;
  int moniOneWidth = 0;
  QColor moniOneColour{120, 192, 192};
};
Gauges GaugesFor(long moni_all_count, long moni_all_limit, long moni_one_count, long moni_one_limit,
                 int twips_per_pixel_x);

}  // namespace zeblon::map
