// The main window's left column of controls and the scale bar along the bottom.
#pragma once

#include <QFont>
#include <QFrame>
#include <QWidget>
#include <array>

#include "links/start_values.h"
#include "platform/controls.h"
#include "settings/interface_kind.h"

namespace zeblon::panels {

// The MONI 1 read-outs' font: the program's fixed-pitch QW7_F6 at 10 pixels, six
// pixels a character, so that a 15-character position fits its 98-pixel label and
// the distance line's 33 characters a row the column.
QFont ReadoutFont();

// The distance line's second row and the row of the internet boxes under it put
// the column below them this many pixels lower than the window's design.
inline constexpr int kMoniOneLineDrop = 30;

// The left column: clock and status labels, map navigation, the switches of the
// overlays, TX, chat and IGate, the MONI 1 and MONI ALL display controls and the
// specials (F1 …). The controls lie directly on the window, which places them.
class ControlColumn {
 public:
  explicit ControlColumn(QWidget* window);
  // Both centring options (USER QTH, MONI 1 QTH) cleared: the map follows nothing.
  void UntickCentringOptions();
  // OBJ's caption colour: grey (&H7070) while TX is off, black while it is on.
  void SetObjCaptionGrey(bool grey);
  bool ObjCaptionGrey() const { return obj_caption_grey_; }
  // The separator lines and the labels between them placed for the screen's
  // vertical twips per pixel (their places are designed at 15).
  void ScaleForTwips(int tpp_y);
  // The clock label (Label15): the time, "!" behind it while the clock follows GPS
  // time (`gps_time`), then the radio mode label unless the kind needs none
  // (links::ClockLabelText).
  void ShowClock(int hh, int mm, int interface_kind, const std::string& radio_mode_label, bool gps_time);
  // The TX box at start-up: its caption; with a user call it is switched on (never
  // off) when the start values allow it, without one it takes their state.
  void ShowTxBox(const links::StartValues& start);
  // The IGATE box: enabled and showing `igate_on` where the IGate is allowed, else
  // disabled and off.
  void ShowIGateBox(bool allowed, int igate_on);
  // The boxes by interface kind: no TX box without a radio; the terminal (Command65)
  // with a serial TNC.
  void ApplyInterface(InterfaceKind kind);

  platform::Label *Label1, *Label2, *Label3, *Label4;
  QFrame *Line2, *Line3, *Line4, *Line5;
  platform::Label* Label15;                                                       // clock and radio mode
  platform::CheckBox* Check5;                                                     // Quick Info
  platform::CommandButton *Command1, *Command7, *Command9, *Command8, *Command2;  // << - 1:1 + >>
  platform::OptionButton *Option1, *Option2;                                      // USER QTH, MONI 1 QTH
  platform::CommandButton *Command72, *Command42, *Command43;                     // MAP PAL RESET
  platform::CheckBox* Check14;                                                    // TRK
  platform::ComboBox* Combo1;                                                     // TRK files
  platform::CommandButton* Command73;                                             // POI
  platform::ComboBox* Combo2;                                                     // POI files
  platform::CheckBox *Check4, *Check9, *Check12, *Check1;                         // GRID Fopt PIC TONE
  platform::CheckBox *Check6, *Check18, *Check7;                                  // TX OBJ CHAT
  platform::CommandButton *Command24, *Command25;                                 // SAVED DEL
  platform::CheckBox* Check15;                                                    // IGATE
  platform::ComboBox* Combo9;                                                     // station logs
  platform::CommandButton* Command16;
  platform::Label* Label17;  // MONI 1 display level
  platform::CommandButton* Command17;
  platform::Label *Label6, *Label9, *Label7, *Label8;
  // The comment (Label10) and the distance line (Label11) are as wide as their
  // texts; their frames show the standard width of them and widen under the mouse.
  QFrame *Frame5, *Frame9;
  platform::Label *Label10, *Label11;
  platform::Label* Label12;               // "MONI 1"
  platform::CheckBox *Check22, *Check27;  // internet support, MONI 1 scan
  platform::Label* Label27;
  platform::CommandButton* Command13;
  platform::Label* Label16;                                             // MONI ALL display level
  platform::CommandButton *Command14, *Command3;                        // > CLR
  platform::CheckBox* Check3;                                           // RAW
  platform::CheckBox *Check10, *Check11, *Check13, *Check19, *Check25;  // filters D F M O W
  platform::CheckBox *Check20, *Check21, *Check23, *Check24;            // alarms MONI 1, M ALL, I, D
  platform::Label *Label26, *Label22;
  platform::CommandButton *Command57, *Command65, *Command59, *Command58;  // READ TERM SAVE GE

 private:
  bool obj_caption_grey_ = false;
};

// The scale bar: one map folder combo per scale (Combo3 … Combo8) with its "#" box.
class ScaleBar : public platform::Frame {
  Q_OBJECT
 public:
  explicit ScaleBar(QWidget* window);
  std::array<platform::ComboBox*, 6> combos{};  // M5000 … M0002
  std::array<platform::CheckBox*, 6> marks{};   // Check26(0) … Check26(5)
};

}  // namespace zeblon::panels
