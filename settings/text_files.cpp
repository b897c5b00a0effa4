#include "settings/text_files.h"

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

}  // namespace zeblon
