#include "reception/moni_one_log.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "platform/safe_file.h"
#include "settings/text_files.h"

namespace zeblon::reception {

namespace fs = std::filesystem;

std::size_t RecordsBeforeLastGap(std::span<const std::string> records, long days) {
  std::size_t before = 0;
  for (std::size_t i = 0; i + 1 < records.size(); ++i) {
    if (RecordDayNumber(records[i + 1]) - RecordDayNumber(records[i]) > days) before = i + 1;
  }
  return before;
}

std::string MoniOneLogText(std::span<const std::string> records) {
  std::string text;
  text.reserve(records.size() * 110);
  for (const std::string& record : records) {
    const std::string line = TrimRight(record);
    if (line.empty()) continue;
    text += line;
    text += "\r\n";
  }
  return text;
}

bool WriteMoniOneLog(const fs::path& path, std::span<const std::string> records) {
  // Replaced whole: a crash in the middle leaves the old log, never a cut one.
  return platform::WriteFileAtomically(path, MoniOneLogText(records));
}

MoniOneLogFile OpenMoniOneLog(const fs::path& path) {
  MoniOneLogFile log;
  std::error_code ec;
  const fs::path folder = path.parent_path();
  if (!fs::is_directory(folder, ec)) {
    log.folderMissing = true;
    fs::create_directories(folder, ec);
  }
  platform::RemoveLeftoverTemporaryFiles(folder);
  if (!fs::exists(path, ec)) std::ofstream(path, std::ios::binary | std::ios::app);
  std::string bytes;
  log.read = ReadWholeFile(path, bytes);
  if (log.read) log.records = MoniOneRecordsOf(bytes);
  return log;
}

MoniOneLogFile RestoreMoniOneLog(const fs::path& path) {
  MoniOneLogFile log = OpenMoniOneLog(path);
  if (!log.read) return log;
  const std::size_t before = RecordsBeforeLastGap(log.records, kStartUpGapDays);
  log.records.erase(log.records.begin(), log.records.begin() + static_cast<std::ptrdiff_t>(before));
  log.rewritten = WriteMoniOneLog(path, log.records);
  // The store holds what the file holds.
  std::string bytes;
  if (log.rewritten && ReadWholeFile(path, bytes)) log.records = MoniOneRecordsOf(bytes);
  return log;
}

int MergeMoniAllIntoTrack(ReceptionState& st, std::string_view call, bool internetSupport) {
  auto& track = st.moniOneTrack;
  int& count = st.moniOneCount;
  int taken = 0;
  const int last = std::min(st.moniAllCount, static_cast<int>(st.moniAllLog.size()) - 1);
  for (int j = 0; j <= last; ++j) {
    const std::string& rec = st.moniAllLog[j];
    if (TrimmedColumns(rec, 33, 41) != call) continue;
    if (!(Columns(rec, 1, 11) > Columns(track[count], 1, 11))) continue;
    const bool fromInternet = rec.size() >= 91 && static_cast<unsigned char>(rec[90]) > 96;
    if (internetSupport && fromInternet && TrimmedColumns(rec, 43, 89).empty()) continue;
    // A full track makes room the way reception does: the oldest 1000 go.
    if (count >= kMoniOneMaxLines) {
      for (int i = 1; i <= count - 1000; ++i) track[i] = std::move(track[i + 1000]);
      for (int i = count - 999; i <= count; ++i) track[i] = BlankRecord();
      count -= 1000;
    }
    track[++count] = rec;
    ++taken;
  }
  return taken;
}

bool SelectMoniOneTrack(ReceptionState& st, std::string_view call, bool internetSupport) {
  const fs::path path = MoniOneLogPath(st.settings.dataFolder, call);
  MoniOneLogFile log = OpenMoniOneLog(path);
  for (auto& slot : st.moniOneTrack) slot = BlankRecord();
  st.moniOneCount = 0;
  for (std::string& record : log.records) st.moniOneTrack[++st.moniOneCount] = std::move(record);
  MergeMoniAllIntoTrack(st, call, internetSupport);
  if (!log.read) return false;
  return WriteMoniOneLog(path, std::span(st.moniOneTrack).subspan(1, static_cast<std::size_t>(st.moniOneCount)));
}

}  // namespace zeblon::reception
