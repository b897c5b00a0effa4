// Log files that the receive pass appends to, kept open from pass to pass: each
// append is written to the file at once (no buffer of our own), so what was
// appended is in the file when the call returns. A file that was deleted while
// open is opened anew by its path before the next append.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace zeblon::reception {

class LogAppender {
 public:
  LogAppender() = default;
  ~LogAppender();
  LogAppender(const LogAppender&) = delete;
  LogAppender& operator=(const LogAppender&) = delete;

  // Appends the bytes whole; false when the file cannot be opened or written.
  bool Append(const std::filesystem::path& path, std::string_view bytes);
  // Closes every file (they open again on the next append).
  void CloseAll();
  std::size_t OpenFiles() const { return open_.size(); }

 private:
  struct OpenFile {
    std::filesystem::path path;
    int fd = -1;
  };
  int FdFor(const std::filesystem::path& path);
  std::vector<OpenFile> open_;
};

}  // namespace zeblon::reception
