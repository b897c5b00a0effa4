#include "map/outside_maps.h"

#include <cmath>
#include <cstdio>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "platform/paths.h"

namespace zeblon::map {
namespace {

constexpr double kZone33Meridian = 15.0;
constexpr double kFalseEasting = 500000.0;

LatLon UtmToLatLon(double north_m, double east_m, double central_meridian) {
  LatLon p;
  try {
    geodesy::ConvertUtmToLatLon(p.longitude, p.latitude, central_meridian, east_m, north_m, kFalseEasting);
  } catch (const geodesy::GeodesyError&) {
    p = {};
  }
  return p;
}

// The text of a piece between two positions (0-based, end excluded), read as a number.
double ValueOf(std::string_view text, std::size_t from, std::size_t to) {
  if (from >= text.size() || to <= from) return 0;
  return LeadingNumber(text.substr(from, std::min(to, text.size()) - from));
}

}  // namespace

std::string DecimalDegreeText(double degrees) {
  if (!std::isfinite(degrees)) return "0.";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.7f", degrees);
  std::string t = buf;
  while (!t.empty() && t.back() == '0') t.pop_back();
  if (t == "-0.") t = "0.";  // a value that rounds to zero has no sign
  return t;
}

std::string WebMapAddress(WebMap map, double centre_north_km, double centre_east_km) {
  const double north_m = centre_north_km * 1000.0;
  const double east_m = centre_east_km * 1000.0;
  switch (map) {
    case WebMap::kGoogleMaps: {
      const LatLon p = UtmToLatLon(north_m, east_m, kZone33Meridian);
      return "https://www.google.com/maps/@" + DecimalDegreeText(p.latitude) + "," + DecimalDegreeText(p.longitude) +
             ",1008m/data=!3m1!1e3";
    }
    case WebMap::kSwedish:
      return "https://minkarta.lantmateriet.se/?e=" + NumberText(east_m) + "&n=" + NumberText(north_m) +
             "&z=12&background=2&boundaries=false";
    case WebMap::kNorwegian:
      return "https://norgeskart.no/#!?project=norgeskart&layers=1003&zoom=14&lat=" + NumberText(north_m) +
             "&lon=" + NumberText(east_m);
    case WebMap::kFinnish: {
      const LatLon p = UtmToLatLon(north_m, east_m, kZone33Meridian);
      double e = 0, n = 0;
      try {
        geodesy::ConvertLatLonToUtm(p.longitude, p.latitude, geodesy::kFinnishCentralMeridian, e, n, kFalseEasting);
      } catch (const geodesy::GeodesyError&) {
      }
      return "https://asiointi.maanmittauslaitos.fi/karttapaikka/?share=customMarker&n=" + NumberText(std::floor(n)) +
             "&e=" + NumberText(std::floor(e)) +
             "&title=&desc=&zoom=11&layers=%5B%7B%22id%22%3A3%2C%22opacity%22%3A100%7D%5D&lang=sv";
    }
  }
  return {};
}

KmlPlacemark PlacemarkAt(double centre_north_km, double centre_east_km, double central_meridian, bool follows_moni_one,
                         long moni_one_count, std::string_view moni_one_call, std::string_view moni_one_time_caption) {
  KmlPlacemark k;
  const LatLon p = UtmToLatLon(centre_north_km * 1000.0, centre_east_km * 1000.0, central_meridian);
  k.latitude = p.latitude;
  k.longitude = p.longitude;
  if (follows_moni_one && moni_one_count > 0) {
    k.name = std::string(moni_one_call) + "  " + std::string(moni_one_time_caption);
  } else {
    k.name = DecimalDegreeText(p.latitude) + "  " + DecimalDegreeText(p.longitude);
  }
  return k;
}

std::string KmlText(const KmlPlacemark& k) {
  std::string t;
  for (const std::string& line :
       {std::string("<kml>"), std::string("<Placemark>"), "<name> " + k.name + "</name>", std::string("<Point>"),
        "<coordinates>" + DecimalDegreeText(k.longitude) + "," + DecimalDegreeText(k.latitude) + "</coordinates>",
        std::string("</Point>"), std::string("</Placemark>"), std::string("</kml>")}) {
    t += line;
    t += "\r\n";
  }
  return t;
}

std::optional<LatLon> ParseGlobePosition(std::string_view t) {
  constexpr char kDegree = '\xB0', kMinute = '\'', kSecond = '"';
  LatLon p;
  if (t.size() >= 12 && t[11] == kDegree) {
    p.latitude = ValueOf(t, 0, 11);
    p.longitude = ValueOf(t, 12, 24);
  }
  const auto first_and_last = [&](char c, std::size_t& first, std::size_t& last) {
    first = t.find(c);
    last = std::string_view::npos;
    if (first != std::string_view::npos) {
      const std::size_t l = t.rfind(c);
      if (l != first) last = l;
    }
  };
  std::size_t d1, d2, m1, m2, s1, s2;
  first_and_last(kDegree, d1, d2);
  first_and_last(kMinute, m1, m2);
  first_and_last(kSecond, s1, s2);
  constexpr auto npos = std::string_view::npos;
  const bool letters_south = t.find('S') != npos;
  const bool letters_west = t.find('W') != npos || t.find('V') != npos;
  if (d1 != npos && m1 != npos && s1 != npos && d2 != npos && m2 != npos && s2 != npos) {
    p.latitude = ValueOf(t, 0, d1) + ValueOf(t, d1 + 1, m1) / 60 + ValueOf(t, m1 + 1, s1) / 3600;
    p.longitude = ValueOf(t, s1 + 3, d2) + ValueOf(t, d2 + 1, m2) / 60 + ValueOf(t, m2 + 1, s2) / 3600;
    if (letters_south) p.latitude = -p.latitude;
    if (letters_west) p.longitude = -p.longitude;
  } else if (d1 != npos && m1 != npos && d2 != npos && m2 != npos && s1 == npos) {
    p.latitude = ValueOf(t, 0, d1) + ValueOf(t, d1 + 1, m1) / 60;
    p.longitude = ValueOf(t, m1 + 3, d2) + ValueOf(t, d2 + 1, m2) / 60;
    if (letters_south) p.latitude = -p.latitude;
    if (letters_west) p.longitude = -p.longitude;
  } else if (d1 != npos && d2 != npos && m1 == npos && s1 == npos) {
    p.latitude = ValueOf(t, 0, d1);
    p.longitude = ValueOf(t, d1 + 1, d2);
  }
  if (p.latitude == 0 && p.longitude == 0) return std::nullopt;
  return p;
}

std::optional<LatLon> ParseWebMapAddress(std::string_view t) {
  const std::size_t a = t.find('@');
  const std::size_t c1 = t.find(',');
  if (a == std::string_view::npos || c1 == std::string_view::npos || c1 < a) return std::nullopt;
  const std::size_t c2 = t.find(',', c1 + 1);
  if (c2 == std::string_view::npos) return std::nullopt;
  LatLon p{ValueOf(t, a + 1, c1), ValueOf(t, c1 + 1, c2)};
  if (p.latitude == 0 && p.longitude == 0) return std::nullopt;
  return p;
}

CentreKm CentreOfLatLon(const LatLon& p, double central_meridian, double false_easting) {
  double e = 0, n = 0;
  try {
    geodesy::ConvertLatLonToUtm(p.longitude, p.latitude, central_meridian, e, n, false_easting);
  } catch (const geodesy::GeodesyError&) {
    return {};
  }
  return {std::floor(n) / 1000.0, std::floor(e) / 1000.0};
}

std::filesystem::path NextSavedMapFile(const std::filesystem::path& folder) {
  for (long n = 1;; ++n) {
    std::string num = std::to_string(n);
    if (num.size() < 4) num.insert(0, 4 - num.size(), '0');
    const std::filesystem::path file = folder / ("MAP_" + num + ".BMP");
    if (!platform::ResolveCaseInsensitive(file)) return file;
  }
}

std::optional<std::string> SaveMapQuestion(int language_setting, std::string_view file_name) {
  const char* q = nullptr;
  switch (((language_setting % 10) + 10) % 10) {
    case 1: q = "SAVE MAP WINDOW TO FILE...  "; break;
    case 2: q = "KARTENFENSTER ALS DATEI SPEICHERN...  "; break;
    case 3: q = "SPARA KARTF\xD6NSTRET SOM FIL...  "; break;
    default: return std::nullopt;
  }
  return std::string(q) + std::string(file_name);
}

}  // namespace zeblon::map
