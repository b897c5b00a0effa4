// The own station's TX identity: the one rule for the call own packets carry,
// what the start-up and the TX setup's OK leave in it, and the echo header made
// from the settings as they are when it is renewed.
#include "links/tx_identity.h"

#include <gtest/gtest.h>

namespace zeblon::links {
namespace {

TEST(TxIdentity, TheEffectiveCallIsTheTxCallElseTheUserCall) {
  struct Case {
    const char* txCall;
    const char* userCall;
    const char* effective;
  };
  for (const Case& c : {Case{"AB1CD-7", "AB1CD", "AB1CD-7"}, Case{"", "AB1CD", "AB1CD"}, Case{"QW7TK", "", "QW7TK"},
                        Case{"", "", ""}}) {
    SCOPED_TRACE(std::string(c.txCall) + " / " + c.userCall);
    EXPECT_EQ(EffectiveTxCall(c.txCall, c.userCall), c.effective);
    Settings s;
    s.UserCall = c.userCall;
    TxIdentity id(s);
    id.TakeTxSetup(c.txCall, false, "1200 Bd");
    EXPECT_EQ(id.EffectiveCall(), c.effective);
    EXPECT_EQ(id.TxCall(), c.txCall);
  }
}

TEST(TxIdentity, TakesTheStartValues) {
  Settings s;
  TxIdentity id(s);
  StartValues with_call;
  with_call.txCall = "AB1CD-9";
  with_call.radioModeLabel = "1200 Bd";
  with_call.userCall = true;
  with_call.ownEchoHeader = "AB1CD-9*>ZEBL";
  with_call.callValid = true;
  id.TakeStartValues(with_call);
  EXPECT_EQ(id.TxCall(), "AB1CD-9");
  EXPECT_EQ(id.RadioModeLabel(), "1200 Bd");
  EXPECT_EQ(id.OwnEchoHeader(), "AB1CD-9*>ZEBL");
  EXPECT_TRUE(id.CallValid());
  EXPECT_FALSE(id.HfDualOn());

  // Start values without a user call bring no echo header and leave the call's
  // validity as it was.
  StartValues without_call;
  without_call.txCall = "";
  without_call.radioModeLabel = "300 Bd";
  id.TakeStartValues(without_call);
  EXPECT_EQ(id.TxCall(), "");
  EXPECT_EQ(id.RadioModeLabel(), "300 Bd");
  EXPECT_EQ(id.OwnEchoHeader(), "AB1CD-9*>ZEBL");
  EXPECT_TRUE(id.CallValid());
}

TEST(TxIdentity, TheEchoHeaderFollowsTheSettingsAsTheyAreWhenRenewed) {
  Settings s;
  s.UserCall = "AB1CD";
  s.TxPath = "WIDE1-1";
  s.TxDestination = "ZEBL";
  TxIdentity id(s);
  id.TakeTxSetup("AB1CD-7", true, "HF");
  EXPECT_TRUE(id.HfDualOn());
  EXPECT_EQ(id.OwnEchoHeader(), "");  // the OK's values alone leave the header
  id.RenewOwnEchoHeader();
  EXPECT_EQ(id.OwnEchoHeader(), "AB1CD-7*>WIDE1-1>ZEBL");
  // The OK takes the panel's settings after the identity was made.
  s.TxPath = "";
  id.RenewOwnEchoHeader();
  EXPECT_EQ(id.OwnEchoHeader(), "AB1CD-7*>ZEBL");
  id.SetHfDualOn(false);
  EXPECT_FALSE(id.HfDualOn());
}

}  // namespace
}  // namespace zeblon::links
