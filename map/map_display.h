// The map display: its state, the redraw (DrawMap) and the steering of the map.
//
// MapDisplay owns what the map shows (centre, scale, zoom, centring mode, the
// switches of grids, circles and overlays, the palette work), the map folder
// index, the tile cache and the layers, and draws the map picture into an image
// (Picture1) and, for a map type other than the plain scale folder, the plain
// folder's mosaic beneath it (Picture3). It knows no window: what the redraw
// shows beside the picture (read-out captions, scale text, gauges, scale marks,
// the map tooltip) comes out in MapOutputs; what other subsystems do (Fopt,
// picture viewer, timers, focus) goes through MapHooks, a hook left empty being
// skipped; the station passes draw as layers of the map's layer stack (layers()).
// The drawing order is the stack's (map/layers/layer_stack.h).
//
// DrawMap runs the redraw steps in their order: the INFO panel's MAP caption
// (hook info_map_caption) and the sun curve hidden (hook hide_sun_curve); the
// picture viewer's shortcut (hook show_picture); the busy pointer (hook busy); the
// GPS position into the user position; the centring (MONI 1, user position, own
// object, alarm position); the focus (hook focus); the view (centre held to
// +/-9999.999 km, folder, zoom, metres per pixel); the layers set up and their
// places switched for this drawing (the tiles, grids, circles with Fopt from hook
// fopt, tile frames, MONI ALL, picture markers, GPS track, POIs, centre cross,
// MONI 1 placed at the centre or at its position, QTH and object markers); the
// layer stack drawn; the base mosaic; the read-outs (MONI 1 line: hook
// moni_one_line); scale text and gauges; the scale marks; the end: MapDrawnOnce,
// pointer, Timer1 on (hook timer1_on) unless centring on the object, tooltip tag,
// MapSaveDrawing cleared, repaint (hook drawn), the view-changed listeners.
#pragma once

#include <QImage>
#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "map/layers/circles_layer.h"
#include "map/layers/grid_layer.h"
#include "map/layers/layer_stack.h"
#include "map/layers/overlay_layers.h"
#include "map/layers/tile_frames_layer.h"
#include "map/layers/tile_layer.h"
#include "map/map_index.h"
#include "map/map_view.h"
#include "map/readouts.h"
#include "map/tile_cache.h"

namespace zeblon::map {

struct MapState {
  // What the map shows.
  double CentreNorth = 0, CentreEast = 0;  // km of the map zone
  double MapScale = 5000, ZoomFactor = 1;
  double MetresPerPixel = 5000, PixelsPerKm = 0.2;
  double MapWidthPx = 800, MapHeightPx = 600;
  int Zone = 33;
  double MapCentralMeridian = 15, MapFalseEasting = 500000;
  std::string MapZoneText, MapMeridianText;  // the map system's UTM zone ("33") and its meridian (" 15")
  double ViewNorthMin = 0, ViewNorthMax = 0, ViewEastMin = 0, ViewEastMax = 0;
  // Centring: 0 free, 1 MONI 1, 2 user position, 3 one jump to the alarm position.
  int CentreMode = 0;
  int CentreOnObject = 0;
  // When the user last acted on the map (a press on it, a centring option, a
  // position read back), in seconds of the monotonic wait clock; long ago at start.
  // A GPS fix centres the map on the own position only 30 s after it.
  double LastMapInteraction = -1e9;
  // 1 once the user has moved the map away from the own position (a press on the
  // map, the EMERGENCY window's jumps), until USER QTH is clicked: meanwhile every
  // GPS step renews LastMapInteraction, so no fix takes the map back.
  int MapMovedByUser = 0;
  double UserNorth = 0, UserEast = 0;
  double GpsNorth = 0, GpsEast = 0;
  int GpsFixMoved = 0;
  double MoniOneNorth = 0, MoniOneEast = 0;
  long MoniOnePixelX = 0, MoniOnePixelY = 0;
  std::string ObjectName;
  double ObjectNorth = 0, ObjectEast = 0;
  int ObjectBeaconOn = 0;
  std::string AlarmNorthText, AlarmEastText;
  // Switches.
  int GridOn = 0, CirclesOn = 0;
  int MoniAllDisplayLevel = 0;
  int PictureDisplay = 0;  // bit 0: picture markers
  int TrackShown = 0;      // the TRK box
  int PoiDisplayMode = 0;  // 0 off, 1 points, 2 points and texts
  std::array<bool, kLevels> TileFramesShown{};
  int MapSaveDrawing = 0, MapDrawnOnce = 0, PictureMode = 0;
  bool InfoPanelVisible = false;
  PaletteState Palette;
  // Folders: the text of each scale's combo and what the redraw made of it.
  std::array<std::string, kLevels> ComboText;
  std::string CurrentMapFolder, MapFolderPath, MapBaseFolder;
  // Read-outs.
  std::array<int, 3> ReadoutSystem{};  // centre, cursor, MONI 1 pair
  ZoneMeridians Zones;
  double CentreLat = 0, CentreLon = 0;
  double CursorX = 0, CursorY = 0, CursorNorth = 0, CursorEast = 0;
  double SelectedNorth = 0, SelectedEast = 0;
  // Gauges and screen.
  long MoniAllCount = 0, MoniAllLimit = 50, MoniOneCount = 0, MoniOneTrackLimit = 250;
  int TwipsPerPixelX = 15, TwipsPerPixelY = 15;
  QColor OwnTrackColour{0, 255, 255}, PoiColour{255, 224, 0}, PictureMarkerColour{255, 255, 255};
  // The user's TRK and POI lines (owned by their panels).
  std::span<const std::string> TrackLines, PoiLines;
};

struct MapOutputs {
  // Read-out captions: Label1, Label2 (centre), Label3, Label4 (cursor), Label7, Label8 (MONI 1).
  std::array<std::string, 6> Readouts;
  std::string ScaleText;
  Gauges Gauge;
  // Scale marks: text colour of each combo, background of each "maps grid" box.
  std::array<QColor, kLevels> ComboColour;
  std::array<QColor, kLevels> BoxBackground;
  bool ScaleFrameShown = false;  // Frame16
  bool UntickCentringOptions = false;
  std::string Tooltip;  // the map's tooltip; its scale tag is kept up to date
};

struct MapHooks {
  std::function<void(const std::string&)> infoMapCaption;  // "MAP" / "MAP L"
  std::function<void()> hideSunCurve;
  std::function<void()> showPicture;  // the picture viewer's drawing
  std::function<void(bool)> busy;
  std::function<void()> focus;
  FoptOf fopt;
  std::function<void()> moniOneLine;
  std::function<void()> timer1On;
  std::function<void()> drawn;
};

class MapDisplay {
 public:
  // map_root: the folder of the map folders; index_folder: the program's own
  // temporary folder for the index files.
  MapDisplay(std::filesystem::path map_root, std::filesystem::path index_folder);
  MapDisplay();
  MapDisplay(const MapDisplay&) = delete;  // the stack holds its layers by address
  MapDisplay& operator=(const MapDisplay&) = delete;
  // The folders, once the settings are known (before BuildMapIndex).
  void SetFolders(std::filesystem::path map_root, std::filesystem::path index_folder);

  // The one map state. The rest of the program reads it and changes it through the
  // named changes below; the map's own steering (map/: navigation, the picture box,
  // the controller) and tests that set up a scene change it in place.
  const MapState& state() const { return s_; }
  MapState& mutable_state() { return s_; }

  // Named changes.
  // The centre and the user's position (km of the map zone); both tell the
  // view-changed listeners at once (the settings keep them for the file).
  void SetCentre(double north_km, double east_km);
  void SetUserPosition(double north_km, double east_km);
  // Centring: 0 free, 1 MONI 1, 2 user position, 3 one jump to the alarm position.
  void SetCentreMode(int mode) { s_.CentreMode = mode; }
  // The user acted on the map at `now` (seconds of the monotonic wait clock).
  void NoteMapInteraction(double now) { s_.LastMapInteraction = now; }
  // The map was moved away from the own position at `now`: it stays there until
  // the user asks for the own position again (FollowOwnPositionAgain).
  void NoteMapMovedByUser(double now) {
    s_.MapMovedByUser = 1;
    s_.LastMapInteraction = now;
  }
  void FollowOwnPositionAgain() { s_.MapMovedByUser = 0; }
  // The GPS step's start: a map the user moved away counts as acted on at `now`.
  void HoldMovedMap(double now) {
    if (s_.MapMovedByUser == 1) s_.LastMapInteraction = now;
  }
  // The next drawing centres on the own object once.
  void CentreOnObjectOnce() { s_.CentreOnObject = 1; }
  // 1 while the picture viewer shows a picture instead of the map.
  void SetPictureMode(int mode) { s_.PictureMode = mode; }
  // MapLock of the INFO panel: 1 while the map is tied to the panel's report
  // (the MAP button's caption reads "MAP L"), 0 otherwise.
  int MapLock() const { return map_lock_; }
  void SetMapLock(int lock) { map_lock_ = lock; }
  // A scale level at zoom 1.
  void SetScale(double scale);
  // The size of the map picture as the layout made it; a size of 0 keeps the last one.
  void SetPictureSize(double width_px, double height_px);
  // The map system's UTM zone ("33"): zone number, central meridian and their texts.
  void SetMapZone(const std::string& zone_text);

  // The view-changed signal: each listener runs after every drawing (the view may
  // have moved: centring, bounds, scale) and after a named change of the centre or
  // the user's position, and after a press on the map that moved them without a drawing.
  void OnViewChanged(std::function<void(const MapState&)> listener) { listeners_.push_back(std::move(listener)); }
  void NotifyViewChanged();
  MapOutputs& outputs() { return out_; }
  MapHooks& hooks() { return hooks_; }
  // The layers in their drawing order; the station passes add theirs here.
  LayerStack& layers() { return layers_; }
  MapIndex& index() { return index_; }
  TileCache& cache() { return cache_; }
  const QImage& picture() const { return picture_; }
  const QImage& base_picture() const { return base_; }
  // The view of the last drawing.
  const MapView& view() const { return view_; }

  // The per-scale settings (folder suffixes); kept for rebuilds.
  void SetFolderSettings(const std::array<std::string, kLevels>& suffixes) { suffixes_ = suffixes; }
  // Rebuilds the index and takes each scale's chosen folder into its combo text.
  void BuildMapIndex();
  void DrawMap();
  void MarkAvailableScales();

  // Read-outs.
  void ShowCentrePosition();
  void ShowCursorPosition();
  void ShowMoniOnePosition();
  // A left click on a read-out pair (0 centre, 1 cursor, 2 MONI 1): steps its
  // system. True when the map is to be redrawn (the grids follow the system).
  bool StepReadoutSystem(int pair);
  int rebuilds() const { return rebuilds_; }

 private:
  void RegisterLayers();
  MapView MakeView() const;
  GridSettings GridFor() const;
  void ResolveFolders();

  std::filesystem::path root_;
  MapState s_;
  MapOutputs out_;
  MapHooks hooks_;
  MapIndex index_;
  TileCache cache_;
  std::array<std::string, kLevels> suffixes_;
  QImage picture_, base_;
  MapView view_;
  std::filesystem::path folder_path_, base_path_;
  TileLayer tiles_{cache_};
  TileLayer base_tiles_{cache_};
  GridLayer grids_;
  CirclesLayer circles_;
  TileFramesLayer frames_{index_};
  PictureLayer pictures_;
  GpsTrackLayer track_;
  PoiLayer pois_;
  MarkersLayer markers_;
  CentreCrossLayer cross_;
  LayerStack layers_;
  int rebuilds_ = 0;
  int map_lock_ = 0;  // MapLock of the INFO panel
  std::vector<std::function<void(const MapState&)>> listeners_;
};

// The map tooltip with the scale tag of the base folder brought up to date.
std::string TooltipWithScaleTag(std::string tooltip, const std::string& base_folder);

}  // namespace zeblon::map
