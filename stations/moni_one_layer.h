// The MONI 1 layer of the map: the watched station with its track coloured by
// age and its marker, symbol and label at the station's pixel.
#pragma once

#include <QPainter>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "map/layers/layer.h"
#include "map/map_view.h"
#include "reception/reception_state.h"
#include "stations/layer_inputs.h"
#include "stations/symbol_sheets.h"
#include "reception/symbol_table.h"

namespace zeblon::stations {

class LineBatch;
struct Paint;

class MoniOneLayer : public map::Layer {
 public:
  MoniOneLayer(const reception::StationStore& stations, const StationDrawSettings& settings, const SymbolSheets& sheets,
               std::function<reception::LocalTime()> now,
               const reception::SymbolTable& table = reception::StandardSymbolTable());
  // The station's pixel (MoniOnePixelX/Y): by default that of the newest
  // position; the map centre while the map follows the station.
  void SetStationPixel(std::optional<QPoint> pixel) { pixel_ = pixel; }
  void render(QPainter& painter, const map::MapView& view) override;

 private:
  // What the track needs of one record (see MoniAllLayer::Slot).
  struct Slot {
    bool blank = false, walking = false, stamped = false;
    double north = 0, east = 0;
    std::optional<long> stamp;
    // Of this pass.
    int x = 0, y = 0;
    Rgb rgb;
  };
  // Draws the track's part that lies in the batch's rows; returns the colour
  // of the newest point.
  Paint DrawTrack(LineBatch& lines, int count, bool marks, double w, double h) const;

  const reception::StationStore& stations_;
  const StationDrawSettings& settings_;
  const SymbolSheets& sheets_;
  std::function<reception::LocalTime()> now_;
  const reception::SymbolTable& table_;
  std::optional<QPoint> pixel_;
  KeptReadings<Slot> slots_;
};

}  // namespace zeblon::stations
