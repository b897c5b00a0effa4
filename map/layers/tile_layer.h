// The tile mosaic of one map folder.
//
// Every tile of the view's range is painted, rows from south to north and within
// a row from west to east, at the position and side the MapView gives; the file
// name follows the tile rule (NNNNEEEE.BMP). A tile that cannot be painted
// (missing, unreadable, damaged, of the wrong size or depth) becomes a filled
// square, dark grey (80, 80, 80), white while the map is drawn to be saved; the
// base mosaic (palette_work false) skips such tiles instead.
//
// The palette state follows the tiles as they are painted: a 16-colour tile makes
// the palette available and becomes the palette shown (after brightness and the
// marked ink); a tile file of more than 600000 bytes makes it unavailable, and
// while it is unavailable each tile clears the marked ink and closes the palette
// frame, so a later 16-colour tile of the same drawing paints no marked ink.
//
// A tile of inks is painted through its colours: only the part of it that shows is
// put into full colour and painted as a tile in full colour is painted. The parts
// painted pixel for pixel (a zoom factor of 1 and more) are kept until the next
// drawing, which paints those it shows alike (the same tile, side, colours and
// part) as they are: a redraw of an unchanged view puts nothing into colour, and
// the layer holds at most a picture's worth of them.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <memory>
#include <filesystem>
#include <vector>

#include "map/layers/layer.h"
#include "map/tile_cache.h"

namespace zeblon::map {

struct PaletteState {
  int backgroundMode = 0;  // 0 normal, 1 dark, 2 bright
  int markedInk = -1;      // -1: no ink marked
  int paletteAvailable = 0;
  std::vector<std::uint8_t> tilePalette;   // 64 bytes as stored in the last 16-colour tile
  std::vector<std::uint8_t> paletteShown;  // the same as painted
  bool frameClosed = false;                // set when a drawing closed the palette frame and cleared the marking
};

class TileLayer : public Layer {
 public:
  explicit TileLayer(TileCache& cache) : cache_(cache) {}

  // The folder whose tiles are painted (need not exist).
  void SetFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
  // The palette state the mosaic reads and updates; none for the base mosaic.
  void SetPaletteState(PaletteState* state) { palette_ = state; }
  void SetSaveDrawing(bool on) { save_drawing_ = on; }

  void render(QPainter& painter, const MapView& view) override;

  int painted() const { return painted_; }
  int replaced() const { return replaced_; }

 private:
  // Paints a tile at (x, y), `side` pixels square, into a picture w x h pixels.
  void PaintTile(QPainter& painter, const TileCache::Tile& tile, int x, int y, double side, double w, double h);

  TileCache& cache_;
  QImage colours_;  // the part of a tile of inks being painted scaled, in full colour (1000 x 1000)
  // The parts of tiles of inks painted pixel for pixel, in full colour: those of the
  // last drawing, and those of this one.
  struct ShownPart {
    std::shared_ptr<const QImage> inks;
    std::array<QRgb, 256> colours;
    QRect part;
    QImage image;
  };
  std::vector<ShownPart> shown_, showing_;
  std::filesystem::path folder_;
  PaletteState* palette_ = nullptr;
  bool save_drawing_ = false;
  int painted_ = 0, replaced_ = 0;
};

}  // namespace zeblon::map
