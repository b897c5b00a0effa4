#include "stations/station_display.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <unordered_map>

#include "geodesy/text.h"
#include "reception/station_record.h"

namespace zeblon::stations {

using reception::Columns;
using reception::TrimmedColumns;

double RecordView::NorthKm() const { return LeadingNumber(Columns(r_, 14, 22)); }
double RecordView::EastKm() const { return LeadingNumber(Columns(r_, 23, 31)); }
std::string RecordView::Call() const { return TrimmedColumns(r_, 33, 41); }
std::string_view RecordView::CallView() const { return TrimView(Columns(r_, 33, 41)); }
std::string RecordView::Comment() const { return TrimmedColumns(r_, 43, 89); }
std::string RecordView::Via() const { return TrimmedColumns(r_, 91, 99); }
std::string_view RecordView::ViaView() const { return TrimView(Columns(r_, 91, 99)); }
std::string RecordView::Symbol() const { return TrimmedColumns(r_, 101, 103); }
std::string_view RecordView::SymbolView() const { return TrimView(Columns(r_, 101, 103)); }
bool RecordView::ViaFromInternet() const {
  const std::string_view via = ViaView();
  return !via.empty() && static_cast<unsigned char>(via[0]) > 96;
}
bool RecordView::AllBlank() const {
  return std::all_of(r_.begin(), r_.end(), [](char c) { return c == ' '; });
}

namespace {

// Two digits of a text as a number; -1 when they are not two digits.
int TwoDigits(std::string_view text, std::size_t at) {
  if (at + 2 > text.size()) return -1;
  const char a = text[at], b = text[at + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
  return (a - '0') * 10 + (b - '0');
}

}  // namespace

std::optional<long> MinuteStamp(const RecordView& record) {
  using namespace std::chrono;
  const std::string_view d = record.Date(), t = record.Time();
  const int hh = TwoDigits(t, 0), mi = TwoDigits(t, 2);
  if (hh < 0 || mi < 0 || hh > 23 || mi > 59) return std::nullopt;
  const int yy = TwoDigits(d, 0), mo = TwoDigits(d, 2), dd = TwoDigits(d, 4);
  if (yy < 0 || mo < 0 || dd < 0) return std::nullopt;
  const year_month_day then{year{2000 + yy}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(dd)}};
  if (!then.ok()) return std::nullopt;
  return static_cast<long>(sys_days(then).time_since_epoch().count()) * 1440 + hh * 60 + mi;
}

std::optional<long> MinuteStamp(const reception::LocalTime& t) {
  using namespace std::chrono;
  const year_month_day today{year{t.year}, month{static_cast<unsigned>(t.month)}, day{static_cast<unsigned>(t.day)}};
  if (!today.ok()) return std::nullopt;
  return static_cast<long>(sys_days(today).time_since_epoch().count()) * 1440 + t.hour * 60 + t.minute;
}

std::optional<long> AgeMinutes(const RecordView& record, const reception::LocalTime& now) {
  return AgeBetween(MinuteStamp(record), MinuteStamp(now));
}

std::string_view SymbolRowOf(std::string_view symbol, const reception::SymbolTable& table, int* index) {
  int i = symbol.size() >= 2 ? reception::SymbolIndexOf(symbol[0], symbol[1]) : -1;
  if (i < 0 || i >= reception::kSymbolTableRows) i = 0;
  if (index) *index = i;
  return table[i];
}

int StationClassOf(const RecordView& record, const reception::SymbolTable& table) {
  if (record.IsObject()) return 3;
  return reception::SymbolClassOf(SymbolRowOf(record.Symbol(), table));
}

int FilterBitOf(int stationClass) {
  switch (stationClass) {
    case 0: return 4;
    case 1: return 2;
    case 2: return 1;
    case 3: return 8;
    case 4: return 16;
    default: return 0;
  }
}

Rgb GreyByAge(const RecordView& record, const reception::LocalTime& now) { return GreyOfAge(AgeMinutes(record, now)); }

Rgb GreyOfAge(std::optional<long> age) {
  const int g = 255 - static_cast<int>(std::clamp<long>(age.value_or(255), 0, 255));
  return {g, g, g};
}

Rgb MoniOneTrackColour(const RecordView& record, int level, const reception::LocalTime& now) {
  return TrackColour(level, AgeMinutes(record, now), WalkingSymbol(record), record.Stamped());
}

bool WalkingSymbol(const RecordView& record) {
  const std::string_view symbol = Columns(record.text(), 101, 102);
  if (symbol.size() != 2) return false;
  const char table = symbol[0], code = symbol[1];
  return (table == '/' && (code == ',' || code == 'C' || code == '[' || code == 'b')) || (table == '\\' && code == ',');
}

Rgb TrackColour(int level, std::optional<long> age, bool walking, bool stamped) {
  if (level % 3 == 1) return kTrackColourRecent;
  Rgb c = kTrackColourOld;
  if (age) {
    if (*age < 360) c = kTrackColourHours;
    if (*age < 60) c = kTrackColourRecent;
  }
  if (walking) c = kTrackColourPedestrian;
  if (stamped) c = kTrackColourStamped;
  return c;
}

std::vector<std::string> DrawingOrder(const std::vector<std::string>& log, int count) {
  count = std::clamp(count, 0, static_cast<int>(log.size()) - 1);
  // The newest slot of each call, then the calls by that slot.
  std::unordered_map<std::string, int> newest;
  newest.reserve(static_cast<std::size_t>(count) * 2);
  for (int i = 1; i <= count; ++i) {
    std::string call = TrimmedColumns(log[i], 33, 41);
    if (call.empty()) continue;
    newest[std::move(call)] = i;
  }
  std::vector<std::pair<int, std::string>> bySlot;
  bySlot.reserve(newest.size());
  for (auto& [call, slot] : newest) bySlot.emplace_back(slot, call);
  std::sort(bySlot.begin(), bySlot.end());
  std::vector<std::string> order;
  order.reserve(bySlot.size());
  for (auto& e : bySlot) order.push_back(std::move(e.second));
  return order;
}

// ---------------------------------------------------------------------------

std::string StationSwitches::LevelCaption() const { return wx_ ? "WX" : std::to_string(level_); }

AlarmCaption StationSwitches::AlarmAvailability() {
  if (mask_ == 0) {
    moniAllAlarm_ = false;
    return AlarmCaption::DarkRed;
  }
  return level_ > 0 ? AlarmCaption::Red : AlarmCaption::Unchanged;
}

SwitchOutcome StationSwitches::SetClassShown(int stationClass, bool shown, bool* boxTicked) {
  if (stationClass == 4 && wx_) shown = true;  // weather stays shown at the "WX" level
  const int bit = FilterBitOf(stationClass);
  mask_ = shown ? (mask_ | bit) : (mask_ & ~bit);
  if (boxTicked) *boxTicked = shown;
  return {AlarmAvailability(), true};
}

SwitchOutcome StationSwitches::PressMobile() {
  mobile_ = mobile_ >= 2 ? 0 : mobile_ + 1;
  mask_ = mobile_ == 0 ? (mask_ & ~4) : (mask_ | 4);
  return {AlarmAvailability(), true};
}

SwitchOutcome StationSwitches::LevelDown() {
  int level = wx_ ? 6 : level_;
  if (level > 0) --level;
  wx_ = false;
  level_ = level;
  SwitchOutcome out;
  if (level_ == 0) {
    moniAllAlarm_ = false;
    out.alarmCaption = AlarmCaption::DarkRed;
  }
  return out;
}

SwitchOutcome StationSwitches::LevelUp() {
  int level = wx_ ? 6 : level_;
  if (level < 6) ++level;
  SwitchOutcome out;
  if (level == 6) {
    wx_ = true;
    level_ = 1;
    mask_ |= 16;  // the caption "WX" ticks the weather box
  } else {
    level_ = level;
  }
  if (mask_ > 0) out.alarmCaption = AlarmCaption::Red;
  return out;
}

void StationSwitches::SetMoniOneAlarm(bool on) {
  moniOneAlarm_ = on;
  if (!on) moniAllAlarm_ = false;
}

void StationSwitches::SetMoniAllAlarm(bool on) {
  moniAllAlarm_ = on;
  if (on) moniOneAlarm_ = true;
}

void StationSwitches::MoniOneLevelDown() { moniOneLevel_ = std::max(1, moniOneLevel_ - 1); }
void StationSwitches::MoniOneLevelUp() { moniOneLevel_ = std::min(6, moniOneLevel_ + 1); }

int StationSwitches::AlarmDistanceFromText(std::string_view text) {
  const double v = RoundHalfEven(LeadingNumber(text));
  if (!(v >= 1)) return 1;
  if (v > 100) return 100;
  return static_cast<int>(v);
}

// ---------------------------------------------------------------------------

MoniOneReadouts MoniOneReadoutsOf(const reception::ReceptionState& state) {
  MoniOneReadouts r;
  r.call = state.settings.moniOneCall.substr(0, 9);
  r.count = std::to_string(state.stations.MoniOneCount());
  const auto& n = state.stations.Newest();
  if (state.stations.MoniOneCount() > 0) {
    const std::string d = n.date + std::string(6 > n.date.size() ? 6 - n.date.size() : 0, ' ');
    r.stamp = "20" + d.substr(0, 2) + "-" + d.substr(2, 2) + "-" + d.substr(4, 2) + " " + n.time;
  }
  r.text = "TEXT: ";
  for (char c : n.comment) {
    r.text += c;
    if (c == '&') r.text += '&';
  }
  return r;
}

}  // namespace zeblon::stations
