// The distance-alarm notice (Frame12 with Label25): a station heard closer than
// the alarm distance. It opens at the top of the window over the map's left
// edge and keeps the last alarm's texts and colours until its close button
// (Command34) hides it.
#pragma once

#include "panels/frames.h"
#include "platform/controls.h"
#include "reception/reception_host.h"

namespace zeblon::panels {

class DistanceAlarmPanel : public PanelFrame {
  Q_OBJECT
 public:
  explicit DistanceAlarmPanel(QWidget* window);
  // Fills the frame from the alarm (MONI ALL: white on the station colour,
  // MONI 1: yellow on black) and shows it at the top of the window, left at `left`.
  void Show(const reception::DistanceAlarm& alarm, int left);
  platform::Label* Label25;
  platform::CommandButton* Command34;  // X
};

}  // namespace zeblon::panels
