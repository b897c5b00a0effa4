// The GPS navigation recording's files at shutdown: the STOP line of the way
// file and the current-position files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zeblon::links {

// The 68-character STOP line of the navigation files (before the code-page step).
std::string NavigationStopLine(std::string_view navigation_record);

// Writes QTHWAY.TXT (appended: a line end first when a way line is open), QTHACT.TXT
// and QTHACTPR.TXT in `folder`. `navigation_line` becomes the STOP line. False when a
// file could not be written.
bool WriteNavigationFiles(const std::filesystem::path& folder, std::string_view navigation_record,
                          std::string& navigation_line, std::string_view gps_north_text,
                          std::string_view gps_east_text);

}  // namespace zeblon::links
