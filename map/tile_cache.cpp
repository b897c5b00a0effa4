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

TileCache::TileCache(std::size_t budget_bytes) : budget_(budget_bytes) {}

void TileCache::Clear() {
  lru_.clear();
  index_.clear();
  bytes_ = 0;
}

void TileCache::Touch(List::iterator it) { lru_.splice(lru_.begin(), lru_, it); }

void TileCache::Insert(Entry e) {
  auto old = index_.find(e.key);
  if (old != index_.end()) {
    bytes_ -= old->second->bytes;
    lru_.erase(old->second);
    index_.erase(old);
  }
  bytes_ += e.bytes;
  lru_.push_front(std::move(e));
  index_[lru_.front().key] = lru_.begin();
  Trim();
}

void TileCache::Trim() {
  // The newest entry always stays: the caller is about to paint it.
  while (bytes_ > budget_ && lru_.size() > 1) {
    Entry& last = lru_.back();
    bytes_ -= last.bytes;
    index_.erase(last.key);
    lru_.pop_back();
  }
}

std::shared_ptr<TileCache::Decoded> TileCache::Decode(const fs::path& path, std::uint64_t length, std::int64_t mtime,
                                                      std::string& problem) {
  ++file_reads_;
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(path, bytes, error)) {
    problem = error;
    return nullptr;
  }
  auto tile = zeblon::map::Tile::FromBytes(std::move(bytes), &problem);
  if (!tile) return nullptr;
  auto d = std::make_shared<Decoded>();
  d->length = length;
  d->mtime = mtime;
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

  std::shared_ptr<Decoded> decoded;
  if (auto it = index_.find("D\n" + file_key); it != index_.end()) {
    decoded = it->second->decoded;
    Touch(it->second);
  } else {
    decoded = Decode(path, length, stamp, out.problem);
    if (!decoded) return out;
    Entry e;
    e.key = "D\n" + file_key;
    e.decoded = decoded;
    e.bytes = static_cast<std::size_t>(decoded->image.sizeInBytes()) + decoded->palette.size();
    Insert(std::move(e));
  }
  out.bits = decoded->bits;
  out.palette = decoded->palette;

  PaletteWork work = palette_work ? work_in : PaletteWork{};
  if (decoded->bits != 4) work.markedInk = -1;
  if (decoded->bits == 24) work = PaletteWork{};
  const int paint_side = std::max(1, std::min(side, kTilePixels));
  const std::string ready_key = "R\n" + file_key + '\n' + std::to_string(work.backgroundMode) + '\n' +
                                std::to_string(work.markedInk) + '\n' + std::to_string(paint_side);
  if (auto it = index_.find(ready_key); it != index_.end()) {
    Touch(it->second);
    out.paintedPalette = out.palette;
    ApplyPaletteWork(out.paintedPalette, work, decoded->bits == 4);
    out.image = &it->second->ready;
    out.ok = true;
    return out;
  }
  QImage img;
  if (decoded->bits == 24) {
    img = decoded->image;
  } else {
    std::vector<std::uint8_t> pal = decoded->palette;
    ApplyPaletteWork(pal, work, decoded->bits == 4);
    QList<QRgb> table;
    table.reserve(static_cast<qsizetype>(pal.size() / 4));
    for (std::size_t i = 0; i + 3 < pal.size(); i += 4) table.push_back(qRgb(pal[i + 2], pal[i + 1], pal[i]));
    QImage indexed = decoded->image;  // shares the pixels; the table is its own
    indexed.setColorTable(table);
    img = indexed.convertToFormat(QImage::Format_RGB32);
  }
  if (paint_side != kTilePixels)
    img = img.scaled(paint_side, paint_side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  out.paintedPalette = out.palette;
  ApplyPaletteWork(out.paintedPalette, work, decoded->bits == 4);
  Entry e;
  e.key = ready_key;
  e.ready = std::move(img);
  e.bytes = static_cast<std::size_t>(e.ready.sizeInBytes());
  Insert(std::move(e));
  out.image = &lru_.front().ready;
  out.ok = true;
  return out;
}

}  // namespace zeblon::map
