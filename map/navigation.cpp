#include "map/navigation.h"

#include <algorithm>

#include "geodesy/text.h"
#include "map/map_tile.h"

namespace zeblon::map {

bool ScaleOut(MapState& s) {
  if (!(s.MapScale < 5000) || ScaleLevel(s.MapScale) < 0) return false;
  s.MapScale = CoarserScale(s.MapScale);
  s.ZoomFactor = 1;
  s.MetresPerPixel = s.MapScale;
  return true;
}

bool ScaleIn(MapState& s) {
  if (!(s.MapScale > 2) || ScaleLevel(s.MapScale) < 0) return false;
  s.MapScale = FinerScale(s.MapScale);
  s.ZoomFactor = 1;
  s.MetresPerPixel = s.MapScale;
  return true;
}

bool ZoomOut(MapState& s) {
  if (!(s.ZoomFactor < MapView::kMaxZoom)) return false;
  s.ZoomFactor *= 2;
  return true;
}

bool ZoomIn(MapState& s) {
  if (!(s.ZoomFactor > MapView::kMinZoom)) return false;
  s.ZoomFactor /= 2;
  return true;
}

bool ZoomReset(MapState& s) {
  s.ZoomFactor = 1;
  return true;
}

bool ChooseFolder(MapState& s, int level, const std::string& folder) {
  if (s.MapDrawnOnce != 1 || level < 0 || level >= kLevels) return false;
  s.ComboText[level] = folder;
  if (folder == s.CurrentMapFolder) return false;
  const double scale = kTileScales[level];
  if (s.MapScale != scale) {
    s.MapScale = scale;
    s.ZoomFactor = 1;
    s.MetresPerPixel = scale;
  }
  s.CurrentMapFolder = folder;
  return true;
}

namespace {

// A centre that left `north`, `east` for a place other than the own position:
// the map is the user's now.
void MarkMovedAway(MapState& s, double north, double east) {
  const bool moved = s.CentreNorth != north || s.CentreEast != east;
  if (moved && (s.CentreNorth != s.UserNorth || s.CentreEast != s.UserEast)) s.MapMovedByUser = 1;
}

}  // namespace

PressResult PressOnMap(MapState& s, int button, double x, double y, const std::string& picture_name) {
  PressResult r;
  s.CentreMode = 0;
  if (s.PictureMode == 1) {
    if (button != kLeftButton) return r;
    const auto corner = TileCornerOfName(picture_name);
    const double north = s.CentreNorth, east = s.CentreEast;
    s.CentreNorth = corner.northKm + 0.499;
    s.CentreEast = corner.eastKm + 0.499;
    MarkMovedAway(s, north, east);
    s.PictureMode = 0;
    r.leavePictureMode = r.untickOptions = r.redraw = true;
    return r;
  }
  s.SelectedNorth = s.CursorNorth;
  s.SelectedEast = s.CursorEast;
  if (button == kLeftButton) {
    const double north = s.CentreNorth, east = s.CentreEast;
    const double m = s.MapScale * (s.ZoomFactor == 0 ? 1 : s.ZoomFactor);
    s.CentreNorth -= (y - (s.MapHeightPx / 2 - 1)) * m / 1000;
    s.CentreEast += (x - s.MapWidthPx / 2) * m / 1000;
    // Held here already, so that a click far outside never runs the centre away.
    s.CentreNorth = std::clamp(s.CentreNorth, -MapView::kMaxCentreKm, MapView::kMaxCentreKm);
    s.CentreEast = std::clamp(s.CentreEast, -MapView::kMaxCentreKm, MapView::kMaxCentreKm);
    MarkMovedAway(s, north, east);
    r.untickOptions = r.redraw = true;
  } else if (button == kRightButton) {
    r.search = true;
  }
  return r;
}

int ArrowStep(int shift_mask) { return (shift_mask & 7) * 9 + 1; }

std::optional<std::pair<int, int>> ArrowTarget(int key, int shift, int x, int y, int w, int h) {
  const int step = ArrowStep(shift);
  if (key == 38)
    y -= step;
  else if (key == 40)
    y += step;
  else if (key == 37)
    x -= step;
  else if (key == 39)
    x += step;
  else
    return std::nullopt;
  if (x < 0 || y < 0 || x >= w || y >= h) return std::nullopt;
  return std::make_pair(x, y);
}

std::vector<std::pair<std::string, std::string>> SetQthToCentre(MapState& s) {
  s.UserNorth = s.CentreNorth;
  s.UserEast = s.CentreEast;
  return {{"UUN", NumberText(s.UserNorth)}, {"UUE", NumberText(s.UserEast)}};
}

}  // namespace zeblon::map
