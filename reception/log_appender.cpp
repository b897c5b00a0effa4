#include "reception/log_appender.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zeblon::reception {
namespace {

// The open file is still the one its name gives: neither deleted nor moved
// away since it was opened.
bool StillTheFile(int fd, const std::filesystem::path& path) {
  struct stat open {
  }, named{};
  return ::fstat(fd, &open) == 0 && open.st_nlink > 0 && ::stat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

bool AppendWholeLines(int fd, std::string_view bytes, const WriteFunction& write, int& error, bool& torn) {
  error = 0;
  if (bytes.empty()) return true;
  struct stat before {};
  const bool sizeKnown = ::fstat(fd, &before) == 0;
  std::size_t written = 0;
  while (written < bytes.size()) {
    const void* at = bytes.data() + written;
    const std::size_t left = bytes.size() - written;
    const ssize_t n = write ? write(fd, at, left) : ::write(fd, at, left);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    error = n < 0 ? errno : ENOSPC;  // a write that takes nothing has no room
    break;
  }
  if (written == bytes.size()) return true;
  // Only whole lines stay: the torn rest of the write is cut away.
  const std::size_t lineEnd = bytes.substr(0, written).rfind('\n');
  const std::size_t keep = lineEnd == std::string_view::npos ? 0 : lineEnd + 1;
  if (keep < written && (!sizeKnown || ::ftruncate(fd, before.st_size + static_cast<off_t>(keep)) != 0)) torn = true;
  return false;
}

std::string_view OwedLineEnd(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_size <= 0) return {};
  char last = '\n';
  if (::pread(fd, &last, 1, st.st_size - 1) != 1) return {};
  if (last == '\n') return {};
  return last == '\r' ? "\n" : "\r\n";
}

int OpenForAppending(const std::filesystem::path& path) {
  // Read too, for the look at the last line's end.
  const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd >= 0 || errno != EACCES) return fd;
  return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}

LogAppender::~LogAppender() { CloseAll(); }

void LogAppender::CloseAll() {
  for (OpenFile& f : open_) ::close(f.fd);
  open_.clear();
  if (notices_ >= 0) ::close(notices_);
  notices_ = -1;
}

bool LogAppender::NoticesSaySomethingWent() {
  if (notices_ < 0) return false;
  // The common case, nothing waiting, costs one question for the count.
  int waiting = 0;
  if (::ioctl(notices_, FIONREAD, &waiting) == 0 && waiting == 0) return false;
  alignas(inotify_event) char buffer[4096];
  bool any = false;
  for (;;) {
    const ssize_t n = ::read(notices_, buffer, sizeof buffer);
    if (n > 0) {
      any = true;  // a name went from a watched folder (or the folder itself): every open file is looked at
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    // The notices cannot be had any longer: from now on each file is looked at itself.
    ::close(notices_);
    notices_ = -1;
    noNotices_ = true;
    for (OpenFile& f : open_) f.watched = false;
    return true;
  }
  return any;
}

int LogAppender::FdFor(const std::filesystem::path& path) {
  for (auto it = open_.begin(); it != open_.end(); ++it) {
    if (it->path.native() != path.native()) continue;
    if (it->watched || StillTheFile(it->fd, it->path)) return it->fd;
    // Deleted or moved away while open: the next lines belong in a file of that name again.
    ::close(it->fd);
    open_.erase(it);
    break;
  }
  // The folder is watched before the file opens, so that no deletion after the
  // open goes unnoticed.
  bool watched = false;
  if (!noNotices_) {
    if (notices_ < 0) notices_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notices_ < 0) {
      noNotices_ = true;
    } else {
      const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
      watched =
          ::inotify_add_watch(notices_, folder.c_str(), IN_DELETE | IN_MOVED_FROM | IN_DELETE_SELF | IN_MOVE_SELF) >= 0;
    }
  }
  const int fd = OpenForAppending(path);
  if (fd < 0) return fd;
  open_.push_back({path, fd, watched});
  // A line left without its end (by a program killed while it appended) is ended
  // before anything is appended to it.
  if (!OwedLineEnd(fd).empty() && std::find(torn_.begin(), torn_.end(), path.native()) == torn_.end()) {
    torn_.push_back(path.native());
  }
  return fd;
}

void LogAppender::AppendAll(Piece* pieces, std::size_t count) {
  // One read of the notices for the batch; after a notice every file is looked at.
  const bool lookAtFiles = NoticesSaySomethingWent();
  if (lookAtFiles) {
    for (auto it = open_.begin(); it != open_.end();) {
      if (StillTheFile(it->fd, it->path)) {
        ++it;
        continue;
      }
      ::close(it->fd);
      it = open_.erase(it);
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    Piece& p = pieces[i];
    p.ok = false;
    p.error = 0;
    const int fd = FdFor(*p.path);
    if (fd < 0) {
      p.error = errno;
      continue;
    }
    bool torn = false;
    const auto wasTorn = std::find(torn_.begin(), torn_.end(), p.path->native());
    if (wasTorn != torn_.end()) {
      // The torn line of an earlier append is ended first.
      if (!AppendWholeLines(fd, OwedLineEnd(fd), write_, p.error, torn)) continue;
      torn_.erase(wasTorn);
    }
    p.ok = AppendWholeLines(fd, p.bytes, write_, p.error, torn);
    if (torn) torn_.push_back(p.path->native());
  }
}

bool LogAppender::Append(const std::filesystem::path& path, std::string_view bytes) {
  Piece piece{&path, bytes};
  AppendAll(&piece, 1);
  return piece.ok;
}

}  // namespace zeblon::reception
