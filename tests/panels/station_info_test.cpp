// The station INFO panel's work on the stores: stepping through a station's
// reports, the search at the selected place, the deletion of older or newer
// track positions with the log file, the retransmitted report, the RAW list line
// and the questions.
#include "panels/station_info.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "reception/receive_pass.h"
#include "reception/station_record.h"
#include "settings/text_files.h"
#include "tests/support/file_faults.h"

namespace zeblon::panels {
namespace {

namespace fs = std::filesystem;

// A stored record: date and time, position (km), call, comment, symbol.
std::string Record(const std::string& date_time, const std::string& call, double north = 6580, double east = 400,
                   const std::string& comment = "", const std::string& symbol = "/>") {
  std::string r = reception::BlankRecord();
  r.replace(0, date_time.size(), date_time);  // "YYMMDD HHMM"
  r.replace(12, 19, reception::PositionPart(north * 1000, east * 1000));
  r.replace(32, call.size(), call);
  r.replace(42, comment.size(), comment);
  r.replace(90, 2, "RF");
  r.replace(100, symbol.size(), symbol);
  return r;
}

struct Stores {
  reception::ReceptionState st;
  std::vector<std::string> heard;  // MONI ALL slots 1 … n
  // MONI ALL slots 1 … n: the call at the slots given, others elsewhere.
  void Heard(int n, const std::string& call, std::initializer_list<int> slots) {
    heard.clear();
    for (int i = 1; i <= n; ++i) heard.push_back(Record("240101 1000", "OTHER" + std::to_string(i)));
    for (int i : slots) heard[static_cast<std::size_t>(i - 1)] = Record("240101 1000", call);
    Store();
    st.info.Open(call, st.info.Index(), st.info.Mode());
  }
  // Another report in MONI ALL slot `i` of the ones heard.
  void HeardAt(int i, const std::string& record) {
    heard[static_cast<std::size_t>(i - 1)] = record;
    Store();
  }
  void Store() {
    st.stations.ClearMoniAll();
    for (const std::string& r : heard) st.stations.Add(r, reception::kMoniAllSlots);
  }
  void Track(const std::string& call, int n) {
    st.settings.moniOneCall = call;
    std::vector<std::string> track;
    for (int i = 1; i <= n; ++i) {
      const std::string minute = (i < 10 ? "0" : "") + std::to_string(i);
      track.push_back(Record("240101 10" + minute, call, 6580 + i, 400, "point " + std::to_string(i)));
    }
    st.stations.LoadTrack(track);
    st.info.Open(call, st.info.Index(), st.info.Mode());
  }
};

TEST(InfoStepping, MoniAllVisitsOnlyTheReportsOfTheCall) {
  struct Case {
    int shown;
    InfoStepKind kind;
    bool end, found;
    int index;
  };
  const Case cases[] = {
      {7, InfoStepKind::Earlier, false, true, 3},   {7, InfoStepKind::Later, false, true, 12},
      {7, InfoStepKind::Oldest, false, true, 3},    {7, InfoStepKind::Newest, false, true, 12},
      {3, InfoStepKind::Earlier, false, false, 3},  // no earlier report: the held button goes on, nothing changes
      {12, InfoStepKind::Later, false, false, 12},  {14, InfoStepKind::Later, true, false, 14},  // the log's end
      {1, InfoStepKind::Earlier, true, false, 1},   {1, InfoStepKind::Oldest, false, false, 1},
      {14, InfoStepKind::Newest, false, false, 14},
  };
  for (const Case& c : cases) {
    Stores s;
    s.Heard(14, "QW7TK-9", {3, 7, 12});
    s.st.info.StepTo(c.shown);
    const InfoStep r = StepInfo(s.st, c.kind);
    EXPECT_EQ(r.end, c.end) << c.shown << " " << static_cast<int>(c.kind);
    EXPECT_EQ(r.found, c.found) << c.shown << " " << static_cast<int>(c.kind);
    EXPECT_EQ(r.index, c.index) << c.shown << " " << static_cast<int>(c.kind);
  }
  // A call that is the start of a longer one is compared whole.
  Stores s;
  s.Heard(5, "QW7TK", {2});
  s.HeardAt(4, Record("240101 1000", "QW7TK-9"));
  s.st.info.StepTo(2);
  EXPECT_FALSE(StepInfo(s.st, InfoStepKind::Later).found);
}

TEST(InfoStepping, MoniOneStaysWithinTheTrack) {
  Stores s;
  s.Track("QW7TK-9", 5);
  const std::pair<int, InfoStepKind> steps[] = {{1, InfoStepKind::Earlier}, {5, InfoStepKind::Later}};
  for (const auto& [shown, kind] : steps) {
    s.st.info.StepTo(shown);
    const InfoStep r = StepInfo(s.st, kind);
    EXPECT_TRUE(r.found);
    EXPECT_FALSE(r.end);
    EXPECT_EQ(r.index, shown);
  }
  s.st.info.StepTo(3);
  EXPECT_EQ(StepInfo(s.st, InfoStepKind::Earlier).index, 2);
  EXPECT_EQ(StepInfo(s.st, InfoStepKind::Later).index, 4);
  EXPECT_EQ(StepInfo(s.st, InfoStepKind::Oldest).index, 1);
  EXPECT_EQ(StepInfo(s.st, InfoStepKind::Newest).index, 5);
  EXPECT_EQ(InfoSlotRecord(s.st), s.st.stations.MoniOneTrack()[3]);
  s.st.info.StepTo(99999);  // a slot past the store shows nothing
  EXPECT_EQ(InfoSlotRecord(s.st), "");
}

TEST(InfoSearch, RadiusByResolutionAndNearestHitEitherWay) {
  const std::pair<double, double> radii[] = {{5000, 25.5}, {1000, 5.5}, {200, 1.5}, {50, 0.5}, {10, 0.5},
                                             {2, 0.5},     {125, 0.5},  {300, 1.5}, {400, 2.5}};
  for (const auto& [mpp, km] : radii) EXPECT_EQ(SearchRadiusKm(mpp), km) << mpp;

  Stores s;
  s.Heard(8, "QW7TK", {5});
  // The selected point at 6500/300 km; radius 5.5 km at 1000 m a pixel.
  s.HeardAt(2, Record("240101 1000", "NEAR1", 6505.4, 305.4));
  s.HeardAt(3, Record("240101 1000", "NEAR2", 6495, 296));
  s.HeardAt(4, Record("240101 1000", "FAR", 6505.5, 300));
  s.HeardAt(6, Record("240101 1000", "FAR2", 6500, 294.5));
  s.HeardAt(7, Record("240101 1000", "NEAR3", 6500, 300));
  s.HeardAt(8, Record("240101 1000", "NEAR4", 6501, 301));
  s.st.info.StepTo(5);
  const double r = SearchRadiusKm(1000);
  EXPECT_EQ(FindReportNearby(s.st, false, 6500, 300, r), 3);
  EXPECT_EQ(FindReportNearby(s.st, true, 6500, 300, r), 7);
  s.st.info.StepTo(3);
  EXPECT_EQ(FindReportNearby(s.st, false, 6500, 300, r), 2);
  s.st.info.StepTo(2);
  EXPECT_EQ(FindReportNearby(s.st, false, 6500, 300, r), std::nullopt);
  s.st.info.StepTo(8);  // the last slot
  EXPECT_EQ(FindReportNearby(s.st, true, 6500, 300, r), std::nullopt);
  s.st.info.StepTo(0);
  EXPECT_EQ(FindReportNearby(s.st, false, 6500, 300, r), std::nullopt);
}

TEST(InfoQuestions, TextsTitlesAndLanguages) {
  const std::string rec = Record("240517 0930", "QW7TK-9", 6580.123, 400.456);
  const auto en = DeletionQuestion(11, true, rec);
  ASSERT_TRUE(en);
  EXPECT_EQ(en->text, "DELETE ALL POSITIONS OLDER THAN THIS ONE:  " + rec.substr(0, 31) + "  ?");
  EXPECT_EQ(en->title, "ZEBLON" + std::string(28, ' ') + "DELETE OLDER POSITIONS");
  const auto de = DeletionQuestion(2, false, rec);
  ASSERT_TRUE(de);
  EXPECT_EQ(de->text, "ALLE POSITIONEN NEUER ALS DIESE L\xD6SCHEN:  " + rec.substr(0, 31) + "  ?");
  EXPECT_EQ(de->title, "ZEBLON" + std::string(24, ' ') + "NEUERE POSITIONEN L\xD6SCHEN");
  const auto sv = DeletionQuestion(13, true, rec);
  ASSERT_TRUE(sv);
  EXPECT_EQ(sv->title, "ZEBLON" + std::string(25, ' ') + "RADERA \xC4LDRE POSITIONER");
  EXPECT_FALSE(DeletionQuestion(14, true, rec));
  EXPECT_FALSE(DeletionQuestion(10, false, rec));

  EXPECT_EQ(RetransmitQuestion(1)->title, "ZEBLON          RETRANSMIT STATION'S POSITION");
  EXPECT_EQ(RetransmitQuestion(12)->text, "WILLST DU DIESE STATIONSPOSITION JETZT WIEDERAUSSENDEN ?");
  EXPECT_EQ(RetransmitQuestion(3)->title, "ZEBLON          \xC5TERUTS\xC4NDA STATIONSPOSITION");
  EXPECT_FALSE(RetransmitQuestion(0));
  EXPECT_EQ(MoniOneQuestion("QW7TK-9").text, "SET  QW7TK-9  >  MONI 1  ?");

  // The record line doubles "&"; the record comes back whole.
  for (const std::string t : {"a&b", "&&", "x&&&y&", ""}) EXPECT_EQ(RecordOfLabelText(reception::LabelText(t)), t);
}

class TrackDeletion : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("zeblon_info_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "LOG");
    s_.st.settings.dataFolder = folder_;
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::vector<std::string> FileLines(const std::string& call) {
    std::string b;
    ReadWholeFile(reception::MoniOneLogPath(folder_, call), b);
    auto lines = SplitLines(b);
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
  }
  fs::path folder_;
  Stores s_;
};

TEST_F(TrackDeletion, OlderAndNewerPositionsGoFromTrackAndFile) {
  for (const bool older : {true, false}) {
    s_.Track("QW7TK-9", 10);
    s_.st.info.StepTo(4);
    const auto before = s_.st.stations.MoniOneTrack();
    ASSERT_TRUE(DeleteTrackPositions(s_.st, older));
    const int kept = older ? 7 : 4;
    ASSERT_EQ(s_.st.stations.MoniOneCount(), kept);
    EXPECT_EQ(s_.st.info.Index(), kept);
    const auto lines = FileLines("QW7TK-9");
    ASSERT_EQ(static_cast<int>(lines.size()), kept);
    for (int i = 1; i <= kept; ++i) {
      const std::string& was = before[static_cast<std::size_t>(older ? i + 3 : i)];
      EXPECT_EQ(s_.st.stations.MoniOneTrack()[i], was) << i;
      EXPECT_EQ(lines[static_cast<std::size_t>(i - 1)], TrimRight(was));
    }
    for (int i = kept + 1; i <= 10; ++i) EXPECT_EQ(s_.st.stations.MoniOneTrack()[i], reception::BlankRecord());
  }
  // Nothing to delete: the file is still written anew from the track.
  s_.Track("QW7TK-9", 3);
  s_.st.info.StepTo(1);
  ASSERT_TRUE(DeleteTrackPositions(s_.st, true));
  EXPECT_EQ(s_.st.stations.MoniOneCount(), 3);
  EXPECT_EQ(FileLines("QW7TK-9").size(), 3u);
}

TEST_F(TrackDeletion, AnEmptyTrackStaysEmpty) {
  for (const bool older : {true, false}) {
    s_.Track("QW7TK-9", 0);
    s_.st.info.StepTo(0);
    ASSERT_TRUE(DeleteTrackPositions(s_.st, older));
    EXPECT_EQ(s_.st.stations.MoniOneCount(), 0);
    EXPECT_TRUE(FileLines("QW7TK-9").empty());
  }
}

TEST_F(TrackDeletion, TheReadBackTakesEveryLineWhateverItsLength) {
  // A track record cut short (an old log's line of fewer than 103 characters).
  s_.Track("QW7TK-9", 3);
  const std::string cut = s_.st.stations.MoniOneTrack()[2].substr(0, 45);
  ASSERT_EQ(TrimRight(cut).size(), 45u);
  std::vector<std::string> track(s_.st.stations.TrackRecords().begin(), s_.st.stations.TrackRecords().end());
  track[1] = reception::ToSlot(cut);
  s_.st.stations.LoadTrack(track);
  s_.st.info.StepTo(3);
  ASSERT_TRUE(DeleteTrackPositions(s_.st, false));
  ASSERT_EQ(s_.st.stations.MoniOneCount(), 3);
  EXPECT_EQ(s_.st.stations.MoniOneTrack()[2], reception::ToSlot(cut));
  EXPECT_EQ(FileLines("QW7TK-9")[1], cut);
}

TEST_F(TrackDeletion, AFailedWriteLeavesTrackAndFileAsTheyWere) {
  s_.Track("QW7TK-9", 10);
  ASSERT_TRUE(reception::RewriteMoniOneLog(s_.st));
  const auto lines = FileLines("QW7TK-9");
  const auto track = s_.st.stations.MoniOneTrack();
  s_.st.info.StepTo(4);
  std::string error;
  {
    testing_support::FileSizeLimit full(100);  // the disk is full
    ASSERT_TRUE(full.set());
    EXPECT_FALSE(DeleteTrackPositions(s_.st, true, &error));
  }
  EXPECT_NE(error.find("CANNOT WRITE"), std::string::npos);
  EXPECT_EQ(s_.st.stations.MoniOneCount(), 10);
  EXPECT_EQ(s_.st.stations.MoniOneTrack(), track);
  EXPECT_EQ(FileLines("QW7TK-9"), lines);
  EXPECT_EQ(s_.st.info.Index(), 4);
}

TEST_F(TrackDeletion, ACallFromTheAirStaysInsideLog) {
  const std::string call = "../../X";
  s_.Track(call, 4);
  s_.st.info.StepTo(2);
  ASSERT_TRUE(DeleteTrackPositions(s_.st, true));
  EXPECT_EQ(s_.st.stations.MoniOneCount(), 3);
  const fs::path written = reception::MoniOneLogPath(folder_, call);
  EXPECT_EQ(written.parent_path(), folder_ / "LOG");
  EXPECT_TRUE(fs::exists(written));
  EXPECT_FALSE(fs::exists(folder_.parent_path() / "X.TXT"));
}

// The retransmitted report.
RetransmitContext Context() {
  RetransmitContext c;
  c.userCall = "SM5XYZ";
  c.txCall = " SM5XYZ-1 ";
  c.now = {2024, 5, 17, 12, 0, 0};
  c.utcOffsetHours = 2;
  return c;
}

TEST(Retransmission, FieldsTimeAndPosition) {
  // 59 deg 30.12 N, 18 deg 3.45 E in zone 33 km.
  const double north = 6599.7417, east = 674.3045;
  const std::string comment = "hello & more";
  const std::string rec = Record("240517 0130", "AB1CD-9", north, east, comment, "/>");
  const auto field = RetransmittedReport(rec, Context());
  ASSERT_TRUE(field);
  // The local stamp 17th 01:30 at UTC+2 is 16th 23:30 UTC.
  const std::string head = "}AB1CD-9>ZEBLRE,SM5XYZ-1*:/162330z";
  ASSERT_EQ(field->substr(0, head.size()), head);
  const std::string pos = field->substr(head.size(), 19);
  EXPECT_EQ(pos.substr(8, 1), "/");
  EXPECT_EQ(pos.substr(18, 1), ">");
  EXPECT_EQ(pos[7], 'N');
  EXPECT_EQ(pos[17], 'E');
  // No overlay: the code, the overlay column's blank, the separating blank, then
  // the 47 columns of the comment with their trailing blanks.
  EXPECT_EQ(field->substr(head.size() + 19), "  " + comment + std::string(47 - comment.size(), ' '));
  // The "&" of a comment changes nothing but the comment.
  const auto plain =
      RetransmittedReport(Record("240517 0130", "AB1CD-9", north, east, "hello x more", "/>"), Context());
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->substr(0, head.size() + 21), field->substr(0, head.size() + 21));

  // A report of an earlier month: "!" without time (the 28th seen on the 3rd).
  RetransmitContext c = Context();
  c.now = {2024, 6, 3, 9, 0, 0};
  const auto old = RetransmittedReport(Record("240528 1200", "AB1CD-9", north, east), c);
  ASSERT_TRUE(old);
  EXPECT_EQ(old->substr(0, 27), "}AB1CD-9>ZEBLRE,SM5XYZ-1*:!");
  EXPECT_EQ(old->size(), 27u + 19 + 1 + 47 + 1);
  // An object's name is the inner source; an overlay follows the code.
  const auto obj = RetransmittedReport(Record("240517 1200", "OBJNAME", north, east, "x", "\\#5"), Context());
  ASSERT_TRUE(obj);
  EXPECT_EQ(obj->substr(0, 34), "}OBJNAME>ZEBLRE,SM5XYZ-1*:/171000z");
  EXPECT_EQ(obj->substr(34 + 8, 1), "\\");
  EXPECT_EQ(obj->substr(34 + 18, 3), "#5 ");
  // Refusals: no user call, a text too short for a call.
  c = Context();
  c.userCall = "  ";
  EXPECT_FALSE(RetransmittedReport(rec, c));
  EXPECT_FALSE(RetransmittedReport(rec.substr(0, 32), Context()));
  // A stamp that is not a date goes without time.
  std::string nodate = rec;
  nodate.replace(0, 11, "           ");
  EXPECT_EQ(RetransmittedReport(nodate, Context())->substr(26, 1), "!");
  // A track record read back from its log file may hold any byte: none below 32
  // reaches the air (a CR would end the TNC's frame, an ESC start a command).
  const std::string oddCall = std::string("AB") + '\x1B' + "CD";
  const std::string oddComment = std::string("a\rb") + '\x03' + "c";
  const auto odd = RetransmittedReport(Record("240517 0130", oddCall, north, east, oddComment), Context());
  ASSERT_TRUE(odd);
  for (char ch : *odd) EXPECT_FALSE(static_cast<unsigned char>(ch) < 32 || ch == 127) << *odd;
  EXPECT_NE(odd->find("a_b_c"), std::string::npos) << *odd;
}

TEST(RawLine, StartThenSecondCharacterThenRelayed) {
  const std::vector<std::string> lines = {
      "",
      "QW7TK>APRS,WIDE1-1 <UI>:",
      "xQW7TK>APRS <UI>:",
      "QW7TK-9>APRS <UI>:",
      "}QW7TK>APRS <UI>:",
      "AB1CD>APRS <UI>:",
      "}ZZ1ZZ>APRS,QW7TK <UI>:",
  };
  EXPECT_EQ(FindRawLine(lines, "QW7TK"), 3);  // the same call with an SSID starts the text too
  EXPECT_EQ(FindRawLine(lines, "QW7TK-9"), 3);
  EXPECT_EQ(FindRawLine({"", "xQW7TK <UI>:", "}QW7TK"}, "QW7TK"), 2);  // second character: the relayed line
  EXPECT_EQ(FindRawLine({"", "}ZZ1ZZ>APRS,QW7TK <UI>:", "AB1CD"}, "QW7TK"), 1);
  EXPECT_EQ(FindRawLine(lines, "NONE"), -1);
  EXPECT_EQ(FindRawLine(lines, ""), -1);
}

}  // namespace
}  // namespace zeblon::panels
