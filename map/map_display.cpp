#include "map/map_display.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "geodesy/text.h"
#include "map/map_tile.h"
#include "platform/paths.h"
#include "settings/text_files.h"

namespace zeblon::map {

namespace fs = std::filesystem;

std::string TooltipWithScaleTag(std::string tooltip, const std::string& base_folder) {
  tooltip = Trim(tooltip);
  if (tooltip.empty()) return tooltip;
  const std::string tag = base_folder.size() >= 5 ? base_folder.substr(base_folder.size() - 5) : base_folder;
  if (tooltip.size() >= 5 && tooltip[tooltip.size() - 5] == 'M') tooltip = tooltip.substr(0, tooltip.size() - 5) + tag;
  // The language texts end the tooltip with ", " (trimmed to ","): the tag follows it.
  if (tooltip.size() >= 1 && tooltip.back() == ',') tooltip += " " + tag;
  return tooltip;
}

MapDisplay::MapDisplay() { RegisterLayers(); }

MapDisplay::MapDisplay(fs::path map_root, fs::path index_folder)
    : root_(map_root), index_(std::move(map_root), std::move(index_folder)) {
  RegisterLayers();
}

void MapDisplay::RegisterLayers() {
  layers_.Add(LayerPlace::kTiles, &tiles_);
  layers_.Add(LayerPlace::kGrids, &grids_);
  layers_.Add(LayerPlace::kCircles, &circles_);
  layers_.Add(LayerPlace::kTileFrames, &frames_);
  layers_.Add(LayerPlace::kPictures, &pictures_);
  layers_.Add(LayerPlace::kGpsTrack, &track_);
  layers_.Add(LayerPlace::kPois, &pois_);
  layers_.Add(LayerPlace::kCentreCross, &cross_);
  layers_.Add(LayerPlace::kMarkers, &markers_);
}

void MapDisplay::SetFolders(fs::path map_root, fs::path index_folder) {
  if (map_root == root_ && index_folder == index_.index_folder()) return;
  index_.DeleteOwnFiles();
  root_ = map_root;
  index_ = MapIndex(std::move(map_root), std::move(index_folder));
  cache_.Clear();
}

void MapDisplay::BuildMapIndex() {
  ++rebuilds_;
  index_.Build(suffixes_);
  for (int level = 0; level < kLevels; ++level) s_.ComboText[level] = index_.Chosen(level);
}

void MapDisplay::SetCentre(double north_km, double east_km) {
  s_.CentreNorth = north_km;
  s_.CentreEast = east_km;
  NotifyViewChanged();
}

void MapDisplay::SetUserPosition(double north_km, double east_km) {
  s_.UserNorth = north_km;
  s_.UserEast = east_km;
  NotifyViewChanged();
}

void MapDisplay::SetScale(double scale) {
  s_.MapScale = scale;
  s_.MetresPerPixel = scale;
  s_.ZoomFactor = 1;
}

void MapDisplay::SetPictureSize(double width_px, double height_px) {
  if (width_px <= 0 || height_px <= 0) return;
  s_.MapWidthPx = width_px;
  s_.MapHeightPx = height_px;
}

void MapDisplay::SetMapZone(const std::string& zone_text) {
  s_.MapZoneText = zone_text;
  const double zone = LeadingNumber(zone_text);
  s_.Zone = zone > 0 ? static_cast<int>(zone) : 33;
  s_.MapCentralMeridian = LeadingNumber(zone_text) * 6 - 183;
  s_.MapMeridianText = MeridianText(s_.MapCentralMeridian);
}

void MapDisplay::NotifyViewChanged() {
  for (const auto& listener : listeners_) listener(s_);
}

MapView MapDisplay::MakeView() const {
  MapView v =
      MapView::Of(s_.CentreNorth, s_.CentreEast, s_.MapScale, s_.ZoomFactor, s_.MapWidthPx, s_.MapHeightPx, s_.Zone);
  v.centralMeridian = s_.MapCentralMeridian;
  v.falseEastingM = s_.MapFalseEasting;
  return v.Normalised();
}

void MapDisplay::ResolveFolders() {
  const int level = ScaleLevel(s_.MapScale);
  if (level >= 0) s_.CurrentMapFolder = s_.ComboText[level];
  s_.MapFolderPath = root_.string() + "/" + s_.CurrentMapFolder;
  const std::string base = s_.CurrentMapFolder.substr(0, std::min<std::size_t>(5, s_.CurrentMapFolder.size()));
  s_.MapBaseFolder = root_.string() + "/" + base;
  folder_path_ = s_.CurrentMapFolder.empty() ? fs::path() : index_.FolderPath(s_.CurrentMapFolder);
  if (!folder_path_.empty() && !fs::exists(folder_path_)) folder_path_ = platform::ResolveOrSame(folder_path_);
  base_path_ = base.empty() ? fs::path() : platform::ResolveOrSame(root_ / base);
}

GridSettings MapDisplay::GridFor() const {
  GridSettings g;
  for (int pair = 0; pair < 3; ++pair) {
    const int sys = s_.ReadoutSystem[pair];
    if (sys >= 0 && sys < 5) g.systems[sys] = true;
  }
  g.gkCentralMeridian = s_.Zones.gkCentralMeridian;
  g.ownZoneCentralMeridian = s_.Zones.ownZoneCentralMeridian;
  if (g.systems[1] || g.systems[2] || g.systems[3] || g.systems[4]) {
    try {
      const MapPoint p = ConvertMapKmToLatLon(s_.CentreNorth, s_.CentreEast, s_.MapCentralMeridian, s_.MapFalseEasting);
      g.centre.lat = p.latitude;
      g.centre.lon = p.longitude;
      if (g.systems[2] || g.systems[3] || g.systems[4]) {
        const AllSystemsTexts t = ConvertLatLonToAllSystems(p.latitude, p.longitude, s_.Zones, s_.MapFalseEasting);
        g.centre.gkNorth = LeadingNumber(t.gkNorth);
        g.centre.gkEast = LeadingNumber(t.gkEast);
        g.centre.ownNorth = LeadingNumber(t.ownZoneNorth);
        g.centre.ownEast = LeadingNumber(t.ownZoneEast);
        g.centre.rt90North = LeadingNumber(t.rt90North);
        g.centre.rt90East = LeadingNumber(t.rt90East);
      }
    } catch (const geodesy::GeodesyError&) {
      g.systems[1] = g.systems[2] = g.systems[3] = g.systems[4] = false;
    }
  }
  return g;
}

void MapDisplay::DrawMap() {
  // The INFO panel's MAP caption; in picture mode only the picture.
  if (hooks_.infoMapCaption) hooks_.infoMapCaption(map_lock_ == 1 ? "MAP L" : "MAP");
  if (hooks_.hideSunCurve) hooks_.hideSunCurve();
  // The scale row shows only after a drawing that marks it: never over the INFO
  // panel's record line, which shares its row.
  out_.ScaleFrameShown = false;
  if (s_.PictureMode == 1) {
    if (hooks_.timer1On) hooks_.timer1On();
    if (hooks_.showPicture) hooks_.showPicture();
    if (hooks_.busy) hooks_.busy(false);
    NotifyViewChanged();
    return;
  }
  // The busy pointer; a moving GPS fix is the user's position.
  if (hooks_.busy) hooks_.busy(true);
  if (s_.GpsFixMoved == 1) {
    s_.UserNorth = s_.GpsNorth;
    s_.UserEast = s_.GpsEast;
  }
  // The centring: a later rule overrides an earlier one.
  out_.UntickCentringOptions = false;
  if (s_.CentreMode == 1 && s_.MoniOneNorth != 0 && s_.MoniOneEast != 0) {
    s_.CentreNorth = s_.MoniOneNorth;
    s_.CentreEast = s_.MoniOneEast;
  }
  if (s_.CentreMode == 2) {
    s_.CentreNorth = s_.UserNorth;
    s_.CentreEast = s_.UserEast;
  }
  if (s_.CentreOnObject == 1) {
    s_.CentreNorth = s_.ObjectNorth;
    s_.CentreEast = s_.ObjectEast;
  }
  if (s_.CentreMode == 3) {
    out_.UntickCentringOptions = true;
    s_.PictureMode = 0;
    s_.CentreMode = 0;
    s_.CentreNorth = LeadingNumber(s_.AlarmNorthText);
    s_.CentreEast = LeadingNumber(s_.AlarmEastText);
  }
  // The focus.
  if (hooks_.focus) hooks_.focus();
  // The view holds centre, zoom and size within their bounds.
  ResolveFolders();
  view_ = MakeView();
  s_.CentreNorth = view_.centreNorthKm;
  s_.CentreEast = view_.centreEastKm;
  s_.ZoomFactor = view_.zoom;
  s_.MapScale = view_.scale;
  s_.MetresPerPixel = view_.MetresPerPixel();
  s_.PixelsPerKm = view_.PixelsPerKm();
  s_.ViewNorthMin = view_.ViewNorthMin();
  s_.ViewNorthMax = view_.ViewNorthMax();
  s_.ViewEastMin = view_.ViewEastMin();
  s_.ViewEastMax = view_.ViewEastMax();
  const int w = static_cast<int>(view_.widthPx), h = static_cast<int>(view_.heightPx);
  if (picture_.width() != w || picture_.height() != h)
    picture_ = QImage(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
  picture_.fill(QColor(80, 80, 80));
  QPainter p(&picture_);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.setFont(MapFont());
  // The layers for this drawing: each set up, each place switched on or off.
  s_.Palette.frameClosed = false;
  tiles_.SetFolder(folder_path_.empty() ? root_ / "" : folder_path_);
  tiles_.SetPaletteState(&s_.Palette);
  tiles_.SetSaveDrawing(s_.MapSaveDrawing == 1);
  layers_.SetShown(LayerPlace::kGrids, s_.GridOn == 1);
  if (s_.GridOn == 1) {
    const GridSettings g = GridFor();
    grids_.Set(g);
    if (g.systems[1]) {
      s_.CentreLat = g.centre.lat;
      s_.CentreLon = g.centre.lon;
    }
  }
  layers_.SetShown(LayerPlace::kCircles, s_.CirclesOn == 1);
  if (s_.CirclesOn == 1) {
    const double cm = s_.MapCentralMeridian, fe = s_.MapFalseEasting;
    circles_.SetConversions(
        [cm, fe](double n, double e, double& lat, double& lon) {
          try {
            const MapPoint pt = ConvertMapKmToLatLon(n, e, cm, fe);
            lat = pt.latitude;
            lon = pt.longitude;
          } catch (const geodesy::GeodesyError&) {
            lat = lon = 0;
          }
        },
        hooks_.fopt);
  }
  layers_.SetShown(LayerPlace::kTileFrames, !s_.InfoPanelVisible);
  if (!s_.InfoPanelVisible) frames_.Set(s_.TileFramesShown, s_.ComboText);
  layers_.SetShown(LayerPlace::kMoniAll, s_.MoniAllDisplayLevel > 0);
  layers_.SetShown(LayerPlace::kPictures, (s_.PictureDisplay & 1) != 0);
  if ((s_.PictureDisplay & 1) != 0) pictures_.Set(index_.Pictures(), s_.PictureMarkerColour);
  layers_.SetShown(LayerPlace::kGpsTrack, s_.TrackShown == 1);
  if (s_.TrackShown == 1) track_.Set(s_.TrackLines, s_.OwnTrackColour);
  layers_.SetShown(LayerPlace::kPois, s_.PoiDisplayMode > 0);
  if (s_.PoiDisplayMode > 0) pois_.Set(s_.PoiLines, s_.PoiDisplayMode, s_.PoiColour, s_.TwipsPerPixelX);
  // MONI 1 at the centre when the map follows it, else at its position, where a
  // free map shows the centre cross.
  layers_.SetShown(LayerPlace::kCentreCross, s_.CentreMode == 0);
  if (s_.CentreMode == 1) {
    s_.MoniOnePixelX = static_cast<long>(RoundHalfEven(view_.CentreX()));
    s_.MoniOnePixelY = static_cast<long>(RoundHalfEven(view_.CentreY()));
  } else {
    s_.MoniOnePixelX = static_cast<long>(view_.PixelX(s_.MoniOneEast));
    s_.MoniOnePixelY = static_cast<long>(view_.PixelY(s_.MoniOneNorth));
  }
  MarkerSettings m;
  m.userNorth = s_.UserNorth;
  m.userEast = s_.UserEast;
  m.gpsMoved = s_.GpsFixMoved == 1;
  m.ownTrackColour = s_.OwnTrackColour;
  m.objectName = s_.ObjectName;
  m.objectNorth = s_.ObjectNorth;
  m.objectEast = s_.ObjectEast;
  m.objectSent = s_.ObjectBeaconOn == 1;
  m.twipsPerPixelX = s_.TwipsPerPixelX;
  markers_.Set(m);
  // The stack, lowest place first.
  layers_.render(p, view_);
  p.end();
  // The plain folder's mosaic beneath a map of another type.
  if (!base_path_.empty() && s_.MapBaseFolder != s_.MapFolderPath) {
    if (base_.width() != picture_.width() || base_.height() != picture_.height())
      base_ = QImage(picture_.size(), QImage::Format_RGB32);
    base_.fill(QColor(80, 80, 80));
    QPainter bp(&base_);
    base_tiles_.SetFolder(base_path_);
    base_tiles_.SetPaletteState(nullptr);
    base_tiles_.render(bp, view_);
  }
  // The read-outs.
  ShowCentrePosition();
  ShowCursorPosition();
  ShowMoniOnePosition();
  // The scale text and the gauges.
  out_.ScaleText = ScaleBarText(s_.MetresPerPixel);
  out_.Gauge = GaugesFor(s_.MoniAllCount, s_.MoniAllLimit, s_.MoniOneCount, s_.MoniOneTrackLimit, s_.TwipsPerPixelX);
  // The scale marks.
  MarkAvailableScales();
  // The end of a drawing.
  s_.MapDrawnOnce = 1;
  if (hooks_.busy) hooks_.busy(false);
  if (s_.CentreOnObject != 1 && hooks_.timer1On) hooks_.timer1On();
  s_.CentreOnObject = 0;
  out_.Tooltip = TooltipWithScaleTag(out_.Tooltip, s_.MapBaseFolder);
  s_.MapSaveDrawing = 0;
  if (hooks_.drawn) hooks_.drawn();
  NotifyViewChanged();
}

void MapDisplay::MarkAvailableScales() {
  if (s_.InfoPanelVisible) return;
  out_.ScaleFrameShown = true;
  for (int level = 0; level < kLevels; ++level)
    out_.ComboColour[level] = kTileScales[level] == s_.MapScale ? QColor(224, 224, 0) : QColor(192, 192, 192);
  for (int level = 0; level < kLevels; ++level) {
    out_.BoxBackground[level] = QColor(128, 128, 128);
    const std::string name = CentreTileName(s_.CentreNorth, s_.CentreEast, kTileScales[level]);
    const auto has = index_.HasTile(s_.ComboText[level], name);
    if (!has) {
      // The index file has gone: rebuild it, keeping the folders the user chose.
      const auto chosen = s_.ComboText;
      BuildMapIndex();
      for (int l = 0; l < kLevels; ++l) {
        const auto& list = index_.Folders(l);
        if (std::find(list.begin(), list.end(), chosen[l]) != list.end()) s_.ComboText[l] = chosen[l];
      }
      return;
    }
    if (*has) out_.BoxBackground[level] = QColor(160, 192, 192);
  }
}

namespace {

ReadoutFrame FrameOf(const MapState& s) {
  ReadoutFrame f;
  f.mapCentralMeridian = s.MapCentralMeridian;
  f.mapFalseEasting = s.MapFalseEasting;
  f.mapZoneText = std::to_string(s.Zone);
  std::string meridian = NumberText(s.MapCentralMeridian);
  while (meridian.size() < 3) meridian = " " + meridian;
  f.mapMeridianText = meridian;
  f.zones = s.Zones;
  return f;
}

}  // namespace

void MapDisplay::ShowCentrePosition() {
  const auto c = ReadoutCaptionsFor(ReadoutPair::kCentre, s_.ReadoutSystem[0], s_.CentreNorth, s_.CentreEast,
                                    CentreValueText(s_.CentreNorth), CentreValueText(s_.CentreEast), FrameOf(s_));
  out_.Readouts[0] = c.north;
  out_.Readouts[1] = c.east;
  if (c.converted) {
    s_.CentreLat = c.point.latitude;
    s_.CentreLon = c.point.longitude;
  }
}

void MapDisplay::ShowCursorPosition() {
  const MapView v = MakeView();
  const MapKm at = CursorPosition(v.centreNorthKm, v.centreEastKm, s_.CursorX, s_.CursorY, v.widthPx, v.heightPx,
                                  v.MetresPerPixel());
  s_.CursorNorth = at.north;
  s_.CursorEast = at.east;
  const auto c = ReadoutCaptionsFor(ReadoutPair::kCursor, s_.ReadoutSystem[1], s_.CursorNorth, s_.CursorEast,
                                    TrackedValueText(s_.CursorNorth), TrackedValueText(s_.CursorEast), FrameOf(s_));
  out_.Readouts[2] = c.north;
  out_.Readouts[3] = c.east;
}

void MapDisplay::ShowMoniOnePosition() {
  s_.MoniOneNorth = CutToWholeMetres(s_.MoniOneNorth);
  s_.MoniOneEast = CutToWholeMetres(s_.MoniOneEast);
  const auto c = ReadoutCaptionsFor(ReadoutPair::kMoniOne, s_.ReadoutSystem[2], s_.MoniOneNorth, s_.MoniOneEast,
                                    TrackedValueText(s_.MoniOneNorth), TrackedValueText(s_.MoniOneEast), FrameOf(s_));
  out_.Readouts[4] = c.north;
  out_.Readouts[5] = c.east;
  if (hooks_.moniOneLine) hooks_.moniOneLine();
}

bool MapDisplay::StepReadoutSystem(int pair) {
  if (pair < 0 || pair > 2) return false;
  s_.ReadoutSystem[pair] = NextReadoutSystem(s_.ReadoutSystem[pair], s_.MapCentralMeridian);
  if (s_.ReadoutSystem[0] != 0) {
    // The zones of the centre as it is now, not of the longitude an earlier
    // read-out left (0 before the centre was ever converted).
    try {
      const MapPoint c = ConvertMapKmToLatLon(s_.CentreNorth, s_.CentreEast, s_.MapCentralMeridian, s_.MapFalseEasting);
      s_.CentreLat = c.latitude;
      s_.CentreLon = c.longitude;
    } catch (const geodesy::GeodesyError&) {
    }
    s_.Zones = ComputeZoneMeridians(s_.CentreLon);
  }
  if (pair == 0) ShowCentrePosition();
  if (pair == 1) ShowCursorPosition();
  if (pair == 2) ShowMoniOnePosition();
  return s_.GridOn == 1;
}

}  // namespace zeblon::map
