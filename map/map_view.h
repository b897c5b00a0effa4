// MapView: what the map shows and how map kilometres meet pixels.
//
// A plain value (no widgets, no Qt): the centre (northing, easting in km of the
// map's UTM zone), the scale level (`scale`: tile edge in km, which is also the
// metres per pixel at zoom 1), the zoom factor within the level (a factor above 1
// shows more ground per pixel), the size of the map picture in pixels and the map
// zone. Every layer draws from one MapView, so all of them place a point alike.
//
// Pixels: origin at the top left corner of the map picture, x east, y south. The
// visible ground runs from ViewEastMin (x 0) to ViewEastMax (x width - 1) and from
// ViewNorthMax (y 0) down to ViewNorthMin; the centre of the picture is
// (width / 2, height / 2 - 1).
//
// Normalised() gives the view every drawing works with: zoom 0 read as 1, zoom held
// to 0.125 ... 8, the centre held to +/-9999.999 km, values that are not numbers
// replaced, and the picture size held to 0 ... 32000 pixels, so no position formula
// below can overflow or loop without end.
#pragma once

#include <cmath>
#include <cstdint>

namespace zeblon::map {

struct MapView {
  double centreNorthKm = 0;
  double centreEastKm = 0;
  double scale = 5000;  // one of 5000, 1000, 200, 50, 10, 2
  double zoom = 1;      // 0.125, 0.25, 0.5, 1, 2, 4, 8
  double widthPx = 0;
  double heightPx = 0;
  int zone = 33;                  // UTM zone of the map (MSYS "U33")
  double centralMeridian = 15;    // zone * 6 - 183 degrees
  double falseEastingM = 500000;  // every UTM zone

  static constexpr double kMaxCentreKm = 9999.999;
  static constexpr double kMinZoom = 0.125;
  static constexpr double kMaxZoom = 8;
  static constexpr double kMaxPictureSide = 32000;
  // The bound that markers and stations use for their pixel positions.
  static constexpr std::int64_t kMarkerLimit = 4000;

  // The view with zone number and central meridian of `zone` (6 * zone - 183).
  static MapView ForZone(int zone_number);
  // A normalised view of a zone-33 map (or `zone_number`) with this centre, scale,
  // zoom and picture size.
  static MapView Of(double centre_north_km, double centre_east_km, double scale, double zoom, double width_px,
                    double height_px, int zone_number = 33);

  MapView Normalised() const;

  double MetresPerPixel() const { return scale * zoom; }
  double PixelsPerKm() const { return 1000.0 / MetresPerPixel(); }

  // Edges of the visible ground in km: w/2 and h/2 pixels on the west and south
  // side of the centre, w/2 - 1 and h/2 - 1 on the east and north side.
  double ViewNorthMin() const { return centreNorthKm - (heightPx / 2) * MetresPerPixel() / 1000; }
  double ViewNorthMax() const { return centreNorthKm + (heightPx / 2 - 1) * MetresPerPixel() / 1000; }
  double ViewEastMin() const { return centreEastKm - (widthPx / 2) * MetresPerPixel() / 1000; }
  double ViewEastMax() const { return centreEastKm + (widthPx / 2 - 1) * MetresPerPixel() / 1000; }

  // The picture centre (the map centre's pixel).
  double CentreX() const { return widthPx / 2; }
  double CentreY() const { return heightPx / 2 - 1; }

  // Exact (fractional) pixel position of a map point.
  double X(double east_km) const { return (east_km - ViewEastMin()) * PixelsPerKm(); }
  double Y(double north_km) const { return (ViewNorthMax() - north_km) * PixelsPerKm(); }

  // Whole pixel of a map point as markers take it: floor((E - ViewEastMin + 0.0001)
  // * PixelsPerKm), and likewise for y; a value beyond +/-limit becomes +/-limit.
  std::int64_t PixelX(double east_km, std::int64_t limit = kMarkerLimit) const;
  std::int64_t PixelY(double north_km, std::int64_t limit = kMarkerLimit) const;

  // The same rule for many points, with the view's edges and scale taken once.
  struct MarkerPixels {
    double eastMin, northMax, perKm;
    std::int64_t limit;
    std::int64_t X(double east_km) const { return Whole(std::floor((east_km - eastMin + 0.0001) * perKm)); }
    std::int64_t Y(double north_km) const { return Whole(std::floor((northMax - north_km + 0.0001) * perKm)); }
    std::int64_t Whole(double v) const {
      if (std::isnan(v)) return 0;
      const double l = static_cast<double>(limit);
      if (v > l) return limit;
      if (v < -l) return -limit;
      return static_cast<std::int64_t>(v);
    }
  };
  MarkerPixels Markers(std::int64_t limit = kMarkerLimit) const {
    return {ViewEastMin(), ViewNorthMax(), PixelsPerKm(), limit};
  }

  // The map point under a pixel (the cursor read-out's and the click's rule):
  // north = centre - (y - (h/2 - 1)) * m / 1000, east = centre + (x - w/2) * m / 1000.
  double NorthAt(double y) const { return centreNorthKm - (y - CentreY()) * MetresPerPixel() / 1000; }
  double EastAt(double x) const { return centreEastKm + (x - CentreX()) * MetresPerPixel() / 1000; }

  // The south-west corners (km) of the tiles that cover the view: multiples of the
  // scale from floor(ViewNorthMin / s) * s to floor(ViewNorthMax / s) * s, and
  // likewise east.
  struct TileRange {
    std::int64_t south = 0, north = 0, west = 0, east = 0;
  };
  TileRange Tiles() const;

  // Where a tile (south-west corner in km) is painted: its top left pixel and its
  // side in pixels (1000 / zoom).
  struct TileRect {
    std::int64_t x = 0, y = 0;
    double side = 1000;
  };
  TileRect TilePlacement(std::int64_t north_km, std::int64_t east_km) const;
};

// Next coarser and finer scale level (the same value at either end).
double CoarserScale(double scale);
double FinerScale(double scale);
// 0 ... 5 for 5000 ... 2, -1 for any other value.
int ScaleLevel(double scale);

}  // namespace zeblon::map
