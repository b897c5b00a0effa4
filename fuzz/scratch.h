// Shared by the fuzz targets: a scratch folder for targets that read and write
// real files, in memory where the system has a memory file system (the disk
// flushes of the rewrites cost nothing there), removed when the target ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace zeblon_fuzz {

inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    std::error_code ec;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, ec)) base = std::filesystem::temp_directory_path();
    auto p = base / ("zeblon-fuzz-" + std::to_string(::getpid()));
    std::filesystem::remove_all(p, ec);
    std::filesystem::create_directories(p);
    std::atexit([] {
      std::error_code e;
      std::filesystem::remove_all(ScratchFolder(), e);
    });
    return p;
  }();
  return folder;
}

// A broken promise of the code under test: a finding.
inline void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace zeblon_fuzz
