// The pause timer: Timer2 is a one-shot that switches the main cycle's Timer1 back on
// a while after the last user action that paused it, and the watchdog of the web polls.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

#include "platform/controls.h"

namespace zeblon::links {

// Arming the pause: Timer1 off, Timer2 off, Timer2's interval, Timer2 on. Switching
// Timer2 off and on restarts its count, so a burst of events postpones the resumption.
void ArmPause(QTimer& timer1, QTimer& timer2, int interval_ms);

// Timer2_Timer: Timer2 off, Timer1 on; when the internet notice `text10` is still
// shown (its own visibility, whether or not the window is), the MONI 1 internet support box `check22` is cleared (its
// click handler switches the support off) and the notice hidden. Either control may be null.
// The watchdog is the web poll's: while `otherNotice` says the notice is another
// request's (a chat message being sent through the web), it leaves both alone.
void Timer2Fired(QTimer& timer1, QTimer& timer2, QWidget* text10, platform::CheckBox* check22,
                 const std::function<bool()>& otherNotice = {});

// Makes `timer2` a one-shot whose tick runs Timer2Fired.
void ConnectPauseTimer(QTimer& timer1, QTimer& timer2, QWidget* text10, platform::CheckBox* check22,
                       std::function<bool()> otherNotice = {});

}  // namespace zeblon::links
