// The map display a window attaches: what it is attached to (the map, the typed
// controls it steers, the stores it reads and the window's two ports), the calls
// the window's start-up and shutdown make of it, and the map service that joins
// the map's controller (map/map_controller.h) and the map tools (map/map_tools.h)
// over the attachment. Only wiring: the map's handlers live in the controller and
// the tools.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <QLabel>

#include "reception/reception_state.h"
#include "settings/settings.h"
#include "map/map_controller.h"
#include "map/map_display.h"
#include "map/map_tools.h"
#include "map/map_widget.h"

namespace zeblon::map {

// What a map display is attached to: the window's map, the controls it steers
// (typed platform controls, numbered object names kept), the stores it reads, and
// the ports through which it reaches the rest of the window (which fills them).
struct MapAttachment {
  Settings* settings = nullptr;  // folders and ionosphere values read; the chosen POI and TRK files kept
  MapDisplay* map = nullptr;     // the one map state with its named changes
  const reception::ReceptionState* reception = nullptr;  // the store counts, the watched station
  UserFiles* files = nullptr;                            // the POI and TRK lines
  MapControls controls;
  ToolControls toolControls;
  QLabel* picture = nullptr;  // the map picture box
  MapPort* port = nullptr;
  ToolPort* toolPort = nullptr;
};

class MapDisplayService {
 public:
  virtual ~MapDisplayService() = default;
  virtual void Attach(const MapAttachment& attachment) { map_ = attachment; }
  // Rebuilds the map index files in the temporary folder and fills the scale combos.
  virtual void BuildMapIndex() = 0;
  // Redraws the map; every completed drawing sets MapDrawnOnce and calls drawingDone.
  // The map service runs the map port's prepare step first (MapPort::PrepareDrawing).
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

class MapService : public MapDisplayService {
 public:
  // `display` and `widget` are the window's map and map picture box.
  MapService(MapDisplay& display, MapWidget& widget);
  ~MapService() override;

  void Attach(const MapAttachment& attachment) override;
  void BuildMapIndex() override;
  void DrawMap() override;
  void FunctionKey(int key_code) override;
  void FocusMap() override;
  void ClosePictureViewer() override;

  MapDisplay& display() { return display_; }
  // The sun curve, finders, picture viewer, outside maps, POI and TRK files.
  MapTools* tools() { return tools_.get(); }

  static std::filesystem::path IndexFolder(const std::string& temp_folder, const std::string& program_folder) {
    return MapController::IndexFolder(temp_folder, program_folder);
  }

 private:
  MapDisplay& display_;
  MapWidget& widget_;
  std::unique_ptr<MapController> controller_;
  std::unique_ptr<MapTools> tools_;
};

}  // namespace zeblon::map
