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

}  // namespace zeblon::reception
