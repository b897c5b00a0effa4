// The TX setup panel's controls wired to their rules: the values round trip, the
// mode options, path memories, info memories, the press-and-hold steppers, and
// the symbol picker's picture cut from the symbol sheets with its overlay.
#include "panels/tx_setup_panel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
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
  // The window's stored path memories (a left click recalls them in upper case, trimmed).
  panel.StoredPathMemory = [](int n) { return n == 1 ? std::string(" wide2-2") : std::string(); };
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

// The two layouts of the one class: the same values out of range are refused by the
// main window's OK and cleaned by the start window's; a hand-over from the start
// window's panel changes only the parts it names.
TEST(TxSetupPanelLayouts, OkModesAndHandOverParts) {
  QWidget window;
  TxSetupPanel main_panel(&window);
  TxSetupPanel start_panel(&window, {}, TxSetupPanel::Layout::StartWindow);
  EXPECT_EQ(start_panel.Check32, nullptr);  // the other layout's controls stay null
  EXPECT_EQ(main_panel.Check9, nullptr);
  Settings old;
  old.UserCall = "AB1CD";
  old.TxSsid = "9";
  for (TxSetupPanel* p : {&main_panel, &start_panel}) {
    p->fr4Text1->SetText("16");
    p->fr4Text8->SetText("62");
  }
  const links::TxSetupOk refused = main_panel.Take(old, false, 0);
  EXPECT_EQ(refused.refusals, std::vector<std::string>{"SSID MUST BE 1 ... 15 OR EMPTY !"});
  EXPECT_EQ(refused.settings.TxSsid, "9");
  const links::TxSetupOk cleaned = start_panel.Take(old, false, 0);
  EXPECT_TRUE(cleaned.refusals.empty());
  EXPECT_EQ(cleaned.settings.TxSsid, "");
  EXPECT_EQ(cleaned.settings.TxSymbolIndex, 62);

  main_panel.Show(Sample());
  links::TxPanelValues v = Sample();
  v.destination = "OTHER";
  v.infoLines[1] = "line one";
  v.infoLines[2] = "line two";
  v.infoActive[1] = 0;
  v.infoActive[2] = 1;
  v.txLevelShown = false;
  main_panel.TakeHandOver(v, TxSetupPanel::kHandInfoActive | TxSetupPanel::kHandTxLevelShown);
  EXPECT_EQ(main_panel.fr4Text3->Text(), "ZEBL");
  EXPECT_EQ(main_panel.fr4ti[1]->Text(), "first");
  EXPECT_EQ(main_panel.fr4ta[1]->Value(), 0);
  EXPECT_EQ(main_panel.fr4ta[2]->Value(), 1);
  EXPECT_TRUE(main_panel.Text16->isHidden());
  main_panel.TakeHandOver(v, TxSetupPanel::kHandTxBoxes | TxSetupPanel::kHandFirstInfoLine);
  EXPECT_EQ(main_panel.fr4Text3->Text(), "OTHER");
  EXPECT_EQ(main_panel.fr4ti[1]->Text(), "line one");
  EXPECT_EQ(main_panel.fr4ti[2]->Text(), "");  // lines 2 … 6 only with their own part
  main_panel.TakeHandOver(v);                  // the start window's OK: the lines, the symbol, HF-DUAL
  EXPECT_EQ(main_panel.fr4ti[2]->Text(), "line two");
  EXPECT_EQ(main_panel.fr4Text8->Text(), "62");
}

// A program folder with both symbol sheets in which every pixel has a colour of
// its own, so that a picture shows exactly which part of which sheet it was cut
// from. The first sheet's name is in small letters.
class SymbolPickerTest : public ::testing::Test {
 protected:
  SymbolPickerTest() {
    for (int d = 0; d < 2; ++d) {
      sheets[d] = QImage(337, 127, QImage::Format_RGB32);
      for (int y = 0; y < 127; ++y)
        for (int x = 0; x < 337; ++x) sheets[d].setPixel(x, y, qRgb(x & 0xFF, 64 + y, 100 * d + 40 * (x >> 8) + 20));
      const QString name = d == 0 ? QStringLiteral("/zeblsym0.bmp") : QStringLiteral("/ZEBLSYM1.BMP");
      EXPECT_TRUE(sheets[d].save(folder.path() + name, "BMP"));
    }
  }
  QImage Shown() const { return panel.fr4Picture1->pixmap().toImage().convertToFormat(QImage::Format_RGB32); }
  QImage Cell(int sheet, int x, int y) const { return sheets[sheet].copy(x, y, 22, 22); }
  // The picture of a symbol that takes an overlay, with this text in the overlay box.
  QImage WithOverlay(int index, const std::string& text) {
    panel.fr4Text10->SetText(text);
    panel.ShowSymbol(index);
    return Shown();
  }

  QTemporaryDir folder;
  QImage sheets[2];
  QWidget window;
  TxSetupPanel panel{&window, folder.path().toStdString()};
};

TEST_F(SymbolPickerTest, PictureIsTheCellOfTheIndexOnItsSheet) {
  struct Case {
    int index;
    const char* text;  // fr4Text9
    int sheet, x, y;
  };
  const Case cases[] = {
      {1, "/!  Police Stn", 0, 0, 0},      {16, "/0  Circle (0)", 0, 315, 0}, {17, "/1  Circle (1)", 0, 0, 21},
      {94, "/~  res.(StSw)", 0, 273, 105}, {101, "\\!  Emergency ", 1, 0, 0}, {194, "\\~  res.(StSw)", 1, 273, 105},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    panel.ShowSymbol(c.index);
    EXPECT_EQ(panel.fr4Text8->Text(), std::to_string(c.index));
    EXPECT_EQ(panel.fr4Text9->Text(), c.text);
    EXPECT_EQ(Shown(), Cell(c.sheet, c.x, c.y));
    EXPECT_TRUE(panel.fr4Text10->isHidden());
  }
}

TEST_F(SymbolPickerTest, OverlayBoxAndItsCharacter) {
  window.show();
  panel.show();
  // 116 "No. Circle" takes an overlay: the box shows, gets the focus, and its
  // character is printed over the cell, trimmed, upper case, the last one.
  const QImage plain = WithOverlay(116, "");
  EXPECT_EQ(plain, Cell(1, 315, 0));
  const QImage s = WithOverlay(116, " s ");
  EXPECT_FALSE(panel.fr4Text10->isHidden());
  EXPECT_EQ(window.focusWidget(), panel.fr4Text10);
  EXPECT_EQ(s, WithOverlay(116, "S"));
  int dark = 0, changed_elsewhere = 0;
  for (int y = 0; y < 22; ++y) {
    for (int x = 0; x < 22; ++x) {
      if (s.pixel(x, y) == plain.pixel(x, y)) continue;
      if (x >= 7 && x <= 16 && y >= 3 && y <= 16)  // the letter's box from (7, 3)
        dark += qGray(s.pixel(x, y)) < 64;
      else
        ++changed_elsewhere;
    }
  }
  EXPECT_GE(dark, 8);  // the letter's strokes
  EXPECT_EQ(changed_elsewhere, 0);
  const QImage ab = WithOverlay(116, "ab");
  EXPECT_EQ(ab, WithOverlay(116, "B"));
  EXPECT_NE(ab, WithOverlay(116, "A"));

  // 63 "WX Station" takes none: the box hides with its text, nothing is printed.
  EXPECT_EQ(WithOverlay(63, "X"), Cell(0, 294, 63));
  EXPECT_TRUE(panel.fr4Text10->isHidden());
  EXPECT_EQ(panel.fr4Text10->Text(), "X");
}

TEST_F(SymbolPickerTest, NoSheetOrNoSymbolLeavesThePictureWhite) {
  QImage white(22, 22, QImage::Format_RGB32);
  white.fill(Qt::white);
  // Indexes without a symbol, and outside the table, show the row of no symbol.
  for (int index : {0, 95, 100, 195, 200, -3, 201, 5000}) {
    SCOPED_TRACE(index);
    panel.ShowSymbol(index);
    EXPECT_EQ(panel.fr4Text8->Text(), std::to_string(index));
    EXPECT_EQ(panel.fr4Text9->Text(), "\\~  No Symbol ");
    EXPECT_EQ(Shown(), white);
    EXPECT_TRUE(panel.fr4Text10->isHidden());
  }
  // A sheet that is gone, or no picture at all.
  ASSERT_TRUE(QFile::remove(folder.path() + "/ZEBLSYM1.BMP"));
  panel.ShowSymbol(101);
  EXPECT_EQ(panel.fr4Text9->Text(), "\\!  Emergency ");
  EXPECT_EQ(Shown(), white);
  panel.ShowSymbol(1);
  EXPECT_EQ(Shown(), Cell(0, 0, 0));  // read anew at every call
  QFile broken(folder.path() + "/ZEBLSYM1.BMP");
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("BM not a picture");
  broken.close();
  panel.ShowSymbol(116);
  EXPECT_EQ(Shown(), white);
  EXPECT_FALSE(panel.fr4Text10->isHidden());
}

}  // namespace
}  // namespace zeblon::panels
