// The picture viewer's plain parts: the page PIC.HTM that shows a picture or a
// video of the map folder's UTMPICS, the picture's position from its name, and
// the stepping through the picture list.
#pragma once

#include <string>
#include <string_view>

namespace zeblon::map {

// A file whose name ends in AVI (any letter case) is a video.
bool IsVideoName(std::string_view name);

// Text made safe for HTML: & < > " and ' as character references.
std::string HtmlEscape(std::string_view text);

// PIC.HTM: seven lines, each ended CR LF; the picture path (8-bit text) HTML-escaped
// in the image source ("img src" for a picture, "img dynsrc" for a video).
std::string PicturePage(std::string_view picture_path);

// The map position (km) at which the picture viewer's MAP button and a left click
// in picture mode centre the map: the picture's kilometre square by the tile name
// rule, plus 0.499 km (one metre short of the middle). The right-click finder
// searches around the same point.
struct PicturePlace {
  double north = 0, east = 0;
};
PicturePlace PictureCentre(std::string_view name);

// The picture list's stepping: the index (1-based) after "<" (step -1) or ">"
// (step +1); the same index at either end (nothing to do).
int StepPicture(int index, int count, int step);

}  // namespace zeblon::map
