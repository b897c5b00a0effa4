// The main window's TX setup panel (Frame4, "TX SETUP / APRS PARAMETERS"). The
// start window fills it before START; the TX switch's right click opens it filled
// from the settings; its controls keep one another consistent by the rules of
// links/tx_setup.h; OK and ABORT are the window's (OnOk, OnAbort).
#pragma once

#include <QPoint>
#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "links/tx_setup.h"
#include "panels/frames.h"

namespace zeblon::panels {

class TxSetupPanel : public PanelFrame {
  Q_OBJECT
 public:
  // The symbol sheets are read from the program folder.
  explicit TxSetupPanel(QWidget* window, std::filesystem::path programFolder = {});

  platform::Label* fr4Label1;
  platform::TextBox* fr4Text1;  // SSID
  platform::Label* fr4Label2;
  platform::TextBox* fr4Text2;               // beacon interval or "MANUAL"
  platform::CommandButton *fr4C21, *fr4C22;  // timer > <
  platform::TextBox* fr4Text3;               // destination
  platform::Label* fr4Label4;
  platform::TextBox* fr4Text4;                           // VIA path
  platform::CommandButton* Command44;                    // CLEAR
  std::array<platform::CommandButton*, 7> presets{};     // Command45 … Command50 at 1 … 6
  std::array<platform::CommandButton*, 5> pathMemory{};  // Command54, 55, 56, 61 at 1 … 4
  platform::Label* fr4Label5;
  std::array<platform::TextBox*, 7> fr4ti{};        // info lines 1 … 6
  std::array<platform::CheckBox*, 7> fr4ta{};       // their ACTIVE boxes, fr4ta1 … fr4ta6
  std::array<platform::CommandButton*, 7> fr4tm{};  // info memories M1 … M6
  platform::Label* Label43;
  platform::Label* fr4Label7;
  platform::CommandButton *fr4Command1, *fr4Command2;  // symbol < >
  platform::PictureBox* fr4Picture1;                   // symbol picture, 22 x 22
  platform::TextBox* fr4Text8;                         // symbol number
  platform::TextBox* fr4Text9;                         // symbol name
  platform::TextBox* fr4Text10;                        // overlay character
  platform::Label* Label40;
  platform::CheckBox* Check33;                          // TX TIMESTAMP (GPS)
  platform::CheckBox* Check32;                          // DIGI
  std::array<platform::OptionButton*, 8> modeOption{};  // Option3 … Option7 at 3 … 7
  platform::Frame* Frame20;
  platform::TextBox* Text6;                        // second mode
  platform::CheckBox* Check2;                      // HF-DUAL
  platform::CommandButton *Command51, *Command52;  // second mode < >
  platform::Label* Label42;                        // SCS TX signal level caption
  platform::TextBox* Text16;                       // SCS TX signal level
  platform::CommandButton* fr4Command3;            // ABORT
  platform::CommandButton* fr4Command4;            // OK

  // The panel's values and their writing back (the opening, and the rules).
  links::TxPanelValues Values() const;
  void Show(const links::TxPanelValues& v);
  // The start window's OK hands over what its panel holds: HF-DUAL, SSID, timer,
  // destination, path, the info lines and the symbol boxes, as typed.
  void TakeHandOver(const links::TxPanelValues& v);

  // Pending path memories (right clicks), 1 … 4; OK takes them.
  std::array<std::string, 5> PathMemoryEdits;
  // The info line that lost the focus last (1 … 6; 0 none yet).
  int LastInfoLineIndex = 0;
  // Press-and-hold: 0 while a repetition runs; a release stores the button's number.
  int ButtonHeld = 0;

  std::function<void()> OnOk;
  std::function<void()> OnAbort;
  // The symbol in hand is about to be shown (the window stops its timers first;
  // they stay off).
  std::function<void(int symbol_index)> OnSymbolShown;

  // The picker shows a symbol index: its number, code and name, its picture cut
  // from the symbol sheet, and for a symbol that takes one the overlay box (given
  // the focus) with its character printed over the picture; for any other symbol
  // the overlay box hides and keeps its text. An index outside the table shows
  // the row of no symbol; a missing sheet leaves the picture white.
  void ShowSymbol(int symbol_index);

  // The symbol picker (its caption, the < > buttons, the picture, the number,
  // overlay and name boxes) lent to another frame while that frame is open, its top left corner at
  // (left, top) there; TakeBackSymbolPicker puts it back in this panel.
  void LendSymbolPicker(QWidget* host, int left, int top);
  void TakeBackSymbolPicker();

 private:
  void Apply(void (*rule)(links::TxPanelValues&));
  void Hold(const std::function<void()>& step);
  void InfoMemoryUp(int i, int button);
  std::array<QWidget*, 7> PickerControls() const;
  std::filesystem::path program_folder_;
  QPoint lent_shift_;  // how far the lent picker was moved
};

// The TX timer box's rule: a leading number of 0 (empty or no number included) or
// above 60 gives "MANUAL", a negative one "60"; any other text stays. Returns the
// text the box should hold.
std::string TxTimerBoxText(const std::string& text);

}  // namespace zeblon::panels
