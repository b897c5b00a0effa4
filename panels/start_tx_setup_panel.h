// The start window's TX setup panel (Frame4, "TX SETUP / APRS PARAMETERS"): its
// controls, and the mode rules of links/tx_setup.h run on them. It covers the whole
// start window while open; the window fills it and handles OK, ABORT, the path and
// info memories, the timer and the symbol picker.
#pragma once

#include <array>
#include <functional>
#include <utility>

#include "links/tx_setup.h"
#include "platform/controls.h"

namespace zeblon::panels {

class StartTxSetupPanel : public platform::Frame {
 public:
  explicit StartTxSetupPanel(QWidget* window);

  platform::Frame* Frame4 = this;  // the panel itself, by its object name

  platform::TextBox* fr4Text1 = nullptr;                 // SSID
  platform::TextBox* fr4Text2 = nullptr;                 // TX timer
  platform::TextBox* fr4Text3 = nullptr;                 // destination
  platform::TextBox* fr4Text4 = nullptr;                 // VIA path
  std::array<platform::TextBox*, 7> fr4ti{};             // info lines 1 … 6
  std::array<platform::CheckBox*, 7> fr4ta{};            // their ACTIVE boxes
  std::array<platform::CommandButton*, 7> fr4tm{};       // info-line memories M1 … M6
  platform::TextBox* fr4Text8 = nullptr;                 // the picker's symbol index
  platform::TextBox* fr4Text9 = nullptr;                 // the picker's code and name
  platform::PictureBox* fr4Picture1 = nullptr;           // the picker's 22 x 22 preview
  platform::TextBox* fr4Text10 = nullptr;                // overlay character
  platform::CommandButton* fr4Command1 = nullptr;        // symbol back
  platform::CommandButton* fr4Command2 = nullptr;        // symbol forward
  platform::CommandButton* fr4C21 = nullptr;             // TX timer up
  platform::CommandButton* fr4C22 = nullptr;             // TX timer down
  platform::TextBox* Text11 = nullptr;                   // SCS TX level
  platform::CheckBox* Check9 = nullptr;                  // IGATE
  platform::CheckBox* Check3 = nullptr;                  // DIGI
  platform::CheckBox* Check4 = nullptr;                  // HF-DUAL
  platform::CheckBox* Check6 = nullptr;                  // HF-TX-AFC
  platform::CheckBox* Check7 = nullptr;                  // TX TIMESTAMP (GPS)
  platform::OptionButton* Option7 = nullptr;             // 300
  platform::OptionButton* Option8 = nullptr;             // 1200
  platform::OptionButton* Option12 = nullptr;            // R300
  platform::OptionButton* Option18 = nullptr;            // 9600
  platform::OptionButton* Option19 = nullptr;            // 19200
  platform::Frame* Frame3 = nullptr;                     // the second mode
  platform::OptionButton* Option14 = nullptr;            // NONE
  platform::OptionButton* Option15 = nullptr;            // R300
  platform::OptionButton* Option16 = nullptr;            // 300
  platform::OptionButton* Option17 = nullptr;            // 1200
  platform::OptionButton* Option20 = nullptr;            // 9600
  platform::OptionButton* Option21 = nullptr;            // 19200
  std::array<platform::CommandButton*, 7> presets{};     // Command8 … Command13 at 1 … 6
  platform::CommandButton* Command7 = nullptr;           // CLEAR
  std::array<platform::CommandButton*, 5> pathMemory{};  // Command17, 18, 19, 21 at 1 … 4
  platform::Label* fr4Label2 = nullptr;
  platform::Label* fr4Label5 = nullptr;
  platform::Label* fr4Label7 = nullptr;
  platform::Label* Label14 = nullptr;
  platform::Label* Label16 = nullptr;
  platform::Label* Label17 = nullptr;              // the TX level caption
  platform::Label* Label19 = nullptr;              // the memories' hint
  platform::CommandButton* fr4Command3 = nullptr;  // ABORT
  platform::CommandButton* fr4Command4 = nullptr;  // OK

  // The panel's controls as the values of links/tx_setup.h: what OK stores and
  // hands to the main window.
  links::TxPanelValues TxValues() const;

 private:
  // The mode options with the modes they stand for, and a mode rule run on the
  // mode boxes, the path and the timer.
  std::array<std::pair<const char*, platform::OptionButton*>, 5> RadioModeOptions() const;
  std::array<std::pair<const char*, platform::OptionButton*>, 6> CrossModeOptions() const;
  void ApplyModeRule(const std::function<void(links::TxPanelValues&)>& rule);
  void SelectFastMode();
  bool applying_mode_rule_ = false;
};

}  // namespace zeblon::panels
