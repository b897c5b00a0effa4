// The controls the map steers, named from the panels that own them: the map's
// controller gets the navigation, the overlays, the read-outs, the scale bar and
// the inks; its tools get the specials, the TRK and POI files, the picture
// viewer, the POI editor and the TRK stepping.
#pragma once

#include "map/map_controller.h"
#include "map/map_tools.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/ink_palette.h"

namespace zeblon::panels {

// Without an INFO panel (`info` null) the map has no MAP button to caption.
map::MapControls MapControlsOf(const ControlColumn& column, QthSetupPanel& qth, const InfoPanel* info, ScaleBar& scales,
                               const InkPalette& inks);

// A panel left null leaves its controls out.
map::ToolControls ToolControlsOf(const ControlColumn& column, PictureViewer* viewer, PoiEditor* poi, TrkPanel* trk);

}  // namespace zeblon::panels
