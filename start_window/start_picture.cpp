#include "start_window/start_picture.h"

#include <cmath>

#include "geodesy/text.h"

namespace zeblon {
namespace {

// One half of the name: four characters, a first one above "?" standing for
// minus its thousands.
double NamePart(const std::string& part) {
  if (part.empty()) return 0;
  const unsigned char first = static_cast<unsigned char>(part[0]);
  if (first > '?') {
    return -((static_cast<int>(first) - 64) * 1000.0 + LeadingNumber(part.substr(1, 3)));
  }
  return LeadingNumber(part.substr(0, 4));
}

}  // namespace

int StartPictureBand(int minutes) {
  int k = minutes / 10;
  if (k < 0) k = 0;
  if (k > 5) k = 5;
  return k;
}

std::optional<int> ChooseStartPicture(int count, double seconds) {
  if (count < kStartPictureMinChoices) return std::nullopt;
  const long long hundredths = static_cast<long long>(RoundHalfEven(seconds * 100));
  return static_cast<int>(((hundredths % count) + count) % count);
}

std::optional<PictureLocation> PictureLocationOf(const std::string& path) {
  const size_t b = path.find_last_of("/\\");
  const size_t d = path.find_last_of('.');
  if (b == std::string::npos || d == std::string::npos || d <= b) return std::nullopt;
  const std::string name = path.substr(b + 1);
  PictureLocation loc;
  loc.north = NamePart(name.substr(0, 4)) + 0.499;
  loc.east = NamePart(name.size() > 4 ? name.substr(4, 4) : std::string()) + 0.499;
  return loc;
}

}  // namespace zeblon
