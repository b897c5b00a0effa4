#include "map/map_view.h"

#include <algorithm>
#include <cmath>

#include "map/map_tile.h"

namespace zeblon::map {

namespace {

// NaN becomes `otherwise`; an infinity is left to the clamps that follow.
double Finite(double v, double otherwise) { return std::isnan(v) ? otherwise : v; }

}  // namespace

MapView MapView::ForZone(int zone_number) {
  MapView v;
  v.zone = zone_number;
  v.centralMeridian = zone_number * 6.0 - 183.0;
  return v;
}

MapView MapView::Of(double centre_north_km, double centre_east_km, double scale, double zoom, double width_px,
                    double height_px, int zone_number) {
  MapView v = ForZone(zone_number);
  v.centreNorthKm = centre_north_km;
  v.centreEastKm = centre_east_km;
  v.scale = scale;
  v.zoom = zoom;
  v.widthPx = width_px;
  v.heightPx = height_px;
  return v.Normalised();
}

MapView MapView::Normalised() const {
  MapView v = *this;
  v.centreNorthKm = std::clamp(Finite(v.centreNorthKm, 0), -kMaxCentreKm, kMaxCentreKm);
  v.centreEastKm = std::clamp(Finite(v.centreEastKm, 0), -kMaxCentreKm, kMaxCentreKm);
  v.zoom = Finite(v.zoom, 1);
  if (v.zoom == 0) v.zoom = 1;
  v.zoom = std::clamp(std::fabs(v.zoom), kMinZoom, kMaxZoom);
  if (ScaleLevel(v.scale) < 0) v.scale = 5000;
  v.widthPx = std::clamp(std::floor(Finite(v.widthPx, 0)), 0.0, kMaxPictureSide);
  v.heightPx = std::clamp(std::floor(Finite(v.heightPx, 0)), 0.0, kMaxPictureSide);
  if (!std::isfinite(v.centralMeridian)) v.centralMeridian = 15;
  return v;
}

std::int64_t MapView::PixelX(double east_km, std::int64_t limit) const { return Markers(limit).X(east_km); }

std::int64_t MapView::PixelY(double north_km, std::int64_t limit) const { return Markers(limit).Y(north_km); }

MapView::TileRange MapView::Tiles() const {
  const double s = scale;
  TileRange r;
  r.south = static_cast<std::int64_t>(std::floor(ViewNorthMin() / s) * s);
  r.north = static_cast<std::int64_t>(std::floor(ViewNorthMax() / s) * s);
  r.west = static_cast<std::int64_t>(std::floor(ViewEastMin() / s) * s);
  r.east = static_cast<std::int64_t>(std::floor(ViewEastMax() / s) * s);
  return r;
}

MapView::TileRect MapView::TilePlacement(std::int64_t north_km, std::int64_t east_km) const {
  const double m = MetresPerPixel();
  const double s = scale;
  TileRect t;
  t.x = static_cast<std::int64_t>(
      std::floor(widthPx / 2 - std::floor((centreEastKm + 0.0001 - static_cast<double>(east_km)) * 1000 / m)));
  const double top = static_cast<double>(north_km) + s - s / 1000;
  t.y = static_cast<std::int64_t>(std::floor(std::floor((centreNorthKm + 0.0001 - top) * 1000 / m) + heightPx / 2 - 1));
  t.side = 1000 / zoom;
  return t;
}

int ScaleLevel(double scale) {
  for (int i = 0; i < 6; ++i)
    if (scale == kTileScales[i]) return i;
  return -1;
}

double CoarserScale(double scale) {
  const int l = ScaleLevel(scale);
  return l > 0 ? kTileScales[l - 1] : scale;
}

double FinerScale(double scale) {
  const int l = ScaleLevel(scale);
  return l >= 0 && l < 5 ? kTileScales[l + 1] : scale;
}

}  // namespace zeblon::map
