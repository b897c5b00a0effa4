#include "stations/station_layers.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <unordered_map>

#include "geodesy/text.h"
#include "platform/qtext.h"
#include "reception/station_record.h"
#include "settings/text_files.h"
#include "stations/wx_report.h"

namespace zeblon::stations {

using map::MapPen;
using map::MapView;

QColor ToQColor(const Rgb& c) {
  return QColor(std::clamp(c.red, 0, 255), std::clamp(c.green, 0, 255), std::clamp(c.blue, 0, 255));
}

namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kLightGrey(192, 192, 192);
const QColor kGrey(128, 128, 128);
const QColor kAzure(0, 192, 255);

QColor ToQ(const WxColour& c) {
  return QColor(std::clamp(c.red, 0, 255), std::clamp(c.green, 0, 255), std::clamp(c.blue, 0, 255));
}

void Diamond(MapPen& pen, int x, int y, int k, const QColor& c) {
  pen.Line(x, y - k, x + k, y, c);
  pen.Line(x + k, y, x, y + k, c);
  pen.Line(x, y + k, x - k, y, c);
  pen.Line(x - k, y, x, y - k, c);
}

void Square(MapPen& pen, int x, int y, int k, const QColor& c) { pen.Box(x - k, y - k, x + k, y + k, c); }

void Ring(MapPen& pen, int x, int y, int k, const QColor& c) {
  const QColor keep = pen.Colour();
  pen.SetColour(c);
  pen.Circle(x, y, k);
  pen.SetColour(keep);
}

// The pixels one marker figure sets around its centre, for writing straight
// into a plain picture; reach bounds the offsets.
struct PixelStamp {
  std::vector<QPoint> points;
  int reach = 0;
};

// The stamps of radii 0 to 15 whose pixels (dx, dy) lie on the outline `on` of radius r.
template <typename OnOutline>
std::array<PixelStamp, 16> MakeStamps(OnOutline on) {
  std::array<PixelStamp, 16> out;
  for (int r = 0; r < 16; ++r) {
    out[r].reach = r;
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (on(dx, dy, r)) out[r].points.emplace_back(dx, dy);
  }
  return out;
}

// The one-pixel lines of a diamond of radius k: every pixel with |dx| + |dy| = k.
const PixelStamp& DiamondStamp(int k) {
  static const std::array<PixelStamp, 16> stamps =
      MakeStamps([](int dx, int dy, int r) { return std::abs(dx) + std::abs(dy) == r; });
  return stamps[static_cast<std::size_t>(std::clamp(k, 0, 15))];
}

// The outline of the square from (-k, -k) to (k, k).
const PixelStamp& SquareStamp(int k) {
  static const std::array<PixelStamp, 16> stamps =
      MakeStamps([](int dx, int dy, int r) { return std::abs(dx) == r || std::abs(dy) == r; });
  return stamps[static_cast<std::size_t>(std::clamp(k, 0, 15))];
}

// The circle of radius k (0 to 15) as a one-pixel pen without smoothing draws
// it around a whole pixel, taken once from the painter itself.
const PixelStamp& RingStamp(int k) {
  static const std::array<PixelStamp, 16> stamps = [] {
    std::array<PixelStamp, 16> out;
    constexpr int kCentre = 20;
    for (int r = 0; r < 16; ++r) {
      QImage img(2 * kCentre + 1, 2 * kCentre + 1, QImage::Format_RGB32);
      img.fill(Qt::black);
      QPainter p(&img);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setPen(QPen(Qt::white, 0));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(kCentre, kCentre), r, r);
      p.end();
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if (img.pixel(x, y) != QColor(Qt::black).rgb()) {
            out[r].points.emplace_back(x - kCentre, y - kCentre);
            out[r].reach = std::max({out[r].reach, std::abs(x - kCentre), std::abs(y - kCentre)});
          }
    }
    return out;
  }();
  return stamps[static_cast<std::size_t>(std::clamp(k, 0, 15))];
}

}  // namespace

// A colour with its pixel value, worked out once.
struct Paint {
  explicit Paint(const QColor& c) : colour(c), argb(c.rgba()) {}
  QColor colour;
  QRgb argb;
};

// One-pixel lines and marker figures written straight into the map picture's
// pixels where the painter draws on a plain 32-bit image (no transformation,
// no clipping of its own, plain opaque painting), else through the painter.
// Both end points of a line are drawn; lines are clipped to the picture first,
// so a far end costs nothing.
class LineBatch {
 public:
  explicit LineBatch(QPainter& p) : p_(p) {
    auto* img = dynamic_cast<QImage*>(p.device());
    if (img &&
        (img->format() == QImage::Format_RGB32 || img->format() == QImage::Format_ARGB32_Premultiplied ||
         img->format() == QImage::Format_ARGB32) &&
        p.transform().isIdentity() && !p.hasClipping() && p.opacity() == 1.0 &&
        p.compositionMode() == QPainter::CompositionMode_SourceOver) {
      bits_ = reinterpret_cast<std::uint32_t*>(img->bits());
      stride_ = img->bytesPerLine() / 4;
      w_ = img->width();
      h_ = img->height();
    }
  }
  void SetColour(const QColor& c) {
    argb_ = c.rgba();
    if (!bits_) p_.setPen(QPen(c, 0));
  }
  void SetColour(const Paint& c) {
    argb_ = c.argb;
    if (!bits_) p_.setPen(QPen(c.colour, 0));
  }
  void Line(int x1, int y1, int x2, int y2) {
    if (!bits_) {
      if (x1 == x2 && y1 == y2)
        p_.drawPoint(x1, y1);
      else
        p_.drawLine(x1, y1, x2, y2);
      return;
    }
    if (x1 >= 0 && x2 >= 0 && y1 >= 0 && y2 >= 0 && x1 < w_ && x2 < w_ && y1 < h_ && y2 < h_) {
      Raster(x1, y1, x2, y2);
      return;
    }
    double ax = x1, ay = y1, bx = x2, by = y2;
    if (!map::ClipSegment(ax, ay, bx, by, 0, 0, w_ - 1, h_ - 1)) return;
    Raster(std::clamp(static_cast<int>(std::lround(ax)), 0, w_ - 1),
           std::clamp(static_cast<int>(std::lround(ay)), 0, h_ - 1),
           std::clamp(static_cast<int>(std::lround(bx)), 0, w_ - 1),
           std::clamp(static_cast<int>(std::lround(by)), 0, h_ - 1));
  }
  // A band three pixels wide in colour c with a centre line in `centre`.
  void Stretch(int px, int py, int x, int y, const Paint& c, const Paint& centre) {
    SetColour(c);
    Line(px - 1, py, x - 1, y);
    Line(px + 1, py, x + 1, y);
    Line(px, py - 1, x, y - 1);
    Line(px, py + 1, x, y + 1);
    SetColour(centre);
    Line(px, py, x, y);
  }
  void Diamond(int x, int y, int k) {
    if (bits_) return Stamp(DiamondStamp(k), x, y);
    Line(x, y - k, x + k, y);
    Line(x + k, y, x, y + k);
    Line(x, y + k, x - k, y);
    Line(x - k, y, x, y - k);
  }
  void Square(int x, int y, int k) {
    if (bits_) return Stamp(SquareStamp(k), x, y);
    Line(x - k, y - k, x + k, y - k);
    Line(x + k, y - k, x + k, y + k);
    Line(x + k, y + k, x - k, y + k);
    Line(x - k, y + k, x - k, y - k);
  }
  // The circle of radius k (1 to 6) as the painter draws it.
  void Ring(MapPen& pen, int x, int y, int k, const Paint& c) {
    if (!bits_) return stations::Ring(pen, x, y, k, c.colour);
    SetColour(c);
    Stamp(RingStamp(k), x, y);
  }
  // The marker diamonds of radius 1, 2, 5 and 6 in `outer` and 3 and 4 in
  // `inner` (no two diamonds share a pixel).
  void BandedDiamond(int x, int y, const Paint& outer, const Paint& inner) {
    if (!bits_) {
      SetColour(outer);
      for (int k : {1, 2, 5, 6}) Diamond(x, y, k);
      SetColour(inner);
      for (int k : {3, 4}) Diamond(x, y, k);
      return;
    }
    if (x >= 6 && y >= 6 && x + 6 < w_ && y + 6 < h_) {
      // Wholly inside: row by row from the pixel values of this pair of
      // colours, in runs of four with the last run overlapping.
      if (!banded_ || bandOuter_ != outer.argb || bandInner_ != inner.argb) {
        banded_ = true;
        bandOuter_ = outer.argb;
        bandInner_ = inner.argb;
        for (int dy = -6; dy <= 6; ++dy)
          for (int dx = -6; dx <= 6; ++dx) {
            const int ring = std::abs(dx) + std::abs(dy);
            band_[dy + 6][dx + 6] = ring == 3 || ring == 4 ? inner.argb : outer.argb;
          }
      }
      std::uint32_t* const centre = bits_ + static_cast<std::ptrdiff_t>(y) * stride_ + x;
      BandRows<-6, 6>(centre);
      argb_ = inner.argb;
      return;
    }
    static const PixelStamp outerStamp =
        Union({&DiamondStamp(1), &DiamondStamp(2), &DiamondStamp(5), &DiamondStamp(6)});
    static const PixelStamp innerStamp = Union({&DiamondStamp(3), &DiamondStamp(4)});
    SetColour(outer);
    Stamp(outerStamp, x, y);
    SetColour(inner);
    Stamp(innerStamp, x, y);
  }
  bool Direct() const { return bits_ != nullptr; }
  // A box filled between two corners (both included), clipped to the picture; direct only.
  void Fill(int l, int t, int r, int b, QRgb argb) {
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, w_ - 1);
    b = std::min(b, h_ - 1);
    if (l > r || t > b) return;
    const std::size_t n = static_cast<std::size_t>(r - l + 1);
    if (row_.size() < n || rowColour_ != argb) {
      row_.assign(std::max(n, row_.size()), argb);
      rowColour_ = argb;
    }
    for (int y = t; y <= b; ++y)
      std::memcpy(bits_ + static_cast<std::ptrdiff_t>(y) * stride_ + l, row_.data(), n * sizeof(std::uint32_t));
  }
  // The pixels of a mask (rows of `words` words, bit k of word j for column
  // 64 * j + k, from reach's top left) around (x, y); `offsets` lists the same
  // pixels for the edges of the picture. Direct only.
  void Mask(const std::vector<QPoint>& offsets, const std::vector<std::uint64_t>& mask, int words, const QRect& reach,
            int x, int y, QRgb argb) {
    if (x + reach.left() >= 0 && y + reach.top() >= 0 && x + reach.right() < w_ && y + reach.bottom() < h_) {
      std::uint32_t* row = bits_ + static_cast<std::ptrdiff_t>(y + reach.top()) * stride_ + x + reach.left();
      const std::uint64_t* m = mask.data();
      for (int r = 0; r < reach.height(); ++r, row += stride_)
        for (int j = 0; j < words; ++j)
          for (std::uint64_t bits = *m++; bits != 0; bits &= bits - 1) row[64 * j + std::countr_zero(bits)] = argb;
      return;
    }
    Pixels(offsets, x, y, argb);
  }
  // Pixels at offsets from (x, y) within `reach`, clipped to the picture; direct
  // only. `linear` holds the same offsets into this picture's pixels.
  void Pixels(const std::vector<QPoint>& offsets, const std::vector<std::ptrdiff_t>& linear, const QRect& reach, int x,
              int y, QRgb argb) {
    if (x + reach.left() >= 0 && y + reach.top() >= 0 && x + reach.right() < w_ && y + reach.bottom() < h_) {
      std::uint32_t* at = bits_ + static_cast<std::ptrdiff_t>(y) * stride_ + x;
      for (std::ptrdiff_t o : linear) at[o] = argb;
      return;
    }
    Pixels(offsets, x, y, argb);
  }
  void Point(int x, int y) {
    if (!bits_) {
      p_.drawPoint(x, y);
    } else if (x >= 0 && y >= 0 && x < w_ && y < h_) {
      bits_[static_cast<std::ptrdiff_t>(y) * stride_ + x] = argb_;
    }
  }

 private:
  // Pixels A..B of a row from the values at the same places.
  template <int A, int B>
  static void Run(std::uint32_t* row, const QRgb* values) {
    if constexpr (B - A < 3) {
      for (int k = A; k <= B; ++k) row[k] = values[k];
    } else {
      for (int k = A; k + 3 < B; k += 4) std::memcpy(row + k, values + k, 4 * sizeof(std::uint32_t));
      std::memcpy(row + B - 3, values + B - 3, 4 * sizeof(std::uint32_t));
    }
  }
  // Rows Dy..Last of the banded diamond around `centre`.
  template <int Dy, int Last>
  void BandRows(std::uint32_t* centre) {
    std::uint32_t* row = centre + static_cast<std::ptrdiff_t>(Dy) * stride_;
    const QRgb* values = band_[Dy + 6].data() + 6;
    constexpr int reach = 6 - (Dy < 0 ? -Dy : Dy);
    if constexpr (Dy == 0) {
      Run<-6, -1>(row, values);
      Run<1, 6>(row, values);
    } else {
      Run<-reach, reach>(row, values);
    }
    if constexpr (Dy < Last) BandRows<Dy + 1, Last>(centre);
  }
  static PixelStamp Union(std::initializer_list<const PixelStamp*> parts) {
    PixelStamp u;
    for (const PixelStamp* p : parts) {
      u.points.insert(u.points.end(), p->points.begin(), p->points.end());
      u.reach = std::max(u.reach, p->reach);
    }
    return u;
  }
  // A stamp's offsets into this picture's pixels, worked out once per pass.
  const std::vector<std::ptrdiff_t>& Linear(const PixelStamp& stamp) {
    for (const auto& [key, at] : linear_)
      if (key == &stamp) return at;
    std::vector<std::ptrdiff_t> at;
    at.reserve(stamp.points.size());
    for (const QPoint& o : stamp.points) at.push_back(static_cast<std::ptrdiff_t>(o.y()) * stride_ + o.x());
    linear_.emplace_back(&stamp, std::move(at));
    return linear_.back().second;
  }
  void Pixels(const std::vector<QPoint>& offsets, int x, int y, QRgb argb) {
    for (const QPoint& o : offsets) {
      const int px = x + o.x(), py = y + o.y();
      if (px >= 0 && py >= 0 && px < w_ && py < h_) bits_[static_cast<std::ptrdiff_t>(py) * stride_ + px] = argb;
    }
  }
  // A stamp's pixels in the current colour: unchecked when it lies wholly inside.
  void Stamp(const PixelStamp& stamp, int x, int y) {
    const int r = stamp.reach;
    Pixels(stamp.points, Linear(stamp), QRect(QPoint(-r, -r), QPoint(r, r)), x, y, argb_);
  }

  // Bresenham between two points inside the picture.
  void Raster(int x0, int y0, int x1, int y1) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0);
    const std::ptrdiff_t sy = y0 < y1 ? stride_ : -stride_;
    std::uint32_t* at = bits_ + static_cast<std::ptrdiff_t>(y0) * stride_ + x0;
    const std::uint32_t* const end = bits_ + static_cast<std::ptrdiff_t>(y1) * stride_ + x1;
    int err = dx + dy;
    for (;;) {
      *at = argb_;
      if (at == end) break;
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        at += sx;
      }
      if (e2 <= dx) {
        err += dx;
        at += sy;
      }
    }
  }

  std::vector<std::pair<const PixelStamp*, std::vector<std::ptrdiff_t>>> linear_;  // stamps are static
  std::vector<std::uint32_t> row_;
  QRgb rowColour_ = 0;
  // The banded diamond's pixel values for the last pair of colours.
  std::array<std::array<QRgb, 13>, 13> band_{};
  QRgb bandOuter_ = 0, bandInner_ = 0;
  bool banded_ = false;

  QPainter& p_;
  std::uint32_t* bits_ = nullptr;
  int stride_ = 0, w_ = 0, h_ = 0;
  QRgb argb_ = 0;
};

namespace {

// Whether a box around two points, widened by m pixels, can touch a picture of w x h.
bool Touches(int x1, int y1, int x2, int y2, int m, double w, double h) {
  return std::max(x1, x2) >= -m && std::max(y1, y2) >= -m && std::min(x1, x2) <= w + m && std::min(y1, y2) <= h + m;
}

std::string TrimmedText(const std::string& s) { return zeblon::Trim(s); }

// A box filled between two corners (both included).
void FilledBox(QPainter& p, double x1, double y1, double x2, double y2, const QColor& c) {
  const double l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
  p.fillRect(QRectF(l, t, r - l + 1, b - t + 1), c);
}

// A filled disc of radius r.
void Disc(QPainter& p, QPointF centre, double r, const QColor& c) {
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawEllipse(centre, r, r);
  p.setBrush(Qt::NoBrush);
}

// The shaded pressure ring between radii r0 and r1: 64 sectors, the sector of
// angle a = k * pi / 32 starting at a + pi / 4, each in the grey of PressureShade.
void ShadedRing(QPainter& p, QPointF c, double r0, double r1, int pressure, int step) {
  const QRectF outer(c.x() - r1, c.y() - r1, 2 * r1, 2 * r1), inner(c.x() - r0, c.y() - r0, 2 * r0, 2 * r0);
  constexpr double kDegrees = 180 / kWxPi;
  for (int k = 0; k < 64; ++k) {
    const double a = k * kWxPi / 32;
    const double start = (a + kWxPi / 4) * kDegrees, span = 180.0 / 32;
    QPainterPath path;
    path.arcMoveTo(outer, start);
    path.arcTo(outer, start, span);
    path.arcTo(inner, start + span, -span);
    path.closeSubpath();
    const int g = PressureShade(a, pressure, step);
    p.fillPath(path, QColor(g, g, g));
  }
}

bool Visible(int x, int y) { return std::abs(x) < 1900 && std::abs(y) < 1900; }

}  // namespace

// ---------------------------------------------------------------------------
// Symbol sheets

void SymbolSheets::Reload() {
  for (int d = 0; d < 2; ++d) ReloadSheet(d);
}

void SymbolSheets::ReloadSheet(int d) {
  if (d < 0 || d >= 2) return;
  sheets_[d] = QImage();
  if (folder_.empty()) return;
  const auto path = reception::FindFileInFolder(folder_, "ZEBLSYM" + std::to_string(d) + ".BMP");
  QImage img;
  if (img.load(QString::fromStdString(path.string())) && img.width() >= 22 && img.height() >= 22)
    sheets_[d] = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QPoint SymbolSheets::CellOrigin(int index) {
  const int column = ((index % 100) - 1) % 16;
  const int row = ((index - 1) % 100) / 16;
  return {std::clamp(21 * column, 0, 315), std::clamp(21 * row, 0, 105)};
}

bool SymbolSheets::PaintCell(QPainter& painter, int index, int x, int y) const {
  if (index < 1 || index > 194 || index % 100 == 0 || index % 100 > 94) return false;
  const int d = index / 100;
  if (!Loaded(d)) return false;
  const QPoint o = CellOrigin(index);
  painter.drawImage(QPoint(x, y), sheets_[d], QRect(o.x(), o.y(), 22, 22));
  return true;
}

QFont SymbolOverlayFont(QFont base) {
  base.setPixelSize(13);
  base.setBold(true);
  return base;
}

QImage SymbolPreview(const std::filesystem::path& programFolder, int index, const std::string& overlay,
                     const QFont& font, const QColor& colour) {
  QImage picture(22, 22, QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter p(&picture);
  if (index >= 1 && index <= 194) {
    SymbolSheets sheets(programFolder);
    sheets.ReloadSheet(index / 100);
    sheets.PaintCell(p, index, 0, 0);
  }
  if (!overlay.empty()) {
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QPoint(7, 3 + QFontMetrics(font).ascent()), platform::ToQ(overlay));
  }
  return picture;
}

// ---------------------------------------------------------------------------
// Weather diagram

bool DrawWxDiagram(QPainter& p, double x, double y, std::string_view record, int colourDepth) {
  const auto decoded = DecodeWxReport(record);
  if (!decoded) return false;
  const WxReport& wx = *decoded;
  if (!wx.temperature.present() && !wx.windDirection.present() && !wx.pressure.present()) return true;
  if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 32000 || std::fabs(y) > 32000) return true;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setBrush(Qt::NoBrush);
  const QPointF centre(x, y);
  auto circle = [&](double r, const QColor& c, double width) {
    p.setPen(QPen(c, width));
    if (r <= 0)
      p.drawPoint(centre);
    else
      p.drawEllipse(centre, r, r);
  };
  // Arc of radius r from start to start + span (radians, counterclockwise from +x).
  auto arc = [&](double r, double start, double span, const QColor& c, double width) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
    const QRectF box(x - r, y - r, 2 * r, 2 * r);
    p.drawArc(box, static_cast<int>(std::lround(start * 180 / kWxPi * 16)),
              static_cast<int>(std::lround(span * 180 / kWxPi * 16)));
  };
  const bool deep = colourDepth >= 16;

  // Base disc: the circles of radius 0 to 11 of pen width 3, as one disc.
  Disc(p, centre, 12.5, kLightGrey);

  // Pressure ring.
  if (wx.pressure.present()) {
    const int pressure = wx.pressure.value;
    const int s = PressureStep(pressure);
    if (!deep) {
      if (pressure != 1013) {
        const QColor first = pressure > 1013 ? kWhite : kBlack, second = pressure > 1013 ? kBlack : kWhite;
        for (int i = 9; i <= 13; i += s) {
          arc(i, 3 * kWxPi / 8, 6 * kWxPi / 8, first, 1);
          arc(i, 11 * kWxPi / 8, 6 * kWxPi / 8, second, 1);
        }
      }
      circle(8, kBlack, 1);
      circle(13, kBlack, 1);
    } else {
      // The rings of radius 9 to 12 of pen width 3 as one shaded band.
      ShadedRing(p, centre, 7.5, 13.5, pressure, s);
    }
  }

  // Temperature and humidity: the temperature colour inside the humidity ring
  // (circles 0 to 5 and 6, 7 of pen width 3 as discs).
  if (wx.temperature.present() && deep) {
    const WxColour c = TemperatureColour(wx.temperature.value);
    Disc(p, centre, 8.5, ToQ(HumidityBlend(c, wx)));
    Disc(p, centre, 4.5, ToQ(c));
  }

  // Wind bar on the side the wind comes from.
  if (wx.windDirection.present()) {
    const double a = (wx.windDirection.value % 360) * kWxPi / 180;
    const int hs = std::max(1, static_cast<int>(RoundHalfEven(wx.windSpeed.value / 2.0)));
    const int hg = std::max(1, static_cast<int>(RoundHalfEven(wx.gustSpeed.value / 2.0)));
    const double L = std::max(hs, hg);
    const QPointF outer(x + std::sin(a) * (L / 2 + 30), y - std::cos(a) * (L / 2 + 30));
    const QPointF inner(x + std::sin(a) * (L / 2 + 13), y - std::cos(a) * (L / 2 + 13));
    auto bar = [&](const QColor& c, double width) {
      p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(outer, inner);
    };
    if (wx.gustSpeed.present() && deep) {
      if (hg >= hs) bar(kLightGrey, hg + 3);
      bar(kGrey, hg);
    }
    if (wx.windSpeed.present()) {
      if (hs >= hg) bar(kLightGrey, hs + 3);
      bar(kBlack, hs);
    }
    bar(kBlack, 1);
  }

  // Rain bars: 24 hours on the left, the last hour (and its 24-hour
  // continuation as an outline) on the right, one pixel per 2 mm.
  const QColor rain = deep ? kAzure : kGrey;
  double r24 = RainOver24HoursOfRecord(wx, record);
  auto filled = [&](double x1, double y1, double x2, double y2) { FilledBox(p, x1, y1, x2, y2, rain); };
  if (r24 > 0) {
    if (r24 < 1) r24 = 2;
    filled(x - 18, y + 11, x - 14, y + 11 - r24 / 2);
  }
  if (wx.rainLastHour.present() && wx.rainLastHour.value > 0) {
    const double h = wx.rainLastHour.value / 2.0;
    filled(x + 14, y + 11, x + 18, y + 11 - h);
    p.setPen(QPen(rain, 0));
    p.drawRect(QRectF(x + 14, y + 11 - 24 * h, 4, 24 * h));
  }
  p.restore();
  return true;
}

bool DrawWxStationPicture(QImage& picture, std::string_view record, int colourDepth) {
  picture.fill(QColor(224, 224, 224));  // the picture box's face colour
  const auto decoded = DecodeWxReport(record);
  if (!decoded) return false;
  const WxReport& wx = *decoded;
  const bool deep = colourDepth >= 16;
  constexpr double cx = 80, cy = 80, R = 36;
  const double W = picture.width(), H = picture.height();
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setBrush(Qt::NoBrush);
  auto circle = [&](double x, double y, double r, const QColor& c, double width) {
    p.setPen(QPen(c, width));
    if (r <= 0)
      p.drawPoint(QPointF(x, y));
    else
      p.drawEllipse(QPointF(x, y), r, r);
  };
  auto arc = [&](double r, double start, double span, const QColor& c, double width) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(cx - r, cy - r, 2 * r, 2 * r), static_cast<int>(std::lround(start * 180 / kWxPi * 16)),
              static_cast<int>(std::lround(span * 180 / kWxPi * 16)));
  };

  if (wx.pressure.present()) {
    const int pressure = wx.pressure.value;
    const int s = PressureStep(pressure);
    if (!deep) {
      if (pressure != 1013) {
        const QColor first = pressure > 1013 ? kWhite : kBlack, second = pressure > 1013 ? kBlack : kWhite;
        for (double i = R - 9; i <= R + 9; i += s) {
          arc(i, 3 * kWxPi / 8, 6 * kWxPi / 8, first, 1);
          arc(i, 11 * kWxPi / 8, 6 * kWxPi / 8, second, 1);
        }
      }
      circle(cx, cy, R + 10, kBlack, 1);
      circle(cx, cy, R - 10, kBlack, 1);
    } else {
      // Rings of radius R - 8 to R + 8 in steps of 2, pen width 3, as one band.
      ShadedRing(p, QPointF(cx, cy), R - 9.5, R + 9.5, pressure, s);
    }
  }

  // Compass ticks and letters.
  p.setPen(QPen(kBlack, 1));
  p.drawLine(QPointF(cx, cy - R - 16), QPointF(cx, cy - R - 10));
  p.drawLine(QPointF(cx + R + 16, cy), QPointF(cx + R + 10, cy));
  p.drawLine(QPointF(cx, cy + R + 16), QPointF(cx, cy + R + 10));
  p.drawLine(QPointF(cx - R - 16, cy), QPointF(cx - R - 10, cy));
  const QFontMetrics fm(p.font());
  auto letter = [&](double x, double y, const char* text) {
    p.drawText(QPointF(x, y + fm.ascent()), QString::fromLatin1(text));
  };
  letter(cx - 4, cy - R - 29, "N");
  letter(cx + R + 19, cy - 7, "E");
  letter(cx - 3, cy + R + 16, "S");
  letter(cx - R - 27, cy - 6, "W");

  if (wx.temperature.present() && deep) {
    // Circles of pen width 2 up to radius 22 in the temperature colour, then
    // from 22 down to 8 in its humidity blend: the pure colour inside 8.
    const WxColour c = TemperatureColour(wx.temperature.value);
    Disc(p, QPointF(cx + 1, cy + 1), R - 13, ToQ(HumidityBlend(c, wx)));
    Disc(p, QPointF(cx + 1, cy + 1), 7, ToQ(c));
  }

  if (wx.windDirection.present()) {
    const double a = (wx.windDirection.value % 360) * kWxPi / 180;
    const int hs = std::max<int>(1, wx.windSpeed.value), hg = std::max<int>(1, wx.gustSpeed.value);
    const double L = std::max(hs, hg);
    const QPointF outer(cx + std::sin(a) * (L / 2 + R + 200), cy - std::cos(a) * (L / 2 + R + 200));
    const QPointF inner(cx + std::sin(a) * (L / 2 + R + 10), cy - std::cos(a) * (L / 2 + R + 10));
    auto bar = [&](const QColor& c, double width) {
      p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(outer, inner);
    };
    if (wx.gustSpeed.present() && deep) bar(kGrey, hg);
    if (wx.windSpeed.present()) bar(kBlack, hs);
    bar(kBlack, 1);
  }

  const QColor rain = deep ? QColor(0, 0, 255) : kBlack;
  double r24 = RainOver24HoursOfRecord(wx, record);
  auto filled = [&](double x1, double y1, double x2, double y2) { FilledBox(p, x1, y1, x2, y2, rain); };
  if (r24 > 0) {
    if (r24 < 1) r24 = 1;
    filled(0, H - 1, 10, H - 1 - r24);
  }
  if (wx.rainLastHour.present() && wx.rainLastHour.value > 0) {
    const double v = wx.rainLastHour.value;
    filled(W - 11, H - 1, W - 1, H - 1 - v);
    p.setPen(QPen(rain, 0));
    p.drawRect(QRectF(W - 11, H - 1 - 24 * v, 10, 24 * v));
  }
  return true;
}

// ---------------------------------------------------------------------------

StationDrawSettings StationDrawSettings::From(const StationSwitches& s, bool directOnly, int colourDepth) {
  StationDrawSettings d;
  d.moniAllLevel = s.Level();
  d.wxLevel = s.WxLevel();
  d.filterMask = s.FilterMask();
  d.mobileFilter = s.MobileFilter();
  d.directOnly = directOnly;
  d.moniOneLevel = s.MoniOneLevel();
  d.colourDepth = colourDepth;
  return d;
}

// ---------------------------------------------------------------------------
// Labels

namespace {

std::uint32_t TextHash(std::string_view text) {
  std::uint32_t h = 2166136261u;
  for (char c : text) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

}  // namespace

void LabelCache::Begin(const QFont& font) {
  if (font != font_ || labels_.size() > 20000 || lineHeight_ == 0) {
    labels_.clear();
    index_.clear();
    const QFontMetrics metrics(font);
    charWidth_ = std::max(8, metrics.maxWidth());
    lineHeight_ = metrics.height();
  }
  font_ = font;
}

int LabelCache::Find(std::string_view text, const QPaintDevice* device) {
  if (index_.size() < 2 * labels_.size() + 2) {
    // Grow the table (a power of two, kept at most half full) and place every label anew.
    std::size_t size = 256;
    while (size < 4 * labels_.size()) size *= 2;
    index_.assign(size, -1);
    for (std::size_t k = 0; k < labels_.size(); ++k) {
      std::size_t at = TextHash(labels_[k].key) & (index_.size() - 1);
      while (index_[at] >= 0) at = (at + 1) & (index_.size() - 1);
      index_[at] = static_cast<int>(k);
    }
  }
  std::size_t at = TextHash(text) & (index_.size() - 1);
  while (index_[at] >= 0) {
    if (labels_[static_cast<std::size_t>(index_[at])].key == text) return index_[at];
    at = (at + 1) & (index_.size() - 1);
  }
  Label l;
  l.key.assign(text);
  l.text = QStaticText(platform::ToQ(text));
  l.text.setTextFormat(Qt::PlainText);
  l.text.setPerformanceHint(QStaticText::AggressiveCaching);
  l.text.prepare(QTransform(), font_);
  // The pixels the text sets, drawn once on a clear picture of the same
  // resolution. Smoothed text (a font that ignores the request) blends with
  // what lies under it and is not kept.
  constexpr int kLeft = 16, kBase = 24;
  QImage scratch(charWidth_ * static_cast<int>(text.size()) + 2 * kLeft, kBase + std::max(kBase, lineHeight_ + kLeft),
                 QImage::Format_ARGB32_Premultiplied);
  if (const auto* img = dynamic_cast<const QImage*>(device)) {
    scratch.setDotsPerMeterX(img->dotsPerMeterX());
    scratch.setDotsPerMeterY(img->dotsPerMeterY());
  }
  scratch.fill(Qt::transparent);
  {
    QPainter p(&scratch);
    p.setFont(font_);
    p.setPen(QPen(Qt::white, 0));
    p.drawStaticText(QPointF(kLeft, kBase - 9), l.text);
  }
  bool exact = true;
  const int sw = scratch.width(), sh = scratch.height();
  for (int y = 0; y < sh && exact; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
    for (int x = 0; x < sw; ++x) {
      if (qAlpha(row[x]) == 0) continue;
      // Smoothed, or cut by the edge of the scratch picture.
      if (row[x] != 0xFFFFFFFFu || x == 0 || y == 0 || x == sw - 1 || y == sh - 1) {
        exact = false;
        break;
      }
      l.ink.emplace_back(x - kLeft, y - kBase);
    }
  }
  l.exact = exact;
  if (!exact) l.ink.clear();
  if (!l.ink.empty()) {
    int x0 = l.ink.front().x(), x1 = x0, y0 = l.ink.front().y(), y1 = y0;
    for (const QPoint& o : l.ink) {
      x0 = std::min(x0, o.x());
      x1 = std::max(x1, o.x());
      y0 = std::min(y0, o.y());
      y1 = std::max(y1, o.y());
    }
    l.reach = QRect(QPoint(x0, y0), QPoint(x1, y1));
  }
  if (!l.ink.empty()) {
    l.words = (l.reach.width() + 63) / 64;
    l.mask.assign(static_cast<std::size_t>(l.words) * static_cast<std::size_t>(l.reach.height()), 0);
    for (const QPoint& o : l.ink) {
      const int dx = o.x() - l.reach.left(), dy = o.y() - l.reach.top();
      l.mask[static_cast<std::size_t>(dy * l.words + dx / 64)] |= std::uint64_t{1} << (dx % 64);
    }
  }
  index_[at] = static_cast<int>(labels_.size());
  labels_.push_back(std::move(l));
  return index_[at];
}

void LabelCache::Draw(MapPen& pen, LineBatch& lines, int left, int y, int label, const Paint& box,
                      const Paint& ink) const {
  const Label& l = labels_[static_cast<std::size_t>(label)];
  const int right = left + 8 * static_cast<int>(l.key.size());
  if (lines.Direct() && l.exact) {
    lines.Fill(left, y - 7, right, y + 5, box.argb);
    if (!l.ink.empty()) lines.Mask(l.ink, l.mask, l.words, l.reach, left, y, ink.argb);
    return;
  }
  pen.FilledBox(left, y - 7, right, y + 5, box.colour);
  QPainter& p = pen.painter();
  p.setPen(QPen(ink.colour, 0));
  p.drawStaticText(QPointF(left, y - 9), l.text);
  p.setPen(QPen(pen.Colour(), 0));
}

namespace {

std::uint32_t CallHash(std::string_view call) {
  std::uint32_t h = 2166136261u;
  for (char c : call) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

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

// ---------------------------------------------------------------------------
// MONI ALL

MoniAllLayer::MoniAllLayer(const reception::ReceptionState& state, const StationDrawSettings& settings,
                           const SymbolSheets& sheets, std::function<reception::LocalTime()> now,
                           const reception::SymbolTable& table)
    : st_(state), settings_(settings), sheets_(sheets), now_(std::move(now)), table_(table) {}

// Reads the slots whose records changed since the pass before and places every
// slot on the picture.
void MoniAllLayer::ReadSlots(int count, const MapView& view) {
  const MapView::MarkerPixels pixels = view.Markers();
  const std::optional<long> now = MinuteStamp(now_ ? now_() : reception::LocalTime{});
  const bool greys = settings_.moniAllLevel == 1;
  slots_.Update(
      st_.moniAllLog, count,
      [&](Slot& s, std::string_view bytes) {
        const RecordView r(bytes);
        s.north = r.NorthKm();
        s.east = r.EastKm();
        s.stamp = MinuteStamp(r);
        s.callHash = CallHash(r.CallView());
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
    const bool alarmed = !st_.alarm.call.empty() && st_.alarm.call == station.call;
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
      if (text.empty() || !LabelCache::Touches(left, at->y, text.size(), view.width_px, view.height_px)) return -1;
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

void MoniAllLayer::render(QPainter& painter, const MapView& viewIn) {
  drawn_.clear();  // the drawing order is rebuilt from the log at every pass
  if (settings_.moniAllLevel <= 0) return;
  const MapView view = viewIn.Normalised();
  const int count = std::clamp(st_.moniAllCount, 0, static_cast<int>(st_.moniAllLog.size()) - 1);
  MapPen pen(painter, view.width_px, view.height_px);
  pen.SetColour(ToQColor(kStationColour));
  painter.setRenderHint(QPainter::Antialiasing, false);
  LineBatch lines(painter);
  width_ = static_cast<int>(view.width_px);
  height_ = static_cast<int>(view.height_px);
  ReadSlots(count, view);
  GroupByCall(count);

  // The calls by their newest slot: the station heard last is drawn last.
  order_.clear();
  for (int slot = 1; slot <= count; ++slot) {
    const int k = newestOf_[static_cast<std::size_t>(slot)];
    if (k < 0) continue;
    const Station& station = stations_[static_cast<std::size_t>(k)];
    if (station.call == st_.settings.moniOneCall) continue;  // drawn by the MONI 1 pass
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

// ---------------------------------------------------------------------------
// MONI 1

MoniOneLayer::MoniOneLayer(const reception::ReceptionState& state, const StationDrawSettings& settings,
                           const SymbolSheets& sheets, std::function<reception::LocalTime()> now,
                           const reception::SymbolTable& table)
    : st_(state), settings_(settings), sheets_(sheets), now_(std::move(now)), table_(table) {}

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
  const int count = std::clamp(st_.moniOneCount, 0, static_cast<int>(st_.moniOneTrack.size()) - 1);
  MapPen pen(painter, view.width_px, view.height_px);
  if (count == 0) return;

  const bool marks = level % 3 != 1;
  const double w = view.width_px, h = view.height_px;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  LineBatch lines(painter);
  const MapView::MarkerPixels pixels = view.Markers();
  slots_.Update(
      st_.moniOneTrack, count,
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
  const auto& n = st_.moniOneNewest;
  const int x = pixel_ ? pixel_->x() : static_cast<int>(view.PixelX(n.east));
  const int y = pixel_ ? pixel_->y() : static_cast<int>(view.PixelY(n.north));
  const RecordView newest(st_.moniOneTrack[count]);
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
    if (level % 3 == 0)
      label =
          TrimmedText(label + " " + TrimmedText(n.via) + " " + TrimmedText(n.symbol) + " " + TrimmedText(n.comment));
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

// ---------------------------------------------------------------------------

StationPasses::StationPasses(reception::ReceptionState& state, std::filesystem::path programFolder,
                             std::function<reception::LocalTime()> now, std::function<StationDrawSettings()> settings)
    : st_(state),
      settingsOf_(std::move(settings)),
      sheets_(std::move(programFolder)),
      all_(state, settings_, sheets_, now),
      one_(state, settings_, sheets_, now) {}

void StationPasses::Attach(map::MapHooks& hooks) {
  hooks.moni_all = [this](QPainter& p, const MapView& v) {
    if (settingsOf_) settings_ = settingsOf_();
    if (settings_.moniAllLevel >= 4 || settings_.moniOneLevel >= 4) sheets_.Reload();  // a replaced sheet shows at once
    p.setFont(map::MapFont());
    all_.render(p, v);
  };
  hooks.moni_one = [this](QPainter& p, const MapView& v, long x, long y) {
    if (settingsOf_) settings_ = settingsOf_();
    if (st_.settings.smartLog) RemoveStampedRecords(st_);
    if (onMoniOneReadouts) onMoniOneReadouts(MoniOneReadoutsOf(st_));
    if (settings_.moniOneLevel >= 4) sheets_.Reload();
    p.setFont(map::MapFont());
    one_.SetStationPixel(
        QPoint(static_cast<int>(std::clamp<long>(x, -4000, 4000)), static_cast<int>(std::clamp<long>(y, -4000, 4000))));
    one_.render(p, v);
  };
}

}  // namespace zeblon::stations
