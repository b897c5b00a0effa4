#include "panels/alarm_sound.h"

#include <QUrl>
#include <filesystem>

#include "reception/station_record.h"

#ifdef ZEBLON_HAVE_VIDEO
#include <QSoundEffect>
#else
class QSoundEffect {};  // no player in a build without Qt Multimedia
#endif

namespace zeblon {

AlarmSound::AlarmSound(std::string programFolder) : folder_(std::move(programFolder)) {}

AlarmSound::~AlarmSound() { Stop(); }

std::string AlarmSound::FilePath() const {
  return reception::FindFileInFolder(std::filesystem::path(folder_), "ALARM.WAV").string();
}

void AlarmSound::Play() {
  std::error_code ec;
  const std::filesystem::path file = FilePath();
  if (!std::filesystem::is_regular_file(file, ec)) return;  // silence
  ++requests_;
#ifdef ZEBLON_HAVE_VIDEO
  if (!effect_) {
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
  }
  effect_->stop();
  effect_->play();
#endif
}

void AlarmSound::Stop() {
#ifdef ZEBLON_HAVE_VIDEO
  if (effect_) effect_->stop();
#endif
}

}  // namespace zeblon
