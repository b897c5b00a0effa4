// The map's periphery in the main window: the sun curve on the right button, the
// right-click finders, the picture viewer, the outside maps and the map save (the
// function keys F1 and F3 to F10, READ, SAVE and the globe button), the POI file
// combo with the POI editor, and the TRK file choice with its frame.
//
// MapTools only wires: the work is done by the plain modules (map/finders.h,
// map/outside_maps.h, map/picture_page.h, panels/poi_file.h, panels/trk_files.h)
// and the sun curve picture. It changes the map through its named changes (the
// centre, the centring and picture modes), the window's TRK and POI lines, and
// redraws through the map service's `draw`.
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

#include "main_window/services.h"
#include "panels/poi_file.h"
#include "panels/trk_files.h"

class QLabel;
class QMediaPlayer;
class QWidget;

namespace zeblon {

namespace map {
class MapDisplay;
class MapWidget;
}  // namespace map

class MapTools : public QObject {
  Q_OBJECT
 public:
  struct Calls {
    std::function<void()> draw;   // DrawMap and showing its results
    std::function<void()> focus;  // the map picture takes the focus
  };
  MapTools(map::MapDisplay& display, map::MapWidget& widget, const MapContext& context, Calls calls);
  ~MapTools() override;

  // F1 and F3 to F10 (key codes 112, 114 … 121); false for another key.
  bool FunctionKey(int key_code);

  // The pieces, callable on their own (the handlers call them).
  bool Find();
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

  const panels::PoiStore& pois() const { return pois_; }
  const panels::TrackFiles& tracks() const { return tracks_; }
  QLabel* sunCurve() const { return picture4_; }
  QLabel* pictureView() const { return picture_view_; }
  // The video player of the viewer (nothing where Qt Multimedia is not built).
  QMediaPlayer* videoPlayer() const { return player_; }
  int pictureIndex() const { return picture_index_; }
  long poiEditIndex() const { return poi_edit_index_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void Wire();
  void Unwire();
  void EnsureFolders();
  void PlayVideo(const std::string& path);
  void StopVideo();
  void TakeCentre(double north, double east);
  void PoiLinesToWindow();
  void TrackLinesToWindow();
  void LeaveTrackCombo();
  void LeavePoiCombo();
  std::string AppFolder() const;

  map::MapDisplay& display_;
  map::MapWidget& widget_;
  MapContext map_;
  Calls calls_;
  QLabel* picture4_ = nullptr;      // the sun curve
  QLabel* track_text_ = nullptr;    // a track point's time at the mouse pointer
  QLabel* picture_view_ = nullptr;  // the picture in the viewer
  QMediaPlayer* player_ = nullptr;  // a video in the viewer
  QWidget* video_view_ = nullptr;
  panels::PoiStore pois_;
  panels::TrackFiles tracks_;
  int picture_index_ = 0;
  long poi_edit_index_ = 0;
  std::string poi_edit_text_;
};

}  // namespace zeblon
