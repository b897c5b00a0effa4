// The straight pixel writer of the station layers (LineBatch): one-pixel
// lines and marker figures written into the map picture's pixels where the
// painter draws on a plain 32-bit image, and the same figures drawn by the
// painter everywhere else. Both ways must give the same pixels; the layers'
// tests draw every figure both ways and compare them.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "map/map_display.h"

namespace zeblon::stations {

inline const QColor kBlack(0, 0, 0);
inline const QColor kWhite(255, 255, 255);

// The plain painter figures: a diamond and a square of radius k, and the
// circle of radius k in colour c.
void Diamond(map::MapPen& pen, int x, int y, int k, const QColor& c);
void Square(map::MapPen& pen, int x, int y, int k, const QColor& c);
void Ring(map::MapPen& pen, int x, int y, int k, const QColor& c);

// The pixels one marker figure sets around its centre, for writing straight
// into a plain picture; reach bounds the offsets.
struct PixelStamp {
  std::vector<QPoint> points;
  int reach = 0;
};

// The same figures as stamps of radius k (0 to 15): the diamond's one-pixel
// lines, the square's outline and the circle as the painter draws it.
const PixelStamp& DiamondStamp(int k);
const PixelStamp& SquareStamp(int k);
const PixelStamp& RingStamp(int k);

// Whether a box around two points, widened by m pixels, can touch a picture of w x h.
inline bool Touches(int x1, int y1, int x2, int y2, int m, double w, double h) {
  return std::max(x1, x2) >= -m && std::max(y1, y2) >= -m && std::min(x1, x2) <= w + m && std::min(y1, y2) <= h + m;
}

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
  void Ring(map::MapPen& pen, int x, int y, int k, const Paint& c) {
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

}  // namespace zeblon::stations
