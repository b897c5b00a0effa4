// The map's layers in their drawing order.
//
// Each layer stands at a place of the stack (LayerPlace); the redraw walks the
// stack from the lowest place up, so a later layer draws over an earlier one, and
// layers at the same place draw in the order they were added. The map display
// registers its own layers; the station passes (stations/) add theirs at the
// places kept for them. Whether a place draws in a redraw (the grid switched off,
// MONI ALL at level 0) is the map's switch of that place, not the layer's.
#pragma once

#include <QPainter>
#include <functional>
#include <vector>

#include "map/layers/layer.h"
#include "map/map_view.h"

namespace zeblon::map {

// The places of the stack, lowest first.
enum class LayerPlace {
  kTiles,
  kGrids,
  kCircles,
  kTileFrames,
  kMoniAll,  // every heard station
  kPictures,
  kGpsTrack,
  kPois,
  kCentreCross,
  kMoniOne,  // the watched station with its track
  kMarkers,  // the user's position and the own object
  kCount
};

class LayerStack {
 public:
  // `layer` (not owned) at `place`, after the layers already there.
  void Add(LayerPlace place, Layer* layer);
  void Remove(Layer* layer);
  // Switches a place on or off for the following redraws (all places start on).
  void SetShown(LayerPlace place, bool shown);
  bool Shown(LayerPlace place) const;
  // The layers in drawing order.
  std::vector<Layer*> Ordered() const;
  // Draws every layer of the places switched on, lowest first (a layer does not
  // change the stack while it draws).
  void render(QPainter& painter, const MapView& view);

 private:
  struct Entry {
    LayerPlace place;
    Layer* layer;
  };
  std::vector<Entry> entries_;  // kept in drawing order
  std::vector<bool> shown_ = std::vector<bool>(static_cast<std::size_t>(LayerPlace::kCount), true);
};

// A layer drawn by a function: a pass that prepares its drawing itself (reads its
// switches, refreshes its pictures) before the layer classes it holds draw. An
// empty function draws nothing.
class FunctionLayer : public Layer {
 public:
  FunctionLayer() = default;
  explicit FunctionLayer(std::function<void(QPainter&, const MapView&)> fn) : draw(std::move(fn)) {}
  void render(QPainter& painter, const MapView& view) override {
    if (draw) draw(painter, view);
  }
  std::function<void(QPainter&, const MapView&)> draw;
};

}  // namespace zeblon::map
