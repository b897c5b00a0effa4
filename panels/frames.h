// The frames of the main window that open over the map: each builds its own
// controls as typed members under their numbered names. Their behaviour lives in
// the modules that own it; these classes are the controls.
#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "platform/controls.h"
#include "settings/interface_kind.h"

namespace zeblon::panels {

// A frame of the main window: it lies over the map, so it paints its background.
class PanelFrame : public platform::Frame {
  Q_OBJECT
 public:
  PanelFrame(QWidget* parent, const char* name, const char* caption, platform::Rect where);
};

// The station INFO panel (Frame1).
class InfoPanel : public PanelFrame {
  Q_OBJECT
 public:
  explicit InfoPanel(QWidget* window);
  platform::CommandButton *Command10, *Command41, *Command11, *Command12, *Command40, *Command23;
  platform::CommandButton* Command18;                                    // delete older
  platform::Label* Label19;                                              // DELETE
  platform::CommandButton* Command19;                                    // delete newer
  platform::CommandButton *Command36, *Command5, *Command6, *Command37;  // |< < > >|
  platform::CommandButton* Command20;                                    // WX: the WX STATION window
};

// The CHAT window (Frame3).
class ChatFrame : public PanelFrame {
  Q_OBJECT
 public:
  explicit ChatFrame(QWidget* window);
  std::array<platform::TextBox*, 8> Text1{};  // Text1(0) … Text1(7), newest at 7
  platform::CheckBox* Check8;                 // ME!
  platform::CommandButton* Command27;
  platform::CheckBox* Check16;  // AUTO-A
  platform::TextBox* Text2;     // addressee
  platform::TextBox* Text3;     // message
  // The addressee and message boxes placed for the screen's horizontal twips per
  // pixel (their places are designed at 15).
  void ScaleForTwips(int tpp_x);
  // No automatic answer without a radio; without a valid own call only the own
  // messages are shown (ME!, fixed) and nothing can be answered or written.
  void ApplyInterface(InterfaceKind kind, bool call_valid);
};

// SAVED MESSAGES (Frame7).
class SavedMessagesPanel : public PanelFrame {
  Q_OBJECT
 public:
  explicit SavedMessagesPanel(QWidget* window);
  platform::TextArea* Text5;
  platform::CommandButton* Command28;
};

// EMERGENCY (Frame14).
class EmergencyPanel : public PanelFrame {
  Q_OBJECT
 public:
  explicit EmergencyPanel(QWidget* window);
  platform::CommandButton* Command39;
  platform::TextBox *Text11, *Text12, *Text13, *Text14;
  platform::CommandButton* Command38;  // MAP
  platform::TextBox* Text15;
};

// The picture viewer (Frame8), on the map.
class PictureViewer : public PanelFrame {
  Q_OBJECT
 public:
  explicit PictureViewer(QWidget* map);
  QWidget* WebBrowser2;
  platform::CommandButton *Command70, *Command29, *Command30, *Command71;  // START < > MAP
};

// TERMINAL (Frame19).
class TerminalPanel : public PanelFrame {
  Q_OBJECT
 public:
  explicit TerminalPanel(QWidget* window);
  platform::Label* Label47;
  platform::TextBox* Text19;           // the command line
  platform::TextArea* Text20;          // what the TNC answers
  platform::CommandButton* Command66;  // CLOSE
};

// USER QTH SETUP (Frame2).
class QthSetupPanel : public PanelFrame {
  Q_OBJECT
 public:
  explicit QthSetupPanel(QWidget* window);
  platform::CommandButton* Command21;  // QTH OK
};

// OBJECT SETUP (Frame11). The symbol picker of the TX setup panel is lent to it
// while it is open, into the place kept free at (SymbolLeft, SymbolTop).
class ObjectSetupPanel : public PanelFrame {
  Q_OBJECT
 public:
  explicit ObjectSetupPanel(QWidget* window);
  static constexpr int SymbolLeft = 8, SymbolTop = 44;
  platform::Label* Label28;                                    // OBJECT NAME
  platform::TextBox* Text7;                                    // the name
  platform::Label* Label41;                                    // TEXT
  platform::TextBox* Text8;                                    // the comment, at most 37 characters
  platform::CommandButton *Command31, *Command32, *Command33;  // DELETE OBJECT, CANCEL, OK
};

// The POI editor.
class PoiEditor : public PanelFrame {
  Q_OBJECT
 public:
  explicit PoiEditor(QWidget* window);
  platform::Label* Label14;
  platform::TextBox* Text4;
  platform::CommandButton *Command67, *Command64, *Command22;  // OPEN LINK, POS= CENTER, CANCEL
  platform::CommandButton* Command26;                          // OK
};

// The ionosphere input (Frame18).
class IonoPanel : public PanelFrame {
  Q_OBJECT
 public:
  explicit IonoPanel(QWidget* window);
  platform::Label* Label46;            // the update's status line
  platform::Label* Label44;            // the two boxes' caption, behind them
  platform::TextBox *Text17, *Text18;  // sunspot number, K index
  platform::CommandButton* Command60;  // OK
};

// Label44's caption as shown in `label`: the sunspot words at its top, the K-index
// words on the lines that end above `k_box_top` (the K box's top in the label).
std::string IonoCaptionShown(const QLabel& label, int k_box_top);

// The TRK file stepping (Frame10).
class TrkPanel : public PanelFrame {
  Q_OBJECT
 public:
  explicit TrkPanel(QWidget* window);
  platform::CommandButton *Command68, *Command69;
};

}  // namespace zeblon::panels
