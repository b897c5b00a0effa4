#include "map/poi_file.h"

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

#include "platform/paths.h"
#include "settings/text_files.h"

namespace zeblon::map {
namespace fs = std::filesystem;
namespace {

using platform::UpperAscii;

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && UpperAscii(text.substr(text.size() - tail.size())) == UpperAscii(tail);
}

constexpr char kPointMark = '\xFE';

}  // namespace

std::vector<std::string> PoiStore::List() const { return ListFileNames(folder_, ".POI", true); }

std::optional<std::string> FormatPointPosition(double& km) {
  if (!std::isfinite(km)) return std::nullopt;
  km = std::floor((km + 0.0001) * 1000.0) / 1000.0;
  if (km > 9999.999 || km < -9999.999) return std::nullopt;
  const long long metres = std::llround(std::fabs(km) * 1000.0);
  std::string t;
  if (km == 0) {
    t = "0000";
  } else {
    // At least three digits, so that a point under 100 m from the axis reads back
    // as itself (".050", not ". 50").
    std::string digits = std::to_string(metres);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    t = " " + digits;
  }
  if (t.size() < 8) t.insert(0, 8 - t.size(), ' ');
  std::string r = t.substr(0, 5) + "." + t.substr(t.size() - 3);
  if (km < 0) r[0] = '-';
  return r;
}

std::optional<std::string> PoiLine(double& north_km, double& east_km, std::string_view text) {
  const auto n = FormatPointPosition(north_km);
  const auto e = FormatPointPosition(east_km);
  if (!n || !e) return std::nullopt;
  return std::string(1, kPointMark) + *n + *e + " " + Trim(text);
}

std::optional<std::string> PoiLink(std::string_view text) {
  const std::size_t p = text.find('{');
  const std::size_t q = text.find('}');
  if (p == std::string_view::npos || q == std::string_view::npos || q < p + 3) return std::nullopt;
  return std::string(text.substr(p + 1, q - p - 1));
}

bool LinkMayBeOpened(const std::string& link) {
  const std::string up = UpperAscii(link);
  if (up.rfind("HTTP://", 0) == 0 || up.rfind("HTTPS://", 0) == 0) {
    // An address: no blanks or control characters that a browser would cut.
    return link.size() > (up[4] == 'S' ? 8u : 7u) &&
           std::none_of(link.begin(), link.end(), [](char c) { return (unsigned char)c <= 32 || c == 127; });
  }
  std::string path;
  if (up.rfind("FILE://", 0) == 0) {
    path = link.substr(7);
  } else if (!link.empty() && link[0] == '/') {
    path = link;
  } else {
    return false;  // no other schemes (mailto, javascript, ...), no relative names
  }
  if (path.empty() || path[0] != '/') return false;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return true;
  if (!S_ISREG(st.st_mode)) return false;
  if (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) return false;
  static const char* const kPrograms[] = {".DESKTOP", ".SH",       ".BASH", ".EXE", ".BAT", ".CMD", ".COM",
                                          ".JAR",     ".APPIMAGE", ".PY",   ".PL",  ".RUN", ".BIN", ".MSI",
                                          ".SCR",     ".VBS",      ".PS1",  ".DEB", ".RPM", ".LNK"};
  for (const char* ext : kPrograms)
    if (EndsWithNoCase(path, ext)) return false;
  return true;
}

fs::path PoiStore::FileOf(const std::string& name) const {
  const fs::path file = folder_ / (name + ".POI");
  if (auto found = platform::ResolveCaseInsensitive(file)) return *found;
  return file;
}

void PoiStore::Load(const std::string& name) {
  name_ = name;
  lines_ = ReadLines(FileOf(name), static_cast<std::size_t>(-1));
}

void PoiStore::Create(const std::string& name) {
  const fs::path file = FileOf(name);
  std::error_code ec;
  if (!fs::exists(file, ec)) {
    fs::create_directories(folder_, ec);
    WriteFileAtomically(file, "");
  }
  name_ = name;
  lines_.clear();
}

bool PoiStore::Ok(long index, std::string_view text, bool to_centre, double& selected_north, double& selected_east) {
  if (name_.empty()) return false;
  if (index == 0) {
    if (!text.empty()) {
      const auto line = PoiLine(selected_north, selected_east, text);
      if (!line) return false;
      lines_.push_back(*line);
    }
  } else if (index > 0 && std::size_t(index) <= lines_.size()) {
    std::string& old = lines_[std::size_t(index) - 1];
    if (text.empty()) {
      lines_.erase(lines_.begin() + (index - 1));
    } else if (to_centre) {
      const auto line = PoiLine(selected_north, selected_east, text);
      if (!line) return false;
      old = *line;
    } else {
      old = old.substr(0, std::min<std::size_t>(20, old.size())) + Trim(text);
    }
  }
  if (!Rewrite()) return false;
  lines_ = ReadLines(FileOf(name_), static_cast<std::size_t>(-1));
  return true;
}

bool PoiStore::Rewrite() {
  std::string bytes;
  for (const std::string& line : lines_) {
    if (line.empty() || line[0] != kPointMark) continue;
    if (line.size() <= 20 || Trim(std::string_view(line).substr(20)).empty()) continue;
    bytes += line;
    bytes += "\r\n";
  }
  return WriteFileAtomically(FileOf(name_), bytes);
}

std::string ComboName(std::string_view text) { return Trim(UpperAscii(text)); }

bool Listed(const std::vector<std::string>& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace zeblon::map
