// The INFO panel's cursor: the step buttons' captions of each mode, a pass's
// report of the shown station followed (and of any other ignored), the search
// hits, and the close that forgets the station against the hide that keeps it.
#include "reception/info_cursor.h"

#include <gtest/gtest.h>

#include "reception/station_record.h"

namespace zeblon::reception {
namespace {

// A report of `call` with `comment` (an "&" shows as "&&" on the label).
std::string Report(const std::string& call, const std::string& comment) {
  std::string r = BlankRecord();
  r.replace(32, call.size(), call);
  r.replace(42, comment.size(), comment);
  return r;
}

TEST(InfoCursor, EachModeHasItsStepCaptions) {
  const struct {
    InfoMode mode;
    const char *back, *label, *forward;
  } cases[] = {
      {InfoMode::None, "", "", ""},
      {InfoMode::MoniAll, "<", "QTH=", ">"},
      {InfoMode::MoniOne, "<X", "DELETE", "X>"},
  };
  for (const auto& c : cases) {
    InfoCursor cursor;
    cursor.Open("AB1CD", 1, c.mode);
    EXPECT_EQ(cursor.BackCaption(), c.back);
    EXPECT_EQ(cursor.LabelCaption(), c.label);
    EXPECT_EQ(cursor.ForwardCaption(), c.forward);
  }
}

// MONI ALL holds two reports of AB1CD and one of EF2GH; the track of the
// watched station QW7TK holds two.
struct Stores {
  StationStore stations;
  Stores() {
    stations.Add(Report("AB1CD", "first"), 50);
    stations.Add(Report("EF2GH", "other"), 50);
    stations.Add(Report("AB1CD", "R&D"), 50);
    stations.LoadTrack({Report("QW7TK", "old"), Report("QW7TK", "new&")});
  }
};

TEST(InfoCursor, FollowsAReportOfItsStationToTheNewestSlot) {
  const struct {
    const char* tag;
    const char* shown;     // the cursor's station ("" none)
    bool visible;          // the panel open
    const char* reported;  // the station a pass stored a report of
    bool followed;
    int index;
    InfoMode mode;
    const char* labelText;  // "" when the panel takes no record
  } cases[] = {
      {"open MONI ALL", "AB1CD", true, "AB1CD", true, 3, InfoMode::MoniAll, "R&&D"},
      {"hidden MONI ALL", "AB1CD", false, "AB1CD", true, 3, InfoMode::MoniAll, ""},
      {"open watched", "QW7TK", true, "QW7TK", true, 2, InfoMode::MoniOne, "new&&"},
      {"another station", "AB1CD", true, "EF2GH", false, 1, InfoMode::None, ""},
      {"no station", "", false, "", false, 1, InfoMode::None, ""},
  };
  for (const auto& c : cases) {
    Stores s;
    InfoCursor cursor;
    cursor.Open(c.shown, 1, InfoMode::None);
    if (!c.visible) cursor.Hide();
    EXPECT_EQ(cursor.StationReported(c.reported, s.stations, "QW7TK"), c.followed) << c.tag;
    EXPECT_EQ(cursor.Index(), c.index) << c.tag;
    EXPECT_EQ(cursor.Mode(), c.mode) << c.tag;
    EXPECT_EQ(cursor.Visible(), c.visible) << c.tag;
    if (*c.labelText == '\0') {
      EXPECT_EQ(cursor.Record(), "") << c.tag;
    } else {
      EXPECT_NE(cursor.LabelText().find(c.labelText), std::string::npos) << c.tag;
      EXPECT_EQ(cursor.Record(), c.index == 2 ? s.stations.MoniOneTrack()[2] : s.stations.MoniAll()[3]) << c.tag;
    }
  }
}

TEST(InfoCursor, APlaceHitForwardOpensThePanelAndBackTakesTheRecord) {
  const std::string hit = Report("EF2GH", "a&b");
  for (const bool forward : {true, false}) {
    InfoCursor cursor;
    cursor.Open("QW7TK", 4, InfoMode::MoniOne);
    cursor.ShowRecord(Report("QW7TK", "shown"));
    cursor.Hide();
    cursor.TakePlaceHit(2, hit, forward);
    EXPECT_EQ(cursor.Call(), "QW7TK") << forward;  // the call the panel was opened with
    EXPECT_EQ(cursor.Index(), 2) << forward;
    EXPECT_EQ(cursor.Mode(), InfoMode::MoniAll) << forward;
    EXPECT_EQ(cursor.Visible(), forward);
    EXPECT_EQ(cursor.Record(), forward ? Report("QW7TK", "shown") : hit);
    EXPECT_NE(cursor.LabelText().find("a&&b"), std::string::npos) << forward;
  }
}

TEST(InfoCursor, CloseForgetsTheStationAndHideKeepsIt) {
  InfoCursor cursor;
  cursor.Open("AB1CD", 3, InfoMode::MoniAll);
  cursor.Hide();
  EXPECT_FALSE(cursor.Visible());
  EXPECT_TRUE(cursor.Shows("AB1CD"));
  cursor.Open("AB1CD", 3, InfoMode::MoniAll);
  cursor.Close();
  EXPECT_FALSE(cursor.Visible());
  EXPECT_FALSE(cursor.Shows("AB1CD"));
  EXPECT_FALSE(cursor.Shows(""));
}

}  // namespace
}  // namespace zeblon::reception
