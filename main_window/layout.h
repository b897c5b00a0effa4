// The main window's layout rules: where the map, the lists and the frames go
// for a window size, the MONI 1 read-out frames' widths, the outer frame on the
// screen. Plain values in and out; the window only applies the results.
#pragma once

#include <string>

namespace zeblon::shell {

// What the layout rules read, in pixels (inner size, positions).
struct LayoutIn {
  int W = 0, H = 0;          // inner width and height
  int outerWidthPx = 0;      // the window's outer width in pixels
  int tppX = 15, tppY = 15;  // twips per pixel
  int picture1Left = 0;
  int combo8Right = 0;  // right edge of Combo8 inside Frame16
  int label5Height = 0;
  int list1Height = 0;
  int frame1Height = 0, frame1Width = 0;
  int command57Top = 0;
  int frame15Height = 0, frame15Width = 0;
  int frame3Height = 0;
  int text3Left = 0;
  std::string check16Caption;
  int check16Width = 0;
  int frame14Height = 0;
};

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct LayoutOut {
  double mapWidthPx = 0, mapHeightPx = 0;
  int picture1Left = 0;  // changed only by the start-up's run
  bool picture1LeftSet = false;
  int label5Top = 0;
  int frame16Top = 0, frame16Left = 0;
  int list1Width = 0, list1Top = 0;
  int frame1Top = 0, frame1Left = 0;
  bool specialsVisible = true;
  int frame15Top = 0, frame15Left = 0;
  int frame3Top = 0, frame3Left = 0, frame3Width = 0;
  int check8Left = 0;
  int command27Left = 0;
  int text3Width = 0;
  int check16Width = 0;
  Rect frame7;
  int text5Width = 0, text5Height = 0;
  int command28Left = 0;
  int frame14Top = 0, frame14Left = 0;
  Rect frame8;
  int webBrowser2Width = 0, webBrowser2Height = 0;  // pixels (whole twips / tpp)
};

// The layout rules in their order. `startup`: the start-up's run (no clamping at 0,
// the map pictures moved so the map's right edge meets the window's).
LayoutOut LayoutRules(const LayoutIn& in, bool startup);

// Minimum outer size in twips: 2320 wide, 3165 high.
inline constexpr int kMinOuterWidthTwips = 2320;
inline constexpr int kMinOuterHeightTwips = 3165;

// The main window's outer frame, in pixels of the screen.
struct OuterFrame {
  int left = 0, top = 0, width = 0, height = 0;
  bool maximise = false;
};
// `wanted` made to lie in the screen's available area (the screen less its panels):
// at most the area's size, moved inside it. When even the smallest window
// (`min_width` x `min_height`) does not fit, the window is maximised instead.
OuterFrame FitOuterFrame(OuterFrame wanted, const OuterFrame& area, int min_width, int min_height);

}  // namespace zeblon::shell
