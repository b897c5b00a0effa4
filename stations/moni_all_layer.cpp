#include "stations/moni_all_layer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "geodesy/text.h"
#include "reception/station_record.h"
#include "stations/pixel_writer.h"
#include "stations/wx_pictures.h"

namespace zeblon::stations {

using map::MapPen;
using map::MapView;

namespace {

bool Visible(int x, int y) { return std::abs(x) < 1900 && std::abs(y) < 1900; }

const Paint& RadioPaint() {
  static const Paint p(ToQColor(kStationColour));
  return p;
}
const Paint& InternetPaint() {
  static const Paint p(ToQColor(kInternetStationColour));
  return p;
}
const Paint& WhitePaint() {
  static const Paint p(kWhite);
  return p;
}

}  // namespace

MoniAllLayer::MoniAllLayer(const reception::StationStore& stations, const reception::AlarmRecord& alarm,
                           const std::string& watchedCall, const StationDrawSettings& settings,
                           const SymbolSheets& sheets, std::function<reception::LocalTime()> now,
                           const reception::SymbolTable& table)
    : store_(stations),
      alarm_(alarm),
      watchedCall_(watchedCall),
      settings_(settings),
      sheets_(sheets),
      now_(std::move(now)),
      table_(table) {}

// Reads the slots whose records changed since the pass before and places every
// slot on the picture.
void MoniAllLayer::ReadSlots(int count, const MapView& view) {
  const MapView::MarkerPixels pixels = view.Markers();
  const std::optional<long> now = MinuteStamp(now_ ? now_() : reception::LocalTime{});
  const bool greys = settings_.moniAllLevel == 1;
  slots_.Update(
      store_.MoniAll(), count,
      [&](Slot& s, std::string_view bytes) {
        const RecordView r(bytes);
        s.north = r.NorthKm();
        s.east = r.EastKm();
        s.stamp = MinuteStamp(r);
        s.callHash = TextHash(r.CallView());
        s.direct = r.ViaView().empty();
        s.internet = r.ViaFromInternet();
        s.object = r.IsObject();
        s.messaging = r.Messaging();
        s.stationClass = StationClassOf(r, table_);
        s.symbolIndex = 0;
        const std::string_view row = SymbolRowOf(r.SymbolView(), table_, &s.symbolIndex);
        s.markerClass = s.object ? 3 : reception::SymbolClassOf(row);
      },
      [&](Slot& s) {
        s.x = static_cast<int>(pixels.X(s.east));
        s.y = static_cast<int>(pixels.Y(s.north));
        if (greys) s.grey = ToQColor(GreyOfAge(AgeBetween(s.stamp, now))).rgba();
      });
}

// The reports of every call, found through a table of the calls open-addressed
// by their bytes: no text is copied.
void MoniAllLayer::GroupByCall(int count) {
  stations_.clear();
  next_.assign(static_cast<std::size_t>(count) + 1, 0);
  newestOf_.assign(static_cast<std::size_t>(count) + 1, -1);
  std::size_t size = 64;
  while (size < 2 * static_cast<std::size_t>(count)) size *= 2;
  hash_.assign(size, -1);
  for (int i = 1; i <= count; ++i) {
    const Slot& slot = slots_[i];
    const std::string_view call = RecordView(slots_.Bytes(i)).CallView();
    if (call.empty()) continue;
    std::size_t at = slot.callHash & (size - 1);
    while (hash_[at] >= 0 && stations_[static_cast<std::size_t>(hash_[at])].call != call) at = (at + 1) & (size - 1);
    if (hash_[at] < 0) {
      hash_[at] = static_cast<int>(stations_.size());
      stations_.push_back({call, i, i});
    } else {
      Station& s = stations_[static_cast<std::size_t>(hash_[at])];
      next_[static_cast<std::size_t>(s.last)] = i;
      s.last = i;
    }
  }
  for (std::size_t k = 0; k < stations_.size(); ++k)
    newestOf_[static_cast<std::size_t>(stations_[k].last)] = static_cast<int>(k);
}

// Lays out the labels the stations of the drawing order can show where they
// can be seen (a label is laid out once and kept).
void MoniAllLayer::FindLabels(const MapView& view, const QPaintDevice* device) {
  const int level = settings_.moniAllLevel;
  const bool longLabel = level == 3 || level == 5;
  for (int k : order_) {
    Station& station = stations_[static_cast<std::size_t>(k)];
    station.label = station.alarmLabel = -1;
    // Where the station is drawn: its newest report that the direct-only switch lets through.
    const Slot *at = nullptr, *first = nullptr;
    for (int slot = station.first; slot != 0; slot = next_[static_cast<std::size_t>(slot)]) {
      const Slot& s = slots_[slot];
      if (settings_.directOnly && !s.direct) continue;
      if (!first) first = &s;
      at = &s;
    }
    // The class of its first such report hides it.
    if (!at || (settings_.filterMask & FilterBitOf(first->stationClass)) == 0) continue;
    const int left = at->x + 8 + 6 * (level / 4);
    const RecordView newest(slots_.Bytes(station.last));
    const bool alarmed = !alarm_.call.empty() && alarm_.call == station.call;
    if (longLabel || alarmed) {
      text_.assign(station.call);
      text_ += slots_[station.last].object ? "_" : " ";
      text_ += newest.ViaView();
      text_ += ' ';
      text_ += newest.SymbolView();
      text_ += ' ';
      text_ += TrimView(reception::Columns(newest.text(), 43, 89));
    }
    auto find = [&](std::string_view text) {
      if (text.empty() || !LabelCache::Touches(left, at->y, text.size(), view.widthPx, view.heightPx)) return -1;
      return labels_.Find(text, device);
    };
    if (level >= 2) {
      if (longLabel) {
        const std::string_view t = newest.Time();
        std::string text = text_;
        text += ' ';
        text += t.substr(0, std::min<std::size_t>(2, t.size()));
        text += ':';
        if (t.size() > 2) text += t.substr(2, 2);
        station.label = find(TrimView(text));
      } else {
        station.label = find(station.call);
      }
    }
    if (alarmed)
      station.alarmLabel = find(longLabel ? std::string(TrimView(text_)) : "! " + std::string(station.call) + " !");
  }
}

void MoniAllLayer::Forget() {
  drawn_.clear();
  order_.clear();
  stations_.clear();
  slots_ = {};
}

void MoniAllLayer::render(QPainter& painter, const MapView& viewIn) {
  drawn_.clear();  // the drawing order is rebuilt from the log at every pass
  if (settings_.moniAllLevel <= 0) return;
  const MapView view = viewIn.Normalised();
  const int count = std::clamp(store_.MoniAllCount(), 0, static_cast<int>(store_.MoniAll().size()) - 1);
  MapPen pen(painter, view.widthPx, view.heightPx);
  pen.SetColour(ToQColor(kStationColour));
  painter.setRenderHint(QPainter::Antialiasing, false);
  LineBatch lines(painter);
  width_ = static_cast<int>(view.widthPx);
  height_ = static_cast<int>(view.heightPx);
  ReadSlots(count, view);
  GroupByCall(count);

  // The calls by their newest slot: the station heard last is drawn last.
  order_.clear();
  for (int slot = 1; slot <= count; ++slot) {
    const int k = newestOf_[static_cast<std::size_t>(slot)];
    if (k < 0) continue;
    const Station& station = stations_[static_cast<std::size_t>(k)];
    if (station.call == watchedCall_) continue;  // drawn by the MONI 1 pass
    order_.push_back(k);
  }
  drawn_.resize(order_.size());
  for (std::size_t k = 0; k < order_.size(); ++k) drawn_[k].assign(stations_[static_cast<std::size_t>(order_[k])].call);

  labels_.Begin(painter.font());
  FindLabels(view, painter.device());
  for (int k : order_) DrawStation(pen, lines, stations_[static_cast<std::size_t>(k)]);
  pen.SetColour(map::kMapYellow);
}

void MoniAllLayer::DrawStation(MapPen& pen, LineBatch& lines, const Station& station) const {
  const int level = settings_.moniAllLevel;
  const Slot& newest = slots_[station.last];
  const std::string_view call = station.call;
  bool classKnown = false, any = false, moved = false;
  int cls = 1;
  int x = 0, y = 0, px = 0, py = 0;
  const Paint* colour = &RadioPaint();
  QRgb grey = WhitePaint().argb;
  for (int slot = station.first; slot != 0; slot = next_[static_cast<std::size_t>(slot)]) {
    const Slot& r = slots_[slot];
    if (settings_.directOnly && !r.direct) continue;
    const Paint& c = r.internet ? InternetPaint() : RadioPaint();
    const QRgb g = level == 1 ? r.grey : WhitePaint().argb;
    if (!classKnown) {
      classKnown = true;
      cls = r.stationClass;
      if ((settings_.filterMask & FilterBitOf(cls)) == 0) return;
    }
    x = r.x;
    y = r.y;
    if (!any) {
      px = x;
      py = y;
    }
    any = true;
    colour = &c;
    grey = g;
    if (settings_.mobileFilter == 2 && cls == 0) {
      if (x == px && y == py) continue;
      moved = true;
    }
    if (cls != 3 && Touches(px, py, x, y, 2, width_, height_))
      lines.Stretch(px, py, x, y, c, Paint(QColor::fromRgba(g)));
    px = x;
    py = y;
  }
  if (!any || call.empty() || !Visible(x, y)) return;
  const Paint& col = *colour;
  const Paint greyPaint(QColor::fromRgba(grey));
  const int markerClass = newest.markerClass;
  const bool hiddenMobile = settings_.mobileFilter == 2 && !moved;

  // Marker at levels 1 to 3 ("WX" is level 1).
  if (level <= 3) {
    switch (markerClass) {
      case 0:
        if (!hiddenMobile) lines.BandedDiamond(x, y, col, greyPaint);
        break;
      case 1:
        for (int i = 1; i <= 5; ++i) {
          lines.SetColour(i == 3 ? greyPaint : col);
          lines.Square(x, y, i);
        }
        break;
      case 2:
        for (int i = 1; i <= 6; ++i) lines.Ring(pen, x, y, i, (i == 3 || i == 4) ? greyPaint : col);
        break;
      case 3:
        for (int i = 1; i <= 6; ++i) lines.Ring(pen, x, y, i, i == 4 ? greyPaint : col);
        lines.SetColour(greyPaint);
        lines.Line(x, y, x, y + 3);
        lines.Point(x, y - 2);
        break;
      default:  // weather
        for (int i = 1; i <= 6; ++i) lines.Ring(pen, x, y, i, i == 4 ? greyPaint : col);
        lines.SetColour(greyPaint);
        lines.Line(x - 4, y, x + 4, y);
        if (settings_.wxLevel) DrawWxDiagram(pen.painter(), x, y, slots_.Bytes(station.last), settings_.colourDepth);
        break;
    }
  }
  if (settings_.mobileFilter == 2 && cls == 0 && !moved) return;

  // Symbol picture at levels 4 and 5.
  if (level >= 4) {
    sheets_.PaintCell(pen.painter(), newest.symbolIndex, x - 11, y - 10);
    const std::string_view symbol = RecordView(slots_.Bytes(station.last)).SymbolView();
    if (symbol.size() >= 3) {
      const QColor keep = pen.Colour();
      pen.SetColour(kBlack);
      pen.Text(x - 4, y - 7, symbol.substr(2, 1));
      pen.SetColour(keep);
    }
  }

  const int left = x + 8 + 6 * (level / 4);
  if (level >= 2 && station.label >= 0) labels_.Draw(pen, lines, left, y, station.label, col, greyPaint);
  if ((level == 2 || level == 3) && newest.messaging && markerClass != 3) {
    static const Paint green(ToQColor(kMessagingGreen));
    lines.SetColour(green);
    lines.Square(x, y, 1);
  }
  if (station.alarmLabel >= 0) {
    static const Paint orange(ToQColor(kAlarmOrange)), black(kBlack);
    labels_.Draw(pen, lines, left, y, station.alarmLabel, orange, black);
  }
}

}  // namespace zeblon::stations
