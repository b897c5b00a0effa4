// The IGate formatters of the four monitor formats and the duplicate list.
#include "reception/igate.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace zeblon::reception {
namespace {

using Lines = std::vector<std::string>;

const std::string AGW_HDR_TAIL = " <UI pid=F0 Len=20 PF=0 >[12:34:56]\r";

std::string Agw(const std::string& addr, const std::string& payload) {
  return " 1:Fm " + addr + AGW_HDR_TAIL + payload + "\r\r";
}

struct Case {
  const char* name;
  InterfaceKind kind;
  std::string text;
  Lines want;
};

TEST(IGateFormatters, LinesPerFormat) {
  const std::string pos = "!5230.00N/01320.00E>";
  const std::vector<Case> cases = {
      {"agw with path",
       InterfaceKind::AgwLocal,
       Agw("AB1CD-9 To APRS Via WIDE1-1*,WIDE2-1", pos),
       {"AB1CD-9>APRS,WIDE1-1,WIDE2-1,qAR,EF2GH:" + pos + "\r\n"}},
      {"agw without path",
       InterfaceKind::AgwLocal,
       Agw("AB1CD-9 To APRS", pos),
       {"AB1CD-9>APRS,qAR,EF2GH:" + pos + "\r\n"}},
      {"agw only the first star goes",
       InterfaceKind::AgwLocal,
       Agw("AB1CD To APRS Via D1*,D2*", pos),
       {"AB1CD>APRS,D1,D2*,qAR,EF2GH:" + pos + "\r\n"}},
      {"agw two frames in one text",
       InterfaceKind::AgwLocal,
       Agw("AB1CD To APRS", pos) + Agw("XY9Z To APZ", ">hi there"),
       {"AB1CD>APRS,qAR,EF2GH:" + pos + "\r\n", "XY9Z>APZ,qAR,EF2GH:>hi there\r\n"}},
      {"agw tcp frame ends cr nul",
       InterfaceKind::AgwLocal,
       " 1:Fm AB1CD To APRS" + AGW_HDR_TAIL + pos + std::string("\r\0", 2) + Agw("XY9Z To APZ", ">hi there"),
       {"AB1CD>APRS,qAR,EF2GH:" + pos + "\r\n", "XY9Z>APZ,qAR,EF2GH:>hi there\r\n"}},
      {"agw connected frame not gated",
       InterfaceKind::AgwLocal,
       " 1:Fm AB1CD To XY9Z <I R0 S1 pid=F0 Len=5 >[12:34:56]\rhello world\r\r",
       {}},
      {"agw no markers", InterfaceKind::AgwLocal, "nothing at all of a monitor text\r\r\r", {}},
      {"agw header without end", InterfaceKind::AgwLocal, " 1:Fm AB1CD To APRS <UI pid=F0", {}},
      {"tnc2 with path",
       InterfaceKind::Pk232,
       "AB1CD>APRS,WIDE1-1*,WIDE2-1 <UI>:\r\n" + pos + "\r\n",
       {"AB1CD>APRS,WIDE1-1,WIDE2-1,qAR,EF2GH:" + pos + "\r\n"}},
      {"tnc2 digis joined by >",
       InterfaceKind::Pk232,
       "AB1CD>D1*>D2>APRS <UI>:\r\n" + pos + "\r\n",
       {"AB1CD>APRS,D1,D2,qAR,EF2GH:" + pos + "\r\n"}},
      {"tnc2 [UI]",
       InterfaceKind::Pk232,
       "AB1CD>APRS [UI]:\r\n" + pos + "\r\n",
       {"AB1CD>APRS,qAR,EF2GH:" + pos + "\r\n"}},
      {"tnc2 two frames",
       InterfaceKind::Pk232,
       "AB1CD>APRS <UI>:\r\n" + pos + "\r\nXY9Z>APZ,WIDE2-2 <UI>:\r\n>status text\r\n",
       {"AB1CD>APRS,qAR,EF2GH:" + pos + "\r\n", "XY9Z>APZ,WIDE2-2,qAR,EF2GH:>status text\r\n"}},
      {"tnc2 connected frame skipped",
       InterfaceKind::Pk232,
       "AB1CD>XY9Z <I R0 S1>:\r\nhello world\r\nXY9Z>APZ <UI>:\r\n>status text\r\n",
       {"XY9Z>APZ,qAR,EF2GH:>status text\r\n"}},
      {"tnc2 no blank", InterfaceKind::Pk232, "AB1CD>APRS:\r\n" + pos + "\r\n", {}},
      {"tnc2 no line end", InterfaceKind::Pk232, "AB1CD>APRS <UI>:" + pos, {}},
      {"scs tnc with path",
       InterfaceKind::ScsTnc,
       "fm AB1CD to APRS via WIDE1-1* WIDE2-1 ctl UI^ pid F0\r\n" + pos + "\r\n",
       {"AB1CD>APRS,WIDE1-1*,WIDE2-1,qAR,EF2GH:" + pos + "\r\n"}},
      {"scs tnc without path",
       InterfaceKind::ScsTnc,
       "\r\nfm AB1CD to APRS ctl UI^ pid F0\r\n" + pos + "\r\n",
       {"AB1CD>APRS,qAR,EF2GH:" + pos + "\r\n"}},
      {"scs tnc fm too far in", InterfaceKind::ScsTnc, "12345fm AB1CD to APRS ctl UI^ pid F0\r\n" + pos + "\r\n", {}},
      {"scs tnc two frames",
       InterfaceKind::ScsTnc,
       "fm AB1CD to APRS ctl UI^ pid F0\r\n" + pos + "\r\nfm XY9Z to APZ via D1* ctl UI v pid F0\r\n>st\r\n",
       {"AB1CD>APRS,qAR,EF2GH:" + pos + "\r\n", "XY9Z>APZ,D1*,qAR,EF2GH:>st\r\n"}},
      {"scs tnc supervisory frame skipped",
       InterfaceKind::ScsTnc,
       "fm AB1CD to XY9Z ctl RR1v\r\nfm XY9Z to APZ ctl UI^ pid F0\r\n>status text\r\n",
       {"XY9Z>APZ,qAR,EF2GH:>status text\r\n"}},
      {"scs ptc",
       InterfaceKind::ScsPtc,
       "1:fm AB1CD to APRS via WIDE1-1* WIDE2-1 ctl UI^ pid F0\r\n" + pos + "\r\n",
       {"AB1CD>APRS,WIDE1-1*,WIDE2-1,qAR,EF2GH:" + pos + "\r\n"}},
      {"scs ptc anywhere",
       InterfaceKind::ScsPtc,
       "cmd: some echo\r\n1:fm AB1CD to APRS ctl UI^ pid F0\r\n" + pos + "\r\n",
       {"AB1CD>APRS,qAR,EF2GH:" + pos + "\r\n"}},
      {"scs ptc without port", InterfaceKind::ScsPtc, "fm AB1CD to APRS ctl UI^ pid F0\r\n" + pos + "\r\n", {}},
      // Gating rules.
      {"own call goes as TCPIP",
       InterfaceKind::Pk232,
       "EF2GH-7>APRS <UI>:\r\n" + pos + "\r\n",
       {"EF2GH-7>APRS,qAR,TCPIP:" + pos + "\r\n"}},
      {"rfonly ends the text",
       InterfaceKind::Pk232,
       "AB1CD>APRS,RFONLY <UI>:\r\n" + pos + "\r\nXY9Z>APZ <UI>:\r\n>status text\r\n",
       {}},
      {"nogate", InterfaceKind::AgwLocal, Agw("AB1CD To APRS Via NOGATE", pos), {}},
      {"tcpip in path", InterfaceKind::ScsTnc, "fm AB1CD to APRS via TCPIP* ctl UI^ pid F0\r\n" + pos + "\r\n", {}},
      {"tcpxx in path", InterfaceKind::Pk232, "AB1CD>APRS,TCPXX* <UI>:\r\n" + pos + "\r\n", {}},
      {"third party ends after the first",
       InterfaceKind::Pk232,
       "AB1CD>APRS <UI>:\r\n" + pos + "\r\nXY9Z>APZ <UI>:\r\n}AB1CD>APRS,TCPIP:>x\r\n",
       {"AB1CD>APRS,qAR,EF2GH:" + pos + "\r\n"}},
      {"query", InterfaceKind::AgwLocal, Agw("AB1CD To APRS", "?APRS?"), {}},
      // A CR inside the payload would start a line of its own on the server.
      {"payload cut at a CR",
       InterfaceKind::Pk232,
       "AB1CD>APRS <UI>:\r\n>one\rXY>APRS,TCPIP*:>two\r\n",
       {"AB1CD>APRS,qAR,EF2GH:>one\r\n"}},
      // Kinds that do not gate.
      {"engine over tcp", InterfaceKind::AgwRemote, Agw("AB1CD To APRS", pos), {}},
      {"no radio", InterfaceKind::NoRadio, Agw("AB1CD To APRS", pos), {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GateFrames(c.kind, c.text, "  EF2GH "), c.want) << c.name;
  }
}

TEST(IGateFormatters, NoOwnCallNoLines) {
  EXPECT_TRUE(GateTnc2Frames("AB1CD>APRS <UI>:\r\n!5230.00N/01320.00E>\r\n", "  ").empty());
}

// Texts cut anywhere, and random bytes, never throw and never give a line that
// is not one whole line.
TEST(IGateFormatters, AnyTextIsSafe) {
  const std::string pos = "!5230.00N/01320.00E>";
  const std::vector<std::pair<InterfaceKind, std::string>> whole = {
      {InterfaceKind::AgwLocal, Agw("AB1CD-9 To APRS Via WIDE1-1*,WIDE2-1", pos) + Agw("XY9Z To APZ", ">hi")},
      {InterfaceKind::Pk232, "AB1CD>APRS,WIDE1-1* <UI>:\r\n" + pos + "\r\nXY9Z>APZ <UI>:\r\n>hi there\r\n"},
      {InterfaceKind::ScsTnc,
       "fm AB1CD to APRS via D1* ctl UI^ pid F0\r\n" + pos + "\r\nfm XY9Z to APZ ctl UI^ pid F0\r\n>hi\r\n"},
      {InterfaceKind::ScsPtc,
       "1:fm AB1CD to APRS via D1* ctl UI^ pid F0\r\n" + pos + "\r\n1:fm XY9Z to APZ ctl UI^ pid F0\r\n>hi\r\n"},
  };
  auto wholeLines = [](const Lines& lines) {
    for (const std::string& l : lines) {
      if (l.size() < 3 || l.substr(l.size() - 2) != "\r\n") return false;
      if (l.find_first_of("\r\n") != l.size() - 2) return false;
      if (l.find(",qAR,") == std::string::npos) return false;
    }
    return true;
  };
  for (const auto& [kind, text] : whole) {
    for (std::size_t a = 0; a < text.size(); ++a) {
      for (std::size_t b = a; b <= text.size(); b += 3) {
        const Lines lines = GateFrames(kind, text.substr(a, b - a), "EF2GH");
        ASSERT_TRUE(wholeLines(lines)) << static_cast<int>(kind) << " " << a << " " << b;
      }
    }
  }
  std::mt19937 rng(11);
  std::string alphabet = "fmtoviaFTVctlUIpidF0<>[]:*, \r\nAB1";
  alphabet += '\0';
  std::uniform_int_distribution<int> len(0, 200), pick(0, static_cast<int>(alphabet.size()) - 1);
  for (int n = 0; n < 20000; ++n) {
    std::string text;
    for (int i = len(rng); i > 0; --i) text += alphabet[pick(rng)];
    for (InterfaceKind kind :
         {InterfaceKind::AgwLocal, InterfaceKind::Pk232, InterfaceKind::ScsTnc, InterfaceKind::ScsPtc}) {
      ASSERT_TRUE(wholeLines(GateFrames(kind, text, "EF2GH")));
    }
  }
}

// ---------------------------------------------------------------------------

using Clock = IGateDuplicateList::Clock;

Clock::time_point At(double seconds) {
  return Clock::time_point(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
}

TEST(IGateDuplicateList, RepeatsWithinThirtySeconds) {
  const std::string direct = "AB1CD-9>APRS,qAR,EF2GH:!5230.00N/01320.00E>\r\n";
  const std::string viaDigi = "AB1CD-9>APRS,DIGI1*,qAR,EF2GH:!5230.00N/01320.00E>\r\n";
  const std::string other = "XY9Z>APZ,qAR,EF2GH:>status\r\n";
  IGateDuplicateList list;
  EXPECT_FALSE(list.IsRepeat(direct, At(100)));
  list.Remember(direct, At(100));
  // Heard again through a digipeater 3 s later: only the path differs.
  EXPECT_TRUE(list.IsRepeat(viaDigi, At(103)));
  EXPECT_FALSE(list.IsRepeat(other, At(103)));
  // Whole-second boundaries: 100.0 to 129.9 is 29, to 130.0 is 30.
  EXPECT_TRUE(list.IsRepeat(direct, At(129.9)));
  EXPECT_FALSE(list.IsRepeat(direct, At(130.0)));
  // A line leaves the list after five ageings.
  for (int i = 0; i < 4; ++i) list.Age();
  EXPECT_EQ(list.Text(1), direct);
  EXPECT_TRUE(list.IsRepeat(direct, At(110)));
  list.Age();
  EXPECT_EQ(list.Text(1), "");
  EXPECT_FALSE(list.IsRepeat(direct, At(110)));
}

TEST(IGateDuplicateList, OnlyTheLastLineOfATickIsRemembered) {
  IGateDuplicateList list;
  const Lines three = {"AA1A>APRS,qAR,G:>one...\r\n", "BB2B>APRS,qAR,G:>two...\r\n", "CC3C>APRS,qAR,G:>three.\r\n"};
  for (const std::string& l : three) {
    ASSERT_FALSE(list.IsRepeat(l, At(10)));
    list.Remember(l, At(10));
  }
  list.Age();
  EXPECT_FALSE(list.IsRepeat(three[0], At(16)));
  EXPECT_TRUE(list.IsRepeat(three[2], At(16)));
}

}  // namespace
}  // namespace zeblon::reception
