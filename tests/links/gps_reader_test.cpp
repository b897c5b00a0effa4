// The GPS reader's plain parts: fields, the sentence search and agreement test,
// degree texts, the GPS-INFO line, the track file and the navigation way log.
#include "links/gps_reader.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "settings/text_files.h"
#include "tests/links/gps_nmea.h"
#include "tests/support/program_folder.h"

namespace zeblon::links {
namespace {

using testing::Nmea;
using testing::NmeaBadChecksum;

// 12:35:19 UTC on 23 March 2024, the date of the RMC bodies below.
constexpr std::time_t kRmcUtc = 1711197319;

std::string Rmc(const std::string& time, const std::string& lat, const std::string& lon,
                const std::string& status = "A", const std::string& speed = "022.4",
                const std::string& date = "230324") {
  return Nmea("GPRMC," + time + "," + status + "," + lat + ",N," + lon + ",E," + speed + ",084.4," + date + ",003.1,W");
}
std::string Gga(const std::string& lat, const std::string& lon, const std::string& quality = "1",
                const std::string& alt = "545.4") {
  return Nmea("GPGGA,123519," + lat + ",N," + lon + ",E," + quality + ",08,0.9," + alt + ",M,46.9,M,,");
}
std::string Gll(const std::string& lat, const std::string& lon) {
  return Nmea("GPGLL," + lat + ",N," + lon + ",E,123519,A");
}

GpsTickContext Context(const std::filesystem::path& folder) {
  GpsTickContext c;
  c.mapCentralMeridian = 15;
  c.mapFalseEasting = 500000;
  c.dataFolder = folder;
  c.navigationFolder = folder / "NAV";
  c.now = {2024, 3, 15, 14, 32, 5};
  c.utcNow = kRmcUtc;
  return c;
}

TEST(GpsFields, ExtractionByCommaAndStar) {
  const std::string s = "RMC,123519,A,4807.038,N,01131.000,E,,084.4,230394,003.1,W*6A\r\n$GPGGA,1,2";
  EXPECT_EQ(NmeaField(s, 1), "123519");
  EXPECT_EQ(NmeaField(s, 3), "4807.038");
  EXPECT_EQ(NmeaField(s, 7), "");
  EXPECT_EQ(NmeaField(s, 9), "230394");
  EXPECT_EQ(NmeaField(s, 11), "W");
  EXPECT_EQ(NmeaField(s, 12), "6A");  // the checksum behind "*"
  EXPECT_EQ(NmeaField(s, 13), "");    // the next line's fields are not this sentence's
  EXPECT_EQ(NmeaField("GLL,4916.45", 1), "4916.45");
  EXPECT_EQ(NmeaField("GLL,4916.45", 2), "");
}

TEST(GpsFields, Checksums) {
  const std::string good = Nmea("GPGLL,4916.45,N,12311.12,W,225444,A,");
  EXPECT_EQ(good, "$GPGLL,4916.45,N,12311.12,W,225444,A,*1D\r\n");  // the sentence as receivers send it
  EXPECT_TRUE(NmeaChecksumOk(good, good.find("GLL,")));
  const std::string bad = NmeaBadChecksum("GPGLL,4916.45,N,12311.12,W,225444,A");
  EXPECT_FALSE(NmeaChecksumOk(bad, bad.find("GLL,")));
  EXPECT_TRUE(NmeaChecksumOk("$GPGLL,4916.45,N\r\n", 3));     // none given: taken
  EXPECT_FALSE(NmeaChecksumOk("GPGLL,4916.45,N*1D\r\n", 2));  // cut before "$": cannot be checked
  EXPECT_FALSE(NmeaChecksumOk("$GPGLL,4916.45,N*1\r\n", 3));  // one digit only
}

TEST(GpsDegrees, TextsOfTheFix) {
  struct Case {
    const char* field;
    const char* hemisphere;
    bool latitude;
    const char* text;
  };
  const Case cases[] = {
      {"4916.45", "N", true, " 49.27416"},
      {"4916.50", "N", true, " 49.27500"},
      {"0912.0000", "S", true, "- 9.20000"},
      {"0030.0000", "N", true, "   .50000"},
      {"4900.0006", "N", true, " 49.00001"},
      {"4900", "N", true, " 49.00000"},
      {"01230.0000", "W", false, "- 12.50000"},
      {"00832.10", "E", false, "   8.53500"},
      {"12311.12", "W", false, "-123.18533"},
      {"4960.00", "N", true, ""},  // 60 minutes is no position
      {"4", "N", true, ""},
  };
  for (const Case& c : cases) {
    const std::string t = c.latitude ? GpsLatitudeText(c.field, c.hemisphere) : GpsLongitudeText(c.field, c.hemisphere);
    EXPECT_EQ(t, c.text) << c.field;
  }
}

TEST(GpsSearch, PairsAndAgreement) {
  struct Case {
    const char* name;
    std::string buffer;
    GpsFixKind kind;  // the kind chosen
    bool agree;
  };
  const std::string r1 = Rmc("123519", "4916.45", "00832.10");
  const std::string r2 = Rmc("123520", "4916.50", "00832.12");
  const Case cases[] = {
      {"rmc pair", r1 + r2, GpsFixKind::Rmc, true},
      {"gga within one minute", Gga("4916.00", "00832.10") + Gga("4917.00", "00832.10"), GpsFixKind::Gga, true},
      {"gga beyond one minute", Gga("4916.00", "00832.10") + Gga("4917.01", "00832.10"), GpsFixKind::Gga, false},
      {"rmc a second apart over the minute",
       Rmc("120959", "4916.45", "00832.10") + Gga("4916.45", "00832.10") + Gga("4916.45", "00832.10") +
           Rmc("121000", "4916.45", "00832.10"),
       GpsFixKind::Rmc, false},
      {"one rmc two gga", r1 + Gga("4916.45", "00832.10") + Gga("4916.46", "00832.10"), GpsFixKind::Gga, true},
      {"latitude 0", Gll("4916.45", "00832.10") + Gll("0000.0000", "00832.10"), GpsFixKind::Gll, false},
      {"latitude empty", Gll("4916.45", "00832.10") + Gll("", "00832.10"), GpsFixKind::Gll, false},
      {"date changed", r1 + Rmc("123520", "4916.45", "00832.10", "A", "1", "240324"), GpsFixKind::Rmc, false},
      {"last line without end", r1 + r2.substr(0, r2.size() - 2), GpsFixKind::None, false},
      {"bad checksum not counted", r1 + NmeaBadChecksum("GPRMC,123520,A,4916.50,N,00832.10,E,1,1,230324,,"),
       GpsFixKind::None, false},
      {"no fix status not counted", r1 + Rmc("123520", "4916.45", "00832.10", "V"), GpsFixKind::None, false},
      {"gga quality 0 not counted", Gga("4916.45", "00832.10") + Gga("4916.45", "00832.10", "0"), GpsFixKind::None,
       false},
      {"garbage", "xxGGA,yy\r\nRMC,\r\n", GpsFixKind::None, false},
      {"empty", "", GpsFixKind::None, false},
  };
  for (const Case& c : cases) {
    const GpsSentencePair p = FindGpsSentencePair(c.buffer);
    EXPECT_EQ(p.kind, c.kind) << c.name;
    if (p.kind != GpsFixKind::None) {
      EXPECT_LT(p.older, p.newer) << c.name;
      EXPECT_EQ(GpsSentencesAgree(p.kind, NmeaSentenceAt(c.buffer, p.newer), NmeaSentenceAt(c.buffer, p.older)),
                c.agree)
          << c.name;
    }
  }
  // The search stops at a kind's fourth sentence: older sentences are not looked at.
  std::string many = Gga("4916.45", "00832.10");
  many += many;
  for (int i = 0; i < 4; ++i) many += Gll("4916.45", "00832.10");
  EXPECT_EQ(FindGpsSentencePair(many).kind, GpsFixKind::Gll);
}

TEST(GpsReadout, LineOfTheFix) {
  const std::string lat = " 49.27416", lon = "   8.53500";
  const std::string head = "   GPS-INFO: GLN:___49.27416 GLE:____8.53500 ";
  struct Case {
    const char* name;
    std::string buffer;
    std::string tail;
  };
  const Case cases[] = {
      {"full",
       Nmea("GPGGA,123519,4916.45,N,00832.10,E,1,08,0.9,123.4,M,46.9,M,,") + Nmea("GPGSV,3,1,12,01,40,083,46") +
           Rmc("123519", "4916.45", "00832.10", "A", "10.8"),
       "ALT:____123.4_m Vkm:____20_km/h Vnm:__10.8_nm/h USE:__8/12_sats "},
      {"altitude in feet, then an empty GGA altitude", Nmea("PGRMZ,246,f,3") + Gga("4916.45", "00832.10", "1", ""),
       "ALT:_______74_m USE:_____8_sats "},
      {"nothing but the position", Gll("4916.45", "00832.10"), ""},
      {"satellites in view only", Nmea("GPGSV,2,1,7,01,40,083,46"), "USE:____/7_sats "},
      {"vtg replaces rmc",
       Rmc("123519", "4916.45", "00832.10", "A", "10.8") + Nmea("GPVTG,054.7,T,034.4,M,5.5,N,10.2,K"),
       "Vkm:__10.2_km/h Vnm:___5.5_nm/h "},
      {"position errors", Nmea("PGRME,15.0,M,45.0,F,25.0,M"), "ERh:_______15_m ERv:_______13_m "},
      {"an incomplete last line is not read", Nmea("PGRMZ,246,f,3").substr(0, 12), ""},
      {"a bad checksum is passed over", NmeaBadChecksum("PGRMZ,999,M,3") + Nmea("PGRMZ,246,f,3"), "ALT:_______74_m "},
  };
  for (const Case& c : cases) EXPECT_EQ(GpsReadoutText(c.buffer, lat, lon), head + c.tail) << c.name;
  // A value of 11 characters or more is not padded.
  EXPECT_EQ(GpsReadoutText(Nmea("PGRMZ,123456789.5,M,3"), lat, lon), head + "ALT:123456789.5_m ");
}

TEST(GpsTrack, LinesAndFiles) {
  testing_support::ScratchFolder dir("zeblon_gps_track");
  EXPECT_EQ(TrackLine(" 6612.900", "  345.200", {2024, 3, 15, 14, 32, 0}), "\xFE 6612.900  345.200 20240315 1432");
  EXPECT_EQ(TrackLine(" 6612.900", "  345.200", {2024, 3, 15, 14, 32, 0}).size(), 33u);
  // The folder is made when missing.
  ASSERT_TRUE(AppendTrackLine(dir.path(), TrackLine(" 6612.900", "  345.200", {2024, 3, 15, 23, 59, 0})));
  ASSERT_TRUE(AppendTrackLine(dir.path(), TrackLine(" 6612.901", "  345.200", {2024, 3, 16, 0, 0, 0})));
  std::string a, b;
  ASSERT_TRUE(ReadWholeFile(dir.path() / "TRK" / "20240315.TRK", a));
  ASSERT_TRUE(ReadWholeFile(dir.path() / "TRK" / "20240316.TRK", b));
  EXPECT_EQ(a, "\xFE 6612.900  345.200 20240315 2359\r\n");
  EXPECT_EQ(b, "\xFE 6612.901  345.200 20240316 0000\r\n");
  // A file that cannot be written is skipped and reported.
  std::filesystem::create_directories(dir.path() / "TRK" / "20240317.TRK");
  EXPECT_FALSE(AppendTrackLine(dir.path(), TrackLine(" 6612.900", "  345.200", {2024, 3, 17, 1, 0, 0})));

  double n = 6612.9004, e = -0.0205;
  std::string nt, et;
  FormatGpsPosition(n, e, nt, et);
  EXPECT_DOUBLE_EQ(n, 6612.9);
  EXPECT_EQ(nt, " 6612.900");
  EXPECT_EQ(et, "-    .021");  // cut down to whole metres
  double far = 10500.0, small = 0.005;
  FormatGpsPosition(far, small, nt, et);
  EXPECT_EQ(nt, "");
  EXPECT_EQ(et, "     .005");  // 5 m, not 500 m
}

TEST(GpsNavigation, WayLog) {
  const LocalClock t{2024, 3, 15, 14, 32, 0};
  EXPECT_EQ(NavigationSquareKey(6612, 345), "6612  345");
  EXPECT_EQ(NavigationSquareKey(-1235, 345), "-1235  345");
  EXPECT_EQ(NavigationSquareKey(6612, -45), "6612  -45");
  const char want_digits[] = "01234567";
  const long steps[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(DirectionDigit(steps[i][0], steps[i][1]), want_digits[i]);

  NavigationState nav;
  std::string way = RecordNavigationSquare(nav, 6612, 345, t);
  EXPECT_EQ(nav.NavigationRecord, "6612  345 240315 1432");
  EXPECT_EQ(nav.NavigationRecord.size(), 21u);
  EXPECT_EQ(way, "6612  345 240315 1432||");
  // Three squares north on the same line.
  for (long n = 6613; n <= 6615; ++n) way += RecordNavigationSquare(nav, n, 345, t);
  EXPECT_EQ(way, "6612  345 240315 1432||000");
  // Staying in the square writes nothing but keeps the newest time.
  EXPECT_EQ(RecordNavigationSquare(nav, 6615, 345, {2024, 3, 15, 14, 40, 0}), "");
  EXPECT_EQ(nav.NavigationRecord, "6615  345 240315 1440");
  // South-west, then a jump of two squares: the line ends and a record begins.
  EXPECT_EQ(RecordNavigationSquare(nav, 6614, 344, t), "5");
  EXPECT_EQ(RecordNavigationSquare(nav, 6616, 344, t), "\r\n6616  344 240315 1432||");
  // The digit that makes the line 79 characters long ends it.
  NavigationState full;
  RecordNavigationSquare(full, 100, 100, t);  // "100  100 240315 1432||", 22 characters
  std::string tail;
  for (long n = 101; n <= 157; ++n) tail += RecordNavigationSquare(full, n, 100, t);
  // The line ends behind its 79th character, and the square's record begins the next.
  EXPECT_EQ(tail, std::string(57, '0') + "\r\n157  100 240315 1432||");
  EXPECT_EQ(full.NavigationLine, "157  100 240315 1432||");
  EXPECT_EQ(RecordNavigationSquare(full, 158, 100, t), "0");
  // A negative northing keeps its sign.
  NavigationState south;
  EXPECT_EQ(RecordNavigationSquare(south, -1235, 345, t), "-1235  345 240315 1432||");
}

// The whole read of a tick, on text fed as a receiver sends it.
TEST(GpsReaderTick, FixPositionTrackAndStaleBuffer) {
  testing_support::ScratchFolder dir("zeblon_gps_tick");
  GpsTickContext c = Context(dir.path());
  GpsReader reader;
  NavigationState nav;
  nav.NavigationRecording = 1;

  // Nothing yet: no fix, the read-out hidden.
  GpsTickResult r = reader.Evaluate(nav, c);
  EXPECT_FALSE(r.fix);
  EXPECT_TRUE(r.hideReadout);

  reader.Feed(Rmc("123519", "4916.45", "00832.10"));
  reader.Feed(Rmc("123520", "4916.50", "00832.10").substr(0, 20));  // cut in two reads
  EXPECT_FALSE(reader.Evaluate(nav, c).fix);
  reader.Feed(Rmc("123520", "4916.50", "00832.10").substr(20));
  r = reader.Evaluate(nav, c);
  ASSERT_TRUE(r.fix);
  EXPECT_TRUE(r.hideReadout);  // the tick before had no fix
  EXPECT_TRUE(r.centreOnOwn);
  EXPECT_TRUE(r.fixRegained);
  EXPECT_EQ(reader.GpsFixMoved, 1);
  EXPECT_EQ(reader.GpsTimeValid, 1);  // the computer's clock agrees with the RMC time
  EXPECT_EQ(nav.NavigationActive, 1);
  EXPECT_EQ(r.readout.substr(0, 45), "   GPS-INFO: GLN:___49.27500 GLE:____8.53500 ");
  // 49.275 N 8.535 E in zone 33: cs2cs EPSG:4326 EPSG:32633 gives 29891.555 E 5478166.741 N;
  // the position is cut to whole metres.
  EXPECT_DOUBLE_EQ(reader.GpsNorth, 5478.166);
  EXPECT_DOUBLE_EQ(reader.GpsEast, 29.891);
  EXPECT_EQ(reader.GpsNorth, std::floor(reader.GpsNorth * 1000 + 1e-6) / 1000);
  EXPECT_TRUE(r.trackWritten);
  std::string trk, way;
  ASSERT_TRUE(ReadWholeFile(dir.path() / "TRK" / "20240315.TRK", trk));
  EXPECT_EQ(trk, "\xFE" + nav.GpsNorthText + nav.GpsEastText + " 20240315 1432\r\n");
  ASSERT_TRUE(ReadWholeFile(dir.path() / "NAV" / "QTHWAY.TXT", way));
  EXPECT_EQ(way, nav.NavigationRecord + "||");

  // The receiver stops: the same sentences give no fix again, and no track line.
  r = reader.Evaluate(nav, c);
  EXPECT_FALSE(r.fix);
  EXPECT_FALSE(r.hideReadout);  // the tick before had its fix
  EXPECT_TRUE(reader.Evaluate(nav, c).hideReadout);

  // It comes back within the same minute: a fix, but no second track line.
  reader.Feed(Rmc("123521", "4916.51", "00832.10"));
  r = reader.Evaluate(nav, c);
  EXPECT_TRUE(r.fix);
  EXPECT_FALSE(r.trackWritten);
  ASSERT_TRUE(ReadWholeFile(dir.path() / "TRK" / "20240315.TRK", trk));
  EXPECT_EQ(SplitLines(trk).size(), 1u);

  // The user moved the map a moment ago: no centring.
  c.secondsSinceMapInteraction = 5;
  reader.Feed(Rmc("123522", "4916.51", "00832.10"));
  r = reader.Evaluate(nav, c);
  EXPECT_TRUE(r.fix);
  EXPECT_FALSE(r.centreOnOwn);
  EXPECT_FALSE(r.fixRegained);
}

TEST(GpsReaderTick, ClockNotFollowingAndNorthingLimit) {
  testing_support::ScratchFolder dir("zeblon_gps_limit");
  GpsTickContext c = Context(dir.path());
  c.utcNow = kRmcUtc + 3600;  // the computer's clock is an hour off
  GpsReader reader;
  NavigationState nav;
  reader.Feed(Rmc("123519", "4916.45", "00832.10") + Rmc("123520", "4916.45", "00832.10"));
  ASSERT_TRUE(reader.Evaluate(nav, c).fix);
  EXPECT_EQ(reader.GpsTimeValid, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "NAV"));  // recording off

  // More than 90 degrees from the central meridian the northing jumps beyond the limit.
  c.mapCentralMeridian = -90;
  reader = GpsReader();
  reader.Feed(Gga("4916.45", "00832.10") + Gga("4916.45", "00832.10"));
  ASSERT_TRUE(reader.Evaluate(nav, c).fix);
  EXPECT_DOUBLE_EQ(reader.GpsNorth, 9999.99);
}

TEST(GpsReaderTick, DropFile) {
  testing_support::ScratchFolder dir("zeblon_gps_drop");
  GpsTickContext c = Context(dir.path());
  GpsReader reader;
  NavigationState nav;
  const std::filesystem::path drop = dir.path() / "GPS.TXT";
  // No file: the tick ends, no fix.
  GpsTickResult r = ReadGps(reader, nav, nullptr, drop, c);
  EXPECT_FALSE(r.fix);
  EXPECT_EQ(reader.GpsTimeValid, 0);
  // A file with LF line ends: read, deleted, its lines taken with CR LF.
  std::string text = Gll("4916.45", "00832.10") + Gll("4916.46", "00832.10");
  std::erase(text, '\r');
  ASSERT_TRUE(WriteFileAtomically(drop, text));
  r = ReadGps(reader, nav, nullptr, drop, c);
  EXPECT_TRUE(r.fix);
  EXPECT_FALSE(std::filesystem::exists(drop));
  EXPECT_EQ(reader.GpsTimeValid, 1);
  EXPECT_NE(reader.Buffer().find("*"), std::string::npos);
  EXPECT_EQ(reader.Buffer().substr(reader.Buffer().size() - 2), "\r\n");
}

TEST(GpsReaderTick, BufferKeepsItsNewest3000) {
  GpsReader reader;
  for (int i = 0; i < 100; ++i) reader.Feed(Gll("4916.45", "00832.10"));
  EXPECT_EQ(reader.Buffer().size(), GpsReader::kBufferLimit);
  EXPECT_EQ(reader.Buffer().substr(reader.Buffer().size() - 2), "\r\n");
}

TEST(GpsSource, Kinds) {
  EXPECT_EQ(GpsPortNumber("3"), 3);
  EXPECT_EQ(GpsPortNumber(""), 0);
  EXPECT_EQ(GpsPortNumber("GPS.TXT"), 0);
  EXPECT_TRUE(GpsSourceIsDropFile("GPS.TXT"));
  EXPECT_FALSE(GpsSourceIsDropFile("3"));
  EXPECT_FALSE(GpsSourceIsDropFile("3SAVE"));
  EXPECT_TRUE(GpsSourceSet("3SAVE"));
  EXPECT_FALSE(GpsSourceSet("0"));
  EXPECT_FALSE(GpsSourceSet("SAVE"));
  EXPECT_EQ(GpsLineSettings("4800"), "4800,N,8,1");
}

TEST(QuietPassEnd, RedrawForAMovedOrStoppedFixFocusWhenActiveOrFewColours) {
  struct Case {
    int moved, movedBefore;
    bool active;
    int depth;
    bool redraw, focus;
  } cases[] = {
      {0, 0, true, 24, false, true}, {1, 0, false, 24, true, false}, {1, 1, false, 16, true, false},
      {0, 1, false, 15, true, true}, {0, 0, false, 8, false, true},
  };
  for (const Case& c : cases) {
    const QuietPassEnd end = QuietPassEndFor(c.moved, c.movedBefore, c.active, c.depth);
    EXPECT_EQ(end.redraw, c.redraw) << c.moved << c.movedBefore << c.active << c.depth;
    EXPECT_EQ(end.focusMap, c.focus) << c.moved << c.movedBefore << c.active << c.depth;
  }
}

}  // namespace
}  // namespace zeblon::links
