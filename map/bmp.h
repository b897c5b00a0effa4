// Map tile bitmaps (MapTile files), read and written byte for byte.
//
// A tile is an uncompressed Windows bitmap of 1000 x 1000 pixels, rows stored
// bottom-up (row 0 is the southernmost, pixel 0 of a row the westernmost), in one
// of three forms, each with an exact file length:
//   4 bits  16-entry palette at offset 54, pixels from offset 118,  500118 bytes;
//           an even column is the high nibble of byte c / 2, an odd one the low;
//   8 bits  256-entry palette at offset 54, pixels from offset 1078, 1001078 bytes;
//   24 bits no palette, pixels (blue, green, red) from offset 54,   3000054 bytes.
// The file length field and the two reserved fields after it are read as one
// 8-byte number, so the reserved fields must be 0.
//
// A converted tile starts empty: ink 15 at 4 bits; at 8 bits ink 15 when palette
// entry 15 is red 252, green 252, blue 0, otherwise ink 255; at 24 bits that colour.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zeblon::map {

inline constexpr int kTilePixels = 1000;  // pixels per tile edge

// The fields of the two bitmap headers that tiles use, each read as the unsigned
// number of its width (width and height as signed 32-bit numbers).
struct BmpHeader {
  std::uint64_t lengthAndReserved = 0;  // 8 bytes at offset 2, little-endian
  std::int64_t firstPixel = 0;          // offset 10
  std::int64_t infoSize = 0;            // offset 14
  std::int64_t width = 0;               // offset 18
  std::int64_t height = 0;              // offset 22
  int planes = 0;                       // offset 26
  int bits = 0;                         // offset 28
  std::int64_t compression = 0;         // offset 30
  int rowLength = 0;                    // bytes per stored row, padded to 4
};

// Reads the header of a bitmap held in `bytes`; nullopt when the bytes are too few
// for the two headers or do not start with "BM".
std::optional<BmpHeader> ParseBmpHeader(std::span<const std::uint8_t> bytes);

// Bytes per stored row of `width` pixels at `bits` per pixel (padded to 4).
int BmpRowLength(std::int64_t width, int bits);

// The exact file length and first pixel offset of a tile of `bits` per pixel
// (4, 8 or 24); 0 for any other depth.
std::int64_t TileFileLength(int bits);
std::int64_t TileFirstPixel(int bits);

// Why `bytes` is not a tile of one of the three forms ("" when it is one). The
// reasons are short English texts in upper case, e.g. "NOT A BMP FILE".
std::string TileProblem(std::span<const std::uint8_t> bytes);
// The same from the start of a file (its first 54 bytes or more) and its length.
std::string TileProblem(std::span<const std::uint8_t> head, std::uint64_t file_length);
// The same for a file on disk, reading only its headers ("CANNOT OPEN …" when it
// cannot be read); `bits` receives its depth when it is a tile.
std::string TileFileProblem(const std::filesystem::path& path, int* bits = nullptr);

// A tile held in memory: the whole file, exactly as stored.
class Tile {
 public:
  // Takes the bytes of a file; nullopt (and the reason in *problem) when they are
  // not a tile of the three forms.
  static std::optional<Tile> FromBytes(std::vector<std::uint8_t> bytes, std::string* problem = nullptr);
  // A new tile of `bits` per pixel with the given palette (0xRRGGBB per entry; 16
  // entries at 4 bits, 256 at 8, ignored at 24); every pixel byte is 0.
  static Tile Make(int bits, std::span<const std::uint32_t> palette = {});

  int bits() const { return bits_; }
  int first_pixel() const { return first_pixel_; }
  int row_length() const { return row_length_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t>& bytes() { return bytes_; }

  // A pixel: the ink at 4 and 8 bits, 0xRRGGBB at 24 bits.
  std::uint32_t Pixel(int row, int column) const;
  void SetPixel(int row, int column, std::uint32_t value);

  // Palette entry as 0xRRGGBB (0 at 24 bits or out of range).
  std::uint32_t PaletteEntry(int ink) const;

  // The empty value of this tile (ink or 0xRRGGBB, see above) and a tile of this
  // one's palette, the tile format's header (UseFormatHeader) and every pixel empty.
  std::uint32_t EmptyValue() const;
  Tile EmptyCopy() const;

  // Sets the 54 header bytes to those of the tile format of this depth (length,
  // offsets, 1000 x 1000, image size, colours used; everything else 0), whatever
  // the file it came from held there. The palette stays.
  void UseFormatHeader();

 private:
  std::vector<std::uint8_t> bytes_;
  int bits_ = 0;
  int first_pixel_ = 0;
  int row_length_ = 0;
};

// The empty colour of 24-bit tiles (red 252, green 252, blue 0) and its bytes.
inline constexpr std::uint32_t kEmptyColour = 0xFCFC00;

// Whole files. ReadFileBytes fails (false, reason in `error`) on a file that
// cannot be opened or read.
bool ReadFileBytes(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes a tile with the header of its tile format (UseFormatHeader) through
// platform::WriteFileAtomically: the target is either the old file or the
// complete new one; false with the reason in `error`. Scratch copies may skip the
// flushes to the disk (`flush` false).
bool WriteTileFile(const std::filesystem::path& path, Tile& tile, std::string& error, bool flush = true);

}  // namespace zeblon::map
