// The map's periphery: the sun curve on the right button, the right-click finders,
// the picture viewer, the outside maps and the map save (the function keys F1 and
// F3 to F10, READ, SAVE and the globe button), the POI file combo with the POI
// editor, and the TRK file choice with its frame.
//
// MapTools only wires: the work is done by the plain modules (finders.h,
// outside_maps.h, picture_page.h, poi_file.h, track_files.h) and the sun curve
// picture. It changes the map through its named changes (the centre, the
// centring and picture modes), the user's POI and TRK files (UserFiles, which the
// map reads through its inputs), and redraws through its port.
//
// The window hands the tools their controls (ToolControls) and what they need of
// the rest of the program through a port (ToolPort), as it does for the map's
// controller.
//
// Keystrokes into other programs' windows have no counterpart here: the web maps
// open in the desktop's browser (earlier web-map windows stay open), and the
// position read-backs (F5, F10) read the position or address that the user copied
// to the clipboard.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "map/map_display.h"
#include "map/map_widget.h"
#include "map/poi_file.h"
#include "map/track_files.h"
#include "platform/controls.h"
#include "reception/reception_state.h"
#include "settings/settings.h"

class QLabel;
class QMediaPlayer;
class QWidget;

namespace zeblon::map {

// The user's POI and TRK files: the current files' lines, which the map draws.
struct UserFiles {
  PoiStore pois;
  TrackFiles tracks;
};

// The tools' controls in the window (numbered object names in the comments).
struct ToolControls {
  platform::CommandButton* help = nullptr;          // Command57: F1, the help page
  platform::CommandButton* saveMap = nullptr;       // Command59
  platform::CommandButton* globe = nullptr;         // Command58: left the globe, right READ
  platform::ComboBox* trackCombo = nullptr;         // Combo1: the TRK file
  platform::ComboBox* poiCombo = nullptr;           // Combo2: the POI file
  platform::CheckBox* track = nullptr;              // Check14: the GPS track shown
  platform::CheckBox* directOnly = nullptr;         // Check24: the finder takes direct stations only
  platform::OptionButton* followUser = nullptr;     // Option1
  platform::OptionButton* followMoniOne = nullptr;  // Option2
  platform::Label* moniOneStamp = nullptr;          // Label9: the MONI 1 station's time
  // The picture viewer (Frame of the pictures) and its page, < > START MAP.
  platform::Frame* viewer = nullptr;
  QWidget* viewerPage = nullptr;                                               // WebBrowser2
  platform::CommandButton *picturePrevious = nullptr, *pictureNext = nullptr;  // Command29, Command30
  platform::CommandButton *videoStart = nullptr, *pictureCentre = nullptr;     // Command70, Command71
  // The POI editor: its text, OK, CANCEL, POS= CENTER and OPEN LINK.
  platform::Frame* poiEditor = nullptr;
  platform::TextBox* poiText = nullptr;                                    // Text4
  platform::CommandButton *poiOk = nullptr, *poiCancel = nullptr;          // Command26, Command22
  platform::CommandButton *poiToCentre = nullptr, *poiOpenLink = nullptr;  // Command64, Command67
  // The TRK file stepping (Frame10): < >.
  platform::Frame* trackPanel = nullptr;
  platform::CommandButton *trackPrevious = nullptr, *trackNext = nullptr;  // Command68, Command69
};

// What the tools need of the rest of the program.
class ToolPort {
 public:
  virtual ~ToolPort() = default;
  virtual void Draw() = 0;      // DrawMap and showing its results
  virtual void FocusMap() = 0;  // the map picture takes the focus
  // Every completed drawing ends here: the pointers reset, the main cycle's timer on.
  virtual void DrawingDone() = 0;
  virtual bool WindowActive() const = 0;
  virtual void Pause(int interval_ms) = 0;  // the main cycle's pause
  virtual void WriteSettings() = 0;
  virtual bool OpenDocument(const std::string& path) = 0;
  // The INFO panel on slot `index` of the MONI 1 track (moni_one) or of MONI ALL.
  virtual void ShowStation(const std::string& call, int index, bool moni_one) = 0;
  virtual void CloseInfoPanel() = 0;
  virtual std::string AppFolder() const = 0;
  virtual std::string DataFolder() const = 0;
  virtual int MoniAllDisplayLevel() const = 0;
  virtual int StationFilterMask() const = 0;
};

class MapTools : public QObject, private MapPressTools {
  Q_OBJECT
 public:
  // `settings` gives the folders, the language and the offset and keeps the chosen
  // POI and TRK files; `reception` the stations the finder looks at; `files` the
  // POI and TRK lines, changed here.
  MapTools(MapDisplay& display, MapWidget& widget, Settings& settings, const reception::ReceptionState& reception,
           UserFiles& files, const ToolControls& controls, ToolPort& port);
  ~MapTools() override;

  // F1 and F3 to F10 (key codes 112, 114 … 121); false for another key.
  bool FunctionKey(int key_code);

  // The pieces, callable on their own (the handlers call them).
  bool Find() override;
  void ShowSunCurve(bool open);
  void ShowPositionPicture();
  void StepPicture(int step);
  void CentreAtPicture();
  // The viewer hidden, its video stopped, picture mode left (the centre stays).
  void ClosePictureViewer();
  void ShowInWebMap(int which);  // 0 Google Maps, 1 Swedish, 2 Norwegian, 3 Finnish
  void ShowInGlobe();
  bool ReadPositionFromClipboard(bool web_map_address);
  void SaveMap();
  void PoiOk();
  void PoiCancel();
  void PoiOpenLink();
  void ChoosePoiFile(const std::string& chosen, bool enter);
  void ChooseTrackFile(const std::string& chosen);
  void StepTrackFile(int step);
  void CentreOnTrackEnd();

  const PoiStore& pois() const { return files_.pois; }
  const TrackFiles& tracks() const { return files_.tracks; }
  QLabel* sunCurve() const { return picture4_; }
  QLabel* pictureView() const { return picture_view_; }
  // The video player of the viewer (nothing where Qt Multimedia is not built).
  QMediaPlayer* videoPlayer() const { return player_; }
  int pictureIndex() const { return picture_index_; }
  long poiEditIndex() const { return poi_edit_index_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // A press on the map's questions.
  void SunCurve(bool open) override { ShowSunCurve(open); }
  bool SunCurveOpen() const override;
  std::string PictureName() const override;
  void LeftPictureMode() override { ClosePictureViewer(); }

  void Wire();
  void Unwire();
  void EnsureFolders();
  void PlayVideo(const std::string& path);
  void StopVideo();
  void TakeCentre(double north, double east);
  void LeaveTrackCombo();
  void LeavePoiCombo();
  std::string AppFolder() const;
  std::function<bool(const std::string&)> Opener();

  MapDisplay& display_;
  MapWidget& widget_;
  Settings& settings_;
  const reception::ReceptionState& reception_;
  UserFiles& files_;
  ToolControls c_;
  ToolPort& port_;
  QLabel* picture4_ = nullptr;      // the sun curve
  QLabel* track_text_ = nullptr;    // a track point's time at the mouse pointer
  QLabel* picture_view_ = nullptr;  // the picture in the viewer
  QMediaPlayer* player_ = nullptr;  // a video in the viewer
  QWidget* video_view_ = nullptr;
  int picture_index_ = 0;
  long poi_edit_index_ = 0;
  std::string poi_edit_text_;
};

}  // namespace zeblon::map
