// The main window's TX switch, TX setup panel and GPS step: the panel opened from
// the settings, its OK writing them (or refusing bad entries), the TNC commands
// sent again to a scripted TNC, a manual beacon, and a GPS fix from a drop file.
#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <chrono>
#include <regex>
#include <thread>

#include "links/tnc_commands.h"
#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "links/navigation_files.h"
#include "platform/process.h"
#include "tests/links/gps_nmea.h"
#include "tests/support/agw_engine.h"
#include "tests/support/direwolf.h"
#include "tests/support/fast_clock.h"
#include "tests/support/find.h"
#include "tests/support/path_memory_clicks.h"
#include "tests/support/program_folder.h"
#include "tests/support/pty_pair.h"

namespace zeblon {
namespace {

using testing_support::Find;
namespace fs = std::filesystem;

// A radio link that counts the beacons it is asked to send and keeps the calls
// it renews the engine's registration with.
class CountingLink : public links::MinimalRadioLink {
 public:
  int beacons = 0;
  std::vector<std::string> renewals;
  std::function<void()> duringRenewal;  // what the events do while the engine is asked
  void SendOwnBeacon(bool, bool) override { ++beacons; }
  void RenewRegistration(const std::string& txCall) override {
    renewals.push_back(txCall);
    if (duringRenewal) duringRenewal();
  }
};

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
    PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; });
    return form;
  }
  // The beacon interval as the user sets it: the TX setup panel's interval box and OK.
  static void SetTxInterval(Form1& form, const std::string& interval) {
    form.TxSetup().ToggleTransmitOrOpenTxSetup(2);
    form.TxPanel().fr4Text2->SetText(interval);
    form.TxPanel().fr4Command4->click();
    ASSERT_TRUE(form.TxPanel().isHidden());
  }
  static void Grab(QWidget& w, const char* file) {
    const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "artefacts";
    fs::create_directories(dir);
    w.grab().save(QString::fromStdString((dir / file).string()));
  }
};

TEST_F(TxWindowTest, PanelOpensFromTheSettingsAndOkWritesThem) {
  Ini("4");
  for (const char* sheet : {"ZEBLSYM0.BMP", "ZEBLSYM1.BMP"})
    fs::copy_file(fs::path(ZEBLON_PROGRAM_DIR) / sheet, folder_ / sheet);
  auto form = Start();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  panels::TxSetupPanel& tx = form->TxPanel();
  form->TxSetup().ToggleTransmitOrOpenTxSetup(2);
  EXPECT_FALSE(tx.isHidden());
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_FALSE(form->Timer2->isActive());
  EXPECT_EQ(tx.fr4Text1->Text(), "9");
  EXPECT_EQ(tx.fr4Text2->Text(), "10");
  EXPECT_EQ(tx.fr4Text4->Text(), "WIDE1-1");
  EXPECT_EQ(tx.fr4Text8->Text(), "62");
  // The picker's picture is symbol 62's cell of the program folder's sheet.
  const QImage sheet(QString::fromStdString((folder_ / "ZEBLSYM0.BMP").string()));
  EXPECT_EQ(tx.fr4Picture1->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
            sheet.copy(273, 63, 22, 22).convertToFormat(QImage::Format_RGB32));
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
  EXPECT_EQ(form->TxSetup().Identity().TxCall(), "AB1CD-7");
  EXPECT_EQ(form->TxSetup().Identity().OwnEchoHeader(), "AB1CD-7*>WIDE1-1>ZEBL");
  EXPECT_EQ(Find<platform::CheckBox>(*form, "Check6")->Caption(), "TX !");
  EXPECT_EQ(Find<platform::CheckBox>(*form, "Check6")->Value(), 0);

  // ABORT: nothing taken, the cycle runs again.
  form->TxSetup().ToggleTransmitOrOpenTxSetup(2);
  tx.fr4Text1->SetText("3");
  tx.fr4Command3->click();
  EXPECT_TRUE(tx.isHidden());
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_TRUE(IniHas("TXID=7"));
}

// The path memories as the user clicks them; OK stores the path a right click left.
TEST_F(TxWindowTest, PathMemoriesRecallTheStoredPath) {
  Ini("4", "TXPM2=RELAY\r\n");
  auto form = Start();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  panels::TxSetupPanel& tx = form->TxPanel();
  form->TxSetup().ToggleTransmitOrOpenTxSetup(2);
  ASSERT_FALSE(tx.isHidden());
  ASSERT_EQ(tx.pathMemory[2]->toolTip().toStdString(), "RELAY");
  const std::string kept = testing_support::ClickPathMemoryTwo(tx, "RELAY");
  tx.fr4Command4->click();
  EXPECT_TRUE(tx.isHidden());
  EXPECT_TRUE(IniHas("TXPM2=" + kept)) << Read("ZEBLON.INI");
}

TEST_F(TxWindowTest, ManualTransmitSendsOneBeaconAndLeavesTheSwitchOff) {
  Ini("0");
  auto form = Start();
  SetTxInterval(*form, "MANUAL");
  ASSERT_EQ(form->CurrentSettings().BeaconInterval, 0);
  auto owned = std::make_unique<CountingLink>();
  CountingLink& link = *owned;
  form->SetRadioLink(std::move(owned));
  auto* check6 = Find<platform::CheckBox>(*form, "Check6");
  check6->SetCaption("TX !");
  check6->SetValue(1);
  form->TxSetup().ToggleTransmitOrOpenTxSetup(1);
  EXPECT_EQ(link.beacons, 1);
  EXPECT_EQ(check6->Value(), 0);
  EXPECT_FALSE(Find<QWidget>(*form, "Command23")->isEnabled());
  // With an interval: no beacon from the switch; the OK and the switch each make
  // the next tick's beacon due at once.
  SetTxInterval(*form, "10");
  ASSERT_EQ(form->CurrentSettings().BeaconInterval, 10);
  links::TickInputs in;
  in.interfaceKind = 0;
  in.userCall = "AB1CD";
  in.beaconIntervalMinutes = 10;
  in.txOn = true;
  ASSERT_EQ(form->RunTick(in), links::TickEnd::Full);
  EXPECT_EQ(link.beacons, 2);  // due after the OK
  form->RunTick(in);
  EXPECT_EQ(link.beacons, 2);  // not due again within the interval
  check6->SetCaption("TX 10");
  check6->SetValue(1);
  form->TxSetup().ToggleTransmitOrOpenTxSetup(1);
  EXPECT_EQ(link.beacons, 2);
  EXPECT_EQ(check6->Value(), 1);
  form->RunTick(in);
  EXPECT_EQ(link.beacons, 3);  // due after the switch
  EXPECT_TRUE(Find<QWidget>(*form, "Command23")->isEnabled());
}

// TX TIMESTAMP on: the beacon carries "@DDHHMMz" only once the clock follows GPS
// time (here from a GPS drop file), "=" before. The own and the status beacon
// hold the window for the transmission under the hourglass.
TEST_F(TxWindowTest, TheTimeStampedBeaconWaitsForGpsTimeUnderTheHourglass) {
  testing_support::AgwEngine engine;
  Ini("0",
      "HOSTP=" + std::to_string(engine.port()) +
          "\r\nTXON=0\r\nTXTIM=1\r\nDIGI=1\r\nNMEA=GPS.TXT\r\nTXI1=on the hill\r\nTXI1A=1\r\nTXI2A=0\r\nTXI3A=0\r\n"
          "TXI4A=0\r\nTXI5A=0\r\nTXI6A=0\r\n");
  auto form = std::make_unique<Form1>();
  form->SetRadioLink(std::make_unique<links::LiveRadioLink>());
  form->show();
  PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; });
  PumpUntil([&] { return form->RadioLink().State().AgwDataPending == 1; }, 5000);
  ASSERT_EQ(form->RadioLink().State().AgwDataPending, 1);
  ASSERT_EQ(Find<platform::CheckBox>(*form, "Check6")->Caption(), "TX !");  // each beacon by hand
  auto* clock = Find<platform::Label>(*form, "Label15");

  // The pointers while the transmit step waits, read by the wait's clock.
  std::vector<std::pair<Qt::CursorShape, Qt::CursorShape>> pointers;
  platform::SetWaitClock([&, t = 0.0]() mutable {
    pointers.emplace_back(form->cursor().shape(), form->Picture1->cursor().shape());
    return t += 0.25;
  });
  // One beacon: the information field the engine got, the pointers held during it.
  const auto beacon = [&](const std::function<void()>& send) {
    pointers.clear();
    const int before = engine.Count('V');
    send();
    EXPECT_FALSE(pointers.empty());
    for (const auto& [window, map] : pointers) {
      EXPECT_EQ(window, Qt::WaitCursor);
      EXPECT_EQ(map, Qt::WaitCursor);
    }
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(form->Picture1->cursor().shape(), Qt::ArrowCursor);
    PumpUntil([&] { return engine.Count('V') > before; }, 5000);
    EXPECT_EQ(engine.Count('V'), before + 1);
    const auto sent = std::find_if(engine.received.rbegin(), engine.received.rend(),
                                   [](const links::AgwFrame& f) { return f.kind == 'V'; });
    if (sent == engine.received.rend()) return std::string();
    // The information field behind the digipeater count and calls.
    return sent->data.substr(1 + 10 * static_cast<std::size_t>(static_cast<unsigned char>(sent->data[0])));
  };

  // No GPS time yet: the plain form, from the TX box.
  const std::string plain = beacon([&] { form->TxSetup().ToggleTransmitOrOpenTxSetup(1); });
  ASSERT_EQ(plain.substr(0, 1), "=") << plain;
  EXPECT_EQ(plain.substr(20), " on the hill");
  form->CycleSteps().UpdateClockLabel();
  EXPECT_EQ(clock->Caption()[5], ' ');

  // A drop file read: the clock follows GPS time; "!" behind the clock, and the
  // beacon and the status beacon of the main cycle carry the time stamp.
  using links::testing::Nmea;
  Write("GPS.TXT", Nmea("GPGGA,123519,5920.00,N,01803.50,E,1,08,0.9,45.4,M,46.9,M,,") +
                       Nmea("GPGGA,123520,5920.01,N,01803.50,E,1,08,0.9,45.4,M,46.9,M,,"));
  form->GpsStep().Read();
  ASSERT_EQ(form->Gps().GpsTimeValid, 1);
  form->CycleSteps().UpdateClockLabel();
  EXPECT_EQ(clock->Caption()[5], '!');
  const std::regex stamped("@[0-3][0-9][0-2][0-9][0-5][0-9]z");
  const std::string own = beacon([&] { form->CycleSteps().SendOwnBeacon(); });
  ASSERT_GE(own.size(), 8u) << own;
  EXPECT_TRUE(std::regex_match(own.substr(0, 8), stamped)) << own;
  EXPECT_EQ(own.substr(8), plain.substr(1));  // the same position, symbol and info line
  const std::string status = beacon([&] { form->CycleSteps().SendStatusBeacon(); });
  ASSERT_GE(status.size(), 8u) << status;
  EXPECT_TRUE(std::regex_match(status.substr(0, 8), stamped)) << status;
  EXPECT_EQ(status.substr(8), plain.substr(1, 19) + " ZEBLON  Digi active");
  form->CloseByUser();
}

TEST_F(TxWindowTest, OkSendsTheTncItsCommandsAgain) {
  if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
  testing_support::PtyPair line(folder_, "COM7", "TNC");
  ASSERT_TRUE(line.ok());
  Ini("5", "HBAUD=300R\r\nXBAUD=300\r\n");
  auto form = Start();
  ASSERT_TRUE(form->RadioLink().State().MSComm1.Open(7, "38400,N,8,1", (folder_ / "COM7").string()));
  form->TxSetup().ToggleTransmitOrOpenTxSetup(2);
  panels::TxSetupPanel& tx = form->TxPanel();
  EXPECT_FALSE(tx.Frame20->isHidden());
  tx.Check32->SetValue(1);
  Grab(*form, "tx_setup_panel_scs_tnc.png");
  tx.fr4Command4->click();
  ASSERT_TRUE(tx.isHidden());
  const std::string want = links::SentBytes(
      links::TncResendSet(links::TncSettingsFrom(form->CurrentSettings(), form->TxSetup().Identity().HfDualOn())));
  EXPECT_NE(want.find("\x1b%AGH\r\x1bR1\r\x1b%AD3\r"), std::string::npos);
  const std::string got = line.ReadBytes(want.size(), 2000);
  EXPECT_EQ(got, want);
  EXPECT_TRUE(form->RadioLink().State().MSComm1.IsOpen());
  EXPECT_NE(form->windowTitle().toStdString().find("Digi X-mode"), std::string::npos);
  form->RadioLink().State().MSComm1.Close();
}

// Info lines that name a file in braces, as a user of the Windows program wrote
// them: the file lies below the program folder as the settings' Windows paths do,
// and its longest line goes out on the TNC. A file that is not there leaves the
// beacon without comment and is told once in the RAW list.
TEST_F(TxWindowTest, InfoLineFilesAreReadBelowTheProgramFolder) {
  if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
  testing_support::PtyPair line(folder_, "COM7", "TNC");
  ASSERT_TRUE(line.ok());
  Write("INFO.TXT", "QTH\r\nnear the lake\r\n");
  Write("drive_c/WX/Now.txt", "wind 5 m/s\r\n");
  Ini("1",
      "TXON=0\r\nCOM=7\r\nTXI1={C:\\ZEBLON\\INFO.TXT}\r\nTXI1A=1\r\nTXI2={info.txt}\r\nTXI2A=1\r\n"
      "TXI3={C:\\WX\\NOW.TXT}\r\nTXI3A=1\r\nTXI4={MISSING.TXT}\r\nTXI4A=1\r\nTXI5A=0\r\nTXI6A=0\r\n");
  auto form = std::make_unique<Form1>();
  form->SetRadioLink(std::make_unique<links::LiveRadioLink>());
  form->show();
  PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; });
  ASSERT_TRUE(form->RadioLink().State().MSComm1.IsOpen());
  line.Read(300);  // the TNC's start-up commands
  ASSERT_EQ(form->CurrentSettings().BeaconInterval, 0);
  ASSERT_EQ(Find<platform::CheckBox>(*form, "Check6")->Caption(), "TX !");  // each beacon by hand
  const char* comments[] = {"near the lake", "near the lake", "wind 5 m/s", ""};
  for (int round = 0; round < 2; ++round) {
    for (const char* comment : comments) {
      SCOPED_TRACE(testing::Message() << "round " << round << " comment " << comment);
      form->TxSetup().ToggleTransmitOrOpenTxSetup(1);
      std::string sent;
      for (int i = 0; i < 300 && sent.find('\r') == std::string::npos; ++i) sent += line.Read(10);
      // "=", the 19 characters of position and symbol, the comment without a blank.
      ASSERT_GE(sent.size(), 21u) << sent;
      EXPECT_EQ(sent.front(), '=');
      EXPECT_EQ(sent.substr(20), std::string(comment) + "\r");
    }
  }
  const auto& raw = form->Reception().monitorLines.lines;
  const auto told = std::count_if(raw.begin(), raw.end(), [](const std::string& l) {
    return l.find("INFO LINE FILE MISSING.TXT NOT READ") != std::string::npos;
  });
  EXPECT_EQ(told, 1);
  form->RadioLink().State().MSComm1.Close();
}

TEST_F(TxWindowTest, OkRenewsThePacketEngineRegistrationOnce) {
  Ini("0");
  auto form = Start();
  auto owned = std::make_unique<CountingLink>();
  CountingLink& link = *owned;
  form->SetRadioLink(std::move(owned));
  // Events run while the engine is asked: a second OK meanwhile is not a second OK.
  link.duringRenewal = [&] { form->TxPanel().fr4Command4->click(); };
  form->TxSetup().ToggleTransmitOrOpenTxSetup(2);
  form->TxPanel().fr4Text1->SetText("12");
  form->TxPanel().Check32->SetValue(1);
  form->TxPanel().fr4Command4->click();
  EXPECT_EQ(link.renewals, std::vector<std::string>{"AB1CD-12"});
  EXPECT_EQ(form->CurrentSettings().DigiOn, 1);
  EXPECT_TRUE(form->TxPanel().isHidden());
}

// The calls direwolf saw registered ("+CALL") and unregistered ("-CALL"), in
// order, from its console with the AGW clients' frames shown. Its threads'
// lines interleave (a client that only connects and goes), so the call is the
// next call_from line after the frame's title.
std::vector<std::string> Registrations(const std::string& console) {
  static const std::regex frame("(Register|Unregister) CallSign from AGWPE[\\s\\S]*?call_from = \"([^\"]*)\"");
  std::vector<std::string> calls;
  for (auto it = std::sregex_iterator(console.begin(), console.end(), frame); it != std::sregex_iterator(); ++it)
    calls.push_back(((*it)[1] == "Register" ? "+" : "-") + (*it)[2].str());
  return calls;
}

// The OK with the packet engine on this computer (kind 0) and on another one
// (kind 3, here direwolf at 127.0.0.1): the old call is unregistered, the new
// one registered and the next beacon goes out from it; with the engine gone the
// OK tells the failure in the RAW list and the program goes on.
TEST_F(TxWindowTest, OkRenewsTheEngineLinkWithTheNewCall) {
  for (const char* tool : {"direwolf", "gen_packets"})
    if (!platform::ProgramExists(tool)) GTEST_SKIP() << tool << " is not installed";
  for (const std::string kind : {"0", "3"}) {
    SCOPED_TRACE("kind " + kind);
    QTemporaryDir dir;
    const int port = testing_support::FreePort();
    auto engine = std::make_unique<testing_support::Direwolf>(dir, port, QStringList{"-d", "a"});
    ASSERT_TRUE(engine->started()) << engine->output();
    Ini(kind, "HOSTP=" + std::to_string(port) + "\r\nHOSTC=127.0.0.1\r\n");
    auto form = std::make_unique<Form1>();
    auto link = std::make_unique<links::LiveRadioLink>();
    links::LiveRadioLink* live = link.get();
    form->SetRadioLink(std::move(link));
    form->EndProgram = [](int) { ADD_FAILURE() << "the program ended"; };
    form->show();
    PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; }, 20000);
    PumpUntil([&] { return form->RadioLink().State().AgwDataPending == 1; }, 5000);  // registers after the start-up
    ASSERT_EQ(form->RadioLink().State().AgwDataPending, 1);
    auto saw = [&](const std::vector<std::string>& calls) {
      return [&engine, calls] { return Registrations(engine->output()) == calls; };
    };
    PumpUntil(saw({"+AB1CD-9"}), 10000);
    ASSERT_EQ(Registrations(engine->output()), std::vector<std::string>{"+AB1CD-9"}) << engine->output();

    form->TxSetup().ToggleTransmitOrOpenTxSetup(2);
    form->TxPanel().fr4Text1->SetText("12");
    form->TxPanel().modeOption[4]->SetValue(true);  // 300 Bd: the engine's first radio port, direwolf's channel 0
    form->TxPanel().fr4Command4->click();
    EXPECT_TRUE(form->TxPanel().isHidden());
    EXPECT_EQ(form->TxPanel().fr4Command4->Caption(), "OK");
    EXPECT_EQ(live->Engine().state(), links::AgwTcpLink::State::Up);
    EXPECT_EQ(form->RadioLink().State().AgwDataPending, 1);
    const std::vector<std::string> renewed = {"+AB1CD-9", "-AB1CD-9", "+AB1CD-12"};
    PumpUntil(saw(renewed), 10000);
    EXPECT_EQ(Registrations(engine->output()), renewed) << engine->output();

    // The engine reads a new client's commands late; then the beacon goes out
    // from the new call.
    PumpUntil([] { return false; }, 1200);
    form->CycleSteps().SendOwnBeacon();
    auto sent = [&] { return engine->output().find("[0L] AB1CD-12>ZEBL,WIDE1-1:") != std::string::npos; };
    PumpUntil(sent, 10000);
    EXPECT_TRUE(sent()) << engine->output();
    EXPECT_EQ(engine->output().find("[0L] AB1CD-9>"), std::string::npos);

    // The engine gone: the OK tells it where the link's states are told; the
    // window goes on with its cycle.
    engine.reset();
    PumpUntil([&] { return form->RadioLink().State().AgwDataPending == 0; }, 5000);
    form->TxSetup().ToggleTransmitOrOpenTxSetup(2);
    form->TxPanel().fr4Text1->SetText("13");
    form->TxPanel().fr4Command4->click();
    EXPECT_TRUE(form->TxPanel().isHidden());
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->RadioLink().State().AgwDataPending, 0);
    ASSERT_FALSE(live->Told().empty());
    EXPECT_EQ(live->Told().back(), links::kAgwHostNotFound);
    const auto& raw = form->Reception().monitorLines;
    EXPECT_NE(std::find(raw.lines.begin(), raw.lines.end(), std::string("*** ") + links::kAgwHostNotFound),
              raw.lines.end());
    EXPECT_TRUE(IniHas("TXID=13"));
    EXPECT_TRUE(platform::MessageLog().empty());
    form->CloseByUser();
  }
}

// A fix does not take the map from a user who has just moved it: a press on the
// map frees it, and the next fix leaves it where the user put it.
TEST_F(TxWindowTest, AFixLeavesAMapTheUserJustMoved) {
  Ini("4", "NMEA=GPS.TXT\r\n");
  auto form = Start();
  using links::testing::Nmea;
  QWidget* map = form->Picture1;
  const QPointF at(map->width() / 2.0 + 40, map->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, map->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(map, &press);
  ASSERT_EQ(form->Map().state().CentreMode, 0);
  const double north = form->Map().state().CentreNorth, east = form->Map().state().CentreEast;
  Write("GPS.TXT", Nmea("GPGGA,123519,5920.00,N,01803.50,E,1,08,0.9,45.4,M,46.9,M,,") +
                       Nmea("GPGGA,123520,5920.01,N,01803.50,E,1,08,0.9,45.4,M,46.9,M,,"));
  form->GpsStep().Read();
  EXPECT_EQ(form->Gps().GpsFixMoved, 1);  // the fix is taken
  EXPECT_EQ(form->Map().state().CentreMode, 0);
  EXPECT_EQ(form->Map().state().CentreNorth, north);
  EXPECT_EQ(form->Map().state().CentreEast, east);
  form->CloseByUser();
}

// A map the user moved away stays there however long the fixes come in; USER QTH
// gives it back to the fixes, and a map the user only pressed on (without moving
// it) follows the own position again 30 s after the press.
TEST_F(TxWindowTest, AMapTheUserMovedAwayStaysUntilUserQth) {
  Ini("4", "NMEA=GPS.TXT\r\n");
  auto form = Start();
  testing_support::FastClock clock;
  using links::testing::Nmea;
  // One main-cycle tick 6 s after the last: the GPS step with a fix at `lat_min`
  // minutes north (none for an empty text), then the cycle's drawing.
  auto tick = [&](const std::string& lat_min) {
    clock.now += 6;
    if (!lat_min.empty())
      Write("GPS.TXT", Nmea("GPGGA,123519," + lat_min + ",N,01803.50,E,1,08,0.9,45.4,M,46.9,M,,") +
                           Nmea("GPGGA,123520," + lat_min + ",N,01803.50,E,1,08,0.9,45.4,M,46.9,M,,"));
    form->GpsStep().Read();
    form->DrawMap();
  };
  auto* option1 = Find<platform::OptionButton>(*form, "Option1");
  auto centre = [&] {
    return Find<platform::Label>(*form, "Label1")->Caption() + Find<platform::Label>(*form, "Label2")->Caption();
  };
  auto press = [&](Qt::MouseButton button, double dx) {
    QWidget* map = form->Picture1;
    const QPointF at(map->width() / 2.0 + dx, map->height() / 2.0);
    QMouseEvent down(QEvent::MouseButtonPress, at, map->mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(map, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, at, map->mapToGlobal(at), button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(map, &up);
  };

  tick("5920.00");  // the map follows the own position
  const std::string own = centre();
  press(Qt::LeftButton, 40);
  const std::string moved = centre();
  ASSERT_NE(moved, own);
  // Two minutes of fixes, a tick without one and the fix regained among them.
  for (int i = 0; i < 20; ++i) {
    tick(i == 10 ? "" : "5920.00");
    ASSERT_EQ(centre(), moved) << "tick " << i;
    EXPECT_FALSE(option1->isChecked());
  }
  // USER QTH: the map is the fixes' again.
  option1->OnMouseUp(1);
  EXPECT_EQ(centre(), own);
  tick("5921.00");
  const std::string followed = centre();
  EXPECT_NE(followed, own);

  // A right press frees the map without moving it: the next fixes leave it for 30 s.
  press(Qt::RightButton, 40);
  tick("5922.00");
  EXPECT_EQ(centre(), followed);
  clock.now += 17;
  tick("5922.00");  // 29 s after the press
  EXPECT_EQ(centre(), followed);
  tick("5922.00");  // 35 s
  const std::string back = centre();
  EXPECT_NE(back, followed);
  option1->OnMouseUp(1);
  EXPECT_EQ(centre(), back);  // where USER QTH puts it: the own position
  form->CloseByUser();
}

TEST_F(TxWindowTest, GpsFixFromADropFileShowsTheReadoutAndWritesTheTrack) {
  Ini("4", "NMEA=GPS.TXT\r\n");
  auto form = Start();
  using links::testing::Nmea;
  Write("GPS.TXT", Nmea("GPGGA,123519,5920.00,N,01803.50,E,1,08,0.9,45.4,M,46.9,M,,") +
                       Nmea("GPGGA,123520,5920.01,N,01803.50,E,1,08,0.9,45.4,M,46.9,M,,"));
  form->GpsStep().Read();
  EXPECT_FALSE(fs::exists(folder_ / "GPS.TXT"));
  EXPECT_FALSE(form->Label39->isHidden());
  EXPECT_EQ(form->Label39->Caption().substr(0, 45), "   GPS-INFO: GLN:___59.33350 GLE:___18.05833 ");
  EXPECT_EQ(form->Gps().GpsFixMoved, 1);
  EXPECT_EQ(form->Map().state().CentreMode, 2);
  EXPECT_EQ(form->Navigation().NavigationActive, 1);
  // The picture: the RAW list and the GPS-INFO line over the map.
  auto* list1 = Find<platform::ListBox>(*form, "List1");
  for (const char* line :
       {"AB1CD-9>APRS,WIDE2-1*", "!5930.00N/01800.00E>mobile", "QW7TK>APZEBL,WIDE1-1*", ":AB1CD-9  :hello{1"}) {
    list1->AddItem(line);
  }
  Find<platform::CheckBox>(*form, "Check3")->SetValue(1);
  EXPECT_FALSE(list1->isHidden());
  Grab(*form, "main_window_raw_list_gps.png");
  bool track = false;
  for (const auto& e : fs::directory_iterator(folder_ / "U33" / "TRK")) track = track || e.path().extension() == ".TRK";
  EXPECT_TRUE(track);
  // No new file: no fix, and the read-out goes at the tick after.
  form->GpsStep().Read();
  EXPECT_EQ(form->Gps().GpsFixMoved, 0);
  form->GpsStep().Read();
  EXPECT_TRUE(form->Label39->isHidden());
}

TEST_F(TxWindowTest, NavigationRecordingEndsWithTheStopLineAtShutdown) {
  if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
  testing_support::PtyPair line(folder_, "COM3", "RECEIVER");  // COM3 is the program folder's link
  ASSERT_TRUE(line.ok());
  // A GPS receiver with SAVE and a navigation folder that holds files: the route is recorded.
  Ini("4", "NMEA=3 SAVE\r\nNBAUD=4800\r\n");
  Write("drive_c/MAP/U33/NOTES.TXT", "routes\r\n");
  auto form = Start();
  ASSERT_EQ(form->Navigation().NavigationRecording, 1);
  form->GpsStep().Read();  // opens the port; nothing yet
  ASSERT_TRUE(form->RadioLink().State().MSComm2.IsOpen());
  using links::testing::Nmea;
  const std::string sent = Nmea("GPGLL,5920.00,N,01803.50,E,123519,A") + Nmea("GPGLL,5920.01,N,01803.50,E,123520,A");
  ASSERT_TRUE(line.Write(sent));
  for (int i = 0; i < 100 && form->RadioLink().State().MSComm2.InBufferCount() < static_cast<long long>(sent.size());
       ++i) {
    form->RadioLink().State().MSComm2.WaitForInput(20);
  }
  form->GpsStep().Read();
  ASSERT_EQ(form->Gps().GpsFixMoved, 1);
  const fs::path nav = folder_ / "drive_c" / "MAP" / "U33";
  const std::string record = form->Navigation().NavigationRecord;
  // 59.3335 N 18.05833 E: cs2cs EPSG:4326 EPSG:32633 gives 673966.567 E 6581183.511 N.
  EXPECT_EQ(record.substr(0, 9), "6581  673");
  EXPECT_EQ(Read("drive_c/MAP/U33/QTHWAY.TXT"), record + "||");
  form->CloseByUser();
  const std::string stop = links::NavigationStopLine(record);
  EXPECT_EQ(Read("drive_c/MAP/U33/QTHWAY.TXT"), record + "||\r\n" + stop + "\r\n");
  EXPECT_EQ(Read("drive_c/MAP/U33/QTHACT.TXT"), stop + "\r\n");
  EXPECT_EQ(Read("drive_c/MAP/U33/QTHACTPR.TXT"),
            "\xFE" + form->Navigation().GpsNorthText + form->Navigation().GpsEastText + "\r\n");
}

TEST_F(TxWindowTest, GpsReceiverOnItsPort) {
  if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
  testing_support::PtyPair line(folder_, "COM3", "RECEIVER");  // COM3 is the program folder's link
  ASSERT_TRUE(line.ok());
  Ini("4", "NMEA=3\r\nNBAUD=4800\r\n");
  auto form = Start();
  form->GpsStep().Read();  // opens the port; nothing yet
  ASSERT_TRUE(form->RadioLink().State().MSComm2.IsOpen());
  EXPECT_EQ(form->Gps().GpsFixMoved, 0);
  using links::testing::Nmea;
  const std::string sent = Nmea("GPRMC,123519,A,5920.00,N,01803.50,E,0.0,0.0,230324,,") +
                           Nmea("GPRMC,123520,A,5920.00,N,01803.50,E,0.0,0.0,230324,,");
  ASSERT_TRUE(line.Write(sent));
  for (int i = 0; i < 100 && form->RadioLink().State().MSComm2.InBufferCount() < static_cast<long long>(sent.size());
       ++i) {
    form->RadioLink().State().MSComm2.WaitForInput(20);
  }
  form->GpsStep().Read();
  EXPECT_EQ(form->Gps().GpsFixMoved, 1);
  EXPECT_FALSE(form->Label39->isHidden());
  form->RadioLink().State().MSComm2.Close();
}

}  // namespace
}  // namespace zeblon
