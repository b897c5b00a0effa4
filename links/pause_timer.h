// The pause timer: Timer2 is a one-shot that switches the main cycle's Timer1 back on
// a while after the last user action that paused it, and the watchdog of the web polls.
#pragma once

#include <QTimer>
#include <functional>

namespace zeblon::links {

// Arming the pause: Timer1 off, Timer2 off, Timer2's interval, Timer2 on. Switching
// Timer2 off and on restarts its count, so a burst of events postpones the resumption.
void ArmPause(QTimer& timer1, QTimer& timer2, int interval_ms);

// The internet notice the pause's end may close; the main window fills it. An empty
// hook is a window without that control.
struct PauseNotice {
  // The notice is shown (its own visibility, whether or not the window is).
  std::function<bool()> shown;
  // Ends the web poll: the MONI 1 internet support box cleared (its click handler
  // switches the support off), then the notice hidden.
  std::function<void()> endInternetSupport;
};

// The pause's end (Timer2): Timer2 off, Timer1 on; when the internet notice is still shown, it
// ends the internet support. The watchdog is the web poll's: while `otherNotice`
// says the notice is another request's (a chat message being sent through the
// web), it leaves both alone.
void Timer2Fired(QTimer& timer1, QTimer& timer2, const PauseNotice& notice,
                 const std::function<bool()>& otherNotice = {});

// Makes `timer2` a one-shot whose tick runs Timer2Fired.
void ConnectPauseTimer(QTimer& timer1, QTimer& timer2, PauseNotice notice, std::function<bool()> otherNotice = {});

}  // namespace zeblon::links
