// The GPS navigation recording: whether it runs, and its files at shutdown (the
// STOP line of the way file and the current-position files).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "links/gps_reader.h"

namespace zeblon::links {

// The 68-character STOP line of the navigation files (before the code-page step).
std::string NavigationStopLine(std::string_view navigation_record);

// Writes QTHWAY.TXT (appended: a line end first when a way line is open), QTHACT.TXT
// and QTHACTPR.TXT in `folder`. `navigation_line` becomes the STOP line. False when a
// file could not be written.
bool WriteNavigationFiles(const std::filesystem::path& folder, std::string_view navigation_record,
                          std::string& navigation_line, std::string_view gps_north_text,
                          std::string_view gps_east_text);

// The shutdown's end of a recorded route: when the recording is on and has taken a
// fix, the navigation files are written (WriteNavigationFiles) in the navigation
// folder, C:\MAP\<map system> below the program folder, made when missing. False
// when a file could not be written.
bool EndRecordedRoute(NavigationState& nav, std::string_view map_system, const std::filesystem::path& program_folder);

// The recording at start-up: the GPS source names a port and SAVE, and the
// navigation folder (C:\MAP\<map system> below the program folder) holds a file.
bool NavigationRecordingWanted(std::string_view gps_source, std::string_view map_system,
                               const std::filesystem::path& program_folder);

}  // namespace zeblon::links
