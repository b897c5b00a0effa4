// Timed waits.
//
// Pause blocks the thread for the given seconds; no event runs meanwhile.
// PauseWithEvents lets pending window and component events run once before its
// first look at the clock and again on every turn, so handlers (and nested waits)
// may run inside it.
//
// The clock is a monotonic one of seconds (a wait never ends early at midnight, as
// a clock of seconds since midnight would); tests install a clock of their own.
// The waits sleep in short steps instead of spinning on the processor.
#pragma once

#include <functional>

namespace platform {

using SecondsClock = std::function<double()>;

// The clock the waits read; nullptr restores the monotonic clock.
void SetWaitClock(SecondsClock clock);
double WaitClockNow();

void Pause(float seconds);
void PauseWithEvents(float seconds);

}  // namespace platform
