// The main window's layout rules: where the map, the lists and the frames go
// for a window size. Plain values in and out; the window only applies the results.
#pragma once

#include <string>

namespace zeblon::shell {

// What the layout rules read, in pixels (inner size, positions).
struct LayoutIn {
  int W = 0, H = 0;          // inner width and height
  int outerWidthPx = 0;      // the window's outer width in pixels
  int tppX = 15, tppY = 15;  // twips per pixel
  int mapLeft = 0;
  int lastScaleComboRight = 0;  // right edge of the scale bar's last combo, inside the bar
  int recordLineHeight = 0;
  int rawListHeight = 0;
  int infoPanelHeight = 0, infoPanelWidth = 0;
  int specialsTop = 0;
  int wxStationHeight = 0, wxStationWidth = 0;
  int chatHeight = 0;
  int chatMessageLeft = 0;
  std::string autoAnswerCaption;
  int autoAnswerWidth = 0;
  int emergencyHeight = 0;
};

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct LayoutOut {
  double mapWidthPx = 0, mapHeightPx = 0;
  int mapLeft = 0;  // changed only by the start-up's run
  bool mapLeftSet = false;
  int recordLineTop = 0;
  int scaleBarTop = 0, scaleBarLeft = 0;
  int rawListWidth = 0, rawListTop = 0;
  int infoPanelTop = 0, infoPanelLeft = 0;
  bool specialsVisible = true;
  int wxStationTop = 0, wxStationLeft = 0;
  int chatTop = 0, chatLeft = 0, chatWidth = 0;
  int meOnlyLeft = 0;
  int chatCloseLeft = 0;
  int chatMessageWidth = 0;
  int autoAnswerWidth = 0;
  Rect savedMessages;
  int savedTextWidth = 0, savedTextHeight = 0;
  int savedCloseLeft = 0;
  int emergencyTop = 0, emergencyLeft = 0;
  Rect viewer;
  int viewerPageWidth = 0, viewerPageHeight = 0;  // pixels (whole twips / tpp)
};

// The layout rules in their order. `startup`: the start-up's run (no clamping at 0,
// the map pictures moved so the map's right edge meets the window's).
LayoutOut LayoutRules(const LayoutIn& in, bool startup);

}  // namespace zeblon::shell
