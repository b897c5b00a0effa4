// The track import at START: track files with the extension .VEC that another
// program put into U33/VEC below the program folder are merged into the day's
// TRK files in U33/TRK and then deleted. Where the folder "C:\MAP\U33" exists
// (on Linux: drive_c/MAP/U33 below the program folder), a copy of each file is
// kept there and one summary line, the point farthest from the track's first
// point, is inserted into the way log QTHWAY.TXT.
//
// A track file is deleted only after its merge has been written completely and
// flushed to the disk; when anything of the merge fails, the file stays for the
// next start. Each merged file is replaced whole through a temporary file beside
// it (platform/safe_file.h); the import first removes what a killed import left.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zeblon::links {

// At most this many track files are imported at one start.
inline constexpr int kMaxVecFilesPerStart = 200;

// The time key of a TRK or VEC line: the 13 characters from column 21 (YYYYMMDD HHMM).
std::string TrackLineKey(const std::string& line);
// The time key of a way log line: the 11 characters from column 11 (YYMMDD HHMM).
std::string WayLogLineKey(const std::string& line);

// A VEC file's lines merged into a TRK file's lines by their time keys; a VEC line
// takes the place of a TRK line with the same key; blank VEC lines are dropped.
std::vector<std::string> MergeTrackLines(const std::vector<std::string>& vec_lines,
                                         const std::vector<std::string>& trk_lines);

// The way log's summary line of a VEC file: the line farthest from the first line
// (of equal distances the later), none when the file holds no line.
std::optional<std::string> WayLogSummaryLine(const std::vector<std::string>& vec_lines,
                                             const std::string& vec_file_name);

// The way log with the summary line inserted by its key.
std::vector<std::string> InsertWayLogLine(const std::vector<std::string>& log_lines, const std::string& summary);

struct TrackImportResult {
  int imported = 0;                 // merged and deleted
  std::vector<std::string> failed;  // VEC file names kept because their merge failed
};

// The import of one START. `app_folder` is the program folder.
TrackImportResult ImportVecTrackFiles(const std::filesystem::path& app_folder);

}  // namespace zeblon::links
