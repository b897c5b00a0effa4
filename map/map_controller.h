// The map's controller: the map module's MapDisplay behind the window's map
// controls (scale and zoom buttons, centring options, QTH OK, grid, circles, PIC,
// POI, the scale combos and "maps grid" boxes, the read-out labels, brightness and
// palette inks) and its picture box. The handlers are thin: each calls the map
// module and redraws. The map state is the map display's own; the rest of the
// window reads it and changes it through the display's named changes.
//
// The window hands the controller its controls (MapControls) and what it needs
// of the rest of the program through a port (MapPort), which the program fills.
#pragma once

#include <QObject>
#include <array>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "map/map_display.h"
#include "map/map_widget.h"
#include "platform/controls.h"
#include "reception/reception_state.h"
#include "settings/settings.h"

namespace zeblon::map {

// True while a text box (or a combo box one types in) has the keyboard focus:
// typing there keeps it when the map would take the focus.
bool TypingInTextBox();

// The map's controls in the window (numbered object names in the comments).
struct MapControls {
  platform::CommandButton *scaleOut = nullptr, *scaleIn = nullptr;  // Command1, Command2
  platform::CommandButton *zoomOut = nullptr, *zoomIn = nullptr;    // Command7, Command8
  platform::CommandButton* zoomReset = nullptr;                     // Command9
  platform::CommandButton* poiMode = nullptr;                       // Command73
  platform::CommandButton* background = nullptr;                    // Command72: brightness, right: inks
  platform::CommandButton* inkReset = nullptr;                      // Command43
  platform::CommandButton* inkFold = nullptr;                       // Command42
  platform::CommandButton* lastRow = nullptr;                       // Command57: the scale text goes below it
  platform::CheckBox* grid = nullptr;                               // Check4
  platform::CheckBox* circles = nullptr;                            // Check9
  platform::CheckBox* pictures = nullptr;                           // Check12
  platform::CheckBox* directOnly = nullptr;                         // Check24: redraws in its colour
  platform::CheckBox* tone = nullptr;                               // Check1
  platform::CheckBox* track = nullptr;                              // Check14: the GPS track shown
  platform::CheckBox* transmit = nullptr;           // Check6: shown by QTH OK with a call and a position
  platform::OptionButton* followUser = nullptr;     // Option1
  platform::OptionButton* followMoniOne = nullptr;  // Option2
  // The read-out pairs: centre (Label1, Label2), cursor (Label3, Label4), MONI 1 (Label7, Label8).
  std::array<platform::Label*, 6> readouts{};
  platform::Label* moniOneLine = nullptr;             // Label11
  platform::Label* moniAllGauge = nullptr;            // Label26
  platform::Label* moniOneGauge = nullptr;            // Label27
  QWidget* qthPanel = nullptr;                        // Frame of QTH setup
  platform::CommandButton* qthOk = nullptr;           // Command21
  platform::CommandButton* infoMapButton = nullptr;   // Command12 of the INFO panel: MAP / MAP L
  QWidget* scaleRow = nullptr;                        // Frame16
  std::array<platform::ComboBox*, kLevels> combos{};  // each scale's folder
  std::array<platform::CheckBox*, kLevels> marks{};   // each scale's "maps grid" box
  QWidget* inkFrame = nullptr;                        // Frame17: the palette inks
  std::array<platform::OptionButton*, 16> inks{};
};

// The redraw's inputs kept by other owners.
struct MapInputs {
  int twipsPerPixelX = 15, twipsPerPixelY = 15;
  int moniAllDisplayLevel = 0;
  int objectBeaconOn = 0;
  std::span<const std::string> trackLines, poiLines;  // the user's TRK and POI lines
  int gpsFixMoved = 0;
  double gpsNorth = 0, gpsEast = 0;
};

// What the controller needs of the rest of the program.
class MapPort {
 public:
  virtual ~MapPort() = default;
  virtual MapInputs Inputs() const = 0;
  // The prepare step run before every drawing the window asks for, before its
  // inputs are read: the stores take the state the drawing shows (with smart
  // logging the stamped reports leave the watched station's track). The drawing
  // itself changes no store.
  virtual void PrepareDrawing() = 0;
  // Every completed drawing ends here: the pointers reset, the main cycle's timer on.
  virtual void DrawingDone() = 0;
  virtual bool WindowActive() const = 0;
  virtual void ToneSwitched(bool on) = 0;  // the tone box changed
  virtual void CloseInfoPanel() = 0;       // the PIC box closes the INFO panel
  virtual void ClosePictureViewer() = 0;
  virtual void UntickCentringOptions() = 0;
  virtual void ApplyTexts() = 0;
  virtual std::string SettingsPath() const = 0;
  virtual std::string AppFolder() const = 0;
  virtual std::string TempFolder() const = 0;
  virtual void KeepOwnFile(const std::filesystem::path& file) = 0;  // deleted at shutdown
};

class MapController : private MapWidgetPort {
 public:
  // `display` and `widget` are the window's map and map picture box; `settings`
  // (folders, ionosphere values, object, the own call) and `reception` (the store
  // counts, the watched station, the alarm position) are read.
  MapController(MapDisplay& display, MapWidget& widget, const Settings& settings,
                const reception::ReceptionState& reception, const MapControls& controls, MapPort& port);
  ~MapController() override;
  MapController(const MapController&) = delete;
  MapController& operator=(const MapController&) = delete;

  // Rebuilds the map index files in the temporary folder and fills the scale combos.
  void BuildMapIndex();
  // A drawing asked for (by the window, the map's buttons or a click on the map):
  // first the prepare step, where the stores take the state the drawing shows
  // (MapPort::PrepareDrawing), then DrawMap.
  void PrepareAndDraw();
  // The picture box takes the focus in the active window.
  void FocusMap();

  // The folder of the map index files: one of the program's own below the temporary
  // folder, named after the program folder, so that programs in other folders that
  // share the temporary folder keep their own.
  static std::filesystem::path IndexFolder(const std::string& temp_folder, const std::string& program_folder);

 private:
  // The picture box's questions.
  void Sync() override;
  void Publish() override;
  void Draw() override;
  void ReadoutsChanged() override;
  void UntickOptions() override;

  void Wire();
  // The drawing: the inputs read, the map drawn and its results shown beside the
  // picture. It changes no store, only the map's own state.
  void DrawMap();
  // The redraw's inputs kept by their owners (the object in the settings, the
  // store counts and the watched station, the GPS fix, the TRK and POI lines, the
  // scale combos and boxes) read into the map state, one way.
  void TakeInputs();
  void ShowOutputs();
  void ColourInks();
  void QthOk();
  void ChooseFolder(int level);

  MapDisplay& display_;
  MapWidget& widget_;
  const Settings& settings_;
  const reception::ReceptionState& reception_;
  MapControls c_;
  MapPort& port_;
  std::unique_ptr<QObject> label_clicks_;
  platform::Label* scale_text_ = nullptr;
};

}  // namespace zeblon::map
