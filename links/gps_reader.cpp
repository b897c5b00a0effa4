#include "links/gps_reader.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "map/readouts.h"
#include "platform/paths.h"
#include "platform/serial_port.h"
#include "settings/text_files.h"

namespace zeblon::links {
namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsSeparator(char c) { return c == ',' || c == '*'; }

// The end of the buffer's complete part: one past its last line end (0: none).
std::size_t CompleteEnd(std::string_view b) {
  for (std::size_t i = b.size(); i > 0; --i) {
    if (IsLineEnd(b[i - 1])) return i;
  }
  return 0;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

GpsFixKind KindAt(std::string_view b, std::size_t i) {
  if (i + 4 > b.size()) return GpsFixKind::None;
  const std::string_view w = b.substr(i, 4);
  if (w == "RMC,") return GpsFixKind::Rmc;
  if (w == "GGA,") return GpsFixKind::Gga;
  if (w == "GLL,") return GpsFixKind::Gll;
  return GpsFixKind::None;
}

// A sentence counts when its checksum is right and its receiver does not call it invalid.
bool Usable(std::string_view b, std::size_t pos, GpsFixKind kind) {
  if (!NmeaChecksumOk(b, pos)) return false;
  const std::string_view s = NmeaSentenceAt(b, pos);
  switch (kind) {
    case GpsFixKind::Rmc: return NmeaField(s, 2) != "V";
    case GpsFixKind::Gga: return NmeaField(s, 6) != "0";
    case GpsFixKind::Gll: return NmeaField(s, 6) != "V";
    case GpsFixKind::None: break;
  }
  return false;
}

double Val(std::string_view t) { return LeadingNumber(t); }

// Degrees and five decimals from a ddmm.mmmm field with `deg` degree characters.
std::string DegreeText(std::string_view field, int deg, char sign_column, bool with_sign) {
  if (field.size() < static_cast<std::size_t>(deg)) return {};
  const double minutes = Val(field.substr(deg));
  if (!(minutes >= 0 && minutes < 60)) return {};
  // The minutes as a fraction of a degree, rounded to 8 decimals; five of them shown.
  const auto e8 = static_cast<long long>(RoundHalfEven(minutes / 60.0 * 1e8));
  char dec[32];
  std::snprintf(dec, sizeof dec, "%05lld", e8 / 1000);
  std::string t = std::string(field.substr(0, deg)) + "." + std::string(dec, 5);
  if (with_sign) t.insert(t.begin(), sign_column);
  if (t.size() > 2 && t[1] == '0') t[1] = ' ';
  if (t.size() > 2 && t[1] == ' ' && t[2] == '0') t[1] = t[2] = ' ';
  return t;
}

// The first sentence of a kind among the complete lines whose checksum is right
// ("" when none).
std::string_view FirstSentence(std::string_view complete, std::string_view kind) {
  for (std::size_t p = complete.find(kind); p != std::string_view::npos; p = complete.find(kind, p + 1)) {
    if (NmeaChecksumOk(complete, p)) return NmeaSentenceAt(complete, p);
  }
  return {};
}

std::string TwoDigits(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v % 100);
  return b;
}

std::string DateText8(const LocalClock& c) {
  char b[16];
  std::snprintf(b, sizeof b, "%04d%02d%02d", c.year % 10000, c.month % 100, c.day % 100);
  return b;
}

bool AppendBytes(const fs::path& file, std::string_view bytes) {
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  std::ofstream f(file, std::ios::binary | std::ios::app);
  if (!f) return false;
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  f.close();
  return !f.fail();
}

// UTC seconds of an RMC date ddmmyy and time hhmmss; -1 when they are not a date-time.
std::time_t RmcUtc(std::string_view date, std::string_view time) {
  if (date.size() < 6 || time.size() < 6) return -1;
  auto num = [](std::string_view t, std::size_t at) {
    const int a = t[at] - '0', b = t[at + 1] - '0';
    return (a < 0 || a > 9 || b < 0 || b > 9) ? -1 : a * 10 + b;
  };
  const int dd = num(date, 0), mo = num(date, 2), yy = num(date, 4);
  const int hh = num(time, 0), mi = num(time, 2), ss = num(time, 4);
  if (dd < 1 || dd > 31 || mo < 1 || mo > 12 || yy < 0 || hh < 0 || hh > 23 || mi < 0 || mi > 59 || ss < 0 || ss > 60) {
    return -1;
  }
  // Days from the civil date (proleptic Gregorian), without the C library's time zone.
  const int y = 2000 + yy - (mo <= 2 ? 1 : 0);
  const int era = y / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + dd - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long long days = static_cast<long long>(era) * 146097 + doe - 719468;
  return static_cast<std::time_t>(days * 86400 + hh * 3600 + mi * 60 + ss);
}

}  // namespace

// ---------------------------------------------------------------------------

std::string_view NmeaField(std::string_view s, int n) {
  std::size_t i = 0;
  int seps = 0;
  while (seps < n) {
    if (i >= s.size() || IsLineEnd(s[i])) return {};
    if (IsSeparator(s[i])) ++seps;
    ++i;
  }
  std::size_t e = i;
  while (e < s.size() && !IsSeparator(s[e]) && !IsLineEnd(s[e])) ++e;
  return s.substr(i, e - i);
}

std::string_view NmeaSentenceAt(std::string_view b, std::size_t pos) {
  std::size_t e = pos;
  while (e < b.size() && !IsLineEnd(b[e])) ++e;
  return b.substr(pos, e - pos);
}

bool NmeaChecksumOk(std::string_view b, std::size_t pos) {
  std::size_t start = pos;
  while (start > 0 && !IsLineEnd(b[start - 1])) --start;
  const std::string_view line = NmeaSentenceAt(b, start);
  const std::size_t rel = pos - start;
  const std::size_t star = line.find('*', rel);
  if (star == std::string_view::npos) return true;  // no checksum: taken as it is
  const std::size_t dollar = line.rfind('$', rel);
  if (dollar == std::string_view::npos || star + 3 > line.size()) return false;
  const int hi = HexValue(line[star + 1]), lo = HexValue(line[star + 2]);
  if (hi < 0 || lo < 0) return false;
  unsigned char x = 0;
  for (std::size_t i = dollar + 1; i < star; ++i) x ^= static_cast<unsigned char>(line[i]);
  return x == hi * 16 + lo;
}

GpsSentencePair FindGpsSentencePair(std::string_view b) {
  GpsSentencePair out;
  const std::size_t end = CompleteEnd(b);
  if (end <= 1) return out;  // no line end, or only the first character
  std::array<int, 4> count{};
  std::array<std::size_t, 4> first{}, second{};
  for (std::size_t i = end - 1; i-- > 1;) {
    const GpsFixKind k = KindAt(b, i);
    if (k == GpsFixKind::None || !Usable(b, i, k)) continue;
    const int ki = static_cast<int>(k);
    ++count[ki];
    if (count[ki] == 1) first[ki] = i;
    if (count[ki] == 2) second[ki] = i;
    if (count[ki] == 4) break;
  }
  for (GpsFixKind k : {GpsFixKind::Rmc, GpsFixKind::Gga, GpsFixKind::Gll}) {
    const int ki = static_cast<int>(k);
    if (count[ki] >= 2) {
      out.kind = k;
      out.newer = first[ki];
      out.older = second[ki];
      return out;
    }
  }
  return out;
}

GpsFieldNumbers FieldNumbersOf(GpsFixKind kind) {
  switch (kind) {
    case GpsFixKind::Rmc: return {3, 4, 5, 6, 1, 9};
    case GpsFixKind::Gga: return {2, 3, 4, 5, 0, 0};
    case GpsFixKind::Gll: return {1, 2, 3, 4, 0, 0};
    case GpsFixKind::None: break;
  }
  return {0, 0, 0, 0, 0, 0};
}

bool GpsSentencesAgree(GpsFixKind kind, std::string_view n, std::string_view o) {
  if (kind == GpsFixKind::None) return false;
  const GpsFieldNumbers f = FieldNumbersOf(kind);
  if (f.time != 0 && std::fabs(Val(NmeaField(o, f.time)) - Val(NmeaField(n, f.time))) > 10.0) return false;
  const double lat = Val(NmeaField(n, f.lat));
  if (lat == 0 || std::fabs(Val(NmeaField(o, f.lat)) - lat) > 1.0) return false;
  if (NmeaField(o, f.ns) != NmeaField(n, f.ns)) return false;
  const double lon = Val(NmeaField(n, f.lon));
  if (lon == 0 || std::fabs(Val(NmeaField(o, f.lon)) - lon) > 1.0) return false;
  if (NmeaField(o, f.ew) != NmeaField(n, f.ew)) return false;
  if (f.date != 0 && NmeaField(o, f.date) != NmeaField(n, f.date)) return false;
  return true;
}

std::string GpsLatitudeText(std::string_view field, std::string_view ns) {
  return DegreeText(field, 2, ns == "S" ? '-' : ' ', true);
}

std::string GpsLongitudeText(std::string_view field, std::string_view ew) {
  const bool sign = ew == "W" || ew == "E";
  return DegreeText(field, 3, ew == "W" ? '-' : ' ', sign);
}

// ---------------------------------------------------------------------------

std::string GpsReadoutText(std::string_view buffer, std::string_view lat_text, std::string_view lon_text) {
  const std::string_view b = buffer.substr(0, CompleteEnd(buffer));
  std::array<std::string, 10> p;
  p[1] = Trim(lat_text);
  p[2] = Trim(lon_text);
  auto feet = [](double v, std::string_view unit) {
    return platform::UpperAscii(unit) == "F" ? std::floor(v * 0.3048) : v;
  };
  // Altitude: RMA, RMZ, then GGA, each replacing the one before when it has a value.
  const std::pair<const char*, int> alt_sources[] = {{"RMA,", 1}, {"RMZ,", 1}, {"GGA,", 9}};
  for (const auto& [kind, field] : alt_sources) {
    const std::string_view s = FirstSentence(b, kind);
    const std::string_view v = NmeaField(s, field);
    if (!v.empty()) p[3] = NumberText(feet(Val(v), NmeaField(s, field + 1)));
  }
  // Speed.
  if (const std::string_view s = FirstSentence(b, "RMC,"); !NmeaField(s, 7).empty()) {
    const double knots = Val(NmeaField(s, 7));
    p[4] = NumberText(std::floor(knots * 1.852));
    p[5] = NumberText(knots);
  }
  if (const std::string_view s = FirstSentence(b, "VTG,"); !s.empty()) {
    if (!NmeaField(s, 7).empty()) p[4] = NumberText(Val(NmeaField(s, 7)));
    if (!NmeaField(s, 5).empty()) p[5] = NumberText(Val(NmeaField(s, 5)));
  }
  // Position errors.
  if (const std::string_view s = FirstSentence(b, "RME,"); !s.empty()) {
    if (!NmeaField(s, 1).empty()) p[6] = NumberText(feet(Val(NmeaField(s, 1)), NmeaField(s, 2)));
    if (!NmeaField(s, 3).empty()) p[7] = NumberText(feet(Val(NmeaField(s, 3)), NmeaField(s, 4)));
  }
  // Satellites used and in view.
  if (const std::string_view v = NmeaField(FirstSentence(b, "GGA,"), 7); !v.empty()) p[8] = NumberText(Val(v));
  if (const std::string_view v = NmeaField(FirstSentence(b, "GSV,"), 3); !v.empty()) p[9] = "/" + NumberText(Val(v));
  p[8] += p[9];

  static const char* const labels[] = {"", "GLN:", "GLE:", "ALT:", "Vkm:", "Vnm:", "ERh:", "ERv:", "USE:"};
  static const char* const units[] = {"", "", "", "_m", "_km/h", "_nm/h", "_m", "_m", "_sats"};
  std::string line = "   GPS-INFO: ";
  for (int i = 1; i <= 8; ++i) {
    std::string piece = Trim(p[i]);
    if (i >= 3 && piece.empty()) continue;
    piece += units[i];
    if (piece.size() < 11) piece.insert(0, 11 - piece.size(), '_');
    line += labels[i] + piece + " ";
  }
  return line;
}

// ---------------------------------------------------------------------------

void FormatGpsPosition(double& north, double& east, std::string& north_text, std::string& east_text) {
  north = map::CutToWholeMetres(north);
  east = map::CutToWholeMetres(east);
  north_text = map::TrackedValueText(north);
  east_text = map::TrackedValueText(east);
}

std::string TrackLine(std::string_view north_text, std::string_view east_text, const LocalClock& now) {
  return "\xFE" + std::string(north_text) + std::string(east_text) + " " + DateText8(now) + " " + TwoDigits(now.hour) +
         TwoDigits(now.minute);
}

bool AppendTrackLine(const fs::path& data_folder, const std::string& line) {
  if (line.size() < 28) return false;
  const fs::path folder = platform::ResolveOrSame(data_folder / "TRK");
  const fs::path file = platform::ResolveOrSame(folder / (line.substr(20, 8) + ".TRK"));
  return AppendBytes(file, line + "\r\n");
}

std::string NavigationSquareKey(long km_north, long km_east) {
  std::string e = (km_east < 0 ? "" : " ") + std::to_string(km_east);
  if (e.size() < 5) e.insert(0, 5 - e.size(), ' ');
  return std::to_string(km_north) + e;
}

char DirectionDigit(long dn, long de) {
  const int sn = (dn > 0) - (dn < 0), se = (de > 0) - (de < 0);
  if (sn > 0) return se > 0 ? '1' : se < 0 ? '7' : '0';
  if (sn < 0) return se > 0 ? '3' : se < 0 ? '5' : '4';
  return se > 0 ? '2' : se < 0 ? '6' : '0';
}

std::string RecordNavigationSquare(NavigationState& nav, long km_north, long km_east, const LocalClock& now) {
  const std::string key = NavigationSquareKey(km_north, km_east);
  nav.NavigationRecord = key + " " + TwoDigits(now.year) + TwoDigits(now.month) + TwoDigits(now.day) + " " +
                         TwoDigits(now.hour) + TwoDigits(now.minute);
  if (key == nav.LastNavigationSquare) return {};
  std::string out;
  const double dn = km_north - nav.LastNavigationKmNorth;
  const double de = km_east - nav.LastNavigationKmEast;
  const bool adjacent = std::fabs(dn) <= 1 && std::fabs(de) <= 1;
  bool open = false;
  if (adjacent && !nav.NavigationLine.empty()) {
    const char digit = DirectionDigit(static_cast<long>(dn), static_cast<long>(de));
    nav.NavigationLine += digit;
    out += digit;
    if (nav.NavigationLine.size() > 78) {
      out += "\r\n";
      nav.NavigationLine.clear();
    }
    open = !nav.NavigationLine.empty();
  }
  if (!open) {
    if (nav.LastNavigationKmNorth != 0 && nav.LastNavigationKmEast != 0 && !adjacent) out += "\r\n";
    nav.NavigationLine = nav.NavigationRecord + "||";
    out += nav.NavigationLine;
  }
  nav.LastNavigationSquare = key;
  nav.LastNavigationKmNorth = static_cast<double>(km_north);
  nav.LastNavigationKmEast = static_cast<double>(km_east);
  return out;
}

bool AppendWayLog(const fs::path& folder, std::string_view bytes) {
  if (bytes.empty()) return true;
  return AppendBytes(platform::ResolveOrSame(folder) / "QTHWAY.TXT", bytes);
}

// ---------------------------------------------------------------------------

void GpsReader::Feed(std::string_view text) {
  buffer_.append(text);
  appended_ += text.size();
  if (buffer_.size() > kBufferLimit) buffer_.erase(0, buffer_.size() - kBufferLimit);
}

bool GpsReader::ReadDropFile(const fs::path& file) {
  std::string bytes;
  if (!ReadWholeFile(file, bytes)) return false;
  std::string text;
  for (const std::string& line : SplitLines(bytes)) text += line + "\r\n";
  Feed(text);
  std::error_code ec;
  if (!fs::remove(file, ec) || ec) return false;
  GpsTimeValid = 1;
  return true;
}

GpsTickResult GpsReader::Evaluate(NavigationState& nav, const GpsTickContext& c, bool source_ok) {
  GpsTickResult r;
  GpsFixMovedBefore = GpsFixMoved;
  r.hideReadout = GpsFixMovedBefore == 0;
  GpsFixMoved = 0;
  if (!source_ok) return r;

  const GpsSentencePair pair = FindGpsSentencePair(buffer_);
  if (pair.kind == GpsFixKind::None) return r;
  // Only a sentence that arrived after the last fix's gives a fix.
  const std::uint64_t newer_end = appended_ - buffer_.size() + pair.newer + 4;
  if (have_fix_ && newer_end <= last_fix_end_) return r;
  const std::string_view newer = NmeaSentenceAt(buffer_, pair.newer);
  const std::string_view older = NmeaSentenceAt(buffer_, pair.older);
  if (!GpsSentencesAgree(pair.kind, newer, older)) return r;
  const GpsFieldNumbers f = FieldNumbersOf(pair.kind);
  const std::string lat_text = GpsLatitudeText(NmeaField(newer, f.lat), NmeaField(newer, f.ns));
  const std::string lon_text = GpsLongitudeText(NmeaField(newer, f.lon), NmeaField(newer, f.ew));
  if (lat_text.empty() || lon_text.empty()) return r;
  const double lat = Val(lat_text), lon = Val(lon_text);
  if (!(std::fabs(lat) <= 90 && std::fabs(lon) <= 180)) return r;

  // The clock is left alone; the RMC time only tells whether the clock follows it.
  if (pair.kind == GpsFixKind::Rmc) {
    const std::time_t t = RmcUtc(NmeaField(newer, f.date), NmeaField(newer, f.time));
    if (t >= 0 && std::llabs(static_cast<long long>(t) - static_cast<long long>(c.utcNow)) <= 10) {
      GpsTimeValid = 1;
    }
  }

  r.readout = GpsReadoutText(buffer_, lat_text, lon_text);
  r.latitude = lat;
  r.longitude = lon;

  double east = 0, north = 0;
  try {
    geodesy::ConvertLatLonToUtm(lon, lat, c.mapCentralMeridian, east, north, c.mapFalseEasting);
  } catch (const std::exception&) {
    return r;  // a position the projection cannot take (a pole)
  }
  north /= 1000.0;
  east /= 1000.0;
  if (north > 9999.99) north = 9999.99;
  GpsNorth = north;
  GpsEast = east;
  FormatGpsPosition(GpsNorth, GpsEast, nav.GpsNorthText, nav.GpsEastText);

  have_fix_ = true;
  last_fix_end_ = newer_end;

  if (nav.NavigationRecording == 1) {
    const std::string bytes = RecordNavigationSquare(nav, static_cast<long>(std::floor(GpsNorth)),
                                                     static_cast<long>(std::floor(GpsEast)), c.now);
    if (!AppendWayLog(c.navigationFolder, bytes)) r.writeFailed = true;
  }
  if (c.secondsSinceMapInteraction > 30) r.centreOnOwn = true;
  GpsFixMoved = 1;
  nav.NavigationActive = 1;
  r.fix = true;

  const std::string minute = TwoDigits(c.now.hour) + ":" + TwoDigits(c.now.minute);
  if (minute != LastTrackMinute) {
    // A position beyond the texts' range gives no line (its columns would be wrong).
    if (!nav.GpsNorthText.empty() && !nav.GpsEastText.empty()) {
      if (AppendTrackLine(c.dataFolder, TrackLine(nav.GpsNorthText, nav.GpsEastText, c.now))) {
        r.trackWritten = true;
      } else {
        r.writeFailed = true;
      }
    }
    LastTrackMinute = minute;
  }
  r.fixRegained = GpsFixMoved > GpsFixMovedBefore && c.secondsSinceMapInteraction > 30;
  return r;
}

// ---------------------------------------------------------------------------

int GpsPortNumber(const std::string& s) {
  const double v = LeadingNumber(s);
  return v > 0 ? ToWholeNumber<std::int16_t>(v) : 0;
}

bool GpsSourceIsDropFile(const std::string& s) { return s.size() > 3 && s.find("SAVE") == std::string::npos; }

bool GpsSourceSet(const std::string& s) { return LeadingNumber(s) > 0 || GpsSourceIsDropFile(s); }

std::string GpsLineSettings(const std::string& gps_baud) { return Trim(gps_baud) + ",N,8,1"; }

bool OpenGpsPort(platform::SerialPort& port, const std::string& gps_source, const std::string& gps_baud) {
  const int n = GpsPortNumber(gps_source);
  return n > 0 && port.Open(n, GpsLineSettings(gps_baud));
}

GpsTickResult ReadGps(GpsReader& reader, NavigationState& nav, platform::SerialPort* port, const fs::path& drop_file,
                      const GpsTickContext& c) {
  if (port != nullptr && port->IsOpen()) reader.Feed(port->ReadAll());
  bool ok = true;
  if (!drop_file.empty()) ok = reader.ReadDropFile(drop_file);
  return reader.Evaluate(nav, c, ok);
}

void ApplyGpsTick(const GpsTickResult& r, int& centre_mode, GpsTickView& view) {
  if (r.hideReadout) view.HideReadout();
  if (!r.fix) return;
  view.ShowReadout(r.readout);
  if (r.centreOnOwn) centre_mode = 2;
  if (r.fixRegained) {
    centre_mode = 2;
    view.ChooseUserQth();
    if (view.TransmitOn() && !view.AutoAnswerOn()) view.TickAutoAnswer();
  }
}

QuietPassEnd QuietPassEndFor(int gps_fix_moved, int gps_fix_moved_before, bool window_active, int colour_depth) {
  QuietPassEnd end;
  end.redraw = gps_fix_moved == 1 || gps_fix_moved_before > gps_fix_moved;
  end.focusMap = window_active || colour_depth < 16;
  return end;
}

}  // namespace zeblon::links
