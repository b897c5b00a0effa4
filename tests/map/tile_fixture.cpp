#include "tile_fixture.h"

#include <random>
#include <stdexcept>

#include "map/bmp.h"
#include "map/map_tile.h"
#include "platform/safe_file.h"

namespace zeblon::map::testing {

namespace fs = std::filesystem;

std::vector<std::uint32_t> PatternPalette() {
  std::vector<std::uint32_t> p(16);
  for (int i = 0; i < 15; ++i)
    p[i] = static_cast<std::uint32_t>(((i * 17) << 16) | ((255 - i * 16) << 8) | (i * 40 % 256));
  p[15] = 0xFFFFFF;
  return p;
}

QColor InkColour(int ink) {
  const auto v = PatternPalette()[ink];
  return QColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int TileInk(std::int64_t n, std::int64_t e, int s) {
  const std::int64_t k = (n / s) * 3 + (e / s) * 5;
  return static_cast<int>(1 + ((k % 13) + 13) % 13);
}

void WritePatternTile(const fs::path& folder, std::int64_t n, std::int64_t e, int s) {
  const auto palette = PatternPalette();
  auto tile = Tile::Make(4, palette);
  const int ink = TileInk(n, e, s);
  const int first = tile.first_pixel(), row_length = tile.row_length();
  auto& b = tile.bytes();
  for (int r = 0; r < kTilePixels; ++r) {
    const bool top = r >= kTilePixels - 8;  // rows are stored bottom-up
    for (int c = 0; c < kTilePixels; c += 2) {
      const int hi = top || c < 8 ? 15 : ink;
      const int lo = top || c + 1 < 8 ? 15 : ink;
      b[static_cast<std::size_t>(first + r * row_length + c / 2)] = static_cast<std::uint8_t>((hi << 4) | lo);
    }
  }
  std::string error;
  if (!platform::WriteFileAtomically(folder / TileName(n, e), b, &error, false)) throw std::runtime_error(error);
}

int WritePatternTiles(const fs::path& folder, std::int64_t n0, std::int64_t n1, std::int64_t e0, std::int64_t e1,
                      int s) {
  fs::create_directories(folder);
  int count = 0;
  for (std::int64_t n = n0; n <= n1; n += s)
    for (std::int64_t e = e0; e <= e1; e += s) {
      WritePatternTile(folder, n, e, s);
      ++count;
    }
  return count;
}

void WriteNoiseTile(const fs::path& folder, std::int64_t n, std::int64_t e, int s, int bits) {
  std::mt19937 rng(static_cast<std::uint32_t>((n / s) * 7919 + (e / s) * 104729 + bits));
  std::vector<std::uint32_t> palette(bits == 4 ? 16 : 256);
  for (auto& colour : palette) colour = rng() & 0xFFFFFF;
  auto tile = Tile::Make(bits, palette);
  const std::uint32_t mask = bits == 4 ? 0x0F : bits == 8 ? 0xFF : 0xFFFFFF;
  for (int r = 0; r < kTilePixels; ++r)
    for (int c = 0; c < kTilePixels; ++c) tile.SetPixel(r, c, rng() & mask);
  fs::create_directories(folder);
  std::string error;
  if (!platform::WriteFileAtomically(folder / TileName(n, e), tile.bytes(), &error, false))
    throw std::runtime_error(error);
}

TempFolder::TempFolder() {
  std::random_device rd;
  path_ = fs::temp_directory_path() / ("zeblon-map-" + std::to_string(rd()) + std::to_string(rd()));
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

}  // namespace zeblon::map::testing
