// The alarm sound: ALARM.WAV of the program folder played once per alarm
// through Qt Multimedia's sound effect. A missing file, a build without Qt
// Multimedia or a machine without an audio device gives silence, never an error.
#pragma once

#include <memory>
#include <string>

class QSoundEffect;

namespace zeblon {

class AlarmSound {
 public:
  explicit AlarmSound(std::string programFolder);
  ~AlarmSound();
  AlarmSound(const AlarmSound&) = delete;
  AlarmSound& operator=(const AlarmSound&) = delete;

  // PlayAlarmSound: starts the sound when the file is there (a sound still
  // playing starts again).
  void Play();
  // The device closed: at shutdown.
  void Stop();

  std::string FilePath() const;
  // How often the sound was asked to play with its file present.
  int PlayRequests() const { return requests_; }
  // The player; null in a build without Qt Multimedia or before the first play.
  QSoundEffect* Player() const { return effect_.get(); }

 private:
  std::string folder_;
  std::unique_ptr<QSoundEffect> effect_;
  int requests_ = 0;
};

}  // namespace zeblon
