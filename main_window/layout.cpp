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
  double mw = W - in.mapLeft;
  if (static_cast<long long>(mw) % 2 != 0) mw += 1;
  if (!startup && mw < 0) mw = 0;
  o.mapWidthPx = mw;
  // At the start the map lies against the right edge.
  int p1left = in.mapLeft;
  if (startup) {
    p1left = static_cast<int>(W - mw);
    o.mapLeftSet = true;
  }
  o.mapLeft = p1left;
  // The record line and the scale bar along the foot.
  o.recordLineTop = H - 17;
  o.scaleBarTop = H - 17;
  o.scaleBarLeft = Whole(std::min(0.0, static_cast<double>(in.outerWidthPx - in.lastScaleComboRight - 16)));
  // The RAW list above the record line, as wide as the map.
  o.rawListWidth = static_cast<int>(mw);
  o.rawListTop = o.recordLineTop - in.rawListHeight - 2;
  // The INFO panel above the record line; on the map when the control column reaches down to it.
  o.infoPanelTop = o.recordLineTop - in.infoPanelHeight;
  o.infoPanelLeft = (in.specialsTop + 24 > H - (in.recordLineHeight + in.infoPanelHeight)) ? p1left : 0;
  // The SPECIALS group only where it fits above the record line.
  o.specialsVisible = in.specialsTop + 16 <= o.recordLineTop;
  // The WX STATION window in the foot's right corner, clear of the INFO panel.
  o.wxStationTop = o.recordLineTop - in.wxStationHeight;
  o.wxStationLeft = std::max(W - in.wxStationWidth, o.infoPanelLeft + in.infoPanelWidth);
  // The chat frame along the top, at most 772 wide.
  o.chatTop = 0;
  if (W < 790) {
    o.chatLeft = 0;
    o.chatWidth = W;
  } else {
    o.chatLeft = p1left;
    o.chatWidth = 772;
  }
  o.meOnlyLeft = 112;
  // Its close button at its right end.
  o.chatCloseLeft = Whole(std::min(W - o.chatLeft, o.chatWidth) - 18);
  // The chat line box: what the frame leaves, within limits.
  double t3 = o.chatWidth - in.chatMessageLeft - 4;
  t3 = std::min(t3, 7320.0 / in.tppX);
  t3 = std::max(t3, 10.0);
  o.chatMessageWidth = Whole(t3);
  // The auto answer box as wide as its caption.
  o.autoAnswerWidth = in.autoAnswerWidth;
  if (in.autoAnswerCaption == "AUTO-A") o.autoAnswerWidth = 73;
  if (in.autoAnswerCaption == "AUTO ANSWER TEXT:") o.autoAnswerWidth = 159;
  // SAVED MESSAGES fills the window below the chat frame.
  o.savedMessages = {0, 0, W, H - in.chatHeight};
  o.savedTextWidth = o.savedMessages.width - 16;
  o.savedTextHeight = o.savedMessages.height - 22;
  o.savedCloseLeft = o.savedMessages.width - 18;
  // The EMERGENCY window above the record line, on the map.
  o.emergencyTop = o.recordLineTop - in.emergencyHeight - 2;
  o.emergencyLeft = p1left;
  // The picture viewer inside the map.
  o.viewer = {8, 8, static_cast<int>(mw) - 16, static_cast<int>(mh) - 16};
  // Its web view: whole twips, at least one.
  const double wb_w_twips = std::max(1.0, RoundHalfEven((o.viewer.width - 16.0) * in.tppX));
  const double wb_h_twips = std::max(1.0, RoundHalfEven((o.viewer.height - 58.0) * in.tppY));
  o.viewerPageWidth = std::max(1, Whole(wb_w_twips / in.tppX));
  o.viewerPageHeight = std::max(1, Whole(wb_h_twips / in.tppY));
  return o;
}

}  // namespace zeblon::shell
