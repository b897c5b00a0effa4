// The start window's plain rules: the start picture, the texts.
#include <gtest/gtest.h>

#include "geodesy/text.h"
#include "start_window/start_picture.h"
#include "start_window/start_texts.h"

namespace zeblon {
namespace {

TEST(StartPicture, BandsChoiceAndLocation) {
  EXPECT_EQ(StartPictureBand(37), 3);
  EXPECT_EQ(StartPictureBand(9), 0);
  EXPECT_EQ(StartPictureBand(59), 5);
  EXPECT_FALSE(ChooseStartPicture(9, 1234.56));
  EXPECT_EQ(*ChooseStartPicture(10, 1234.56), 123456 % 10);
  EXPECT_EQ(*ChooseStartPicture(12, 0), 0);

  struct Case {
    const char* path;
    const char* north;
    const char* east;
  };
  for (const Case& c : std::initializer_list<Case>{{"/maps/UTMPICS/65800650.BMP", "6580.499", "650.499"},
                                                   {"/maps/UTMPICS/A1230050.BMP", "-1122.501", "50.499"},
                                                   {"/maps/UTMPICS/@1230050.BMP", "-122.501", "50.499"},
                                                   {"/maps/UTMPICS/XXXX0100.BMP", "-23999.501", "100.499"},
                                                   {"C:\\MAP\\U33\\UTMPICS\\65800650.BMP", "6580.499", "650.499"}}) {
    const auto loc = PictureLocationOf(c.path);
    ASSERT_TRUE(loc) << c.path;
    EXPECT_EQ(NumberText(loc->north), c.north) << c.path;
    EXPECT_EQ(NumberText(loc->east), c.east) << c.path;
  }
  EXPECT_FALSE(PictureLocationOf(""));
  EXPECT_FALSE(PictureLocationOf("/maps.d/NAME"));
  EXPECT_TRUE(PictureLocationOf("/maps/abcdefgh.bmp"));  // lower case: no failure
}

TEST(StartTexts, LanguageDigitAndTooltipRule) {
  EXPECT_EQ(LanguageOf(11), 1);
  EXPECT_EQ(LanguageOf(21), 1);
  EXPECT_EQ(LanguageOf(2), 2);
  EXPECT_EQ(LanguageOf(10), 0);
  EXPECT_EQ(LanguageOf(-12), 0);
  EXPECT_TRUE(TooltipsOn(13));
  EXPECT_FALSE(TooltipsOn(3));
  EXPECT_FALSE(TooltipsOn(21));
  EXPECT_TRUE(StartCaptions(0).empty());
  EXPECT_TRUE(StartTooltips(4, {}).empty());
  EXPECT_EQ(MapsPathHelp(0), "");
}

TEST(StartTexts, StartTooltipFollowsTheInterface) {
  struct Case {
    int language, kind;
    const char* lastStartTip;  // UTF-8
  };
  for (const Case& c : std::initializer_list<Case>{{1, 1, "Lclick to start, then it takes 40 s"},
                                                   {2, 0, "Lclick für Start"},
                                                   {2, 3, "Lclick für Start"},
                                                   {3, 5, "Lclick för start, överföring tar 12 s"},
                                                   {1, 6, "Lclick to start, then it takes 25 s"}}) {
    std::string last;
    for (const auto& [name, text] : StartTooltips(c.language, {c.kind, c.kind == 1, c.kind == 3})) {
      if (name == "Command1") last = text;
    }
    EXPECT_EQ(last, Utf8ToCp1252(c.lastStartTip)) << c.language << " " << c.kind;
  }
  // The port boxes get a tooltip only for the PK-232 and the remote packet engine.
  auto tip_of = [](const ControlTexts& t, const std::string& name) {
    for (const auto& [n, text] : t) {
      if (n == name) return text;
    }
    return std::string("(none)");
  };
  EXPECT_EQ(tip_of(StartTooltips(1, {1, true, false}), "Text3"), "Com port number to modem");
  EXPECT_EQ(tip_of(StartTooltips(1, {3, false, true}), "Text4"), "Remote host port for AGWPE (default 8000)");
  EXPECT_EQ(tip_of(StartTooltips(3, {5, false, false}), "Text3"), "(none)");
}

TEST(StartTexts, MapsPathHelpIsWholeAndWindows1252) {
  const std::string de = MapsPathHelp(2);
  EXPECT_EQ(de.rfind("MAPS PATH: Pfad der Karten", 0), 0u);
  EXPECT_NE(de.find("dies \"C:\\ZEBLON\\U33\". Die 33"), std::string::npos);
  EXPECT_NE(de.find("in \"...\\U08\" platziert werden."), std::string::npos);
  EXPECT_NE(de.find("Nat\xFCrlich"), std::string::npos);  // ü as one Windows-1252 byte
  EXPECT_NE(MapsPathHelp(1).find("are ruled by the same principles."), std::string::npos);
  EXPECT_NE(MapsPathHelp(3).find("koordinatfiler (LOG, POI, TRK)."), std::string::npos);
}

}  // namespace
}  // namespace zeblon
