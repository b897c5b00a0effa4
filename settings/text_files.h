// The text and file helpers every module shares: trimming, line splitting, whole-file
// reads and writes through a temporary file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/safe_file.h"

namespace zeblon {

// Splits file bytes into lines at CR LF, LF or CR.
std::vector<std::string> SplitLines(std::string_view text);

// Files are rewritten through platform::WriteFileAtomically: a temporary file
// beside them, flushed to the disk, renamed over them, the folder flushed.
using platform::WriteFileAtomically;

// Reads a whole file; false when it cannot be read (missing, a folder, a read error).
bool ReadWholeFile(const std::filesystem::path& file, std::string& bytes);

// Leading and trailing blanks (spaces) removed; other white space stays.
inline std::string_view TrimView(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  return text.substr(b, e - b);
}
std::string Trim(std::string_view text);
// Trimmed, with the ASCII letters in capitals (calls, folder and file names).
std::string TrimUpper(std::string_view text);
// Trailing blanks removed.
std::string_view TrimRightView(std::string_view text);
std::string TrimRight(std::string_view text);

// Upper-case names without extension of the files with `extension` (".TRK") in
// `folder`, sorted; names starting with `skip_prefix` left out (when not empty).
std::vector<std::string> ListFileNames(const std::filesystem::path& folder, std::string_view extension, bool sorted,
                                       std::string_view skip_prefix = {});

// Reads a text file's lines (CR LF, LF or CR ends), at most `max_lines`.
std::vector<std::string> ReadLines(const std::filesystem::path& file, std::size_t max_lines);

}  // namespace zeblon
