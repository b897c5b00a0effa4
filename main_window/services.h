// What the main window's start-up and shutdown call of the subsystems built on top
// of the shell (map display, radio links). Each is a small interface over the parts
// of the window it works on; the window starts with its map service and the minimal
// radio link below, which does the least the shell needs until a real link replaces it.
#pragma once

#include <QLabel>
#include <functional>
#include <string>

#include "links/gps_reader.h"
#include "main_window/computer_clock.h"
#include "main_window/window_state.h"
#include "map/map_display.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "reception/reception_host.h"
#include "reception/reception_state.h"
#include "settings/settings.h"

namespace zeblon {

// What the map display works on.
struct MapContext {
  Settings* settings = nullptr;         // read: folders, object, ionosphere values; kept: centre and user position
  map::MapDisplay* map = nullptr;       // the one map state with its named changes
  panels::ScaleBar* scales = nullptr;   // the map folder of each scale
  QLabel* picture = nullptr;            // the map picture box
  shell::OwnFiles* ownFiles = nullptr;  // index and temporary files to delete at shutdown
  std::function<std::string()> appFolder;
  std::function<std::string()> tempFolder;
  std::function<bool(const std::string& path)> openDocument;
  // Every completed drawing ends here: the pointers reset, Timer1 on.
  std::function<void()> drawingDone;
  // The map's controls and what the handlers read besides the map.
  panels::ControlColumn* column = nullptr;
  panels::QthSetupPanel* qth = nullptr;
  panels::InfoPanel* info = nullptr;  // its MAP button shows whether the map is tied to the list
  QWidget* inkFrame = nullptr;        // Frame17: the palette inks
  std::array<platform::OptionButton*, 16> inks{};
  PanelState* panels = nullptr;                          // the TRK and POI lines, the MONI 1 station
  ShellState* shell = nullptr;                           // twips per pixel, the tone switch
  const reception::ReceptionState* reception = nullptr;  // the store counts for the gauges
  std::function<std::string()> settingsPath;
  std::function<void()> applyTexts;
  std::function<bool()> windowActive;
  std::function<void(bool on)> toneSwitched;  // the tone box (Check1) changed ToneOn
  // The map tools: the frames they open, the main cycle's pause, the settings
  // file, the INFO panel for a station found by a right click.
  panels::PictureViewer* viewer = nullptr;
  panels::PoiEditor* poiEditor = nullptr;
  panels::TrkPanel* trkPanel = nullptr;
  std::function<void(int interval_ms)> pause;
  std::function<void()> writeSettings;
  // The INFO panel on slot `index` of the MONI 1 track (moni_one) or of MONI ALL.
  std::function<void(const std::string& call, int index, bool moni_one)> showStation;
  std::function<void()> closeInfoPanel;  // the PIC box closes the INFO panel (and redraws)
  std::function<std::string()> dataFolder;
  // The GPS fix: while a tick took one, the own position follows it.
  const links::GpsReader* gps = nullptr;
};

class MapDisplayService {
 public:
  virtual ~MapDisplayService() = default;
  virtual void Attach(const MapContext& context) { map_ = context; }
  // Rebuilds the map index files in the temporary folder and fills the scale combos.
  virtual void BuildMapIndex() = 0;
  // Redraws the map; every completed drawing sets MapDrawnOnce and calls drawingDone.
  virtual void DrawMap() = 0;
  // F1 and F3 to F10 (key codes 112, 114 … 121).
  virtual void FunctionKey(int key_code) = 0;

 protected:
  MapContext map_;
};

// What the radio link works on.
struct RadioLinkContext {
  const Settings* settings = nullptr;
  LinkState* link = nullptr;
  reception::ReceptionState* reception = nullptr;
  const ShellState* shell = nullptr;  // TxCall, GpsClockSet
  std::function<void()> drawMap;      // every drawing switches Timer1 on
  std::function<void(bool on)> setTimer1;
  std::function<void(int code)> endProgram;        // the program ends at once, nothing saved
  std::function<void()> monitorListChanged;        // the RAW list shows the monitor lines anew
  std::function<void(const std::string&)> notice;  // a note on the link's state
  // The packet engine START did not reach, said where the user looks; an empty
  // text once the link is up.
  std::function<void(const std::string&)> engineNotice;
  std::function<reception::GateHook()> igateHook;  // the receive pass's IGate hand-off
  std::function<std::string()> readTnc;            // MSComm1's live reading (serial TNC kinds)
  std::function<void()> showEmergencyWindow;       // an emergency report came in (AlarmRecord filled)
  // The INFO panel's record changed: the WX STATION window for it, then the panel.
  std::function<void(const std::string& infoRecord)> showWxInfoForRecord;
  std::function<void()> infoPanelChanged;
  // The chat window's lines, and the sender of the receive side's acknowledgements
  // and replies (radio or web by the message); a link without them keeps lines of
  // its own and transmits.
  reception::ChatPanel* chat = nullptr;
  std::function<void(const std::string& outgoingMessage)> sendAprsMessage;
  std::function<void(const reception::DistanceAlarm&)> showDistanceAlarm;  // Frame12
  // The receive passes' other window hooks (reception::ReceptionHost).
  std::function<void()> beep;
  std::function<void()> followMoniOneStation;
  std::function<void()> closePictureViewer;
  std::function<bool()> pictureViewerShown;
  std::function<void()> afterQuietPass;
};

class RadioLinkService {
 public:
  virtual ~RadioLinkService() = default;
  virtual void Attach(const RadioLinkContext& context) { radio_ = context; }
  // The radio link of the interface kind and the GPS port, at start-up.
  virtual void BringUp() = 0;
  // The shutdown's close of the radio link by the interface kind: the TNC's last
  // commands with their waits.
  virtual void Close() = 0;
  // The shutdown's end of the TCP link to a remote AGW Packet Engine (kind 3), after
  // the close and its common wait.
  virtual void Disconnect() = 0;
  // The main cycle's steps of the link: the receive pass, the look at the
  // packet engine's link (reconnecting a lost one), the own beacon (`status`:
  // the 20-minute status beacon).
  virtual void DecodeReceivedTraffic() {}
  virtual void LinkUpkeep() {}
  virtual void SendOwnBeacon(bool status, bool aprsIsVerified) {
    (void)status;
    (void)aprsIsVerified;
  }
  // The own object's beacon (SendObjectBeacon).
  virtual void SendObjectBeacon() {}
  // The TX setup OK with the packet engine (kinds 0 and 3): the link closed and
  // opened again with `tx_call` registered in place of the old call.
  virtual void RenewRegistration(const std::string& tx_call) { (void)tx_call; }
  // An own information field through the transmit step; false when nothing went out.
  virtual bool Transmit(const std::string& infoField) {
    (void)infoField;
    return false;
  }
  // The receive host and the chat lines of a link that has them (the internet
  // pass decodes through the same ones); null for a link without.
  virtual reception::ReceptionHost* Host() { return nullptr; }
  virtual reception::ChatPanel* Chat() { return nullptr; }

 protected:
  RadioLinkContext radio_;
};

// The minimal radio link: the window starts with it until a real link is set.
class MinimalRadioLink : public RadioLinkService {
 public:
  void BringUp() override;
  void Close() override;
  void Disconnect() override;
};

}  // namespace zeblon
