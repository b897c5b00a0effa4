#include "internet/area_stations.h"

#include <algorithm>
#include <cmath>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "internet/internet_pass.h"
#include "settings/text_files.h"

namespace zeblon::internet {
namespace {

using reception::Columns;

// 1-based position of what in s, 0 when absent.
std::size_t InStr(std::string_view s, std::string_view what) {
  const std::size_t i = s.find(what);
  return i == std::string_view::npos ? 0 : i + 1;
}

// The same for a key that counts only when it starts at or before lastStart:
// the search ends there (a far-off key of the next station is never looked for).
std::size_t InStrUpTo(std::string_view s, std::string_view what, std::size_t lastStart) {
  return InStr(s.substr(0, std::min(s.size(), lastStart - 1 + what.size())), what);
}

// s from a 1-based position on.
std::string_view Mid(std::string_view s, std::size_t pos1) {
  return pos1 >= 1 && pos1 <= s.size() ? s.substr(pos1 - 1) : std::string_view{};
}

// The character that two characters of a value give: the first when the second
// is the closing quote, else the second (an escaped character such as \/).
bool ValueChar(std::string_view rest, std::size_t pos1, char& out) {
  if (pos1 < 1 || pos1 + 1 > rest.size()) return false;
  const char a = rest[pos1 - 1], b = rest[pos1];
  out = b == '"' ? a : b;
  return true;
}

bool Digits(std::string_view s, std::size_t at, std::size_t n, int& out) {
  if (at + n > s.size()) return false;
  out = 0;
  for (std::size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    out = out * 10 + (s[i] - '0');
  }
  return true;
}

}  // namespace

bool NextAreaStation(std::string_view& answer, bool first, AreaStation& st, bool& found) {
  found = false;
  st = AreaStation{};
  const std::size_t key = InStr(answer, "callsign");
  const bool inReach = key > 0 && key + 100 < answer.size();
  if (!(inReach || (first && answer.find('[') != std::string::npos))) return false;
  if (key == 0) return false;
  std::string_view rest = Mid(answer, key + 11);
  answer = rest;  // whatever happens below, the search goes on behind this key

  // 1: the call, up to the first quote followed by ",".
  const std::size_t end = InStr(rest, "\",");
  if (end == 0) return true;
  st.call = std::string(rest.substr(0, end - 1));
  if (st.call.find(' ') != std::string::npos || st.call.empty()) return true;
  rest = Mid(rest, end);
  answer = rest;
  // 2: an object.
  const std::size_t object = InStrUpTo(rest, "\"type\":\"O\"", 39);
  if (object >= 16 && object <= 39) {
    answer = Mid(rest, object + 10);
    return true;
  }
  // 3: the time received.
  std::size_t p = InStr(rest, "posreceived");
  if (p == 0) return true;
  rest = Mid(rest, p + 14);
  st.date = std::string(rest.substr(0, std::min<std::size_t>(10, rest.size())));
  st.time = std::string(Columns(rest, 12, 19));
  // 4 and 5: latitude and longitude.
  p = InStrUpTo(rest, "\"lat\":", 29);
  if (p < 16 || p > 29) return true;
  rest = Mid(rest, p + 6);
  std::size_t comma = InStrUpTo(rest, ",", 29);
  if (comma < 2 || comma > 29) return true;
  const std::string_view lat = rest.substr(0, comma - 1);
  p = InStrUpTo(rest, "\"lon\":", 29);
  if (p < 6 || p > 29) return true;
  rest = Mid(rest, p + 6);
  comma = InStrUpTo(rest, ",", 29);
  if (comma < 2 || comma > 29) return true;
  const std::string_view lon = rest.substr(0, comma - 1);
  answer = rest;
  // 6 and 7: symbol code and table, in the same rest.
  p = InStrUpTo(rest, "symbolcode", 59);
  if (p < 21 || p > 59 || !ValueChar(rest, p + 13, st.code)) return true;
  const std::size_t t = InStrUpTo(rest, "symboltable", 89);
  if (t < 36 || t > 89 || !ValueChar(rest, t + 14, st.table)) return true;
  if (st.table != '/' && st.table != '\\') {
    st.overlay = st.table;
    st.table = '\\';
  }
  answer = Mid(rest, t + 14);
  st.latitude = LeadingNumber(lat);
  st.longitude = LeadingNumber(lon);
  found = true;
  return true;
}

int ParseAreaStations(std::string answer, reception::ReceptionState& state, reception::ReceptionHost& host,
                      const reception::SymbolTable& symbols, const AreaOptions& options) {
  const reception::ReceptionSettings& s = state.settings;
  const auto& log = state.stations.MoniAll();
  int added = 0;
  AreaStation st;
  bool found = false;
  std::string_view rest = answer;
  for (bool first = true; NextAreaStation(rest, first, st, found); first = false) {
    if (!found) continue;
    if (!std::isfinite(st.latitude) || !std::isfinite(st.longitude) || std::fabs(st.latitude) > 90.0 ||
        std::fabs(st.longitude) > 180.0 || std::fabs(st.latitude) <= 0.01)
      continue;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    long long when = 0;
    if (st.date.size() < 10 || st.time.size() < 5 || !Digits(st.date, 0, 4, year) || !Digits(st.date, 5, 2, month) ||
        !Digits(st.date, 8, 2, day) || !Digits(st.time, 0, 2, hour) || !Digits(st.time, 3, 2, minute) ||
        !MinutesOf(year, month, day, hour, minute, when))
      continue;
    const double lat = (st.latitude > 0 ? 1 : -1) * std::fabs(st.latitude + 0.00005);
    const double lon = (st.longitude > 0 ? 1 : st.longitude < 0 ? -1 : 0) * std::fabs(st.longitude + 0.00005);
    double easting = std::nan(""), northing = std::nan("");
    geodesy::ConvertLatLonToUtm(lon, lat, s.mapCentralMeridian, easting, northing, s.mapFalseEasting);
    if (!std::isfinite(easting) || !std::isfinite(northing)) continue;
    if (northing > 9999990.0) northing = 9999990.0;
    const std::string position = reception::PositionPart(northing, easting);

    // Symbol: the last row of the table with this table and code (2 when none).
    std::size_t index = 2;
    for (std::size_t i = 0; i < symbols.size(); ++i)
      if (symbols[i].size() >= 2 && symbols[i][0] == st.table && symbols[i][1] == st.code) index = i;
    const std::string& row = symbols[index];

    std::string record = reception::BlankRecord();
    reception::WriteAt(record, 1, st.date.substr(2, 2) + st.date.substr(5, 2) + st.date.substr(8, 2));
    reception::WriteAt(record, 8, st.time.substr(0, 2) + st.time.substr(3, 2));
    reception::WriteAt(record, 13, position.substr(0, 19));
    reception::WriteAt(record, 33, reception::Printable(st.call.substr(0, 9)));
    reception::WriteAt(record, 91, "inet");
    reception::WriteAt(record, 101,
                       std::string{row.size() > 0 ? row[0] : ' ', row.size() > 1 ? row[1] : ' ',
                                   reception::Printable(std::string(1, st.overlay))[0]});
    reception::WriteAt(record, 105, reception::SymbolNameOf(row));

    // Duplicates (same call, less than 2 minutes and 50 m apart) and older reports of a call.
    const std::string call = reception::TrimmedColumns(record, 33, 41);
    const double north = LeadingNumber(Columns(record, 14, 22)), east = LeadingNumber(Columns(record, 23, 31));
    const int timeOfDay = hour * 60 + minute;
    bool drop = false;
    for (int i = 1; i <= state.stations.MoniAllCount() && !drop; ++i) {
      const std::string& old = log[static_cast<std::size_t>(i)];
      if (TrimView(Columns(old, 33, 41)) != call) continue;
      long long then = 0;
      if (RecordMinutes(old, then) && std::llabs(then - when) < 2 &&
          std::fabs(LeadingNumber(Columns(old, 14, 22)) - north) < 0.05 &&
          std::fabs(LeadingNumber(Columns(old, 23, 31)) - east) < 0.05)
        drop = true;
      int oh = 0, om = 0;
      if (Digits(old, 7, 2, oh) && Digits(old, 9, 2, om) && timeOfDay < oh * 60 + om) drop = true;
    }
    if (drop) continue;

    state.stations.AddInOrder(record, s.moniAllLimit);
    ++added;
    reception::AppendToReportLogs(state, record);
    const int count = state.stations.MoniAllCount();

    // INFO panel.
    reception::InfoPanelState& info = state.info;
    if (!info.call.empty() && info.call != s.moniOneCall) {
      int last = 0;
      for (int i = 1; i <= count; ++i)
        if (TrimView(Columns(log[static_cast<std::size_t>(i)], 33, 41)) == info.call) last = i;
      if (last > 0) {
        info.index = last;
        info.backCaption = "<";
        info.labelCaption = "QTH=";
        info.forwardCaption = ">";
        if (info.visible) {
          info.record = log[static_cast<std::size_t>(last)];
          host.ShowWxInfoForRecord(info.record);
          info.labelText = reception::LabelText(info.record);
        }
        host.InfoPanelChanged();
        if (info.visible && options.showNewestInfoReport) options.showNewestInfoReport();
      }
    }
  }
  if (options.hideNotice) options.hideNotice();
  host.DrawMap();
  return added;
}

}  // namespace zeblon::internet
