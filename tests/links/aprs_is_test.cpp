// The APRS-IS passcode and the server's receive buffer.
#include "links/aprs_is.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace zeblon::links {
namespace {

// The published passcode algorithm as it is usually written: upper case, the call
// up to an SSID, two characters per turn, masked to 15 bits.
int PublishedPasscode(const std::string& call_in) {
  std::string call;
  for (char c : call_in) {
    if (c == '-') break;
    call += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  int hash = 0x73e2;
  for (std::size_t i = 0; i < call.size(); i += 2) {
    hash ^= call[i] << 8;
    if (i + 1 < call.size()) hash ^= call[i + 1];
  }
  return hash & 0x7fff;
}

TEST(AprsIsPasscode, KnownCalls) {
  struct Case {
    const char* call;
    const char* passcode;
  };
  const Case cases[] = {
      {"N0CALL", "13023"},
      {"n0call", "13023"},      // upper-cased first
      {"  N0CALL  ", "13023"},  // blanks trimmed
      {"", "29666"},            // nothing hashed: the start value
  };
  for (const Case& c : cases) EXPECT_EQ(ComputeAprsIsPasscode(c.call), c.passcode) << c.call;
}

TEST(AprsIsPasscode, AgreesWithThePublishedAlgorithmForAnyCall) {
  std::mt19937 rng(4711);
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghijklmnopqrstuvwxyz/";
  std::uniform_int_distribution<int> len(1, 9), pick(0, static_cast<int>(alphabet.size()) - 1);
  for (int n = 0; n < 20000; ++n) {
    std::string call;
    for (int i = len(rng); i > 0; --i) call += alphabet[pick(rng)];
    const int code = AprsIsPasscodeOf(call);
    ASSERT_EQ(code, PublishedPasscode(call)) << call;
    ASSERT_GE(code, 0);
    ASSERT_LE(code, 32767);
    ASSERT_EQ(ComputeAprsIsPasscode(call), std::to_string(code));
  }
}

TEST(AprsIsPasscode, EightBitCallStaysInRange) {
  const int code = AprsIsPasscodeOf("\xC4\xD6X");
  EXPECT_GE(code, 0);
  EXPECT_LE(code, 32767);
}

TEST(AprsIsReceiveBuffer, ArrivalsAppendWholeAndASplitAnswerStillVerifies) {
  AprsIsReceiveBuffer rx;
  rx.Arrived("# aprsc 2.1\r\n# logr");
  EXPECT_FALSE(rx.LoginVerified("ab1cd"));
  rx.Arrived("esp AB1CD verified, server TEST\r\n");
  EXPECT_EQ(rx.chunk, "esp AB1CD verified, server TEST\r\n");
  EXPECT_EQ(rx.buffer, "# aprsc 2.1\r\n# logresp AB1CD verified, server TEST\r\n");
  EXPECT_TRUE(rx.LoginVerified(" ab1cd "));
  EXPECT_FALSE(rx.LoginVerified("AB1CE"));
  rx.Clear();
  EXPECT_TRUE(rx.buffer.empty());
  // "unverified" is not "verified".
  rx.Arrived("# logresp AB1CD unverified, server TEST\r\n");
  EXPECT_FALSE(rx.LoginVerified("AB1CD"));
}

}  // namespace
}  // namespace zeblon::links
