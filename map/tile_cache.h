// Decoded map tiles kept between drawings.
//
// A redraw paints tens of tiles; reading and decoding each file anew would cost
// far more than the painting. The cache keeps two kinds of images, both dropped
// least recently used first when their bytes pass the budget:
//   - the decoded tile of a file, keyed by its path, length and modification time
//     (a changed or replaced file is read again): its pixel inks with its palette
//     (4 and 8 bits) or its colours (24 bits);
//   - the image ready to paint, keyed by the same plus the palette work
//     (brightness, marked ink) and the painted side in pixels: at a side of up to
//     1000 pixels it is the tile scaled to that side (nearest pixel), above that
//     the full 1000 x 1000 image, which the painter scales while it clips.
//
// The palette work changes only the colour table (never a pixel): brightness
// multiplies every palette byte by 0.6 (dark) or 1.6 (bright), taken to the nearest
// whole number (a half to the even one) and held to 255; the marked ink of a
// 16-colour tile becomes yellow. 24-bit tiles are painted as they are.
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
  explicit TileCache(std::size_t budget_bytes = 320u << 20);

  struct Tile {
    bool ok = false;
    std::string problem;  // why there is no image
    std::uint64_t fileLength = 0;
    int bits = 0;                              // 4, 8 or 24
    std::vector<std::uint8_t> palette;         // as stored: 64 bytes at 4 bits, 1024 at 8, none at 24
    std::vector<std::uint8_t> paintedPalette;  // the same after the palette work
    const QImage* image = nullptr;             // ready to paint; valid until the next call
  };

  // The tile at `path` with the palette work applied, for painting at `side` pixels
  // square. `palette_work` false paints the file's own palette (the base mosaic).
  Tile Get(const std::filesystem::path& path, const PaletteWork& work, int side, bool palette_work = true);

  // How often a file was read and decoded (for tests and the benchmark).
  std::uint64_t file_reads() const { return file_reads_; }
  std::size_t bytes() const { return bytes_; }
  void Clear();

 private:
  struct Decoded {
    std::uint64_t length = 0;
    std::int64_t mtime = 0;
    int bits = 0;
    std::vector<std::uint8_t> palette;
    QImage image;  // Indexed8 at 4 and 8 bits (inks), RGB32 at 24 bits
  };
  struct Entry {
    std::string key;
    std::shared_ptr<Decoded> decoded;  // for decoded entries
    QImage ready;                      // for ready entries
    std::size_t bytes = 0;
  };
  using List = std::list<Entry>;

  std::shared_ptr<Decoded> Decode(const std::filesystem::path& path, std::uint64_t length, std::int64_t mtime,
                                  std::string& problem);
  void Touch(List::iterator it);
  void Insert(Entry e);
  void Trim();

  std::size_t budget_;
  std::size_t bytes_ = 0;
  List lru_;  // most recent first
  std::unordered_map<std::string, List::iterator> index_;
  std::uint64_t file_reads_ = 0;
};

}  // namespace zeblon::map
