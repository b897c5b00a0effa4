// The temporary files that the map itself wrote (map index files, tile copies),
// which the shutdown deletes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <set>
#include <string>

namespace zeblon::map {

// The temporary files that the program itself wrote (map index files, tile copies):
// the shutdown deletes exactly these, never a pattern of a shared folder.
class OwnFiles {
 public:
  void Add(const std::filesystem::path& file);
  // Deletes every recorded file that still exists; returns how many were deleted.
  int DeleteAll();

 private:
  std::set<std::string> files_;
};

}  // namespace zeblon::map
