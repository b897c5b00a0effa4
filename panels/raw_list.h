// The RAW packet list (List1) at work: the RAW box shows and hides it, CLEAR MONI
// ALL empties the report log with it, a left click opens the INFO panel on the
// station of a line, scrolling holds the main cycle back, and with an SCS TNC the
// right button held on the list switches the TNC for the time being between FSK
// 300 and RPR 300.
#pragma once

#include <QObject>
#include <string>

#include "links/cycle_control.h"
#include "panels/frames.h"
#include "panels/map_actions.h"
#include "reception/reception_state.h"

namespace platform {
class SerialPort;
}

namespace zeblon::panels {

// The station a monitor line names: lines that begin with ")" or ";" or hold a
// "*", at least 12 characters long, whose name ends with "!", "*" or ">" at
// positions 3 … 12; a leading "}", everything up to "cmd:", a leading ")" or ";"
// and the blanks around taken away. "" when the line names none.
std::string RawLineStationName(const std::string& line);

// The INFO panel opened on the newest report of `name` in the report log (its
// state in `st.info`); false, with nothing changed, when the log has none.
bool OpenInfoOnStation(reception::ReceptionState& st, const std::string& name);

// The temporary mode of an SCS TNC by its radio mode: the command on the press,
// the one on the release and the notice. Empty for another mode.
struct TemporaryMode {
  std::string press, release, notice;
};
TemporaryMode TemporaryModeFor(const std::string& radio_mode);

// Where the notice stands: 75 twips right of the pointer and 795 twips above it
// (pointer in twips relative to the list, list edges in pixels).
void TemporaryNoticePlace(int tpp_x, int tpp_y, int list_left, int list_top, int x_twips, int y_twips, int& left,
                          int& top);

// The temporary-mode notice (Frame21 with Label49).
class TemporaryNotice : public PanelFrame {
  Q_OBJECT
 public:
  explicit TemporaryNotice(QWidget* window);
  platform::Label* Label49;
};

// What the list needs of the rest of the program besides the main cycle and the map.
class RawListPort {
 public:
  virtual ~RawListPort() = default;
  // The radio link's interface kind and radio mode, as the settings name them.
  virtual int LinkInterfaceKind() const = 0;
  virtual std::string RadioMode() const = 0;
  // The window shows the INFO panel on the station the reception state's info names.
  virtual void InfoOpened() = 0;
  // The drawing's call lists and counters forgotten.
  virtual void ClearStationDrawing() = 0;
  virtual int TwipsPerPixelX() const = 0;
  virtual int TwipsPerPixelY() const = 0;
};

class RawList : public QObject {
  Q_OBJECT
 public:
  // `reception`: the report log and the INFO panel's state; `port`: MSComm1 (the
  // SCS TNC), or null.
  RawList(platform::ListBox& list1, platform::CheckBox& check3, platform::CommandButton& command3, QWidget& picture1,
          TemporaryNotice& notice, reception::ReceptionState& reception, platform::SerialPort* port,
          links::CycleControl& cycle, MapActions& mapActions, RawListPort& listPort, QObject* parent = nullptr);

  void ShowOrHideRawList();  // Check3, RAW
  // MSComm1 of another radio link (the window's link set anew).
  void SetPort(platform::SerialPort* port) { port_ = port; }
  void ClearMoniAll();                               // Command3, CLR
  void HoldCycleWhileScrolling();                    // List1
  void ListPressed(int button, int x_px, int y_px);  // List1
  void ListMoved(int buttons, int x_px, int y_px);   // List1
  void ListReleased(int button);                     // List1
  int RawWindowShown = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void PlaceNotice(int x_px, int y_px);
  // Timer1 off, set to `interval_ms` and on again.
  void HoldCycleFor(int interval_ms);
  // The link is an SCS TNC: a right press holds the other radio mode.
  bool ScsTncLink() const;
  platform::ListBox& list_;
  QWidget* viewport_ = nullptr;  // the list's, whose mouse events are watched
  platform::CheckBox& check3_;
  QWidget& picture1_;
  TemporaryNotice& notice_;
  reception::ReceptionState& reception_;
  platform::SerialPort* port_;  // MSComm1 (the SCS TNC)
  links::CycleControl& cycle_;
  MapActions& map_actions_;
  RawListPort& list_port_;
};

}  // namespace zeblon::panels
