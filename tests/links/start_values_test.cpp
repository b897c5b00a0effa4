// What the main window's start-up derives from the settings alone: the own call,
// the radio mode's label, the TX and IGATE boxes, the passcode and the map centre.
#include "links/start_values.h"

#include <gtest/gtest.h>

#include "settings/interface_kind.h"

namespace zeblon::links {
namespace {

TEST(StartValues, FromTheSettings) {
  const int agw = ModemNumber(InterfaceKind::AgwLocal);
  const int none = ModemNumber(InterfaceKind::NoRadio);
  // The settings that differ between the cases.
  struct In {
    const char* user;
    double userNorth, userEast;
    int kind;
    const char* radioMode;
    double centreNorth, centreEast;
    const char* fileTxCall;
  };
  // What the start-up takes.
  struct Out {
    const char* txCall;
    const char* radioLabel;
    const char* caption;
    bool txEnabled;
    const char* echo;
    float pollLimit;
    bool callValid;
    const char* passcode;
    bool centringOff;
    double centreNorth, centreEast;
  };
  struct Case {
    const char* what;
    In in;
    Out out;
  };
  const Case cases[] = {
      {"no user call: TX ! and off, no IGate, the default centre",
       {"", 6500, 500, agw, "", 0, 0, ""},
       {"", "300 Bd", "TX !", false, "", 0, false, "0", false, 6600, 400}},
      {"a valid call with a home position and a radio",
       {"AB1CD", 6500, 500, agw, "1200", 6501, 501, "AB1CD-9"},
       {"AB1CD-9", "1200 Bd", "TX 10", true, "AB1CD-9*>ZEBL", 900, true, "18403", false, 6501, 501}},
      {"no TXID line: the user call sends",
       {"AB1CD", 6500, 500, agw, "300R", 6501, 501, ""},
       {"AB1CD", "RPR 300", "TX 10", true, "AB1CD*>ZEBL", 900, true, "18403", false, 6501, 501}},
      {"without a radio the TX box is not switched on",
       {"AB1CD", 6500, 500, none, "R300", 6501, 501, ""},
       {"AB1CD", "300 Bd", "TX 10", false, "AB1CD*>ZEBL", 900, true, "18403", false, 6501, 501}},
      {"without a home position the TX box is not switched on",
       {"AB1CD", 0, 500, agw, "9600", 6501, 501, ""},
       {"AB1CD", "9600 Bd", "TX 10", false, "AB1CD*>ZEBL", 900, true, "18403", false, 6501, 501}},
      {"a call that cannot be licensed: no passcode",
       {"ABCDE", 6500, 500, agw, "", 6501, 501, ""},
       {"ABCDE", "300 Bd", "TX 10", true, "ABCDE*>ZEBL", 900, false, "0", false, 6501, 501}},
      {"a start-picture centre turns the centring off",
       {"AB1CD", 6500, 500, agw, "", 6543.499, 400.499, ""},
       {"AB1CD", "300 Bd", "TX 10", true, "AB1CD*>ZEBL", 900, true, "18403", true, 6543.499, 400.499}},
      {"one axis ending in .499 is no start-picture centre",
       {"AB1CD", 6500, 500, agw, "", 6543.499, 400.5, ""},
       {"AB1CD", "300 Bd", "TX 10", true, "AB1CD*>ZEBL", 900, true, "18403", false, 6543.499, 400.5}},
      {"only 0 / 0 takes the default centre",
       {"AB1CD", 6500, 500, agw, "", 0, 400, ""},
       {"AB1CD", "300 Bd", "TX 10", true, "AB1CD*>ZEBL", 900, true, "18403", false, 0, 400}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Settings s;
    s.UserCall = c.in.user;
    s.UserNorth = c.in.userNorth;
    s.UserEast = c.in.userEast;
    s.InterfaceKind = c.in.kind;
    s.RadioMode = c.in.radioMode;
    s.CentreNorth = c.in.centreNorth;
    s.CentreEast = c.in.centreEast;
    s.BeaconInterval = 10;
    s.TxDestination = "ZEBL";
    const StartValues v = StartValuesFrom(s, c.in.fileTxCall);
    EXPECT_EQ(v.txCall, c.out.txCall);
    EXPECT_EQ(v.radioModeLabel, c.out.radioLabel);
    EXPECT_EQ(v.userCall, std::string(c.in.user) != "");
    EXPECT_EQ(v.txBoxCaption, c.out.caption);
    EXPECT_EQ(v.txBoxEnabled, c.out.txEnabled);
    EXPECT_EQ(v.ownEchoHeader, c.out.echo);
    EXPECT_EQ(v.internetPollLimit, c.out.pollLimit);
    EXPECT_EQ(v.callValid, c.out.callValid);
    EXPECT_EQ(v.aprsIsPasscode, c.out.passcode);
    EXPECT_EQ(v.IGateAllowed(), std::string(c.out.passcode) != "0");
    EXPECT_EQ(v.centringOff, c.out.centringOff);
    EXPECT_EQ(v.centreNorth, c.out.centreNorth);
    EXPECT_EQ(v.centreEast, c.out.centreEast);
  }
}

}  // namespace
}  // namespace zeblon::links
