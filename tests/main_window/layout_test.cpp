// The main window's layout rules.
#include "main_window/layout.h"

#include <gtest/gtest.h>

namespace zeblon::shell {
namespace {

LayoutIn Design(int W, int H) {
  LayoutIn in;
  in.W = W;
  in.H = H;
  in.outerWidthPx = W;
  in.mapLeft = 200;
  in.lastScaleComboRight = 804;
  in.recordLineHeight = 17;
  in.rawListHeight = 120;
  in.infoPanelHeight = 60;
  in.infoPanelWidth = 600;
  in.specialsTop = 458;
  in.wxStationHeight = 200;
  in.wxStationWidth = 260;
  in.chatHeight = 150;
  in.chatMessageLeft = 168;
  in.autoAnswerCaption = "AUTO-A";
  in.autoAnswerWidth = 50;
  in.emergencyHeight = 160;
  return in;
}

TEST(Layout, RulesFollowTheWindowSize) {
  EXPECT_EQ(LayoutRules(Design(1024, 301), false).mapHeightPx, 282);
  EXPECT_EQ(LayoutRules(Design(1024, 300), false).mapHeightPx, 280);
  EXPECT_EQ(LayoutRules(Design(1025, 300), false).mapWidthPx, 826);
  const LayoutOut wide = LayoutRules(Design(1024, 740), false);
  EXPECT_EQ(wide.recordLineTop, 723);
  EXPECT_EQ(wide.scaleBarLeft, 0);
  EXPECT_EQ(wide.chatLeft, 200);
  EXPECT_EQ(wide.chatWidth, 772);
  EXPECT_EQ(wide.chatCloseLeft, 754);
  EXPECT_EQ(wide.chatMessageWidth, 488);  // at most 7320 twips
  EXPECT_EQ(wide.autoAnswerWidth, 73);
  EXPECT_TRUE(wide.specialsVisible);
  EXPECT_EQ(wide.wxStationLeft, 764);
  LayoutIn wide_info = Design(600, 740);
  EXPECT_EQ(LayoutRules(wide_info, false).wxStationLeft, 600);  // right of the INFO panel
  EXPECT_EQ(wide.savedMessages.height, 590);
  EXPECT_EQ(wide.viewer.width, 808);
  const LayoutOut narrow = LayoutRules(Design(789, 480), false);
  EXPECT_EQ(narrow.chatLeft, 0);
  EXPECT_EQ(narrow.chatWidth, 789);
  EXPECT_LT(narrow.scaleBarLeft, 0);  // the bar moves left so the last combo stays inside
  EXPECT_EQ(narrow.scaleBarLeft, 789 - 804 - 16);
  EXPECT_FALSE(narrow.specialsVisible);  // 458 + 16 > 463
  EXPECT_TRUE(LayoutRules(Design(789, 491), false).specialsVisible);
}

TEST(Layout, SmallWindowClampsOnResizeButNotAtStartUp) {
  LayoutIn in = Design(150, 10);
  const LayoutOut r = LayoutRules(in, false);
  EXPECT_EQ(r.mapHeightPx, 0);
  EXPECT_EQ(r.mapWidthPx, 0);
  EXPECT_EQ(r.chatMessageWidth, 10);
  EXPECT_GE(r.viewerPageWidth, 1);
  const LayoutOut s = LayoutRules(in, true);
  EXPECT_EQ(s.mapHeightPx, -10);
  EXPECT_EQ(s.mapWidthPx, -50);
  EXPECT_EQ(s.mapLeft, 200);  // W - MapWidthPx: the map's right edge on the window's
  in = Design(1025, 740);
  in.autoAnswerCaption = "AUTO ANSWER TEXT:";
  const LayoutOut st = LayoutRules(in, true);
  EXPECT_EQ(st.mapLeft + st.mapWidthPx, 1025);
  EXPECT_EQ(st.autoAnswerWidth, 159);
}

}  // namespace
}  // namespace zeblon::shell
