// The MONI 1 log: the watched station's reports, one StationRecord per line with
// its trailing blanks removed, CR LF after each, oldest first. A line counts as a
// record only when it has 103 to 120 characters; other lines are dropped whenever
// the file is rewritten.
//
// Three places cut the older trips out of the log, each with its own gap rule
// (below). Choosing a station cuts nothing: the user asked to see it, with every
// report stored of it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reception/station_record.h"

namespace zeblon::reception {

// Gap rules: everything before the last forward gap of more than so many day
// numbers (RecordDayNumber, 30-day months) goes.
//
// The receive passes, with SMART LOG on, thin a track that has outgrown its limit
// while reports come in. A station silent for three weeks has started a new trip;
// its earlier trips go first, before a position of the current one is thinned.
inline constexpr long kReceivePassGapDays = 20;
// The start-up loads the station's current stay into the window: after a month
// without a report the older track belongs to another journey, and the map would
// draw its line from there across to where the station is now.
inline constexpr long kStartUpGapDays = 30;
// SMART LOG at START brings a log above the computer's line limit down before the
// window loads it, to the same end as the receive passes: the earlier trips go
// before the current one is thinned.
inline constexpr long kSmartLogGapDays = 20;

// The number of `records` (oldest first) that lie before the last forward gap of
// more than `days` day numbers; 0 without one. A step back in time cuts nothing.
std::size_t RecordsBeforeLastGap(std::span<const std::string> records, long days);

// The log's bytes for `records`: each without its trailing blanks and followed by
// CR LF; blank records are left out.
std::string MoniOneLogText(std::span<const std::string> records);

// Writes the log anew (temporary file, then rename). False when it failed.
bool WriteMoniOneLog(const std::filesystem::path& path, std::span<const std::string> records);

struct MoniOneLogFile {
  std::vector<std::string> records;  // each padded to 120, oldest first
  bool read = false;                 // the file could be read
  bool rewritten = false;            // the file was written back
  bool folderMissing = false;        // the LOG folder had to be created
};

// The log at the start of a rewrite: the LOG folder and a missing file are created
// (empty), what a killed rewrite left in the folder goes, and the records are read
// (of a longer log the newest kMoniOneMaxLines). A log that cannot be read gives
// no records and `read` false: it must not be rewritten from nothing.
MoniOneLogFile OpenMoniOneLog(const std::filesystem::path& path);

// The start-up's restore: the log opened as above, cut before its last gap of more
// than kStartUpGapDays, rewritten, and read back (the records are what the file
// holds).
MoniOneLogFile RestoreMoniOneLog(const std::filesystem::path& path);

}  // namespace zeblon::reception
