#include "settings/text_files.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

namespace zeblon {

namespace fs = std::filesystem;

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

std::string TrimUpper(std::string_view text) { return platform::UpperAscii(TrimView(text)); }

std::string_view TrimRightView(std::string_view text) {
  size_t e = text.size();
  while (e > 0 && text[e - 1] == ' ') --e;
  return text.substr(0, e);
}

std::string TrimRight(std::string_view text) { return std::string(TrimRightView(text)); }

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

bool ReadWholeFile(const fs::path& file, std::string& bytes) {
  // Read at the system level: a stream opens a folder and reads it as an empty
  // file, and does not tell a failing read from the end of the file.
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return false;
  }
  std::string out;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      out.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      ::close(fd);
      return false;
    }
  }
  ::close(fd);
  bytes = std::move(out);
  return true;
}

std::vector<std::string> ListFileNames(const fs::path& folder_in, std::string_view extension, bool sorted,
                                       std::string_view skip_prefix) {
  std::vector<std::string> names;
  const auto folder = platform::ResolveCaseInsensitive(folder_in);
  if (!folder) return names;
  const std::string ext = platform::UpperAscii(extension);
  std::error_code ec;
  for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fec;
    if (!it->is_regular_file(fec)) continue;
    const std::string name = it->path().filename().string();
    if (platform::UpperAscii(it->path().extension().string()) != ext) continue;
    if (!skip_prefix.empty() && name.compare(0, skip_prefix.size(), skip_prefix) == 0) continue;
    names.push_back(platform::UpperAscii(it->path().stem().string()));
  }
  if (sorted) std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> ReadLines(const fs::path& file, std::size_t max_lines) {
  std::string bytes;
  if (!ReadWholeFile(file, bytes)) return {};
  std::vector<std::string> lines = SplitLines(bytes);
  if (lines.size() > max_lines) lines.resize(max_lines);
  return lines;
}

}  // namespace zeblon
