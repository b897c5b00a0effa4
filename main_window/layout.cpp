#include "main_window/layout.h"

#include <algorithm>

#include "geodesy/text.h"

namespace zeblon::shell {

namespace {
int Whole(double v) { return static_cast<int>(RoundHalfEven(v)); }
}  // namespace

LayoutOut LayoutRules(const LayoutIn& in, bool startup) {
  LayoutOut o;
  const int W = in.W, H = in.H;
  // The map area: even sizes, not below zero once the window is up.
  double mh = H - 20;
  if (static_cast<long long>(mh) % 2 != 0) mh += 1;
  if (!startup && mh < 0) mh = 0;
  o.mapHeightPx = mh;
  double mw = W - in.picture1Left;
  if (static_cast<long long>(mw) % 2 != 0) mw += 1;
  if (!startup && mw < 0) mw = 0;
  o.mapWidthPx = mw;
  // At the start the map lies against the right edge.
  int p1left = in.picture1Left;
  if (startup) {
    p1left = static_cast<int>(W - mw);
    o.picture1LeftSet = true;
  }
  o.picture1Left = p1left;
  // The record line and Frame16 along the foot.
  o.label5Top = H - 17;
  o.frame16Top = H - 17;
  o.frame16Left = Whole(std::min(0.0, static_cast<double>(in.outerWidthPx - in.combo8Right - 16)));
  // The RAW list above the record line, as wide as the map.
  o.list1Width = static_cast<int>(mw);
  o.list1Top = o.label5Top - in.list1Height - 2;
  // The INFO panel above the record line; on the map when the control column reaches down to it.
  o.frame1Top = o.label5Top - in.frame1Height;
  o.frame1Left = (in.command57Top + 24 > H - (in.label5Height + in.frame1Height)) ? p1left : 0;
  // The SPECIALS group only where it fits above the record line.
  o.specialsVisible = in.command57Top + 16 <= o.label5Top;
  // The WX STATION window in the foot's right corner, clear of the INFO panel.
  o.frame15Top = o.label5Top - in.frame15Height;
  o.frame15Left = std::max(W - in.frame15Width, o.frame1Left + in.frame1Width);
  // The chat frame along the top, at most 772 wide.
  o.frame3Top = 0;
  if (W < 790) {
    o.frame3Left = 0;
    o.frame3Width = W;
  } else {
    o.frame3Left = p1left;
    o.frame3Width = 772;
  }
  o.check8Left = 112;
  // Its close button at its right end.
  o.command27Left = Whole(std::min(W - o.frame3Left, o.frame3Width) - 18);
  // The chat line box: what the frame leaves, within limits.
  double t3 = o.frame3Width - in.text3Left - 4;
  t3 = std::min(t3, 7320.0 / in.tppX);
  t3 = std::max(t3, 10.0);
  o.text3Width = Whole(t3);
  // The auto answer box as wide as its caption.
  o.check16Width = in.check16Width;
  if (in.check16Caption == "AUTO-A") o.check16Width = 73;
  if (in.check16Caption == "AUTO ANSWER TEXT:") o.check16Width = 159;
  // SAVED MESSAGES fills the window below the chat frame.
  o.frame7 = {0, 0, W, H - in.frame3Height};
  o.text5Width = o.frame7.width - 16;
  o.text5Height = o.frame7.height - 22;
  o.command28Left = o.frame7.width - 18;
  // The EMERGENCY window above the record line, on the map.
  o.frame14Top = o.label5Top - in.frame14Height - 2;
  o.frame14Left = p1left;
  // The picture viewer inside the map.
  o.frame8 = {8, 8, static_cast<int>(mw) - 16, static_cast<int>(mh) - 16};
  // Its web view: whole twips, at least one.
  const double wb_w_twips = std::max(1.0, RoundHalfEven((o.frame8.width - 16.0) * in.tppX));
  const double wb_h_twips = std::max(1.0, RoundHalfEven((o.frame8.height - 58.0) * in.tppY));
  o.webBrowser2Width = std::max(1, Whole(wb_w_twips / in.tppX));
  o.webBrowser2Height = std::max(1, Whole(wb_h_twips / in.tppY));
  return o;
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

}  // namespace zeblon::shell
