#include "links/navigation_files.h"

#include <fstream>

#include "geodesy/text.h"
#include "platform/safe_file.h"
#include "settings/text_files.h"

namespace zeblon::links {

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

}  // namespace zeblon::links
