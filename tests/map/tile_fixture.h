// Patterned 16-colour tiles for the map display's tests: each tile is filled with
// an ink of its own (neighbours differ) inside a border of ink 15, 8 pixels wide, on
// its west and north edges, so a probe can tell which tile and which part of it a
// pixel shows at every zoom factor.
#pragma once

#include <QColor>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zeblon::map::testing {

// The palette: ink i is a colour of its own; ink 15 white.
std::vector<std::uint32_t> PatternPalette();
QColor InkColour(int ink);
// The interior ink of the tile with south-west corner (n, e) km at scale s.
int TileInk(std::int64_t n, std::int64_t e, int s);
// Writes the tile file NNNNEEEE.BMP of that corner into `folder`.
void WritePatternTile(const std::filesystem::path& folder, std::int64_t n, std::int64_t e, int s);
// Writes all tiles whose corners lie within [n0, n1] x [e0, e1] (multiples of s).
int WritePatternTiles(const std::filesystem::path& folder, std::int64_t n0, std::int64_t n1, std::int64_t e0,
                      std::int64_t e1, int s);

// Writes a tile of `bits` per pixel (4, 8 or 24) whose every pixel differs from
// its neighbours at random (seeded by the corner), with a palette of distinct
// colours: a pixel taken from the wrong place of it shows.
void WriteNoiseTile(const std::filesystem::path& folder, std::int64_t n, std::int64_t e, int s, int bits);

// A fresh folder below the system's temporary folder, removed by the destructor.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace zeblon::map::testing
