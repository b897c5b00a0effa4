#include "panels/emergency_window.h"

#include <chrono>

#include "panels/frames.h"

namespace zeblon::panels {

std::array<std::string, 5> EmergencyTexts(const reception::AlarmRecord& a, const std::string& mapZoneText) {
  std::string call = a.call;
  if (call.size() < 12) call.resize(12, ' ');
  return {call + a.time, a.file.string(), "UTM(Z" + mapZoneText + "):" + a.northText + a.eastText,
          "GLL: " + a.latText + "  " + a.lonText, a.comment};
}

int AlarmLimitMinutes(const std::string& comment) { return comment.find('!') != std::string::npos ? 120 : 60; }

namespace {

// Minutes since 2000-01-01 00:00 of a valid date and time.
std::optional<long> MinuteNumber(int y, int mo, int d, int h, int mi) {
  using namespace std::chrono;
  const year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
  if (!ymd.ok() || h < 0 || h > 23 || mi < 0 || mi > 59) return std::nullopt;
  return static_cast<long>(sys_days(ymd).time_since_epoch().count()) * 1440L + h * 60L + mi;
}

std::optional<int> Digits(const std::string& s, std::size_t at, std::size_t count) {
  if (at + count > s.size()) return std::nullopt;
  int v = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    v = v * 10 + (s[i] - '0');
  }
  return v;
}

}  // namespace

std::optional<long> AlarmAgeMinutes(const std::string& t, const reception::LocalTime& now) {
  // "20YY-MM-DD HH:MM"
  const auto y = Digits(t, 0, 4), mo = Digits(t, 5, 2), d = Digits(t, 8, 2), h = Digits(t, 11, 2),
             mi = Digits(t, 14, 2);
  if (!y || !mo || !d || !h || !mi) return std::nullopt;
  const auto then = MinuteNumber(*y, *mo, *d, *h, *mi);
  const auto at = MinuteNumber(now.year, now.month, now.day, now.hour, now.minute);
  if (!then || !at) return std::nullopt;
  return *at - *then;
}

bool ReshowDue(double closedAt, double now) { return now - closedAt > kReshowSeconds; }

EmergencyWindow::EmergencyWindow(EmergencyPanel& panel, reception::AlarmRecord& alarm, const std::string& mapZoneText,
                                 MapActions& mapActions, EmergencyWindowPort& port)
    : panel_(panel), alarm_(alarm), zone_(mapZoneText), map_actions_(mapActions), port_(port) {}

void EmergencyWindow::Fill() {
  const auto t = EmergencyTexts(alarm_, zone_);
  panel_.Text11->SetText(t[0]);
  panel_.Text12->SetText(t[1]);
  panel_.Text13->SetText(t[2]);
  panel_.Text14->SetText(t[3]);
  panel_.Text15->SetText(t[4]);
}

void EmergencyWindow::Show() {
  map_actions_.ClosePictureViewer();
  map_actions_.ClearCentreOptions();
  port_.JumpToAlarm();
  Fill();
  port_.PlaySound();
  panel_.show();
  panel_.raise();
  port_.Maximise();
  map_actions_.DrawMap();
  port_.PumpEvents();
}

void EmergencyWindow::Centre() {
  port_.JumpToAlarm();
  map_actions_.DrawMap();
}

void EmergencyWindow::Hide() {
  panel_.hide();
  closedAt_ = port_.Clock();
}

void EmergencyWindow::Close() {
  const auto age = AlarmAgeMinutes(alarm_.time, port_.Now());
  if (!age || *age <= AlarmLimitMinutes(alarm_.comment)) {
    Hide();
    return;
  }
  if (port_.AskFalseAlarm()) {
    alarm_.call.clear();  // the alarm ends: no more re-showing, no mark on the station
    panel_.hide();
    closedAt_.reset();
    map_actions_.DrawMap();
    return;
  }
  Hide();
}

void EmergencyWindow::ReshowTick() {
  if (!AlarmStands() || Shown() || !closedAt_) return;
  if (!ReshowDue(*closedAt_, port_.Clock())) return;
  closedAt_.reset();
  Fill();
  panel_.show();
  panel_.raise();
}

bool EmergencyWindow::Shown() const { return !panel_.isHidden(); }

}  // namespace zeblon::panels
