// The name rule of map tiles (MapTile) and their geometry.
//
// A tile is a 1000 x 1000 pixel bitmap covering one square of the map grid; its
// file name is the 4-character tile code of its south-west corner's northing in
// km, that of its easting, and ".BMP" (60001200.BMP: 6000 km north, 1200 km east).
// Tile codes: the value's digits zero-filled to 4 characters; a negative value
// carries Chr(64 + its thousands) in the first place (-850 -> "@850",
// -5200 -> "E200", -10000 -> "J000"); a value of 10000 or more or below -10000
// is "XXXX", which never names a stored tile.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zeblon::map {

// Whole kilometres -> 4-character tile code.
std::string ConvertKmToTileCode(std::int64_t km);

// 4-character tile code -> kilometres. A first character above "?" (the "@" or a
// letter) marks a negative value; otherwise the code is read as a number (a code
// without digits reads as 0).
double ConvertTileCodeToKm(std::string_view code);

// "NNNNEEEE.BMP" of a corner in whole kilometres.
std::string TileName(std::int64_t northKm, std::int64_t eastKm);

// The corner of a tile name (its first 8 characters; missing characters read as
// blanks, so a short name reads as far as it goes).
struct TileCorner {
  double northKm = 0;
  double eastKm = 0;
};
TileCorner TileCornerOfName(std::string_view name);

// The corner coordinate of the tile holding a point at `km`: the largest multiple
// of the tile edge not above it, Int(km / edge) x edge (-0.2 at edge 2 gives -2).
std::int64_t TileCornerKm(double km, int edge_km);

// The six scale levels: metres per pixel, which is also the tile edge in km.
inline constexpr int kTileScales[] = {5000, 1000, 200, 50, 10, 2};
bool IsTileScale(int metres_per_pixel);
// The scale tag of a folder ("M0002" for 2).
std::string ScaleTag(int metres_per_pixel);

}  // namespace zeblon::map
