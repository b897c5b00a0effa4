// libFuzzer target: bytes read as a map tile bitmap. The first byte chooses how:
//   0  the rest is a whole file;
//   1  the rest is the start of a file that goes on, with the same bytes over
//      and over, up to the length of the tile form its header names, so whole
//      tiles are read, their pixels and palette taken and empty copies made;
//   2  the rest is the head of a file whose length comes from its first 8 bytes.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "map/bmp.h"
#include "scratch.h"

using zeblon_fuzz::Check;
namespace map = zeblon::map;

namespace {

// Every tile that reads as one behaves as a tile of its form.
void UseTile(map::Tile& tile, std::uint64_t salt) {
  const int bits = tile.bits();
  Check(bits == 4 || bits == 8 || bits == 24);
  Check(tile.bytes().size() == static_cast<std::size_t>(map::TileFileLength(bits)));
  Check(tile.first_pixel() == map::TileFirstPixel(bits));
  for (int ink = -1; ink <= 256; ++ink) tile.PaletteEntry(ink);
  const std::uint32_t empty = tile.EmptyValue();
  // An empty copy of every fourth tile (a whole tile's worth of work).
  const std::optional<map::Tile> copy = salt % 4 == 0 ? std::optional(tile.EmptyCopy()) : std::nullopt;
  if (copy) Check(map::TileProblem(copy->bytes()).empty());
  for (int i = 0; i < 200; ++i) {
    const int row = static_cast<int>((salt + 7919u * i) % 1000),
              column = static_cast<int>((salt * 31 + 104729u * i) % 1000);
    if (copy) Check(copy->Pixel(row, column) == empty);
    const std::uint32_t value = tile.Pixel(row, column);
    tile.SetPixel(row, column, value);
    Check(tile.Pixel(row, column) == value);
  }
  // The header of the tile format keeps it a tile and leaves palette and pixels alone.
  auto sum = [&tile] {
    std::uint64_t s = 0;
    for (std::size_t i = 54; i < tile.bytes().size(); i += 61) s = s * 31 + tile.bytes()[i];
    return s;
  };
  const std::uint64_t before = sum();
  tile.UseFormatHeader();
  Check(map::TileProblem(tile.bytes()).empty());
  Check(sum() == before);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int mode = data[0] % 3;
  std::vector<std::uint8_t> bytes(data + 1, data + size);
  std::uint64_t salt = 0;
  for (std::uint8_t b : bytes) salt = salt * 131 + b;

  if (mode == 2) {
    if (bytes.size() < 8) return 0;
    std::uint64_t length = 0;
    std::memcpy(&length, bytes.data(), 8);
    const std::span<const std::uint8_t> head(bytes.data() + 8, bytes.size() - 8);
    const std::string problem = map::TileProblem(head, length);
    // A head that makes a tile names the tile form's length exactly.
    if (problem.empty())
      Check(length == static_cast<std::uint64_t>(map::TileFileLength(map::ParseBmpHeader(head)->bits)));
    return 0;
  }
  if (mode == 1 && !bytes.empty()) {
    const auto header = map::ParseBmpHeader(bytes);
    const std::int64_t length = header ? map::TileFileLength(header->bits) : 0;
    if (length > 0 && static_cast<std::int64_t>(bytes.size()) < length) {
      // The given bytes over and over, in doubling copies.
      std::size_t filled = bytes.size();
      bytes.resize(static_cast<std::size_t>(length));
      while (filled < bytes.size()) {
        const std::size_t n = std::min(filled, bytes.size() - filled);
        std::memcpy(bytes.data() + filled, bytes.data(), n);
        filled += n;
      }
    }
  }
  map::ParseBmpHeader(bytes);
  const std::string problem = map::TileProblem(bytes);
  // The head alone and the file length give the same answer as the whole file.
  const std::span<const std::uint8_t> all(bytes);
  Check(map::TileProblem(all.first(std::min<std::size_t>(bytes.size(), 54)), bytes.size()) == problem);
  std::string why;
  auto tile = map::Tile::FromBytes(std::move(bytes), &why);
  Check(tile.has_value() == problem.empty());
  if (tile)
    UseTile(*tile, salt);
  else
    Check(why == problem);
  return 0;
}
