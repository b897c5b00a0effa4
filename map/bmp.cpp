#include "map/bmp.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/safe_file.h"

namespace zeblon::map {

namespace {

// A little-endian field of `width` bytes (at most 8), unsigned as stored.
std::uint64_t ReadLe(std::span<const std::uint8_t> bytes, size_t offset, int width) {
  std::uint64_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | bytes[offset + i];
  return value;
}

void WriteLe(std::vector<std::uint8_t>& bytes, size_t offset, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

int BmpRowLength(std::int64_t width, int bits) {
  std::int64_t length = 0;
  if (bits == 4)
    length = (width + (width & 1)) / 2;
  else if (bits == 8)
    length = width;
  else if (bits == 24)
    length = 3 * width;
  else
    length = (width * bits + 7) / 8;
  return static_cast<int>((length + 3) / 4 * 4);
}

std::int64_t TileFileLength(int bits) {
  switch (bits) {
    case 4: return 118 + 1000 * 500;
    case 8: return 1078 + 1000 * 1000;
    case 24: return 54 + 1000 * 3000;
    default: return 0;
  }
}

std::int64_t TileFirstPixel(int bits) {
  switch (bits) {
    case 4: return 118;
    case 8: return 1078;
    case 24: return 54;
    default: return 0;
  }
}

std::optional<BmpHeader> ParseBmpHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  BmpHeader h;
  h.lengthAndReserved = ReadLe(bytes, 2, 8);
  h.firstPixel = static_cast<std::int64_t>(ReadLe(bytes, 10, 4));
  h.infoSize = static_cast<std::int64_t>(ReadLe(bytes, 14, 4));
  // Width and height are signed 32-bit numbers (a negative height is a top-down bitmap).
  h.width = static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadLe(bytes, 18, 4)));
  h.height = static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadLe(bytes, 22, 4)));
  h.planes = static_cast<int>(ReadLe(bytes, 26, 2));
  h.bits = static_cast<int>(ReadLe(bytes, 28, 2));
  h.compression = static_cast<std::int64_t>(ReadLe(bytes, 30, 4));
  h.rowLength = BmpRowLength(h.width, h.bits);
  return h;
}

std::string TileProblem(std::span<const std::uint8_t> bytes) { return TileProblem(bytes, bytes.size()); }

std::string TileProblem(std::span<const std::uint8_t> bytes, std::uint64_t file_length) {
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return "NOT A BMP FILE";
  const auto header = ParseBmpHeader(bytes);
  if (!header) return "TRUNCATED FILE";
  const BmpHeader& h = *header;
  if (h.infoSize != 40 || h.planes != 1) return "UNSUPPORTED BMP HEADER";
  if (h.compression != 0) return "COMPRESSED BMP";
  if (h.bits != 4 && h.bits != 8 && h.bits != 24)
    return "UNSUPPORTED COLOUR DEPTH (" + std::to_string(h.bits) + " BITS PER PIXEL)";
  if (h.width != kTilePixels || h.height != kTilePixels)
    return "NOT 1000 x 1000 PIXELS (" + std::to_string(h.width) + " x " + std::to_string(h.height) + ")";
  const std::int64_t length = TileFileLength(h.bits);
  if (h.lengthAndReserved > 0xFFFFFFFFULL) return "RESERVED HEADER FIELDS NOT 0";
  if (h.firstPixel != TileFirstPixel(h.bits)) return "UNEXPECTED PIXEL OFFSET";
  if (static_cast<std::int64_t>(file_length) < length) return "TRUNCATED FILE";
  if (static_cast<std::int64_t>(file_length) > length) return "WRONG FILE LENGTH";
  if (h.lengthAndReserved != static_cast<std::uint64_t>(length)) return "WRONG FILE LENGTH IN HEADER";
  return {};
}

std::string TileFileProblem(const std::filesystem::path& path, int* bits) {
  std::error_code kind;
  if (std::filesystem::exists(path, kind) && !std::filesystem::is_regular_file(path, kind)) return "NOT A FILE";
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string("CANNOT OPEN (") + std::strerror(errno) + ")";
  std::vector<std::uint8_t> head(54);
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  std::error_code ec;
  const auto length = std::filesystem::file_size(path, ec);
  if (ec) return "CANNOT READ (" + ec.message() + ")";
  std::string problem = TileProblem(head, length);
  if (problem.empty() && bits) *bits = ParseBmpHeader(head)->bits;
  return problem;
}

std::optional<Tile> Tile::FromBytes(std::vector<std::uint8_t> bytes, std::string* problem) {
  std::string why = TileProblem(bytes);
  if (!why.empty()) {
    if (problem) *problem = why;
    return std::nullopt;
  }
  Tile tile;
  tile.bytes_ = std::move(bytes);
  const auto h = ParseBmpHeader(tile.bytes_);
  tile.bits_ = h->bits;
  tile.first_pixel_ = static_cast<int>(h->firstPixel);
  tile.row_length_ = h->rowLength;
  return tile;
}

Tile Tile::Make(int bits, std::span<const std::uint32_t> palette) {
  Tile tile;
  tile.bits_ = bits;
  tile.first_pixel_ = static_cast<int>(TileFirstPixel(bits));
  tile.row_length_ = BmpRowLength(kTilePixels, bits);
  auto& b = tile.bytes_;
  b.assign(static_cast<size_t>(TileFileLength(bits)), 0);
  tile.UseFormatHeader();
  const int entries = bits == 4 ? 16 : bits == 8 ? 256 : 0;
  for (int i = 0; i < entries && i < static_cast<int>(palette.size()); ++i) {
    const std::uint32_t rgb = palette[i];
    b[54 + 4 * i] = static_cast<std::uint8_t>(rgb);
    b[54 + 4 * i + 1] = static_cast<std::uint8_t>(rgb >> 8);
    b[54 + 4 * i + 2] = static_cast<std::uint8_t>(rgb >> 16);
  }
  return tile;
}

void Tile::UseFormatHeader() {
  const std::int64_t length = TileFileLength(bits_);
  auto& b = bytes_;
  std::fill(b.begin(), b.begin() + 54, 0);
  b[0] = 'B';
  b[1] = 'M';
  WriteLe(b, 2, static_cast<std::uint64_t>(length), 4);
  WriteLe(b, 10, static_cast<std::uint64_t>(first_pixel_), 4);
  WriteLe(b, 14, 40, 4);
  WriteLe(b, 18, kTilePixels, 4);
  WriteLe(b, 22, kTilePixels, 4);
  WriteLe(b, 26, 1, 2);
  WriteLe(b, 28, static_cast<std::uint64_t>(bits_), 2);
  WriteLe(b, 34, static_cast<std::uint64_t>(length - first_pixel_), 4);  // image size
  const int entries = bits_ == 4 ? 16 : bits_ == 8 ? 256 : 0;
  WriteLe(b, 46, static_cast<std::uint64_t>(entries), 4);  // colours used
}

std::uint32_t Tile::Pixel(int row, int column) const {
  const size_t base = static_cast<size_t>(first_pixel_) + static_cast<size_t>(row) * row_length_;
  switch (bits_) {
    case 4: {
      const std::uint8_t b = bytes_[base + column / 2];
      return column % 2 == 0 ? b >> 4 : b & 15;
    }
    case 8: return bytes_[base + column];
    default: {
      const size_t p = base + 3 * static_cast<size_t>(column);
      return static_cast<std::uint32_t>(bytes_[p]) | (static_cast<std::uint32_t>(bytes_[p + 1]) << 8) |
             (static_cast<std::uint32_t>(bytes_[p + 2]) << 16);
    }
  }
}

void Tile::SetPixel(int row, int column, std::uint32_t value) {
  const size_t base = static_cast<size_t>(first_pixel_) + static_cast<size_t>(row) * row_length_;
  switch (bits_) {
    case 4: {
      std::uint8_t& b = bytes_[base + column / 2];
      b = column % 2 == 0 ? static_cast<std::uint8_t>(((value & 15) << 4) | (b & 15))
                          : static_cast<std::uint8_t>((b & 0xF0) | (value & 15));
      break;
    }
    case 8: bytes_[base + column] = static_cast<std::uint8_t>(value); break;
    default: {
      const size_t p = base + 3 * static_cast<size_t>(column);
      bytes_[p] = static_cast<std::uint8_t>(value);
      bytes_[p + 1] = static_cast<std::uint8_t>(value >> 8);
      bytes_[p + 2] = static_cast<std::uint8_t>(value >> 16);
    }
  }
}

std::uint32_t Tile::PaletteEntry(int ink) const {
  const int entries = bits_ == 4 ? 16 : bits_ == 8 ? 256 : 0;
  if (ink < 0 || ink >= entries) return 0;
  const size_t p = 54 + 4 * static_cast<size_t>(ink);
  return bytes_[p] | (bytes_[p + 1] << 8) | (bytes_[p + 2] << 16);
}

std::uint32_t Tile::EmptyValue() const {
  switch (bits_) {
    case 4: return 15;
    case 8: return bytes_[114] == 0 && bytes_[115] == 252 && bytes_[116] == 252 ? 15 : 255;
    default: return kEmptyColour;
  }
}

Tile Tile::EmptyCopy() const {
  Tile copy = *this;
  copy.UseFormatHeader();
  auto& b = copy.bytes_;
  const auto begin = b.begin() + first_pixel_;
  switch (bits_) {
    case 4: std::fill(begin, b.end(), 255); break;
    case 8: std::fill(begin, b.end(), static_cast<std::uint8_t>(EmptyValue())); break;
    default:
      for (size_t p = static_cast<size_t>(first_pixel_); p + 2 < b.size(); p += 3) {
        b[p] = 0;
        b[p + 1] = 252;
        b[p + 2] = 252;
      }
  }
  return copy;
}

bool ReadFileBytes(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec)) {
    error = "CANNOT OPEN " + path.string() + " (NOT A FILE)";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "CANNOT OPEN " + path.string() + " (" + std::strerror(errno) + ")";
    return false;
  }
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  if (size < 0) {
    error = "CANNOT READ " + path.string();
    return false;
  }
  in.seekg(0);
  bytes.resize(static_cast<size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
    error = "CANNOT READ " + path.string();
    return false;
  }
  return true;
}

bool WriteTileFile(const std::filesystem::path& path, Tile& tile, std::string& error, bool flush) {
  tile.UseFormatHeader();
  return platform::WriteFileAtomically(path, tile.bytes(), &error, flush);
}

}  // namespace zeblon::map
