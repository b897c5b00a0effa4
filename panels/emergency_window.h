// The EMERGENCY window (Frame14): the last alarm's texts, the map jump to the
// alarm position, closing for 30 seconds (or cancelling an old alarm as a false
// alarm) and the re-show by the main cycle while the alarm stands. The texts and
// the rules are plain functions; EmergencyWindow works on the frame, the map's
// actions and its own port, so it runs without the main window.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "panels/map_actions.h"
#include "reception/aprs_decode.h"
#include "reception/station_record.h"

namespace zeblon::panels {

class EmergencyPanel;

// The five text boxes Text11 … Text15 of an alarm.
std::array<std::string, 5> EmergencyTexts(const reception::AlarmRecord& alarm, const std::string& mapZoneText);

// Minutes an alarm stands before closing asks whether it was a false alarm:
// 60, or 120 when the comment holds "!".
int AlarmLimitMinutes(const std::string& comment);

// Whole minutes from the alarm time "20YY-MM-DD HH:MM" to now (minute
// boundaries passed). An unreadable time gives no age.
std::optional<long> AlarmAgeMinutes(const std::string& alarmTime, const reception::LocalTime& now);

// The window's re-show: due once more than 30 seconds of the monotonic clock
// have passed since the user closed it.
inline constexpr double kReshowSeconds = 30.0;
bool ReshowDue(double closedAt, double now);

// What the EMERGENCY window needs of the rest of the program besides the map's actions.
class EmergencyWindowPort {
 public:
  virtual ~EmergencyWindowPort() = default;
  // CentreMode 3: the next drawing centres on the alarm; the jump counts as the user's move of the map.
  virtual void JumpToAlarm() = 0;
  virtual void Maximise() = 0;    // the main window maximised
  virtual void PumpEvents() = 0;  // pending window events run once
  virtual void PlaySound() = 0;   // the alarm sound (silent on any failure)
  // Yes to "CANCEL THIS ALARM".
  virtual bool AskFalseAlarm() = 0;
  virtual reception::LocalTime Now() const = 0;  // the local clock
  virtual double Clock() const = 0;              // monotonic seconds
};

class EmergencyWindow {
 public:
  EmergencyWindow(EmergencyPanel& panel, reception::AlarmRecord& alarm, const std::string& mapZoneText,
                  MapActions& mapActions, EmergencyWindowPort& port);

  // ShowEmergencyWindow: an alarm came in.
  void Show();
  // MAP: the map centres on the alarm once more.
  void Centre();
  // x: hidden for 30 s, or for an alarm older than its limit the false-alarm question.
  void Close();
  // The main cycle's step: shows the window again while the alarm stands.
  void ReshowTick();

  bool Shown() const;
  bool AlarmStands() const { return !alarm_.call.empty(); }

 private:
  void Fill();
  void Hide();

  EmergencyPanel& panel_;
  reception::AlarmRecord& alarm_;
  const std::string& zone_;
  MapActions& map_actions_;
  EmergencyWindowPort& port_;
  std::optional<double> closedAt_;
};

}  // namespace zeblon::panels
