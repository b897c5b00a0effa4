#include "stations/station_layers.h"

#include <QPoint>
#include <algorithm>

namespace zeblon::stations {

using map::MapView;

StationDrawSettings StationDrawSettings::From(const StationSwitches& s, bool directOnly, int colourDepth) {
  StationDrawSettings d;
  d.moniAllLevel = s.Level();
  d.wxLevel = s.WxLevel();
  d.filterMask = s.FilterMask();
  d.mobileFilter = s.MobileFilter();
  d.directOnly = directOnly;
  d.moniOneLevel = s.MoniOneLevel();
  d.colourDepth = colourDepth;
  return d;
}

StationPasses::StationPasses(const reception::ReceptionState& state, std::filesystem::path programFolder,
                             std::function<reception::LocalTime()> now, std::function<StationDrawSettings()> settings)
    : st_(state),
      settingsOf_(std::move(settings)),
      sheets_(std::move(programFolder)),
      all_(state.stations, state.alarm, state.settings.moniOneCall, settings_, sheets_, now),
      one_(state.stations, settings_, sheets_, now) {}

void StationPasses::Attach(map::MapHooks& hooks) {
  hooks.moni_all = [this](QPainter& p, const MapView& v) {
    if (settingsOf_) settings_ = settingsOf_();
    if (settings_.moniAllLevel >= 4 || settings_.moniOneLevel >= 4) sheets_.Reload();  // a replaced sheet shows at once
    p.setFont(map::MapFont());
    all_.render(p, v);
  };
  hooks.moni_one = [this](QPainter& p, const MapView& v, long x, long y) {
    if (settingsOf_) settings_ = settingsOf_();
    if (onMoniOneReadouts) onMoniOneReadouts(MoniOneReadoutsOf(st_));
    if (settings_.moniOneLevel >= 4) sheets_.Reload();
    p.setFont(map::MapFont());
    one_.SetStationPixel(
        QPoint(static_cast<int>(std::clamp<long>(x, -4000, 4000)), static_cast<int>(std::clamp<long>(y, -4000, 4000))));
    one_.render(p, v);
  };
}

}  // namespace zeblon::stations
