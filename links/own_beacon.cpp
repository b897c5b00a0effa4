#include "links/own_beacon.h"

#include <chrono>
#include <cmath>
#include <fstream>

#include "geodesy/geodesy.h"
#include "platform/paths.h"
#include "settings/interface_kind.h"
#include "settings/text_files.h"

namespace zeblon::links {
namespace {

std::string Digits(long long value, int width) {
  std::string t = std::to_string(value < 0 ? -value : value);
  while (static_cast<int>(t.size()) < width) t.insert(t.begin(), '0');
  return t;
}

// Degrees, minutes and hundredths of a minute, truncated.
std::string DegreesMinutes(double value, int degreeDigits) {
  const double a = std::fabs(value);
  long long hundredths = static_cast<long long>(std::floor(a * 6000.0 + 1e-7));
  const long long degrees = hundredths / 6000;
  hundredths %= 6000;
  return Digits(degrees, degreeDigits) + Digits(hundredths / 100, 2) + "." + Digits(hundredths % 100, 2);
}

}  // namespace

LatLon MapKmToLatLon(double northKm, double eastKm, double centralMeridian, double falseEastingMetres) {
  LatLon p;
  geodesy::ConvertUtmToLatLon(p.lon, p.lat, centralMeridian, eastKm * 1000.0, northKm * 1000.0, falseEastingMetres);
  return p;
}

std::string FormatAprsPosition(const LatLon& p, std::string_view row, std::string_view overlay) {
  std::string out = DegreesMinutes(p.lat, 2) + (p.lat < 0 ? "S" : "N");
  out += row.empty() ? '/' : row[0];
  out += DegreesMinutes(p.lon, 3) + (p.lon < 0 ? "W" : "E");
  out += row.size() > 1 ? row[1] : '/';
  if (row.find("No.") != std::string_view::npos && !overlay.empty()) out[8] = overlay.back();
  return out;
}

std::string FormatUtcDayTime(const reception::LocalTime& now, int utcOffsetHours) {
  using namespace std::chrono;
  const sys_days day{year{now.year} / month{static_cast<unsigned>(now.month)} /
                     std::chrono::day{static_cast<unsigned>(now.day)}};
  const auto t = day + hours{now.hour} + minutes{now.minute} - hours{utcOffsetHours};
  const auto d = floor<days>(t);
  const year_month_day ymd{d};
  const auto hm = t - d;
  const long long mins = duration_cast<minutes>(hm).count();
  return Digits(static_cast<unsigned>(ymd.day()), 2) + Digits(mins / 60, 2) + Digits(mins % 60, 2);
}

std::string StatusText(const BeaconSettings& s) {
  const std::string ending = s.aprsIsVerified ? "Bd & IGate R->I active" : "Bd active";
  if (s.digiOn && InterfaceKindOf(s.interfaceKind) == InterfaceKind::ScsTnc && s.crossMode != "NONE" &&
      s.radioMode != s.crossMode) {
    if (!s.crossMode.empty() && s.crossMode[0] == 'R') return "ZEBLON  Gate -> RPR " + s.crossMode.substr(1) + ending;
    return "ZEBLON  Gate to FSK " + s.crossMode + ending;
  }
  if (s.digiOn) return s.aprsIsVerified ? "ZEBLON  Digi & IGate R->I active" : "ZEBLON  Digi active";
  if (s.aprsIsVerified) return "ZEBLON  IGate R->I active";
  return {};
}

std::optional<std::string> LongestLineOfFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string longest, line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string t = Trim(line);
    if (t.size() > longest.size()) longest = std::move(t);
  }
  if (in.bad()) return std::nullopt;
  std::string clean;
  for (char c : longest)
    if (static_cast<unsigned char>(c) >= 32) clean += c;
  if (clean.size() > 63) clean.resize(63);
  return clean;
}

std::filesystem::path InfoFilePath(const std::string& name, const std::filesystem::path& programFolder) {
  std::filesystem::path p = platform::WindowsPathToLinux(name, programFolder);
  if (p.is_relative()) p = programFolder / p;
  return platform::ResolveOrSame(p);
}

std::optional<std::string> OwnBeacon::NextInfoField(const BeaconSettings& s, const reception::LocalTime& now,
                                                    bool statusRequest) {
  if (Trim(s.userCall).empty() || (s.userNorth == 0 && s.userEast == 0)) return std::nullopt;

  std::string comment;
  if (statusRequest) {
    comment = StatusText(s);
  } else {
    int i = infoLineIndex_ + 1;
    if (i > 6) i = 1;
    int found = 0;
    for (int k = 0; k < 6; ++k) {
      const int n = (i - 1 + k) % 6 + 1;
      if (s.infoActive[n - 1]) {
        found = n;
        break;
      }
    }
    infoLineIndex_ = found == 0 ? 6 : found;
    if (found != 0) comment = s.infoLines[found - 1];
  }

  const LatLon p = MapKmToLatLon(s.userNorth, s.userEast, s.mapCentralMeridian, s.mapFalseEasting);
  std::string field = s.txTimestamp && s.gpsTimeValid ? "@" + FormatUtcDayTime(now, s.utcOffsetHours) + "z" : "=";
  field += FormatAprsPosition(p, s.symbolRow, s.overlay);

  comment = Trim(comment);
  if (comment.empty()) return field;
  if (comment.size() >= 2 && comment.front() == '{' && comment.back() == '}') {
    const std::string name = comment.substr(1, comment.size() - 2);
    if (name.empty()) return field;
    const std::filesystem::path path = resolvePath ? resolvePath(name) : std::filesystem::path(name);
    if (const auto line = LongestLineOfFile(path)) {
      field += *line;
      unreadable_.erase(name);
    } else if (unreadable_.insert(name).second && tell) {
      tell("INFO LINE FILE " + name + " NOT READ (" + path.string() + "): BEACON WITHOUT COMMENT");
    }
    return field;
  }
  field += " " + comment.substr(0, 63);
  return field;
}

}  // namespace zeblon::links
