// The serial TNCs' live reading on a real serial line: a scripted PK-232, SCS TNC
// and SCS PTC on a socat pseudo-terminal pair take their command sets, then print
// monitor text as those TNCs do; the receive pass reads it through the reader,
// decodes and stores it, and gates it through the APRS-IS link. Then the line is
// pulled (socat ends): said once, nothing already received is lost, the program
// goes on. The same TNCs gone mad (random bytes, a line without end, the line
// pulled in the middle of a line) never stall the pass nor grow its memory,
// and the next good line is stored.
#include "links/serial_tnc_reader.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QElapsedTimer>

#include <QProcess>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "../reception/fakes.h"
#include "aprs_is_server.h"
#include "links/aprs_is_link.h"
#include "links/tnc_commands.h"
#include "platform/process.h"
#include "platform/serial_port.h"
#include "reception/station_record.h"
#include "scripted_tnc.h"

namespace zeblon::links {
namespace {

namespace fs = std::filesystem;
using reception::InterfaceKind;

// One monitored frame in the three TNCs' print forms.
struct Heard {
  std::string src, dest, digis;  // digis: "D1* D2" as the SCS TNC prints them
  std::string payload;
};

std::string Print(int kind, const Heard& h) {
  if (kind == 1) {
    // The PK-232 chains source, digipeaters and destination with ">".
    std::string digis = h.digis;
    std::replace(digis.begin(), digis.end(), ' ', '>');
    return h.src + ">" + (digis.empty() ? "" : digis + ">") + h.dest + " <UI>:\r\n" + h.payload + "\r\n";
  }
  const std::string header =
      "fm " + h.src + " to " + h.dest + (h.digis.empty() ? "" : " via " + h.digis) + " ctl UI^ pid F0\r\n";
  return (kind == 6 ? "1:" : "") + header + h.payload + "\r\n";
}

class SerialTncTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
    line_ = std::make_unique<test::ComSevenLine>("zeblon_serial");
    ASSERT_TRUE(line_->Ready());
  }
  void TearDown() override { line_.reset(); }
  // The stores of the pass for the kind, with the logs on, in a folder of their own.
  void KeepStoreFor(InterfaceKind kind) {
    st.settings.interfaceKind = kind;
    st.settings.dataFolder = folder.path();
    st.settings.logsOn = true;
    st.settings.userCall = "QW7TK";
    st.settings.txCall = "QW7TK";
  }
  std::unique_ptr<test::ComSevenLine> line_;
  reception::testing::TempDataFolder folder;
  reception::ReceptionState st;
  reception::testing::FakeHost host;
  reception::ChatLines chat;
};

TEST_P(SerialTncTest, MonitorTextIsStoredAndGatedAndAPulledLineLosesNothing) {
  const int kind = GetParam();
  const InterfaceKind interfaceKind = static_cast<InterfaceKind>(kind);
  test::ScriptedTnc tnc(line_->TncDevice(), test::ScriptedTnc::Mode::Prompt);
  ASSERT_TRUE(tnc.ok());

  // START: the kind's command set, its waits fifty times shorter.
  platform::SerialPort port;
  TncRunOptions o;
  o.portNumber = 7;
  o.wait = [](float seconds, bool) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds / 50.0)); };
  const TncCommandSet set = TncInitSet(test::TncSettingsOnCom7(kind));
  const TncRunResult r = RunTncCommandSet(set, port, o);
  ASSERT_TRUE(r.portOpened) << r.error;
  ASSERT_TRUE(r.answered);
  ASSERT_TRUE(test::PumpUntil([&] { return tnc.Received() == SentBytes(set); }, 3000));

  // The main window opens the TNC port for the monitor.
  ASSERT_TRUE(port.Open(7, kind == 1 ? "9600,N,8,1" : "38400,N,8,1"));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  port.ReadAll();  // the prompts that answered the last commands
  std::vector<std::string> notices;
  SerialTncReader reader(port, TncKindName(kind), 7, [&](const std::string& n) { notices.push_back(n); });

  // The APRS-IS link, logged in at a local server.
  test::AprsIsLineServer server(test::AprsIsLineServer::Answer::Verified);
  AprsIsLink link;
  ASSERT_TRUE(test::LogIn(link, test::SettingsFor(server, interfaceKind, "QW7TK")));

  KeepStoreFor(interfaceKind);
  reception::ReceivePass pass(st, host, chat);
  const std::unique_ptr<reception::MonitorSource> source =
      reader.SourceFor(interfaceKind, link.GateHookFor(interfaceKind, "QW7TK"));
  ASSERT_TRUE(source);

  const std::vector<Heard> heard = {
      {"AB1CD-9", "APRS", "WIDE1-1* WIDE2-1", "!5230.00N/01320.00E>mobile"},
      {"XY9Z", "APZ", "", "=5231.50N/01322.75E-home"},
      {"QW7WX", "APRS", "WIDE2-2", "@011234z5232.00N/01321.00E_090/005g010t050r000p000P000h50b10132"},
      {"QW7OB", "APRS", "", ";SHELTER  *011234z5233.00N/01323.00E;shelter"},
      {"SM4XYZ-7", "T2SQ5P", "WIDE1-1*", "`(_fn\"Oj/]mic-e"},
  };
  // One tick: the pass, then the time between ticks.
  auto tick = [&] {
    pass.Run(*source);
    test::PumpEvents(20);
  };
  auto storedCalls = [&] {
    std::vector<std::string> calls;
    for (int i = 1; i <= st.stations.MoniAllCount(); ++i)
      calls.push_back(reception::TrimmedColumns(st.stations.MoniAll()[i], 33, 41));
    return calls;
  };
  if (kind == 1) tnc.Say("K\r\n");  // the converse command's echo
  for (std::size_t i = 0; i < 3; ++i) {
    tnc.Say(Print(kind, heard[i]));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    tick();
  }
  for (int i = 0; i < 20 && st.stations.MoniAllCount() < 3; ++i) tick();
  EXPECT_EQ(storedCalls(), (std::vector<std::string>{"AB1CD-9", "XY9Z", "QW7WX"}));
  // The position as the decoder gives it for the same frame.
  reception::ReceptionState ref;
  ref.settings = st.settings;
  ref.settings.logsOn = false;
  reception::ReceivePass refPass(ref, host, chat);
  refPass.ProcessFrame("AB1CD-9*>WIDE1-1>WIDE2-1>APRS <UI>:\r\n!5230.00N/01320.00E>mobile\r");
  ASSERT_EQ(ref.stations.MoniAllCount(), 1);
  ASSERT_GE(st.stations.MoniAllCount(), 1);
  EXPECT_EQ(st.stations.MoniAll()[1].substr(12, 19), ref.stations.MoniAll()[1].substr(12, 19));
  EXPECT_NE(folder.read("_LOGRAW_.TXT").find(heard[1].payload), std::string::npos);

  // The last two frames, then the line is pulled before the next tick.
  tnc.Say(Print(kind, heard[3]) + Print(kind, heard[4]));
  ASSERT_TRUE(port.WaitForInput(2000));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(port.WaitForInput(100));
  line_->Pull();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  for (int i = 0; i < 10; ++i) tick();
  EXPECT_TRUE(reader.Lost());
  EXPECT_FALSE(port.IsOpen());
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], "LINE TO THE " + TncKindName(kind) + " ON COM7 LOST");

  // Every frame that came before the line went is in the monitor list and the raw log;
  // the decoded ones are stored.
  const std::string raw = folder.read("_LOGRAW_.TXT");
  for (const Heard& h : heard) EXPECT_NE(raw.find(h.payload), std::string::npos) << h.src;
  const std::vector<std::string> calls = storedCalls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "AB1CD-9"), calls.end());
  if (kind != 1) {
    // The PK-232's pass leaves at an empty read before it cuts what waits in the
    // receive buffer; the SCS passes go on with it.
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SHELTER"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SM4XYZ-7"), calls.end());
  }

  // Gated: each heard frame once, with qAR and the gate call.
  ASSERT_TRUE(test::PumpUntil([&] { return server.Lines().size() >= 6; }, 3000)) << server.Received();
  const std::vector<std::string> lines = server.Lines();
  // The SCS TNCs keep the "*" of the repeating digipeater; the PK-232's is removed.
  EXPECT_EQ(lines[1], kind == 1 ? "AB1CD-9>APRS,WIDE1-1,WIDE2-1,qAR,QW7TK:!5230.00N/01320.00E>mobile"
                                : "AB1CD-9>APRS,WIDE1-1*,WIDE2-1,qAR,QW7TK:!5230.00N/01320.00E>mobile");
  EXPECT_EQ(lines[2], "XY9Z>APZ,qAR,QW7TK:=5231.50N/01322.75E-home");
  EXPECT_EQ(lines.size(), 6u);

  // The program goes on: a later tick reads nothing and stores nothing new.
  const int count = st.stations.MoniAllCount();
  tick();
  EXPECT_EQ(st.stations.MoniAllCount(), count);
  EXPECT_EQ(notices.size(), 1u);
}

// The TNC's end of the line, written from a thread of its own so that a long
// text can wait for the program to read it.
class TncWriter {
 public:
  explicit TncWriter(const std::string& device) : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY)) {}
  ~TncWriter() {
    Wait();
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }
  void Send(std::string bytes) {
    Wait();
    done_ = false;
    thread_ = std::thread([this, b = std::move(bytes)] {
      for (std::size_t at = 0; at < b.size();) {
        const ssize_t n = ::write(fd_, b.data() + at, b.size() - at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the line went away
        at += static_cast<std::size_t>(n);
      }
      done_ = true;
    });
  }
  bool Done() const { return done_; }
  void Wait() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  int fd_;
  std::thread thread_;
  std::atomic<bool> done_{true};
};

TEST_P(SerialTncTest, HostileTextNeverStallsNorGrowsAndTheNextGoodLineIsStored) {
  const int kind = GetParam();
  const InterfaceKind interfaceKind = static_cast<InterfaceKind>(kind);
  const std::string lineSettings = kind == 1 ? "9600,N,8,1" : "38400,N,8,1";
  auto writer = std::make_unique<TncWriter>(line_->TncDevice());
  ASSERT_TRUE(writer->ok());
  platform::SerialPort port;
  ASSERT_TRUE(port.Open(7, lineSettings));
  SerialTncReader reader(port, TncKindName(kind), 7, {});

  KeepStoreFor(interfaceKind);
  reception::ReceivePass pass(st, host, chat);
  const std::unique_ptr<reception::MonitorSource> source = reader.SourceFor(interfaceKind, {});

  // What a tick costs and what the pass holds at most.
  qint64 longestPass = 0;
  std::size_t longestBuffer = 0, longestListLine = 0;
  auto tick = [&] {
    QElapsedTimer t;
    t.start();
    pass.Run(*source);
    longestPass = std::max(longestPass, t.elapsed());
    longestBuffer = std::max(longestBuffer, st.receiveBuffer.size());
    for (int i = 0; i <= st.monitorLines.count; ++i)
      longestListLine = std::max(longestListLine, st.monitorLines.lines[i].size());
    test::PumpEvents(20);
  };
  auto stored = [&](const std::string& call) {
    for (int i = 1; i <= st.stations.MoniAllCount(); ++i)
      if (reception::TrimmedColumns(st.stations.MoniAll()[i], 33, 41) == call) return true;
    return false;
  };
  int good = 0;
  // A good frame on the line after the hostile text (`ahead`: sent with it,
  // right behind it): stored within a few ticks.
  auto goodFrameIsStored = [&](TncWriter& w, const std::string& ahead = "\r\n") {
    const std::string call = "GOOD" + std::to_string(++good);
    w.Send(ahead + Print(kind, {call, "APRS", "", "!5230.00N/01320.00E>good"}));
    for (int i = 0; i < 3000 && !w.Done(); ++i) tick();
    for (int i = 0; i < 30 && !stored(call); ++i) tick();
    return stored(call);
  };

  std::mt19937 random(25);
  std::string noise(16 * 1024, ' ');
  for (char& c : noise) c = static_cast<char>(random());
  std::string noLineEnds(1 << 20, ' ');
  for (char& c : noLineEnds) c = static_cast<char>(' ' + random() % 95);
  struct Case {
    const char* what;
    std::string hostile;
  };
  const Case cases[] = {
      {"random bytes", noise},
      {"a megabyte line without CR", std::string(1 << 20, 'A')},
      {"a megabyte of printable text without line ends", noLineEnds},
      {"a header line without end", "AB1CD>APRS <UI>:" + std::string(200000, 'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writer->Send(c.hostile);
    for (int i = 0; i < 3000 && !writer->Done(); ++i) tick();
    ASSERT_TRUE(writer->Done());
    tick();
    EXPECT_TRUE(goodFrameIsStored(*writer));
  }
  // A junk run without a line end with the frame right behind it: the frame's
  // header line ends the run, and the frame is stored all the same.
  std::string text(200000, ' ');
  for (char& c : text) c = " abcdefghijklmnopqrstuvwxyz.,;:!?"[random() % 33];
  const Case runs[] = {
      {"200 kB of text without a line end", text},
      {"200 kB of NULs", std::string(200000, '\0')},
  };
  for (const Case& c : runs) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(goodFrameIsStored(*writer, c.hostile));
  }
  EXPECT_LT(longestPass, 3000);
  EXPECT_LE(longestBuffer, reception::kReceiveBufferCap + 2 * kLongestTncLine);
  EXPECT_LE(longestListLine, kLongestTncLine + 2);

  // The line pulled in the middle of a frame's payload line, then opened again:
  // the torn frame never swallows the next good one.
  const std::string torn = Print(kind, {"TORN", "APRS", "", "!5231.00N/01321.00E>torn"});
  writer->Send(torn.substr(0, torn.size() - 12));
  writer->Wait();
  ASSERT_TRUE(port.WaitForInput(2000));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  line_->Pull();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  for (int i = 0; i < 3; ++i) tick();
  EXPECT_TRUE(reader.Lost());
  writer.reset();
  line_.reset();
  line_ = std::make_unique<test::ComSevenLine>("zeblon_serial");
  ASSERT_TRUE(line_->Ready());
  writer = std::make_unique<TncWriter>(line_->TncDevice());
  ASSERT_TRUE(port.Open(7, lineSettings));
  EXPECT_TRUE(goodFrameIsStored(*writer));
  EXPECT_FALSE(stored("TORN"));
}

TEST(SerialTncReader, FrameHeadersAtTheEndOfALineAreFound) {
  struct Case {
    const char* line;
    std::size_t start;
  };
  const Case cases[] = {
      {"xyz AB1CD-9*>WIDE1-1>APRS <UI>:", 4},
      {"junk\x01"
       "AB1CD>APRS [UI]:",
       5},
      {"cmd:AB1CD>APRS (UI):", 4},
      // The source call's beginning cannot be told from junk of the same characters.
      {"QRMAB1CD>APRS <UI>:", std::string_view::npos},
      {"AB1CD>APRS <UI>:", std::string_view::npos},
      {"xx >APRS <UI>:", std::string_view::npos},
      {"xx AB1CD <UI>:", std::string_view::npos},
      {"xx AB1CD>APRS <UI>: text", std::string_view::npos},
      {"zzzzfm AB1CD to APRS via WIDE1-1* ctl UI^ pid F0", 4},
      {"zz1:fm AB1CD to APRS ctl UI^ pid F0", 2},
      {"fm AB1CD to APRS ctl UI^ pid F0", 0},
      {"zzzz AB1CD to APRS ctl UI^ pid F0", std::string_view::npos},
      {"", std::string_view::npos},
  };
  for (const Case& c : cases) EXPECT_EQ(FrameHeaderStart(c.line), c.start) << c.line;
}

TEST(SerialTncReader, LinesAreHeldShortOverReads) {
  const std::string longest(kLongestTncLine, 'x');
  struct Case {
    const char* what;
    std::vector<std::string> reads;
    std::string handed;  // all reads together
  };
  const Case cases[] = {
      {"short lines pass", {"ab\r\ncd", "ef\r\n"}, "ab\r\ncdef\r\n"},
      {"a line of the longest length passes",
       {longest.substr(0, 1000), longest.substr(1000) + "\r\nnext\r\n"},
       longest + "\r\nnext\r\n"},
      {"an overlong line is ended and its rest dropped up to its end",
       {longest, "yyy", std::string(5000, 'z'), "zz\r\nnext\r\n"},
       longest + "\r\nnext\r\n"},
      {"cut within one read", {"ab\r\n" + longest + "tail\r\nnext\r\n"}, "ab\r\n" + longest + "\r\nnext\r\n"},
      {"a header the junk ran into stays, over reads",
       {longest, std::string(5000, 'z') + std::string("\0AB1", 4), "CD>APRS <UI>:\r", "\n!5230.00N/01320.00E>\r\n"},
       longest + "\r\nAB1CD>APRS <UI>:\r\n!5230.00N/01320.00E>\r\n"},
      {"a header the junk ran into stays, within one read",
       {longest + "zz fm AB1CD to APRS ctl UI^ pid F0\r\n!x\r\n"},
       longest + "\r\nfm AB1CD to APRS ctl UI^ pid F0\r\n!x\r\n"},
      {"a header cut through its call is no header",
       {longest.substr(4) + "AB1CD>APRS <UI>:\r\n!x\r\n"},
       longest.substr(4) + "AB1C\r\n!x\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TncLineState state;
    std::string handed;
    for (const std::string& r : c.reads) handed += HoldLinesShort(r, state);
    EXPECT_EQ(handed, c.handed);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SerialTncTest, ::testing::Values(1, 5, 6), [](const ::testing::TestParamInfo<int>& p) {
  return p.param == 1 ? "Pk232" : p.param == 5 ? "ScsTnc" : "ScsPtc";
});

}  // namespace
}  // namespace zeblon::links
