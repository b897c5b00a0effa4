// The station record: one received position report as a fixed text of 120
// characters with its fields at fixed columns, the two report stores and the
// formats of the station logs.
//
// Columns (1-based): 1-6 date YYMMDD, 8-11 time HHMM, 12 "T" (own timestamp off
// the clock), 13 the position mark (byte 254), 14-22 northing km, 23-31 easting
// km, 32 "'" messaging, 33-41 call or object name, 42 "!" emergency, 43-89
// comment, 90 "_" object or item, 91-100 heard-via, 101-103 symbol table, code
// and overlay, 105-120 symbol name, a blank and the overlay.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "settings/text_files.h"

namespace zeblon::reception {

inline constexpr std::size_t kRecordLength = 120;
inline constexpr char kPointMark = '\xFE';  // "þ" in the 8-bit code page
inline constexpr int kMoniAllSlots = 3001;
inline constexpr int kMoniOneSlots = 10000;
inline constexpr int kMoniOneMaxLines = 9998;  // lines a restoring reader takes
inline constexpr std::size_t kCommentWidth = 47;

// A record of 120 blanks.
std::string BlankRecord();

// Writes value into record from the 1-based column over as many characters as
// it has; the record never grows (what would run past its end is cut).
void WriteAt(std::string& record, int column, std::string_view value);

// Characters first..last (1-based, inclusive) of a text, as far as it has them.
inline std::string_view Columns(std::string_view text, int first, int last) {
  if (first < 1) first = 1;
  if (last < first) return {};
  const std::size_t start = static_cast<std::size_t>(first - 1);
  if (start >= text.size()) return {};
  return text.substr(start, static_cast<std::size_t>(last - first + 1));
}

// The same, without leading and trailing blanks.
std::string TrimmedColumns(std::string_view text, int first, int last);

// The day number of a record's date (YYMMDD in columns 1 to 6) for the gap tests
// of the logs: year * 360 + month * 30 + day, two-digit years before 70 in the 2000s.
long RecordDayNumber(std::string_view record);

// A text stored into a slot: blank-padded or cut to 120 characters.
std::string ToSlot(std::string_view text);

// The position part of a record: the mark and the two PositionText values
// (northing truncated toward zero, easting rounded down to whole metres).
std::string PositionPart(double northingMetres, double eastingMetres);

// The comment as stored: one of more than 47 characters becomes its first 46
// and "~".
std::string CutComment(std::string_view comment);

// A value from the air as written into a record: a control byte would break the
// line-by-line files that mirror the stores, so it becomes "_".
std::string Printable(std::string text);

// The _LOG_.TXT line of a record: columns 1-58, a blank and columns 90-120
// (90 characters).
std::string ShortLogLine(std::string_view record);

// The fields of the last emergency (AlarmRecord).
struct AlarmRecord {
  std::string call;
  std::string time;       // "20YY-MM-DD HH:MM"
  std::string northText;  // PositionText values of the record
  std::string eastText;
  std::string latText;
  std::string lonText;
  std::string comment;
  std::filesystem::path file;  // the full path of _ALARM_.TXT
};

// The seven lines of an _ALARM_.TXT block, each followed by CR LF.
// internet: the block of an internet report ("QTH GLL : " on line 4).
std::string AlarmBlock(const AlarmRecord& alarm, std::string_view mapZoneText, bool internet = false);

// "20YY-MM-DD HH:MM" from YYMMDD and HHMM.
std::string AlarmTimeText(std::string_view date, std::string_view time);

// ---------------------------------------------------------------------------
// Files. Every write opens the file, appends to it and closes it again; the
// result says whether it worked (a failed write never throws). A file written
// anew goes through platform::WriteFileAtomically, so it is never left half
// written. An append keeps whole lines only (a full disk never leaves a torn
// line), and a last line that a killed program left without its end is ended
// before it; `error`, when given, gets the errno of a failure.

bool AppendToFile(const std::filesystem::path& path, std::string_view bytes, int* error = nullptr);

// The LOG folder below the data folder.
std::filesystem::path LogFolder(const std::filesystem::path& dataFolder);

// A call or object name as a file name inside the LOG folder. Names come from
// the air: every byte that could leave the folder or confuse the file system
// ("/", "\", ":", control bytes and a few others) becomes "_", and a name made
// only of points or starting with one gets "_" in front, so the result is
// always one plain file name. An empty name gives "_".
std::string SafeFileName(std::string_view name);

// The path of a file in a folder, matching an existing entry's name without
// regard to letter case; when none exists, folder / name.
std::filesystem::path FindFileInFolder(const std::filesystem::path& folder, std::string_view name);

// The MONI 1 log of a call: LOG / <call>.TXT (the call made safe as above).
std::filesystem::path MoniOneLogPath(const std::filesystem::path& dataFolder, std::string_view call);

// The records of a MONI 1 log's bytes: the lines of 103 to 120 characters, each
// blank-padded to 120; of a longer log the newest kMoniOneMaxLines.
std::vector<std::string> MoniOneRecordsOf(std::string_view bytes);

// The records of a MONI 1 log file as above; `ok` is false when the file could not
// be read (a missing file gives no records).
std::vector<std::string> ReadMoniOneLog(const std::filesystem::path& path, bool* ok = nullptr);

}  // namespace zeblon::reception
