// A busy scene for the station display's screenshots and benchmark: map-like
// tiles (land with lakes) around a centre, and a set of heard stations of every
// kind as TNC2 lines, with the times they were heard.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "map/bmp.h"
#include "map/map_tile.h"

namespace zeblon::stations::scene {

// 24-bit tiles of `scaleKm` (one of the tile scales) covering the corners
// [n0, n1] x [e0, e1] km, written into root / tag.
inline void WriteLandTiles(const std::filesystem::path& root, int scaleKm, double n0, double n1, double e0, double e1) {
  const std::filesystem::path folder = root / zeblon::map::ScaleTag(scaleKm);
  std::filesystem::create_directories(folder);
  const auto corner = [scaleKm](double km) { return static_cast<std::int64_t>(std::floor(km / scaleKm)) * scaleKm; };
  for (std::int64_t n = corner(n0); n <= corner(n1); n += scaleKm)
    for (std::int64_t e = corner(e0); e <= corner(e1); e += scaleKm) {
      QImage tile(zeblon::map::kTilePixels, zeblon::map::kTilePixels, QImage::Format_RGB888);
      tile.fill(QColor(226, 222, 196));
      QPainter p(&tile);
      p.setPen(QPen(QColor(96, 140, 200), 1));
      p.setBrush(QColor(170, 205, 240));
      std::mt19937 rng(static_cast<unsigned>(n * 7919 + e));
      std::uniform_real_distribution<double> at(0, zeblon::map::kTilePixels), size(20, 160);
      for (int k = 0; k < 9; ++k) p.drawEllipse(QPointF(at(rng), at(rng)), size(rng), size(rng) / 2);
      p.setPen(QPen(QColor(200, 120, 60), 3));
      p.drawLine(QPointF(0, at(rng)), QPointF(zeblon::map::kTilePixels, at(rng)));
      p.end();
      tile.save(QString::fromStdString((folder / zeblon::map::TileName(n, e)).string()), "BMP");
    }
}

inline std::string Position(double lat, double lon, char table, char code) {
  char buf[64];
  const double alat = std::fabs(lat), alon = std::fabs(lon);
  const int dlat = static_cast<int>(alat), dlon = static_cast<int>(alon);
  std::snprintf(buf, sizeof buf, "%02d%05.2f%c%c%03d%05.2f%c%c", dlat, (alat - dlat) * 60, lat < 0 ? 'S' : 'N', table,
                dlon, (alon - dlon) * 60, lon < 0 ? 'W' : 'E', code);
  return buf;
}

struct HeardLine {
  std::string line;  // SRC>DEST,PATH:payload
  int minuteOfDay;   // when it was heard
};

// `stations` stations around (lat, lon) within +/- dlat, dlon degrees: mobiles
// that move (several reports each), fixed stations, digipeaters, weather
// stations with full reports, objects, some heard through a digipeater, one
// emergency. Reports are spread over the hours before `endMinute`.
inline std::vector<HeardLine> BusyStations(int stations, unsigned seed, double lat, double lon, double dlat,
                                           double dlon, int endMinute) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-1, 1), unit(0, 1);
  std::vector<HeardLine> out;
  const char* mobiles = ">kvj<bUa";
  const char* fixed = "-yI&h";
  for (int i = 0; i < stations; ++i) {
    char call[16];
    std::snprintf(call, sizeof call, "S%c%d%c%c%c", "MAL"[i % 3], i % 8, 'A' + i % 26, 'A' + (i / 26) % 26,
                  'A' + (i / 676) % 26);
    std::string src = call;
    if (i % 4 == 1) src += "-9";
    const double la = lat + u(rng) * dlat, lo = lon + u(rng) * dlon;
    const std::string path = i % 5 == 0 ? "APRS,SM5DIG*,WIDE2-1" : "APRS,WIDE1-1";
    const int kind = i % 10;
    const int heard = endMinute - static_cast<int>(unit(rng) * 300);
    if (kind <= 3) {  // mobile with a track
      const int reports = 3 + static_cast<int>(unit(rng) * 5);
      const double heading = unit(rng) * 6.283;
      for (int k = 0; k < reports; ++k) {
        const double step = 0.004 * k;
        out.push_back(
            {src + ">" + path + ":!" +
                 Position(la + std::cos(heading) * step, lo + 2 * std::sin(heading) * step, '/', mobiles[i % 8]) +
                 "on the move",
             heard - (reports - k) * 6});
      }
    } else if (kind <= 5) {
      out.push_back({src + ">" + path + ":=" + Position(la, lo, '/', fixed[i % 5]) + "QTH of " + src, heard});
    } else if (kind == 6) {
      out.push_back({src + ">APRS:!" + Position(la, lo, '/', '#') + "digi W2", heard});
    } else if (kind == 7) {
      char wx[64];
      std::snprintf(wx, sizeof wx, "%03d/%03dg%03dt%03dr%03dp%03dP%03dh%02db%05d", static_cast<int>(unit(rng) * 359),
                    static_cast<int>(unit(rng) * 20), static_cast<int>(unit(rng) * 35),
                    static_cast<int>(14 + unit(rng) * 60), static_cast<int>(unit(rng) * 12),
                    static_cast<int>(unit(rng) * 90), static_cast<int>(unit(rng) * 40),
                    static_cast<int>(20 + unit(rng) * 79), static_cast<int>(9800 + unit(rng) * 500));
      out.push_back({src + ">APRS:!" + Position(la, lo, '/', '_') + wx, heard});
    } else if (kind == 8) {
      char name[16];
      std::snprintf(name, sizeof name, "EVENT%-4d", i);
      out.push_back({src + ">APRS:;" + std::string(name) + "*111111z" + Position(la, lo, '/', 'E') + "meeting", heard});
    } else {
      out.push_back({src + ">" + path + ":!" + Position(la, lo, '\\', 'n') + "hiking", heard});
    }
  }
  out.push_back({"SM0SOS>APRS:!" + Position(lat + dlat / 3, lon - dlon / 3, '\\', '!') + "help needed", endMinute - 3});
  std::stable_sort(out.begin(), out.end(),
                   [](const HeardLine& a, const HeardLine& b) { return a.minuteOfDay < b.minuteOfDay; });
  return out;
}

}  // namespace zeblon::stations::scene
