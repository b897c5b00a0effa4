// The own object's information field: its layout, the refusals, and what never
// reaches the air (control bytes, a nameless object, a position without latitude
// and longitude).
#include <gtest/gtest.h>

#include <limits>

#include "geodesy/geodesy.h"
#include "links/object_beacon.h"
#include "reception/symbol_table.h"

namespace zeblon::links {
namespace {

// km of UTM zone 33 for a latitude and longitude.
std::pair<double, double> Km(double lat, double lon) {
  double e = 0, n = 0;
  geodesy::ConvertLatLonToUtm(lon, lat, 15.0, e, n, 500000.0);
  return {n / 1000.0, e / 1000.0};
}

ObjectBeaconSettings Sample() {
  ObjectBeaconSettings s;
  s.userCall = "N0CALL";
  std::tie(s.userNorth, s.userEast) = Km(59.5, 18.0);
  s.name = "FIELDDAY ";
  std::tie(s.north, s.east) = Km(59 + 30.12 / 60, 18 + 3.45 / 60);
  s.symbolIndex = reception::SymbolIndexOf('\\', 'j');
  s.text = "Club field day";
  return s;
}

TEST(ObjectInfoField, Layout) {
  const reception::LocalTime now{2024, 5, 5, 0, 20, 0};
  ObjectBeaconSettings s = Sample();
  s.utcOffsetHours = 1;  // 00:20 local on the 5th is 23:20 UTC on the 4th
  EXPECT_EQ(ObjectInfoField(s, now), ";FIELDDAY *042320z5930.12N\\01803.45Ej Club field day");

  struct Case {
    const char* what;
    void (*change)(ObjectBeaconSettings&);
    const char* expected;
  };
  const Case cases[] = {
      {"empty text ends with the blank", [](ObjectBeaconSettings& o) { o.text.clear(); },
       ";FIELDDAY *050020z5930.12N\\01803.45Ej "},
      {"a short name padded", [](ObjectBeaconSettings& o) { o.name = "ABC"; },
       ";ABC      *050020z5930.12N\\01803.45Ej Club field day"},
      {"an overlay on a symbol that takes one",
       [](ObjectBeaconSettings& o) {
         o.symbolIndex = reception::SymbolIndexOf('\\', '#');
         o.overlay = "A";
       },
       ";FIELDDAY *050020z5930.12NA01803.45E# Club field day"},
      {"an overlay that is no digit or letter is left out",
       [](ObjectBeaconSettings& o) {
         o.symbolIndex = reception::SymbolIndexOf('\\', '#');
         o.overlay = "!";
       },
       ";FIELDDAY *050020z5930.12N\\01803.45E# Club field day"},
      {"control bytes in name and text",
       [](ObjectBeaconSettings& o) {
         o.name = "FIELD\rDAY";
         o.text = "line\r\nbreak\x7f";
       },
       ";FIELD_DAY*050020z5930.12N\\01803.45Ej line__break_"},
      {"the object at 0/0 goes out while the home position is set",
       [](ObjectBeaconSettings& o) {
         o.north = 0;
         o.east = 500;
       },
       ";FIELDDAY *050020z0000.00N\\01500.00Ej Club field day"},
  };
  for (const Case& c : cases) {
    ObjectBeaconSettings o = Sample();
    c.change(o);
    EXPECT_EQ(ObjectInfoField(o, now), std::string(c.expected)) << c.what;
  }
  // The comment is cut where APRS ends an object's comment.
  ObjectBeaconSettings o = Sample();
  o.text = std::string(60, 'c');
  const auto f = ObjectInfoField(o, now);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->size(), 38 + kObjectCommentLimit);
  EXPECT_EQ(f->substr(38), std::string(kObjectCommentLimit, 'c'));
}

TEST(ObjectInfoField, NothingGoesOut) {
  const reception::LocalTime now{2024, 5, 5, 12, 0, 0};
  struct Case {
    const char* what;
    void (*change)(ObjectBeaconSettings&);
  };
  const Case cases[] = {
      {"no user call", [](ObjectBeaconSettings& o) { o.userCall = "  "; }},
      {"home position unset",
       [](ObjectBeaconSettings& o) {
         o.userNorth = 0;
         o.userEast = 0;
       }},
      {"no name", [](ObjectBeaconSettings& o) { o.name.clear(); }},
      {"a name of blanks", [](ObjectBeaconSettings& o) { o.name = "         "; }},
      {"symbol 0", [](ObjectBeaconSettings& o) { o.symbolIndex = 0; }},
      {"symbol 97", [](ObjectBeaconSettings& o) { o.symbolIndex = 97; }},
      {"symbol 201", [](ObjectBeaconSettings& o) { o.symbolIndex = 201; }},
      {"a position of no number", [](ObjectBeaconSettings& o) { o.north = std::numeric_limits<double>::quiet_NaN(); }},
      {"a position far beyond the pole", [](ObjectBeaconSettings& o) { o.north = 1e300; }},
  };
  for (const Case& c : cases) {
    ObjectBeaconSettings o = Sample();
    c.change(o);
    EXPECT_FALSE(ObjectInfoField(o, now)) << c.what;
  }
}

TEST(ObjectInfoField, FromTheSettings) {
  Settings s;
  s.UserCall = "N0CALL";
  s.UserNorth = 6600;
  s.UserEast = 400;
  s.ObjectName = "HOME     ";
  s.ObjectNorth = 6601;
  s.ObjectEast = 401;
  s.ObjectSymbolIndex = 62;
  s.ObjectOverlay = "";
  s.ObjectText = "t";
  s.UtcOffsetHours = 2;
  const ObjectBeaconSettings o = ObjectBeaconSettingsFrom(s, 15, 500000);
  EXPECT_EQ(o.name, s.ObjectName);
  EXPECT_EQ(o.north, 6601);
  EXPECT_EQ(o.east, 401);
  EXPECT_EQ(o.symbolIndex, 62);
  EXPECT_EQ(o.utcOffsetHours, 2);
  const auto f = ObjectInfoField(o, {2024, 5, 5, 12, 0, 0});
  ASSERT_TRUE(f);
  EXPECT_EQ(f->substr(0, 18), ";HOME     *051000z");
  EXPECT_EQ(f->back(), 't');
}

}  // namespace
}  // namespace zeblon::links
