// The TX setup panel's controls wired to their rules: the values round trip, the
// mode options, path memories, info memories and the press-and-hold steppers.
#include "panels/tx_setup_panel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include "platform/qtext.h"

namespace zeblon::panels {
namespace {

void Pump(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

links::TxPanelValues Sample() {
  links::TxPanelValues v;
  v.ssid = "9";
  v.interval = "10";
  v.destination = "ZEBL";
  v.path = "WIDE1-1";
  v.infoLines[1] = "first";
  v.infoActive[1] = 1;
  v.infoMemories[2] = "145.800 MHz";
  v.pathMemoryTips[1] = "WIDE2-2";
  v.symbol = "62";
  v.overlay = "";
  v.radioMode = "300R";
  v.crossMode = "300";
  v.hfDual = 1;
  v.hfDualShown = true;
  v.crossFrameShown = true;
  v.txLevel = "300";
  v.txLevelShown = true;
  v.digi = 1;
  return v;
}

TEST(TxSetupPanelControls, ValuesRoundTripAndModeRules) {
  QWidget window;
  TxSetupPanel panel(&window);
  panel.Show(Sample());
  links::TxPanelValues v = panel.Values();
  EXPECT_EQ(v.radioMode, "300R");
  EXPECT_EQ(v.crossMode, "300");
  EXPECT_EQ(v.hfDual, 1);
  EXPECT_EQ(v.digi, 1);
  EXPECT_EQ(v.infoMemories[2], "145.800 MHz");
  EXPECT_EQ(v.pathMemoryTips[1], "WIDE2-2");
  int shown = 0;
  panel.OnSymbolShown = [&shown](int index) { shown = index; };
  panel.ShowSymbol(62);
  EXPECT_EQ(panel.fr4Text9->Text(), "/^  Plane lrge");  // symbol 62 shown by number and name
  EXPECT_EQ(shown, 62);
  // Choosing 9600 (also from code) unticks DIGI and HF-DUAL and sets NONE.
  panel.modeOption[6]->SetValue(true);
  v = panel.Values();
  EXPECT_EQ(v.radioMode, "9600");
  EXPECT_EQ(v.crossMode, "NONE");
  EXPECT_EQ(v.hfDual, 0);
  EXPECT_EQ(v.digi, 0);
  // The timer box's own rule.
  panel.fr4Text2->SetText("0");
  EXPECT_EQ(panel.fr4Text2->Text(), "MANUAL");
  panel.fr4Text2->SetText("-5");
  EXPECT_EQ(panel.fr4Text2->Text(), "60");
}

TEST(TxSetupPanelControls, PathAndInfoMemories) {
  QWidget window;
  TxSetupPanel panel(&window);
  panel.Show(Sample());
  panel.Command44->click();
  panel.presets[3]->click();  // WIDE2-2
  panel.presets[4]->click();  // RELAY
  EXPECT_EQ(panel.fr4Text4->Text(), "WIDE2-2,RELAY");
  // A right click on M2 keeps the path as pending memory 2 and shows it; a left click recalls it.
  panel.fr4Text4->SetText("wide1-1, relay ");
  panel.pathMemory[2]->OnMouseUp(2);
  EXPECT_EQ(panel.PathMemoryEdits[2], "WIDE1-1, RELAY");
  EXPECT_EQ(platform::FromQ(panel.pathMemory[2]->toolTip()), "WIDE1-1, RELAY");
  panel.fr4Text4->SetText("");
  panel.pathMemory[2]->OnMouseUp(1);
  EXPECT_EQ(panel.fr4Text4->Text(), "WIDE1-1, RELAY");
  panel.pathMemory[1]->OnMouseUp(1);
  EXPECT_EQ(panel.fr4Text4->Text(), "WIDE2-2");
  panel.pathMemory[1]->OnMouseUp(4);  // the middle button does nothing
  EXPECT_EQ(panel.fr4Text4->Text(), "WIDE2-2");

  // An info memory before any line had the focus does nothing; after, it fills that line.
  panel.fr4tm[2]->OnMouseUp(1);
  EXPECT_EQ(panel.fr4ti[3]->Text(), "");
  panel.LastInfoLineIndex = 3;
  panel.fr4tm[2]->OnMouseUp(1);  // "MHz": but no line holds MHZ yet, so line 3
  EXPECT_EQ(panel.fr4ti[3]->Text(), "145.800 MHz");
  panel.fr4ti[5]->SetText("QRV 432.500 mhz");
  panel.LastInfoLineIndex = 1;
  panel.fr4tm[2]->OnMouseUp(1);  // now the last MHZ line wins: 5
  EXPECT_EQ(panel.fr4ti[5]->Text(), "145.800 MHz");
  panel.fr4ti[1]->SetText("stored text");
  panel.LastInfoLineIndex = 1;
  panel.fr4tm[4]->OnMouseUp(2);  // a right click stores line 1 in memory 4
  EXPECT_EQ(platform::FromQ(panel.fr4tm[4]->toolTip()), "stored text");
}

TEST(TxSetupPanelControls, PressAndHoldStepsOnATimer) {
  QWidget window;
  TxSetupPanel panel(&window);
  window.show();
  panel.show();
  panel.Show(Sample());
  panel.fr4Text2->SetText("58");
  panel.fr4C21->OnMouseDown(1);
  EXPECT_EQ(panel.fr4Text2->Text(), "59");  // one step at once
  Pump(700);                                // more while held
  panel.fr4C21->OnMouseUp(1);
  const std::string held = panel.fr4Text2->Text();
  EXPECT_TRUE(held == "MANUAL" || held == "1" || held == "2") << held;
  Pump(500);
  EXPECT_EQ(panel.fr4Text2->Text(), held);  // released: no more steps
  // The symbol: one short click is one step, across the gap of the tables.
  panel.fr4Text8->SetText("94");
  panel.fr4Command2->OnMouseDown(1);
  panel.fr4Command2->OnMouseUp(1);
  Pump(300);
  EXPECT_EQ(panel.fr4Text8->Text(), "101");
  panel.fr4Command1->OnMouseDown(1);
  panel.fr4Command1->OnMouseUp(1);
  Pump(300);
  EXPECT_EQ(panel.fr4Text8->Text(), "94");
}

}  // namespace
}  // namespace zeblon::panels
