#include "app/single_run.h"

#include <QLockFile>

namespace zeblon {

SingleRunGuard::SingleRunGuard(const std::string& app_folder)
    : lock_(std::make_unique<QLockFile>(QString::fromStdString(app_folder + "/ZEBLON.LCK"))) {
  lock_->setStaleLockTime(0);  // only a lock of a process that still lives counts
  if (lock_->tryLock(0)) {
    acquired_ = true;
  } else {
    acquired_ = lock_->error() != QLockFile::LockFailedError;
  }
}

SingleRunGuard::~SingleRunGuard() {
  if (lock_->isLocked()) lock_->unlock();
}

}  // namespace zeblon
