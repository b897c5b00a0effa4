// The live road offscreen: the start window, START with the packet engine on
// this computer (direwolf on a free port), the main window's ticks while
// direwolf hears packets, the logs in LOG, the user's close, nothing left
// running; the watched station followed on the map as it moves. And the same
// road with an engine of the test's own that sends bursts, lone frames and
// floods as the test wants them.
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <chrono>
#include <iostream>

#include "app/program.h"
#include "tests/support/program_folder.h"
#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "map/map_service.h"
#include "map/readouts.h"
#include "platform/process.h"
#include "start_window/form0.h"
#include "tests/support/agw_engine.h"
#include "tests/support/direwolf.h"
#include "tests/support/find.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;
using testing_support::Direwolf;
using testing_support::ProgramFolderTest;

// The program folder with the built program's fonts, stock maps and help page.
class ProgramRoadTest : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    const fs::path built = ZEBLON_PROGRAM_DIR;
    fs::copy(built / "FONTS", folder_ / "FONTS", fs::copy_options::recursive);
    fs::copy_file(ZEBLON_STOCK_ARCHIVE, folder_ / "STOCK.ZIP");
    fs::copy_file(built / "README.HTM", folder_ / "README.HTM");
    RegisterProgramFonts(folder_.string());
  }
  // The program up to its main window, set to use the packet engine on this
  // computer at `port` with logs on, its ticks every 0.2 s instead of 6 s.
  Form1& Open(Program& program, int port) {
    Write("ZEBLON.INI", "USER=SM5XYZ\r\nMODEM=0\r\nHOSTP=" + std::to_string(port) + "\r\nLOGS=1\r\nTEMP=\r\n");
    return Open(program);
  }
  // The same on the settings file the test wrote.
  Form1& Open(Program& program) {
    program.EndProgram = [](int) { FAIL() << "the program ended"; };
    form0_ = program.StartWindow();
    form0_->OpenDocument = [](const std::string&) { return true; };
    form0_->show();
    EXPECT_TRUE(form0_->Form_Activate());
    Form1& main = program.MainWindow();
    main.SpeedTestClock = [] {
      using namespace std::chrono;
      return duration<double>(steady_clock::now().time_since_epoch()).count();
    };
    main.OpenDocument = [](const std::string&) { return true; };
    main.Tick().cycleInterval = 200;
    return main;
  }
  // START, until the main window has drawn its map.
  void Start(Form1& main) {
    form0_->Command1->click();
    PumpUntil([&] { return main.Map().state().MapDrawnOnce == 1; }, 20000);
  }
  Form0* form0_ = nullptr;
};

// The RAW list as the user sees it: a line that holds `text`.
bool RawListHas(Form1& main, const std::string& text) {
  auto* list = testing_support::Find<platform::ListBox>(main, "List1");
  for (int i = 0; i < list->ListCount(); ++i)
    if (list->List(i).find(text) != std::string::npos) return true;
  return false;
}

std::string Title(const Form1& main) { return main.windowTitle().toStdString(); }

class LiveRoadTest : public ProgramRoadTest {
 protected:
  void SetUp() override {
    for (const char* tool : {"direwolf", "gen_packets"})
      if (!platform::ProgramExists(tool)) GTEST_SKIP() << tool << " is not installed";
    ProgramRoadTest::SetUp();
  }
};

TEST_F(LiveRoadTest, StartWithTheEngineHearStoreAndClose) {
  QTemporaryDir dir;
  const int port = testing_support::FreePort();
  auto engine = std::make_unique<Direwolf>(dir, port);
  ASSERT_TRUE(engine->started()) << engine->output();

  // The engine on this computer, at the port direwolf serves.
  Program program;
  Form1& main = Open(program, port);
  Start(main);
  ASSERT_EQ(main.Map().state().MapDrawnOnce, 1);
  EXPECT_EQ(main.CurrentSettings().InterfaceKind, 0);
  PumpUntil([&] { return main.RadioLink().State().AgwDataPending == 1; }, 5000);  // registers after the start-up
  EXPECT_EQ(main.RadioLink().State().AgwDataPending, 1);

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
  EXPECT_GE(main.HeardStations().MoniAllCount(), 8);
  EXPECT_NE(Read("U33/LOG/_LOG_.TXT").find("OBJNAME"), std::string::npos);
  EXPECT_NE(Read("U33/LOG/_LOGRAW_.TXT").find("AB9CD*>APRS <UI>:"), std::string::npos);
  EXPECT_TRUE(main.Timer1->isActive());

  // The engine killed and started again: the window says so, keeps ticking and
  // links up again.
  engine.reset();
  PumpUntil([&] { return main.RadioLink().State().AgwDataPending == 0; }, 10000);
  EXPECT_EQ(main.RadioLink().State().AgwDataPending, 0);
  auto* live = dynamic_cast<links::LiveRadioLink*>(&main.RadioLink());
  ASSERT_NE(live, nullptr);
  ASSERT_FALSE(live->Told().empty());
  EXPECT_EQ(live->Told().back(), links::kAgwLinkLost);
  engine = std::make_unique<Direwolf>(dir, port);
  ASSERT_TRUE(engine->started()) << engine->output();
  PumpUntil([&] { return main.RadioLink().State().AgwDataPending == 1; }, 15000);
  EXPECT_EQ(main.RadioLink().State().AgwDataPending, 1);
  EXPECT_EQ(live->Told().back(), links::kAgwLinkRestored);

  // The user's close: the link ends, the timers stop, direwolf sees its client go.
  main.CloseByUser();
  ASSERT_TRUE(main.ShutdownDone());
  EXPECT_FALSE(main.Timer1->isActive());
  EXPECT_FALSE(main.Timer2->isActive());
  EXPECT_EQ(main.RadioLink().State().AgwDataPending, 0);
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
  Form1& main = Open(program);
  Start(main);
  PumpUntil([&] { return main.RadioLink().State().AgwDataPending == 1; }, 5000);  // registers after the start-up
  ASSERT_EQ(main.RadioLink().State().AgwDataPending, 1);
  int beeps = 0;
  main.Beep = [&] { ++beeps; };
  PumpUntil([] { return false; }, 1200);  // the engine reads a new client's commands late
  const reception::ReceptionState& st = main.Reception();
  auto hear = [&](const std::string& payload) {
    engine.Feed(testing_support::PacketAudio(dir, "SM5DEF>APRS,WIDE2-1:" + payload));
  };

  hear("!5930.00N/01400.00E-home");
  PumpUntil(
      [&] {
        return st.stations.MoniAllCount() > 0 &&
               st.stations.MoniAll()[st.stations.MoniAllCount()].substr(32, 6) == "SM5DEF";
      },
      15000);
  ASSERT_GT(st.stations.MoniAllCount(), 0) << engine.output();
  auto* combo9 = testing_support::Find<platform::ComboBox>(main, "Combo9");
  combo9->SetText("SM5DEF");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(combo9->lineEdit(), &enter);
  ASSERT_EQ(st.stations.MoniOneCount(), 1);
  map::MapDisplay& map = dynamic_cast<map::MapService&>(main.MapDisplay()).display();
  const double homeNorth = map.state().MoniOneNorth;

  const char* moves[] = {"!5930.50N/01402.00E>", "!5931.00N/01404.00E>"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(moves[i]);
    hear(moves[i]);
    PumpUntil([&] { return st.stations.MoniOneCount() == i + 2; }, 15000);
    ASSERT_EQ(st.stations.MoniOneCount(), i + 2) << engine.output();
    const std::string& newest = st.stations.MoniOneTrack()[st.stations.MoniOneCount()];
    const double north = std::atof(newest.substr(13, 9).c_str()), east = std::atof(newest.substr(22, 9).c_str());
    EXPECT_NEAR(map.state().MoniOneNorth, north, 0.001);
    EXPECT_NEAR(map.state().MoniOneEast, east, 0.001);
    EXPECT_NEAR(main.CurrentSettings().CentreNorth, north, 0.001);
    const std::string utmmon = testing_support::Find<platform::Label>(main, "Label7")->Caption();
    EXPECT_NE(utmmon.find(map::TrackedValueText(map::CutToWholeMetres(north))), std::string::npos) << utmmon;
  }
  EXPECT_GT(map.state().MoniOneNorth, homeNorth + 1.5);  // a minute of latitude north of home
  EXPECT_EQ(beeps, 2);
  main.CloseByUser();
  ASSERT_TRUE(main.ShutdownDone());
}

// The packet engine's state as the user meets it: an engine that answers at once
// is never said to be missing, neither in the title nor in the RAW list; one lost
// in mid-session is said in both until it is back, and the RAW list tells its return.
TEST_F(LiveRoadTest, TheEngineIsSaidMissingOnlyWhileItIs) {
  QTemporaryDir dir;
  const int port = testing_support::FreePort();
  auto engine = std::make_unique<Direwolf>(dir, port);
  ASSERT_TRUE(engine->started()) << engine->output();
  std::vector<std::string> titles;  // every title the window showed
  Program program;
  Form1& main = Open(program, port);
  titles.push_back(Title(main));
  QObject::connect(&main, &QWidget::windowTitleChanged, &main,
                   [&titles](const QString& t) { titles.push_back(t.toStdString()); });
  Start(main);
  PumpUntil([&] { return main.RadioLink().State().AgwDataPending == 1; }, 5000);
  ASSERT_EQ(main.RadioLink().State().AgwDataPending, 1);
  PumpUntil([] { return false; }, 1500);  // some ticks of the main cycle
  for (const std::string& t : titles) EXPECT_EQ(t.find("PACKET ENGINE"), std::string::npos) << t;
  EXPECT_FALSE(RawListHas(main, "PACKET ENGINE"));

  engine.reset();
  PumpUntil([&] { return Title(main).find(links::kAgwLinkLost) != std::string::npos; }, 10000);
  EXPECT_NE(Title(main).find(links::kAgwLinkLost), std::string::npos) << Title(main);
  EXPECT_TRUE(RawListHas(main, links::kAgwLinkLost));

  engine = std::make_unique<Direwolf>(dir, port);
  ASSERT_TRUE(engine->started()) << engine->output();
  PumpUntil([&] { return Title(main).find(links::kAgwLinkLost) == std::string::npos; }, 15000);
  EXPECT_EQ(Title(main).find(links::kAgwLinkLost), std::string::npos) << Title(main);
  EXPECT_EQ(Title(main).substr(0, 6), "ZEBLON");
  EXPECT_EQ(main.RadioLink().State().AgwDataPending, 1);
  EXPECT_TRUE(RawListHas(main, links::kAgwLinkRestored));
  main.CloseByUser();
  ASSERT_TRUE(main.ShutdownDone());
}

// A numbered message and a path query heard for the user: under a valid call the
// acknowledgement, the automatic answer and the path reply go on the air; under a
// call that cannot be a licensed one the message is shown and nothing goes out.
TEST_F(LiveRoadTest, NothingIsSentByItselfUnderAnInvalidCall) {
  struct Case {
    const char* call;
    bool answers;
  };
  for (const Case& c : {Case{"SM5XYZ", true}, Case{"NOCALL", false}}) {
    SCOPED_TRACE(c.call);
    QTemporaryDir dir;
    const int port = testing_support::FreePort();
    Direwolf engine(dir, port);
    ASSERT_TRUE(engine.started()) << engine.output();
    const std::string call = c.call;
    Write("ZEBLON.INI", "USER=" + call + "\r\nTXID=7\r\nMODEM=0\r\nHOSTP=" + std::to_string(port) + "\r\nTEMP=\r\n");
    Program program;
    Form1& main = Open(program);
    Start(main);
    PumpUntil([&] { return main.RadioLink().State().AgwDataPending == 1; }, 5000);
    ASSERT_EQ(main.RadioLink().State().AgwDataPending, 1);
    PumpUntil([] { return false; }, 1200);  // the engine reads a new client's commands late
    const std::string to = ":" + call + std::string(9 - call.size(), ' ') + ":";
    engine.Feed(testing_support::PacketAudio(dir, "SM5DEF>APRS,WIDE2-1:" + to + "hello{21") +
                testing_support::PacketAudio(dir, "SM5DEF>APRS,WIDE2-1:" + to + "?APRST"));
    auto chatHas = [&](const std::string& text) {
      for (int i = 0; i < 8; ++i)
        if (main.Chat().Queue().At(i).text.find(text) != std::string::npos) return true;
      return false;
    };
    PumpUntil([&] { return chatHas("?APRST"); }, 15000);
    ASSERT_TRUE(chatHas("SM5DEF   " + to + "hello{21")) << engine.output();
    const std::string from = "[0L] " + call + "-7>ZEBL,WIDE1-1::SM5DEF   :";
    auto sent = [&](const std::string& text) { return engine.output().find(from + text) != std::string::npos; };
    PumpUntil([&] { return sent("ack21") && sent("AA: ") && sent("PATH = "); }, c.answers ? 15000 : 4000);
    EXPECT_EQ(sent("ack21"), c.answers) << engine.output();
    EXPECT_EQ(sent("AA: "), c.answers) << engine.output();
    EXPECT_EQ(sent("PATH = SM5DEF"), c.answers) << engine.output();
    EXPECT_EQ(chatHas("PATH = "), c.answers);
    if (!c.answers) {
      EXPECT_EQ(engine.output().find("[0L]"), std::string::npos) << engine.output();
    }
    main.CloseByUser();
    ASSERT_TRUE(main.ShutdownDone());
  }
}

// An engine that takes the connection but does not answer the registration: the
// title says nothing while the registration may still be answered, then that the
// engine is not reached; when it answers a later attempt, the notice goes and the
// RAW list says that it answered.
TEST_F(ProgramRoadTest, AnEngineThatDoesNotAnswerIsSaidMissingAfterItsTime) {
  testing_support::AgwEngine engine;
  engine.answerRegistration = false;
  // Without the hourly ionosphere request the main cycle's upkeep comes at every tick.
  Write("ZEBLON.INI", "USER=SM5XYZ\r\nMODEM=0\r\nHOSTP=" + std::to_string(engine.port()) + "\r\nIONA=0\r\nTEMP=\r\n");
  Program program;
  Form1& main = Open(program);
  auto* live = dynamic_cast<links::LiveRadioLink*>(&main.RadioLink());
  ASSERT_NE(live, nullptr);
  links::AgwTcpLink::Limits limits;
  limits.registerMs = 1500;
  limits.retryMs = 300;
  live->Engine().SetLimits(limits);
  const std::string notice = "PACKET ENGINE NOT REACHED AT localhost:" + std::to_string(engine.port()) + ", RETRYING";
  Start(main);
  PumpUntil([&] { return engine.Count('X') == 1; }, 5000);
  ASSERT_EQ(engine.Count('X'), 1);
  PumpUntil([] { return false; }, 500);
  EXPECT_EQ(Title(main).find(notice), std::string::npos) << Title(main);
  EXPECT_FALSE(RawListHas(main, notice));

  PumpUntil([&] { return Title(main).find(notice) != std::string::npos; }, 5000);
  EXPECT_NE(Title(main).find(notice), std::string::npos) << Title(main);
  EXPECT_TRUE(RawListHas(main, notice));

  engine.answerRegistration = true;
  PumpUntil([&] { return Title(main).find(notice) == std::string::npos; }, 20000);
  EXPECT_EQ(Title(main).find(notice), std::string::npos) << Title(main);
  EXPECT_EQ(main.RadioLink().State().AgwDataPending, 1) << engine.Count('X') << " registrations";
  EXPECT_TRUE(RawListHas(main, "PACKET ENGINE AT localhost:" + std::to_string(engine.port()) + " ANSWERED"));
  main.CloseByUser();
  ASSERT_TRUE(main.ShutdownDone());
}

TEST_F(ProgramRoadTest, EngineFramesAreStoredAndDrawnInTheTickThatReceivedThem) {
  testing_support::AgwEngine engine;
  Program program;
  Form1& main = Open(program, engine.port());
  // After every tick, whose receive pass comes at its end: the stations stored, and the
  // stations the map's last drawing knew.
  struct Pass {
    int stored;
    long drawn;
  };
  std::vector<Pass> passes;
  // The tick runs from Timer1's signal, connected before this one: this slot
  // sees every tick's end, the receive pass being its last step that stores.
  QObject::connect(main.Timer1, &QTimer::timeout, [&] {
    auto* map = dynamic_cast<map::MapService*>(&main.MapDisplay());
    passes.push_back({main.HeardStations().MoniAllCount(), map != nullptr ? map->display().state().MoniAllCount : -1});
  });
  Start(main);
  PumpUntil([&] { return engine.Count('m') == 1; }, 5000);
  ASSERT_EQ(main.RadioLink().State().AgwDataPending, 1);
  auto* live = dynamic_cast<links::LiveRadioLink*>(&main.RadioLink());
  ASSERT_NE(live, nullptr);
  // The first ticks end early with their web requests; then every tick reaches the pass.
  PumpUntil([&] { return passes.size() >= 2; }, 30000);
  ASSERT_GE(passes.size(), 2u);

  const auto text = [](const std::string& call, const std::string& info) {
    return " 1:Fm " + call + " To APRS Via WIDE1-1 <UI pid=F0 Len=" + std::to_string(info.size()) +
           " PF=0 >[12:00:00]\r" + info + "\r" + std::string(1, '\0');
  };
  const auto position = [&](const std::string& call, int i) {
    return text(call, "!" + std::to_string(5900 + i) + ".50N/01800.00E>" + call);
  };
  // The first pass that stores anything of a burst, by the count of stations
  // before it.
  const auto firstPassAfter = [&](int before) -> Pass {
    for (const Pass& p : passes)
      if (p.stored > before) return p;
    return {-1, -1};
  };

  // A burst of 20 positions among status texts: every one stored and on the map
  // in the pass that received them.
  std::string burst;
  for (int i = 0; i < 20; ++i) {
    burst += engine.MonitorFrame(position("B" + std::to_string(i), i));
    if (i % 4 == 0) burst += engine.MonitorFrame(text("S" + std::to_string(i), ">status"));
  }
  passes.clear();
  engine.Send(burst);
  PumpUntil([&] { return main.HeardStations().MoniAllCount() >= 20; }, 10000);
  ASSERT_EQ(main.HeardStations().MoniAllCount(), 20);
  EXPECT_EQ(firstPassAfter(0).stored, 20);
  EXPECT_EQ(firstPassAfter(0).drawn, 20);

  // One frame alone on a quiet link.
  passes.clear();
  engine.SendMonitor(position("ALONE", 30));
  PumpUntil([&] { return main.HeardStations().MoniAllCount() >= 21; }, 10000);
  EXPECT_EQ(firstPassAfter(20).stored, 21);
  EXPECT_EQ(firstPassAfter(20).drawn, 21);
  EXPECT_NE(Read("U33/LOG/_LOGL_.TXT").find("ALONE"), std::string::npos);

  // 1 000 ill-formed frames ahead of a good one: stored within a tick or two
  // (a pass each cost a whole tick).
  std::string bad;
  for (int i = 0; i < 1000; ++i)
    bad += engine.MonitorFrame(i % 2 == 0 ? "" : " 1:Fm BAD To APRS <RR R2 >[12:00:00]\r", i % 2 == 0 ? 'U' : 'S');
  QElapsedTimer sent;
  sent.start();
  engine.Send(bad + engine.MonitorFrame(position("BEHIND", 35)));
  PumpUntil([&] { return main.HeardStations().MoniAllCount() >= 22; }, 10000);
  ASSERT_EQ(main.HeardStations().MoniAllCount(), 22);
  std::cout << "[ figure ] the window, ticks of 0.2 s: a good frame behind 1000 ill-formed ones stored "
            << sent.elapsed() << " ms after it was sent\n";
  EXPECT_LT(sent.elapsed(), 10 * main.Tick().cycleInterval);

  // A flood of empty frames ahead of a good one: the good one is stored, and the
  // RAW list tells how many frames the flood lost.
  engine.Flood(engine.MonitorFrame(""), 100000);
  PumpUntil([&] { return engine.FloodLeft() == 0 && live->Receiver()->EngineTextsDropped() > 0; }, 30000);
  engine.SendMonitor(position("AFTER", 40));
  PumpUntil([&] { return main.HeardStations().MoniAllCount() >= 23; }, 10000);
  ASSERT_EQ(main.HeardStations().MoniAllCount(), 23);
  ASSERT_FALSE(live->Told().empty());
  EXPECT_NE(live->Told().back().find("FRAMES DROPPED - RECEIVE BUFFER FULL"), std::string::npos);
  bool listed = false;
  for (const std::string& line : main.Reception().monitorLines.lines)
    listed = listed || line.find("FRAMES DROPPED") != std::string::npos;
  EXPECT_TRUE(listed);

  main.CloseByUser();
  ASSERT_TRUE(main.ShutdownDone());
}

}  // namespace
}  // namespace zeblon
