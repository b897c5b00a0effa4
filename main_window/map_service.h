// The window's map service: the map's controller (map/map_controller.h) and the
// map tools (map/map_tools.h) over the window's map controls, reaching the window
// through the ports it was attached with. Only wiring: the map's handlers live in
// the controller and the tools.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "main_window/services.h"
#include "map/map_controller.h"
#include "map/map_display.h"
#include "map/map_tools.h"
#include "map/map_widget.h"

namespace zeblon {

class MapService : public MapDisplayService {
 public:
  // `display` and `widget` are the window's map and map picture box.
  MapService(map::MapDisplay& display, map::MapWidget& widget);
  ~MapService() override;

  void Attach(const MapAttachment& attachment) override;
  void BuildMapIndex() override;
  void DrawMap() override;
  void FunctionKey(int key_code) override;
  void FocusMap() override;
  void ClosePictureViewer() override;

  map::MapDisplay& display() { return display_; }
  // The sun curve, finders, picture viewer, outside maps, POI and TRK files.
  map::MapTools* tools() { return tools_.get(); }

  static std::filesystem::path IndexFolder(const std::string& temp_folder, const std::string& program_folder) {
    return map::MapController::IndexFolder(temp_folder, program_folder);
  }

 private:
  map::MapDisplay& display_;
  map::MapWidget& widget_;
  std::unique_ptr<map::MapController> controller_;
  std::unique_ptr<map::MapTools> tools_;
};

}  // namespace zeblon
