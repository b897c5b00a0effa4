#include "links/object_beacon.h"

#include <cmath>

#include "geodesy/geodesy.h"
#include "links/own_beacon.h"
#include "links/tx_setup.h"
#include "reception/station_record.h"
#include "settings/text_files.h"
#include "reception/symbol_table.h"

namespace zeblon::links {

ObjectBeaconSettings ObjectBeaconSettingsFrom(const Settings& s, double mapCentralMeridian, double mapFalseEasting) {
  ObjectBeaconSettings o;
  o.userCall = s.UserCall;
  o.userNorth = s.UserNorth;
  o.userEast = s.UserEast;
  o.mapCentralMeridian = mapCentralMeridian;
  o.mapFalseEasting = mapFalseEasting;
  o.name = s.ObjectName;
  o.north = s.ObjectNorth;
  o.east = s.ObjectEast;
  o.symbolIndex = s.ObjectSymbolIndex;
  o.overlay = s.ObjectOverlay;
  o.text = s.ObjectText;
  o.utcOffsetHours = static_cast<int>(s.UtcOffsetHours);
  return o;
}

std::optional<std::string> ObjectInfoField(const ObjectBeaconSettings& s, const reception::LocalTime& now) {
  if (Trim(s.userCall).empty() || (s.userNorth == 0 && s.userEast == 0)) return std::nullopt;
  // A nameless object is no object: it is never sent.
  const std::string name = reception::Printable(TrimRight(s.name));
  if (Trim(name).empty() || !SymbolIndexValid(s.symbolIndex)) return std::nullopt;

  // Only a digit or a capital letter can stand in the table's place.
  std::string overlay;
  if (s.overlay.size() == 1) {
    const char c = s.overlay[0];
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) overlay = s.overlay;
  }
  const std::string& row = reception::StandardSymbolTable()[static_cast<std::size_t>(s.symbolIndex)];
  // A position no latitude and longitude can show (a settings file's stray number).
  LatLon p;
  try {
    p = MapKmToLatLon(s.north, s.east, s.mapCentralMeridian, s.mapFalseEasting);
  } catch (const geodesy::GeodesyError&) {
    return std::nullopt;
  }
  if (!std::isfinite(p.lat) || !std::isfinite(p.lon) || std::fabs(p.lat) >= 90 || std::fabs(p.lon) >= 180)
    return std::nullopt;
  // The projection's series give some latitude for any number: the point must come back.
  double backEast = 0, backNorth = 0;
  geodesy::ConvertLatLonToUtm(p.lon, p.lat, s.mapCentralMeridian, backEast, backNorth, s.mapFalseEasting);
  if (!(std::fabs(backNorth / 1000.0 - s.north) < 0.01 && std::fabs(backEast / 1000.0 - s.east) < 0.01))
    return std::nullopt;

  std::string field = ";" + name.substr(0, 9);
  field.resize(10, ' ');
  field += "*" + FormatUtcDayTime(now, s.utcOffsetHours) + "z";
  field += FormatAprsPosition(p, row, overlay);
  field += " " + reception::Printable(s.text.substr(0, kObjectCommentLimit));
  return field;
}

}  // namespace zeblon::links
