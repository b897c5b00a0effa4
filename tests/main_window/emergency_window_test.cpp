// The EMERGENCY window: its texts and rules, and an emergency report through the
// real receive pass of the main window: the window opens with the alarm file's
// block, the map jumps to the station, the alarm sound is asked to play, closing
// hides it and the main cycle shows it again only after 30 seconds; an old alarm
// can be cancelled as a false alarm; without the sound file all is silent.
#include <QDateTime>
#include <memory>

#include "geodesy/text.h"
#include "links/computer_clock.h"
#include "panels/emergency_window.h"
#include "tests/links/gps_nmea.h"
#include "tests/main_window/emergency_fixture.h"
#include "tests/support/fast_clock.h"
#include "tests/support/find.h"

#ifdef ZEBLON_HAVE_VIDEO
#include <QSoundEffect>
#endif

namespace zeblon {
namespace {

// ---------------------------------------------------------------------------
// The plain rules.

TEST(EmergencyRules, TextsLimitAgeAndReshow) {
  reception::AlarmRecord a;
  a.call = "SOS-7";
  a.time = "2024-05-01 12:34";
  a.northText = "5818.123 ";
  a.eastText = "391.456 ";
  a.latText = " 52:30.00";
  a.lonText = " 13:20.00";
  a.comment = "help";
  a.file = "/data/LOG/_ALARM_.TXT";
  const auto t = panels::EmergencyTexts(a, "33");
  EXPECT_EQ(t[0], "SOS-7       2024-05-01 12:34");
  EXPECT_EQ(t[1], "/data/LOG/_ALARM_.TXT");
  EXPECT_EQ(t[2], "UTM(Z33):5818.123 391.456 ");
  EXPECT_EQ(t[3], "GLL:  52:30.00   13:20.00");
  EXPECT_EQ(t[4], "help");
  a.call = "ABCDEFGHIJKLMN";  // longer than the column: kept whole
  EXPECT_EQ(panels::EmergencyTexts(a, "33")[0], "ABCDEFGHIJKLMN2024-05-01 12:34");

  EXPECT_EQ(panels::AlarmLimitMinutes("help"), 60);
  EXPECT_EQ(panels::AlarmLimitMinutes("injured!"), 120);

  struct Case {
    std::string time;
    reception::LocalTime now;
    std::optional<long> age;
  };
  const Case cases[] = {
      {"2024-05-01 12:34", {2024, 5, 1, 12, 34, 59}, 0},
      {"2024-05-01 12:34", {2024, 5, 1, 13, 34, 0}, 60},
      {"2024-05-01 23:59", {2024, 5, 2, 0, 1, 0}, 2},               // over midnight
      {"2024-02-28 23:00", {2024, 3, 1, 0, 0, 0}, 1500},            // leap day
      {"2024-12-31 23:30", {2025, 1, 1, 0, 30, 0}, 60},             // over the year
      {"2024-05-01 12:34", {2024, 5, 1, 12, 30, 0}, -4},            // a clock set back
      {"20  -  -     :  ", {2024, 5, 1, 12, 30, 0}, std::nullopt},  // a report without date
      {"2024-13-01 12:34", {2024, 5, 1, 12, 30, 0}, std::nullopt},
      {"", {2024, 5, 1, 12, 30, 0}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(panels::AlarmAgeMinutes(c.time, c.now), c.age) << c.time;

  EXPECT_FALSE(panels::ReshowDue(100.0, 130.0));
  EXPECT_TRUE(panels::ReshowDue(100.0, 130.5));
}

// ---------------------------------------------------------------------------
// The window.

using testing_support::EmergencyWindowTest;
using testing_support::Find;

TEST_F(EmergencyWindowTest, MicEEmergencyOpensTheWindowPlaysCentresClosesAndComesBack) {
  WithSound();
  Start();
  ASSERT_FALSE(Visible());
  form_->Map().SetCentreMode(0);
  Frame("SOS*>012U6T", "`(_fn\"Oj/]help");
  ASSERT_TRUE(Visible());
  EXPECT_EQ(form_->EmergencyFrame().Caption(),
            "ALARM:      EMERGENCY!        NOTFALL!        N\xD6"
            "DFALL!       ");

  // The window holds the block the pass appended to _ALARM_.TXT.
  const reception::AlarmRecord& a = form_->Reception().alarm;
  const std::string block = AlarmFile();
  const auto t = Shown();
  EXPECT_EQ(t[0], "SOS         " + a.time);
  EXPECT_NE(block.find("STATION : SOS\r\nTIME    : " + a.time + "\r\n"), std::string::npos);
  EXPECT_EQ(t[1], a.file.string());
  EXPECT_EQ(a.file.filename(), "_ALARM_.TXT");
  EXPECT_NE(block.find("UTM(Z33): " + a.northText + " " + a.eastText + "\r\n"), std::string::npos);
  EXPECT_EQ(t[2], "UTM(Z33):" + a.northText + a.eastText);
  EXPECT_NE(block.find("GLL     : " + a.latText + " " + a.lonText + "\r\n"), std::string::npos);
  EXPECT_EQ(t[3], "GLL: " + a.latText + "  " + a.lonText);
  EXPECT_NE(block.find("INFO    : help\r\n"), std::string::npos);
  EXPECT_EQ(t[4], "help");

  // The map made its one jump to the alarm position; the window is maximised.
  EXPECT_EQ(form_->Map().state().CentreMode, 0);
  EXPECT_EQ(form_->CurrentSettings().CentreNorth, LeadingNumber(a.northText));
  EXPECT_EQ(form_->CurrentSettings().CentreEast, LeadingNumber(a.eastText));
  EXPECT_TRUE(form_->windowState() & Qt::WindowMaximized);

  // The sound: asked to play our own file once.
  EXPECT_EQ(form_->AlarmSoundPlayer().PlayRequests(), 1);
#ifdef ZEBLON_HAVE_VIDEO
  QSoundEffect* player = form_->AlarmSoundPlayer().Player();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(player->source().toLocalFile().toStdString(), (folder_ / "ALARM.WAV").string());
  // The effect enters its playing state on the request; where the machine has an
  // audio device it loads and sounds, without one it stays silent (and may end
  // in its error status), never failing the window.
  PumpUntil([&] { return player->isPlaying() || player->status() == QSoundEffect::Error; }, 3000);
  EXPECT_TRUE(player->isPlaying() || player->status() == QSoundEffect::Error);
  std::cout << "alarm sound: playing " << player->isPlaying() << ", status " << static_cast<int>(player->status())
            << "\n";
#endif

  // The user moves the map away; CENTER jumps back.
  form_->Map().SetCentre(1.0, 2.0);
  form_->EmergencyFrame().Command38->click();
  EXPECT_EQ(form_->CurrentSettings().CentreNorth, LeadingNumber(a.northText));
  EXPECT_EQ(form_->CurrentSettings().CentreEast, LeadingNumber(a.eastText));

  // x on a young alarm asks nothing; the cycle shows the window again only
  // after more than 30 seconds of the monotonic clock.
  form_->EmergencyFrame().Command39->click();
  EXPECT_FALSE(Visible());
  EXPECT_TRUE(platform::MessageLog().empty());
  clock_ += 30.0;
  form_->CycleSteps().ReshowEmergencyWindow();
  EXPECT_FALSE(Visible());
  clock_ += 0.5;
  form_->CycleSteps().ReshowEmergencyWindow();
  EXPECT_TRUE(Visible());
  EXPECT_EQ(Shown(), t);
  EXPECT_EQ(form_->AlarmSoundPlayer().PlayRequests(), 1);  // the re-show is silent
}

// The latitude and longitude as the map's read-outs write them, in the alarm file
// and in the window (not as a position report writes them).
TEST_F(EmergencyWindowTest, TheAlarmTellsLatitudeAndLongitudeAsTheMapsReadouts) {
  Start();
  Frame("XY1AD>593P00", "`.X&!!!>/]Test");  // MIC-E emergency at 59 30.00 N, 18 00.10 E
  ASSERT_TRUE(Visible());
  const std::string block = AlarmFile();
  EXPECT_NE(block.find("STATION : XY1AD\r\n"), std::string::npos) << block;
  EXPECT_NE(block.find("\r\nGLL     :  59:30.00  18:00.10\r\nUTM(Z33): "), std::string::npos) << block;
  EXPECT_EQ(Shown()[3], "GLL:  59:30.00   18:00.10");
}

TEST_F(EmergencyWindowTest, EmergencySymbolOpensTheWindowAndAnOldAlarmCanBeCancelled) {
  WithSound();
  Start();
  Frame("OTHER*>APRS", "!4903.50N\\07201.75W!hurt");
  ASSERT_TRUE(Visible());
  EXPECT_EQ(form_->Reception().alarm.call, "OTHER");
  EXPECT_NE(AlarmFile().find("STATION : OTHER\r\n"), std::string::npos);
  EXPECT_EQ(Shown()[0].substr(0, 12), "OTHER       ");

  // A year later the alarm is past its hour: x asks; No keeps the alarm standing.
  form_->AlarmLocalClock = [] {
    reception::LocalTime later = ComputerClockNow();
    ++later.year;
    return later;
  };
  platform::SetMessageResponder([](const platform::MessageRecord&) { return platform::MsgResult::No; });
  form_->EmergencyFrame().Command39->click();
  ASSERT_EQ(platform::MessageLog().size(), 1u);
  EXPECT_EQ(platform::MessageLog()[0].text, "CANCEL THIS ALARM  ( = FALSE ALARM )  ?");
  EXPECT_EQ(platform::MessageLog()[0].title, "ZEBLON         EMERGENCY ALARM");
  EXPECT_EQ(platform::MessageLog()[0].defaultButton, 2);  // No: a hasty Enter keeps the alarm
  EXPECT_FALSE(Visible());
  clock_ += 31.0;
  form_->CycleSteps().ReshowEmergencyWindow();
  EXPECT_TRUE(Visible());

  // Yes ends it: no more re-showing.
  platform::SetMessageResponder([](const platform::MessageRecord&) { return platform::MsgResult::Yes; });
  form_->EmergencyFrame().Command39->click();
  platform::SetMessageResponder(nullptr);
  EXPECT_FALSE(Visible());
  EXPECT_TRUE(form_->Reception().alarm.call.empty());
  clock_ += 100.0;
  form_->CycleSteps().ReshowEmergencyWindow();
  EXPECT_FALSE(Visible());
}

// With GPS fixes coming in, the map stays at the alarm after the window's own
// jump and after MAP, as it does after the user's own move: no fix takes it back.
TEST_F(EmergencyWindowTest, TheJumpsToTheAlarmHoldAgainstTheGpsFixes) {
  Write("ZEBLON.INI", Ini() + "NMEA=GPS.TXT\r\n");
  Start();
  testing_support::FastClock clock;
  // One main-cycle tick 6 s after the last: a fix of the own position, then the cycle's drawing.
  auto tick = [&] {
    clock.now += 6;
    using links::testing::Nmea;
    Write("GPS.TXT", Nmea("GPGGA,123519,5230.00,N,01320.00,E,1,08,0.9,45.4,M,46.9,M,,") +
                         Nmea("GPGGA,123520,5230.00,N,01320.00,E,1,08,0.9,45.4,M,46.9,M,,"));
    form_->GpsStep().Read();
    form_->DrawMap();
  };
  auto centre = [&] {
    return Find<platform::Label>(*form_, "Label1")->Caption() + Find<platform::Label>(*form_, "Label2")->Caption();
  };
  tick();
  const std::string own = centre();
  Frame("SOS*>012U6T", "`(_fn\"Oj/]help");
  ASSERT_TRUE(Visible());
  const std::string alarm = centre();
  ASSERT_NE(alarm, own);
  for (int i = 0; i < 10; ++i) {
    tick();
    ASSERT_EQ(centre(), alarm) << "tick " << i << " after the alarm";
  }
  // USER QTH takes the map home; MAP takes it to the alarm again, to stay.
  Find<platform::OptionButton>(*form_, "Option1")->OnMouseUp(1);
  ASSERT_EQ(centre(), own);
  form_->EmergencyFrame().Command38->click();
  EXPECT_EQ(centre(), alarm);
  for (int i = 0; i < 10; ++i) {
    tick();
    ASSERT_EQ(centre(), alarm) << "tick " << i << " after MAP";
  }
}

TEST_F(EmergencyWindowTest, WithoutTheSoundFileTheWindowOpensInSilence) {
  Start();  // no ALARM.WAV in the program folder
  Frame("SOS*>012U6T", "`(_fn\"Oj/]help");
  EXPECT_TRUE(Visible());
  EXPECT_EQ(form_->AlarmSoundPlayer().PlayRequests(), 0);
  EXPECT_EQ(form_->AlarmSoundPlayer().Player(), nullptr);
}

}  // namespace
}  // namespace zeblon
