#include "reception/log_appender.h"

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
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd >= 0) open_.push_back({path, fd, watched});
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
    const int fd = FdFor(*p.path);
    if (fd < 0) continue;
    std::string_view bytes = p.bytes;
    p.ok = true;
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        p.ok = false;
        break;
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }
}

bool LogAppender::Append(const std::filesystem::path& path, std::string_view bytes) {
  Piece piece{&path, bytes};
  AppendAll(&piece, 1);
  return piece.ok;
}

}  // namespace zeblon::reception
