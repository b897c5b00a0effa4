// What the main window's start-up and shutdown call of the map display, and what
// the map display is attached to. (The radio link's is links/radio_link.h.)
#pragma once

#include <QLabel>

#include "map/map_controller.h"
#include "map/map_display.h"
#include "map/map_tools.h"
#include "reception/reception_state.h"
#include "settings/settings.h"

namespace zeblon {

// What a map display is attached to: the window's map, the controls it steers
// (typed platform controls, numbered object names kept), the stores it reads, and
// the ports through which it reaches the rest of the window (filled by Form1).
struct MapAttachment {
  Settings* settings = nullptr;    // folders and ionosphere values read; the chosen POI and TRK files kept
  map::MapDisplay* map = nullptr;  // the one map state with its named changes
  const reception::ReceptionState* reception = nullptr;  // the store counts, the watched station
  map::UserFiles* files = nullptr;                       // the POI and TRK lines
  map::MapControls controls;
  map::ToolControls toolControls;
  QLabel* picture = nullptr;  // the map picture box
  map::MapPort* port = nullptr;
  map::ToolPort* toolPort = nullptr;
};

class MapDisplayService {
 public:
  virtual ~MapDisplayService() = default;
  virtual void Attach(const MapAttachment& attachment) { map_ = attachment; }
  // Rebuilds the map index files in the temporary folder and fills the scale combos.
  virtual void BuildMapIndex() = 0;
  // Redraws the map; every completed drawing sets MapDrawnOnce and calls drawingDone.
  virtual void DrawMap() = 0;
  // F1 and F3 to F10 (key codes 112, 114 … 121).
  virtual void FunctionKey(int key_code) = 0;
  // The map picture takes the focus (in the active window).
  virtual void FocusMap() = 0;
  // Picture mode off, the picture viewer hidden and its video stopped.
  virtual void ClosePictureViewer() = 0;

 protected:
  MapAttachment map_;
};

}  // namespace zeblon
