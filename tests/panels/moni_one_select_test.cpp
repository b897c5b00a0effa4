// Choosing the watched station: the combo's call, the list pick, and the reports of
// the heard-stations log that join the track.
#include "panels/moni_one_select.h"

#include <gtest/gtest.h>

#include "reception/station_store.h"
#include "reception/station_record.h"

namespace zeblon::panels {
namespace {

// A stored record: date, time, call, comment and heard-via in their columns.
std::string Record(const std::string& date_time, const std::string& call, const std::string& comment = "",
                   const std::string& via = "RF") {
  std::string r = reception::BlankRecord();
  r.replace(0, date_time.size(), date_time);  // "YYMMDD HHMM"
  r.replace(13, 9, "6580.0000");
  r.replace(22, 9, " 400.0000");
  r.replace(32, call.size(), call);
  r.replace(42, comment.size(), comment);
  r.replace(90, via.size(), via);
  r.replace(100, 3, "/>");
  return r;
}

struct Fixture {
  reception::StationStore stations;
  void Track(std::initializer_list<std::string> records) { stations.LoadTrack(records); }
  void Heard(std::initializer_list<std::string> records) {
    for (const auto& r : records) stations.Add(r, reception::kMoniAllSlots);
  }
};

TEST(MoniOneSelect, ComboTextBecomesTrimmedUpperCaseCall) {
  EXPECT_EQ(MoniOneComboCall("  qw7tk-9 "), "QW7TK-9");
  EXPECT_EQ(MoniOneComboCall("   "), "");
}

TEST(MoniOneSelect, OnlyLaterReportsOfTheCallJoinTheTrackInOrder) {
  Fixture f;
  f.Track({Record("240101 1000", "QW7TK")});
  f.Heard({Record("240101 0900", "QW7TK", "older"), Record("240101 1000", "QW7TK", "same minute"),
           Record("240101 1100", "XY1ABC", "other call"), Record("240101 1200", "QW7TK", "later"),
           Record("240101 1130", "QW7TK", "before the one taken")});
  EXPECT_EQ(f.stations.MergeMoniAll("QW7TK", false), 1);
  ASSERT_EQ(f.stations.MoniOneCount(), 2);
  EXPECT_EQ(reception::TrimmedColumns(f.stations.MoniOneTrack()[2], 43, 89), "later");
}

TEST(MoniOneSelect, AnEmptyTrackTakesEveryReportOfTheCall) {
  Fixture f;
  f.Heard({Record("240101 0900", "QW7TK", "a"), Record("240101 0930", "XY1ABC"), Record("240101 1000", "QW7TK", "b")});
  EXPECT_EQ(f.stations.MergeMoniAll("QW7TK", false), 2);
  EXPECT_EQ(f.stations.MoniOneCount(), 2);
}

TEST(MoniOneSelect, InternetReportsWithoutCommentStayOutWhileInternetSupportIsOn) {
  struct Case {
    std::string comment;
    bool support;
    int taken;
  };
  for (const Case& c : {Case{"", true, 0}, Case{"text", true, 1}, Case{"", false, 1}}) {
    Fixture f;
    f.Heard({Record("240101 0900", "QW7TK", c.comment, "qw1gate")});
    EXPECT_EQ(f.stations.MergeMoniAll("QW7TK", c.support), c.taken) << c.comment << c.support;
  }
  // A report heard on the air (upper-case via) is taken without comment too.
  Fixture f;
  f.Heard({Record("240101 0900", "QW7TK", "", "WIDE1")});
  EXPECT_EQ(f.stations.MergeMoniAll("QW7TK", true), 1);
}

TEST(MoniOneSelect, AFullTrackDropsItsOldestRecordsInsteadOfOverrunning) {
  Fixture f;
  f.stations.LoadTrack(std::vector<std::string>(reception::kMoniOneMaxLines, Record("240101 0800", "QW7TK")));
  f.Heard({Record("240101 0900", "QW7TK", "newest")});
  EXPECT_EQ(f.stations.MergeMoniAll("QW7TK", false), 1);
  EXPECT_EQ(f.stations.MoniOneCount(), reception::kMoniOneMaxLines - 999);
  EXPECT_EQ(reception::TrimmedColumns(f.stations.MoniOneTrack()[f.stations.MoniOneCount()], 43, 89), "newest");
}

TEST(MoniOneSelect, AListPickIsTakenOnlyWhenTheTextChanged) {
  MoniOneComboPick p;
  EXPECT_EQ(p.TakeOnLostFocus("QW7TK"), "");
  p.Clicked("XY1ABC");
  EXPECT_EQ(p.TakeOnLostFocus("XY1ABC"), "");
  EXPECT_EQ(p.Pending(), "XY1ABC");  // stays pending
  EXPECT_EQ(p.TakeOnLostFocus("QW7TK"), "XY1ABC");
  EXPECT_EQ(p.Pending(), "");
}

}  // namespace
}  // namespace zeblon::panels
