// A top-level window's outer frame on the screen: the smallest outer size, the
// first placement, the fit within the screen's available area (the screen less a
// window manager's panels) and the refit once a window manager has framed it.
#pragma once

#include <QRect>

class QWidget;

namespace platform {

// The screen's twips per pixel, each the nearest whole number (15 at 96 dpi).
struct TwipsPerPixel {
  int x = 15, y = 15;
};
TwipsPerPixel ScreenTwipsPerPixel(const QWidget& window);

// Minimum outer size in twips: 2320 wide, 3165 high.
inline constexpr int kMinOuterWidthTwips = 2320;
inline constexpr int kMinOuterHeightTwips = 3165;

// A window's outer frame, in pixels of the screen.
struct OuterFrame {
  int left = 0, top = 0, width = 0, height = 0;
  bool maximise = false;
};
// `wanted` made to lie in the screen's available area: at most the area's size,
// moved inside it. When even the smallest window (`min_width` x `min_height`) does
// not fit, the window is maximised instead.
OuterFrame FitOuterFrame(OuterFrame wanted, const OuterFrame& area, int min_width, int min_height);

// The placement of one window; it remembers whether the window was placed and
// whether the fit once framed is still to come.
class WindowPlacement {
 public:
  explicit WindowPlacement(QWidget& window) : window_(window) {}

  // After a resize of a normal window (not minimised, maximised or full screen):
  // the outer frame at least the smallest outer size. The first time the window is
  // placed: `small_first_frame` at 100,80 as 654 x 487, otherwise as high as the
  // available area from its top; then fitted within the area (maximised when the
  // smallest window does not fit).
  void FitAfterResize(TwipsPerPixel tpp, bool small_first_frame);
  // The fit within the available area once more, when a window manager has framed
  // the window after its first placement (a move or the resize that follows it).
  void FitOnceFramed(TwipsPerPixel tpp);
  bool Placed() const { return placed_; }

 private:
  QRect AvailableScreenArea() const;
  void PlaceOuterFrame(const OuterFrame& wanted, TwipsPerPixel tpp);
  QWidget& window_;
  bool placed_ = false;
  bool fit_pending_ = false;
};

}  // namespace platform
