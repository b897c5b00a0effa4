// The map display in the main window: the map module's MapDisplay behind the
// window's map service, its picture box in the map area, and the window's map
// controls (scale and zoom buttons, centring options, QTH OK, grid, circles, PIC,
// POI, the scale combos and "maps grid" boxes, the read-out labels, brightness and
// palette inks) wired to it. The handlers are thin: each calls the map module and
// redraws. The map state is the map display's own; the rest of the window reads it
// and changes it through the display's named changes.
#pragma once

#include <array>
#include <memory>

#include "main_window/map_tools.h"
#include "main_window/services.h"
#include "map/map_display.h"
#include "map/map_widget.h"

namespace zeblon {

// True while a text box (or a combo box one types in) has the keyboard focus:
// typing there keeps it when the map would take the focus.
bool TypingInTextBox();

class MapService : public MapDisplayService {
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
  MapTools* tools() { return tools_.get(); }

  // The folder of the map index files: one of the program's own below the temporary
  // folder, named after the program folder, so that programs in other folders that
  // share the temporary folder keep their own.
  static std::filesystem::path IndexFolder(const std::string& temp_folder, const std::string& program_folder);

 private:
  void Wire();
  // The redraw's inputs kept by their owners (the object in the settings, the
  // store counts and the watched station, the GPS fix, the TRK and POI lines, the
  // scale combos and boxes) read into the map state, one way.
  void TakeInputs();
  void ShowOutputs();
  void ColourInks();
  void UntickOptions();
  void ClosePictureViewer();
  void FocusMap();
  void QthOk();
  void ChooseFolder(int level);

  map::MapDisplay& display_;
  map::MapWidget& widget_;
  std::unique_ptr<QObject> label_clicks_;
  platform::Label* scale_text_ = nullptr;
  bool wired_ = false;
  std::unique_ptr<MapTools> tools_;
};

}  // namespace zeblon
