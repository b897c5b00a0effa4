#include "platform/safe_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryMark = ".tmp";

std::string Failure(const fs::path& target, int error_number) {
  return "CANNOT WRITE " + target.string() + " (" + std::strerror(error_number) + ")";
}

// Creates the temporary file for writing; one left by a dead process of the same
// id is replaced. Never follows a link put in its place.
int CreateTemporary(const fs::path& temp) {
  constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::open(temp.c_str(), kFlags, 0666);
  if (fd < 0 && errno == EEXIST && ::unlink(temp.c_str()) == 0) fd = ::open(temp.c_str(), kFlags, 0666);
  return fd;
}

bool WriteAll(int fd, const char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool SyncFolder(const fs::path& folder) {
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return false;
  const bool synced = ::fsync(dir) == 0;
  const int e = errno;
  ::close(dir);
  errno = e;
  return synced;
}

bool ProcessRuns(long pid) {
  if (pid <= 0 || pid > 0x3FFFFFFF) return true;  // not an id of one process: left alone
  if (pid == static_cast<long>(::getpid())) return true;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

}  // namespace

fs::path TemporaryFileFor(const fs::path& target) {
  fs::path temp = target;
  temp += std::string(kTemporaryMark) + std::to_string(::getpid());
  return temp;
}

bool WriteFileAtomically(const fs::path& target, std::string_view bytes, std::string* error, bool flush) {
  const fs::path temp = TemporaryFileFor(target);
  auto fail = [&](int error_number, bool remove) {
    if (remove) ::unlink(temp.c_str());
    if (error) *error = Failure(target, error_number);
    return false;
  };
  const int fd = CreateTemporary(temp);
  if (fd < 0) return fail(errno, false);
  if (!WriteAll(fd, bytes.data(), bytes.size())) {
    const int e = errno;
    ::close(fd);
    return fail(e, true);
  }
  // The bytes are on the disk before the name points at them.
  if (flush && ::fsync(fd) != 0) {
    const int e = errno;
    ::close(fd);
    return fail(e, true);
  }
  if (::close(fd) != 0) return fail(errno, true);
  if (::rename(temp.c_str(), target.c_str()) != 0) return fail(errno, true);
  // And the new name is on the disk before the caller goes on (and, say, deletes
  // the file this one was made from).
  if (flush && !SyncFolder(target.has_parent_path() ? target.parent_path() : fs::path("."))) return fail(errno, false);
  return true;
}

bool WriteFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes, std::string* error, bool flush) {
  return WriteFileAtomically(target, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error,
                             flush);
}

bool IsTemporaryFileName(std::string_view name, long* pid) {
  const size_t mark = name.rfind(kTemporaryMark);
  if (mark == std::string_view::npos || mark == 0) return false;
  const std::string_view digits = name.substr(mark + kTemporaryMark.size());
  if (digits.empty() || digits.size() > 10) return false;
  long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (pid) *pid = value;
  return true;
}

int RemoveLeftoverTemporaryFiles(const fs::path& folder) {
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    long pid = 0;
    if (!IsTemporaryFileName(name, &pid) || ProcessRuns(pid)) continue;
    std::error_code kind;
    if (!it->is_regular_file(kind) || it->is_symlink(kind)) continue;
    // Only beside the file it was to replace: a name of that form alone may be
    // someone else's file.
    const fs::path target = folder / name.substr(0, name.rfind(kTemporaryMark));
    if (!fs::is_regular_file(target, kind)) continue;
    std::error_code gone;
    if (fs::remove(it->path(), gone)) ++removed;
  }
  return removed;
}

}  // namespace platform
