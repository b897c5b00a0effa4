// The TX setup panel (Frame4, "TX SETUP / APRS PARAMETERS") of both windows. Its
// controls keep one another consistent by the rules of links/tx_setup.h; OK and
// ABORT are the window's (OnOk, OnAbort), and Take says what an OK stores.
//
// The two windows lay the panel out differently and keep their own object names
// (Layout): the main window's panel opens from the TX switch's right click and
// refuses values out of range at OK; the start window's panel covers the start
// window, cleans the values at OK, and hands what it holds to the main window's
// panel (TakeHandOver). Controls of the other layout stay null.
#pragma once

#include <QPoint>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "links/tx_setup.h"
#include "panels/frames.h"
#include "reception/symbol_table.h"
#include "settings/interface_kind.h"

namespace zeblon::panels {

class TxSetupPanel : public PanelFrame {
  Q_OBJECT
 public:
  enum class Layout { MainWindow, StartWindow };

  // The symbol sheets are read from the program folder.
  explicit TxSetupPanel(QWidget* window, std::filesystem::path programFolder = {}, Layout layout = Layout::MainWindow);

  platform::Frame* Frame4 = this;  // the panel itself, by its object name

  // --- Controls of both layouts.
  platform::Label* fr4Label1;
  platform::TextBox* fr4Text1;  // SSID
  platform::Label* fr4Label2;
  platform::TextBox* fr4Text2;               // beacon interval or "MANUAL"
  platform::CommandButton *fr4C21, *fr4C22;  // timer up, down ("> <", start: "+ -")
  platform::TextBox* fr4Text3;               // destination
  platform::Label* fr4Label4;
  platform::TextBox* fr4Text4;                           // VIA path
  std::array<platform::CommandButton*, 7> presets{};     // Command45 … Command50 (start: Command8 … 13) at 1 … 6
  std::array<platform::CommandButton*, 5> pathMemory{};  // Command54, 55, 56, 61 (start: 17, 18, 19, 21) at 1 … 4
  platform::Label* fr4Label5;
  std::array<platform::TextBox*, 7> fr4ti{};        // info lines 1 … 6
  std::array<platform::CheckBox*, 7> fr4ta{};       // their ACTIVE boxes, fr4ta1 … fr4ta6
  std::array<platform::CommandButton*, 7> fr4tm{};  // info memories M1 … M6
  platform::Label* fr4Label7;
  platform::CommandButton *fr4Command1, *fr4Command2;  // symbol < >
  platform::PictureBox* fr4Picture1;                   // symbol picture, 22 x 22
  platform::TextBox* fr4Text8;                         // symbol number
  platform::TextBox* fr4Text9;                         // symbol name
  platform::TextBox* fr4Text10;                        // overlay character
  platform::CommandButton* fr4Command3;                // ABORT
  platform::CommandButton* fr4Command4;                // OK

  // --- Controls of the main window's layout.
  platform::CommandButton* Command44 = nullptr;         // CLEAR
  platform::Label* Label43 = nullptr;                   // the memories' hint
  platform::Label* Label40 = nullptr;                   // the emergency symbol's warning
  platform::CheckBox* Check33 = nullptr;                // TX TIMESTAMP (GPS)
  platform::CheckBox* Check32 = nullptr;                // DIGI
  std::array<platform::OptionButton*, 8> modeOption{};  // Option3 … Option7 at 3 … 7
  platform::Frame* Frame20 = nullptr;
  platform::TextBox* Text6 = nullptr;                                  // second mode
  platform::CheckBox* Check2 = nullptr;                                // HF-DUAL
  platform::CommandButton *Command51 = nullptr, *Command52 = nullptr;  // second mode < >
  platform::Label* Label42 = nullptr;                                  // SCS TX signal level caption
  platform::TextBox* Text16 = nullptr;                                 // SCS TX signal level

  // --- Controls of the start window's layout.
  platform::CommandButton* Command7 = nullptr;  // CLEAR
  platform::Label* Label19 = nullptr;           // the memories' hint
  platform::Label* Label16 = nullptr;           // the emergency symbol's warning
  platform::TextBox* Text11 = nullptr;          // SCS TX level
  platform::CheckBox* Check9 = nullptr;         // IGATE
  platform::CheckBox* Check3 = nullptr;         // DIGI
  platform::CheckBox* Check4 = nullptr;         // HF-DUAL
  platform::CheckBox* Check6 = nullptr;         // HF-TX-AFC
  platform::CheckBox* Check7 = nullptr;         // TX TIMESTAMP (GPS)
  platform::OptionButton* Option7 = nullptr;    // 300
  platform::OptionButton* Option8 = nullptr;    // 1200
  platform::OptionButton* Option12 = nullptr;   // R300
  platform::OptionButton* Option18 = nullptr;   // 9600
  platform::OptionButton* Option19 = nullptr;   // 19200
  platform::Frame* Frame3 = nullptr;            // the second mode
  platform::OptionButton* Option14 = nullptr;   // NONE
  platform::OptionButton* Option15 = nullptr;   // R300
  platform::OptionButton* Option16 = nullptr;   // 300
  platform::OptionButton* Option17 = nullptr;   // 1200
  platform::OptionButton* Option20 = nullptr;   // 9600
  platform::OptionButton* Option21 = nullptr;   // 19200
  platform::Label* Label14 = nullptr;           // the packet engine's digipeater hint
  platform::Label* Label17 = nullptr;           // the TX level caption

  // The panel's values, and their writing back (the main window's opening and the rules).
  links::TxPanelValues Values() const;
  void Show(const links::TxPanelValues& v);

  // What OK takes into the settings from `old`: the main window's panel refuses
  // values out of range (links::TakeTxPanel), the start window's cleans them
  // (links::CleanTxPanel) and never refuses. The IGate box is the caller's.
  links::TxSetupOk Take(const Settings& old, bool igate_enabled, int igate_value) const;

  // The start window's opening: the panel covers the window, its boxes from the
  // settings as the interface kind shows them; the IGATE box ticked only for a
  // call that may gate.
  void OpenFromSettings(const Settings& s, bool igate_call_ok);
  // The start window's radio mode options: the stored mode selected, the SCS-only
  // modes enabled with the SCS kinds (Fill), or offered for a newly chosen
  // interface kind, falling back to 300 where the chosen mode is not offered.
  void ShowRadioMode(const Settings& s);
  void OfferRadioModesFor(InterfaceKind kind);
  // The main window's panel: the SCS-only modes' options (3 … 7) shown with the SCS kinds.
  void ShowScsModes(InterfaceKind kind);

  // The parts a hand-over from the start window carries; each takes the value as
  // the given values hold it.
  enum HandOverPart : unsigned {
    kHandHfDual = 1u << 0,          // the HF-DUAL box
    kHandTxBoxes = 1u << 1,         // SSID, timer, destination, path
    kHandFirstInfoLine = 1u << 2,   // info line 1
    kHandOtherInfoLines = 1u << 3,  // info lines 2 … 6
    kHandInfoActive = 1u << 4,      // the ACTIVE boxes
    kHandSymbol = 1u << 5,          // the symbol number
    kHandSymbolName = 1u << 6,      // the symbol's code and name
    kHandOverlay = 1u << 7,         // the overlay character
    kHandTxLevelShown = 1u << 8,    // the SCS TX level box and its caption shown
    // What the start window's OK hands over: HF-DUAL, SSID, timer, destination,
    // path, the info lines and the symbol boxes, as typed.
    kHandOk = kHandHfDual | kHandTxBoxes | kHandFirstInfoLine | kHandOtherInfoLines | kHandSymbol | kHandSymbolName |
              kHandOverlay,
  };
  void TakeHandOver(const links::TxPanelValues& v, unsigned parts = kHandOk);
  // The captions the language sets (timer and info-line captions, ABORT, OK), as
  // the other panel shows them.
  void TakeCaptions(const TxSetupPanel& from);

  // Pending path memories (right clicks), 1 … 4; OK takes them.
  std::array<std::string, 5> PathMemoryEdits;
  // The path memory n (1 … 4) of the window's settings (TXPM1 … TXPM4), which a
  // left click on M n recalls unless a right click left one pending.
  std::function<std::string(int n)> StoredPathMemory;
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
  // the row of no symbol (the start window's picker: an empty row, as for the
  // unused rows 0, 95 … 100 and 195 … 200); a missing sheet leaves the picture white.
  void ShowSymbol(int symbol_index);
  // The picker's row of a symbol index.
  std::string_view SymbolRow(int symbol_index) const;
  // The symbol the start window's picker holds (its steppers move it), and its
  // setting back without a redraw (ABORT: the number box shows it at once, the
  // picture with the next overlay change).
  int PickedSymbol() const { return picked_symbol_; }
  void RestorePickedSymbol(int symbol_index);

  // The symbol picker (its caption, the < > buttons, the picture, the number,
  // overlay and name boxes) lent to another frame while that frame is open, its top left corner at
  // (left, top) there; TakeBackSymbolPicker puts it back in this panel.
  void LendSymbolPicker(QWidget* host, int left, int top);
  void TakeBackSymbolPicker();

 private:
  void BuildMainLayout();
  void BuildStartLayout();
  void ConnectCommonRules();
  void ConnectMainRules();
  void ConnectStartRules();
  links::TxPanelValues MainValues() const;
  links::TxPanelValues StartValues() const;
  void Apply(void (*rule)(links::TxPanelValues&));
  // The start window's mode options with the modes they stand for, and a mode
  // rule run on its mode boxes, the path and the timer.
  std::array<std::pair<const char*, platform::OptionButton*>, 5> RadioModeOptions() const;
  std::array<std::pair<const char*, platform::OptionButton*>, 6> CrossModeOptions() const;
  void ApplyModeRule(const std::function<void(links::TxPanelValues&)>& rule);
  void Hold(const std::function<void()>& step);
  void InfoMemoryUp(int i, int button);
  int SymbolInHand() const;
  // ShowSymbol without writing the number box or moving the focus.
  void PreviewSymbol(int symbol_index);
  std::array<QWidget*, 7> PickerControls() const;
  Layout layout_;
  std::filesystem::path program_folder_;
  reception::SymbolTable picker_rows_;  // the start window's picker: the unused rows empty
  int picked_symbol_ = 0;
  bool applying_mode_rule_ = false;
  QPoint lent_shift_;  // how far the lent picker was moved
};

// The TX timer box's rule: a leading number of 0 (empty or no number included) or
// above 60 gives "MANUAL", a negative one "60"; any other text stays. Returns the
// text the box should hold.
std::string TxTimerBoxText(const std::string& text);

}  // namespace zeblon::panels
