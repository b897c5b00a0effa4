// Shared by the fuzz targets: a scratch folder for targets that read and write
// real files, in memory where the system has a memory file system (the disk
// flushes of the rewrites cost nothing there).
#pragma once

#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace zeblon_fuzz {

inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    std::error_code ec;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, ec)) base = std::filesystem::temp_directory_path();
    // A fuzzer ends without running exit handlers: the folders of targets that
    // have ended go when the next one starts.
    const std::string prefix = "zeblon-fuzz-";
    for (std::filesystem::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size() || name.size() > prefix.size() + 9) continue;
      if (name.find_first_not_of("0123456789", prefix.size()) != std::string::npos) continue;
      const long pid = std::stol(name.substr(prefix.size()));
      std::error_code gone;
      if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        std::filesystem::remove_all(it->path(), gone);
    }
    auto p = base / (prefix + std::to_string(::getpid()));
    std::filesystem::remove_all(p, ec);
    std::filesystem::create_directories(p);
    return p;
  }();
  return folder;
}

// A broken promise of the code under test: a finding.
inline void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace zeblon_fuzz
