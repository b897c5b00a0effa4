// Payload decoding: every position form, timestamps, objects and items, and
// the frames that must be dropped.
#include <gtest/gtest.h>

#include <cmath>

#include "reception/aprs_decode.h"

namespace zeblon::reception {
namespace {

// The map zone around a longitude, so that every test position projects.
DecodeContext Context(double longitude = 15.0) {
  DecodeContext ctx;
  ctx.mapCentralMeridian = std::floor(longitude / 6.0) * 6.0 + 3.0;
  ctx.now = {2024, 5, 1, 12, 34, 0};
  ctx.utcOffsetHours = 0;
  return ctx;
}

FrameValues Frame(const std::string& payload, const std::string& dest = "APRS", const std::string& call = "SRC-9") {
  FrameValues v;
  v.callText = call;
  v.destinationCall = dest;
  v.viaText = " ";
  v.dataTypeChar = payload.empty() ? '\0' : payload[0];
  v.payloadText = payload;
  return v;
}

struct PositionCase {
  const char* name;
  std::string payload;
  std::string dest;
  std::string call;
  double lat, lon, tolerance;
  const char* symbol;
  const char* comment;
  const char* messaging;
};

TEST(DecodePositions, FormsGiveTheirPositionSymbolAndComment) {
  const PositionCase cases[] = {
      {"plain", "!4903.50N/07201.75W-Test", "APRS", "SRC", 49.0583333, -72.0291667, 1e-6, "/-", "Test", " "},
      {"plain with messaging", "=4903.50N/07201.75W-Test", "APRS", "SRC", 49.0583333, -72.0291667, 1e-6, "/-", "Test",
       "'"},
      {"zulu timestamp", "@092345z4903.50N/07201.75W-Test", "APRS", "SRC", 49.0583333, -72.0291667, 1e-6, "/-", "Test",
       "'"},
      {"hms timestamp", "/123400h4903.50S\\07201.75E_ wx", "APRS", "SRC", -49.0583333, 72.0291667, 1e-6, "\\_", "wx",
       " "},
      {"ambiguity 1", "!4903.5 N/07201.7 W>", "APRS", "SRC", 49.0583333, -72.0283333, 1e-6, "/>", "", " "},
      {"ambiguity 2", "!4903.  N/07201.  W>", "APRS", "SRC", 49.05, -72.0166667, 1e-6, "/>", "", " "},
      {"overlay", "!4903.50N907201.75W#digi", "APRS", "SRC", 49.0583333, -72.0291667, 1e-6, "9#", "digi", " "},
      {"altitude stripped", "!4903.50N/07201.75W>/A=001234 on the road", "APRS", "SRC", 49.0583333, -72.0291667, 1e-6,
       "/>", " on the road", " "},
      {"compressed", "!/5L!!<*e7>7P[", "APRS", "SRC", 49.5, -72.75, 1e-4, "/>", "7P[", " "},
      {"compressed with timestamp", "@092345z/5L!!<*e7>7P[", "APRS", "SRC", 49.5, -72.75, 1e-4, "/>", "7P[", "'"},
      {"compressed altitude", "=/5L!!<*e7OS]S", "APRS", "SRC", 49.5, -72.75, 1e-4, "/O", "S]S", "'"},
      {"compressed range", "!/5L!!<*e7>{?!", "APRS", "SRC", 49.5, -72.75, 1e-4, "/>", "{?!", " "},
      {"mic-e", "`(_fn\"Oj/]", "S32U6T", "SRC", 33.4273333, -12.129, 1e-6, "/j", "", " "},
      {"mic-e with comment", "`(_fn\"Oj/]Hello", "S32U6T", "SRC", 33.4273333, -12.129, 1e-6, "/j", "Hello", " "},
      {"mic-e offset", "'v_fl\x1c->/", "S32U6T", "SRC", 33.4273333, -90.129, 1e-6, "/>", "", " "},
      {"nmea rmc", "$GPRMC,123456,A,4916.45,N,12311.12,W,000.5,054.7,191194,020.3,E*68", "APRS", "SRC-9", 49.2741667,
       -123.1853333, 1e-6, "/>", "", " "},
      {"nmea gga south", "$GPGGA,123519,3351.1234,S,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", "APRS", "SRC", -33.852,
       11.5166667, 1e-6, "", "", " "},
  };
  for (const auto& c : cases) {
    FrameValues v = Frame(c.payload, c.dest, c.call);
    ASSERT_EQ(DecodePayload(v, Context(c.lon)), DecodeResult::Position) << c.name;
    EXPECT_NEAR(v.latitude, c.lat, c.tolerance) << c.name;
    EXPECT_NEAR(v.longitude, c.lon, c.tolerance) << c.name;
    EXPECT_EQ(v.symbolText, c.symbol) << c.name;
    EXPECT_EQ(v.decodedComment, c.comment) << c.name;
    EXPECT_EQ(v.messagingMark, c.messaging) << c.name;
    EXPECT_TRUE(std::isfinite(v.northing) && std::isfinite(v.easting)) << c.name;
  }
}

TEST(DecodePositions, ProjectionOffsetMovesFiveHundredThousandthsOfADegree) {
  FrameValues v = Frame("!4903.50N/07201.75W-Test");
  ASSERT_EQ(DecodePayload(v, Context()), DecodeResult::Position);
  EXPECT_NEAR(v.projectedLatitude, 49.0583833, 1e-7);
  EXPECT_NEAR(v.projectedLongitude, -72.0291167, 1e-7);
}

TEST(DecodePositions, MicEMessageCodeAndLongitudeCharacters) {
  // Destination digits in the first three places: the message code Emergency.
  FrameValues e = Frame("`(_fn\"Oj/]", "012U6T");
  ASSERT_EQ(DecodePayload(e, Context()), DecodeResult::Position);
  EXPECT_EQ(e.emergencyFlag, 1);
  FrameValues n = Frame("`(_fn\"Oj/]", "S32U6T");
  ASSERT_EQ(DecodePayload(n, Context()), DecodeResult::Position);
  EXPECT_EQ(n.emergencyFlag, 0);

  struct Case {
    char degreeChar;
    bool offset;
    double degrees;
  };
  const Case cases[] = {{'\x76', false, 90}, {'\x76', true, 0}, {'\x7f', false, 99}, {'\x7f', true, 9}};
  for (const auto& c : cases) {
    // Offset bit from the fifth destination character: "6" clear, "V" set; minutes and hundredths 0.
    FrameValues v = Frame(std::string("`") + c.degreeChar + "X\x1c" + "n\"Oj/]", c.offset ? "S32UV3" : "S32U63");
    ASSERT_EQ(DecodePayload(v, Context(c.degrees)), DecodeResult::Position) << int(c.degreeChar);
    EXPECT_NEAR(v.longitude, c.degrees, 1e-9) << int(c.degreeChar) << " offset " << c.offset;
  }
}

TEST(DecodePositions, NmeaSymbolFollowsTheSsid) {
  const std::string rmc = "$GPRMC,123456,A,4916.45,N,12311.12,W,000.5,054.7,191194,020.3,E*68";
  struct Case {
    const char* call;
    const char* symbol;
  };
  const Case cases[] = {{"ABC-1", "/a"},  {"ABC-7", "/'"}, {"ABC-9", "/>"},
                        {"ABC-15", "/v"}, {"ABC", ""},     {"ABC-16", ""}};
  for (const auto& c : cases) {
    FrameValues v = Frame(rmc, "APRS", c.call);
    ASSERT_EQ(DecodePayload(v, Context(-123)), DecodeResult::Position);
    EXPECT_EQ(v.symbolText, c.symbol) << c.call;
  }
}

TEST(DecodeObjects, LiveObjectsAndItemsBecomeReportsOfTheirName) {
  FrameValues o = Frame(";LEADER   *092345z4903.50N/07201.75W>088/036", "APRS", "SENDER-1");
  ASSERT_EQ(DecodePayload(o, Context(-72)), DecodeResult::Position);
  EXPECT_EQ(o.callText, "LEADER");
  EXPECT_EQ(o.viaText, "SENDER-1");
  EXPECT_EQ(o.dataTypeChar, '@');
  EXPECT_EQ(o.messagingMark, "'");
  EXPECT_EQ(o.objectFlag, 1);
  EXPECT_EQ(o.stampDeviates, 0);  // an object's own stamp is not compared
  EXPECT_NEAR(o.latitude, 49.0583333, 1e-6);

  FrameValues i = Frame(")AID #2!4903.50N/07201.75WA", "APRS", "SENDER-1");
  ASSERT_EQ(DecodePayload(i, Context(-72)), DecodeResult::Position);
  EXPECT_EQ(i.callText, "AID #2");
  EXPECT_EQ(i.dataTypeChar, '=');
  EXPECT_EQ(i.objectFlag, 1);
  EXPECT_EQ(i.symbolText, "/A");
}

TEST(DecodeDrops, FramesWithoutAPositionAreNotReports) {
  const std::pair<const char*, std::string> cases[] = {
      {"status", ">Status text"},
      {"killed object", ";LEADER   _092345z4903.50N/07201.75W>"},
      {"killed item", ")AID #2_4903.50N/07201.75WA"},
      {"telemetry", "T#005,199,000,255,073,123,01101001"},
      {"query", "?APRS?"},
      {"latitude 0.015", "!0000.90N/01000.00E-"},
      {"latitude -0.02", "!0001.20S/01000.00E-"},
      {"mic-e short destination", "`(_fn\"Oj/]"},
  };
  for (const auto& [name, payload] : cases) {
    FrameValues v = Frame(payload, std::string(name) == "mic-e short destination" ? "S32U6" : "APRS");
    EXPECT_NE(DecodePayload(v, Context()), DecodeResult::Position) << name;
  }
  FrameValues pass = Frame("!0001.26N/01000.00E-");
  EXPECT_EQ(DecodePayload(pass, Context()), DecodeResult::Position);
  FrameValues zeroLon = Frame("!4903.50N/00000.00E-");
  EXPECT_EQ(DecodePayload(zeroLon, Context()), DecodeResult::Position);
}

TEST(DecodeDrops, MalformedFormsNeverBecomePositions) {
  struct Case {
    std::string payload, dest;
    MalformedReason reason;
  };
  using enum MalformedReason;
  const Case cases[] = {
      {"@320000z4903.50N/07201.75W-", "APRS", Timestamp},    // day 32
      {"@012500z4903.50N/07201.75W-", "APRS", Timestamp},    // hour 25
      {"/12a400h4903.50N/07201.75W-", "APRS", Timestamp},    // not digits
      {"!/5L!!<*e", "APRS", CompressedPosition},             // short compressed
      {"@092345z/5L!!<*e7", "APRS", CompressedPosition},     // short compressed after a stamp
      {"!/5L\x7f!<*e7>7P[", "APRS", CompressedPosition},     // not a base-91 character
      {"!/5L!!<*e7\x01", "APRS", CompressedPosition},        // no symbol code
      {"!49O3.50N/07201.75W-", "APRS", CompressedPosition},  // a letter in the latitude: no compressed form either
      {"!4903.50N/07201.75W", "APRS", PlainPosition},        // no symbol code
      {"`(_", "S32U6T", MicE},                               // short Mic-E
      {"`(_fn\"Oj", "S32U6T", MicE},                         // Mic-E without symbol table
      {"`(_fn\"Oj/]", "S32u6T", MicE},                       // invalid destination character
      {"`(_fn\"Oj/]", "S32M6T", MicE},                       // invalid destination character
      {"`\x10_fn\"Oj/]", "S32U6T", MicE},                    // invalid longitude character
      {"`(\x1d"
       "fn\"Oj/]",
       "S32U6T", MicE},  // minutes below the defined characters
      {"`(\xf0"
       "fn\"Oj/]",
       "S32U6T", MicE},                                          // invalid minutes character
      {"`(_fn\"Oj/]", "Y92U6T", MicE},                           // latitude beyond 90
      {"!9903.50N/07201.75W-", "APRS", OutOfRange},              // latitude beyond 90
      {"!4903.50N/19201.75W-", "APRS", OutOfRange},              // longitude beyond 180
      {"$GPRMC,1,A,9999.99,N,00000.00,E,", "APRS", OutOfRange},  // latitude beyond 90
  };
  for (const Case& c : cases) {
    FrameValues v = Frame(c.payload, c.dest);
    const DecodeResult r = DecodePayload(v, Context());
    EXPECT_EQ(r, DecodeResult::Malformed) << c.payload;
    EXPECT_EQ(r.reason, c.reason) << c.payload << ": " << MalformedReasonText(r.reason);
  }
}

TEST(DecodeTimestamps, OwnStampComparedWithTheClock) {
  struct Case {
    const char* payload;
    int utcOffset;
    int thirdParty;
    int deviates;
    const char* stampDate;
    const char* stampTime;
  };
  const Case cases[] = {
      {"@011231z4903.50N/07201.75W-", 0, 0, 1, "", ""},  // 3 minutes before the clock
      {"@011232z4903.50N/07201.75W-", 0, 0, 0, "", ""},  // 2 minutes
      {"@011237z4903.50N/07201.75W-", 0, 0, 1, "", ""},  // 3 minutes after
      {"@011034z4903.50N/07201.75W-", 2, 0, 0, "", ""},  // local time two hours ahead of UTC
      {"/123400h4903.50N/07201.75W-", 0, 0, 0, "", ""},           {"/120000h4903.50N/07201.75W-", 0, 0, 1, "", ""},
      {"@011231/4903.50N/07201.75W-", 0, 0, 0, "", ""},            // local stamp: not compared
      {"@011231z4903.50N/07201.75W-", 0, 1, 0, "240501", "1231"},  // relayed: the stamp is the time
  };
  for (const auto& c : cases) {
    FrameValues v = Frame(c.payload);
    v.thirdPartyFlag = c.thirdParty;
    DecodeContext ctx = Context(-72);
    ctx.utcOffsetHours = c.utcOffset;
    ASSERT_EQ(DecodePayload(v, ctx), DecodeResult::Position) << c.payload;
    EXPECT_EQ(v.stampDeviates, c.deviates) << c.payload;
    EXPECT_EQ(v.stampDate, c.stampDate) << c.payload;
    EXPECT_EQ(v.stampTime, c.stampTime) << c.payload;
  }
}

TEST(DecodeMessages, MessageFormGoesToTheMessageStageAndStoresNothing) {
  FrameValues v = Frame(":N0CALL   :hello{12");
  int calls = 0;
  DecodeContext ctx = Context();
  ctx.onMessage = [&](const FrameValues& m) {
    ++calls;
    EXPECT_EQ(m.payloadText, ":N0CALL   :hello{12");
  };
  EXPECT_EQ(DecodePayload(v, ctx), DecodeResult::NoReport);
  EXPECT_EQ(calls, 1);
}

TEST(StripAltitude, CommentCleanUp) {
  const std::pair<std::string, std::string> cases[] = {
      {"/A=001234 rest", " rest"}, {"Going /A=000099", ""},         {"}abc", "abc"},    {"12345}x/A=12y", "y"},
      {"1234567}x", "1234567}x"},  {"/A=-00012 neg", "-00012 neg"}, {"plain", "plain"},
  };
  for (const auto& [in, out] : cases) {
    std::string c = in;
    StripAltitude(c);
    EXPECT_EQ(c, out) << in;
  }
}

}  // namespace
}  // namespace zeblon::reception
