#include "map/readouts.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "map/compute_text.h"
#include "settings/text_files.h"

namespace zeblon::map {

namespace {

// Whole number below or at x, for values that are finite.
std::int64_t IntOf(double x) { return FloorMetres(x); }

// The km texts of a grid position in metres: northing lowered to 9999.999 km.
void GridTexts(double eastingMetres, double northingMetres, std::string& northText, std::string& eastText) {
  double northKm = northingMetres / 1000.0;
  if (northKm > 9999.999) northKm = 9999.999;
  const double eastKm = eastingMetres / 1000.0;
  northText = ReadoutKmText(northKm, ReadoutMetres(northKm));
  eastText = ReadoutKmText(eastKm, ReadoutMetres(eastKm), true);
}

}  // namespace

// ---------------------------------------------------------------------------
// Texts.

std::string ReadoutKmText(double km, std::uint64_t metres, bool eightDigitEasting) {
  // At least three digits, so that metres below 100 read as ".005", ".050".
  std::string digits = std::to_string(metres);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  std::string t = km == 0.0 ? std::string("0000") : " " + digits;
  t = PadFront(std::move(t), 8);
  if (eightDigitEasting && metres >= 10000000u && km != 0.0) {
    t = t.substr(0, 6) + "." + t.substr(6, 2);
  } else {
    t = t.substr(0, 5) + "." + LastChars(t, 3);
  }
  if (km < 0.0) t[0] = '-';
  return t;
}

std::uint64_t ReadoutMetres(double km) {
  if (!std::isfinite(km)) return 0;
  const std::int64_t m = IntOf(km * 1000.0 + 0.01);
  return m < 0 ? static_cast<std::uint64_t>(-(m + 1)) + 1u : static_cast<std::uint64_t>(m);
}

std::string CentreValueText(double km) { return ReadoutKmText(km, ReadoutMetres(km)); }

double CutToWholeMetres(double km) {
  if (!std::isfinite(km)) return km;
  return std::floor((km + 0.0001) * 1000.0) / 1000.0;
}

std::string TrackedValueText(double km) {
  if (!(km <= 9999.999 && km >= -9999.999)) return std::string();
  const double m = std::fabs(std::round(km * 1000.0));  // the value holds whole metres
  return ReadoutKmText(km, static_cast<std::uint64_t>(m));
}

std::string LatLonText(double degrees) {
  const double x = std::isfinite(degrees) ? degrees : 0.0;
  const double d = std::trunc(x);
  const double m = (std::fabs(x) - std::fabs(d)) * 60.0;
  const double mm = std::trunc(m);
  const double hh = std::trunc((m - mm) * 100.0);
  std::string t =
      PadFront(std::to_string(IntOf(std::fabs(d))), 3) + ":" + TwoDigits(IntOf(mm)) + "." + TwoDigits(IntOf(hh));
  if (t[0] == ' ' && x < 0.0) t[0] = '-';
  return t;
}

std::string MaidenheadLocator(double latitude, double longitude) {
  if (!(latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0)) {
    return std::string(6, ' ');
  }
  const double a = latitude + 90.0;
  const double b = longitude + 180.0;
  std::string loc(6, ' ');
  loc[0] = static_cast<char>('A' + IntOf(b / 20.0));
  loc[1] = static_cast<char>('A' + IntOf(a / 10.0));
  loc[2] = static_cast<char>('0' + (IntOf(b) % 20) / 2);
  loc[3] = static_cast<char>('0' + IntOf(a) % 10);
  loc[4] = static_cast<char>('A' + IntOf((b - 2.0 * static_cast<double>(IntOf(b / 2.0))) * 60.0 / 5.0));
  loc[5] = static_cast<char>('A' + IntOf((a - static_cast<double>(IntOf(a))) * 60.0 / 2.5));
  return loc;
}

// ---------------------------------------------------------------------------
// Point conversion.

MapPoint ConvertMapKmToLatLon(double northKm, double eastKm, double mapCentralMeridian, double mapFalseEasting) {
  MapPoint p;
  geodesy::ConvertUtmToLatLon(p.longitude, p.latitude, mapCentralMeridian, eastKm * 1000.0, northKm * 1000.0,
                              mapFalseEasting);
  p.latText = LatLonText(p.latitude);
  p.lonText = LatLonText(p.longitude);
  return p;
}

std::string MeridianText(double meridian) { return LastChars(PadFront(NumberTextUntrimmed(meridian), 3), 3); }

ZoneMeridians ComputeZoneMeridians(double centreLongitude) {
  ZoneMeridians z;
  z.gkCentralMeridian = geodesy::GaussKruegerCentralMeridianFor(centreLongitude);
  z.ownZoneCentralMeridian = geodesy::OwnZoneCentralMeridianFor(centreLongitude);
  z.gkCentralMeridianText = MeridianText(z.gkCentralMeridian);
  z.ownZoneMeridianText = MeridianText(z.ownZoneCentralMeridian);
  const std::int64_t zone = IntOf(z.ownZoneCentralMeridian + 186.0) / 6;
  z.ownZoneText = PadFront(std::to_string(zone), 2);
  return z;
}

AllSystemsTexts ConvertLatLonToAllSystems(double latitude, double longitude, const ZoneMeridians& zones,
                                          double mapFalseEasting, double rt90CentralMeridian, double rt90FalseEasting) {
  AllSystemsTexts t;
  double x = 0, y = 0, z = 0, xp = 0, yp = 0, zp = 0, lon = 0, lat = 0, e = 0, n = 0;

  // Gauss-Krueger through the Potsdam datum.
  const double gkFalseEasting = geodesy::GaussKruegerFalseEasting(zones.gkCentralMeridian);
  geodesy::ConvertLatLonToGeocentricGrs80(x, y, z, longitude, latitude);
  geodesy::ShiftWgs84ToPotsdam(xp, yp, zp, x, y, z);
  geodesy::ConvertGeocentricToLatLonBessel(xp, yp, zp, lon, lat);
  geodesy::ConvertLatLonToGaussKrueger(lon, lat, zones.gkCentralMeridian, e, n, gkFalseEasting);
  GridTexts(e, n, t.gkNorth, t.gkEast);

  // UTM of the own zone.
  e = n = 0;
  geodesy::ConvertLatLonToUtm(longitude, latitude, zones.ownZoneCentralMeridian, e, n, mapFalseEasting);
  GridTexts(e, n, t.ownZoneNorth, t.ownZoneEast);

  // RT90.
  e = n = 0;
  geodesy::ConvertLatLonToGeocentricGrs80(x, y, z, longitude, latitude);
  geodesy::TransformSweref99ToRt90(xp, yp, zp, x, y, z);
  geodesy::ConvertGeocentricToLatLonBessel(xp, yp, zp, lon, lat);
  geodesy::ConvertLatLonToGaussKrueger(lon, lat, rt90CentralMeridian, e, n, rt90FalseEasting);
  GridTexts(e, n, t.rt90North, t.rt90East);

  t.locator = MaidenheadLocator(latitude, longitude);
  return t;
}

// ---------------------------------------------------------------------------
// The read-out labels.

int NextReadoutSystem(int system, double mapCentralMeridian) {
  int next = ((system + 1) % 5 + 5) % 5;
  if (mapCentralMeridian < -30.0 || mapCentralMeridian > 60.0) {
    if (next == kReadoutGaussKrueger)
      next = kReadoutOwnZone;
    else if (next == kReadoutRt90)
      next = kReadoutMapZone;
  }
  return next;
}

ReadoutCaptions ReadoutCaptionsFor(ReadoutPair pair, int system, double northKm, double eastKm,
                                   const std::string& northText, const std::string& eastText,
                                   const ReadoutFrame& frame) {
  const char* ending = pair == ReadoutPair::kCentre ? "cen" : pair == ReadoutPair::kCursor ? "crs" : "mon";
  const std::string end(ending);
  auto first15 = [](std::string s) { return s.size() > 15 ? s.substr(0, 15) : s; };
  ReadoutCaptions c;
  switch (system) {
    case kReadoutLatLon: c.north = "GLL" + end; break;
    case kReadoutGaussKrueger: c.north = "GK " + end; break;
    case kReadoutRt90: c.north = "RNN" + end; break;
    default: c.north = "UTM" + end; break;
  }
  if (system < kReadoutLatLon || system > kReadoutRt90) {
    c.north += northText;
    c.east = first15(frame.mapZoneText + "!" + LastChars(frame.mapMeridianText, 3) + eastText);
    return c;
  }
  if (system == kReadoutRt90) c.east = "RNE" + end;
  try {
    c.point = ConvertMapKmToLatLon(northKm, eastKm, frame.mapCentralMeridian, frame.mapFalseEasting);
    c.converted = true;
    if (system == kReadoutLatLon) {
      c.north += c.point.latText;
      c.east = first15(MaidenheadLocator(c.point.latitude, c.point.longitude) + c.point.lonText);
      return c;
    }
    const AllSystemsTexts t =
        ConvertLatLonToAllSystems(c.point.latitude, c.point.longitude, frame.zones, frame.mapFalseEasting,
                                  frame.rt90CentralMeridian, frame.rt90FalseEasting);
    if (system == kReadoutGaussKrueger) {
      c.north += t.gkNorth;
      c.east = first15("  |" + LastChars(frame.zones.gkCentralMeridianText, 3) + t.gkEast);
    } else if (system == kReadoutOwnZone) {
      c.north += t.ownZoneNorth;
      c.east = first15(frame.zones.ownZoneText + "|" + LastChars(frame.zones.ownZoneMeridianText, 3) + t.ownZoneEast);
    } else {
      c.north += t.rt90North;
      c.east += t.rt90East;
    }
  } catch (const geodesy::GeodesyError&) {
    // Only the tags: the point has no value in this system.
  }
  return c;
}

// ---------------------------------------------------------------------------
// Cursor and MONI 1 read-outs.

MapKm CursorPosition(double centreNorth, double centreEast, double cursorX, double cursorY, double mapWidthPx,
                     double mapHeightPx, double metresPerPixel) {
  MapKm p;
  p.north = CutToWholeMetres(centreNorth - (cursorY - (mapHeightPx / 2.0 - 1.0)) * metresPerPixel / 1000.0);
  p.east = CutToWholeMetres(centreEast + (cursorX - mapWidthPx / 2.0) * metresPerPixel / 1000.0);
  return p;
}

namespace {

constexpr double kArcLimit = 0.999999999999;

double HoldArc(double x) {
  if (std::isnan(x)) return 0.0;
  return std::clamp(x, -kArcLimit, kArcLimit);
}

// The arc cosine as Pi / 2 - Atn(x / Sqr(1 - x^2)).
double ArcCos(double x) { return geodesy::kShortPi / 2.0 - std::atan(x / std::sqrt(1.0 - x * x)); }

// Minutes since 2000-01-01 of a record's "YYMMDD HHMM" (columns 1-11), or
// false when they are no date and time.
bool RecordMinutes(const std::string& record, std::int64_t& minutes) {
  if (record.size() < 11) return false;
  auto number = [&](std::size_t pos, std::size_t len, int& v) {
    v = 0;
    for (std::size_t i = pos; i < pos + len; ++i) {
      if (record[i] < '0' || record[i] > '9') return false;
      v = v * 10 + (record[i] - '0');
    }
    return true;
  };
  int yy, mo, dd, hh, mi;
  if (!number(0, 2, yy) || !number(2, 2, mo) || !number(4, 2, dd) || record[6] != ' ' || !number(7, 2, hh) ||
      !number(9, 2, mi)) {
    return false;
  }
  const std::chrono::year_month_day day{std::chrono::year(2000 + yy), std::chrono::month(mo), std::chrono::day(dd)};
  if (!day.ok() || hh > 23 || mi > 59) return false;
  const auto days = std::chrono::sys_days(day).time_since_epoch().count();
  minutes = static_cast<std::int64_t>(days) * 1440 + hh * 60 + mi;
  return true;
}

}  // namespace

DistanceBearing ComputeDistanceBearing(double lat1, double lon1, double lat2, double lon2) {
  const double toRad = geodesy::kShortPi / 180.0;
  const double p1 = lat1 * toRad, l1 = lon1 * toRad, p2 = lat2 * toRad, l2 = lon2 * toRad;
  const double c = HoldArc(std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(l2 - l1));
  const double d = ArcCos(c);
  DistanceBearing r;
  r.distanceKm = d * 180.0 / geodesy::kShortPi * 111.12;
  const double x = HoldArc((std::sin(p2) - std::sin(p1) * std::cos(d)) / (std::cos(p1) * std::sin(d)));
  double a = ArcCos(x);
  if (std::sin(l2 - l1) < 0.0) a = 2.0 * geodesy::kShortPi - a;
  r.bearing = a * 180.0 / geodesy::kShortPi;
  return r;
}

DistanceBearing ComputeMoniOneDistanceBearing(const MapKm& user, const MapKm& moniOne, double mapCentralMeridian,
                                              double mapFalseEasting, MapPoint& moniOnePoint) {
  const MapPoint u = ConvertMapKmToLatLon(user.north, user.east, mapCentralMeridian, mapFalseEasting);
  moniOnePoint = ConvertMapKmToLatLon(moniOne.north, moniOne.east, mapCentralMeridian, mapFalseEasting);
  return ComputeDistanceBearing(u.latitude, u.longitude, moniOnePoint.latitude, moniOnePoint.longitude);
}

std::string MoniOneSpeedText(const std::vector<std::string>& track, int count) {
  if (count <= 1 || static_cast<std::size_t>(count) >= track.size()) return std::string();
  std::int64_t t0 = 0;
  if (!RecordMinutes(track[count], t0)) return std::string();
  int k = count;
  std::int64_t gap = 0;
  while (gap < 3 && k > 1) {
    --k;
    std::int64_t tk = 0;
    if (!RecordMinutes(track[k], tk)) return std::string();
    gap = t0 - tk;
  }
  if (gap < 1) return std::string();
  auto km = [](const std::string& r, std::size_t pos) {
    return r.size() >= pos + 9 ? LeadingNumber(std::string_view(r).substr(pos, 9)) : 0.0;
  };
  const double dn = km(track[count], 13) - km(track[k], 13);
  const double de = km(track[count], 22) - km(track[k], 22);
  return std::to_string(IntOf(std::sqrt(dn * dn + de * de) * 60.0 / static_cast<double>(gap)));
}

std::string MoniOneLine(double distanceKm, double bearing, const std::string& speedText, const std::string& via) {
  std::string line = "DIST:       km   DIR:     \xB0   SPEED:     km/h   VIA:";
  auto put = [&line](std::string text, std::size_t width, std::size_t column) {
    text = LastChars(PadFront(std::move(text), width), width);
    line.replace(column - 1, width, text);
  };
  put(NumberText(RoundHalfEven(distanceKm)), 6, 6);
  put(NumberText(RoundHalfEven(bearing)), 4, 22);
  put(speedText, 4, 37);
  const std::string v = Trim(via);
  line += " " + (v.empty() ? std::string("-") : v);
  return line;
}

}  // namespace zeblon::map
