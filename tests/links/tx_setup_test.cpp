// The TX setup panel's rules and its OK: what the opening shows, how the controls
// keep one another consistent, what the OK takes or refuses, the title marks, the
// window's texts that follow it, the info lines' tag at start-up, and the TNC
// commands it sends again, on a serial line to a scripted TNC.
#include "links/tx_setup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

#include "links/tnc_commands.h"
#include "platform/process.h"
#include "platform/serial_port.h"
#include "tests/support/program_folder.h"
#include "tests/support/pty_pair.h"

namespace zeblon::links {
namespace {

namespace fs = std::filesystem;

Settings Base(int kind) {
  Settings s;
  s.InterfaceKind = kind;
  s.UserCall = "AB1CD";
  s.TxSsid = "9";
  s.BeaconInterval = 10;
  s.TxDestination = "ZEBL";
  s.TxPath = "WIDE1-1,WIDE2-1";
  s.RadioMode = "1200";
  s.CrossMode = "NONE";
  s.TxLevel = 300;
  s.TxSymbolIndex = 62;
  s.TxOverlay = "";
  s.InfoLines[1] = "line one";
  s.InfoLineActive[1] = 1;
  s.InfoMemories[2] = "145.800 MHz";
  s.PathMemories[2] = "WIDE2-2";
  s.ScsComPort = 7;
  s.TncComPort = 7;
  return s;
}

TEST(TxSetupOpening, FillsFromTheSettingsByKind) {
  TxPanelValues before;
  before.radioMode = "9600";
  before.digi = 1;
  Settings s = Base(4);
  s.RadioMode = "4800";  // unknown: the option stays
  s.BeaconInterval = 0;
  s.DigiOn = 0;
  TxPanelValues v = TxPanelOpening(s, 0, before);
  EXPECT_EQ(v.radioMode, "9600");
  EXPECT_FALSE(v.crossFrameShown);
  EXPECT_FALSE(v.hfDualShown);
  EXPECT_FALSE(v.txLevelShown);
  EXPECT_EQ(v.digi, 1);        // kind 4 leaves the DIGI box
  EXPECT_EQ(v.interval, "0");  // the box's rule shows "MANUAL"
  EXPECT_EQ(v.ssid, "9");
  EXPECT_EQ(v.path, "WIDE1-1,WIDE2-1");
  EXPECT_EQ(v.infoLines[1], "line one");
  EXPECT_EQ(v.infoActive[1], 1);
  EXPECT_EQ(v.infoMemories[2], "145.800 MHz");
  EXPECT_EQ(v.pathMemoryTips[2], "WIDE2-2");
  EXPECT_EQ(v.symbol, "62");

  s = Base(5);
  s.RadioMode = "300R";
  s.CrossMode = " 300 ";
  s.DigiOn = 1;
  v = TxPanelOpening(s, 1, before);
  EXPECT_EQ(v.radioMode, "300R");
  EXPECT_EQ(v.crossMode, "300");
  EXPECT_TRUE(v.crossFrameShown);
  EXPECT_EQ(v.hfDual, 1);
  EXPECT_FALSE(v.ssidEnabled);
  EXPECT_EQ(v.txLevelCaption, " SCS TNC: AFSK TX LEVEL ( 30 mV - 3000 mV )");
  EXPECT_EQ(TxPanelOpening(Base(6), 0, before).txLevelCaption, " SCS PTC: AFSK TX LEVEL ( 30 mV - 3000 mV )");
}

TEST(TxSetupRules, ModesHfDualAndSecondMode) {
  struct Case {
    const char* name;
    TxPanelValues in;
    std::function<void(TxPanelValues&)> act;
    std::string radio, cross, path, interval;
    int hf, digi;
  };
  auto values = [](std::string radio, std::string cross, int hf, int digi, std::string path = "WIDE2-1",
                   std::string interval = "10") {
    TxPanelValues v;
    v.radioMode = radio;
    v.crossMode = cross;
    v.hfDual = hf;
    v.digi = digi;
    v.path = path;
    v.interval = interval;
    return v;
  };
  const Case cases[] = {
      {"9600 chosen", values("300R", "300", 1, 1), [](auto& v) { SelectFastMode(v, "9600"); }, "9600", "NONE",
       "WIDE2-1", "10", 0, 0},
      {"hf-dual ticked with 1200", values("1200", "NONE", 1, 1), [](auto& v) { ReleaseOverHfDual(v); }, "300R", "300",
       "WIDE1-1", "10", 1, 1},
      {"hf-dual ticked, empty path", values("1200", "NONE", 1, 0, ""), [](auto& v) { ReleaseOverHfDual(v); }, "300R",
       "300", "", "10", 1, 0},
      {"hf-dual ticked, timer 1", values("300", "NONE", 1, 0, "X", "1"), [](auto& v) { ReleaseOverHfDual(v); }, "300",
       "R300", "WIDE1-1", "2", 1, 0},
      {"hf-dual ticked, timer 01", values("300", "NONE", 1, 0, "X", "01"), [](auto& v) { ReleaseOverHfDual(v); }, "300",
       "R300", "WIDE1-1", "01", 1, 0},
      {"hf-dual unticked", values("300R", "300", 0, 1), [](auto& v) { ReleaseOverHfDual(v); }, "300R", "NONE",
       "WIDE2-1", "10", 0, 0},
      {"300R again keeps hf-dual", values("300R", "300", 1, 1), [](auto& v) { ReleaseOverHfMode(v, "300R"); }, "300R",
       "300", "WIDE2-1", "10", 1, 0},
      {"300 with the wrong pair", values("300", "300", 1, 1), [](auto& v) { ReleaseOverHfMode(v, "300"); }, "300",
       "NONE", "WIDE2-1", "10", 0, 0},
      {"> 9600", values("1200", "9600", 1, 1), [](auto& v) { StepCrossMode(v, false); }, "1200", "19200", "WIDE2-1",
       "10", 0, 1},
      {"> 19200", values("1200", "19200", 0, 0), [](auto& v) { StepCrossMode(v, false); }, "1200", "NONE", "WIDE2-1",
       "10", 0, 0},
      {"< NONE", values("1200", "NONE", 0, 0), [](auto& v) { StepCrossMode(v, true); }, "1200", "19200", "WIDE2-1",
       "10", 0, 0},
      {"> NONE to the pair", values("300", "NONE", 1, 0), [](auto& v) { StepCrossMode(v, false); }, "300", "R300",
       "WIDE2-1", "10", 1, 0},
      {"4800 stays", values("1200", "4800", 1, 0), [](auto& v) { StepCrossMode(v, true); }, "1200", "4800", "WIDE2-1",
       "10", 0, 0},
  };
  for (const Case& c : cases) {
    TxPanelValues v = c.in;
    c.act(v);
    EXPECT_EQ(v.radioMode, c.radio) << c.name;
    EXPECT_EQ(v.crossMode, c.cross) << c.name;
    EXPECT_EQ(v.path, c.path) << c.name;
    EXPECT_EQ(v.interval, c.interval) << c.name;
    EXPECT_EQ(v.hfDual, c.hf) << c.name;
    EXPECT_EQ(v.digi, c.digi) << c.name;
  }
}

TEST(TxSetupRules, SymbolStepsSkipTheEmptyRowsAndStopAtTheEnds) {
  struct Case {
    int from, direction, to;
  };
  for (const Case& c : std::initializer_list<Case>{{94, +1, 101},
                                                   {101, -1, 94},
                                                   {1, -1, 1},
                                                   {194, +1, 194},
                                                   {0, +1, 1},
                                                   {0, -1, 1},
                                                   {97, -1, 94},
                                                   {97, +1, 101},
                                                   {198, +1, 194},
                                                   {198, -1, 197},
                                                   {195, -1, 194}}) {
    EXPECT_EQ(c.direction < 0 ? SymbolStepBack(c.from) : SymbolStepForward(c.from), c.to)
        << c.from << " " << c.direction;
  }
}

TEST(TxSetupRules, PathsMemoriesSymbolsAndTimer) {
  EXPECT_EQ(PathWithPreset(PathWithPreset("", "WIDE2-2"), "RELAY"), "WIDE2-2,RELAY");
  EXPECT_EQ(PathWithPreset(" WIDE1-1 ", "GATE"), "WIDE1-1,GATE");
  EXPECT_EQ(PathMemoryStore("wide1-1, relay "), "WIDE1-1, RELAY");
  EXPECT_EQ(PathMemoryRecall(" wide2-2 ", ""), "WIDE2-2");
  EXPECT_EQ(PathMemoryRecall("WIDE2-2", "WIDE1-1, RELAY"), "WIDE1-1, RELAY");

  EXPECT_EQ(SymbolStepForward(94), 101);
  EXPECT_EQ(SymbolStepBack(101), 94);
  EXPECT_EQ(SymbolStepBack(1), 1);
  EXPECT_EQ(SymbolStepForward(194), 194);
  for (int i : {0, 95, 100, 195, -3}) EXPECT_FALSE(SymbolIndexValid(i)) << i;
  for (int i : {1, 94, 101, 194}) EXPECT_TRUE(SymbolIndexValid(i)) << i;

  EXPECT_EQ(TxTimerStep("MANUAL", 1), "1");
  EXPECT_EQ(TxTimerStep("60", 1), "61");       // the box's rule makes it "MANUAL"
  EXPECT_EQ(TxTimerStep("MANUAL", -1), "-1");  // and this "60"

  std::array<std::string, 7> lines = {"", "a", "145.800 mhz", "b", "QRV 432.5 MHz", "c", "d"};
  EXPECT_EQ(InfoMemoryTarget(lines, 1, "144.800 MHZ", true), 4);   // the last MHZ line
  EXPECT_EQ(InfoMemoryTarget(lines, 1, "144.800 MHZ", false), 1);  // a right click: the edited one
  EXPECT_EQ(InfoMemoryTarget(lines, 6, "no frequency", true), 6);
  EXPECT_EQ(InfoMemoryTarget(lines, 0, "no frequency", true), 0);  // no line had the focus
  lines = {"", "a", "b", "c", "d", "e", "f"};
  EXPECT_EQ(InfoMemoryTarget(lines, 3, "144.800 MHz", true), 3);
}

TEST(TxSetupOkRules, TakesOrRefuses) {
  const std::array<std::string, 5> no_edits;
  auto take = [&](std::function<void(TxPanelValues&)> change, int kind = 1, bool igate_enabled = true, int igate = 1,
                  int stored_igate = 0) {
    Settings old = Base(kind);
    old.IGateOn = stored_igate;
    TxPanelValues v = TxPanelOpening(old, 0, {});
    v.interval = "10";
    change(v);
    return TakeTxPanel(old, v, no_edits, igate_enabled, igate);
  };
  struct Refusal {
    const char* name;
    std::function<void(TxPanelValues&)> change;
    int kind;
  };
  const Refusal refused[] = {
      {"ssid 0", [](auto& v) { v.ssid = "0"; }, 1},
      {"ssid 16", [](auto& v) { v.ssid = "16"; }, 1},
      {"ssid X", [](auto& v) { v.ssid = "X"; }, 1},
      {"symbol 95", [](auto& v) { v.symbol = "95"; }, 1},
      {"symbol 0", [](auto& v) { v.symbol = "0"; }, 1},
      {"symbol 195", [](auto& v) { v.symbol = "195"; }, 1},
      {"timer 75", [](auto& v) { v.interval = "75"; }, 1},
      {"timer -1", [](auto& v) { v.interval = "-1"; }, 1},
      {"level 20 on the scs tnc", [](auto& v) { v.txLevel = "20"; }, 5},
      {"level 4000 on the ptc", [](auto& v) { v.txLevel = "4000"; }, 6},
  };
  for (const Refusal& r : refused) {
    const TxSetupOk ok = take(r.change, r.kind);
    EXPECT_EQ(ok.refusals.size(), 1u) << r.name;
    EXPECT_EQ(ok.settings.TxSsid, "9") << r.name;  // the old values kept
    EXPECT_EQ(ok.settings.TxSymbolIndex, 62) << r.name;
    EXPECT_EQ(ok.settings.BeaconInterval, 10) << r.name;
  }
  EXPECT_TRUE(take([](auto& v) { v.txLevel = "20"; }, 1).refusals.empty());  // no level with the PK-232

  TxSetupOk ok = take([](auto& v) { v.ssid = "7"; });
  EXPECT_TRUE(ok.refusals.empty());
  EXPECT_EQ(ok.txCall, "AB1CD-7");
  EXPECT_EQ(take([](auto& v) { v.ssid = "07"; }).txCall, "AB1CD-07");
  EXPECT_EQ(take([](auto& v) { v.ssid = " "; }).txCall, "AB1CD");
  ok = take([](auto& v) {
    v.interval = "MANUAL";
    v.destination = " ";
    v.path = " wide1-1 ";
    v.overlay = "ab";
    v.symbol = "101";
    v.infoLines[3] = "  third  ";
    v.infoActive[3] = 1;
    v.radioMode = "9600";
    v.digi = 1;
    v.timestamp = 1;
  });
  ASSERT_TRUE(ok.refusals.empty());
  EXPECT_EQ(ok.settings.BeaconInterval, 0);
  EXPECT_EQ(ok.settings.TxDestination, "ZEBL");
  EXPECT_EQ(ok.settings.TxPath, "WIDE1-1");
  EXPECT_EQ(ok.settings.TxOverlay, "B");
  EXPECT_EQ(ok.settings.TxSymbolIndex, 101);
  EXPECT_EQ(ok.settings.InfoLines[3], "third");
  EXPECT_EQ(ok.settings.InfoLineActive[3], 1);
  EXPECT_EQ(ok.settings.RadioMode, "9600");
  EXPECT_EQ(ok.settings.DigiOn, 1);
  EXPECT_EQ(ok.settings.TxTimestamp, 1);
  EXPECT_EQ(ok.settings.IGateOn, 1);
  EXPECT_EQ(take([](auto& v) { v.interval = "12.5"; }).settings.BeaconInterval, 12);  // half to even
  // IGATE disabled (a call that may not gate): the stored choice is kept, whatever
  // the box shows; enabled, the box decides. DIGI not taken with kind 3.
  EXPECT_EQ(take([](auto&) {}, 1, false, 1, 0).settings.IGateOn, 0);
  EXPECT_EQ(take([](auto&) {}, 1, false, 0, 1).settings.IGateOn, 1);
  EXPECT_EQ(take([](auto&) {}, 1, true, 0, 1).settings.IGateOn, 0);
  EXPECT_EQ(take([](auto& v) { v.digi = 1; }, 3).settings.DigiOn, 0);
  // A pending path memory replaces the stored one.
  std::array<std::string, 5> edits;
  edits[2] = "WIDE1-1, RELAY";
  const Settings old = Base(1);
  EXPECT_EQ(TakeTxPanel(old, TxPanelOpening(old, 0, {}), edits, true, 0).settings.PathMemories[2], "WIDE1-1, RELAY");
}

// The start window's OK cleans what the main window's refuses.
TEST(TxSetupOkRules, StartWindowCleansInsteadOfRefusing) {
  std::array<std::string, 5> edits;
  edits[2] = "RELAY";
  Settings old = Base(5);
  old.RadioMode = "1200";
  old.CrossMode = "300";
  TxPanelValues v;
  v.ssid = "16";
  v.interval = "3.5";
  v.destination = " ";
  v.path = "wide1-1";
  v.symbol = "300";
  v.overlay = "ab";
  v.crossMode = "9600";
  v.afc = 1;
  Settings s = CleanTxPanel(old, v, edits, true, 1);
  EXPECT_EQ(s.TxSsid, "");
  EXPECT_EQ(s.BeaconInterval, 4);
  EXPECT_EQ(s.TxDestination, "ZEBL");
  EXPECT_EQ(s.TxPath, "WIDE1-1");
  EXPECT_EQ(s.PathMemories[2], "RELAY");
  EXPECT_EQ(s.PathMemories[1], old.PathMemories[1]);
  EXPECT_EQ(s.TxSymbolIndex, 300);  // taken as typed: the start window's OK refuses nothing
  EXPECT_EQ(s.TxOverlay, "B");
  EXPECT_EQ(s.RadioMode, "1200");  // no mode option chosen: the stored mode stays
  EXPECT_EQ(s.CrossMode, "9600");
  EXPECT_EQ(s.TxAfc, 1);
  EXPECT_EQ(s.IGateOn, 1);
  // The second mode only with the SCS TNC; the IGate box only for a call that may
  // gate, otherwise the stored choice stays.
  old = Base(6);
  old.CrossMode = "300";
  s = CleanTxPanel(old, v, edits, false, 1);
  EXPECT_EQ(s.CrossMode, "300");
  EXPECT_EQ(s.IGateOn, 0);
  old.IGateOn = 1;
  EXPECT_EQ(CleanTxPanel(old, v, edits, false, 0).IGateOn, 1);
}

TEST(TxSetupOkRules, StartWindowSsidOneToFifteenOrNothing) {
  const std::pair<const char*, const char*> cases[] = {{"0", ""},    {"16", ""},  {"-3", ""},   {"X", ""},
                                                       {"", ""},     {"   ", ""}, {"15", "15"}, {" 3 ", "3"},
                                                       {"7A", "7A"}, {"1", "1"},  {"07", "07"}, {"0.5", ""}};
  for (const auto& [box, stored] : cases) EXPECT_EQ(StoredTxSsid(box), stored) << box;
}

TEST(TxSetupOkRules, TitleMarks) {
  EXPECT_EQ(DigiTitleMark(0, 0, "NONE", "1200"), std::string(11, ' '));
  EXPECT_EQ(DigiTitleMark(1, 1, "NONE", "1200"), "Digi active");
  EXPECT_EQ(DigiTitleMark(1, 5, "300", "300R"), "Digi X-mode");
  EXPECT_EQ(DigiTitleMark(1, 5, "NONE", "300R"), "Digi active");
  EXPECT_EQ(DigiTitleMark(1, 6, "300", "300R"), "Digi active");
  EXPECT_EQ(DigiTitleMark(1, 0, "NONE", "1200"), "");
  EXPECT_EQ(DigiTitleMark(1, 3, "NONE", "1200"), "");
  EXPECT_EQ(IGateTitleMark(1), "IGate");
  EXPECT_EQ(IGateTitleMark(0), "     ");
}

// ---------------------------------------------------------------------------
// The window's texts that follow the TX setup, and the info lines' tag at start-up.

TEST(StartUpValues, DerivedTexts) {
  EXPECT_EQ(RadioModeLabelFor("300R", "x"), "RPR 300");
  EXPECT_EQ(RadioModeLabelFor("1200", "x"), "1200 Bd");
  EXPECT_EQ(RadioModeLabelFor("R300", "keep"), "keep");
  EXPECT_EQ(OwnEchoHeaderFor("AB1CD-9", "", "ZEBL"), "AB1CD-9*>ZEBL");
  EXPECT_EQ(OwnEchoHeaderFor("AB1CD", "A,B", "ZEBL"), "AB1CD*>A>B>ZEBL");
  EXPECT_EQ(TxBoxCaption(10), "TX 10");
  EXPECT_EQ(TxBoxCaption(0), "TX !");
  EXPECT_EQ(ClockLabelText(9, 5, 0, "RPR 300", false), "09:05   RPR 300");
  EXPECT_EQ(ClockLabelText(9, 5, 4, "RPR 300", false), "09:05 ");
  EXPECT_EQ(ClockLabelText(23, 59, 4, "", true), "23:59!");
}

TEST(StartUpValues, InfoLineTag) {
  std::array<std::string, 7> lines = {"", "a long line of more than thirty chars", "ab", "xy", "", "abc", "six"};
  TagInfoLines(lines);
  EXPECT_EQ(lines[4], "  using ZEBLON");  // the empty line is the shortest
  std::array<std::string, 7> equal = {"", std::string(31, 'x'), "ab", "cd", std::string(30, 'y'), std::string(40, 'z'),
                                      ""};
  TagInfoLines(equal);
  EXPECT_EQ(equal[2], "ab  using ZEBLON");
  EXPECT_EQ(equal[3], "cd");
  std::array<std::string, 7> named = {"", "with zeblon", "", "", "", "", ""};
  TagInfoLines(named);
  EXPECT_EQ(named[2], "");
  std::array<std::string, 7> all_long;
  for (int i = 1; i <= 5; ++i) all_long[i] = std::string(30, 'a');
  TagInfoLines(all_long);
  EXPECT_EQ(all_long[1].size(), 30u);
}

// ---------------------------------------------------------------------------
// The commands sent again.

TncSettings Tnc(int kind) {
  Settings s = Base(kind);
  s.TxSsid = "7";
  return TncSettingsFrom(s, false);
}

TEST(TxSetupResend, SetsAsWritten) {
  const std::string E = "\x1b";
  TncSettings pk = Tnc(1);
  pk.path = "";
  EXPECT_EQ(SentBytes(TncResendSet(pk)),
            "\x03MYCALL AB1CD-7\rUNPROTO ZEBL\rDIGIPEAT OFF\rDFROM NONE\rMYALIAS NONE\r\rK\r");
  pk.path = "WIDE1-1";
  pk.digiOn = 1;
  EXPECT_EQ(SentBytes(TncResendSet(pk)),
            "\x03MYCALL AB1CD-7\rUNPROTO ZEBL VIA WIDE1-1\rDIGIPEAT ON\rDFROM ALL\rMYALIAS WIDE1-1\r\rK\r");
  EXPECT_NEAR(TotalWaitSeconds(TncResendSet(pk)), 0.5 + 0.2 * 5 + 1 + 1 + 0.2, 1e-4);

  TncSettings tnc = Tnc(5);
  tnc.radioMode = "300R";
  tnc.crossMode = "300";
  EXPECT_EQ(SentBytes(TncResendSet(tnc)), E + "%BR300\r" + E + "IAB1CD-7\r" + E + "%AMAB1CD-7\r" + E +
                                              "CZEBL WIDE1-1,WIDE2-1\r" + E + "%X 300\r" + E + "%AGH\r" + E + "R0\r" +
                                              E + "%AD0\r" + E + "%AU0\r" + E + "%F 2000\r");
  tnc.crossMode = "NONE";
  tnc.digiOn = 1;
  tnc.hfDual = true;
  tnc.txLevel = -5;
  tnc.radioMode = "4800";  // no command, the wait stays
  const TncCommandSet set = TncResendSet(tnc);
  EXPECT_EQ(SentBytes(set), E + "IAB1CD-7\r" + E + "%AMAB1CD-7\r" + E + "CZEBL WIDE1-1,WIDE2-1\r" + E + "%X-5\r" + E +
                                "%AG NONE\r" + E + "R1\r" + E + "%AD3\r" + E + "%AU1\r" + E + "%F 2000\r");
  EXPECT_NEAR(TotalWaitSeconds(set), 2.0, 1e-4);

  TncSettings ptc = Tnc(6);
  EXPECT_EQ(SentBytes(TncResendSet(ptc)), E + "B 1200\r" + E + "TXL A 300\r" + E + "TXL F 300\r" + E + "DIGI OFF\r" +
                                              E + "UNPROTO ZEBL WIDE1-1 WIDE2-1\r");
  for (int kind : {0, 3, 4}) EXPECT_TRUE(TncResendSet(Tnc(kind)).empty()) << kind;
  // One own call for every user: the SSID once, never twice.
  TncSettings dashed = Tnc(1);
  dashed.userCall = " AB1CD-3 ";
  EXPECT_EQ(OwnCall(dashed), "AB1CD-3");
}

// A scripted TNC on the far end of a socat pair.
class ScriptedTncLine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
    scratch_ = std::make_unique<testing_support::ScratchFolder>("zeblon_tx_resend");
    dir_ = scratch_->path();
    line_ = std::make_unique<testing_support::PtyPair>(dir_, "COM7", "TNC");
    ASSERT_TRUE(line_->ok());
  }
  void TearDown() override {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    line_.reset();
    scratch_.reset();
  }
  // The TNC records what arrives.
  void Run() {
    thread_ = std::thread([this] {
      while (!stop_) {
        const std::string got = line_->Read(5);
        if (!got.empty()) {
          std::lock_guard<std::mutex> lock(mutex_);
          received_ += got;
        }
      }
    });
  }
  std::string Received() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

  std::unique_ptr<testing_support::ScratchFolder> scratch_;
  fs::path dir_;
  std::unique_ptr<testing_support::PtyPair> line_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::string received_;
};

TEST_F(ScriptedTncLine, ResendReachesTheTncByteForByteAndThePortStaysOpen) {
  Run();
  platform::SerialPort port;
  ASSERT_TRUE(port.Open(7, "38400,N,8,1", (dir_ / "COM7").string()));
  for (int kind : {5, 6, 1}) {
    const TncCommandSet set = TncResendSet(Tnc(kind));
    TncRunOptions o;
    o.closeAtEnd = false;
    o.wait = [](float, bool) {};  // the line is fast; only the order counts here
    const std::size_t before = Received().size();
    RunTncCommandSet(set, port, o);
    EXPECT_TRUE(port.IsOpen()) << kind;
    for (int i = 0; i < 300 && Received().size() < before + SentBytes(set).size(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(Received().substr(before), SentBytes(set)) << kind;
  }
}

TEST_F(ScriptedTncLine, ChattyTncAndClosedPortAreBounded) {
  Run();
  platform::SerialPort port;
  ASSERT_TRUE(port.Open(7, "9600,N,8,1", (dir_ / "COM7").string()));
  TncRunOptions o;
  o.closeAtEnd = false;
  o.maxPromptReads = 5;
  o.drainTimeoutMs = 500;
  // A TNC that never stops prompting: every wait ends with a fresh "cmd:" on the line.
  o.wait = [&](float, bool) {
    line_->Write("cmd:");
    port.WaitForInput(2000);
  };
  const auto start = std::chrono::steady_clock::now();
  const TncRunResult r = RunTncCommandSet(TncResendSet(Tnc(1)), port, o);
  EXPECT_TRUE(r.promptLoopCut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  // Back to converse mode all the same.
  for (int i = 0; i < 200 && Received().find("K\r") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_NE(Received().find("K\r"), std::string::npos);
  // A closed port: every write refused quietly, no crash, nothing sent.
  port.Close();
  const std::size_t before = Received().size();
  o.wait = [](float, bool) {};
  const TncRunResult closed = RunTncCommandSet(TncResendSet(Tnc(5)), port, o);
  EXPECT_FALSE(closed.answered);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(Received().size(), before);
}

}  // namespace
}  // namespace zeblon::links
