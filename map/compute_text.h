// Small text pieces of the map's read-outs and pictures (8-bit texts).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zeblon::map {

// Blanks in front up to `width` characters (a longer text stays as it is).
inline std::string PadFront(std::string t, std::size_t width) {
  if (t.size() < width) t.insert(0, width - t.size(), ' ');
  return t;
}

// The last n characters (the whole text when it is shorter).
inline std::string LastChars(const std::string& t, std::size_t n) { return t.size() <= n ? t : t.substr(t.size() - n); }

// A whole number as at least two digits: 4 -> "04", 12 -> "12".
inline std::string TwoDigits(std::int64_t v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace zeblon::map
