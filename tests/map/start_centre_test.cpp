// The map centre at start-up: the start picture's centre and the MONI 1 centre.
#include "map/start_centre.h"

#include <gtest/gtest.h>

namespace zeblon::map {
namespace {

TEST(StartUpValues, StartPictureCentreEndsIn499) {
  EXPECT_TRUE(EndsIn499(6543.499));
  EXPECT_FALSE(EndsIn499(6543.5));
  EXPECT_FALSE(EndsIn499(-12.501));
}

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

}  // namespace
}  // namespace zeblon::map
