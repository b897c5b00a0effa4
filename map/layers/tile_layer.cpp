#include "map/layers/tile_layer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "map/bmp.h"
#include "map/map_tile.h"

namespace zeblon::map {

namespace {

constexpr std::uint64_t kSixteenColourLength = 500118;
constexpr std::uint64_t kPaletteLimit = 600000;

// The inks of `part` of `inks` in their colours, into `colours` at `at`.
void InksToColours(const QImage& inks, const QRect& part, const std::array<QRgb, 256>& table, QImage& colours,
                   QPoint at) {
  for (int r = 0; r < part.height(); ++r) {
    const std::uint8_t* src = inks.constScanLine(part.y() + r) + part.x();
    auto* dst = reinterpret_cast<QRgb*>(colours.scanLine(at.y() + r)) + at.x();
    for (int c = 0; c < part.width(); ++c) dst[c] = table[src[c]];
  }
}

}  // namespace

void TileLayer::PaintTile(QPainter& painter, const TileCache::Tile& tile, int x, int y, double side, double w,
                          double h) {
  const QImage& img = *tile.image;
  const bool inks = img.format() == QImage::Format_Indexed8;
  if (img.width() == static_cast<int>(std::lround(side))) {
    if (!inks) {
      painter.drawImage(QPoint(x, y), img);
      return;
    }
    // Only the part that shows is put into colour, and painted pixel for pixel; a
    // part that the last drawing painted alike is painted again as it was.
    const QRect part = QRect(-x, -y, static_cast<int>(w), static_cast<int>(h)).intersected(img.rect());
    if (part.isEmpty()) return;
    const auto same = std::find_if(shown_.begin(), shown_.end(), [&](const ShownPart& p) {
      return p.inks == tile.image && p.part == part && p.colours == tile.colours;
    });
    if (same != shown_.end()) {
      showing_.push_back(std::move(*same));
      shown_.erase(same);
    } else {
      ShownPart p{tile.image, tile.colours, part, QImage(part.size(), QImage::Format_RGB32)};
      InksToColours(img, part, tile.colours, p.image, QPoint(0, 0));
      showing_.push_back(std::move(p));
    }
    painter.drawImage(QPoint(x + part.x(), y + part.y()), showing_.back().image);
    return;
  }
  if (inks && colours_.isNull()) colours_ = QImage(kTilePixels, kTilePixels, QImage::Format_RGB32);
  // Larger than the tile's own pixels: paint only the part that shows.
  const double k = img.width() / side;
  const double l = std::max(0.0, static_cast<double>(-x));
  const double t = std::max(0.0, static_cast<double>(-y));
  const double r = std::min(side, w - static_cast<double>(x));
  const double b = std::min(side, h - static_cast<double>(y));
  const int sl = static_cast<int>(std::floor(l * k)), st = static_cast<int>(std::floor(t * k));
  const int sr = std::min(img.width(), static_cast<int>(std::ceil(r * k)));
  const int sb = std::min(img.height(), static_cast<int>(std::ceil(b * k)));
  if (sr <= sl || sb <= st) return;
  const QRectF target(static_cast<double>(x) + sl / k, static_cast<double>(y) + st / k, (sr - sl) / k, (sb - st) / k);
  const QRectF source(sl, st, sr - sl, sb - st);
  if (!inks) {
    painter.drawImage(target, img, source);
    return;
  }
  // The scaling reads the pixels of that part: that part, and for the rounding of
  // the scaling a seam of two pixels around it, are put into colour where they lie
  // in the tile.
  const QRect part = QRect(sl - 2, st - 2, sr - sl + 4, sb - st + 4).intersected(img.rect());
  InksToColours(img, part, tile.colours, colours_, part.topLeft());
  painter.drawImage(target, colours_, source);
}

void TileLayer::render(QPainter& painter, const MapView& view) {
  painted_ = replaced_ = 0;
  showing_.clear();
  const auto range = view.Tiles();
  const auto s = static_cast<std::int64_t>(view.scale);
  const double w = view.widthPx, h = view.heightPx;
  for (std::int64_t n = range.south; n <= range.north; n += s) {
    for (std::int64_t e = range.west; e <= range.east; e += s) {
      const auto place = view.TilePlacement(n, e);
      const double side = place.side;
      const bool visible = place.x < w && place.y < h && place.x + side > 0 && place.y + side > 0;
      const std::filesystem::path file = folder_ / TileName(n, e);
      PaletteWork work;
      if (palette_ != nullptr) work = {palette_->backgroundMode, palette_->markedInk};
      auto tile = cache_.Get(file, work, static_cast<int>(std::lround(side)), palette_ != nullptr);
      if (palette_ != nullptr && tile.fileLength > 0) {
        PaletteState& p = *palette_;
        const bool sixteen = tile.ok && tile.bits == 4 && tile.fileLength == kSixteenColourLength;
        if (tile.fileLength > kPaletteLimit) p.paletteAvailable = 0;
        if (sixteen) {
          p.paletteAvailable = 1;
          p.tilePalette = tile.palette;
          p.paletteShown = p.tilePalette;
        }
        if (p.paletteAvailable == 0) {
          p.paletteShown = p.tilePalette;
          p.frameClosed = true;
          p.markedInk = -1;
        }
        if (sixteen) {
          if (work.markedInk != p.markedInk) {
            work.markedInk = p.markedInk;
            tile = cache_.Get(file, work, static_cast<int>(std::lround(side)), true);
          }
          p.paletteShown = tile.paintedPalette;
        }
      }
      if (!tile.ok) {
        if (palette_ == nullptr) continue;  // the base mosaic skips what it cannot paint
        ++replaced_;
        if (visible) {
          const QColor grey = save_drawing_ ? QColor(255, 255, 255) : QColor(80, 80, 80);
          const double l = std::max<double>(static_cast<double>(place.x), -1);
          const double t = std::max<double>(static_cast<double>(place.y), -1);
          const double r = std::min(static_cast<double>(place.x) + side, w);
          const double b = std::min(static_cast<double>(place.y) + side, h);
          painter.fillRect(QRectF(l, t, r - l + 1, b - t + 1), grey);
        }
        continue;
      }
      ++painted_;
      if (!visible) continue;
      PaintTile(painter, tile, static_cast<int>(place.x), static_cast<int>(place.y), side, w, h);
    }
  }
  shown_ = std::move(showing_);
  showing_.clear();
}

}  // namespace zeblon::map
