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

StationPasses::~StationPasses() {
  if (map_ == nullptr) return;
  map_->layers().Remove(&all_pass_);
  map_->layers().Remove(&one_pass_);
}

void StationPasses::Attach(map::MapDisplay& map) {
  if (map_ != nullptr) return;
  map_ = &map;
  all_pass_.draw = [this](QPainter& p, const MapView& v) {
    if (settingsOf_) settings_ = settingsOf_();
    if (settings_.moniAllLevel >= 4 || settings_.moniOneLevel >= 4) sheets_.Reload();  // a replaced sheet shows at once
    p.setFont(map::MapFont());
    Busy(true);
    all_.render(p, v);
    Busy(false);
  };
  one_pass_.draw = [this](QPainter& p, const MapView& v) {
    const long x = map_->state().MoniOnePixelX, y = map_->state().MoniOnePixelY;
    if (settingsOf_) settings_ = settingsOf_();
    if (onMoniOneReadouts) onMoniOneReadouts(MoniOneReadoutsOf(st_));
    if (settings_.moniOneLevel >= 4) sheets_.Reload();
    p.setFont(map::MapFont());
    one_.SetStationPixel(
        QPoint(static_cast<int>(std::clamp<long>(x, -4000, 4000)), static_cast<int>(std::clamp<long>(y, -4000, 4000))));
    Busy(true);
    one_.render(p, v);
    Busy(false);
  };
  map.layers().Add(map::LayerPlace::kMoniAll, &all_pass_);
  map.layers().Add(map::LayerPlace::kMoniOne, &one_pass_);
}

}  // namespace zeblon::stations
