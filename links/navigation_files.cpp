#include "links/navigation_files.h"

#include <fstream>

#include "geodesy/text.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "settings/text_files.h"

namespace zeblon::links {

namespace {

// The navigation folder, C:\MAP\<map system> below the program folder, as named.
std::string NavigationFolder(std::string_view map_system, const std::filesystem::path& program_folder) {
  return platform::WindowsPathToLinux("C:\\MAP\\" + std::string(map_system), program_folder);
}

}  // namespace

std::string NavigationStopLine(std::string_view record) {
  std::string line = std::string(record) + " STOP   ZEBLON_NAVIGATION_ENDED";
  line.resize(54, ' ');
  return line + "@(xxx)@yyy@zzz";
}

bool WriteNavigationFiles(const std::filesystem::path& folder, std::string_view record, std::string& navigation_line,
                          std::string_view north, std::string_view east) {
  std::string stop = NavigationStopLine(record);
  ConvertToDosCodePage(stop);
  stop = TrimRight(stop);
  std::string way;
  if (!navigation_line.empty()) way += "\r\n";
  way += stop + "\r\n";
  bool ok = true;
  {
    std::ofstream f(folder / "QTHWAY.TXT", std::ios::binary | std::ios::app);
    f << way;
    ok = ok && f.good();
  }
  ok = WriteFileAtomically(folder / "QTHACT.TXT", stop + "\r\n") && ok;
  ok = WriteFileAtomically(folder / "QTHACTPR.TXT", "\xFE" + std::string(north) + std::string(east) + "\r\n") && ok;
  navigation_line = stop;
  return ok;
}

bool EndRecordedRoute(NavigationState& nav, std::string_view map_system, const std::filesystem::path& program_folder) {
  if (nav.NavigationActive != 1 || nav.NavigationRecording != 1) return true;
  const std::filesystem::path folder = platform::ResolveOrSame(NavigationFolder(map_system, program_folder));
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return WriteNavigationFiles(folder, nav.NavigationRecord, nav.NavigationLine, nav.GpsNorthText, nav.GpsEastText);
}

bool NavigationRecordingWanted(std::string_view gps_source, std::string_view map_system,
                               const std::filesystem::path& program_folder) {
  if (LeadingNumber(gps_source) <= 0 || gps_source.find("SAVE") == std::string_view::npos) return false;
  const auto nav = platform::ResolveCaseInsensitive(NavigationFolder(map_system, program_folder));
  std::error_code ec;
  if (!nav || !std::filesystem::is_directory(*nav, ec)) return false;
  for (std::filesystem::directory_iterator it(*nav, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec)) return true;
  }
  return false;
}

}  // namespace zeblon::links
