// File faults for the tests: a full disk, and the id of a process that has ended
// (whose temporary files count as left over).
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zeblon::testing_support {

// While it lives, every write that would make a file longer than `bytes` fails
// as on a full disk (EFBIG; the signal that would end the process is ignored).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    handler_ = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old_;
    limit.rlim_cur = bytes;
    set_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool set() const { return set_; }

 private:
  struct rlimit old_ {};
  sighandler_t handler_ = SIG_DFL;
  bool set_ = false;
};

// The id of a child process that has ended.
inline pid_t EndedProcessId() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

}  // namespace zeblon::testing_support
