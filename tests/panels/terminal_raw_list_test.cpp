// The terminal window and the RAW packet list: their text rules, the INFO lookup
// of a monitor line, and both on a serial line to a scripted TNC (a socat pair).
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "panels/raw_list.h"
#include "panels/terminal.h"
#include "platform/process.h"
#include "platform/serial_port.h"
#include "platform/wait.h"
#include "reception/station_record.h"
#include "tests/support/program_folder.h"
#include "tests/support/pty_pair.h"

namespace zeblon::panels {
namespace {

namespace fs = std::filesystem;

TEST(RawListLines, StationNames) {
  struct Case {
    const char* line;
    const char* name;
  };
  const Case cases[] = {
      {"SOURCE-10>APRS,WIDE2-1*", "SOURCE-10"},
      {";LEADER   *092345z4903.50N/07201.75W>", "LEADER"},
      {")AID#2!4903.50N/07201.75WA", "AID#2"},
      {"}SOURCE>APRS,TCPIP,GATE*:!5930.00N/01800.00E>", "SOURCE"},
      {"cmd:SOURCE>APRS,RELAY*", "SOURCE"},
      {"", ""},
      {"!5930.00N/01800.00E>a plain payload line", ""},  // neither ")" nor ";" nor "*"
      {"AB1CD>AP*", ""},                                 // shorter than 12
      {"AB1CDEFGHIJKL>APRS,WIDE*", ""},                  // the name end lies beyond 12
      {";LEADER   _092345z4903.50N/07201.75W>", ""},     // a killed object
  };
  for (const Case& c : cases) EXPECT_EQ(RawLineStationName(c.line), c.name) << c.line;
}

std::string Record(const std::string& call, const std::string& comment) {
  std::string r = reception::BlankRecord();
  r.replace(32, call.size(), call);
  r.replace(42, comment.size(), comment);
  return r;
}

TEST(RawListLines, InfoOnTheNewestReport) {
  reception::ReceptionState st;
  st.stations.Add(Record("AB1CD-9", "first"), reception::kMoniAllSlots);
  st.stations.Add(Record("ab1cd-9", "other case"), reception::kMoniAllSlots);
  st.stations.Add(Record("AB1CD-9", "newest R&D"), reception::kMoniAllSlots);
  st.stations.Add(Record("QW7TK", "else"), reception::kMoniAllSlots);
  ASSERT_TRUE(OpenInfoOnStation(st, "AB1CD-9"));
  EXPECT_EQ(st.info.Index(), 3);
  EXPECT_EQ(st.info.Call(), "AB1CD-9");
  EXPECT_EQ(st.info.LabelCaption(), "QTH=");
  EXPECT_TRUE(st.info.Visible());
  EXPECT_NE(st.info.Record().find("R&D"), std::string::npos);
  EXPECT_NE(st.info.LabelText().find("R&&D"), std::string::npos);
  st.info = {};
  EXPECT_FALSE(OpenInfoOnStation(st, "NOBODY"));
  EXPECT_FALSE(st.info.Visible());
}

TEST(RawListLines, TemporaryModeAndNotice) {
  EXPECT_EQ(TemporaryModeFor("300R").press, "\x1b%B300\r");
  EXPECT_EQ(TemporaryModeFor("300R").release, "\x1b%BR300\r");
  EXPECT_EQ(TemporaryModeFor("300").press, "\x1b%BR300\r");
  EXPECT_EQ(TemporaryModeFor("300").notice, "TEMPORARY MODE RPR 300 Bd RELEASE BUTTON TO RETURN TO FSK 300 Bd");
  EXPECT_TRUE(TemporaryModeFor("1200").press.empty());
  int left = 0, top = 0;
  TemporaryNoticePlace(15, 15, 200, 600, 300, 1500, left, top);  // pointer at 20, 100 px
  EXPECT_EQ(left, 200 + 20 + 5);
  EXPECT_EQ(top, 600 + 100 - 53);
}

TEST(TerminalText, BoxesAndKeys) {
  EXPECT_EQ(TerminalBoxText(std::string(1000, 'a')).size(), 1000u);
  EXPECT_EQ(TerminalBoxText(std::string(1001, 'a')).size(), 300u);
  EXPECT_EQ(TerminalBoxText(std::string(990, 'a') + std::string(20, 'b')),
            std::string(280, 'a') + std::string(20, 'b'));
  EXPECT_EQ(TerminalKeyByte(Qt::Key_A, "A"), 65);
  EXPECT_EQ(TerminalKeyByte(Qt::Key_Return, "\r"), 13);
  EXPECT_EQ(TerminalKeyByte(Qt::Key_Backspace, "\b"), 8);
  EXPECT_EQ(TerminalKeyByte(Qt::Key_Shift, ""), -1);
  EXPECT_EQ(TerminalKeyByte(Qt::Key_Adiaeresis, "\xE4"), 0xE4);
}

// A scripted TNC on the far end of a socat pair.
class TncLine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
    scratch_ = std::make_unique<testing_support::ScratchFolder>("zeblon_term");
    line_ = std::make_unique<testing_support::PtyPair>(scratch_->path(), "COM5", "TNC");
    ASSERT_TRUE(line_->ok());
    ASSERT_TRUE(port_.Open(5, "9600,N,8,1", line_->ProgramEnd().string()));
  }
  void TearDown() override {
    port_.Close();
    line_.reset();
    scratch_.reset();
  }
  // What the TNC got within `ms`.
  std::string TncReads(int ms = 300) { return line_->Read(ms); }
  void TncSays(const std::string& text) { ASSERT_TRUE(line_->Write(text)); }
  static void Pump(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  void Grab(QWidget& w, const char* file) {
    const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "artefacts";
    fs::create_directories(dir);
    w.grab().save(QString::fromStdString((dir / file).string()));
  }

  std::unique_ptr<testing_support::ScratchFolder> scratch_;
  std::unique_ptr<testing_support::PtyPair> line_;
  platform::SerialPort port_;
};

TEST_F(TncLine, TerminalTypesToTheTncAndShowsItsAnswers) {
  QWidget window;
  window.resize(1024, 740);
  TerminalPanel panel(&window);
  Terminal terminal(panel, port_);
  int closed = 0;
  terminal.OnClosed = [&closed] { ++closed; };
  panel.Text20->SetText("old text");
  window.show();
  terminal.Open();
  EXPECT_TRUE(terminal.IsOpen());
  EXPECT_EQ(panel.Text20->Text(), "");
  // Typed keys reach the TNC one byte each and show in the input box.
  for (const char* key : {"M", "Y"}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, key);
    QApplication::sendEvent(panel.Text19, &press);
  }
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(panel.Text19, &enter);
  EXPECT_EQ(TncReads(), "MY\r");
  EXPECT_EQ(panel.Text19->Text(), "MY");
  // The TNC's answer appears in the output box.
  TncSays("MYCALL QW7TK\r\ncmd:");
  for (int i = 0; i < 150 && panel.Text20->Text().find("cmd:") == std::string::npos; ++i) Pump(20);
  EXPECT_NE(panel.Text20->Text().find("MYCALL QW7TK"), std::string::npos);
  EXPECT_NE(panel.Text20->Text().find("cmd:"), std::string::npos);
  Grab(window, "terminal.png");
  // The input box keeps 1000 and one, and is cut at the next key.
  panel.Text19->SetText(std::string(1000, 'x'));
  terminal.KeyPressed('a');
  EXPECT_EQ(panel.Text19->Text().size(), 1000u);
  panel.Text19->SetText(std::string(1001, 'x'));
  terminal.KeyPressed('b');
  EXPECT_EQ(panel.Text19->Text().size(), 300u);
  TncReads(100);
  // Closed: nothing more is read; the TNC's text stays for the receive pass.
  terminal.Close();
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(terminal.IsOpen());
  TncSays("later");
  Pump(200);
  EXPECT_EQ(port_.ReadAll(), "later");
  // A closed port takes no key and nothing breaks.
  port_.Close();
  terminal.Open();
  terminal.KeyPressed('Z');
  terminal.Receive();
  EXPECT_TRUE(terminal.IsOpen());
}

// The main window as the RAW list sees it: the cycle's state, the drawings and
// the INFO panels opened, an SCS TNC (kind 5) in RPR 300.
class FakeRawListWindow : public links::CycleControl, public MapActions, public RawListPort {
 public:
  int kind = 5, interval = 0, draws = 0, infos = 0;
  bool running = true;

  void StopCycle() override { running = false; }
  void StartCycle() override { running = true; }
  void HoldCycle() override { running = false; }
  void ArmPause(int) override { running = false; }
  void StopWatchdog() override {}
  int CycleInterval() const override { return 6000; }
  void SetCycleInterval(int ms) override { interval = ms; }
  void DrawMap() override { ++draws; }
  bool WindowActive() const override { return true; }
  // The focus, the viewer and the centre are not what this test watches.
  void FocusMapWhenActive() override {}
  void ClosePictureViewer() override {}
  void ClearCentreOptions() override {}
  void CentreMapOn(double, double) override {}
  int LinkInterfaceKind() const override { return kind; }
  std::string RadioMode() const override { return "300R"; }
  void InfoOpened() override { ++infos; }
  void ClearStationDrawing() override {}  // no drawing here
  int TwipsPerPixelX() const override { return 15; }
  int TwipsPerPixelY() const override { return 15; }
};

TEST_F(TncLine, RawListClearLookupAndTemporaryMode) {
  QWidget window;
  window.resize(1024, 740);
  auto* picture1 = platform::Add<QWidget>(&window, {200, 0, 824, 600});
  auto* list1 = platform::Add<platform::ListBox>(&window, {0, 600, 824, 120}, "List1");
  auto* check3 = platform::Add<platform::CheckBox>(&window, {0, 0, 60, 20}, "Check3", "RAW");
  auto* command3 = platform::Add<platform::CommandButton>(&window, {0, 24, 60, 20}, "Command3", "CLR");
  list1->hide();
  TemporaryNotice notice(&window);
  reception::ReceptionState st;
  st.stations.Add(Record("AB1CD-9", "first"), reception::kMoniAllSlots);
  st.stations.Add(Record("AB1CD-9", "second"), reception::kMoniAllSlots);
  FakeRawListWindow fake;
  RawList raw(*list1, *check3, *command3, *picture1, notice, st, &port_, fake, fake, fake);
  window.show();

  check3->SetValue(1);
  EXPECT_FALSE(list1->isHidden());
  EXPECT_EQ(list1->x(), 200);
  for (const char* line : {"AB1CD-9>APRS,WIDE2-1*", "!5930.00N/01800.00E>payload", "", "QW7TK>APRS*"}) {
    list1->AddItem(line);
  }
  Grab(window, "raw_list.png");

  // A click on a header line opens the INFO panel on the newest report.
  list1->SetListIndex(0);
  list1->item(0)->setSelected(true);
  raw.ListPressed(1, 10, 5);
  EXPECT_EQ(fake.infos, 1);
  EXPECT_EQ(st.info.Index(), 2);
  EXPECT_EQ(fake.interval, 6000);
  EXPECT_TRUE(list1->selectedItems().isEmpty());
  // A payload line and an unknown station change nothing but restart the cycle.
  for (int row : {1, 3}) {
    list1->SetListIndex(row);
    list1->item(row)->setSelected(true);
    raw.ListPressed(1, 10, 5);
  }
  EXPECT_EQ(fake.infos, 1);
  EXPECT_TRUE(fake.running);
  raw.HoldCycleWhileScrolling();
  EXPECT_EQ(fake.interval, 24000);

  // The right button held with the SCS TNC: FSK 300 for the time being, back on release.
  raw.ListPressed(2, 40, 60);
  EXPECT_FALSE(notice.isHidden());
  EXPECT_EQ(notice.Label49->Caption(), "TEMPORARY MODE FSK 300 Bd RELEASE BUTTON TO RETURN TO RPR 300 Bd");
  raw.ListReleased(2);
  EXPECT_TRUE(notice.isHidden());
  EXPECT_EQ(TncReads(), "\x1b%B300\r\x1b%BR300\r");
  // The same through the list's own mouse events.
  QWidget* vp = list1->viewport();
  const QPointF at(30, 8);
  QMouseEvent rpress(QEvent::MouseButtonPress, at, vp->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                     Qt::NoModifier);
  QMouseEvent rrelease(QEvent::MouseButtonRelease, at, vp->mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                       Qt::NoModifier);
  QApplication::sendEvent(vp, &rpress);
  QApplication::sendEvent(vp, &rrelease);
  EXPECT_EQ(TncReads(), "\x1b%B300\r\x1b%BR300\r");
  QMouseEvent lpress(QEvent::MouseButtonPress, at, vp->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(vp, &lpress);
  Pump(50);
  EXPECT_EQ(fake.infos, 2);  // the first line, clicked: the INFO panel again
  fake.kind = 1;             // with the PK-232 nothing
  raw.ListPressed(2, 40, 60);
  raw.ListReleased(2);
  EXPECT_EQ(TncReads(100), "");

  // CLEAR MONI ALL: the log and the list emptied, one empty line left, the map drawn.
  raw.ClearMoniAll();
  EXPECT_EQ(st.stations.MoniAllCount(), 0);
  EXPECT_EQ(st.info.Index(), 0);
  EXPECT_EQ(list1->ListCount(), 1);
  EXPECT_EQ(list1->List(0), "");
  EXPECT_EQ(fake.draws, 1);
  EXPECT_TRUE(fake.running);
  check3->SetValue(0);
  EXPECT_TRUE(list1->isHidden());
}

}  // namespace
}  // namespace zeblon::panels
