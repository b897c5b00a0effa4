// The texts of the station labels on the map, laid out once and kept.
#pragma once

#include <QFont>
#include <QPaintDevice>
#include <QPoint>
#include <QRect>
#include <QStaticText>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "map/map_display.h"

namespace zeblon::stations {

class LineBatch;
struct Paint;

// The 32-bit FNV-1a hash of a text's bytes, which places texts in the
// open-addressed tables of the labels and of the calls.
inline std::uint32_t TextHash(std::string_view text) {
  std::uint32_t h = 2166136261u;
  for (char c : text) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

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

}  // namespace zeblon::stations
