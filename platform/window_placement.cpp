#include "platform/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "geodesy/text.h"

namespace platform {

namespace {

bool Normal(const QWidget& w) { return !w.isMinimized() && !w.isMaximized() && !w.isFullScreen(); }

// The smallest outer size in whole pixels, rounded up.
int MinPixels(int twips, int tpp) { return (twips + tpp - 1) / tpp; }

}  // namespace

TwipsPerPixel ScreenTwipsPerPixel(const QWidget& window) {
  const double dpi_x = window.logicalDpiX() > 0 ? window.logicalDpiX() : 96;
  const double dpi_y = window.logicalDpiY() > 0 ? window.logicalDpiY() : 96;
  return {static_cast<int>(RoundHalfEven(1440.0 / dpi_x)), static_cast<int>(RoundHalfEven(1440.0 / dpi_y))};
}

OuterFrame FitOuterFrame(OuterFrame wanted, const OuterFrame& area, int min_width, int min_height) {
  if (min_width > area.width || min_height > area.height) {
    wanted.maximise = true;
    return wanted;
  }
  wanted.width = std::clamp(wanted.width, min_width, area.width);
  wanted.height = std::clamp(wanted.height, min_height, area.height);
  wanted.left = std::clamp(wanted.left, area.left, area.left + area.width - wanted.width);
  wanted.top = std::clamp(wanted.top, area.top, area.top + area.height - wanted.height);
  wanted.maximise = false;
  return wanted;
}

void WindowPlacement::FitAfterResize(TwipsPerPixel tpp, bool small_first_frame) {
  QWidget& w = window_;
  if (!Normal(w)) return;
  const QRect g = w.frameGeometry();
  const int extra_w = g.width() - w.width(), extra_h = g.height() - w.height();
  int outer_w = g.width(), outer_h = g.height();
  if (outer_w * tpp.x < kMinOuterWidthTwips) outer_w = MinPixels(kMinOuterWidthTwips, tpp.x);
  if (outer_h * tpp.y < kMinOuterHeightTwips) outer_h = MinPixels(kMinOuterHeightTwips, tpp.y);
  int left = g.x(), top = g.y();
  if (!placed_) {
    const QRect area = AvailableScreenArea();
    if (small_first_frame) {
      left = 100;
      top = 80;
      outer_w = 654;
      outer_h = 487;
    } else if (!area.isEmpty()) {
      // The screen's height less a window manager's panels.
      outer_h = area.height();
      top = area.y();
    }
    placed_ = true;
    // A window manager frames the window only after it is shown: then it is fitted again.
    fit_pending_ = extra_w == 0 && extra_h == 0;
    PlaceOuterFrame({left, top, outer_w, outer_h}, tpp);
  } else {
    if (outer_w != g.width() || outer_h != g.height()) w.resize(outer_w - extra_w, outer_h - extra_h);
    if (left != g.x() || top != g.y()) w.move(left, top);
    FitOnceFramed(tpp);
  }
}

void WindowPlacement::FitOnceFramed(TwipsPerPixel tpp) {
  const QWidget& w = window_;
  if (!fit_pending_ || !w.isVisible() || !Normal(w)) return;
  const QRect g = w.frameGeometry();
  if (g.size() == w.size()) return;  // not framed yet
  fit_pending_ = false;
  PlaceOuterFrame({g.x(), g.y(), g.width(), g.height()}, tpp);
}

QRect WindowPlacement::AvailableScreenArea() const {
  const QScreen* s = window_.screen() != nullptr ? window_.screen() : QGuiApplication::primaryScreen();
  return s != nullptr ? s->availableGeometry() : QRect();
}

void WindowPlacement::PlaceOuterFrame(const OuterFrame& wanted, TwipsPerPixel tpp) {
  QWidget& w = window_;
  const QRect g = w.frameGeometry();
  const int extra_w = g.width() - w.width(), extra_h = g.height() - w.height();
  const QRect area = AvailableScreenArea();
  const int tx = std::max(1, tpp.x), ty = std::max(1, tpp.y);
  OuterFrame f = wanted;
  if (!area.isEmpty()) {
    f = FitOuterFrame(wanted, {area.x(), area.y(), area.width(), area.height()}, MinPixels(kMinOuterWidthTwips, tx),
                      MinPixels(kMinOuterHeightTwips, ty));
  }
  if (f.maximise) {
    w.setWindowState(w.windowState() | Qt::WindowMaximized);
    return;
  }
  if (f.width != g.width() || f.height != g.height()) w.resize(f.width - extra_w, f.height - extra_h);
  if (f.left != g.x() || f.top != g.y()) w.move(f.left, f.top);
}

}  // namespace platform
