// The plain rules of the station display: a typed view over the 120-column
// station record, ages and colours of reports, the MONI ALL drawing order,
// the station filters and display levels with the distance-alarm switches,
// and the MONI 1 panel's read-outs. No drawing here (station_layers.h draws).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reception/aprs_decode.h"
#include "reception/reception_state.h"
#include "reception/station_record.h"
#include "reception/symbol_table.h"

namespace zeblon::stations {

// Read access to the fields of one StationRecord by name.
class RecordView {
 public:
  explicit RecordView(std::string_view record) : r_(record) {}
  std::string_view text() const { return r_; }
  std::string_view Date() const { return reception::Columns(r_, 1, 6); }   // YYMMDD
  std::string_view Time() const { return reception::Columns(r_, 8, 11); }  // HHMM
  bool Stamped() const { return At(12) == 'T'; }
  double NorthKm() const;
  double EastKm() const;
  bool Messaging() const { return At(32) == '\''; }
  std::string Call() const;  // 33-41 trimmed
  std::string_view CallView() const;
  bool Emergency() const { return At(42) == '!'; }
  std::string Comment() const;  // 43-89 trimmed
  bool IsObject() const { return At(90) == '_'; }
  std::string Via() const;  // 91-99 trimmed
  std::string_view ViaView() const;
  std::string Symbol() const;  // 101-103 trimmed
  std::string_view SymbolView() const;
  bool ViaFromInternet() const;  // heard-via starting with a lower-case letter
  bool AllBlank() const;

 private:
  char At(int column) const { return column <= static_cast<int>(r_.size()) ? r_[column - 1] : ' '; }
  std::string_view r_;
};

// The minute of a record's date and time (20YY-MM-DD HH:MM), counted from
// 1970-01-01 00:00; nothing when columns 1-11 do not form a valid date and
// time. The same of a clock's reading (nothing for a date that is none).
std::optional<long> MinuteStamp(const RecordView& record);
std::optional<long> MinuteStamp(const reception::LocalTime& t);
// The whole minutes from one stamp to a later one; nothing when either is missing.
inline std::optional<long> AgeBetween(std::optional<long> then, std::optional<long> now) {
  if (!then || !now) return std::nullopt;
  return *now - *then;
}

// Whole minutes from the record's date and time to now; nothing when columns
// 1-11 do not form a valid date and time.
std::optional<long> AgeMinutes(const RecordView& record, const reception::LocalTime& now);

// The symbol table row of a symbol text (table, code, overlay). A symbol of
// fewer than two characters, or one whose index lies outside the table, takes
// the fill row ("No Symbol", fixed); index is set to the row used (0 for the
// fill row).
std::string_view SymbolRowOf(std::string_view symbol, const reception::SymbolTable& table, int* index = nullptr);

// The station class of a record: its symbol's class, 3 for an object or item.
int StationClassOf(const RecordView& record, const reception::SymbolTable& table);

// The bit of StationFilterMask that shows a class (class 2: 1, 1: 2, 0: 4, 3: 8, 4: 16).
int FilterBitOf(int stationClass);

struct Rgb {
  int red = 0, green = 0, blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kStationColour{152, 0, 184};
inline constexpr Rgb kInternetStationColour{200, 0, 232};
inline constexpr Rgb kTrackColourRecent{255, 255, 0};
inline constexpr Rgb kTrackColourHours{224, 255, 32};
inline constexpr Rgb kTrackColourOld{192, 255, 64};
inline constexpr Rgb kTrackColourPedestrian{96, 255, 208};
inline constexpr Rgb kTrackColourStamped{208, 208, 208};
inline constexpr Rgb kMessagingGreen{0, 255, 0};
inline constexpr Rgb kAlarmOrange{255, 128, 0};

// MONI ALL: the grey of a report at level 1 (white at the other levels):
// 255 - age in minutes, the age held to 0..255; a report without a valid
// date and time counts as the oldest (black).
Rgb GreyByAge(const RecordView& record, const reception::LocalTime& now);
Rgb GreyOfAge(std::optional<long> age);

// MONI 1: the colour of a track report at a display level (1..6).
Rgb MoniOneTrackColour(const RecordView& record, int level, const reception::LocalTime& now);
// The same from what it is made of: the report's age, whether its symbol is
// one of a walker ("/," "/C" "/[" "/b" "\,") and whether it is stamped "T".
Rgb TrackColour(int level, std::optional<long> age, bool walking, bool stamped);
bool WalkingSymbol(const RecordView& record);

// MONI ALL drawing order: the calls of slots 1..count, each once, the station
// whose newest report is the oldest first, the station heard last at the end.
// Records with an empty call are left out. Built afresh at every pass.
std::vector<std::string> DrawingOrder(const std::vector<std::string>& log, int count);

// ---------------------------------------------------------------------------
// Filters, display levels and distance-alarm switches of the main window.

// The caption colour of the MONI ALL km ALARM box after a switch.
enum class AlarmCaption { Unchanged, Red, DarkRed };

struct SwitchOutcome {
  AlarmCaption alarmCaption = AlarmCaption::Unchanged;
  bool redraw = true;  // the map is to be drawn anew
};

class StationSwitches {
 public:
  // The filter mask (bit per class), 31 at start.
  int FilterMask() const { return mask_; }
  bool ClassShown(int stationClass) const { return (mask_ & FilterBitOf(stationClass)) != 0; }
  // Check13: 0 mobile stations hidden, 1 shown, 2 shown only when they move.
  int MobileFilter() const { return mobile_; }
  // MONI ALL level 0..5; the top level shows "WX" and is held as level 1.
  int Level() const { return level_; }
  bool WxLevel() const { return wx_; }
  std::string LevelCaption() const;  // Label16
  bool MoniAllAlarmOn() const { return moniAllAlarm_; }
  bool MoniOneAlarmOn() const { return moniOneAlarm_; }
  int MoniOneLevel() const { return moniOneLevel_; }

  // A class box (Check10 class 2, Check11 class 1, Check19 class 3, Check25
  // class 4) ticked or unticked. At the "WX" level the weather box stays ticked;
  // the result says whether the box itself is ticked afterwards.
  SwitchOutcome SetClassShown(int stationClass, bool shown, bool* boxTicked = nullptr);
  // A press on Check13: the value cycles 0, 1, 2, 0.
  SwitchOutcome PressMobile();
  // Command13 and Command14.
  SwitchOutcome LevelDown();
  SwitchOutcome LevelUp();
  // The km ALARM boxes (left button): MONI ALL on switches MONI 1 on, MONI 1
  // off switches MONI ALL off.
  void SetMoniOneAlarm(bool on);
  void SetMoniAllAlarm(bool on);
  // Command16 and Command17: the MONI 1 level 1..6.
  void MoniOneLevelDown();
  void MoniOneLevelUp();

  // The alarm distance of the ALARM DIST SETUP box: the number rounded half to
  // even and held to 1..100; a text without a number gives 1.
  static int AlarmDistanceFromText(std::string_view text);

 private:
  AlarmCaption AlarmAvailability();
  int mask_ = 31;
  int mobile_ = 1;
  int level_ = 2;
  bool wx_ = false;
  bool moniAllAlarm_ = false;
  bool moniOneAlarm_ = true;
  int moniOneLevel_ = 2;
};

// ---------------------------------------------------------------------------
// MONI 1

// The MONI 1 panel's read-outs: Combo9, Label6, Label9, Label10.
struct MoniOneReadouts {
  std::string call;   // the first 9 characters of the MONI 1 call
  std::string count;  // the number of records
  std::string stamp;  // "20YY-MM-DD HHMM", empty without records
  std::string text;   // "TEXT: " and the comment, every "&" doubled
};
MoniOneReadouts MoniOneReadoutsOf(const reception::ReceptionState& state);

}  // namespace zeblon::stations
