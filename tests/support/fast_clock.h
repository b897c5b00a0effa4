// A wait clock a test moves on by hand (the main cycle's ticks, the 30-second
// rules), and by a millisecond at every look so that waits inside the window
// still end. Its end leaves a clock running on from where it stood.
#pragma once

#include "platform/wait.h"

namespace zeblon::testing_support {

struct FastClock {
  double now = 1000;
  FastClock() {
    platform::SetWaitClock([this] { return now += 0.001; });
  }
  ~FastClock() {
    platform::SetWaitClock([t = now]() mutable { return t += 0.25; });
  }
  FastClock(const FastClock&) = delete;
  FastClock& operator=(const FastClock&) = delete;
};

}  // namespace zeblon::testing_support
