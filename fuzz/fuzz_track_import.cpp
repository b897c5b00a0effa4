// libFuzzer target: bytes as the files of the track import. The bytes up to the
// first NUL are a VEC file, up to the next a TRK file, the rest the way log
// QTHWAY.TXT; the first byte of the VEC part also names the file.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "links/track_import.h"
#include "scratch.h"
#include "settings/settings.h"
#include "settings/text_files.h"

using zeblon_fuzz::Check;
using namespace zeblon::links;

namespace {

std::string_view Part(std::string_view& rest) {
  const std::size_t nul = rest.find('\0');
  const std::string_view part = rest.substr(0, nul);
  rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
  return part;
}

bool Blank(const std::string& line) { return zeblon::Trim(line).empty(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const auto vec = zeblon::SplitLines(Part(rest));
  const auto trk = zeblon::SplitLines(Part(rest));
  const auto way = zeblon::SplitLines(rest);
  const std::string name = size > 0 && data[0] % 2 ? "20250601.VEC" : "X";

  // Every line of both files is written once, but a TRK line whose key a VEC line
  // takes, and blank VEC lines.
  const auto merged = MergeTrackLines(vec, trk);
  std::size_t vec_lines = 0;
  for (const auto& l : vec) vec_lines += !Blank(l);
  Check(merged.size() <= vec_lines + trk.size());
  Check(merged.size() >= vec_lines);
  for (const auto& l : merged) (void)TrackLineKey(l);

  const auto summary = WayLogSummaryLine(vec, name);
  Check(summary.has_value() == (vec_lines > 0));
  if (summary) {
    const auto log = InsertWayLogLine(way, *summary);
    Check(log.size() == way.size() + 1);
    std::size_t found = 0;
    for (const auto& l : log) found += l == *summary;
    Check(found >= 1);
  }
  return 0;
}
