// The own object's set-up: the entries as the object stores them, the OBJ box's
// rules, OK, DELETE OBJECT and CANCEL on a bare window with the frame, the control
// column and the TX setup panel's symbol picker.
#include "panels/object_setup.h"

#include <QApplication>
#include <gtest/gtest.h>

#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/tx_setup_panel.h"

namespace zeblon::panels {
namespace {

TEST(TakeObjectEntries, NameTextSymbolAndOverlay) {
  struct Case {
    ObjectEntries in;
    const char* name;
    const char* text;
    int symbol;
    const char* overlay;
    bool refused;
  };
  const Case cases[] = {
      {{"abc", " camp ", "62", ""}, "ABC      ", "camp", 62, "", false},
      {{"fieldday2024", "", "103", "a"}, "FIELDDAY2", "", 103, "A", false},  // twelve characters keep nine
      {{"   ", "x", "103", " xy "}, "", "x", 103, "Y", false},               // blanks: no name; the last character
      {{"a\tb", "line\x01one", "174", "\x1b"}, "A_B      ", "line_one", 174, "_", false},
      {{"abc", "", "abc", ""}, "ABC      ", "", 0, "", true},
      {{"abc", "", "95", ""}, "ABC      ", "", 95, "", true},  // 95 … 100 are no symbols
      {{"abc", "", "1e9", ""}, "ABC      ", "", 32767, "", true},
      {{"abc", "", "-3", ""}, "ABC      ", "", -3, "", true},
      {{"abc", "", " 194 ", ""}, "ABC      ", "", 194, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in.name + "|" + c.in.symbol);
    const ObjectTaken t = TakeObjectEntries(c.in);
    EXPECT_EQ(t.name, c.name);
    EXPECT_EQ(t.text, c.text);
    EXPECT_EQ(t.symbolIndex, c.symbol);
    EXPECT_EQ(t.overlay, c.overlay);
    EXPECT_EQ(!t.refusal.empty(), c.refused);
    if (c.refused) {
      EXPECT_EQ(t.refusal, "APRS SYMBOL MUST BE 1 ... 94 OR 101 ... 194 !");
    }
  }
}

// The frame on a bare window; the fake window counts what the main window would do.
class ObjectSetupTest : public ::testing::Test, public links::CycleControl, public MapActions, public ObjectSetupPort {
 protected:
  ObjectSetupTest() : column(&window), frame(&window), picker(&window) {
    settings.CentreNorth = 6580.5;
    settings.CentreEast = 401.25;
    settings.ObjectSymbolIndex = 37;
    setup = std::make_unique<ObjectSetup>(frame, picker, column, settings, *this, *this, *this);
    column.Check6->SetValue(1);
  }
  void Type(const std::string& name, const std::string& text, const std::string& symbol, const std::string& overlay) {
    frame.Text7->SetText(name);
    frame.Text8->SetText(text);
    picker.fr4Text8->SetText(symbol);
    picker.fr4Text10->SetText(overlay);
  }
  // OBJ clicked: the click toggles the box, then its mouse-up runs.
  void ClickObj() {
    column.Check18->SetValue(column.Check18->Value() == 1 ? 0 : 1);
    column.Check18->OnMouseUp(1);
  }

  QWidget window;
  ControlColumn column;
  ObjectSetupPanel frame;
  TxSetupPanel picker;
  Settings settings;
  bool timersOn = true;
  int drawings = 0, writes = 0, dues = 0, centrings = 0;
  std::vector<std::string> refusals;
  std::unique_ptr<ObjectSetup> setup;

 private:
  // The set-up holds both timers and starts Timer1 again; nothing else of the cycle.
  void StopCycle() override { ADD_FAILURE() << "StopCycle"; }
  void StartCycle() override { timersOn = true; }
  void HoldCycle() override { timersOn = false; }
  void ArmPause(int) override { ADD_FAILURE() << "ArmPause"; }
  void StopWatchdog() override { ADD_FAILURE() << "StopWatchdog"; }
  int CycleInterval() const override { return 6000; }
  void SetCycleInterval(int) override { ADD_FAILURE() << "SetCycleInterval"; }
  void DrawMap() override { ++drawings; }
  bool WindowActive() const override { return true; }
  // The set-up neither focuses, closes the viewer, clears the options nor centres
  // the map by itself: the window's CentreOnObject does that.
  void FocusMapWhenActive() override { ADD_FAILURE() << "FocusMapWhenActive"; }
  void ClosePictureViewer() override { ADD_FAILURE() << "ClosePictureViewer"; }
  void ClearCentreOptions() override { ADD_FAILURE() << "ClearCentreOptions"; }
  void CentreMapOn(double, double) override { ADD_FAILURE() << "CentreMapOn"; }
  void WriteSettings() override { ++writes; }
  void MakeObjectDue() override { ++dues; }
  void CentreOnObject() override { ++centrings; }
  void Refuse(const std::string& t) override { refusals.push_back(t); }
  int MapLeft() const override { return 200; }
};

TEST_F(ObjectSetupTest, OpenOkAndTheObjBox) {
  const QRect pictureAtHome = picker.fr4Picture1->geometry();
  const QPoint pictureBesideBack = pictureAtHome.topLeft() - picker.fr4Command1->pos();
  // Without an object, OBJ does not stay ticked and the map does not move.
  ClickObj();
  EXPECT_EQ(column.Check18->Value(), 0);
  EXPECT_EQ(setup->ObjectBeaconOn(), 0);
  column.Check18->OnMouseUp(2);
  EXPECT_FALSE(frame.isHidden());
  EXPECT_EQ(frame.x(), 200);
  EXPECT_FALSE(timersOn);
  EXPECT_EQ(centrings, 0);
  EXPECT_EQ(picker.fr4Text8->Text(), "37");
  // The picker lies in the frame while it is open, its picture in its place.
  EXPECT_EQ(picker.fr4Text8->parentWidget(), &frame);
  EXPECT_EQ(picker.fr4Command2->parentWidget(), &frame);
  EXPECT_EQ(picker.fr4Picture1->parentWidget(), &frame);
  EXPECT_EQ(picker.fr4Picture1->pos() - picker.fr4Command1->pos(), pictureBesideBack);
  EXPECT_TRUE(frame.rect().contains(picker.fr4Picture1->geometry()));

  Type("  abc", " Club QTH ", "103", "a");
  frame.Command33->click();
  EXPECT_TRUE(frame.isHidden());
  EXPECT_TRUE(timersOn);
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(settings.ObjectName, "ABC      ");
  EXPECT_EQ(settings.ObjectText, "Club QTH");
  EXPECT_EQ(settings.ObjectSymbolIndex, 103);
  EXPECT_EQ(settings.ObjectOverlay, "A");
  EXPECT_EQ(settings.ObjectNorth, 6580.5);
  EXPECT_EQ(settings.ObjectEast, 401.25);
  EXPECT_EQ(dues, 0);  // OBJ unticked: the timing is not touched
  EXPECT_EQ(picker.fr4Text8->parentWidget(), &picker);
  EXPECT_EQ(picker.fr4Picture1->parentWidget(), &picker);
  EXPECT_EQ(picker.fr4Picture1->geometry(), pictureAtHome);

  // With a name OBJ switches the object on and makes it due at once.
  ClickObj();
  EXPECT_EQ(column.Check18->Value(), 1);
  EXPECT_EQ(setup->ObjectBeaconOn(), 1);
  EXPECT_EQ(dues, 1);
  // Opening with an object centres the map on it; OK makes the changed object due.
  column.Check18->OnMouseUp(2);
  EXPECT_EQ(centrings, 1);
  EXPECT_EQ(frame.Text7->Text(), "ABC      ");
  EXPECT_EQ(picker.fr4Text10->Text(), "A");
  frame.Text8->SetText("moved");
  frame.Command33->click();
  EXPECT_EQ(dues, 2);
  EXPECT_EQ(settings.ObjectText, "moved");

  // TX off (greyed OBJ or not): a click leaves it unticked.
  column.Check18->SetValue(0);
  setup->StopBeacon();
  column.Check6->SetValue(0);
  ClickObj();
  EXPECT_EQ(column.Check18->Value(), 0);
  column.Check6->SetValue(1);
  column.SetObjCaptionGrey(true);
  ClickObj();
  EXPECT_EQ(column.Check18->Value(), 0);
  EXPECT_EQ(setup->ObjectBeaconOn(), 0);
  EXPECT_EQ(dues, 2);
}

TEST_F(ObjectSetupTest, BadSymbolNumberIsToldAndNothingTaken) {
  settings.ObjectName = "OLD      ";
  column.Check18->OnMouseUp(2);
  for (const char* bad : {"", "x", "99", "70000"}) {
    Type("new", "text", bad, "");
    frame.Command33->click();
    EXPECT_FALSE(frame.isHidden()) << bad;
    EXPECT_FALSE(timersOn);
  }
  EXPECT_EQ(refusals.size(), 4u);
  EXPECT_EQ(writes, 0);
  EXPECT_EQ(settings.ObjectName, "OLD      ");
  EXPECT_EQ(settings.ObjectSymbolIndex, 37);
  // Corrected, it is taken.
  picker.fr4Text8->SetText("62");
  frame.Command33->click();
  EXPECT_TRUE(frame.isHidden());
  EXPECT_EQ(settings.ObjectName, "NEW      ");
  EXPECT_EQ(settings.ObjectSymbolIndex, 62);
}

TEST_F(ObjectSetupTest, DeleteOkWithoutNameAndCancel) {
  settings.ObjectName = "HOME     ";
  settings.ObjectText = "kept";
  ClickObj();  // OBJ on with the name: the object is transmitted
  ASSERT_EQ(setup->ObjectBeaconOn(), 1);

  // CANCEL after typing: the boxes show the stored object again, nothing stored.
  column.Check18->OnMouseUp(2);
  Type("other", "typed", "62", "");
  frame.Command32->click();
  EXPECT_TRUE(frame.isHidden());
  EXPECT_TRUE(timersOn);
  EXPECT_EQ(frame.Text7->Text(), "HOME     ");
  EXPECT_EQ(frame.Text8->Text(), "kept");
  EXPECT_EQ(settings.ObjectSymbolIndex, 37);
  EXPECT_EQ(writes, 0);

  // OK with the name cleared while OBJ is ticked: the object goes as with DELETE OBJECT.
  column.Check18->OnMouseUp(2);
  Type("   ", "new text", "174", "");
  frame.Command33->click();
  EXPECT_TRUE(frame.isHidden());
  EXPECT_EQ(settings.ObjectName, "");
  EXPECT_EQ(column.Check18->Value(), 0);
  EXPECT_EQ(setup->ObjectBeaconOn(), 0);
  EXPECT_EQ(settings.ObjectText, "new text");
  EXPECT_EQ(settings.ObjectSymbolIndex, 174);
  EXPECT_EQ(writes, 1);
  // OBJ cannot be ticked again without a name.
  ClickObj();
  EXPECT_EQ(column.Check18->Value(), 0);

  // DELETE OBJECT keeps the frame's text, symbol and the centre but no name; a
  // symbol number outside the table is not stored.
  settings.ObjectName = "HOME     ";
  ClickObj();  // OBJ on with the name: the object is transmitted
  ASSERT_EQ(setup->ObjectBeaconOn(), 1);
  settings.CentreNorth = 6600;
  column.Check18->OnMouseUp(2);
  Type("HOME", "deleted", "500", "");
  frame.Command31->click();
  EXPECT_TRUE(frame.isHidden());
  EXPECT_TRUE(timersOn);
  EXPECT_EQ(settings.ObjectName, "");
  EXPECT_EQ(settings.ObjectText, "deleted");
  EXPECT_EQ(settings.ObjectSymbolIndex, 174);
  EXPECT_EQ(settings.ObjectNorth, 6600);
  EXPECT_EQ(column.Check18->Value(), 0);
  EXPECT_EQ(setup->ObjectBeaconOn(), 0);
  EXPECT_TRUE(refusals.empty());
}

TEST_F(ObjectSetupTest, TypingHoldsTheCycle) {
  column.Check18->OnMouseUp(2);
  frame.Command32->click();
  ASSERT_TRUE(timersOn);
  frame.show();
  frame.Text7->OnClick();
  EXPECT_FALSE(timersOn);
  timersOn = true;
  frame.Text8->KeyDown('A', 0);
  EXPECT_FALSE(timersOn);
}

}  // namespace
}  // namespace zeblon::panels
