// libFuzzer target: bytes as a data file of TALMOR's data file converter. The
// first byte chooses the kind of file (.TXT station log, .POI, .TRK); the rest is
// the file, converted line by line.
#include <cstdint>
#include <string>

#include "scratch.h"
#include "talmor/file_converters.h"

using zeblon_fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const char* const kNames[] = {"A.TXT", "A.POI", "A.TRK", "A.DOC"};
  const int column = talmor::PositionColumn(kNames[data[0] % 4]);
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string converted = talmor::ConvertDataText(text, column);
  // Line by line, each line ended by CR LF; a converted line keeps its length.
  Check(converted.empty() || converted.ends_with("\r\n"));
  std::size_t from = 0, at = 0;
  while (from < text.size()) {
    std::size_t end = text.find_first_of("\r\n", from);
    if (end == std::string::npos) end = text.size();
    const std::size_t length = end - from;
    Check(converted.size() >= at + length + 2);
    Check(converted.compare(at + length, 2, "\r\n") == 0);
    at += length + 2;
    from = end + (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  Check(at == converted.size());
  return 0;
}
