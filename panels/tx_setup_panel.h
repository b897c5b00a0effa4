// The main window's TX setup panel (Frame4). The start window fills it before START.
#pragma once

#include <array>
#include <string>

#include "panels/frames.h"

namespace zeblon::panels {

class TxSetupPanel : public PanelFrame {
  Q_OBJECT
 public:
  explicit TxSetupPanel(QWidget* window);

  platform::TextBox* fr4Text1;  // SSID
  platform::TextBox* fr4Text2;  // beacon interval or "MANUAL"
  platform::TextBox* fr4Text3;  // destination
  platform::TextBox* fr4Text4;  // VIA path
  std::array<platform::TextBox*, 7> fr4ti{};   // info lines 1 … 6
  std::array<platform::CheckBox*, 7> fr4ta{};  // their ACTIVE boxes, fr4ta1 … fr4ta6
  platform::TextBox* fr4Text10;  // overlay character
  platform::TextBox* fr4Text8;   // symbol number
  platform::TextBox* fr4Text9;   // symbol name
  platform::Label* fr4Label2;
  platform::Label* fr4Label5;
  platform::CommandButton* fr4Command3;  // ABORT
  platform::CommandButton* fr4Command4;  // OK
  platform::Label* Label42;   // SCS TNC TX signal level caption
  platform::TextBox* Text16;  // SCS TNC TX signal level
  platform::CheckBox* Check2;  // HF-DUAL
  std::array<platform::OptionButton*, 8> modeOption{};  // Option3 … Option7 at 3 … 7
};

// The TX timer box's rule: a leading number of 0 (empty or no number included) or
// above 60 gives "MANUAL", a negative one "60"; any other text stays. Returns the
// text the box should hold.
std::string TxTimerBoxText(const std::string& text);

}  // namespace zeblon::panels
