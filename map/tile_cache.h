// Decoded map tiles kept between drawings.
//
// A redraw paints tens of tiles; reading and decoding each file anew would cost
// far more than the painting. The cache keeps each tile in its own form, one byte
// a pixel for 4 and 8 bits (its inks, painted through the colour of each ink) and
// four for 24 bits (its colours), keyed by the file's path, length and
// modification time (a changed or replaced file is read again) and the painted
// side in pixels: at a side below 1000 pixels the tile scaled to that side (the
// nearest pixel, the very pixels a full-colour tile scaled to that side shows),
// at 1000 and above the full 1000 x 1000 tile, which the painter scales while it
// clips. The images are dropped least recently used first when their bytes pass
// the budget; a full tile read only to be scaled down is the first to go.
//
// The palette work changes only the colours of the inks (never a pixel):
// brightness multiplies every palette byte by 0.6 (dark) or 1.6 (bright), taken
// to the nearest whole number (a half to the even one) and held to 255; the marked
// ink of a 16-colour tile becomes yellow. 24-bit tiles are painted as they are.
//
// A file that is missing, unreadable, truncated, of the wrong size or depth gives
// no image and the reason; the caller paints its replacement square.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <filesystem>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace zeblon::map {

struct PaletteWork {
  int backgroundMode = 0;  // 0 normal, 1 dark (0.6), 2 bright (1.6)
  int markedInk = -1;      // ink 0 ... 15 of a 16-colour tile drawn yellow; -1 none
  bool operator==(const PaletteWork&) const = default;
};

// Applies the palette work to palette bytes as stored (blue, green, red, reserved
// per entry): brightness on every byte, then for 16-colour palettes the marked ink.
void ApplyPaletteWork(std::vector<std::uint8_t>& palette, const PaletteWork& work, bool sixteen_colours);

class TileCache {
 public:
  // Room for the tiles of several full views at zoom 1 (a view of a large screen
  // shows a dozen tiles of about 1 MB), both mosaics included.
  static constexpr std::size_t kDefaultBudget = std::size_t{48} << 20;

  explicit TileCache(std::size_t budget_bytes = kDefaultBudget);

  struct Tile {
    bool ok = false;
    std::string problem;  // why there is no image
    std::uint64_t fileLength = 0;
    int bits = 0;                              // 4, 8 or 24
    std::vector<std::uint8_t> palette;         // as stored: 64 bytes at 4 bits, 1024 at 8, none at 24
    std::vector<std::uint8_t> paintedPalette;  // the same after the palette work
    // The tile at the painted side (above 1000 pixels the full tile): at 4 and 8
    // bits its inks (Format_Indexed8, whose own colour table is empty), painted in
    // `colours`; at 24 bits its colours (Format_RGB32).
    std::shared_ptr<const QImage> image;
    std::array<QRgb, 256> colours{};  // the colour of each ink after the palette work; black past the palette
  };

  // The tile at `path` with the palette work applied, for painting at `side` pixels
  // square. `palette_work` false paints the file's own palette (the base mosaic).
  Tile Get(const std::filesystem::path& path, const PaletteWork& work, int side, bool palette_work = true);

  // How often a file was read and decoded (for tests and the benchmark).
  std::uint64_t file_reads() const { return file_reads_; }
  // The bytes of the kept images and palettes, and the most they may take (the
  // image being painted stays even when it alone passes the budget).
  std::size_t bytes() const { return bytes_; }
  std::size_t budget() const { return budget_; }
  void Clear();

 private:
  struct Pixels {
    int bits = 0;
    std::vector<std::uint8_t> palette;
    QImage image;  // Indexed8 at 4 and 8 bits (inks), RGB32 at 24 bits
  };
  struct Entry {
    std::string key;
    std::shared_ptr<const Pixels> pixels;
    std::size_t bytes = 0;
  };
  using List = std::list<Entry>;

  std::shared_ptr<const Pixels> Decode(const std::filesystem::path& path, std::string& problem);
  // The kept image of `key`; `touch` makes it the most recently used.
  std::shared_ptr<const Pixels> Find(const std::string& key, bool touch);
  // Keeps an image, as the most recently used or (`first_to_go`) the least.
  void Insert(std::string key, std::shared_ptr<const Pixels> pixels, bool first_to_go = false);
  void Trim();

  std::size_t budget_;
  std::size_t bytes_ = 0;
  List lru_;  // most recent first
  std::unordered_map<std::string, List::iterator> index_;
  std::uint64_t file_reads_ = 0;
};

}  // namespace zeblon::map
