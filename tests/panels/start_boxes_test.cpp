// The boxes the main window's start-up sets by the start values and the interface
// kind: TX and IGATE in the control column, the chat's answer and input boxes, the
// terminal and the TX setup's SCS-only mode options.
#include <QApplication>
#include <gtest/gtest.h>

#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/tx_setup_panel.h"

namespace zeblon::panels {
namespace {

// With a user call the box is switched on where the values allow it and never
// switched off; without one it takes the values' state.
TEST(StartBoxesTest, TheTxBoxTakesItsCaptionAndIsSwitchedOnOnlyWithAUserCall) {
  struct Case {
    bool userCall, allowed, enabledBefore, enabledAfter;
  };
  for (const Case c : {Case{true, true, false, true}, Case{true, false, true, true}, Case{true, false, false, false},
                       Case{false, false, true, false}, Case{false, true, false, true}}) {
    SCOPED_TRACE(testing::Message() << "user call " << c.userCall << ", allowed " << c.allowed << ", before "
                                    << c.enabledBefore);
    QWidget window;
    ControlColumn column(&window);
    column.Check6->setEnabled(c.enabledBefore);
    links::StartValues start;
    start.userCall = c.userCall;
    start.txBoxCaption = c.userCall ? "TX 10" : "TX !";
    start.txBoxEnabled = c.allowed;
    column.ShowTxBox(start);
    EXPECT_EQ(column.Check6->Caption(), start.txBoxCaption);
    EXPECT_EQ(column.Check6->isEnabled(), c.enabledAfter);
  }
}

TEST(StartBoxesTest, TheIGateBoxShowsTheSwitchOnlyWhereTheIGateIsAllowed) {
  struct Case {
    bool allowed;
    int igateOn, value;
  };
  for (const Case c : {Case{true, 1, 1}, Case{true, 0, 0}, Case{false, 1, 0}, Case{false, 0, 0}}) {
    QWidget window;
    ControlColumn column(&window);
    column.Check15->SetValue(1 - c.value);
    column.ShowIGateBox(c.allowed, c.igateOn);
    EXPECT_EQ(column.Check15->Value(), c.value) << c.allowed << c.igateOn;
    EXPECT_EQ(column.Check15->isEnabled(), c.allowed) << c.allowed << c.igateOn;
  }
}

TEST(StartBoxesTest, TheInterfaceKindAndTheCallDecideTheBoxes) {
  struct Case {
    InterfaceKind kind;
    bool callValid;
    bool txBox, terminal, scsModes, autoAnswer, input;
  };
  const Case cases[] = {
      {InterfaceKind::AgwLocal, true, true, false, false, true, true},
      {InterfaceKind::AgwRemote, true, true, false, false, true, true},
      {InterfaceKind::Pk232, true, true, true, false, true, true},
      {InterfaceKind::ScsTnc, true, true, true, true, true, true},
      {InterfaceKind::ScsPtc, true, true, true, true, true, true},
      {InterfaceKind::NoRadio, true, false, false, false, false, true},
      {InterfaceKind::AgwLocal, false, true, false, false, false, false},
      {InterfaceKind::NoRadio, false, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << ModemNumber(c.kind) << ", call valid " << c.callValid);
    QWidget window;
    ControlColumn column(&window);
    ChatFrame chat(&window);
    TxSetupPanel tx(&window);
    window.show();
    chat.show();
    tx.show();
    int meOnlyClicks = 0;
    chat.Check8->OnClick = [&] { ++meOnlyClicks; };
    column.ApplyInterface(c.kind);
    chat.ApplyInterface(c.kind, c.callValid);
    tx.ShowScsModes(c.kind);
    EXPECT_EQ(column.Check6->isEnabled(), c.txBox);
    EXPECT_EQ(column.Command65->isEnabled(), c.terminal);
    for (int i = 3; i <= 7; ++i) EXPECT_EQ(tx.modeOption[i]->isHidden(), !c.scsModes) << i;
    EXPECT_EQ(chat.Check16->isEnabled(), c.autoAnswer);
    EXPECT_EQ(chat.Check16->isHidden(), !c.autoAnswer);
    for (QWidget* w : {static_cast<QWidget*>(chat.Text2), static_cast<QWidget*>(chat.Text3)}) {
      EXPECT_EQ(w->isEnabled(), c.input);
      EXPECT_EQ(w->isHidden(), !c.input);
    }
    // Without a valid call only the own messages are shown, and the box stays so.
    EXPECT_EQ(chat.Check8->Value(), c.callValid ? 0 : 1);
    EXPECT_EQ(chat.Check8->isEnabled(), c.callValid);
    EXPECT_EQ(meOnlyClicks, c.callValid ? 0 : 1);
  }
}

}  // namespace
}  // namespace zeblon::panels
