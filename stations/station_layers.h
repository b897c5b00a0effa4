// The station passes of the map redraw, as map layers: every heard station
// of MONI ALL with its track, marker or symbol and labels (MoniAllLayer), the
// watched MONI 1 station with its coloured track on top (MoniOneLayer), and
// the weather diagram both draw at a weather station (DrawWxDiagram).
//
// The layers read the stores of the reception core and the switches of the
// main window; they change neither. Each layer keeps what it read of every
// slot together with the record's bytes, and reads a slot again only when its
// bytes differ; positions, ages and colours are worked out at every pass.
// Positions take the markers' pixel rule of the MapView (held to +/-4000) and
// every line goes through MapPen, which clips it to the picture, so far-away
// stations cost little and never reach QPainter with huge coordinates.
//
// This header gathers what the windows use of them: the layers
// (moni_all_layer.h, moni_one_layer.h), the switches they read
// (layer_inputs.h), the symbol sheets (symbol_sheets.h), the weather pictures
// (wx_pictures.h), and here the passes that attach both layers to the map. The
// label cache (label_cache.h) and the straight pixel writer (pixel_writer.h)
// are the layers' own.
#pragma once

#include <QPainter>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "map/map_display.h"
#include "map/map_view.h"
#include "reception/reception_state.h"
#include "stations/layer_inputs.h"
#include "stations/moni_all_layer.h"
#include "stations/moni_one_layer.h"
#include "stations/station_display.h"
#include "stations/symbol_sheets.h"
#include "reception/symbol_table.h"
#include "stations/wx_pictures.h"

namespace zeblon::stations {

// The two station passes of the map redraw, kept as long as the map: attached
// as layers of the map's stack at the places kept for them, they draw MONI ALL
// (over the grids, circles and tile frames) and MONI 1 (over the picture markers,
// the track, the POIs and the centre cross, placed where the map put it) into
// every redraw with the switches of that moment. They only read the station
// store: a redraw never changes it.
class StationPasses {
 public:
  StationPasses(const reception::ReceptionState& state, std::filesystem::path programFolder,
                std::function<reception::LocalTime()> now, std::function<StationDrawSettings()> settings);
  StationPasses(const StationPasses&) = delete;  // the map's stack holds the passes by address
  StationPasses& operator=(const StationPasses&) = delete;
  ~StationPasses();
  // Adds both passes to the map's layer stack (once; the map outlives them or
  // they leave its stack with this object).
  void Attach(map::MapDisplay& map);
  // The MONI 1 panel's read-outs, written at every MONI 1 drawing.
  std::function<void(const MoniOneReadouts&)> onMoniOneReadouts;
  // The wait pointer while either pass draws (true), and back (false).
  std::function<void(bool busy)> busy;
  const std::vector<std::string>& DrawnOrder() const { return all_.DrawnOrder(); }
  // CLEAR MONI ALL emptied the report log: the MONI ALL drawing's call lists go with it.
  void ForgetMoniAll() { all_.Forget(); }

 private:
  void Busy(bool on) {
    if (busy) busy(on);
  }

  const reception::ReceptionState& st_;
  std::function<StationDrawSettings()> settingsOf_;
  StationDrawSettings settings_;
  SymbolSheets sheets_;
  MoniAllLayer all_;
  MoniOneLayer one_;
  map::MapDisplay* map_ = nullptr;
  map::FunctionLayer all_pass_, one_pass_;
};

}  // namespace zeblon::stations
