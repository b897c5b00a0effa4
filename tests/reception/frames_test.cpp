// Monitor input conversions and frame assembly: from each interface's text to
// the frame values handed to the decoding.
#include <gtest/gtest.h>

#include "reception/frame_assembly.h"
#include "reception/monitor_input.h"

namespace zeblon::reception {
namespace {

TEST(MonitorInput, AgwMonitorTextBecomesAMonitorFrame) {
  struct Case {
    std::string text, frame;
  };
  const Case cases[] = {
      {" 1:Fm SRC-9 To APRS <UI pid=F0 Len=3 PF=0 >[12:00:00]\rabc\r\r", "SRC-9*>APRS <UI>:\r\nabc\r\n"},
      {" 1:Fm SRC To APRS Via WIDE1-1,DIGI2* <UI pid=F0 Len=4 >[12:00:00]\rtest\r\r",
       "SRC>WIDE1-1>DIGI2*>APRS <UI>:\r\ntest\r\n"},
      // Words of the payload never become part of the header.
      {" 1:Fm SRC To APRS <UI pid=F0 >[12:00:00]\rTo Via x\r\r", "SRC*>APRS <UI>:\r\nTo Via x\r\n"},
      {" 1:Fm SRC To APRS <I R1 S0 >[12:00:00]\rdata\r\r", "SRC*>APRS <I>:\r\ndata\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertAgwMonitorText(c.text), c.frame) << c.text;
}

TEST(MonitorInput, AgwTcpBufferGivesWholePartsOnly) {
  std::string buffer = std::string("junk part\r\r") + " 1:Fm SRC To APRS <UI pid=F0 >[1]\rabc\r\r" +
                       // the form some engines send: the data ends CR NUL
                       " 1:Fm DEF To APRS <UI pid=F0 >[1]\rxyz\r" + std::string(1, '\0') + " 1:Fm GHI To AP";
  const std::string out = TakeAgwTcpFrames(buffer);
  EXPECT_EQ(out, "SRC*>APRS <UI>:\r\nabc\r\nDEF*>APRS <UI>:\r\nxyz\r\n");
  EXPECT_EQ(buffer, " 1:Fm GHI To AP");
}

TEST(MonitorInput, AgwTcpBufferDropsAPartWithoutThreeCrAlone) {
  std::string buffer = std::string(" 1:Fm BAD To APRS <RR R2 >[1]\r\r") + " 1:Fm SRC To APRS <UI pid=F0 >[1]\rabc\r\r" +
                       " 1:Fm BAD To APRS <UI pid=F0 >[1]\ra\rb\r\r" + " 1:Fm DEF To APRS <UI pid=F0 >[1]\rxyz\r\r";
  EXPECT_EQ(TakeAgwTcpFrames(buffer), "SRC*>APRS <UI>:\r\nabc\r\nDEF*>APRS <UI>:\r\nxyz\r\n");
  EXPECT_EQ(buffer, "");
}

TEST(MonitorInput, AgwLocalReadDropsATextWithoutThreeCrAlone) {
  std::vector<std::optional<std::string>> texts = {std::string(" 1:Fm A To B <UI >[1]\rp\r\r"),
                                                   std::string(" 1:Fm C To D <UI >[1]\r"),
                                                   std::string(" 1:Fm E To F <UI >[1]\rq\r\r")};
  std::size_t next = 0;
  int gated = 0;
  AgwLocalSource source(
      [&]() -> std::optional<std::string> { return next < texts.size() ? texts[next++] : std::nullopt; },
      GateHook{[] { return true; }, [&](const std::string&) { ++gated; }});
  // The text without payload is dropped; the turn goes on with the one behind it.
  EXPECT_EQ(source.ReadTurn().text, "A*>B <UI>:\r\np\r\nE*>F <UI>:\r\nq\r\n");
  EXPECT_EQ(gated, 3);
  EXPECT_EQ(source.ReadTurn().text, "");
}

TEST(MonitorInput, Pk232Reads) {
  EXPECT_FALSE(TakePk232Read("K\r\n"));
  EXPECT_FALSE(TakePk232Read("short"));
  EXPECT_EQ(*TakePk232Read("SRC>APRS <UI>:\r\n!x\r\n"), "SRC>APRS <UI>:\r\n!x\r\n");
  // The rest of a line of an earlier read is dropped, as is a first line in the "(UI)" form.
  EXPECT_EQ(*TakePk232Read("tail of old\r\nSRC>APRS [UI]:\r\n!x\r\n"), "SRC>APRS [UI]:\r\n!x\r\n");
  EXPECT_EQ(*TakePk232Read("SRC>APRS (UI):\r\nSRC>APRS <UI>:\r\n"), "SRC>APRS <UI>:\r\n");
}

TEST(MonitorInput, ScsFrames) {
  const std::string one = "fm SRC to APRS via DIGI1* WIDE2-1 ctl UI^ pid F0\r\npayload\r\n";
  EXPECT_EQ(ConvertScsFrames(one, false), "SRC>DIGI1*>WIDE2-1>APRS <UI>:\r\npayload\r\n");
  EXPECT_EQ(ConvertScsFrames("fm SRC to APRS via WIDE1-1 ctl UI pid F0\r\np\r\n", false),
            "SRC*>WIDE1-1>APRS <UI>:\r\np\r\n");
  EXPECT_EQ(ConvertScsFrames("fm SRC to APRS ctl UI pid F0\r\np\r\n", false), "SRC>APRS <UI>:\r\np\r\n");
  EXPECT_EQ(ConvertScsFrames("1:fm SRC to APRS ctl UI pid F0\r\np\r\n1:fm B to C ctl UI pid F0\r\nq\r\n", true),
            "SRC>APRS <UI>:\r\np\r\nB>C <UI>:\r\nq\r\n");
  std::string eleven;
  for (int i = 0; i < 11; ++i) eleven += "fm S" + std::to_string(i) + " to APRS ctl UI pid F0\r\np\r\n";
  const std::string out = ConvertScsFrames(eleven, false);
  EXPECT_NE(out.find("S9>APRS"), std::string::npos);
  EXPECT_EQ(out.find("S10>APRS"), std::string::npos);
}

TEST(MonitorInput, ScsReadStillGrowingIsAbandoned) {
  int reads = 0;
  ScsSource growing([&] { return ++reads < 20 ? std::string("fm S to A ctl UI pid F0\r\np\r\n") : std::string(); },
                    [] {}, GateHook{}, false);
  const TurnRead r = growing.ReadTurn();
  EXPECT_EQ(r.text, "");
  EXPECT_EQ(r.leave, TurnRead::Leave::No);
  ScsSource flood([] { return std::string(600, 'x'); }, [] {}, GateHook{}, false);
  EXPECT_EQ(flood.ReadTurn().leave, TurnRead::Leave::AtOnce);
}

TEST(FrameAssembly, HeardMark) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"SRC>APRS <UI>:\r\n!x\r\n", "SRC*>APRS <UI>:\r\n!x\r\n"},
      {"SRC>DIGI*>APRS <UI>:\r\n!x\r\n", "SRC>DIGI*>APRS <UI>:\r\n!x\r\n"},
      {"A>B [UI]:\r\n1\r\nC>D (UI):\r\n2\r\n", "A*>B [UI]:\r\n1\r\nC*>D (UI):\r\n2\r\n"},
      {"A>B <I>:\r\n1\r\n", "A>B <I>:\r\n1\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(ApplyHeardMark(c.in), c.out) << c.in;
}

TEST(FrameAssembly, MonitorListKeeps400Lines) {
  MonitorLines list;
  for (int i = 0; i < 400; ++i) AddToMonitorLines(list, "line" + std::to_string(i) + "\r\n");
  EXPECT_EQ(list.count, 400);
  std::string many;
  for (int i = 0; i < 401; ++i) many += "n" + std::to_string(i) + "\n";
  AddToMonitorLines(list, many + "open\x01");
  EXPECT_EQ(list.count, 400);
  EXPECT_EQ(list.lines[399], "n400");
  EXPECT_EQ(list.lines[400], "open");
}

TEST(FrameAssembly, CuttingFrames) {
  std::string buffer = "\nSRC*>APRS <UI>:\r\n!one\r\nDEF*>APRS <UI>:\r\n!tw";
  FrameCut cut = CutFrame(buffer);
  ASSERT_EQ(cut.kind, FrameCut::Kind::Frame);
  EXPECT_EQ(cut.frameText, "SRC*>APRS <UI>:\r\n!one\r");
  EXPECT_EQ(buffer, "\nDEF*>APRS <UI>:\r\n!tw");
  EXPECT_EQ(CutFrame(buffer).kind, FrameCut::Kind::Incomplete);
  EXPECT_EQ(buffer, "\nDEF*>APRS <UI>:\r\n!tw");

  std::string noLineStart = "SRC*>APRS <UI>:\r\n!x\r\n";
  EXPECT_EQ(CutFrame(noLineStart).kind, FrameCut::Kind::None);
  EXPECT_EQ(noLineStart, "\n!x\r\n");

  std::string other = "\nA>B <I>:\r\nx\r\n";
  EXPECT_EQ(CutFrame(other).kind, FrameCut::Kind::None);

  std::string big(2001, 'x'), limit(2000, 'x');
  CutFrame(big);
  CutFrame(limit);
  EXPECT_EQ(big.size(), 100u);
  EXPECT_EQ(limit.size(), 2000u);
}

TEST(FrameAssembly, HeaderValues) {
  struct Case {
    std::string frame;
    HeaderOutcome outcome;
    std::string call, via, dest, payload;
  };
  const Case cases[] = {
      {"SRC*>APRS <UI>:\r\n!x\r", HeaderOutcome::Payload, "SRC", " ", "APRS", "!x"},
      {"SRC*>WIDE1-1>WIDE2-1>APRS <UI>:\r\n!x\r", HeaderOutcome::Payload, "SRC", "ALIAS", "APRS", "!x"},
      {"SRC*>WIDE1-1>WIDE2-2>APRS <UI>:\r\n!x\r", HeaderOutcome::Payload, "SRC", " ", "APRS", "!x"},
      {"SRCABC>DIGI1*>APRS <UI>:\r\n!x\r", HeaderOutcome::Payload, "SRCABC", "DIGI1", "APRS", "!x"},
      {"SRC>DIGI1*>APRS <UI>:\r\n!x\r", HeaderOutcome::Payload, "SRC", " ", "APRS", "!x"},
      {"src*>APRS [UI]:\r\n  !x  \r", HeaderOutcome::Payload, "SRC", " ", "APRS", "!x"},
      {"SRC>DEST,DIGI* <UI>:\r\n!x\r", HeaderOutcome::Drop, "SRC", "", "", ""},
      {"SRC*>DEST,DIGI <UI>:\r\n!x\r", HeaderOutcome::Payload, "SRC", " ", "DEST,DIGI", "!x"},
      {"SRC>APRS <UI>:\r\n!x\r", HeaderOutcome::Drop, "", "", "", ""},
      {"SRC*>APRS <UI>:\r\n   \r", HeaderOutcome::Drop, "SRC", " ", "APRS", ""},
      {"GATE*>APRS <UI>:\r\n}INNER>APDEST,TCPIP,GATE*:!x\r", HeaderOutcome::Payload, "INNER", "TCPIP", "APDEST", "!x"},
      {"GATE*>APRS <UI>:\r\n}INNER>APDEST,WIDE1-1:!x\r", HeaderOutcome::Payload, "INNER", "APDEST", "APDEST", "!x"},
      {"GATE*>APRS <UI>:\r\n}INNERCALL>APDEST,DIGI9*:!x\r", HeaderOutcome::Payload, "INNERCALL", "DIGI9", "APDEST",
       "!x"},
      {"N0CALL*>APRS <UI>:\r\n}INNER>APDEST:!x\r", HeaderOutcome::Drop, "", "", "", ""},
  };
  for (const auto& c : cases) {
    FrameValues v;
    EXPECT_EQ(NormaliseHeader(c.frame, "N0CALL", "", v), c.outcome) << c.frame;
    if (c.outcome != HeaderOutcome::Payload) continue;
    EXPECT_EQ(v.callText, c.call) << c.frame;
    EXPECT_EQ(v.viaText, c.via) << c.frame;
    EXPECT_EQ(v.destinationCall, c.dest) << c.frame;
    EXPECT_EQ(v.payloadText, c.payload) << c.frame;
  }
}

TEST(FrameAssembly, OwnEchoIsRecognisedAlsoAfterAPrompt) {
  FrameValues v;
  EXPECT_EQ(NormaliseHeader("N0CALL-1*>WIDE1-1>APRS <UI>:\r\n!x\r", "N0CALL-1", "N0CALL-1*>WIDE1-1>APRS", v),
            HeaderOutcome::OwnEcho);
  FrameValues w;
  EXPECT_EQ(NormaliseHeader("cmd:N0CALL-1*>WIDE1-1>APRS <UI>:\r\n!x\r", "N0CALL-1", "N0CALL-1*>WIDE1-1>APRS", w),
            HeaderOutcome::OwnEcho);
}

}  // namespace
}  // namespace zeblon::reception
