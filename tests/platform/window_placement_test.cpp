// A window's outer frame on the screen: the fit within the available area, the
// first placement and the smallest size.
#include "platform/window_placement.h"

#include <QCoreApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(WindowPlacement, OuterFrameWithinTheAvailableArea) {
  struct Case {
    const char* what;
    OuterFrame wanted, area, placed;
  };
  const Case cases[] = {
      {"fits as it is", {100, 80, 654, 487, false}, {0, 0, 1280, 1024, false}, {100, 80, 654, 487, false}},
      {"a panel at the top: height and top of the free area",
       {0, 0, 1024, 1024, false},
       {0, 27, 1280, 997, false},
       {0, 27, 1024, 997, false}},
      {"a panel at the bottom pushes the window up",
       {0, 200, 1024, 900, false},
       {0, 0, 1280, 990, false},
       {0, 90, 1024, 900, false}},
      {"wider than the screen: as wide as it",
       {300, 0, 1024, 600, false},
       {0, 0, 800, 600, false},
       {0, 0, 800, 600, false}},
      {"a second screen to the right",
       {0, 0, 1024, 1080, false},
       {1280, 0, 1920, 1050, false},
       {1280, 0, 1024, 1050, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const OuterFrame f = FitOuterFrame(c.wanted, c.area, 155, 211);
    EXPECT_FALSE(f.maximise);
    EXPECT_EQ(f.left, c.placed.left);
    EXPECT_EQ(f.top, c.placed.top);
    EXPECT_EQ(f.width, c.placed.width);
    EXPECT_EQ(f.height, c.placed.height);
  }
  // A free area smaller than the smallest window: maximised.
  EXPECT_TRUE(FitOuterFrame({0, 0, 1024, 740, false}, {0, 0, 640, 200, false}, 155, 211).maximise);
  EXPECT_TRUE(FitOuterFrame({0, 0, 1024, 740, false}, {0, 0, 150, 480, false}, 155, 211).maximise);
}

// The first fit places the window; later ones keep the user's size and only hold
// the smallest outer size (2320 x 3165 twips: 155 x 211 pixels at 15).
TEST(WindowPlacement, PlacedOnceThenOnlyTheSmallestSizeHeld) {
  QWidget w;
  w.setGeometry(20, 30, 400, 300);
  w.show();
  QCoreApplication::processEvents();
  const QRect area = w.screen()->availableGeometry();
  ASSERT_GE(area.height(), 487);
  WindowPlacement p(w);
  EXPECT_FALSE(p.Placed());
  p.FitAfterResize({15, 15}, false);
  EXPECT_TRUE(p.Placed());
  EXPECT_EQ(w.frameGeometry().top(), area.top());
  EXPECT_EQ(w.frameGeometry().height(), area.height());
  w.resize(400, 250);
  p.FitAfterResize({15, 15}, false);
  EXPECT_EQ(w.height(), 250);
  w.resize(100, 100);
  p.FitAfterResize({15, 15}, false);
  EXPECT_EQ(w.frameGeometry().size(), QSize(155, 211));  // the outer size

  QWidget small;
  small.show();
  WindowPlacement q(small);
  q.FitAfterResize({15, 15}, true);
  EXPECT_EQ(small.frameGeometry(), QRect(100, 80, 654, 487));
}

}  // namespace
}  // namespace platform
