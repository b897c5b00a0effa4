#include "panels/saved_messages.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "reception/messages.h"
#include "reception/station_record.h"
#include "settings/text_files.h"

namespace zeblon::panels {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCutAt = 121;  // lines from which the log is cut
constexpr std::size_t kKept = 100;   // lines it keeps then

std::vector<std::string> LogLines(std::string_view bytes) {
  std::vector<std::string> lines = SplitLines(bytes);
  // The last line end does not start another line.
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace

SavedLog ShowSavedLog(const fs::path& log) {
  SavedLog r;
  std::error_code ec;
  if (!fs::exists(log, ec)) {
    std::ofstream create(log, std::ios::binary | std::ios::app);
    if (!create) {
      r.ok = false;
      r.error = "CANNOT CREATE " + log.string();
      return r;
    }
  }
  std::string bytes;
  if (!ReadWholeFile(log, bytes)) {
    r.ok = false;
    r.error = "CANNOT READ " + log.string();
    return r;
  }
  std::vector<std::string> lines = LogLines(bytes);
  r.lines = lines.size();
  if (lines.size() >= kCutAt) {
    lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(kKept));
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    if (WriteFileAtomically(log, out, &r.error)) {
      r.cut = true;
    } else {
      r.ok = false;  // the log stays as it was; the window shows what would be kept
    }
  }
  for (const std::string& l : lines) r.text += l + "\r\n";
  return r;
}

bool DeleteSavedLog(const fs::path& log, const std::vector<std::string>& chatLines, const reception::LocalTime& now,
                    std::string* error) {
  std::string out;
  for (const std::string& l : chatLines)
    if (!Trim(l).empty()) out += reception::ChatLogLine(now, l, true);
  return WriteFileAtomically(log, out, error);
}

std::string CallFromChatLine(std::string_view line, int caret) {
  if (caret < 10) return reception::TrimmedColumns(line, 1, 9);
  if (caret > 10) return reception::TrimmedColumns(line, 11, 19);
  return {};
}

std::string CallFromMarkedText(std::string_view marked) {
  std::string call = Trim(marked);
  if (!call.empty() && call[0] == ':') call = Trim(std::string_view(call).substr(1));
  return call;
}

int LastRecordOfCall(const std::vector<std::string>& log, int count, std::string_view call) {
  const int last = std::min<int>(count, static_cast<int>(log.size()) - 1);
  for (int i = last; i >= 1; --i)
    if (reception::TrimmedColumns(log[static_cast<std::size_t>(i)], 33, 41) == call) return i;
  return 0;
}

}  // namespace zeblon::panels
