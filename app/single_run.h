// One run of ZEBLON per program folder: a second start while one runs would share
// its settings file, logs and serial ports.
#pragma once

#include <memory>
#include <string>

class QLockFile;

namespace zeblon {

class SingleRunGuard {
 public:
  // Takes the lock file ZEBLON.LCK in the program folder. A lock left by a run that
  // crashed is taken over; a folder where no lock can be written does not stop the
  // program (nothing else would work there either).
  explicit SingleRunGuard(const std::string& app_folder);
  ~SingleRunGuard();
  // False when another run of the program folder holds the lock.
  bool Acquired() const { return acquired_; }

 private:
  std::unique_ptr<QLockFile> lock_;
  bool acquired_ = false;
};

// The message of a second start.
inline constexpr const char* kAlreadyRunningText = "ZEBLON IS ALREADY RUNNING IN THIS PROGRAM FOLDER !";
inline constexpr const char* kAlreadyRunningTitle = "ZEBLON  START";

}  // namespace zeblon
