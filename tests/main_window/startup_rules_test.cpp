// The main window's plain rules: start-up values, the title's fields, the MONI 1 centre, layout.
#include "main_window/startup_rules.h"
#include "main_window/title_fields.h"
#include "main_window/layout.h"
#include "map/readouts.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "geodesy/text.h"
#include "links/gps_reader.h"
#include "links/radio_bringup.h"
#include "links/tx_setup.h"
#include "settings/settings.h"
#include "platform/safe_file.h"

namespace zeblon::shell {
namespace {

TEST(SpeedTest, LimitsFromTheCount) {
  const std::pair<std::int64_t, int> cases[] = {{0, 50},       {227250, 50},   {227251, 51},
                                                {450000, 100}, {3000000, 667}, {2000000000, 667}};
  for (const auto& [count, limit] : cases) EXPECT_EQ(MoniAllLimitFromCount(count), limit) << count;
  // The loop counts clock readings until one second has gone.
  double t = 0;
  EXPECT_EQ(SpeedTestCount([&] { return t += 0.25; }), 3);
  double u = 100;
  EXPECT_EQ(SpeedTestCount([&] { return u += 0.001; }), 999);
  // A count that reaches the full count ends the test before the second is over:
  // more readings could not raise the limits.
  std::int64_t reads = 0;
  const std::int64_t full = SpeedTestCount([&] { return ++reads * 1e-9; });
  EXPECT_EQ(full, kSpeedTestFullCount);
  EXPECT_EQ(reads, kSpeedTestFullCount + 2);
  EXPECT_EQ(MoniAllLimitFromCount(full), 667);
}

TEST(StartUpValues, DerivedTexts) {
  EXPECT_EQ(links::RadioModeLabelFor("300R", "x"), "RPR 300");
  EXPECT_EQ(links::RadioModeLabelFor("1200", "x"), "1200 Bd");
  EXPECT_EQ(links::RadioModeLabelFor("R300", "keep"), "keep");
  EXPECT_EQ(links::OwnEchoHeaderFor("AB1CD-9", "", "ZEBL"), "AB1CD-9*>ZEBL");
  EXPECT_EQ(links::OwnEchoHeaderFor("AB1CD", "A,B", "ZEBL"), "AB1CD*>A>B>ZEBL");
  EXPECT_EQ(map::MeridianText(9), "  9");
  EXPECT_EQ(map::MeridianText(15), " 15");
  EXPECT_EQ(map::MeridianText(-3), " -3");
  EXPECT_EQ(map::MeridianText(105), "105");
  EXPECT_TRUE(EndsIn499(6543.499));
  EXPECT_FALSE(EndsIn499(6543.5));
  EXPECT_FALSE(EndsIn499(-12.501));
  EXPECT_EQ(links::TxBoxCaption(10), "TX 10");
  EXPECT_EQ(links::TxBoxCaption(0), "TX !");
  EXPECT_EQ(links::ClockLabelText(9, 5, 0, "RPR 300", false), "09:05   RPR 300");
  EXPECT_EQ(links::ClockLabelText(9, 5, 4, "RPR 300", false), "09:05 ");
  EXPECT_EQ(links::ClockLabelText(23, 59, 4, "", true), "23:59!");
}

TEST(StartUpValues, TitleMarksAtTheirColumns) {
  const std::string t = TitleWithMarks("ZEBLON", 1, 5, "9600", "300", 1);
  ASSERT_GE(t.size(), 80u);
  EXPECT_EQ(t.substr(60, 11), "Digi X-mode");
  EXPECT_EQ(t.substr(75, 5), "IGate");
  EXPECT_EQ(TitleWithMarks("ZEBLON", 1, 5, "NONE", "300", 0).substr(60), "Digi active");
  EXPECT_EQ(TitleWithMarks("ZEBLON", 1, 4, "NONE", "300", 1), "ZEBLON");  // no digi, no IGate without radio
  EXPECT_EQ(TitleWithMarks("ZEBLON", 1, 0, "NONE", "300", 1).substr(60), std::string(15, ' ') + "IGate");
}

TEST(StartUpValues, LinkNoticeBetweenTheNameAndTheIGateField) {
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

TEST(StartUpValues, LogWriteTitleField) {
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

TEST(StartUpValues, InfoLineTag) {
  std::array<std::string, 7> lines = {"", "a long line of more than thirty chars", "ab", "xy", "", "abc", "six"};
  TagInfoLines(lines);
  EXPECT_EQ(lines[4], "  using ZEBLON");  // the empty line is the shortest
  std::array<std::string, 7> equal = {"", std::string(31, 'x'), "ab", "cd", std::string(30, 'y'), std::string(40, 'z'),
                                      ""};
  TagInfoLines(equal);
  EXPECT_EQ(equal[2], "ab  using ZEBLON");
  EXPECT_EQ(equal[3], "cd");
  std::array<std::string, 7> named = {"", "with zeblon", "", "", "", "", ""};
  TagInfoLines(named);
  EXPECT_EQ(named[2], "");
  std::array<std::string, 7> all_long;
  for (int i = 1; i <= 5; ++i) all_long[i] = std::string(30, 'a');
  TagInfoLines(all_long);
  EXPECT_EQ(all_long[1].size(), 30u);
}

TEST(StartUpValues, PickListChoice) {
  EXPECT_EQ(ChooseListEntry("B", {"A", "B"}), "B");
  EXPECT_EQ(ChooseListEntry("b", {"A", "B"}), "A");  // lower case never matches the entries
  EXPECT_EQ(ChooseListEntry("C", {}), "");
}

// ---------------------------------------------------------------------------

TEST(MoniOneCentre, StartPictureCentreStaysOtherwiseTheNewestPositionWins) {
  double cn = 6543.499, ce = 400.499, mn = 6581, me = 401;
  ApplyMoniOneCentre(cn, ce, mn, me);
  EXPECT_EQ(cn, 6543.499);
  EXPECT_EQ(mn, 6581);
  cn = 6543.499, ce = -12.501;
  ApplyMoniOneCentre(cn, ce, mn, me);
  EXPECT_EQ(cn, 6581);
  EXPECT_EQ(ce, 401);
  cn = 6600, ce = 400, mn = 0, me = 0;
  ApplyMoniOneCentre(cn, ce, mn, me);
  EXPECT_EQ(cn, 6600);
  EXPECT_EQ(mn, 6600);
  EXPECT_EQ(me, 400);
}

// ---------------------------------------------------------------------------

TEST(QuietPassEnd, RedrawForAMovedOrStoppedFixFocusWhenActiveOrFewColours) {
  struct Case {
    int moved, movedBefore;
    bool active;
    int depth;
    bool redraw, focus;
  } cases[] = {
      {0, 0, true, 24, false, true}, {1, 0, false, 24, true, false}, {1, 1, false, 16, true, false},
      {0, 1, false, 15, true, true}, {0, 0, false, 8, false, true},
  };
  for (const Case& c : cases) {
    const links::QuietPassEnd end = links::QuietPassEndFor(c.moved, c.movedBefore, c.active, c.depth);
    EXPECT_EQ(end.redraw, c.redraw) << c.moved << c.movedBefore << c.active << c.depth;
    EXPECT_EQ(end.focusMap, c.focus) << c.moved << c.movedBefore << c.active << c.depth;
  }
}

// ---------------------------------------------------------------------------

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
