// The window's map service: the map's controller (map/map_controller.h) and the
// map tools (map/map_tools.h) over the window's map controls, with the ports they
// take filled from the window. Only wiring: the map's handlers live in the controller.
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

class MapService : public MapDisplayService, private map::MapPort, private map::ToolPort {
 public:
  // `display` and `widget` are the window's map and map picture box.
  MapService(map::MapDisplay& display, map::MapWidget& widget);
  ~MapService() override;

  void Attach(const MapContext& context) override;
  void BuildMapIndex() override;
  void DrawMap() override;
  void FunctionKey(int key_code) override;

  map::MapDisplay& display() { return display_; }
  // The sun curve, finders, picture viewer, outside maps, POI and TRK files.
  map::MapTools* tools() { return tools_.get(); }

  static std::filesystem::path IndexFolder(const std::string& temp_folder, const std::string& program_folder) {
    return map::MapController::IndexFolder(temp_folder, program_folder);
  }

 private:
  // map::MapPort
  map::MapInputs Inputs() const override;
  void DrawingDone() override;
  bool WindowActive() const override;
  void ToneSwitched(bool on) override;
  void CloseInfoPanel() override;
  void ClosePictureViewer() override;
  void UntickCentringOptions() override;
  void ApplyTexts() override;
  std::string SettingsPath() const override;
  std::string AppFolder() const override;
  std::string TempFolder() const override;
  void KeepOwnFile(const std::filesystem::path& file) override;
  // map::ToolPort (DrawingDone, WindowActive, CloseInfoPanel and AppFolder as above)
  void Draw() override;
  void FocusMap() override;
  void Pause(int interval_ms) override;
  void WriteSettings() override;
  bool OpenDocument(const std::string& path) override;
  void ShowStation(const std::string& call, int index, bool moni_one) override;
  std::string DataFolder() const override;
  int MoniAllDisplayLevel() const override;
  int StationFilterMask() const override;

  map::MapDisplay& display_;
  map::MapWidget& widget_;
  std::unique_ptr<map::MapController> controller_;
  std::unique_ptr<map::MapTools> tools_;
};

}  // namespace zeblon
