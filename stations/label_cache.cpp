#include "stations/label_cache.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>

#include "platform/qtext.h"
#include "stations/pixel_writer.h"

namespace zeblon::stations {

using map::MapPen;

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

}  // namespace zeblon::stations
