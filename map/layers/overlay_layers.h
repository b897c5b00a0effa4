// The user's own data over the map: the GPS track of the loaded TRK file, the
// points of interest of the loaded POI file and a square for every
// coordinate-named picture. Each layer only reads its lines.
//
// TRK and POI lines: column 1 a mark, columns 2-10 northing and 11-19 easting
// (km as PositionText), from column 20 the point's text (a TRK point's date and
// time). Picture names: characters 1-4 northing and 5-8 easting in km by the tile
// name rule; the marker frames the picture's kilometre square.
#pragma once

#include <span>
#include <string>

#include "map/layers/layer.h"

namespace zeblon::map {

// Northing and easting (km) of a TRK or POI line; text from column 20, trimmed.
double LineNorth(std::string_view line);
double LineEast(std::string_view line);
std::string LineText(std::string_view line);

// The track: a band three pixels wide in the track colour (light green (144, 255,
// 208) for lines longer than 34 characters) with a black centre line; a line whose
// position reads 0/0 breaks it; the first and last points carry their time.
class GpsTrackLayer : public Layer {
 public:
  void Set(std::span<const std::string> lines, QColor colour) {
    lines_ = lines;
    colour_ = colour;
  }
  void render(QPainter& painter, const MapView& view) override;

 private:
  std::span<const std::string> lines_;
  QColor colour_{0, 255, 255};
};

// POIs: the "ê" glyph of the symbol font on a black outline, in mode 2 with the
// point's text on a black box; points more than 3200 pixels off are skipped.
class PoiLayer : public Layer {
 public:
  void Set(std::span<const std::string> lines, int mode, QColor colour, int twips_per_pixel_x) {
    lines_ = lines;
    mode_ = mode;
    colour_ = colour;
    tppx_ = twips_per_pixel_x;
  }
  void render(QPainter& painter, const MapView& view) override;

 private:
  std::span<const std::string> lines_;
  int mode_ = 1;
  QColor colour_{255, 224, 0};
  int tppx_ = 15;
};

// Picture markers: three square outlines (black, the marker colour, black) around
// the picture's kilometre square, 6 pixels wide from 200 m per pixel on.
class PictureLayer : public Layer {
 public:
  void Set(std::span<const std::string> names, QColor colour) {
    names_ = names;
    colour_ = colour;
  }
  void render(QPainter& painter, const MapView& view) override;

 private:
  std::span<const std::string> names_;
  QColor colour_{255, 255, 255};
};

}  // namespace zeblon::map
