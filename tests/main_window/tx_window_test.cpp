// The main window's TX switch, TX setup panel and GPS step: the panel opened from
// the settings, its OK writing them (or refusing bad entries), the TNC commands
// sent again to a scripted TNC, a manual beacon, and a GPS fix from a drop file.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "links/tnc_commands.h"
#include "main_window/form1.h"
#include "platform/process.h"
#include "tests/links/gps_nmea.h"
#include "tests/support/find.h"
#include "tests/support/program_folder.h"
#include "tests/support/pty_pair.h"

namespace zeblon {
namespace {

using testing_support::Find;
namespace fs = std::filesystem;

class TxWindowTest : public testing_support::ProgramFolderTest {
 protected:
  void Ini(const std::string& modem, const std::string& more = "") {
    Write("ZEBLON.INI", "TEMP=" + folder_.string() + "\r\nUSER=AB1CD\r\nMODEM=" + modem +
                            "\r\nMSYS=U33\r\nLANG=11\r\nUTN=6581.5\r\nUTE=401.25\r\nUUN=6580\r\nUUE=400\r\n"
                            "CALL=QW7TK\r\nNOAT=1\r\nWVER=WIN10\r\nTXID=9\r\nTXON=10\r\nTXTO=ZEBL\r\n"
                            "TXPA=WIDE1-1\r\nTXSY=62\r\nTXAF=300\r\nHBAUD=1200\r\nXBAUD=NONE\r\nSCOMP=7\r\n" +
                            more);
  }
  std::unique_ptr<Form1> Start() {
    auto form = std::make_unique<Form1>();
    form->show();
    PumpUntil([&] { return form->map().MapDrawnOnce == 1; });
    return form;
  }
  static void Grab(QWidget& w, const char* file) {
    const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "artefacts";
    fs::create_directories(dir);
    w.grab().save(QString::fromStdString((dir / file).string()));
  }
};

TEST_F(TxWindowTest, PanelOpensFromTheSettingsAndOkWritesThem) {
  Ini("4");
  auto form = Start();
  ASSERT_EQ(form->map().MapDrawnOnce, 1);
  panels::TxSetupPanel& tx = form->TxPanel();
  form->Check6_MouseUp(2);
  EXPECT_FALSE(tx.isHidden());
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_FALSE(form->Timer2->isActive());
  EXPECT_EQ(tx.fr4Text1->Text(), "9");
  EXPECT_EQ(tx.fr4Text2->Text(), "10");
  EXPECT_EQ(tx.fr4Text4->Text(), "WIDE1-1");
  EXPECT_EQ(tx.fr4Text8->Text(), "62");
  EXPECT_TRUE(tx.Frame20->isHidden());  // no SCS TNC
  EXPECT_TRUE(tx.Text16->isHidden());
  EXPECT_EQ(tx.width(), form->width());
  tx.fr4ti[1]->SetText("Mobile station, 145.800 MHz");
  Grab(*form, "tx_setup_panel.png");

  // A bad symbol number: a message, the panel stays, nothing is written.
  tx.fr4Text8->SetText("97");
  tx.fr4Command4->click();
  ASSERT_EQ(platform::MessageLog().size(), 1u);
  EXPECT_NE(platform::MessageLog()[0].text.find("APRS SYMBOL"), std::string::npos);
  EXPECT_FALSE(tx.isHidden());
  EXPECT_TRUE(IniHas("TXSY=62"));

  // Corrected: the settings file, the own call, the echo header, the TX switch.
  tx.fr4Text8->SetText("101");
  tx.fr4Text1->SetText("7");
  tx.fr4Text2->SetText("MANUAL");
  tx.fr4Text3->SetText("");
  tx.fr4Command4->click();
  EXPECT_TRUE(tx.isHidden());
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_TRUE(IniHas("TXID=7"));
  EXPECT_TRUE(IniHas("TXON=0"));
  EXPECT_TRUE(IniHas("TXTO=ZEBL"));
  EXPECT_TRUE(IniHas("TXSY=101"));
  EXPECT_EQ(form->shell().TxCall, "AB1CD-7");
  EXPECT_EQ(form->shell().OwnEchoHeader, "AB1CD-7*>WIDE1-1>ZEBL");
  EXPECT_EQ(Find<platform::CheckBox>(*form, "Check6")->Caption(), "TX !");
  EXPECT_EQ(Find<platform::CheckBox>(*form, "Check6")->Value(), 0);

  // ABORT: nothing taken, the cycle runs again.
  form->Check6_MouseUp(2);
  tx.fr4Text1->SetText("3");
  tx.fr4Command3->click();
  EXPECT_TRUE(tx.isHidden());
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_TRUE(IniHas("TXID=7"));
}

TEST_F(TxWindowTest, ManualTransmitSendsOneBeaconAndLeavesTheSwitchOff) {
  Ini("0");
  auto form = Start();
  int beacons = 0, due = 0;
  form->SendOwnBeacon = [&beacons] { ++beacons; };
  form->MakePositionBeaconDue = [&due] { ++due; };
  auto* check6 = Find<platform::CheckBox>(*form, "Check6");
  check6->SetCaption("TX !");
  form->settings().BeaconInterval = 0;
  check6->SetValue(1);
  form->Check6_MouseUp(1);
  EXPECT_EQ(beacons, 1);
  EXPECT_EQ(check6->Value(), 0);
  EXPECT_FALSE(Find<QWidget>(*form, "Command23")->isEnabled());
  // With an interval: no beacon from the switch, the next one due at once.
  check6->SetCaption("TX 10");
  form->settings().BeaconInterval = 10;
  check6->SetValue(1);
  form->Check6_MouseUp(1);
  EXPECT_EQ(beacons, 1);
  EXPECT_EQ(due, 2);
  EXPECT_EQ(check6->Value(), 1);
  EXPECT_TRUE(Find<QWidget>(*form, "Command23")->isEnabled());
}

TEST_F(TxWindowTest, OkSendsTheTncItsCommandsAgain) {
  if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
  testing_support::PtyPair line(folder_, "COM7", "TNC");
  ASSERT_TRUE(line.ok());
  Ini("5", "HBAUD=300R\r\nXBAUD=300\r\n");
  auto form = Start();
  ASSERT_TRUE(form->link().MSComm1.Open(7, "38400,N,8,1", (folder_ / "COM7").string()));
  form->Check6_MouseUp(2);
  panels::TxSetupPanel& tx = form->TxPanel();
  EXPECT_FALSE(tx.Frame20->isHidden());
  tx.Check32->SetValue(1);
  Grab(*form, "tx_setup_panel_scs_tnc.png");
  tx.fr4Command4->click();
  ASSERT_TRUE(tx.isHidden());
  const std::string want = links::SentBytes(
      links::TncResendSet(links::TncSettingsFrom(form->settings(), form->shell().HfDualOn == 1)));
  EXPECT_NE(want.find("\x1b%AGH\r\x1bR1\r\x1b%AD3\r"), std::string::npos);
  const std::string got = line.ReadBytes(want.size(), 2000);
  EXPECT_EQ(got, want);
  EXPECT_TRUE(form->link().MSComm1.IsOpen());
  EXPECT_NE(form->windowTitle().toStdString().find("Digi X-mode"), std::string::npos);
  form->link().MSComm1.Close();
}

TEST_F(TxWindowTest, OkRenewsThePacketEngineRegistrationOnce) {
  Ini("0");
  auto form = Start();
  std::vector<std::pair<std::string, int>> renewals;
  form->RenewAgwRegistration = [&](const std::string& call, int digi) {
    renewals.emplace_back(call, digi);
    // Events run while the engine is asked: a second OK meanwhile is not a second OK.
    form->TxPanel().fr4Command4->click();
  };
  form->Check6_MouseUp(2);
  form->TxPanel().fr4Text1->SetText("12");
  form->TxPanel().Check32->SetValue(1);
  form->TxPanel().fr4Command4->click();
  ASSERT_EQ(renewals.size(), 1u);
  EXPECT_EQ(renewals[0].first, "AB1CD-12");
  EXPECT_EQ(renewals[0].second, 1);
  EXPECT_TRUE(form->TxPanel().isHidden());
}

TEST_F(TxWindowTest, GpsFixFromADropFileShowsTheReadoutAndWritesTheTrack) {
  Ini("4", "NMEA=GPS.TXT\r\n");
  auto form = Start();
  using links::testing::Nmea;
  Write("GPS.TXT", Nmea("GPGGA,123519,5920.00,N,01803.50,E,1,08,0.9,45.4,M,46.9,M,,") +
                       Nmea("GPGGA,123520,5920.01,N,01803.50,E,1,08,0.9,45.4,M,46.9,M,,"));
  form->ReadGps();
  EXPECT_FALSE(fs::exists(folder_ / "GPS.TXT"));
  EXPECT_FALSE(form->Label39->isHidden());
  EXPECT_EQ(form->Label39->Caption().substr(0, 45), "   GPS-INFO: GLN:___59.33350 GLE:___18.05833 ");
  EXPECT_EQ(form->Gps().GpsFixMoved, 1);
  EXPECT_EQ(form->map().CentreMode, 2);
  EXPECT_EQ(form->navigation().NavigationActive, 1);
  // The picture: the RAW list and the GPS-INFO line over the map.
  auto* list1 = Find<platform::ListBox>(*form, "List1");
  for (const char* line : {"AB1CD-9>APRS,WIDE2-1*", "!5930.00N/01800.00E>mobile", "QW7TK>APZEBL,WIDE1-1*",
                           ":AB1CD-9  :hello{1"}) {
    list1->AddItem(line);
  }
  Find<platform::CheckBox>(*form, "Check3")->SetValue(1);
  EXPECT_FALSE(list1->isHidden());
  Grab(*form, "main_window_raw_list_gps.png");
  bool track = false;
  for (const auto& e : fs::directory_iterator(folder_ / "U33" / "TRK")) track = track || e.path().extension() == ".TRK";
  EXPECT_TRUE(track);
  // No new file: no fix, and the read-out goes at the tick after.
  form->ReadGps();
  EXPECT_EQ(form->Gps().GpsFixMoved, 0);
  form->ReadGps();
  EXPECT_TRUE(form->Label39->isHidden());
}

TEST_F(TxWindowTest, NavigationRecordingEndsWithTheStopLineAtShutdown) {
  Ini("4", "NMEA=GPS.TXT\r\n");
  auto form = Start();
  form->navigation().NavigationRecording = 1;
  using links::testing::Nmea;
  Write("GPS.TXT", Nmea("GPGLL,5920.00,N,01803.50,E,123519,A") + Nmea("GPGLL,5920.01,N,01803.50,E,123520,A"));
  form->ReadGps();
  ASSERT_EQ(form->Gps().GpsFixMoved, 1);
  const fs::path nav = folder_ / "drive_c" / "MAP" / "U33";
  const std::string record = form->navigation().NavigationRecord;
  // 59.3335 N 18.05833 E: cs2cs EPSG:4326 EPSG:32633 gives 673966.567 E 6581183.511 N.
  EXPECT_EQ(record.substr(0, 9), "6581  673");
  EXPECT_EQ(Read("drive_c/MAP/U33/QTHWAY.TXT"), record + "||");
  form->CloseByUser();
  const std::string stop = shell::NavigationStopLine(record);
  EXPECT_EQ(Read("drive_c/MAP/U33/QTHWAY.TXT"), record + "||\r\n" + stop + "\r\n");
  EXPECT_EQ(Read("drive_c/MAP/U33/QTHACT.TXT"), stop + "\r\n");
  EXPECT_EQ(Read("drive_c/MAP/U33/QTHACTPR.TXT"),
            "\xFE" + form->navigation().GpsNorthText + form->navigation().GpsEastText + "\r\n");
}

TEST_F(TxWindowTest, GpsReceiverOnItsPort) {
  if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
  testing_support::PtyPair line(folder_, "COM3", "RECEIVER");  // COM3 is the program folder's link
  ASSERT_TRUE(line.ok());
  Ini("4", "NMEA=3\r\nNBAUD=4800\r\n");
  auto form = Start();
  form->ReadGps();  // opens the port; nothing yet
  ASSERT_TRUE(form->link().MSComm2.IsOpen());
  EXPECT_EQ(form->Gps().GpsFixMoved, 0);
  using links::testing::Nmea;
  const std::string sent = Nmea("GPRMC,123519,A,5920.00,N,01803.50,E,0.0,0.0,230324,,") +
                           Nmea("GPRMC,123520,A,5920.00,N,01803.50,E,0.0,0.0,230324,,");
  ASSERT_TRUE(line.Write(sent));
  for (int i = 0; i < 100 && form->link().MSComm2.InBufferCount() < static_cast<long long>(sent.size()); ++i) {
    form->link().MSComm2.WaitForInput(20);
  }
  form->ReadGps();
  EXPECT_EQ(form->Gps().GpsFixMoved, 1);
  EXPECT_FALSE(form->Label39->isHidden());
  form->link().MSComm2.Close();
}

}  // namespace
}  // namespace zeblon
