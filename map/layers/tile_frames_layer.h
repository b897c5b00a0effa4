// The "maps grid" of the scales whose box is ticked: black tile-boundary lines
// where a tile is more than 9 pixels wide, and a frame in the scale's colour
// around every tile that the folder's index lists and the view touches.
#pragma once

#include <array>
#include <string>

#include "map/layers/layer.h"
#include "map/map_index.h"

namespace zeblon::map {

// The frame colour of each scale level (5000 ... 2).
QColor TileFrameColour(int level);

class TileFramesLayer : public Layer {
 public:
  explicit TileFramesLayer(MapIndex& index) : index_(index) {}
  // Which levels are shown and the folder of each level.
  void Set(const std::array<bool, kLevels>& shown, const std::array<std::string, kLevels>& folders) {
    shown_ = shown;
    folders_ = folders;
  }
  void render(QPainter& painter, const MapView& view) override;

 private:
  MapIndex& index_;
  std::array<bool, kLevels> shown_{};
  std::array<std::string, kLevels> folders_;
};

}  // namespace zeblon::map
