// The main window's plain rules: the title's fields and the layout.
#include "main_window/title_fields.h"
#include "main_window/layout.h"

#include <gtest/gtest.h>

#include "links/radio_bringup.h"

namespace zeblon::shell {
namespace {

TEST(TitleFields, TitleMarksAtTheirColumns) {
  const std::string t = TitleWithMarks("ZEBLON", 1, 5, "9600", "300", 1);
  ASSERT_GE(t.size(), 80u);
  EXPECT_EQ(t.substr(60, 11), "Digi X-mode");
  EXPECT_EQ(t.substr(75, 5), "IGate");
  EXPECT_EQ(TitleWithMarks("ZEBLON", 1, 5, "NONE", "300", 0).substr(60), "Digi active");
  EXPECT_EQ(TitleWithMarks("ZEBLON", 1, 4, "NONE", "300", 1), "ZEBLON");  // no digi, no IGate without radio
  EXPECT_EQ(TitleWithMarks("ZEBLON", 1, 0, "NONE", "300", 1).substr(60), std::string(15, ' ') + "IGate");
}

TEST(TitleFields, LinkNoticeBetweenTheNameAndTheIGateField) {
  const std::string notice = links::EngineNotReachedText("localhost", 8000);
  EXPECT_EQ(notice, "PACKET ENGINE NOT REACHED AT localhost:8000, RETRYING");
  const std::string marked = TitleWithMarks("ZEBLON", 0, 0, "NONE", "300", 1);
  const std::string t = WithLinkNotice(marked, notice);
  EXPECT_EQ(t.substr(0, 8 + notice.size()), "ZEBLON  " + notice);
  EXPECT_EQ(t.substr(75, 5), "IGate");  // the IGate field stays
  EXPECT_EQ(WithLinkNotice(t, ""), marked);
  EXPECT_EQ(WithLinkNotice("ZEBLON", ""), "ZEBLON");
  // A longer notice ends before the IGate field.
  const std::string cut = WithLinkNotice(marked, std::string(80, 'X'));
  EXPECT_EQ(cut.substr(8, 66), std::string(66, 'X'));
  EXPECT_EQ(cut.substr(74, 6), " IGate");
}

TEST(TitleFields, LogWriteTitleField) {
  const std::string igate = TitleWithMarks("ZEBLON", 0, 0, "NONE", "300", 1);
  const std::string full = WithLogWriteTitleField(igate, true, true);
  EXPECT_EQ(full.substr(91), "DISK FULL");
  EXPECT_EQ(full.substr(75, 5), "IGate");
  EXPECT_EQ(WithLogWriteTitleField(igate, true, false).substr(91), "LOGS NOT WRITTEN");
  // The link notice and the log field keep each other.
  const std::string both = WithLinkNotice(full, links::EngineNotReachedText("localhost", 8000));
  EXPECT_EQ(both.substr(91), "DISK FULL");
  EXPECT_EQ(WithLinkNotice(WithLogWriteTitleField(both, false, true), ""), igate);
  EXPECT_EQ(WithLogWriteTitleField(full, false, true), igate);
  EXPECT_EQ(WithLogWriteTitleField(WithLogWriteTitleField("ZEBLON", true, true), false, true), "ZEBLON");
}

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
