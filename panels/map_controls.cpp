#include "panels/map_controls.h"

namespace zeblon::panels {

map::MapControls MapControlsOf(const ControlColumn& c, QthSetupPanel& qth, const InfoPanel* info, ScaleBar& scales,
                               const InkPalette& inks) {
  map::MapControls m;
  m.scaleOut = c.Command1;
  m.scaleIn = c.Command2;
  m.zoomOut = c.Command7;
  m.zoomIn = c.Command8;
  m.zoomReset = c.Command9;
  m.poiMode = c.Command73;
  m.background = c.Command72;
  m.inkReset = c.Command43;
  m.inkFold = c.Command42;
  m.lastRow = c.Command57;
  m.grid = c.Check4;
  m.circles = c.Check9;
  m.pictures = c.Check12;
  m.directOnly = c.Check24;
  m.tone = c.Check1;
  m.track = c.Check14;
  m.transmit = c.Check6;
  m.followUser = c.Option1;
  m.followMoniOne = c.Option2;
  m.readouts = {c.Label1, c.Label2, c.Label3, c.Label4, c.Label7, c.Label8};
  m.moniOneLine = c.Label11;
  m.moniAllGauge = c.Label26;
  m.moniOneGauge = c.Label27;
  m.qthPanel = &qth;
  m.qthOk = qth.Command21;
  m.infoMapButton = info != nullptr ? info->Command12 : nullptr;
  m.scaleRow = &scales;
  m.combos = scales.combos;
  m.marks = scales.marks;
  m.inkFrame = inks.frame;
  m.inks = inks.inks;
  return m;
}

map::ToolControls ToolControlsOf(const ControlColumn& c, PictureViewer* viewer, PoiEditor* poi, TrkPanel* trk) {
  map::ToolControls t;
  t.help = c.Command57;
  t.saveMap = c.Command59;
  t.globe = c.Command58;
  t.trackCombo = c.Combo1;
  t.poiCombo = c.Combo2;
  t.track = c.Check14;
  t.directOnly = c.Check24;
  t.followUser = c.Option1;
  t.followMoniOne = c.Option2;
  t.moniOneStamp = c.Label9;
  if (viewer != nullptr) {
    t.viewer = viewer;
    t.viewerPage = viewer->WebBrowser2;
    t.picturePrevious = viewer->Command29;
    t.pictureNext = viewer->Command30;
    t.videoStart = viewer->Command70;
    t.pictureCentre = viewer->Command71;
  }
  if (poi != nullptr) {
    t.poiEditor = poi;
    t.poiText = poi->Text4;
    t.poiOk = poi->Command26;
    t.poiCancel = poi->Command22;
    t.poiToCentre = poi->Command64;
    t.poiOpenLink = poi->Command67;
  }
  if (trk != nullptr) {
    t.trackPanel = trk;
    t.trackPrevious = trk->Command68;
    t.trackNext = trk->Command69;
  }
  return t;
}

}  // namespace zeblon::panels
