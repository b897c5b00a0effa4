#include "panels/distance_alarm_panel.h"

#include "stations/station_layers.h"

namespace zeblon::panels {

using namespace platform;

DistanceAlarmPanel::DistanceAlarmPanel(QWidget* window) : PanelFrame(window, "Frame12", "", {200, 0, 360, 46}) {
  Label25 = Add<Label>(this, {8, 18, 316, 20}, "Label25");
  Label25->setAutoFillBackground(true);
  Command34 = Add<CommandButton>(this, {332, 16, 22, 22}, "Command34", "X");
  Command34->OnClick = [this] { hide(); };
}

void DistanceAlarmPanel::Show(const reception::DistanceAlarm& alarm, int left) {
  const QColor back = alarm.moniOne ? QColor(0, 0, 0) : stations::ToQColor(stations::kStationColour);
  const QColor fore = alarm.moniOne ? QColor(255, 255, 0) : QColor(255, 255, 255);
  SetCaption(alarm.frameCaption);
  SetBackColour(this, back);
  SetTextColour(this, fore);
  Label25->SetCaption(alarm.labelCaption);
  SetBackColour(Label25, back);
  SetTextColour(Label25, fore);
  move(left, 0);
  show();
  raise();
}

}  // namespace zeblon::panels
