// The main cycle as the window's panels and links hold and resume it: Timer1
// (the cycle's tick), Timer2 (the one-shot pause that switches Timer1 on again)
// and the cycle's normal interval. The main window implements it once; every
// controller that stops, starts or pauses the cycle is handed this port.
#pragma once

namespace zeblon::links {

class CycleControl {
 public:
  virtual ~CycleControl() = default;
  // Timer1 off, or on (a start restarts its count).
  virtual void StopCycle() = 0;
  virtual void StartCycle() = 0;
  // Both timers off: a window that holds everything until it closes.
  virtual void HoldCycle() = 0;
  // Timer1 off and Timer2 armed with `interval_ms`: the cycle runs again when it fires.
  virtual void ArmPause(int interval_ms) = 0;
  // Timer2 off: no pause ends the hold.
  virtual void StopWatchdog() = 0;
  // The cycle's normal interval (ms), and Timer1's interval set, running or not.
  virtual int CycleInterval() const = 0;
  virtual void SetCycleInterval(int interval_ms) = 0;
};

}  // namespace zeblon::links
