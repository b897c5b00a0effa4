#include "panels/station_info.h"

#include <algorithm>
#include <cmath>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "links/own_beacon.h"
#include "reception/receive_pass.h"
#include "reception/station_record.h"
#include "settings/text_files.h"

namespace zeblon::panels {

using reception::ReceptionState;

bool InfoShowsMoniOne(const ReceptionState& st) { return st.info.Shows(st.settings.moniOneCall); }

std::string RecordCall(std::string_view record) { return reception::TrimmedColumns(record, 33, 41); }

std::string RecordOfLabelText(std::string_view label) {
  std::string r;
  r.reserve(label.size());
  for (std::size_t i = 0; i < label.size(); ++i) {
    r += label[i];
    if (label[i] == '&' && i + 1 < label.size() && label[i + 1] == '&') ++i;
  }
  return r;
}

namespace {

int MoniAllLast(const ReceptionState& st) {
  return std::clamp(st.stations.MoniAllCount(), 0, static_cast<int>(st.stations.MoniAll().size()) - 1);
}

int MoniOneLast(const ReceptionState& st) {
  return std::clamp(st.stations.MoniOneCount(), 0, static_cast<int>(st.stations.MoniOneTrack().size()) - 1);
}

// The last slot of `from` … `to` (stepping by `step`) whose call is the panel's.
std::optional<int> LastMatch(const ReceptionState& st, int from, int to, int step) {
  std::optional<int> hit;
  for (int i = from; step > 0 ? i <= to : i >= to; i += step) {
    if (RecordCall(st.stations.MoniAll()[static_cast<std::size_t>(i)]) == st.info.Call()) hit = i;
  }
  return hit;
}

}  // namespace

InfoStep StepInfo(const ReceptionState& st, InfoStepKind kind) {
  InfoStep r;
  r.index = st.info.Index();
  if (InfoShowsMoniOne(st)) {
    const int last = MoniOneLast(st);
    const int low = std::min(1, last);
    switch (kind) {
      case InfoStepKind::Newest: r.index = last; break;
      case InfoStepKind::Oldest: r.index = low; break;
      case InfoStepKind::Earlier: r.index = std::clamp(st.info.Index() - 1, low, last); break;
      case InfoStepKind::Later: r.index = std::clamp(st.info.Index() + 1, low, last); break;
    }
    r.found = last > 0;
    return r;
  }
  const int last = MoniAllLast(st);
  const int index = std::clamp(st.info.Index(), 0, last);
  std::optional<int> hit;
  switch (kind) {
    case InfoStepKind::Newest:
      if (index + 1 > last) return r;
      hit = LastMatch(st, index + 1, last, 1);
      break;
    case InfoStepKind::Oldest:
      if (index < 2) return r;
      hit = LastMatch(st, index, 0, -1);
      break;
    case InfoStepKind::Earlier:
      if (index < 2) {
        r.end = true;
        return r;
      }
      hit = LastMatch(st, 0, index - 1, 1);
      break;
    case InfoStepKind::Later:
      if (index + 1 > last) {
        r.end = true;
        return r;
      }
      hit = LastMatch(st, last, index + 1, -1);
      break;
  }
  if (hit) {
    r.found = true;
    r.index = *hit;
  }
  return r;
}

std::string InfoSlotRecord(const ReceptionState& st) {
  const bool moniOne = InfoShowsMoniOne(st);
  const int last = moniOne ? MoniOneLast(st) : MoniAllLast(st);
  if (st.info.Index() < 0 || st.info.Index() > last) return {};
  const auto& store = moniOne ? st.stations.MoniOneTrack() : st.stations.MoniAll();
  return store[static_cast<std::size_t>(st.info.Index())];
}

double SearchRadiusKm(double metresPerPixel) { return std::floor(RoundHalfEven(metresPerPixel) / 200.0) + 0.5; }

std::optional<int> FindReportNearby(const ReceptionState& st, bool forward, double selectedNorth, double selectedEast,
                                    double radiusKm) {
  const int last = MoniAllLast(st);
  const int index = std::clamp(st.info.Index(), 0, last);
  const auto near = [&](int i) {
    const std::string& rec = st.stations.MoniAll()[static_cast<std::size_t>(i)];
    const double east = LeadingNumber(reception::Columns(rec, 23, 31));
    const double north = LeadingNumber(reception::Columns(rec, 14, 22));
    return std::fabs(east - selectedEast) < radiusKm && std::fabs(north - selectedNorth) < radiusKm;
  };
  // Slot 0 never holds a report.
  std::optional<int> hit;
  if (forward) {
    for (int i = last; i >= index + 1; --i)
      if (near(i)) hit = i;
  } else {
    for (int i = 1; i <= index - 1; ++i)
      if (near(i)) hit = i;
  }
  return hit;
}

std::optional<InfoQuestion> DeletionQuestion(int languageSetting, bool older, std::string_view shownRecord) {
  static const char* const kOlder[3][2] = {
      {"DELETE ALL POSITIONS OLDER THAN THIS ONE:  ", "ZEBLON                            DELETE OLDER POSITIONS"},
      {"ALLE POSITIONEN \xC4LTER ALS DIESE L\xD6SCHEN:  ",
       "ZEBLON                        \xC4LTERE POSITIONEN L\xD6SCHEN"},
      {"RADERA ALLA POSITIONER \xC4LDRE \xC4N DENNA:  ", "ZEBLON                         RADERA \xC4LDRE POSITIONER"},
  };
  static const char* const kNewer[3][2] = {
      {"DELETE ALL POSITIONS NEWER THAN THIS ONE:  ", "ZEBLON                            DELETE NEWER POSITIONS"},
      {"ALLE POSITIONEN NEUER ALS DIESE L\xD6SCHEN:  ", "ZEBLON                        NEUERE POSITIONEN L\xD6SCHEN"},
      {"RADERA ALLA POSITIONER NYARE \xC4N DENNA:  ", "ZEBLON                         RADERA NYARE POSITIONER"},
  };
  const int lang = languageSetting % 10;
  if (lang < 1 || lang > 3) return std::nullopt;
  const auto& t = older ? kOlder[lang - 1] : kNewer[lang - 1];
  return InfoQuestion{std::string(t[0]) + std::string(shownRecord.substr(0, 31)) + "  ?", t[1]};
}

std::optional<InfoQuestion> RetransmitQuestion(int languageSetting) {
  static const char* const kTexts[3][2] = {
      {"DO YOU WANT TO RETRANSMIT THIS STATION'S POSITION NOW ?", "ZEBLON          RETRANSMIT STATION'S POSITION"},
      {"WILLST DU DIESE STATIONSPOSITION JETZT WIEDERAUSSENDEN ?", "ZEBLON          STATIONSPOSITION WIEDERAUSSENDEN"},
      {"VILL DU \xC5TERUTS\xC4NDA DENNA STATIONENS POSITION NU ?",
       "ZEBLON          \xC5TERUTS\xC4NDA STATIONSPOSITION"},
  };
  const int lang = languageSetting % 10;
  if (lang < 1 || lang > 3) return std::nullopt;
  return InfoQuestion{kTexts[lang - 1][0], kTexts[lang - 1][1]};
}

InfoQuestion MoniOneQuestion(std::string_view call) {
  return {"SET  " + std::string(call) + "  >  MONI 1  ?", "ZEBLON"};
}

bool DeleteTrackPositions(ReceptionState& st, bool older, std::string* error) {
  const std::filesystem::path log = reception::MoniOneLogPath(st.settings.dataFolder, st.settings.moniOneCall);
  int writeError = 0;
  const bool ok = older ? st.stations.DeleteOlder(st.info.Index(), log, writeError)
                        : st.stations.DeleteNewer(st.info.Index(), log, writeError);
  reception::NoteLogWrite(st, ok, writeError);
  if (!ok) {
    if (error != nullptr) *error = "CANNOT WRITE " + log.string() + " !";
    return false;
  }
  st.info.StepTo(st.stations.MoniOneCount());
  return true;
}

namespace {

bool ParseDigits(std::string_view text, int& value) {
  if (text.empty()) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// The report's local date and time (columns 1-6 and 8-11); nullopt when they are
// not a date and a time.
std::optional<reception::LocalTime> RecordTime(std::string_view record) {
  reception::LocalTime t;
  int yy = 0;
  if (!ParseDigits(record.substr(0, 2), yy) || !ParseDigits(record.substr(2, 2), t.month) ||
      !ParseDigits(record.substr(4, 2), t.day) || !ParseDigits(record.substr(7, 2), t.hour) ||
      !ParseDigits(record.substr(9, 2), t.minute))
    return std::nullopt;
  t.year = 2000 + yy;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59) return std::nullopt;
  return t;
}

}  // namespace

std::optional<std::string> RetransmittedReport(std::string_view text, const RetransmitContext& c) {
  if (Trim(c.userCall).empty() || text.size() < 33) return std::nullopt;
  // A record read back from a log file may hold any byte: none below 32 goes on the air.
  const std::string record = reception::Printable(reception::ToSlot(text));
  std::string field = "}" + Trim(reception::Columns(record, 33, 41)) + ">ZEBLRE," + Trim(c.txCall) + "*:";
  // A report of an earlier month goes without its time. The record holds the
  // local clock's day and time; "z" marks UTC, so they are moved there first.
  const std::optional<reception::LocalTime> when = RecordTime(record);
  if (!when || c.now.day < when->day) {
    field += "!";
  } else {
    field += "/" + links::FormatUtcDayTime(*when, c.utcOffsetHours) + "z";
  }
  std::string position;
  try {
    const links::LatLon p = links::MapKmToLatLon(LeadingNumber(reception::Columns(record, 14, 22)),
                                                 LeadingNumber(reception::Columns(record, 23, 31)),
                                                 c.mapCentralMeridian, c.mapFalseEasting);
    position = links::FormatAprsPosition(p, "/-", "");
  } catch (const geodesy::GeodesyError&) {
    return std::nullopt;
  }
  if (position.size() != 19) return std::nullopt;  // not a position on the globe
  field += position.substr(0, 8);
  field += reception::Columns(record, 101, 101);
  field += position.substr(9, 9);
  field += reception::Columns(record, 102, 103);
  field += " ";
  field += reception::Columns(record, 43, 89);
  return field;
}

int FindRawLine(const std::vector<std::string>& lines, std::string_view call) {
  if (call.empty()) return -1;
  const auto last = [&](auto test) {
    for (int i = static_cast<int>(lines.size()) - 1; i >= 0; --i)
      if (test(lines[static_cast<std::size_t>(i)])) return i;
    return -1;
  };
  int i = last([&](const std::string& l) { return l.find(call) == 0; });
  if (i < 0) i = last([&](const std::string& l) { return l.find(call) == 1; });
  if (i < 0)
    i = last([&](const std::string& l) { return !l.empty() && l[0] == '}' && l.find(call) != std::string::npos; });
  return i;
}

}  // namespace zeblon::panels
