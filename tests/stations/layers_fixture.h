// A map picture with the station layers over stores filled by the receive
// pass, and the helpers the pixel probes and screenshots share.
#pragma once

#include <QDir>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <string>

#include "geodesy/geodesy.h"
#include "map/layers/layer.h"
#include "received.h"
#include "scene.h"
#include "stations/station_layers.h"

namespace zeblon::stations::testing {

using scene::Position;

// Map km (north, east) of zone 33.
inline std::pair<double, double> MapKm(double lat, double lon) {
  double e = 0, n = 0;
  ::geodesy::ConvertLatLonToUtm(lon, lat, 15.0, e, n, 500000.0);
  return {n / 1000, e / 1000};
}

inline void LoadProgramFonts() {
  static bool done = false;
  if (done) return;
  done = true;
  QDir fonts(QStringLiteral(ZEBLON_PROGRAM_DIR "/FONTS"));
  for (const QString& f : fonts.entryList({QStringLiteral("*.TTF"), QStringLiteral("*.ttf")}))
    QFontDatabase::addApplicationFont(fonts.filePath(f));
}

class StationMap : public Received {
 public:
  StationMap() : sheets(ZEBLON_PROGRAM_DIR) {
    LoadProgramFonts();
    sheets.Reload();
    view = map::MapView::ForZone(33);
    view.scale = 50;
    view.widthPx = 800;
    view.heightPx = 600;
  }
  void CentreOn(double lat, double lon) {
    const auto [n, e] = MapKm(lat, lon);
    view.centreNorthKm = n;
    view.centreEastKm = e;
  }
  reception::LocalTime Now() const { return now; }
  // Draws the map: a plain ground colour, the MONI ALL pass, the MONI 1 pass.
  // `throughPainter`: with a clip on the painter, so that every figure goes
  // through the painter rather than straight into the picture's pixels.
  QImage Draw(bool moniAll = true, bool moniOne = true, bool throughPainter = false) {
    QImage img(static_cast<int>(view.widthPx), static_cast<int>(view.heightPx), QImage::Format_RGB32);
    img.fill(kGround);
    QPainter p(&img);
    if (throughPainter) p.setClipRect(img.rect());
    p.setFont(map::MapFont());
    MoniAllLayer all(st.stations, st.alarm, st.settings.moniOneCall, settings, sheets, [this] { return now; });
    MoniOneLayer one(st.stations, settings, sheets, [this] { return now; });
    if (moniAll) all.render(p, view);
    if (moniOne) one.render(p, view);
    lastOrder = all.DrawnOrder();
    return img;
  }
  // The pixel of a record's position.
  QPoint PixelOf(const std::string& record) const {
    const RecordView r(record);
    return {static_cast<int>(view.PixelX(r.EastKm())), static_cast<int>(view.PixelY(r.NorthKm()))};
  }
  QPoint PixelOfLatLon(double lat, double lon) const {
    const auto [n, e] = MapKm(lat, lon);
    return {static_cast<int>(view.PixelX(e)), static_cast<int>(view.PixelY(n))};
  }

  static inline const QColor kGround{40, 90, 40};
  SymbolSheets sheets;
  StationDrawSettings settings;
  map::MapView view;
  reception::LocalTime now{2024, 5, 1, 12, 40, 0};
  std::vector<std::string> lastOrder;
};

inline QColor At(const QImage& img, int x, int y) { return img.pixelColor(x, y); }
inline QColor At(const QImage& img, QPoint p, int dx = 0, int dy = 0) { return img.pixelColor(p.x() + dx, p.y() + dy); }

}  // namespace zeblon::stations::testing
