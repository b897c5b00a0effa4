// Steering the map: scale levels, zoom factor, re-centring by a click, the
// arrow-key cursor steps, and QTH OK's settings lines. Plain functions on the
// map state; each tells whether the map must be redrawn.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "map/map_display.h"

namespace zeblon::map {

// Mouse buttons as the handlers get them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;

// Next coarser / finer level at zoom 1; nothing at 5000 / 2.
bool ScaleOut(MapState& s);
bool ScaleIn(MapState& s);
// Zoom factor doubled up to 8, halved down to 0.125, or back to 1 (always).
bool ZoomOut(MapState& s);
bool ZoomIn(MapState& s);
bool ZoomReset(MapState& s);

// Choosing a scale's folder in its combo: the map switches to that scale (zoom 1
// when the scale changes) and folder. False (nothing to redraw) before the first
// drawing and when the folder is the one shown.
bool ChooseFolder(MapState& s, int level, const std::string& folder);

// A press on the map at pixel (x, y). Every press frees the map (CentreMode 0);
// in picture mode a left press centres on the picture `picture_name` (its
// kilometre square's middle, 0.499 km in) and leaves the viewer; otherwise the
// press selects the point under the cursor, and a left press makes it the centre.
// A left press that takes the centre to a place other than the own position marks
// the map as moved by the user (MapMovedByUser).
struct PressResult {
  bool redraw = false;
  bool untickOptions = false;
  bool leavePictureMode = false;
  bool search = false;  // a right press: the finders, then the base map or sun curve
};
PressResult PressOnMap(MapState& s, int button, double x, double y, const std::string& picture_name = {});
// The finders of a right press search only in a main window at least this many
// pixels high inside; a lower one goes straight to the base map or sun curve.
inline constexpr int kFinderMinWindowHeight = 630;

// The cursor step of an arrow key: 1 pixel, +9 per unit of the shift mask
// (1 Shift, 2 Ctrl): 10, 19, 28.
int ArrowStep(int shift_mask);
// Where an arrow key (37 left, 38 up, 39 right, 40 down) moves a cursor at (x, y)
// in a picture of w x h pixels; nullopt when the step would leave the picture or
// the key is not an arrow.
std::optional<std::pair<int, int>> ArrowTarget(int key_code, int shift_mask, int x, int y, int w, int h);

// QTH OK: the map centre becomes the user's position; the settings lines to patch
// (UUN first, then UUE, number texts without blanks).
std::vector<std::pair<std::string, std::string>> SetQthToCentre(MapState& s);

}  // namespace zeblon::map
