#include "internet/area_stations.h"

#include <algorithm>
#include <cmath>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "internet/internet_pass.h"
#include "settings/text_files.h"

namespace zeblon::internet {
namespace {

using reception::Columns;

bool Digits(std::string_view s, std::size_t at, std::size_t n, int& out) {
  if (at + n > s.size()) return false;
  out = 0;
  for (std::size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    out = out * 10 + (s[i] - '0');
  }
  return true;
}

std::string Text(const QJsonValue& v) { return Utf8ToCp1252(v.toString().toStdString()); }

// A coordinate as the service writes it: a number, or a number in quotes.
bool Coordinate(const QJsonValue& v, double& out) {
  if (v.isDouble()) {
    out = v.toDouble();
    return true;
  }
  if (!v.isString()) return false;
  const std::string t = Trim(Text(v));
  if (t.empty()) return false;
  out = LeadingNumber(t);
  return true;
}

// A symbol character: the first of its text ("\/" in the answer reads "/").
bool SymbolChar(const QJsonValue& v, char& out) {
  const std::string t = Text(v);
  if (t.empty()) return false;
  out = t[0];
  return true;
}

// One station object; false for an object, a call with a blank, or a key missing.
bool StationOf(const QJsonObject& o, AreaStation& st) {
  st = AreaStation{};
  st.call = Text(o.value("callsign"));
  if (st.call.empty() || st.call.find(' ') != std::string::npos) return false;
  if (o.value("type").toString() == QLatin1String("O")) return false;
  const std::string received = Text(o.value("posreceived"));
  if (received.size() < 19) return false;
  st.date = received.substr(0, 10);
  st.time = received.substr(11, 8);
  if (!Coordinate(o.value("lat"), st.latitude) || !Coordinate(o.value("lon"), st.longitude)) return false;
  if (!SymbolChar(o.value("symbolcode"), st.code) || !SymbolChar(o.value("symboltable"), st.table)) return false;
  if (st.table != '/' && st.table != '\\') {
    st.overlay = st.table;
    st.table = '\\';
  }
  return true;
}

// Every object that carries a "callsign", in the order of the answer, wherever it
// stands (the answer's array, or an array inside an object).
void CollectStations(const QJsonValue& v, std::vector<AreaStation>& out) {
  if (v.isArray()) {
    for (const QJsonValue& e : v.toArray()) CollectStations(e, out);
  } else if (v.isObject()) {
    const QJsonObject o = v.toObject();
    if (o.contains("callsign")) {
      AreaStation st;
      if (StationOf(o, st)) out.push_back(st);
      return;
    }
    for (const QJsonValue& e : o) CollectStations(e, out);
  }
}

}  // namespace

std::vector<AreaStation> AreaStationsOf(std::string_view answer) {
  std::vector<AreaStation> out;
  QJsonParseError error{};
  const QJsonDocument doc =
      QJsonDocument::fromJson(QByteArray(answer.data(), static_cast<qsizetype>(answer.size())), &error);
  if (error.error != QJsonParseError::NoError) return out;
  CollectStations(doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object()), out);
  return out;
}

int ParseAreaStations(std::string answer, reception::ReceptionState& state, reception::ReceptionHost& host,
                      InternetControls& controls, InternetWindow& window, const reception::SymbolTable& symbols) {
  const reception::ReceptionSettings& s = state.settings;
  const auto& log = state.stations.MoniAll();
  int added = 0;
  for (const AreaStation& st : AreaStationsOf(answer)) {
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
    const reception::InfoCursor& info = state.info;
    if (!info.Call().empty() && info.Call() != s.moniOneCall) {
      int last = 0;
      for (int i = 1; i <= count; ++i)
        if (TrimView(Columns(log[static_cast<std::size_t>(i)], 33, 41)) == info.Call()) last = i;
      if (last > 0) {
        state.info.FollowReport(last, reception::InfoMode::MoniAll, log[static_cast<std::size_t>(last)]);
        if (info.Visible()) host.ShowWxInfoForRecord(info.Record());
        host.InfoPanelChanged();
        if (info.Visible()) window.ShowNewestInfoReport();
      }
    }
  }
  controls.HideNotice();
  host.DrawMap();
  return added;
}

}  // namespace zeblon::internet
