// The main window's APRS-IS steps and IGate hand-off against a local APRS-IS line
// server: the login from the settings file's call, server and port, the title's
// IGate field, a gated line with the own call as gate, and the message of an
// unverified login.
#include <gtest/gtest.h>

#include <memory>

#include "main_window/form1.h"
#include "platform/message_box.h"
#include "platform/qtext.h"
#include "tests/links/aprs_is_server.h"
#include "tests/support/program_folder.h"

namespace zeblon {
namespace {

using links::test::AprsIsLineServer;

class AprsIsWiringTest : public testing_support::ProgramFolderTest {
 protected:
  std::unique_ptr<Form1> Start(const AprsIsLineServer& server) {
    Write("ZEBLON.INI", "TEMP=" + folder_.string() +
                            "\r\nUSER=QW7TK\r\nMODEM=1\r\nMSYS=U33\r\nCALL=QW7TK\r\n"
                            "NOAT=1\r\nIGATE=1\r\nAISRV=127.0.0.1\r\nAIPRT=" +
                            std::to_string(server.Port()) + "\r\n");
    auto form = std::make_unique<Form1>();
    form->show();
    PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; });
    return form;
  }
  // Ticks of the two steps, with the events between ticks.
  bool TickUntil(Form1& form, const std::function<bool()>& done) {
    for (int i = 0; i < 40 && !done(); ++i) {
      form.RadioLink().AprsIsUpkeep();
      form.RadioLink().AprsIsTitleAndAgeing();
      links::test::PumpEvents(30);
    }
    return done();
  }
};

TEST_F(AprsIsWiringTest, LoginTitleAndGatedLine) {
  AprsIsLineServer server(AprsIsLineServer::Answer::Verified);
  auto form = Start(server);
  const std::string passcode = links::ComputeAprsIsPasscode("QW7TK");
  ASSERT_EQ(form->RadioLink().State().AprsIsPasscode, passcode);
  ASSERT_TRUE(TickUntil(
      *form, [&] { return platform::FromQ(form->windowTitle()).find("IGate connected") != std::string::npos; }));
  EXPECT_EQ(platform::FromQ(form->windowTitle()).substr(75), "IGate connected");
  EXPECT_EQ(server.Lines(1).at(0), "user QW7TK pass " + passcode + " vers ZEBLON 8.08 filter b/ZZ9ZZZ");

  form->RadioLink().IGateHook().Offer("AB1CD>WIDE1-1*>APRS <UI>:\r\n!5230.00N/01320.00E>\r\n");
  ASSERT_TRUE(links::test::PumpUntil([&] { return server.Lines(1).size() == 2; }, 3000));
  EXPECT_EQ(server.Lines(1)[1],
            "AB1CD>APRS,WIDE1-1,qAR," + form->TxSetup().Identity().TxCall() + ":!5230.00N/01320.00E>");
  form->close();
}

TEST_F(AprsIsWiringTest, UnverifiedLoginStopsTheIGateWithAMessage) {
  AprsIsLineServer server(AprsIsLineServer::Answer::Unverified);
  auto form = Start(server);
  ASSERT_TRUE(TickUntil(*form, [&] { return !platform::MessageLog().empty(); }));
  EXPECT_EQ(platform::MessageLog().back().title, "ZEBLON  APRS-IS");
  EXPECT_NE(platform::MessageLog().back().text.find("DID NOT VERIFY THE LOGIN OF QW7TK"), std::string::npos);
  EXPECT_EQ(platform::FromQ(form->windowTitle()).find("IGate"), std::string::npos);
  form->close();
}

}  // namespace
}  // namespace zeblon
