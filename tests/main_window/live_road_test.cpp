// The live road offscreen: the start window, START with the packet engine on
// this computer (direwolf on a free port), the main window's ticks while
// direwolf hears packets, the logs in LOG, the user's close, nothing left
// running; and the watched station followed on the map as it moves.
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <chrono>

#include "app/program.h"
#include "tests/support/program_folder.h"
#include "main_window/form1.h"
#include "main_window/live_radio_link.h"
#include "main_window/map_service.h"
#include "map/readouts.h"
#include "platform/process.h"
#include "start_window/form0.h"
#include "tests/support/direwolf.h"
#include "tests/support/find.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;
using testing_support::Direwolf;
using testing_support::ProgramFolderTest;

class LiveRoadTest : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    for (const char* tool : {"direwolf", "gen_packets"})
      if (!platform::ProgramExists(tool)) GTEST_SKIP() << tool << " is not installed";
    const fs::path built = ZEBLON_PROGRAM_DIR;
    fs::copy(built / "FONTS", folder_ / "FONTS", fs::copy_options::recursive);
    fs::copy_file(built / "STOCK.ZIP", folder_ / "STOCK.ZIP");
    fs::copy_file(built / "README.HTM", folder_ / "README.HTM");
    RegisterProgramFonts(folder_.string());
  }
  // The start window, then START: the main window ticks every 0.2 s instead of 6 s.
  Form1& PressStart(Program& program) {
    program.EndProgram = [](int) { FAIL() << "the program ended"; };
    Form0* form0 = program.StartWindow();
    form0->OpenDocument = [](const std::string&) { return true; };
    form0->show();
    EXPECT_TRUE(form0->Form_Activate());
    Form1& main = program.MainWindow();
    main.SpeedTestClock = [] {
      using namespace std::chrono;
      return duration<double>(steady_clock::now().time_since_epoch()).count();
    };
    main.OpenDocument = [](const std::string&) { return true; };
    main.Tick().cycleInterval = 200;
    form0->Command1->click();
    PumpUntil([&] { return main.map().MapDrawnOnce == 1; }, 20000);
    return main;
  }
};

TEST_F(LiveRoadTest, StartWithTheEngineHearStoreAndClose) {
  QTemporaryDir dir;
  const int port = testing_support::FreePort();
  auto engine = std::make_unique<Direwolf>(dir, port);
  ASSERT_TRUE(engine->started()) << engine->output();

  // The engine on this computer, at the port direwolf serves; logs on.
  Write("ZEBLON.INI", "USER=SM5XYZ\r\nMODEM=0\r\nHOSTP=" + std::to_string(port) + "\r\nLOGS=1\r\nTEMP=\r\n");
  Program program;
  Form1& main = PressStart(program);
  ASSERT_EQ(main.map().MapDrawnOnce, 1);
  EXPECT_EQ(main.settings().InterfaceKind, 0);
  PumpUntil([&] { return main.link().AgwDataPending == 1; }, 5000);  // registers after the start-up
  EXPECT_EQ(main.link().AgwDataPending, 1);

  // The engine reads a new client's commands late; then it hears the packets.
  PumpUntil([] { return false; }, 1200);
  std::string audio;
  for (const auto& p : testing_support::Packets()) audio += testing_support::PacketAudio(dir, p);
  engine->Feed(audio);
  const fs::path logl = folder_ / "U33" / "LOG" / "_LOGL_.TXT";
  auto heard = [&] {
    std::string text;
    ReadWholeFile(logl, text);
    for (const char* name : {"AB1CD-9", "AB2CD", "AB3CD-7", "AB4CD", "OBJNAME", "ITEM", "AB7CD", "AB8CD"})
      if (text.find(name) == std::string::npos) return false;
    return true;
  };
  PumpUntil(heard, 30000);
  ASSERT_TRUE(heard()) << Read("U33/LOG/_LOGL_.TXT") << engine->output();
  EXPECT_GE(main.reception().moniAllCount, 8);
  EXPECT_NE(Read("U33/LOG/_LOG_.TXT").find("OBJNAME"), std::string::npos);
  EXPECT_NE(Read("U33/LOG/_LOGRAW_.TXT").find("AB9CD*>APRS <UI>:"), std::string::npos);
  EXPECT_TRUE(main.Timer1->isActive());

  // The engine killed and started again: the window says so, keeps ticking and
  // links up again.
  engine.reset();
  PumpUntil([&] { return main.link().AgwDataPending == 0; }, 10000);
  EXPECT_EQ(main.link().AgwDataPending, 0);
  auto* live = dynamic_cast<LiveRadioLink*>(&main.RadioLink());
  ASSERT_NE(live, nullptr);
  ASSERT_FALSE(live->Told().empty());
  EXPECT_EQ(live->Told().back(), links::kAgwLinkLost);
  engine = std::make_unique<Direwolf>(dir, port);
  ASSERT_TRUE(engine->started()) << engine->output();
  PumpUntil([&] { return main.link().AgwDataPending == 1; }, 15000);
  EXPECT_EQ(main.link().AgwDataPending, 1);
  EXPECT_EQ(live->Told().back(), links::kAgwLinkRestored);

  // The user's close: the link ends, the timers stop, direwolf sees its client go.
  main.CloseByUser();
  ASSERT_TRUE(main.ShutdownDone());
  EXPECT_FALSE(main.Timer1->isActive());
  EXPECT_FALSE(main.Timer2->isActive());
  EXPECT_EQ(main.link().AgwDataPending, 0);
  EXPECT_EQ(live->Engine().state(), links::AgwTcpLink::State::Down);
  PumpUntil([&] { return engine->output().find("Closing connection") != std::string::npos; }, 5000);
  EXPECT_NE(engine->output().find("Closing connection"), std::string::npos) << engine->output();
  EXPECT_TRUE(platform::MessageLog().empty());
}

// The watched station as a user meets it: heard, watched through the MONI 1
// box, then heard twice on the move: the map, its centre and the UTMmon
// read-out go with it, and each new report beeps.
TEST_F(LiveRoadTest, TheWatchedStationMovesAsItIsHeard) {
  QTemporaryDir dir;
  const int port = testing_support::FreePort();
  Direwolf engine(dir, port);
  ASSERT_TRUE(engine.started()) << engine.output();
  Write("ZEBLON.INI", "USER=SM5XYZ\r\nMODEM=0\r\nHOSTP=" + std::to_string(port) + "\r\nTEMP=\r\nCALL=QW7TK-9\r\n");
  Program program;
  Form1& main = PressStart(program);
  ASSERT_EQ(main.link().AgwDataPending, 1);
  int beeps = 0;
  main.Beep = [&] { ++beeps; };
  PumpUntil([] { return false; }, 1200);  // the engine reads a new client's commands late
  const reception::ReceptionState& st = main.reception();
  auto hear = [&](const std::string& payload) {
    engine.Feed(testing_support::PacketAudio(dir, "SM5DEF>APRS,WIDE2-1:" + payload));
  };

  hear("!5930.00N/01400.00E-home");
  PumpUntil([&] { return st.moniAllCount > 0 && st.moniAllLog[st.moniAllCount].substr(32, 6) == "SM5DEF"; }, 15000);
  ASSERT_GT(st.moniAllCount, 0) << engine.output();
  auto* combo9 = testing_support::Find<platform::ComboBox>(main, "Combo9");
  combo9->SetText("SM5DEF");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(combo9->lineEdit(), &enter);
  ASSERT_EQ(st.moniOneCount, 1);
  map::MapDisplay& map = dynamic_cast<MapService&>(main.MapDisplay()).display();
  const double homeNorth = map.state().MoniOneNorth;

  const char* moves[] = {"!5930.50N/01402.00E>", "!5931.00N/01404.00E>"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(moves[i]);
    hear(moves[i]);
    PumpUntil([&] { return st.moniOneCount == i + 2; }, 15000);
    ASSERT_EQ(st.moniOneCount, i + 2) << engine.output();
    const std::string& newest = st.moniOneTrack[st.moniOneCount];
    const double north = std::atof(newest.substr(13, 9).c_str()), east = std::atof(newest.substr(22, 9).c_str());
    EXPECT_NEAR(map.state().MoniOneNorth, north, 0.001);
    EXPECT_NEAR(map.state().MoniOneEast, east, 0.001);
    EXPECT_NEAR(main.settings().CentreNorth, north, 0.001);
    const std::string utmmon = testing_support::Find<platform::Label>(main, "Label7")->Caption();
    EXPECT_NE(utmmon.find(map::TrackedValueText(map::CutToWholeMetres(north))), std::string::npos) << utmmon;
  }
  EXPECT_GT(map.state().MoniOneNorth, homeNorth + 1.5);  // a minute of latitude north of home
  EXPECT_EQ(beeps, 2);
  main.CloseByUser();
  ASSERT_TRUE(main.ShutdownDone());
}

}  // namespace
}  // namespace zeblon
