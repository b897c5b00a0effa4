// A station left alone: the main window with a PK-232 on a socat pseudo-terminal
// pair and its main cycle ticking. Nothing that happens while nobody watches
// stops the reception: an APRS-IS server that does not verify the login is told
// in the RAW list and in a box that is not modal, and the frames heard while it
// is open are stored and logged. Log lines that a killed program left torn are
// ended before the first new line.
#include <QMessageBox>

#include <algorithm>
#include <memory>

#include "links/live_radio_link.h"
#include "main_window/form1.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/qtext.h"
#include "reception/station_record.h"
#include "tests/links/aprs_is_server.h"
#include "tests/support/program_folder.h"
#include "tests/support/pty_pair.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;

class UnattendedStationTest : public testing_support::ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
    line_ = std::make_unique<testing_support::PtyPair>(folder_, "COM7", "TNC");
    ASSERT_TRUE(line_->ok());
    fs::create_directories(folder_ / "U33" / "LOG");
    // Nobody is there to answer a box that stops the program.
    platform::SetMessageResponder([](const platform::MessageRecord& r) {
      ADD_FAILURE() << "a modal box stopped the program: " << r.title << ": " << r.text;
      return platform::DefaultAnswer(r.buttons, r.defaultButton);
    });
  }
  void TearDown() override {
    form_.reset();
    line_.reset();
    platform::SetMessageResponder(nullptr);
    ProgramFolderTest::TearDown();
  }
  // The main window with the PK-232 on COM7 and the logs on, its cycle ticking every 0.2 s.
  Form1& Start(const std::string& extra = "") {
    Write("ZEBLON.INI", "TEMP=" + folder_.string() +
                            "\r\nUSER=QW7TK\r\nCALL=QW7TK\r\nMODEM=1\r\nCOM=7\r\nTBAUD=9600\r\nMSYS=U33\r\n"
                            "LOGS=1\r\nNOAT=1\r\n" +
                            extra);
    form_ = std::make_unique<Form1>();
    form_->SetRadioLink(std::make_unique<links::LiveRadioLink>());
    form_->show();
    PumpUntil([&] { return form_->Map().state().MapDrawnOnce == 1; });
    EXPECT_TRUE(form_->RadioLink().State().MSComm1.IsOpen());
    line_->Read(300);  // the TNC's start-up commands
    form_->Tick().cycleInterval = 200;
    form_->Timer1->start(200);
    return *form_;
  }
  bool Stored(const std::string& call) const {
    const reception::StationStore& s = form_->HeardStations();
    for (int i = 1; i <= s.MoniAllCount(); ++i)
      if (reception::TrimmedColumns(s.MoniAll()[i], 33, 41) == call) return true;
    return false;
  }
  // The TNC prints a heard frame; true once the ticks have stored its station.
  bool Hear(const std::string& call) {
    EXPECT_TRUE(line_->Write(call + ">WIDE1-1>APRS <UI>:\r\n!5230.00N/01320.00E>heard by the PK-232\r\n"));
    PumpUntil([&] { return Stored(call); }, 5000);
    return Stored(call);
  }
  std::string Log(const std::string& name) { return Read(fs::path("U33") / "LOG" / name); }
  // The lines of the RAW list that hold `text`.
  int InRawList(const std::string& text) const {
    const reception::MonitorLines& m = form_->Reception().monitorLines;
    return static_cast<int>(std::count_if(m.lines.begin(), m.lines.begin() + m.count + 1,
                                          [&](const std::string& l) { return l.find(text) != std::string::npos; }));
  }

  std::unique_ptr<testing_support::PtyPair> line_;
  std::unique_ptr<Form1> form_;
};

TEST_F(UnattendedStationTest, AnUnverifiedLoginIsToldWhileTheStationGoesOnReceiving) {
  links::test::AprsIsLineServer server(links::test::AprsIsLineServer::Answer::Unverified);
  Form1& form = Start("IGATE=1\r\nAISRV=127.0.0.1\r\nAIPRT=" + std::to_string(server.Port()) + "\r\n");
  EXPECT_TRUE(Hear("AB1CD"));
  const std::string told =
      "APRS-IS SERVER 127.0.0.1 DID NOT VERIFY THE LOGIN OF QW7TK (CHECK USER CALL). IGATE STOPPED.";
  auto boxes = [&] {
    std::vector<QMessageBox*> shown;
    for (QMessageBox* b : form.findChildren<QMessageBox*>())
      if (b->isVisible()) shown.push_back(b);
    return shown;
  };
  ASSERT_TRUE(links::test::PumpUntil([&] { return !boxes().empty(); }, 10000));

  // The box is not modal, and the cycle goes on while it stays open: what is
  // heard now is stored and logged.
  QMessageBox* box = boxes().front();
  EXPECT_FALSE(box->isModal());
  EXPECT_EQ(box->windowModality(), Qt::NonModal);
  EXPECT_EQ(platform::FromQ(box->windowTitle()), "ZEBLON  APRS-IS");
  EXPECT_EQ(platform::FromQ(box->text()), told);
  EXPECT_TRUE(Hear("AB2CD"));
  EXPECT_TRUE(Hear("AB3CD"));
  EXPECT_TRUE(box->isVisible());
  EXPECT_NE(Log("_LOGRAW_.TXT").find("AB3CD"), std::string::npos);
  EXPECT_NE(Log("_LOGL_.TXT").find("AB3CD"), std::string::npos);

  // Said once: one box, one RAW list line, one login; the title shows no IGate.
  EXPECT_EQ(boxes().size(), 1u);
  EXPECT_EQ(InRawList("*** " + told), 1);
  ASSERT_EQ(platform::MessageLog().size(), 1u);
  EXPECT_FALSE(platform::MessageLog()[0].modal);
  EXPECT_EQ(server.Connections(), 1);
  EXPECT_EQ(platform::FromQ(form.windowTitle()).find("IGate"), std::string::npos);

  // The user reads it and closes it; the station has gone on all along.
  box->button(QMessageBox::Ok)->click();
  links::test::PumpUntil([&] { return boxes().empty(); }, 2000);
  EXPECT_TRUE(boxes().empty());
  EXPECT_TRUE(Hear("AB4CD"));
}

// Logs whose last line a killed program left without its end (cut at a 4096-byte
// boundary, or between its CR and LF): the first line the next start appends
// stands on a line of its own, and nothing written before is lost.
TEST_F(UnattendedStationTest, TornLogLinesAreEndedBeforeTheFirstNewLine) {
  std::string raw;
  for (int i = 0; raw.size() < 4096; ++i)
    raw += "OLD" + std::to_string(i) + "*>APRS <UI>:\r\n!5230.00N/01320.00E>an old frame\r\n";
  raw.resize(4096);
  ASSERT_NE(raw.back(), '\n');
  const std::string record = std::string(119, 'r') + "\r";
  struct Torn {
    const char* name;
    std::string before, owed;
  } const logs[] = {{"_LOGRAW_.TXT", raw, "\r\n"}, {"_LOGL_.TXT", record, "\n"}, {"_LOG_.TXT", "short lo", "\r\n"}};
  for (const Torn& t : logs) Write(fs::path("U33") / "LOG" / t.name, t.before);

  Start();
  ASSERT_TRUE(Hear("AB5CD"));
  for (const Torn& t : logs) {
    SCOPED_TRACE(t.name);
    const std::string text = Log(t.name);
    ASSERT_EQ(text.substr(0, t.before.size() + t.owed.size()), t.before + t.owed);
    const std::string added = text.substr(t.before.size() + t.owed.size());
    EXPECT_NE(added.find("AB5CD"), std::string::npos) << added;
    ASSERT_GE(added.size(), 2u);
    EXPECT_EQ(added.substr(added.size() - 2), "\r\n");
  }
  // The raw log's new text starts with the heard frame's header.
  EXPECT_EQ(Log("_LOGRAW_.TXT").substr(raw.size() + 2, 5), "AB5CD");
}

}  // namespace
}  // namespace zeblon
