// What the main window's start-up and shutdown call of the map display, a small
// interface over the parts of the window it works on. (The radio link's is
// links/radio_link.h.)
#pragma once

#include <QLabel>
#include <functional>
#include <string>

#include "links/gps_reader.h"
#include "main_window/window_state.h"
#include "map/map_display.h"
#include "map/map_tools.h"
#include "map/own_files.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "reception/reception_host.h"
#include "reception/reception_state.h"
#include "settings/settings.h"

namespace zeblon {

// What the map display works on.
struct MapContext {
  Settings* settings = nullptr;        // read: folders, object, ionosphere values; kept: centre and user position
  map::MapDisplay* map = nullptr;      // the one map state with its named changes
  panels::ScaleBar* scales = nullptr;  // the map folder of each scale
  QLabel* picture = nullptr;           // the map picture box
  map::OwnFiles* ownFiles = nullptr;   // index and temporary files to delete at shutdown
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
  map::UserFiles* files = nullptr;                       // the POI and TRK lines
  std::function<int()> objectBeaconOn;                   // 1 while the own object is transmitted
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

}  // namespace zeblon
