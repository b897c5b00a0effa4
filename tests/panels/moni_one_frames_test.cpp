// The MONI 1 read-out frames' widths.
#include "panels/moni_one_frames.h"

#include <gtest/gtest.h>

namespace zeblon {
namespace {

TEST(MoniOneFrames, MoniOneFramesWidenUnderTheMouse) {
  // The standard width: 1815 twips in whole pixels, halves to even.
  EXPECT_EQ(MoniOneFrameStandardWidth(15), 121);
  EXPECT_EQ(MoniOneFrameStandardWidth(12), 151);  // 151.25
  EXPECT_EQ(MoniOneFrameStandardWidth(10), 182);  // 181.5
  EXPECT_EQ(MoniOneFrameStandardWidth(30), 60);   // 60.5
  EXPECT_EQ(MoniOneFrameStandardWidth(0), 1815);  // no division by zero
  EXPECT_EQ(MoniOneLineStandardWidth(15), 200);
  EXPECT_EQ(MoniOneLineStandardWidth(12), 250);

  struct Case {
    int tpp;
    bool comboHoldsCall;
    int mouseXTwips, labelTwips;
    bool neverNarrower;
    int width;
  };
  const Case cases[] = {
      // The comment: longer texts widen the frame, shorter ones keep it standard.
      {15, true, 150, 4500, true, 300},
      {15, true, 150, 900, true, 121},
      // The distance line fits its label both ways.
      {15, true, 150, 4500, false, 300},
      {15, true, 150, 900, false, 60},
      // A call being typed in Combo9 keeps both standard (the distance line's the
      // column's width).
      {15, false, 150, 4500, true, 121},
      {15, false, 150, 900, false, 200},
      // The mouse must be past 1200 \ (tpp * 15) twips: 5 at 15, 6 at 12.
      {15, true, 5, 900, false, 200},
      {15, true, 6, 900, false, 60},
      {12, true, 6, 900, false, 250},
      {12, true, 12, 900, false, 75},
      // The label's pixels are whole, halves to even.
      {12, true, 12, 1818, false, 152},  // 151.5
      {12, true, 12, 1830, true, 152},   // 152.5
      {15, true, 15, 1822, true, 121},   // 121.47
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "tpp " << c.tpp << " combo " << c.comboHoldsCall << " x " << c.mouseXTwips
                                    << " label " << c.labelTwips << " never narrower " << c.neverNarrower);
    EXPECT_EQ(MoniOneFrameWidthUnderMouse(c.tpp, c.comboHoldsCall, c.mouseXTwips, c.labelTwips, c.neverNarrower),
              c.width);
  }
}

}  // namespace
}  // namespace zeblon
