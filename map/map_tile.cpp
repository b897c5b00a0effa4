#include "map/map_tile.h"

#include <cmath>
#include <cstdlib>

#include "geodesy/text.h"

namespace zeblon::map {

std::string ConvertKmToTileCode(std::int64_t km) {
  if (km < -10000 || km >= 10000) return "XXXX";
  const std::int64_t magnitude = km < 0 ? -km : km;
  std::string digits = std::to_string(magnitude);
  while (digits.size() < 4) digits.insert(digits.begin(), '0');
  digits = digits.substr(digits.size() - 4);
  if (km < 0) digits[0] = static_cast<char>(64 + magnitude / 1000);
  return digits;
}

double ConvertTileCodeToKm(std::string_view code) {
  if (code.empty()) return 0;
  const auto first = static_cast<unsigned char>(code[0]);
  if (first > 63) {
    const double rest = LeadingNumber(code.substr(1, 3));
    return -((static_cast<double>(first) - 64) * 1000 + rest);
  }
  return LeadingNumber(code.substr(0, 4));
}

std::string TileName(std::int64_t northKm, std::int64_t eastKm) {
  return ConvertKmToTileCode(northKm) + ConvertKmToTileCode(eastKm) + ".BMP";
}

TileCorner TileCornerOfName(std::string_view name) {
  TileCorner corner;
  corner.northKm = ConvertTileCodeToKm(name.substr(0, std::min<size_t>(4, name.size())));
  if (name.size() > 4) corner.eastKm = ConvertTileCodeToKm(name.substr(4, 4));
  return corner;
}

std::int64_t TileCornerKm(double km, int edge_km) {
  return static_cast<std::int64_t>(std::floor(km / edge_km)) * edge_km;
}

bool IsTileScale(int metres_per_pixel) {
  for (int s : kTileScales)
    if (s == metres_per_pixel) return true;
  return false;
}

std::string ScaleTag(int metres_per_pixel) {
  std::string digits = std::to_string(metres_per_pixel);
  while (digits.size() < 4) digits.insert(digits.begin(), '0');
  return "M" + digits;
}

}  // namespace zeblon::map
