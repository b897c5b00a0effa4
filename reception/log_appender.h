// Log files that the receive pass appends to, kept open from pass to pass: each
// append is written to the file at once (no buffer of our own), so what was
// appended is in the file when the call returns. A file that was deleted or
// moved away while open is opened anew by its path before the next append.
//
// Whether a file went is learnt from the kernel's notices on the files' folders
// (one read for every batch of appends); only after a notice, or where no
// notice can be had, is each file looked at itself.
//
// An append is whole lines or nothing: when the disk fills in the middle of a
// line, the file is cut back to the end of the last whole line written, so the
// next append never continues a torn one. A file whose last line has no end
// when it is opened (a program killed in the middle of an append, a file
// edited by hand) gets its line end before the first append.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zeblon::reception {

// The write(2) of the appends; tests put one in its place that fails short.
using WriteFunction = std::function<ssize_t(int fd, const void* bytes, std::size_t count)>;

// Appends the bytes to the end of the open file `fd` (opened for appending),
// keeping whole lines only: when a write fails, what it left after the last line
// end (LF) of the bytes is cut away again, or, where the cut fails, `torn` is set
// (the next append of the file must begin with a line end). False when not all
// the bytes were written; `error` then holds the errno of the failure.
bool AppendWholeLines(int fd, std::string_view bytes, const WriteFunction& write, int& error, bool& torn);

// Opens the file for appending (made when it is not there); -1 with errno set
// when it cannot be opened.
int OpenForAppending(const std::filesystem::path& path);

// The line end the open file `fd` owes its last line: "" when it is empty or
// ends with LF (or cannot be read), LF after a CR, else CR LF.
std::string_view OwedLineEnd(int fd);

class LogAppender {
 public:
  LogAppender() = default;
  ~LogAppender();
  LogAppender(const LogAppender&) = delete;
  LogAppender& operator=(const LogAppender&) = delete;

  // One append of a batch: the bytes for the file at `path`; `ok` tells after
  // the batch whether they were written whole, `error` why not (an errno).
  struct Piece {
    const std::filesystem::path* path = nullptr;
    std::string_view bytes;
    bool ok = false;
    int error = 0;
  };
  // Appends each piece whole to its file, in order.
  void AppendAll(Piece* pieces, std::size_t count);
  // Appends the bytes whole; false when the file cannot be opened or written.
  bool Append(const std::filesystem::path& path, std::string_view bytes);
  // Closes every file (they open again on the next append).
  void CloseAll();
  std::size_t OpenFiles() const { return open_.size(); }
  // The write of the appends (write(2) unless a test sets another).
  void SetWriteFunction(WriteFunction write) { write_ = std::move(write); }

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
  WriteFunction write_;
  // Files left with a torn line that could not be cut away, or found with one
  // when opened: their next append begins with a line end. Kept over CloseAll.
  std::vector<std::string> torn_;
};

}  // namespace zeblon::reception
