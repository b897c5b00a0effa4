// The pause timer: arming, re-arming by a burst, and the web watchdog.
#include "links/pause_timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>

#include "platform/controls.h"
#include <gtest/gtest.h>

namespace zeblon::links {
namespace {

struct Timers {
  QWidget window;
  QTimer timer1, timer2;
  QLineEdit* text10 = new QLineEdit(&window);
  platform::CheckBox* check22 = new platform::CheckBox(&window, "Check22", "I");
  int check22Clicks = 0;
  Timers() {
    timer1.setInterval(6000);
    timer2.setInterval(2000);
    check22->OnClick = [this] { ++check22Clicks; };
    ConnectPauseTimer(timer1, timer2, Notice());
  }
  // The notice and the support box as the main window hands them in.
  PauseNotice Notice() {
    return {[this] { return !text10->isHidden(); },
            [this] {
              check22->SetValue(0);
              text10->hide();
            }};
  }
};

// Runs events until `done` or `limit_ms`; returns the elapsed milliseconds.
template <typename F>
qint64 RunUntil(F done, int limit_ms) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < limit_ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return t.elapsed();
}

TEST(PauseTimer, ArmingStopsTheCycleAndTheTickResumesIt) {
  Timers t;
  t.timer1.start();
  ArmPause(t.timer1, t.timer2, 60);
  EXPECT_FALSE(t.timer1.isActive());
  EXPECT_TRUE(t.timer2.isActive());
  EXPECT_EQ(t.timer2.interval(), 60);
  t.text10->hide();
  RunUntil([&] { return t.timer1.isActive(); }, 2000);
  EXPECT_TRUE(t.timer1.isActive());
  EXPECT_FALSE(t.timer2.isActive());
  EXPECT_EQ(t.timer1.interval(), 6000);  // only switched on
  EXPECT_EQ(t.check22Clicks, 0);         // notice hidden: nothing else happens
}

TEST(PauseTimer, ABurstPostponesTheResumption) {
  Timers t;
  t.text10->hide();
  QElapsedTimer since_last;
  for (int i = 0; i < 4; ++i) {
    ArmPause(t.timer1, t.timer2, 400);
    since_last.start();
    RunUntil([] { return false; }, 60);
    // Still paused, unless a busy machine held this loop back past the interval.
    if (since_last.elapsed() < 360) {
      EXPECT_FALSE(t.timer1.isActive()) << i;
    }
  }
  RunUntil([&] { return t.timer1.isActive(); }, 5000);
  EXPECT_TRUE(t.timer1.isActive());
  EXPECT_GE(since_last.elapsed(), 370);  // one interval after the last event (a coarse timer may fire 5 % early)
}

TEST(PauseTimer, WatchdogUnticksInternetSupportWhenTheNoticeIsStillShown) {
  Timers t;
  t.check22->SetValue(1);
  t.check22Clicks = 0;
  t.text10->show();  // the web poll's notice, page not arrived
  Timer2Fired(t.timer1, t.timer2, t.Notice());
  EXPECT_EQ(t.check22->Value(), 0);
  EXPECT_EQ(t.check22Clicks, 1);
  EXPECT_TRUE(t.text10->isHidden());
  EXPECT_TRUE(t.timer1.isActive());
  EXPECT_FALSE(t.timer2.isActive());

  // The notice of a chat message's web send is not the poll's: left alone.
  t.check22->SetValue(1);
  t.text10->show();
  t.timer1.stop();
  Timer2Fired(t.timer1, t.timer2, t.Notice(), [] { return true; });
  EXPECT_EQ(t.check22->Value(), 1);
  EXPECT_FALSE(t.text10->isHidden());
  EXPECT_TRUE(t.timer1.isActive());
}

}  // namespace
}  // namespace zeblon::links
