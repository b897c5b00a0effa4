// The serial TNC command sets: their bytes and waits, and their run on a real
// serial line (a socat pseudo-terminal pair) against a scripted TNC.
#include "links/tnc_commands.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <QProcess>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

#include "platform/process.h"
#include "platform/serial_port.h"
#include "platform/wait.h"
#include "scripted_tnc.h"

namespace zeblon::links {
namespace {

using test::ScriptedTnc;

namespace fs = std::filesystem;

TncSettings Base(int kind) { return test::TncSettingsOnCom7(kind); }

// The bytes of every Send step, one entry each.
std::vector<std::string> Sends(const TncCommandSet& set) {
  std::vector<std::string> out;
  for (const TncStep& st : set) {
    if (st.action == TncAction::Send) out.push_back(st.bytes);
  }
  return out;
}

bool Has(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

const std::string ESC = "\x1b";

TEST(TncCommandText, Pieces) {
  EXPECT_EQ(CallWithSsid("MYCALL QW7TK", "7"), "MYCALL QW7TK-7");
  EXPECT_EQ(CallWithSsid("MYCALL QW7TK", ""), "MYCALL QW7TK");
  // Only an SSID of 1 ... 15 is added, the same for the TNC as for the echo header.
  EXPECT_EQ(CallWithSsid("MYCALL QW7TK", "0"), "MYCALL QW7TK");
  EXPECT_EQ(CallWithSsid("MYCALL QW7TK", "16"), "MYCALL QW7TK");
  EXPECT_EQ(CallWithSsid("MYCALL QW7TK", "7.5"), "MYCALL QW7TK");
  EXPECT_EQ(CallWithSsid("MYCALL QW7TK", " 07 "), "MYCALL QW7TK-07");
  EXPECT_EQ(CallWithSsid("MYCALL QW7TK-2", "7"), "MYCALL QW7TK-2");
  EXPECT_EQ(SignedNumber(300), " 300");
  EXPECT_EQ(SignedNumber(0), " 0");
  EXPECT_EQ(SignedNumber(-5), "-5");
  EXPECT_EQ(ScsTncCrossModeCommand("300R", "300"), "%AGH");
  EXPECT_EQ(ScsTncCrossModeCommand("300", "R300"), "%AGH");
  EXPECT_EQ(ScsTncCrossModeCommand("300R", "R300"), "%AG R300");
  EXPECT_EQ(ScsTncCrossModeCommand("1200", "NONE"), "%AG NONE");
}

// One row: settings changed from the base, a command that must go out, one that must not.
struct SetCase {
  const char* name;
  int kind;
  std::function<void(TncSettings&)> change;
  std::string present;
  std::string absent;
};

TEST(TncCommandSets, CommandsFollowTheSettings) {
  const std::vector<SetCase> cases = {
      {"pk rpr", 1, [](TncSettings& s) { s.radioMode = "300R"; }, "HB 300\r", "VHF ON\r"},
      {"pk rpr vhf off", 1, [](TncSettings& s) { s.radioMode = "300R"; }, "VHF OFF\r", ""},
      {"pk 1200", 1, [](TncSettings&) {}, "HB 1200\r", "VHF OFF\r"},
      {"pk 1200 vhf on", 1, [](TncSettings&) {}, "VHF ON\r", ""},
      {"pk ssid", 1, [](TncSettings& s) { s.txSsid = "7"; }, "MYCALL QW7TK-7\r", ""},
      {"pk no ssid", 1, [](TncSettings&) {}, "MYCALL QW7TK\r", ""},
      {"pk path", 1, [](TncSettings&) {}, "UNPROTO ZEBL VIA WIDE1-1,WIDE2-1\r", ""},
      {"pk no path", 1, [](TncSettings& s) { s.path = ""; }, "UNPROTO ZEBL\r", "UNPROTO ZEBL VIA \r"},
      {"pk digi", 1, [](TncSettings& s) { s.digiOn = 1; }, "MYALIAS WIDE1-1\r", "DIGIPEAT OFF\r"},
      {"pk no digi", 1, [](TncSettings&) {}, "DFROM NONE\r", "DIGIPEAT ON\r"},
      {"pk tb", 1, [](TncSettings&) {}, "TB 9600\r", ""},
      {"tnc rpr", 5, [](TncSettings& s) { s.radioMode = "300R"; }, ESC + "%BR300\r", ""},
      {"tnc ssid i", 5, [](TncSettings& s) { s.txSsid = "7"; }, ESC + "IQW7TK-7\r", ""},
      {"tnc ssid am", 5, [](TncSettings& s) { s.txSsid = "7"; }, ESC + "%AMQW7TK-7\r", ""},
      {"tnc path", 5, [](TncSettings&) {}, ESC + "CZEBL WIDE1-1,WIDE2-1\r", ""},
      {"tnc no path", 5, [](TncSettings& s) { s.path = ""; }, ESC + "CZEBL \r", ""},
      {"tnc none", 5, [](TncSettings&) {}, ESC + "%AG NONE\r", ESC + "%AGH\r"},
      {"tnc hf pair", 5,
       [](TncSettings& s) {
         s.radioMode = "300";
         s.crossMode = "R300";
       },
       ESC + "%AGH\r", ESC + "%AG R300\r"},
      {"tnc level", 5, [](TncSettings&) {}, ESC + "%X 300\r", ""},
      {"tnc afc on", 5, [](TncSettings& s) { s.txAfc = 1; }, ESC + "%T 1\r", ESC + "%T 0\r"},
      {"tnc afc off", 5, [](TncSettings&) {}, ESC + "%T 0\r", ""},
      {"tnc dual", 5, [](TncSettings& s) { s.hfDual = true; }, ESC + "%AU1\r", ESC + "%AU0\r"},
      {"tnc dual keeps digi", 5, [](TncSettings& s) { s.hfDual = true; }, ESC + "R0\r", ESC + "R1\r"},
      {"tnc digi", 5, [](TncSettings& s) { s.digiOn = 1; }, ESC + "%AD3\r", ESC + "%AD0\r"},
      {"ptc rpr", 6, [](TncSettings& s) { s.radioMode = "300R"; }, ESC + "B R300\r\n", ""},
      {"ptc path", 6, [](TncSettings&) {}, ESC + "UNPROTO ZEBL WIDE1-1 WIDE2-1\r\n", ""},
      {"ptc no path", 6, [](TncSettings& s) { s.path = ""; }, ESC + "UNPROTO ZEBL \r\n", ""},
      {"ptc level a", 6, [](TncSettings&) {}, ESC + "TXL A 300\r\n", ""},
      {"ptc level f", 6, [](TncSettings&) {}, ESC + "TXL F 300\r\n", ""},
      {"ptc channel", 6, [](TncSettings&) {}, ESC + "SETCHN  2\r\n", ""},
      {"ptc plain call", 6,
       [](TncSettings& s) {
         s.userCall = " QW7TK ";
         s.txSsid = "3";
       },
       "MYCALL QW7TK-3\r\n", ""},
      {"ptc esc call", 6, [](TncSettings& s) { s.txSsid = "3"; }, ESC + "MYCALL QW7TK-3\r\n", ""},
      {"ptc digi", 6, [](TncSettings& s) { s.digiOn = 1; }, ESC + "DIGI ON\r\n", ESC + "DIGI OFF\r\n"},
  };
  for (const SetCase& c : cases) {
    TncSettings s = Base(c.kind);
    c.change(s);
    const auto sends = Sends(TncInitSet(s));
    EXPECT_TRUE(Has(sends, c.present)) << c.name;
    if (!c.absent.empty()) {
      EXPECT_FALSE(Has(sends, c.absent)) << c.name;
    }
  }
}

// A set as readable lines: "open 9600 /1", "send <ESC>%R<CR> /0.5", "drain", ...
// Control bytes are shown as <CR>, <LF>, <ESC> or their hex value.
std::vector<std::string> Steps(const TncCommandSet& set) {
  std::vector<std::string> out;
  for (const TncStep& st : set) {
    std::string line;
    switch (st.action) {
      case TncAction::Open: line = "open " + st.bytes; break;
      case TncAction::Send: {
        line = "send ";
        for (unsigned char c : st.bytes) {
          if (c == '\r')
            line += "<CR>";
          else if (c == '\n')
            line += "<LF>";
          else if (c == 0x1b)
            line += "<ESC>";
          else if (c < 0x20 || c >= 0x7f) {
            const char* hex = "0123456789ABCDEF";
            line += std::string("<") + hex[c >> 4] + hex[c & 15] + ">";
          } else {
            line += static_cast<char>(c);
          }
        }
        break;
      }
      case TncAction::Drain: line = "drain"; break;
      case TncAction::DiscardInput: line = "discard"; break;
      case TncAction::AwaitPromptGone: line = "until no cmd:"; break;
      case TncAction::Close: line = "close"; break;
      case TncAction::Wait: line = "wait"; break;
    }
    if (st.wait > 0) {
      char buf[32];
      const auto r = std::to_chars(buf, buf + sizeof buf, st.wait);
      line += " /" + std::string(buf, r.ptr);
    }
    if (st.withEvents) line += " with events";
    out.push_back(line);
  }
  return out;
}

// The whole sets, step by step, as the three TNCs are to receive them.
TEST(TncCommandSets, WholeSetsAsWritten) {
  TncSettings tnc = Base(5);
  tnc.txSsid = "7";
  tnc.digiOn = 1;
  tnc.radioMode = "300";
  tnc.crossMode = "R300";
  tnc.hfDual = true;
  tnc.txAfc = 1;
  tnc.txLevel = 250;
  EXPECT_EQ(Steps(TncInitSet(tnc)), (std::vector<std::string>{
                                        "open 38400 /1",
                                        "send <ESC>%R<CR> /0.5",
                                        "send <ESC>E0<CR> /0.1",
                                        "send <ESC>Z1<CR> /0.1",
                                        "send <ESC>A1<CR> /0.1",
                                        "send <ESC>S0<CR> /0.1",
                                        "send <ESC>Y0<CR> /0.1",
                                        "send <ESC>CZEBL WIDE1-1,WIDE2-1<CR> /0.1",
                                        "send <ESC>IQW7TK-7<CR> /0.1",
                                        "send <ESC>%AMQW7TK-7<CR> /0.1",
                                        "send <ESC>K0<CR> /0.1",
                                        "send <ESC>MU<CR> /0.1",
                                        "send <ESC>P255<CR> /0.1",
                                        "send <ESC>T25<CR> /0.1",
                                        "send <ESC>U0<CR> /0.1",
                                        "send <ESC>W0<CR> /0.1",
                                        "send <ESC>X1<CR> /0.1",
                                        "send <ESC>%A0<CR> /0.1",
                                        "send <ESC>%B300<CR> /0.1",
                                        "send <ESC>%X 250<CR> /0.1",
                                        "send <ESC>%F 2000<CR> /0.1",
                                        "send <ESC>%T 1<CR> /0.1",
                                        "send <ESC>%AGH<CR> /0.1",
                                        "send <ESC>R1<CR> /0.1",
                                        "send <ESC>%AD3<CR> /0.1",
                                        "send <ESC>%AU1<CR> /0.1",
                                        "wait /1",
                                        "drain",
                                        "discard",
                                        "close",
                                    }));

  TncSettings ptc = Base(6);
  ptc.userCall = " QW7TK ";
  ptc.txSsid = "3";
  ptc.radioMode = "9600";
  ptc.txLevel = 120;
  EXPECT_EQ(Steps(TncInitSet(ptc)), (std::vector<std::string>{
                                        "wait /5",
                                        "open 38400 /1",
                                        "send <CR><LF> /3",
                                        "send TERM 0<CR><LF> /0.3",
                                        "send MYCALL QW7TK-3<CR><LF> /0.3",
                                        "send PAC<CR><LF> /0.3",
                                        "send <ESC>MYCALL QW7TK-3<CR><LF> /0.3",
                                        "send <ESC>APRS 0<CR><LF> /0.3",
                                        "send <ESC>PORT 1<CR><LF> /0.3",
                                        "send <ESC>PRBOX 0<CR><LF> /0.3",
                                        "send <ESC>USERS 0<CR><LF> /0.3",
                                        "send <ESC>SETCHN  2<CR><LF> /0.3",
                                        "send <ESC>MYCALL WIDE1-1<CR><LF> /0.3",
                                        "send <ESC>SETCHN  3<CR><LF> /0.3",
                                        "send <ESC>MYCALL RELAY<CR><LF> /0.3",
                                        "send <ESC>SETCHN  4<CR><LF> /0.3",
                                        "send <ESC>MYCALL ECHO<CR><LF> /0.3",
                                        "send <ESC>SETCHN 1<CR><LF> /0.3",
                                        "send <ESC>UNPROTO ZEBL WIDE1-1 WIDE2-1<CR><LF> /0.3",
                                        "send <ESC>MONITOR 1<CR><LF> /0.3",
                                        "send <ESC>B 9600<CR><LF> /0.3",
                                        "send <ESC>TXL A 120<CR><LF> /0.3",
                                        "send <ESC>TXL F 120<CR><LF> /0.3",
                                        "send <ESC>TXDELAY 1:300<CR><LF> /0.3",
                                        "send <ESC>DIGI OFF<CR><LF> /0.3",
                                        "send <ESC>MFI 128<CR><LF> /0.3",
                                        "wait /0.5",
                                        "drain",
                                        "discard",
                                        "close",
                                    }));

  TncSettings pk = Base(1);
  pk.radioMode = "300R";
  pk.path = "";
  std::vector<std::string> want = {"wait /5", "open 9600 /1"};
  for (int i = 0; i < 10; ++i) want.push_back("send * /0.5");
  want.insert(want.end(), {"wait /1", "drain", "close"});
  for (const char* speed : {"9600", "4800", "2400", "1200"}) {
    want.insert(want.end(), {std::string("open ") + speed, "send <C0><FF><C0> /0.2", "send <CR> /0.2",
                             "send KISS OFF /0.2", "send <CR> /0.2", "send <01>OHON<17> /0.2", "send <CR> /0.2",
                             "send TB 9600<CR> /0.2", "send RESTART<CR> /1", "drain", "close"});
  }
  want.insert(want.end(), {"open 9600 /1", "send PA<CR> /0.2", "send <CR> /1", "drain", "close", "open 9600"});
  for (const char* command : {"ECHO OFF", "ACRDISP 0", "ALFDISP ON", "CONOK OFF", "PASSALL OFF", "PA", "HB 300",
                              "VHF OFF", "8B ON", "AW 8", "MFILTER $0", "MONITOR 5", "MFROM ALL", "MYCALL QW7TK",
                              "UNPROTO ZEBL", "DIGIPEAT OFF", "DFROM NONE", "MYALIAS NONE"}) {
    want.push_back(std::string("send ") + command + "<CR> /0.2");
  }
  want.insert(want.end(), {"send <CR> /1", "drain", "discard", "until no cmd: /1", "close"});
  EXPECT_EQ(Steps(TncInitSet(pk)), want);
}

TEST(TncCommandSets, OrderWaitsAndPortOpenings) {
  // The PK-232: seven openings, the four KISS speeds, about 29 s of waits.
  const TncCommandSet pk = Pk232InitSet(Base(1));
  std::vector<std::string> speeds;
  for (const TncStep& st : pk) {
    if (st.action == TncAction::Open) speeds.push_back(st.bytes);
  }
  EXPECT_EQ(speeds, (std::vector<std::string>{"9600", "9600", "4800", "2400", "1200", "9600", "9600"}));
  EXPECT_NEAR(TotalWaitSeconds(pk), 29.4, 1e-4);
  const std::string bytes = SentBytes(pk);
  EXPECT_EQ(bytes.substr(0, 10), "**********");
  EXPECT_NE(bytes.find(std::string("\xC0\xFF\xC0\rKISS OFF\r\x01OHON\x17\rTB 9600\rRESTART\r", 33)), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 14), "MYALIAS NONE\r\r");

  // The SCS TNC: "%R" first with half a second after it, about 5 s in all.
  const TncCommandSet tnc = ScsTncInitSet(Base(5));
  const auto tnc_sends = Sends(tnc);
  ASSERT_EQ(tnc_sends.size(), 25u);
  EXPECT_EQ(tnc_sends[0], ESC + "%R\r");
  EXPECT_FLOAT_EQ(tnc[1].wait, 0.5f);
  EXPECT_EQ(tnc_sends[24], ESC + "%AU0\r");
  EXPECT_NEAR(TotalWaitSeconds(tnc), 4.9, 1e-4);

  // The SCS PTC: a blank line, three plain commands, twenty ESC commands, 16.4 s.
  const TncCommandSet ptc = ScsPtcInitSet(Base(6));
  const auto ptc_sends = Sends(ptc);
  ASSERT_EQ(ptc_sends.size(), 24u);
  EXPECT_EQ(ptc_sends[0], "\r\n");
  EXPECT_EQ(ptc_sends[1], "TERM 0\r\n");
  EXPECT_EQ(ptc_sends[3], "PAC\r\n");
  EXPECT_EQ(ptc_sends[23], ESC + "MFI 128\r\n");
  EXPECT_NEAR(TotalWaitSeconds(ptc), 16.4, 1e-4);

  // No serial TNC, no set.
  for (int kind : {0, 2, 3, 4}) EXPECT_TRUE(TncInitSet(Base(kind)).empty()) << kind;
}

// ---------------------------------------------------------------------------
// On a real serial line.

class TncLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
    line_ = std::make_unique<test::ComSevenLine>("zeblon_tnc");
    ASSERT_TRUE(line_->Ready());
  }
  void TearDown() override { line_.reset(); }

  // The waits run fifty times faster than on a real START.
  static TncRunOptions Options() {
    TncRunOptions o;
    o.portNumber = 7;
    o.wait = [](float seconds, bool) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds / 50.0)); };
    return o;
  }

  std::unique_ptr<test::ComSevenLine> line_;
};

TEST_F(TncLineTest, EachKindGoesOutByteForByte) {
  for (int kind : {1, 5, 6}) {
    TncSettings s = Base(kind);
    s.txSsid = "7";
    s.digiOn = kind == 5 ? 1 : 0;
    ScriptedTnc tnc(line_->TncDevice(), ScriptedTnc::Mode::Prompt);
    ASSERT_TRUE(tnc.ok());
    platform::SerialPort port;
    const TncCommandSet set = TncInitSet(s);
    const TncRunResult r = RunTncCommandSet(set, port, Options());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(r.portOpened) << kind << " " << r.error;
    EXPECT_TRUE(r.answered) << kind;
    EXPECT_FALSE(r.promptLoopCut) << kind;
    EXPECT_FALSE(port.IsOpen()) << kind;
    EXPECT_EQ(tnc.Received(), SentBytes(set)) << "kind " << kind;
    EXPECT_EQ(TncRunMessage(r, TncKindName(kind), 7), "") << kind;
  }
}

TEST_F(TncLineTest, APk232ThatKeepsPromptingIsCutOffWithAMessage) {
  ScriptedTnc tnc(line_->TncDevice(), ScriptedTnc::Mode::Chatter);
  platform::SerialPort port;
  TncRunOptions o = Options();
  o.maxPromptReads = 5;
  // Each wait lasts until the TNC has spoken again (a busy machine may hold its thread back).
  o.wait = [&tnc](float, bool) {
    const int before = tnc.Said();
    for (int i = 0; i < 200 && tnc.Said() < before + 2; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  };
  const TncRunResult r = RunTncCommandSet(Pk232InitSet(Base(1)), port, o);
  EXPECT_TRUE(r.promptLoopCut);
  EXPECT_NE(TncRunMessage(r, "PK-232", 7).find("DID NOT STOP SENDING ITS PROMPT"), std::string::npos);
}

TEST_F(TncLineTest, ATncThatNeverAnswersIsReported) {
  ScriptedTnc tnc(line_->TncDevice(), ScriptedTnc::Mode::Silent);
  platform::SerialPort port;
  const TncCommandSet set = ScsTncInitSet(Base(5));
  const TncRunResult r = RunTncCommandSet(set, port, Options());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(r.portOpened);
  EXPECT_FALSE(r.answered);
  EXPECT_EQ(tnc.Received(), SentBytes(set));  // everything went out all the same
  EXPECT_EQ(TncRunMessage(r, "SCS TNC", 7).rfind("NO ANSWER FROM THE SCS TNC ON COM7", 0), 0u);
}

TEST_F(TncLineTest, APortThatCannotBeOpenedEndsAtOnceWithAMessage) {
  platform::SerialPort port;
  TncRunOptions o = Options();
  o.portNumber = 250;  // no such device
  double waited = 0;
  o.wait = [&waited](float seconds, bool) { waited += seconds; };
  const TncRunResult r = RunTncCommandSet(Pk232InitSet(Base(1)), port, o);
  EXPECT_FALSE(r.portOpened);
  EXPECT_FALSE(r.error.empty());
  EXPECT_LE(waited, 5.0);  // the first wait only, not the set's 29 s
  EXPECT_EQ(TncRunMessage(r, "PK-232", 250).rfind("CANNOT OPEN COM250 FOR THE PK-232", 0), 0u);
}

}  // namespace
}  // namespace zeblon::links
