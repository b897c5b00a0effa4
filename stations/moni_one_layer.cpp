#include "stations/moni_one_layer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "geodesy/text.h"
#include "reception/station_record.h"
#include "settings/text_files.h"
#include "stations/pixel_writer.h"
#include "stations/wx_pictures.h"

namespace zeblon::stations {

using map::MapPen;
using map::MapView;

MoniOneLayer::MoniOneLayer(const reception::StationStore& stations, const StationDrawSettings& settings,
                           const SymbolSheets& sheets, std::function<reception::LocalTime()> now,
                           const reception::SymbolTable& table)
    : stations_(stations), settings_(settings), sheets_(sheets), now_(std::move(now)), table_(table) {}

// The track, oldest first: a band in the report's colour with a black centre
// line, and point marks at every point but the newest (diamonds 1 to 6: 1, 2
// black, 3, 4 in the colour, 5, 6 black). A point on the same pixel and in the
// same colour as the one before it, other than the newest, would paint the
// very same pixels again and is passed over.
Paint MoniOneLayer::DrawTrack(LineBatch& lines, int count, bool marks, double w, double h) const {
  static const Paint black(kBlack);
  int px = 0, py = 0;
  bool have = false, restart = true;
  Rgb previous{-1, -1, -1};
  Paint c(ToQColor(kTrackColourRecent));
  for (int i = 1; i <= count; ++i) {
    const Slot& r = slots_[i];
    int x, y;
    const Rgb rgb = r.rgb;
    if (r.blank) {
      if (!have) continue;
      x = px;
      y = py;
      restart = true;
    } else {
      x = r.x;
      y = r.y;
      if (restart || !have) {
        px = x;
        py = y;
      } else if (x == px && y == py && rgb == previous && i < count) {
        continue;
      }
      restart = false;
    }
    have = true;
    if (!(rgb == previous)) c = Paint(ToQColor(rgb));
    previous = rgb;
    if (Touches(px, py, x, y, 8, w, h)) {
      const bool mark = marks && i < count;
      if (mark && lines.Direct() && std::abs(x - px) + std::abs(y - py) <= 5) {
        // Every pixel of a band this short lies within the diamonds of the
        // mark drawn next (at most 6 steps from its point), all but the point
        // itself, where the band's centre line ends in black.
        lines.SetColour(black);
        lines.Point(x, y);
      } else {
        lines.Stretch(px, py, x, y, c, black);
      }
      if (mark) lines.BandedDiamond(x, y, black, c);
    }
    px = x;
    py = y;
  }
  return c;
}

void MoniOneLayer::render(QPainter& painter, const MapView& viewIn) {
  const MapView view = viewIn.Normalised();
  const int level = std::clamp(settings_.moniOneLevel, 1, 6);
  const std::optional<long> now = MinuteStamp(now_ ? now_() : reception::LocalTime{});
  const int count = std::clamp(stations_.MoniOneCount(), 0, static_cast<int>(stations_.MoniOneTrack().size()) - 1);
  MapPen pen(painter, view.widthPx, view.heightPx);
  if (count == 0) return;

  const bool marks = level % 3 != 1;
  const double w = view.widthPx, h = view.heightPx;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  LineBatch lines(painter);
  const MapView::MarkerPixels pixels = view.Markers();
  slots_.Update(
      stations_.MoniOneTrack(), count,
      [](Slot& s, std::string_view bytes) {
        const RecordView r(bytes);
        s.blank = r.AllBlank();
        s.north = r.NorthKm();
        s.east = r.EastKm();
        s.stamp = MinuteStamp(r);
        s.walking = WalkingSymbol(r);
        s.stamped = r.Stamped();
      },
      [&](Slot& s) {
        s.rgb = TrackColour(level, AgeBetween(s.stamp, now), s.walking, s.stamped);
        if (!s.blank) {
          s.x = static_cast<int>(pixels.X(s.east));
          s.y = static_cast<int>(pixels.Y(s.north));
        }
      });
  const Paint last = DrawTrack(lines, count, marks, w, h);
  painter.restore();

  // The class marker, symbol, label and messaging mark at the station's pixel.
  const QColor trackColour = last.colour;
  const auto& n = stations_.Newest();
  const int x = pixel_ ? pixel_->x() : static_cast<int>(view.PixelX(n.east));
  const int y = pixel_ ? pixel_->y() : static_cast<int>(view.PixelY(n.north));
  const RecordView newest(stations_.MoniOneTrack()[static_cast<std::size_t>(count)]);
  int symbolIndex = 0;
  const std::string_view row = SymbolRowOf(n.symbol, table_, &symbolIndex);
  const int cls = newest.IsObject() ? 3 : reception::SymbolClassOf(row);
  auto rings = [&](bool square) {
    for (int k = 10; k <= 14; ++k) {
      const QColor ink = k == 12 ? trackColour : kBlack;
      if (square)
        Square(pen, x, y, k, ink);
      else
        Ring(pen, x, y, k, ink);
    }
  };
  switch (cls) {
    case 0:
      for (int k = 10; k <= 15; ++k) Diamond(pen, x, y, k, (k == 12 || k == 13) ? trackColour : kBlack);
      break;
    case 1: rings(true); break;
    case 2: rings(false); break;
    case 3:
      rings(false);
      pen.Box(x - 1, y + 2, x + 1, y + 11, kBlack);
      pen.Line(x, y + 3, x, y + 10, trackColour);
      pen.Box(x - 1, y - 7, x + 1, y - 3, kBlack);
      pen.Line(x, y - 6, x, y - 4, trackColour);
      break;
    default:
      rings(false);
      pen.Box(x - 11, y - 1, x + 11, y + 1, kBlack);
      pen.Line(x - 12, y, x + 12, y, trackColour);
      if (settings_.wxLevel) DrawWxDiagram(painter, x, y, newest.text(), settings_.colourDepth);
      break;
  }
  if (level > 3) {
    sheets_.PaintCell(painter, symbolIndex, x - 11, y - 10);
    if (n.symbol.size() >= 3) {
      pen.SetColour(kBlack);
      pen.Text(x - 4, y - 7, n.symbol.substr(2, 1));
    }
  }
  if (level >= 2) {
    std::string label = newest.Call();
    if (level % 3 == 0) label = Trim(label + " " + Trim(n.via) + " " + Trim(n.symbol) + " " + Trim(n.comment));
    const int len = static_cast<int>(label.size());
    if (len > 0) {
      pen.FilledBox(x + 16, y - 7, x + 16 + 8 * len, y + 5, kBlack);
      pen.SetColour(trackColour);
      pen.Text(x + 17, y - 9, label);
    }
    if (newest.Messaging() && cls != 3) {
      pen.Box(x - 1, y - 1, x + 1, y + 1, ToQColor(kMessagingGreen));
      pen.Box(x - 2, y - 2, x + 2, y + 2, ToQColor(kMessagingGreen));
    }
  }
  pen.SetColour(map::kMapYellow);
}

}  // namespace zeblon::stations
