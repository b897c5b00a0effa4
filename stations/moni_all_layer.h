// The MONI ALL layer of the map: every heard station with its track, marker
// or symbol and labels, the station heard last on top.
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
#include "stations/label_cache.h"
#include "stations/layer_inputs.h"
#include "stations/symbol_sheets.h"
#include "reception/symbol_table.h"

namespace zeblon::stations {

class LineBatch;

class MoniAllLayer : public map::Layer {
 public:
  // `watchedCall` is the MONI 1 call, whose reports the MONI 1 layer draws.
  MoniAllLayer(const reception::StationStore& stations, const reception::AlarmRecord& alarm,
               const std::string& watchedCall, const StationDrawSettings& settings, const SymbolSheets& sheets,
               std::function<reception::LocalTime()> now,
               const reception::SymbolTable& table = reception::StandardSymbolTable());
  void render(QPainter& painter, const map::MapView& view) override;

  // The calls in the order the last pass drew them.
  const std::vector<std::string>& DrawnOrder() const { return drawn_; }
  // The report log was emptied: the drawing order and what was read of its slots go.
  void Forget();

 private:
  // What the pass needs of one slot of the log: read from the record when its
  // bytes change, placed on the picture anew at every pass.
  struct Slot {
    double north = 0, east = 0;
    std::optional<long> stamp;  // MinuteStamp
    std::uint32_t callHash = 0;
    bool direct = true, internet = false, object = false, messaging = false;
    int stationClass = 1, symbolIndex = 0, markerClass = 0;
    // Of this pass.
    int x = 0, y = 0;
    QRgb grey = 0xFFFFFFFFu;
  };
  // The reports of one call: the first slot, each slot's next in next_, the newest.
  struct Station {
    std::string_view call;
    int first = 0, last = 0;
    int label = -1, alarmLabel = -1;  // of the LabelCache, -1 when not drawn
  };
  void ReadSlots(int count, const map::MapView& view);
  void GroupByCall(int count);
  void FindLabels(const map::MapView& view, const QPaintDevice* device);
  void DrawStation(map::MapPen& pen, LineBatch& lines, const Station& station) const;

  const reception::StationStore& store_;
  const reception::AlarmRecord& alarm_;
  const std::string& watchedCall_;
  const StationDrawSettings& settings_;
  const SymbolSheets& sheets_;
  std::function<reception::LocalTime()> now_;
  const reception::SymbolTable& table_;
  std::vector<std::string> drawn_;
  LabelCache labels_;
  KeptReadings<Slot> slots_;
  // Kept between passes only for their room.
  std::vector<Station> stations_;
  std::vector<int> next_, hash_, newestOf_, order_;
  std::string text_;
  int width_ = 0, height_ = 0;
};

}  // namespace zeblon::stations
