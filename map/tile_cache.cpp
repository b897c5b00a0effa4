#include "map/tile_cache.h"

#include <algorithm>
#include <system_error>

#include "geodesy/text.h"
#include "map/bmp.h"

namespace zeblon::map {

namespace fs = std::filesystem;

void ApplyPaletteWork(std::vector<std::uint8_t>& palette, const PaletteWork& work, bool sixteen_colours) {
  if (work.backgroundMode > 0) {
    const double f = work.backgroundMode - 0.4;
    for (auto& b : palette) b = static_cast<std::uint8_t>(std::min(255.0, RoundHalfEven(f * b)));
  }
  if (sixteen_colours && work.markedInk >= 0 && work.markedInk < 16 && palette.size() >= 64) {
    const std::size_t k = static_cast<std::size_t>(work.markedInk) * 4;
    palette[k] = 0;        // blue
    palette[k + 1] = 255;  // green
    palette[k + 2] = 255;  // red
  }
}

namespace {

// The inks scaled to `side` pixels square. QImage::scaled picks other pixels of an
// 8-bit image than of a 32-bit one of the same size; the inks go through a 32-bit
// image that holds them, so the scaled tile shows the very pixels that the tile in
// full colour scaled to that side shows.
QImage ScaledInks(const QImage& inks, int side) {
  QImage codes(inks.width(), inks.height(), QImage::Format_RGB32);
  for (int r = 0; r < inks.height(); ++r) {
    const std::uint8_t* src = inks.constScanLine(r);
    auto* dst = reinterpret_cast<QRgb*>(codes.scanLine(r));
    for (int c = 0; c < inks.width(); ++c) dst[c] = 0xFF000000u | src[c];
  }
  const QImage scaled = codes.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  QImage out(side, side, QImage::Format_Indexed8);
  for (int r = 0; r < side; ++r) {
    const auto* src = reinterpret_cast<const QRgb*>(scaled.constScanLine(r));
    std::uint8_t* dst = out.scanLine(r);
    for (int c = 0; c < side; ++c) dst[c] = static_cast<std::uint8_t>(src[c] & 0xFF);
  }
  return out;
}

std::string SideKey(const std::string& file_key, int side) { return file_key + '\n' + std::to_string(side); }

}  // namespace

TileCache::TileCache(std::size_t budget_bytes) : budget_(budget_bytes) {}

void TileCache::Clear() {
  lru_.clear();
  index_.clear();
  bytes_ = 0;
}

std::shared_ptr<const TileCache::Pixels> TileCache::Find(const std::string& key, bool touch) {
  const auto it = index_.find(key);
  if (it == index_.end()) return nullptr;
  if (touch) lru_.splice(lru_.begin(), lru_, it->second);
  return it->second->pixels;
}

void TileCache::Insert(std::string key, std::shared_ptr<const Pixels> pixels, bool first_to_go) {
  if (auto old = index_.find(key); old != index_.end()) {
    bytes_ -= old->second->bytes;
    lru_.erase(old->second);
    index_.erase(old);
  }
  Entry e;
  e.key = std::move(key);
  e.bytes = static_cast<std::size_t>(pixels->image.sizeInBytes()) + pixels->palette.size();
  e.pixels = std::move(pixels);
  bytes_ += e.bytes;
  const auto at = first_to_go ? lru_.end() : lru_.begin();
  const auto it = lru_.insert(at, std::move(e));
  index_[it->key] = it;
  Trim();
}

void TileCache::Trim() {
  // The most recent entry always stays: the caller is about to paint it.
  while (bytes_ > budget_ && lru_.size() > 1) {
    Entry& last = lru_.back();
    bytes_ -= last.bytes;
    index_.erase(last.key);
    lru_.pop_back();
  }
}

std::shared_ptr<const TileCache::Pixels> TileCache::Decode(const fs::path& path, std::string& problem) {
  ++file_reads_;
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(path, bytes, error)) {
    problem = error;
    return nullptr;
  }
  auto tile = zeblon::map::Tile::FromBytes(std::move(bytes), &problem);
  if (!tile) return nullptr;
  auto d = std::make_shared<Pixels>();
  d->bits = tile->bits();
  const int n = kTilePixels;
  const auto& b = tile->bytes();
  const int first = tile->first_pixel();
  const int row_length = tile->row_length();
  if (d->bits == 24) {
    d->image = QImage(n, n, QImage::Format_RGB32);
    for (int r = 0; r < n; ++r) {
      const std::uint8_t* src = b.data() + first + static_cast<std::size_t>(r) * row_length;
      auto* dst = reinterpret_cast<QRgb*>(d->image.scanLine(n - 1 - r));
      for (int c = 0; c < n; ++c) dst[c] = qRgb(src[3 * c + 2], src[3 * c + 1], src[3 * c]);
    }
  } else {
    const std::size_t entries = d->bits == 4 ? 16 : 256;
    d->palette.assign(b.begin() + 54, b.begin() + 54 + static_cast<std::ptrdiff_t>(entries * 4));
    d->image = QImage(n, n, QImage::Format_Indexed8);
    for (int r = 0; r < n; ++r) {
      const std::uint8_t* src = b.data() + first + static_cast<std::size_t>(r) * row_length;
      std::uint8_t* dst = d->image.scanLine(n - 1 - r);
      if (d->bits == 8) {
        std::copy(src, src + n, dst);
      } else {
        for (int c = 0; c < n; c += 2) {
          dst[c] = src[c / 2] >> 4;
          dst[c + 1] = src[c / 2] & 0x0F;
        }
      }
    }
  }
  return d;
}

TileCache::Tile TileCache::Get(const fs::path& path, const PaletteWork& work_in, int side, bool palette_work) {
  Tile out;
  std::error_code ec;
  const auto status = fs::status(path, ec);
  if (ec || !fs::is_regular_file(status)) {
    out.problem = "MISSING";
    return out;
  }
  const std::uint64_t length = fs::file_size(path, ec);
  if (ec) {
    out.problem = "CANNOT READ";
    return out;
  }
  const auto mtime = fs::last_write_time(path, ec);
  const std::int64_t stamp = ec ? 0 : static_cast<std::int64_t>(mtime.time_since_epoch().count());
  out.fileLength = length;
  const std::string file_key = path.string() + '\n' + std::to_string(length) + '\n' + std::to_string(stamp);

  const int paint_side = std::max(1, std::min(side, kTilePixels));
  std::shared_ptr<const Pixels> shown = Find(SideKey(file_key, paint_side), true);
  if (!shown) {
    const bool full_size = paint_side == kTilePixels;
    std::shared_ptr<const Pixels> full = full_size ? nullptr : Find(SideKey(file_key, kTilePixels), false);
    if (!full) {
      full = Decode(path, out.problem);
      if (!full) return out;
      // A tile read only to be scaled down is of no more use once scaled.
      Insert(SideKey(file_key, kTilePixels), full, !full_size);
    }
    if (full_size) {
      shown = full;
    } else {
      auto scaled = std::make_shared<Pixels>();
      scaled->bits = full->bits;
      scaled->palette = full->palette;
      scaled->image = full->bits == 24
                          ? full->image.scaled(paint_side, paint_side, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                          : ScaledInks(full->image, paint_side);
      shown = scaled;
      Insert(SideKey(file_key, paint_side), std::move(scaled));
    }
  }
  out.bits = shown->bits;
  out.palette = shown->palette;
  out.image = std::shared_ptr<const QImage>(shown, &shown->image);

  PaletteWork work = palette_work ? work_in : PaletteWork{};
  if (shown->bits != 4) work.markedInk = -1;
  if (shown->bits == 24) work = PaletteWork{};
  out.paintedPalette = out.palette;
  ApplyPaletteWork(out.paintedPalette, work, shown->bits == 4);
  const auto& pal = out.paintedPalette;
  for (std::size_t i = 0; i < out.colours.size() && 4 * i + 3 < pal.size(); ++i)
    out.colours[i] = qRgb(pal[4 * i + 2], pal[4 * i + 1], pal[4 * i]);
  out.ok = true;
  return out;
}

}  // namespace zeblon::map
