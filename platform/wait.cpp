#include "platform/wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <thread>

namespace platform {
namespace {

SecondsClock& Clock() {
  static SecondsClock clock;
  return clock;
}

double MonotonicSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// The longest sleep between two looks at the clock.
constexpr double kStep = 0.005;

void SleepUpTo(double seconds) {
  if (Clock()) {
    // A test clock: yield only, the test moves time.
    std::this_thread::yield();
    return;
  }
  const double s = seconds < kStep ? seconds : kStep;
  if (s > 0) std::this_thread::sleep_for(std::chrono::duration<double>(s));
}

}  // namespace

void SetWaitClock(SecondsClock clock) { Clock() = std::move(clock); }

double WaitClockNow() { return Clock() ? Clock()() : MonotonicSeconds(); }

void Pause(float seconds) {
  const double t0 = WaitClockNow();
  for (;;) {
    const double d = WaitClockNow() - t0;
    if (d >= seconds || d < 0) return;
    SleepUpTo(seconds - d);
  }
}

void PauseWithEvents(float seconds) {
  const double t0 = WaitClockNow();
  for (;;) {
    if (QCoreApplication::instance() != nullptr) {
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    const double d = WaitClockNow() - t0;
    if (d >= seconds || d < 0) return;
    SleepUpTo(seconds - d);
  }
}

}  // namespace platform
