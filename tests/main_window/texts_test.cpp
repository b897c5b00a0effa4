// The main window's captions and tooltips in three languages.
#include "main_window/texts.h"

#include <gtest/gtest.h>

#include <map>

#include "geodesy/text.h"

namespace zeblon::shell {
namespace {

std::map<std::string, std::string> AsMap(const NamedTexts& t) { return {t.begin(), t.end()}; }

TEST(LanguageTexts, WhatTheSettingSelects) {
  struct Case {
    int setting, caption;
    TooltipAction tips;
  };
  const Case cases[] = {
      {11, 1, TooltipAction::Fill}, {12, 2, TooltipAction::Fill},  {13, 3, TooltipAction::Fill},
      {1, 1, TooltipAction::Clear}, {3, 3, TooltipAction::Clear},  {0, 0, TooltipAction::Clear},
      {5, 0, TooltipAction::Clear}, {21, 1, TooltipAction::Keep},  {10, 0, TooltipAction::Keep},
      {14, 0, TooltipAction::Keep}, {-9, 0, TooltipAction::Clear}, {-12, 0, TooltipAction::Keep},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CaptionLanguage(c.setting), c.caption) << c.setting;
    EXPECT_EQ(TooltipActionFor(c.setting), c.tips) << c.setting;
  }
}

TEST(LanguageTexts, CaptionsInThreeLanguages) {
  for (int lang = 1; lang <= 3; ++lang) EXPECT_EQ(Captions(lang).size(), 15u);
  EXPECT_EQ(AsMap(Captions(1))["Command64"], " POS->CENTER");
  EXPECT_EQ(AsMap(Captions(2))["Command67"], Utf8ToCp1252("LINK ÖFFNEN"));
  EXPECT_EQ(AsMap(Captions(3))["Frame2"], Utf8ToCp1252("USER QTH SETUP: CENTRERA KARTAN PÅ DITT QTH!"));
  EXPECT_EQ(AsMap(Captions(3))["fr4ta6"], "AKTIV");
}

TEST(LanguageTexts, EveryLanguageFillsTheSameControlsInTheSameOrder) {
  TextState st;
  const NamedTexts en = Tooltips(1, st), de = Tooltips(2, st), sv = Tooltips(3, st);
  ASSERT_EQ(en.size(), de.size());
  ASSERT_EQ(en.size(), sv.size());
  for (std::size_t i = 0; i < en.size(); ++i) {
    EXPECT_EQ(en[i].first, de[i].first);
    EXPECT_EQ(en[i].first, sv[i].first);
    EXPECT_FALSE(de[i].second.empty()) << de[i].first;
  }
  // Every item of the arrays, and the derived chat lines, are cleared by "tooltips off".
  const auto targets = TooltipTargets();
  for (const char* n : {"Optionink(15)", "Check26(5)", "Text1(0)", "Text1(7)", "Command18", "Command19", "Picture1"}) {
    EXPECT_NE(std::find(targets.begin(), targets.end(), n), targets.end()) << n;
  }
}

TEST(LanguageTexts, StateBuiltTooltips) {
  TextState st;
  st.alarmDistanceKm = 10;
  st.interfaceKind = 4;
  st.mapZoneText = "33";
  st.comboTexts = {"M5000", "", "", "M0050TOPO", "", ""};
  auto en = AsMap(Tooltips(1, st));
  EXPECT_EQ(en["Check20"], "MONI 1  < 10 km  ALARM / Rclick: Alarm Distance Setup");
  EXPECT_EQ(en["Check21"], "MONI ALL  < 10 km  ALARM / Rclick: Alarm Distance Setup");
  EXPECT_EQ(en["Label5"], "Date / time / coordinates / callsign / text / digi / symbol sign / symbol name / WX INFO");
  EXPECT_EQ(en["Picture1"], "Lclick: Center map / Rclick: Access to POI, TRK, PIC, STN, SUN, ");
  EXPECT_EQ(en["Text13"], "Position in UTM (ZONE33)");
  EXPECT_EQ(en["Check26(1)"], "Show  maps grid");
  EXPECT_EQ(en["Check26(3)"], "Show M0050TOPO maps grid");
  EXPECT_EQ(en["Command18"], "Deletes all older positions");  // the design caption of Label19
  EXPECT_EQ(en["Text3"], "Type CHAT message text, finish with 'ENTER'");
  EXPECT_EQ(AsMap(Tooltips(2, st))["Check26(3)"], "M0050TOPO-Kartenraster zeigen");
  EXPECT_EQ(AsMap(Tooltips(3, st))["Check26(3)"], "Visa M0050TOPO-kartraster");
  EXPECT_EQ(AsMap(Tooltips(3, st))["Text13"], "Position in UTM (ZON33)");

  st.interfaceKind = 5;
  st.radioMode = "300R";
  st.mapBaseFolder = "C:\\MAPS\\M0050";
  st.label19Caption = "QTH=";
  st.check16Value = 1;
  en = AsMap(Tooltips(1, st));
  EXPECT_EQ(en["Label5"].substr(en["Label5"].size() - 27), "  //  Lclick: RE-TX STN-POS");
  EXPECT_EQ(en["List1"], "RAW Packet RX text / Select: Show NFO // Rhold: Temporary FSK 300");
  EXPECT_EQ(en["Picture1"].substr(en["Picture1"].size() - 10), "SUN, M0050");
  EXPECT_EQ(en["Command19"], "Searches list forward for same QTH");
  EXPECT_EQ(en["Text3"], "Automatic answer text");
  st.radioMode = "300";
  EXPECT_EQ(AsMap(Tooltips(2, st))["List1"],
            Utf8ToCp1252("RAW Packet RX-Text / Auswählen: INFO zeigen // Rhold: Vorübergehend RPR 300"));
  st.interfaceKind = 6;
  EXPECT_EQ(AsMap(Tooltips(1, st))["List1"], "RAW Packet RX text / Select: Show NFO");
  st.label19Caption = "OTHER";
  EXPECT_EQ(AsMap(Tooltips(1, st)).count("Command18"), 0u);  // kept as they were
  // Applying twice gives the same texts: the suffix goes on the fresh text.
  EXPECT_EQ(Tooltips(1, st), Tooltips(1, st));
  EXPECT_NE(AsMap(Tooltips(2, st))["Command58"].find("[F4] oder LClick"), std::string::npos);
  EXPECT_NE(AsMap(Tooltips(3, st))["Command58"].find("[F5] eller RClick"), std::string::npos);
}

}  // namespace
}  // namespace zeblon::shell
