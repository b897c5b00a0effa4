// Log files that the receive pass appends to, kept open from pass to pass: each
// append is written to the file at once (no buffer of our own), so what was
// appended is in the file when the call returns. A file that was deleted or
// moved away while open is opened anew by its path before the next append.
//
// Whether a file went is learnt from the kernel's notices on the files' folders
// (one read for every batch of appends); only after a notice, or where no
// notice can be had, is each file looked at itself.
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

  // One append of a batch: the bytes for the file at `path`; `ok` tells after
  // the batch whether they were written whole.
  struct Piece {
    const std::filesystem::path* path = nullptr;
    std::string_view bytes;
    bool ok = false;
  };
  // Appends each piece whole to its file, in order.
  void AppendAll(Piece* pieces, std::size_t count);
  // Appends the bytes whole; false when the file cannot be opened or written.
  bool Append(const std::filesystem::path& path, std::string_view bytes);
  // Closes every file (they open again on the next append).
  void CloseAll();
  std::size_t OpenFiles() const { return open_.size(); }

 private:
  struct OpenFile {
    std::filesystem::path path;
    int fd = -1;
    bool watched = false;  // its folder's notices arrive
  };
  // The open file for the path, opened when it is not (or no longer) open.
  int FdFor(const std::filesystem::path& path);
  // Reads the waiting notices; true when one may concern an open file.
  bool NoticesSaySomethingWent();
  std::vector<OpenFile> open_;
  int notices_ = -1;  // the notice descriptor, -1 before the first file or where there is none
  bool noNotices_ = false;
};

}  // namespace zeblon::reception
