// libFuzzer target: bytes as the MONI 1 log file. The first byte gives the
// SMART LOG line limit; the rest is the file, read by each of its readers: the
// start-up's restore (read, pruned, rewritten, read again), the receive pass's
// reading of the MONI 1 track, the choice of the station (every record kept) and
// the SMART LOG trimming at START.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <fstream>
#include <string>
#include <string_view>

#include "reception/moni_one_log.h"
#include "reception/station_store.h"
#include "reception/station_record.h"
#include "scratch.h"
#include "settings/settings.h"
#include "settings/text_files.h"
#include "start_window/smart_log.h"

using zeblon_fuzz::Check;
namespace fs = std::filesystem;

namespace {

void Put(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const double limit = 1 + data[0] % 40;  // 1 is held at the least limit, 2
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  static const fs::path log = [] {
    fs::create_directories(zeblon_fuzz::ScratchFolder() / "LOG");
    return zeblon_fuzz::ScratchFolder() / "LOG" / "QW7TK.TXT";
  }();

  // The start-up's restore; the store then holds what the rewritten file holds,
  // as the receive pass's reader reads it.
  Put(log, bytes);
  const auto restored = zeblon::reception::RestoreMoniOneLog(log);
  Check(restored.rewritten);
  Check(restored.records.size() <= static_cast<std::size_t>(zeblon::reception::kMoniOneMaxLines));
  for (const std::string& r : restored.records) Check(r.size() == zeblon::reception::kRecordLength);
  bool ok = false;
  Check(zeblon::reception::ReadMoniOneLog(log, &ok) == restored.records);
  Check(ok);
  // The records of the bytes as they came.
  const auto as_came = zeblon::reception::MoniOneRecordsOf(bytes);
  Check(as_came.size() <= static_cast<std::size_t>(zeblon::reception::kMoniOneMaxLines));
  for (const std::string& r : as_came) Check(r.size() == zeblon::reception::kRecordLength);

  // The choice of the station keeps every record as it came, in the track and in
  // the rewritten file.
  static zeblon::reception::StationStore store;
  Put(log, bytes);
  Check(store.SelectWatched(zeblon_fuzz::ScratchFolder(), "QW7TK", false));
  Check(store.MoniOneCount() == static_cast<int>(as_came.size()));
  Check(std::equal(as_came.begin(), as_came.end(), store.MoniOneTrack().begin() + 1));
  std::string chosen;
  Check(zeblon::ReadWholeFile(log, chosen));
  Check(chosen == zeblon::reception::MoniOneLogText(as_came));

  // SMART LOG on the file as it was.
  Put(log, bytes);
  const auto trimmed = zeblon::TrimMoniOneLogFile(log, limit);
  Check(trimmed.ran);
  Check(trimmed.linesKept <= trimmed.linesRead);
  Check(trimmed.sweeps >= 1 && trimmed.sweeps <= zeblon::kSmartLogMaxSweeps);
  if (trimmed.sweeps < zeblon::kSmartLogMaxSweeps)
    Check(trimmed.linesKept <= std::max(limit, zeblon::kSmartLogMinLineLimit));
  std::string back;
  Check(zeblon::ReadWholeFile(log, back));
  int records = 0;
  for (const std::string& line : zeblon::SplitLines(back)) records += zeblon::IsMoniOneLogRecord(line);
  // A record written without its trailing blanks may fall short of a record's length.
  Check(records <= trimmed.linesKept);
  // Nothing but the log in its folder: no temporary file stays behind.
  Check(std::distance(fs::directory_iterator(log.parent_path()), fs::directory_iterator()) == 1);
  return 0;
}
