// The path memory buttons of a TX setup panel as the user clicks them: a right
// click stores the path box, a left click recalls the window's stored memory or,
// when a right click left one, the pending path. Both windows' panels go
// through the same clicks.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "panels/tx_setup_panel.h"
#include "tests/support/mouse.h"

namespace zeblon::testing_support {

// Memory 2 holds `stored` (TXPM2) when the panel opens. Returns the path that
// OK should store as TXPM2.
inline std::string ClickPathMemoryTwo(panels::TxSetupPanel& tx, const std::string& stored) {
  QWidget& m2 = *tx.pathMemory[2];
  const struct {
    const char* path;  // the path box before the click
    Qt::MouseButton button;
    const char* pathAfter;
    const std::string tooltipAfter;
  } steps[] = {
      // A right click on an empty box empties the tooltip; the left click still recalls the stored memory.
      {"", Qt::RightButton, "", ""},
      {"", Qt::LeftButton, stored.c_str(), ""},
      {"WIDE1-1", Qt::LeftButton, stored.c_str(), ""},
      // A path stored by a right click is what the left click recalls from then on.
      {" wide2-2 ", Qt::RightButton, " wide2-2 ", "WIDE2-2"},
      {"", Qt::LeftButton, "WIDE2-2", "WIDE2-2"},
      // The middle button does nothing.
      {"RELAY", Qt::MiddleButton, "RELAY", "WIDE2-2"},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(std::string("path '") + s.path + "' button " + std::to_string(s.button));
    tx.fr4Text4->SetText(s.path);
    ClickWith(m2, s.button);
    EXPECT_EQ(tx.fr4Text4->Text(), s.pathAfter);
    EXPECT_EQ(m2.toolTip().toStdString(), s.tooltipAfter);
  }
  return "WIDE2-2";
}

}  // namespace zeblon::testing_support
