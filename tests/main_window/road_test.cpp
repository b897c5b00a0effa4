// The whole road offscreen: the start window, START, the main window's start-up,
// a resize, every function key, the three languages, and the user's close.
#include <QKeyEvent>
#include <QScreen>
#include <QTcpServer>
#include <QTcpSocket>
#include <chrono>

#include "tests/support/program_folder.h"
#include "links/agw_frame.h"
#include "links/aprs_is.h"
#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "app/program.h"
#include "start_window/form0.h"
#include "tests/support/direwolf.h"
#include "tests/support/file_faults.h"
#include "tests/support/find.h"
#include "tests/links/aprs_is_server.h"
#include "tests/main_window/minimal_map_display.h"

namespace zeblon {
namespace {

using testing_support::Find;

namespace fs = std::filesystem;
using testing_support::LogRecord;
using testing_support::ProgramFolderTest;

class RoadTest : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    const fs::path built = ZEBLON_PROGRAM_DIR;
    fs::copy(built / "FONTS", folder_ / "FONTS", fs::copy_options::recursive);
    fs::copy_file(ZEBLON_STOCK_ARCHIVE, folder_ / "STOCK.ZIP");
    fs::copy_file(built / "README.HTM", folder_ / "README.HTM");
    RegisterProgramFonts(folder_.string());
    // The packet engine's port is one of the test's own where nothing listens: a
    // user's engine on this computer is never reached.
    engine_port_ = testing_support::FreePort();
    Write("ZEBLON.INI", "HOSTP=" + std::to_string(engine_port_) + "\r\n");
  }
  // The start window opened and START pressed with `call`, the speed test at once.
  Form1& Start(Program& program, const std::string& call) {
    program.EndProgram = [](int) { FAIL() << "the program ended"; };
    Form0* form0 = program.StartWindow();
    form0->OpenDocument = [](const std::string&) { return true; };
    form0->show();
    EXPECT_TRUE(form0->Form_Activate());
    Form1& main = program.MainWindow();
    main.SpeedTestClock = [t = 0.0]() mutable { return t += 2; };
    main.OpenDocument = [](const std::string&) { return true; };
    main.Tick().cycleInterval = 200;  // ticks every 0.2 s instead of 6 s
    form0->Text8->SetText(call);
    form0->Command1->click();
    PumpUntil([&] { return main.Map().state().MapDrawnOnce == 1; }, 20000);
    EXPECT_EQ(main.Map().state().MapDrawnOnce, 1);
    return main;
  }
  int engine_port_ = 0;
  static void Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(w, &press);
  }
  void Screenshot(Form1& form, const std::string& name) {
    const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "artefacts";
    fs::create_directories(dir);
    ASSERT_TRUE(form.grab().save(QString::fromStdString((dir / name).string()), "PNG"));
  }
};

TEST_F(RoadTest, StartToCloseOffscreen) {
  Program program;
  program.EndProgram = [](int) { FAIL() << "the program ended"; };
  Form0* form0 = program.StartWindow();
  form0->OpenDocument = [](const std::string&) { return true; };
  form0->show();
  ASSERT_TRUE(form0->Form_Activate());

  // The stock data is there: give the watched station a log, and the data folder a
  // track, a point file and maps; lay foreign files into the shared temporary folder.
  const std::string logs = "U33/LOG/";
  Write(logs + "QW7TK.TXT", LogRecord("240101", " 6000.000", "  300.000", "old") + "\r\n" +
                                LogRecord("240301", " 6581.234", "  401.500", "newer") + "\r\n" +
                                LogRecord("240305", " 6582.500", "  402.250", "newest") + "\r\n");
  Write(logs + "AB9XY.TXT", "");
  Write("U33/TRK/20240102.TRK", "\xFE 6581.234  401.500 20240102 1200\r\n\xFE 6581.300  401.600 20240102 1201\r\n");
  Write("U33/TRK/20240101.TRK", "\xFE 6581.234  401.500 20240101 1200\r\n");
  Write("U33/POI/HOME.POI", "\xFE 6581.234  401.500 HOME\r\n");
  Write("OTHER.DIR", "not ours");
  Write("PHOTO.BMP", "not ours");
  if (!fs::exists(folder_ / "ZEBLSYM0.BMP")) Write("ZEBLSYM0.BMP", "sheet");
  // What rewrites killed in an earlier run left beside the settings, the MONI 1 log
  // and the lists of the temporary folder.
  const std::string dead = ".tmp" + std::to_string(testing_support::EndedProcessId());
  const std::vector<std::string> leftovers = {"ZEBLON.INI" + dead, logs + "QW7TK.TXT" + dead, "ALLMDIRS.DIR" + dead};
  ASSERT_TRUE(fs::exists(folder_ / "ZEBLON.INI"));
  Write("ALLMDIRS.DIR", "M0050\r\n");
  for (const std::string& leftover : leftovers) Write(leftover, "half");

  Form1& main = program.MainWindow();
  main.SpeedTestClock = [] {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
  };
  std::vector<std::string> opened;
  main.OpenDocument = [&](const std::string& p) {
    opened.push_back(p);
    return true;
  };
  auto* map = new MinimalMapDisplay;
  main.SetMapDisplay(std::unique_ptr<map::MapDisplayService>(map));

  // START with the call SM5XYZ (its third character a digit: a valid call).
  form0->Text8->SetText("SM5XYZ");
  form0->Command1->click();
  PumpUntil([&] { return main.Map().state().MapDrawnOnce == 1; }, 20000);
  ASSERT_EQ(main.Map().state().MapDrawnOnce, 1);
  EXPECT_TRUE(main.isVisible());

  // Speed test on the real clock: limits in range.
  const int limit = main.Reception().settings.moniAllLimit;
  EXPECT_GE(limit, 50);
  EXPECT_LE(limit, 667);
  EXPECT_EQ(main.Reception().settings.moniOneTrackLimit, 5 * limit);
  // Settings and derived values.
  EXPECT_EQ(main.CurrentSettings().UserCall, "SM5XYZ");
  EXPECT_EQ(main.DataFolder(), (folder_ / "U33").string());
  EXPECT_EQ(main.Map().state().MapZoneText, "33");
  EXPECT_EQ(main.Map().state().MapCentralMeridian, 15);
  EXPECT_EQ(main.Map().state().MapMeridianText, " 15");
  EXPECT_TRUE(main.TxSetup().Identity().CallValid());
  EXPECT_EQ(main.Shell().CycleInterval, 6000);
  // MONI 1 restore: the January record lay before a gap of more than 30 days.
  EXPECT_EQ(main.HeardStations().MoniOneCount(), 2);
  EXPECT_EQ(main.HeardStations().Newest().comment, "newest");
  EXPECT_DOUBLE_EQ(main.CurrentSettings().CentreNorth, 6582.5);
  EXPECT_DOUBLE_EQ(main.CurrentSettings().CentreEast, 402.25);
  EXPECT_EQ(SplitLines(Read(logs + "QW7TK.TXT")).size(), 2u);
  // Pick lists.
  EXPECT_EQ(Find<platform::ComboBox>(main, "Combo1")->Text(), "20240101");
  EXPECT_EQ(main.PoiAndTrackFiles().tracks.lines().size(), 1u);
  EXPECT_EQ(Find<platform::ComboBox>(main, "Combo2")->Text(), "HOME");
  EXPECT_EQ(main.PoiAndTrackFiles().pois.lines().size(), 1u);
  EXPECT_GE(Find<platform::ComboBox>(main, "Combo9")->ListCount(), 2);
  EXPECT_EQ(Find<platform::CheckBox>(main, "Check16")->Value(), 1);
  // Passcode and timers.
  EXPECT_EQ(main.RadioLink().State().AprsIsPasscode, links::ComputeAprsIsPasscode("SM5XYZ"));
  EXPECT_EQ(main.RadioLink().State().AprsIsPasscode, "19629");
  EXPECT_TRUE(Find<platform::CheckBox>(main, "Check15")->isEnabled());
  EXPECT_TRUE(main.Timer1->isActive() || main.Timer2->isActive());
  EXPECT_EQ(main.Reception().receiveBuffer, "\n");
  EXPECT_TRUE(fs::exists(folder_ / "U33/LOG/_CHATLOG.TXT"));
  EXPECT_TRUE(fs::exists(folder_ / "ALLMDIRS.DIR"));
  for (const std::string& leftover : leftovers) EXPECT_FALSE(fs::exists(folder_ / leftover)) << leftover;
  // The own position is 0/0: the USER QTH SETUP frame asks for it.
  EXPECT_FALSE(Find(main, "Frame2")->isHidden());

  // A resize lays the window out again.
  main.resize(1024, 740);
  QCoreApplication::processEvents();
  EXPECT_EQ(main.Map().state().MapHeightPx, 720);
  EXPECT_EQ(main.Picture1->height(), 720);
  EXPECT_EQ(Find(main, "Label5")->y(), 723);
  EXPECT_FALSE(Find(main, "Command57")->isHidden());
  main.resize(1024, 480);
  QCoreApplication::processEvents();
  EXPECT_TRUE(Find(main, "Command57")->isHidden());  // the SPECIALS group leaves
  main.resize(1024, 740);
  QCoreApplication::processEvents();

  // Every function key.
  Key(&main, Qt::Key_F1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], (folder_ / "README.HTM").string());
  Key(&main, Qt::Key_F2);
  EXPECT_FALSE(Find(main, "Frame19")->isHidden());
  EXPECT_FALSE(main.Timer1->isActive());
  Find<platform::CommandButton>(main, "Command66")->click();
  EXPECT_TRUE(Find(main, "Frame19")->isHidden());
  Key(&main, Qt::Key_F3);
  EXPECT_TRUE(fs::exists(folder_ / "MY_MAPS" / "MAP_0001.BMP"));
  for (Qt::Key k : {Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8, Qt::Key_F9}) Key(&main, k);
  Key(&main, Qt::Key_F10, Qt::ShiftModifier);  // the shift state is not looked at
  EXPECT_EQ(map->handedOff, (std::vector<int>{115, 116, 117, 118, 119, 120, 121}));

  // The three languages, each with a screenshot.
  // The USER QTH SETUP frame stays open: its caption shows the language.
  auto caption = [&](const char* name) { return Find<platform::Frame>(main, name)->Caption(); };
  EXPECT_EQ(Find<platform::CommandButton>(main, "Command64")->Caption(), " POS->CENTER");
  EXPECT_EQ(Find(main, "Command57")->toolTip().toStdString(), "Start README file: [F1], LClick");
  Screenshot(main, "main_window_en.png");
  main.SetLanguage(12);
  EXPECT_EQ(caption("Frame11"), "OBJECT SETUP: KARTE AUF OBJEKT ZENTRIEREN!");
  EXPECT_EQ(Find(main, "Command57")->toolTip().toStdString(), "README-File starten: [F1], LClick");
  Screenshot(main, "main_window_de.png");
  main.SetLanguage(13);
  EXPECT_EQ(Find<platform::CommandButton>(main, "Command22")->Caption(), "AVBRYT");
  EXPECT_EQ(Find(main, "Text13")->toolTip().toStdString(), "Position in UTM (ZON33)");
  Screenshot(main, "main_window_sv.png");
  main.SetLanguage(3);  // Quick Info off: every tooltip empty
  EXPECT_TRUE(Find(main, "Command57")->toolTip().isEmpty());
  EXPECT_TRUE(Find(main, "Text1(5)")->toolTip().isEmpty());

  // The user's close: the settings patched, our index files gone, nobody else's.
  Find<platform::ComboBox>(main, "Combo6")->SetText("M0050topo");
  main.CloseByUser();
  ASSERT_TRUE(main.ShutdownDone());
  EXPECT_FALSE(main.Timer1->isActive());
  EXPECT_TRUE(IniHas("UTN=6582.5"));
  EXPECT_TRUE(IniHas("UTE=402.25"));
  EXPECT_TRUE(IniHas("UUN=0"));
  EXPECT_TRUE(IniHas("UUE=0"));
  EXPECT_TRUE(IniHas("M0050=TOPO"));
  EXPECT_TRUE(IniHas("USER=SM5XYZ"));
  EXPECT_EQ(SplitLines(Ini()).size(), 80u);
  EXPECT_FALSE(fs::exists(folder_ / "ALLMDIRS.DIR"));
  EXPECT_TRUE(fs::exists(folder_ / "OTHER.DIR"));
  EXPECT_TRUE(fs::exists(folder_ / "PHOTO.BMP"));
  EXPECT_TRUE(fs::exists(folder_ / "ZEBLSYM0.BMP"));
  EXPECT_TRUE(fs::exists(folder_ / "MY_MAPS" / "MAP_0001.BMP"));
  EXPECT_TRUE(platform::MessageLog().empty());
}

// Calls with a one-letter prefix are calls: chat boxes, IGate box, passcode and the
// automatic answer as for any other. A call the rule refuses answers nothing.
TEST_F(RoadTest, OwnCallDecidesChatIGateAndAutomaticAnswer) {
  struct Case {
    const char* call;
    bool valid;
  };
  for (const Case& c : {Case{"W1AW", true}, Case{"K1ABC", true}, Case{"ABCD", false}}) {
    SCOPED_TRACE(c.call);
    Program program;
    Form1& main = Start(program, c.call);
    ASSERT_EQ(main.Map().state().MapDrawnOnce, 1);
    EXPECT_EQ(main.TxSetup().Identity().CallValid(), c.valid);
    EXPECT_EQ(main.RadioLink().State().AprsIsPasscode, c.valid ? links::ComputeAprsIsPasscode(c.call) : "0");
    EXPECT_EQ(Find(main, "Check15")->isEnabled(), c.valid);
    EXPECT_EQ(Find(main, "Text2")->isHidden(), !c.valid);
    EXPECT_EQ(Find(main, "Text3")->isHidden(), !c.valid);
    auto* autoA = Find<platform::CheckBox>(main, "Check16");
    EXPECT_EQ(autoA->Value(), c.valid ? 1 : 0);
    EXPECT_EQ(autoA->isHidden(), !c.valid);
    EXPECT_EQ(main.Reception().settings.autoAnswerOn, c.valid);
    // The TX box ticks AUTO-A after a GPS move: without a valid call it goes off again.
    autoA->SetValue(1);
    EXPECT_EQ(autoA->Value(), c.valid ? 1 : 0);
    EXPECT_EQ(main.Reception().settings.autoAnswerOn, c.valid);
    main.CloseByUser();
  }
}

// The IGATE box as the user meets it: ticked, the APRS-IS login starts at once
// and the title says when it counts, and the choice is written; unticked, the
// link closes and that is written too. A start under a call that may not gate
// shows the box off and disabled and logs in nowhere, but the choice stays in the
// settings file (also through TX SETUP's OK) for the next start with the right call.
TEST_F(RoadTest, TheIGateBoxActsWhenTickedAndItsChoiceOutlivesAnInvalidCall) {
  links::test::AprsIsLineServer server(links::test::AprsIsLineServer::Answer::Verified);
  ASSERT_TRUE(server.Listening());
  Write("ZEBLON.INI", "HOSTP=" + std::to_string(engine_port_) + "\r\nIONA=0\r\nAISRV=127.0.0.1\r\nAIPRT=" +
                          std::to_string(server.Port()) + "\r\nIGATE=0\r\n");
  auto field = [](Form1& main) {
    const std::string t = main.windowTitle().toStdString();
    return t.size() > 75 ? t.substr(75) : std::string();
  };
  {
    Program program;
    Form1& main = Start(program, "SM5XYZ");
    auto* igate = Find<platform::CheckBox>(main, "Check15");
    ASSERT_TRUE(igate->isEnabled());
    ASSERT_EQ(igate->Value(), 0);
    igate->click();
    EXPECT_TRUE(IniHas("IGATE=1"));
    PumpUntil([&] { return field(main) == "IGate connected"; }, 15000);
    EXPECT_EQ(field(main), "IGate connected");
    ASSERT_FALSE(server.Lines(1).empty());
    EXPECT_EQ(server.Lines(1)[0].substr(0, 12), "user SM5XYZ ");

    igate->click();
    EXPECT_TRUE(IniHas("IGATE=0"));
    PumpUntil([&] { return field(main).empty(); }, 2000);
    EXPECT_EQ(field(main), "");
    PumpUntil([] { return false; }, 1000);  // ticks of the main cycle: no new login
    EXPECT_EQ(server.Connections(), 1);

    igate->click();  // on again, and so left for the next starts
    PumpUntil([&] { return field(main) == "IGate connected"; }, 15000);
    EXPECT_EQ(server.Connections(), 2);
    main.CloseByUser();
    EXPECT_TRUE(IniHas("IGATE=1"));
  }
  {
    Program program;
    Form1& main = Start(program, "NOCALL");
    auto* igate = Find<platform::CheckBox>(main, "Check15");
    EXPECT_FALSE(igate->isEnabled());
    EXPECT_EQ(igate->Value(), 0);
    PumpUntil([] { return false; }, 1000);
    EXPECT_EQ(field(main), "");
    EXPECT_EQ(server.Connections(), 2);
    main.TxSetup().ToggleTransmitOrOpenTxSetup(2);
    main.TxPanel().fr4Command4->click();
    ASSERT_TRUE(main.TxPanel().isHidden());
    EXPECT_EQ(field(main), "");
    EXPECT_TRUE(IniHas("IGATE=1"));
    main.CloseByUser();
    EXPECT_TRUE(IniHas("IGATE=1"));
    EXPECT_TRUE(IniHas("USER=NOCALL"));
  }
  {
    Program program;
    Form1& main = Start(program, "SM5XYZ");
    auto* igate = Find<platform::CheckBox>(main, "Check15");
    EXPECT_TRUE(igate->isEnabled());
    EXPECT_EQ(igate->Value(), 1);
    PumpUntil([&] { return field(main) == "IGate connected"; }, 15000);
    EXPECT_EQ(field(main), "IGate connected");
    EXPECT_EQ(server.Connections(), 3);
    main.CloseByUser();
  }
}

// The engine on this computer missing at START: the title says so once (when the
// connection is refused), the link keeps trying, and the notice goes when the
// engine answers, which the RAW list tells.
TEST_F(RoadTest, PacketEngineMissingAtStartIsSaidInTheTitleUntilItAnswers) {
  // Without the hourly ionosphere request the main cycle ticks on at once.
  Write("ZEBLON.INI", "HOSTP=" + std::to_string(engine_port_) + "\r\nIONA=0\r\n");
  Program program;
  Form1& main = Start(program, "SM5XYZ");
  ASSERT_EQ(main.Map().state().MapDrawnOnce, 1);
  const std::string notice = "PACKET ENGINE NOT REACHED AT localhost:" + std::to_string(engine_port_) + ", RETRYING";
  auto title = [&] { return main.windowTitle().toStdString(); };
  PumpUntil([&] { return title().find(notice) != std::string::npos; }, 5000);
  EXPECT_NE(title().find(notice), std::string::npos) << title();
  auto* live = dynamic_cast<links::LiveRadioLink*>(&main.RadioLink());
  ASSERT_NE(live, nullptr);
  live->Engine().SetLimits({300, 300, 200});
  for (int i = 0; i < 3; ++i) {  // retries of the upkeep, refused
    PumpUntil([] { return false; }, 300);
    live->LinkUpkeep();
  }
  PumpUntil([] { return false; }, 300);
  EXPECT_NE(title().find(notice), std::string::npos) << title();
  EXPECT_EQ(std::count(live->Told().begin(), live->Told().end(), notice), 1);

  // An engine on that port that registers the call.
  QTcpServer engine;
  ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, static_cast<quint16>(engine_port_)));
  int connections = 0;
  QObject::connect(&engine, &QTcpServer::newConnection, [&] {
    ++connections;
    while (QTcpSocket* s = engine.nextPendingConnection()) {
      QObject::connect(s, &QTcpSocket::readyRead, [s] {
        const QByteArray b = s->readAll();
        if (b.size() >= 36 && b[4] == 'X') {
          const std::string a = *links::BuildAgwFrame('X', 0, "SM5XYZ", "", std::string(1, '\x01'));
          s->write(a.data(), static_cast<qint64>(a.size()));
        }
      });
    }
  });
  PumpUntil([&] { return title().find("PACKET ENGINE") == std::string::npos; }, 10000);
  EXPECT_EQ(title().find("PACKET ENGINE"), std::string::npos) << title();
  EXPECT_EQ(main.RadioLink().State().AgwDataPending, 1);
  EXPECT_GE(connections, 1);
  EXPECT_EQ(title().substr(0, 6), "ZEBLON");
  const std::string answered = "*** PACKET ENGINE AT localhost:" + std::to_string(engine_port_) + " ANSWERED";
  EXPECT_NE(std::find(main.Reception().monitorLines.lines.begin(), main.Reception().monitorLines.lines.end(), answered),
            main.Reception().monitorLines.lines.end());
  main.CloseByUser();
}

// The main window opens within the screen's available area.
TEST_F(RoadTest, TheMainWindowOpensWithinTheScreen) {
  Program program;
  Form1& main = Start(program, "SM5XYZ");
  ASSERT_EQ(main.Map().state().MapDrawnOnce, 1);
  const QRect area = main.screen()->availableGeometry();
  // A window manager frames the window a moment after it is shown.
  PumpUntil([&] { return area.contains(main.frameGeometry()) || main.isMaximized(); }, 3000);
  EXPECT_TRUE(area.contains(main.frameGeometry()) || main.isMaximized())
      << main.frameGeometry().width() << "x" << main.frameGeometry().height() << " in " << area.width() << "x"
      << area.height();
  // The scale row lies inside the window.
  EXPECT_LE(Find(main, "Frame16")->geometry().bottom(), main.height());
  main.CloseByUser();
}

// A fresh program folder with the built STOCK.ZIP: after START the map shows the
// stock tiles around the start-up's centre at every scale.
TEST_F(RoadTest, TheStockMapShowsAfterStart) {
  Program program;
  program.EndProgram = [](int) { FAIL() << "the program ended"; };
  Form0* form0 = program.StartWindow();
  form0->OpenDocument = [](const std::string&) { return true; };
  form0->show();
  ASSERT_TRUE(form0->Form_Activate());
  if (!fs::exists(folder_ / "U33" / "M0010")) GTEST_SKIP() << "STOCK.ZIP carries no map tiles (no gmt at build time)";
  Form1& main = program.MainWindow();
  main.SpeedTestClock = [] {
    static double t = 0;
    return t += 2;  // the speed test ends at once
  };
  form0->Text8->SetText("SM5XYZ");
  form0->Command1->click();
  PumpUntil([&] { return main.Map().state().MapDrawnOnce == 1; }, 20000);
  ASSERT_EQ(main.Map().state().MapDrawnOnce, 1);
  const auto grey_share = [&] {
    const QImage img = main.Picture1->grab().toImage();
    int grey = 0, all = 0;
    for (int y = 0; y < img.height(); y += 16)
      for (int x = 0; x < img.width(); x += 16, ++all) grey += QColor(img.pixel(x, y)) == QColor(80, 80, 80);
    return all > 0 ? static_cast<double>(grey) / all : 1.0;
  };
  // Every scale from 5000 down to 2: the picture is map, not replacement squares.
  for (int level = 0; level < 6; ++level) {
    EXPECT_LT(grey_share(), 0.05) << main.Map().state().MapScale;
    if (level == 3) Screenshot(main, "main_window_stock_map_M0050.png");
    Find<platform::CommandButton>(main, "Command2")->click();
  }
  main.CloseByUser();
}

}  // namespace
}  // namespace zeblon
