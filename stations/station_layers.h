// The station passes of the map redraw, as map layers: every heard station
// of MONI ALL with its track, marker or symbol and labels (MoniAllLayer), the
// watched MONI 1 station with its coloured track on top (MoniOneLayer), and
// the weather diagram both draw at a weather station (DrawWxDiagram).
//
// The layers read the stores of the reception core and the switches of the
// main window; they change neither. Each layer keeps what it read of every
// slot together with the record's bytes, and reads a slot again only when its
// bytes differ; positions, ages and colours are worked out at every pass. Positions take the markers' pixel rule
// of the MapView (held to +/-4000) and every line goes through MapPen, which
// clips it to the picture, so far-away stations cost little and never reach
// QPainter with huge coordinates.
#pragma once

#include <QImage>
#include <QPainter>
#include <QStaticText>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "map/layers/layer.h"
#include "map/map_display.h"
#include "map/map_view.h"
#include "reception/reception_state.h"
#include "stations/station_display.h"
#include "reception/symbol_table.h"

namespace zeblon::stations {

QColor ToQColor(const Rgb& c);

// The two symbol sheets ZEBLSYM0.BMP and ZEBLSYM1.BMP of the program folder,
// read anew by Reload() (each redraw calls it, so a replaced sheet shows at
// once). A missing or unreadable sheet, and an index outside the tables,
// paint nothing.
class SymbolSheets {
 public:
  explicit SymbolSheets(std::filesystem::path programFolder = {}) : folder_(std::move(programFolder)) {}
  void Reload();
  // Reads only the sheet of one table (0 or 1) anew.
  void ReloadSheet(int sheet);
  bool Loaded(int sheet) const { return sheet >= 0 && sheet < 2 && !sheets_[sheet].isNull(); }
  // Paints the 22 x 22 cell of a symbol index with its top left corner at (x, y).
  bool PaintCell(QPainter& painter, int index, int x, int y) const;
  // The cell's top left corner on its sheet (column * 21, row * 21).
  static QPoint CellOrigin(int index);

 private:
  std::filesystem::path folder_;
  QImage sheets_[2];
};

// The font the previews print the overlay character in: `base` at 13 pixels, bold.
QFont SymbolOverlayFont(QFont base);

// The symbol picker's 22 x 22 picture: white, the symbol's cell cut unscaled from
// its sheet in the program folder (read anew on every call) at (0, 0), and the
// overlay character, when not empty, printed with its top left corner at (7, 3)
// in the given font and colour. A missing or unreadable sheet, and an index
// without a picture (0, 95 ... 100, 195 ... 200 or outside the table), leave the
// picture white.
QImage SymbolPreview(const std::filesystem::path& programFolder, int index, const std::string& overlay,
                     const QFont& font, const QColor& colour);

// Draws the weather diagram of a record centred on (x, y). colourDepth is the
// screen's bits per pixel (below 16: no temperature centre, no gust, plain
// pressure arcs, grey rain). Returns false when the record holds no report.
bool DrawWxDiagram(QPainter& painter, double x, double y, std::string_view record, int colourDepth = 24);

// The compass picture of the WX STATION window (159 x 159 pixels, centre
// (80, 80), ring radius 36): pressure ring, compass, temperature centre, wind
// bar from the picture's edge, rain bars at the bottom corners. The picture is
// cleared to light grey first; false (and an empty picture) when the record
// holds no report.
bool DrawWxStationPicture(QImage& picture, std::string_view record, int colourDepth = 24);

// What the station passes read from the main window's switches.
struct StationDrawSettings {
  int moniAllLevel = 2;  // 1..5 (0: the pass draws nothing)
  bool wxLevel = false;  // Label16 shows "WX"
  int filterMask = 31;
  int mobileFilter = 1;     // Check13
  bool directOnly = false;  // Check24
  int moniOneLevel = 2;     // 1..6
  int colourDepth = 24;
  static StationDrawSettings From(const StationSwitches& s, bool directOnly = false, int colourDepth = 24);
};

class LineBatch;
struct Paint;

// The texts of the map labels, laid out once and kept from one redraw to the
// next (a label is drawn as a box 8 pixels per character and 12 high from
// y - 7, its text from y - 9). The map font draws without smoothing, so the
// pixels a text sets are kept with it and written straight into a plain
// picture; other painters draw the text.
class LabelCache {
 public:
  // At the start of a pass: a new font empties the cache.
  void Begin(const QFont& font);
  // The label of a text, laid out when it is new; its number stays valid
  // until the next Begin.
  int Find(std::string_view text, const QPaintDevice* device);
  // The label box from (left, y - 7) over 8 pixels a character and its text.
  void Draw(map::MapPen& pen, LineBatch& lines, int left, int y, int label, const Paint& box, const Paint& ink) const;
  // Whether a label of `length` characters at (left, y) can touch a picture of w x h.
  static bool Touches(int left, int y, std::size_t length, double w, double h) {
    const int right = left + 8 * static_cast<int>(length);
    return !(right < 0 || left > w || y + 5 < 0 || y - 9 > h);
  }

 private:
  struct Label {
    std::string key;
    QStaticText text;
    std::vector<QPoint> ink;  // the pixels the text sets, from (left, y)
    QRect reach;              // around them
    bool exact = false;       // the text sets whole pixels only
    // The same as one bit a pixel, rows of `words` 64-bit words from reach's top left.
    std::vector<std::uint64_t> mask;
    int words = 0;
  };
  QFont font_;
  int charWidth_ = 8, lineHeight_ = 0;  // the widest character and the line height of the font
  // The labels, found through a table open-addressed by the texts' bytes.
  std::vector<Label> labels_;
  std::vector<int> index_;
};

// What a layer read of each record of a store, kept with the bytes it was read
// from, so that a record is read again only when its bytes change.
template <typename Slot>
class KeptReadings {
 public:
  // For slots 1 to count: read(slot, bytes) where the record's bytes differ
  // from those read before (or none were read), then place(slot) for each.
  template <typename Read, typename Place>
  void Update(const std::vector<std::string>& store, int count, const Read& read, const Place& place) {
    if (kept_.size() < static_cast<std::size_t>(count) + 1) kept_.resize(static_cast<std::size_t>(count) + 1);
    for (int i = 1; i <= count; ++i) {
      Kept& k = kept_[static_cast<std::size_t>(i)];
      const std::string& record = store[static_cast<std::size_t>(i)];
      if (!k.read || k.bytes != record) {
        k.bytes = record;
        k.read = true;
        read(k.slot, std::string_view(k.bytes));
      }
      place(k.slot);
    }
  }
  const Slot& operator[](int i) const { return kept_[static_cast<std::size_t>(i)].slot; }
  // The bytes slot i was read from.
  std::string_view Bytes(int i) const { return kept_[static_cast<std::size_t>(i)].bytes; }

 private:
  struct Kept {
    std::string bytes;
    bool read = false;
    Slot slot;
  };
  std::vector<Kept> kept_;
};

class MoniAllLayer : public map::Layer {
 public:
  MoniAllLayer(const reception::ReceptionState& state, const StationDrawSettings& settings, const SymbolSheets& sheets,
               std::function<reception::LocalTime()> now,
               const reception::SymbolTable& table = reception::StandardSymbolTable());
  void render(QPainter& painter, const map::MapView& view) override;

  // The calls in the order the last pass drew them.
  const std::vector<std::string>& DrawnOrder() const { return drawn_; }

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

  const reception::ReceptionState& st_;
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

class MoniOneLayer : public map::Layer {
 public:
  MoniOneLayer(const reception::ReceptionState& state, const StationDrawSettings& settings, const SymbolSheets& sheets,
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

  const reception::ReceptionState& st_;
  const StationDrawSettings& settings_;
  const SymbolSheets& sheets_;
  std::function<reception::LocalTime()> now_;
  const reception::SymbolTable& table_;
  std::optional<QPoint> pixel_;
  KeptReadings<Slot> slots_;
};

// The two station passes of the map redraw, kept as long as the map: attached
// to the map display's hooks, they draw MONI ALL (step 15) and MONI 1 (step
// 19) into every redraw with the switches of that moment. With smart logging
// the MONI 1 pass first removes the stamped records from the track.
class StationPasses {
 public:
  StationPasses(reception::ReceptionState& state, std::filesystem::path programFolder,
                std::function<reception::LocalTime()> now, std::function<StationDrawSettings()> settings);
  void Attach(map::MapHooks& hooks);
  // The MONI 1 panel's read-outs, written at every MONI 1 drawing.
  std::function<void(const MoniOneReadouts&)> onMoniOneReadouts;
  const std::vector<std::string>& DrawnOrder() const { return all_.DrawnOrder(); }

 private:
  reception::ReceptionState& st_;
  std::function<StationDrawSettings()> settingsOf_;
  StationDrawSettings settings_;
  SymbolSheets sheets_;
  MoniAllLayer all_;
  MoniOneLayer one_;
};

}  // namespace zeblon::stations
