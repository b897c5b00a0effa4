#include "platform/paths.h"

#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace platform {

fs::path ProgramFolder() {
  if (const char* env = std::getenv("ZEBLON_PROGRAM_FOLDER"); env != nullptr && *env != '\0') {
    return fs::path(env);
  }
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec);
  return exe.parent_path();
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string UpperWindowsPath(std::string_view path) {
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  const bool drive = (path.size() == 1 && letter(path[0])) || (path.size() >= 2 && letter(path[0]) && path[1] == ':');
  return drive || path.find('\\') != std::string_view::npos ? UpperAscii(path) : std::string(path);
}

std::string WindowsPathToLinux(std::string_view path, const fs::path& program_folder) {
  std::string p(path);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  const bool drive = p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
  if (!drive) return p;
  char letter = p[0];
  if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
  std::string rest = p.substr(2);
  while (!rest.empty() && rest.front() == '/') rest.erase(rest.begin());
  // The program's own folder on any drive is the program folder.
  const std::string first = rest.substr(0, rest.find('/'));
  if (UpperAscii(first) == "ZEBLON") {
    std::string out = program_folder.string();
    const std::string tail = rest.substr(first.size());
    return tail.empty() ? out : out + tail;
  }
  std::string out = (program_folder / (std::string("drive_") + letter)).string();
  if (!rest.empty())
    out += "/" + rest;
  else if (p.size() > 2)
    out += "/";
  return out;
}

namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

}  // namespace

std::optional<fs::path> ResolveCaseInsensitive(const fs::path& path) {
  std::error_code ec;
  if (fs::exists(path, ec)) return path;
  fs::path current;
  auto it = path.begin();
  if (path.has_root_path()) {
    current = path.root_path();
    ++it;  // the root "/" is one component
  }
  for (; it != path.end(); ++it) {
    const fs::path part = *it;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      current = current.empty() ? fs::path("..") : current / "..";
      continue;
    }
    fs::path exact = current.empty() ? part : current / part;
    if (fs::exists(exact, ec)) {
      current = exact;
      continue;
    }
    const fs::path folder = current.empty() ? fs::path(".") : current;
    std::optional<fs::path> found;
    for (fs::directory_iterator dir(folder, ec), end; !ec && dir != end; dir.increment(ec)) {
      if (EqualNoCase(dir->path().filename().string(), part.string())) {
        found = current.empty() ? dir->path().filename() : current / dir->path().filename();
        break;
      }
    }
    if (!found) return std::nullopt;
    current = *found;
  }
  return current;
}

fs::path ResolveOrSame(const fs::path& path) {
  if (auto found = ResolveCaseInsensitive(path)) return *found;
  if (path.has_parent_path() && path.parent_path() != path) {
    if (auto folder = ResolveCaseInsensitive(path.parent_path())) {
      return *folder / path.filename();
    }
  }
  return path;
}

bool SamePath(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  const fs::path ra = fs::weakly_canonical(a, ec);
  if (ec) return false;
  const fs::path rb = fs::weakly_canonical(b, ec);
  if (ec) return false;
  return ra == rb;
}

bool PathInside(const fs::path& inner, const fs::path& outer) {
  std::error_code ec;
  const fs::path ri = fs::weakly_canonical(inner, ec);
  if (ec) return false;
  const fs::path ro = fs::weakly_canonical(outer, ec);
  if (ec) return false;
  auto i = ri.begin();
  for (auto o = ro.begin(); o != ro.end(); ++o, ++i) {
    if (o->empty()) continue;  // trailing separator
    if (i == ri.end() || *i != *o) return false;
  }
  return true;
}

}  // namespace platform
