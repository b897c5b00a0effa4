// What the window's panels ask of the map around them: a drawing, the keyboard
// focus, a centre of their choosing, the picture viewer closed, the centre
// options cleared. The main window implements it once; the map's values are read
// from map::MapDisplay itself.
#pragma once

namespace zeblon::panels {

class MapActions {
 public:
  virtual ~MapActions() = default;
  virtual void DrawMap() = 0;
  // Whether the main window is the active one; the map picture takes the
  // keyboard focus only then.
  virtual bool WindowActive() const = 0;
  virtual void FocusMapWhenActive() = 0;
  // The picture viewer closed (picture mode off, a playing video stopped).
  virtual void ClosePictureViewer() = 0;
  // USER QTH and MONI 1 QTH (Option1, Option2) both unticked.
  virtual void ClearCentreOptions() = 0;
  // The map tied to a place: centre mode off, the viewer closed, the centre
  // options cleared and the centre set there (not drawn).
  virtual void CentreMapOn(double north, double east) = 0;
};

}  // namespace zeblon::panels
