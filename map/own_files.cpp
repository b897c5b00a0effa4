#include "map/own_files.h"

#include <system_error>

namespace zeblon::map {

namespace fs = std::filesystem;

namespace {
std::string Key(const fs::path& p) { return p.lexically_normal().string(); }
}  // namespace

void OwnFiles::Add(const fs::path& file) { files_.insert(Key(file)); }

int OwnFiles::DeleteAll() {
  int n = 0;
  for (const std::string& f : files_) {
    std::error_code ec;
    if (fs::remove(f, ec)) ++n;
  }
  files_.clear();
  return n;
}

}  // namespace zeblon::map
