#include "panels/alarm_distance_panel.h"

#include <string>

#include "stations/station_display.h"

namespace zeblon::panels {

using namespace platform;

AlarmDistancePanel::AlarmDistancePanel(QWidget* window)
    : PanelFrame(window, "Frame13", "ALARM DIST SETUP:", {200, 0, 150, 50}) {
  Text9 = Add<TextBox>(this, {8, 20, 70, 22}, "Text9");
  Command35 = Add<CommandButton>(this, {86, 20, 56, 22}, "Command35", "OK");
  Command35->OnClick = [this] {
    const int km = stations::StationSwitches::AlarmDistanceFromText(Text9->Text());
    hide();
    if (OnOk) OnOk(km);
  };
}

void AlarmDistancePanel::Open(int left, int distanceKm) {
  move(left, 0);
  Text9->SetText(std::to_string(distanceKm));
  show();
  raise();
}

}  // namespace zeblon::panels
