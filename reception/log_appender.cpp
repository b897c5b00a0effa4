#include "reception/log_appender.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zeblon::reception {

LogAppender::~LogAppender() { CloseAll(); }

void LogAppender::CloseAll() {
  for (OpenFile& f : open_) ::close(f.fd);
  open_.clear();
}

int LogAppender::FdFor(const std::filesystem::path& path) {
  for (auto it = open_.begin(); it != open_.end(); ++it) {
    if (it->path != path) continue;
    struct stat st {};
    if (::fstat(it->fd, &st) == 0 && st.st_nlink > 0) return it->fd;
    // Deleted while open: the next lines belong in a file of that name again.
    ::close(it->fd);
    open_.erase(it);
    break;
  }
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd >= 0) open_.push_back({path, fd});
  return fd;
}

bool LogAppender::Append(const std::filesystem::path& path, std::string_view bytes) {
  const int fd = FdFor(path);
  if (fd < 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace zeblon::reception
