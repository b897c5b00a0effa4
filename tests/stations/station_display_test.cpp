// The plain rules of the station display: record fields, ages and colours,
// the drawing order, the filters and levels with the alarm switches, and the
// MONI 1 read-outs and smart-log removal.
#include "stations/station_display.h"

#include <gtest/gtest.h>

#include "reception/station_record.h"

namespace zeblon::stations {
namespace {

using reception::BlankRecord;
using reception::LocalTime;
using reception::WriteAt;

std::string Record(const std::string& date, const std::string& time, const std::string& call,
                   const std::string& symbol = "/>", const std::string& via = "") {
  std::string r = BlankRecord();
  WriteAt(r, 1, date);
  WriteAt(r, 8, time);
  WriteAt(r, 33, call);
  WriteAt(r, 91, via);
  WriteAt(r, 101, symbol);
  return r;
}

TEST(RecordView, FieldsByColumn) {
  std::string r = Record("240517", "1432", "SM5ABC-9", "\\#D", "SM5DIG");
  WriteAt(r, 12, "T");
  WriteAt(r, 13, "\xFE 6543.210  672.319'");
  WriteAt(r, 42, "!");
  WriteAt(r, 43, "  hello  ");
  WriteAt(r, 90, "_");
  const RecordView v(r);
  EXPECT_EQ(v.Date(), "240517");
  EXPECT_EQ(v.Time(), "1432");
  EXPECT_TRUE(v.Stamped());
  EXPECT_DOUBLE_EQ(v.NorthKm(), 6543.210);
  EXPECT_DOUBLE_EQ(v.EastKm(), 672.319);
  EXPECT_TRUE(v.Messaging());
  EXPECT_EQ(v.Call(), "SM5ABC-9");
  EXPECT_TRUE(v.Emergency());
  EXPECT_EQ(v.Comment(), "hello");
  EXPECT_TRUE(v.IsObject());
  EXPECT_EQ(v.Via(), "SM5DIG");
  EXPECT_EQ(v.Symbol(), "\\#D");
  EXPECT_FALSE(v.ViaFromInternet());
  EXPECT_TRUE(RecordView(Record("", "", "", "", "tcpip")).ViaFromInternet());
  EXPECT_TRUE(RecordView(BlankRecord()).AllBlank());
}

TEST(StationColours, AgesAndGreys) {
  const LocalTime now{2024, 5, 17, 14, 32, 0};
  struct Case {
    const char* date;
    const char* time;
    long age;
    int grey;
  };
  const Case cases[] = {
      {"240517", "1432", 0, 255},  {"240517", "1332", 60, 195},  {"240517", "1017", 255, 0},
      {"240516", "1432", 1440, 0}, {"240517", "1500", -28, 255}, {"231231", "2359", 198153, 0},
  };
  for (const auto& c : cases) {
    const std::string r = Record(c.date, c.time, "X");
    EXPECT_EQ(AgeMinutes(RecordView(r), now), c.age) << c.date << " " << c.time;
    EXPECT_EQ(GreyByAge(RecordView(r), now), (Rgb{c.grey, c.grey, c.grey})) << c.date << " " << c.time;
  }
  // Not a date: no age, drawn as the oldest.
  for (const char* bad : {"241317", "2405xx", "      ", "240230"}) {
    const std::string r = Record(bad, "1200", "X");
    EXPECT_FALSE(AgeMinutes(RecordView(r), now)) << bad;
    EXPECT_EQ(GreyByAge(RecordView(r), now), (Rgb{0, 0, 0}));
  }
  EXPECT_FALSE(AgeMinutes(RecordView(Record("240517", "2561", "X")), now));
}

TEST(StationColours, MoniOneTrackByAgeKindAndLevel) {
  const LocalTime now{2024, 5, 17, 14, 32, 0};
  auto colour = [&](const char* time, const char* symbol, bool stamped, int level) {
    std::string r = Record("240517", time, "X", symbol);
    if (stamped) WriteAt(r, 12, "T");
    return MoniOneTrackColour(RecordView(r), level, now);
  };
  EXPECT_EQ(colour("1333", "/>", false, 2), kTrackColourRecent);  // 59 minutes
  EXPECT_EQ(colour("1332", "/>", false, 2), kTrackColourHours);   // 60
  EXPECT_EQ(colour("0833", "/>", false, 3), kTrackColourHours);   // 359
  EXPECT_EQ(colour("0832", "/>", false, 5), kTrackColourOld);     // 360
  EXPECT_EQ(colour("0832", "/>", false, 1), kTrackColourRecent);  // level 1 and 4: one colour
  EXPECT_EQ(colour("0832", "/>", true, 4), kTrackColourRecent);
  EXPECT_EQ(colour("1422", "/[", false, 6), kTrackColourPedestrian);
  EXPECT_EQ(colour("1422", "\\,", false, 2), kTrackColourPedestrian);
  EXPECT_EQ(colour("1422", "/[", true, 6), kTrackColourStamped);
  EXPECT_EQ(MoniOneTrackColour(RecordView(Record("xx", "1422", "X")), 2, now), kTrackColourOld);
}

TEST(StationClasses, SymbolRowsAndFilterBits) {
  const reception::SymbolTable& t = reception::StandardSymbolTable();
  EXPECT_EQ(StationClassOf(RecordView(Record("", "", "A", "/>")), t), 0);
  EXPECT_EQ(StationClassOf(RecordView(Record("", "", "A", "/-")), t), 1);
  EXPECT_EQ(StationClassOf(RecordView(Record("", "", "A", "/#")), t), 2);
  EXPECT_EQ(StationClassOf(RecordView(Record("", "", "A", "/_")), t), 4);
  std::string object = Record("", "", "A", "/>");
  WriteAt(object, 90, "_");
  EXPECT_EQ(StationClassOf(RecordView(object), t), 3);
  // Blank, short and out-of-range symbols take the fill row: "No Symbol", fixed.
  for (const char* s : {"", "/", "\x01\x01", "\xff~", "\x7f\x7f"}) {
    int index = -1;
    EXPECT_EQ(SymbolRowOf(s, t, &index), reception::kNoSymbolRow) << s;
    EXPECT_TRUE(index == 0 || (index >= 195 && index <= 200)) << s;
  }
  const int bits[] = {4, 2, 1, 8, 16};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(FilterBitOf(c), bits[c]);
}

TEST(DrawingOrder, NewestReportLast) {
  std::vector<std::string> log(8, BlankRecord());
  const char* calls[] = {"", "A", "B", "A", "C", "", "B"};
  for (int i = 1; i <= 6; ++i) log[i] = Record("240517", "1200", calls[i]);
  EXPECT_EQ(DrawingOrder(log, 6), (std::vector<std::string>{"A", "C", "B"}));
  EXPECT_EQ(DrawingOrder(log, 3), (std::vector<std::string>{"B", "A"}));
  EXPECT_TRUE(DrawingOrder(log, 0).empty());
  EXPECT_EQ(DrawingOrder(log, 99).size(), 3u);  // a count beyond the log is held to it
}

TEST(StationSwitches, ClassBoxesAndAlarmAvailability) {
  StationSwitches s;
  s.SetMoniAllAlarm(true);
  EXPECT_TRUE(s.MoniOneAlarmOn());
  EXPECT_EQ(s.SetClassShown(2, false).alarmCaption, AlarmCaption::Red);
  EXPECT_EQ(s.FilterMask(), 30);
  s.SetClassShown(1, false);
  s.SetClassShown(3, false);
  s.SetClassShown(4, false);
  EXPECT_EQ(s.FilterMask(), 4);
  EXPECT_TRUE(s.MoniAllAlarmOn());
  s.PressMobile();  // 1 -> 2
  EXPECT_EQ(s.MobileFilter(), 2);
  EXPECT_EQ(s.PressMobile().alarmCaption, AlarmCaption::DarkRed);  // 2 -> 0: nothing shown
  EXPECT_EQ(s.FilterMask(), 0);
  EXPECT_FALSE(s.MoniAllAlarmOn());
  EXPECT_EQ(s.PressMobile().alarmCaption, AlarmCaption::Red);  // 0 -> 1, level 2
  EXPECT_EQ(s.FilterMask(), 4);
  while (s.Level() > 0) s.LevelDown();
  EXPECT_EQ(s.SetClassShown(2, true).alarmCaption, AlarmCaption::Unchanged);  // level 0
}

TEST(StationSwitches, LevelsUpToWxAndDown) {
  StationSwitches s;
  std::vector<std::string> captions;
  for (int i = 0; i < 5; ++i) {
    s.LevelUp();
    captions.push_back(s.LevelCaption());
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"3", "4", "5", "WX", "WX"}));
  EXPECT_EQ(s.Level(), 1);
  EXPECT_TRUE(s.WxLevel());
  // At "WX" the weather box stays ticked.
  s.SetClassShown(4, false);
  bool ticked = false;
  s.SetClassShown(4, false, &ticked);
  EXPECT_TRUE(ticked);
  EXPECT_TRUE(s.ClassShown(4));
  s.LevelDown();
  EXPECT_EQ(s.LevelCaption(), "5");
  s.SetMoniAllAlarm(true);
  for (int i = 0; i < 6; ++i) s.LevelDown();
  EXPECT_EQ(s.LevelCaption(), "0");
  EXPECT_FALSE(s.MoniAllAlarmOn());
  EXPECT_TRUE(s.MoniOneAlarmOn());
  // From 0 with a weather box unticked, "WX" ticks it again.
  s.SetClassShown(4, false);
  for (int i = 0; i < 6; ++i) s.LevelUp();
  EXPECT_TRUE(s.ClassShown(4));
}

TEST(StationSwitches, AlarmBoxesAndDistance) {
  StationSwitches s;
  s.SetMoniOneAlarm(false);
  s.SetMoniAllAlarm(true);
  EXPECT_TRUE(s.MoniOneAlarmOn());
  s.SetMoniAllAlarm(false);
  EXPECT_TRUE(s.MoniOneAlarmOn());
  s.SetMoniAllAlarm(true);
  s.SetMoniOneAlarm(false);
  EXPECT_FALSE(s.MoniAllAlarmOn());
  const std::pair<const char*, int> cases[] = {{"0", 1}, {"250", 100}, {"12.5", 12},   {"13.5", 14}, {"abc", 1},
                                               {"", 1},  {"-7", 1},    {"1e300", 100}, {" 42 ", 42}, {"99.5", 100}};
  for (const auto& [text, km] : cases) EXPECT_EQ(StationSwitches::AlarmDistanceFromText(text), km) << text;
  for (int i = 0; i < 9; ++i) s.MoniOneLevelUp();
  EXPECT_EQ(s.MoniOneLevel(), 6);
  for (int i = 0; i < 9; ++i) s.MoniOneLevelDown();
  EXPECT_EQ(s.MoniOneLevel(), 1);
}

TEST(MoniOne, StampedRecordsRemovedAndReadouts) {
  reception::ReceptionState st;
  std::vector<std::string> track;
  for (int i = 1; i <= 5; ++i) {
    track.push_back(Record("240517", "120" + std::to_string(i), "W"));
    if (i == 1 || i == 3 || i == 4) WriteAt(track.back(), 12, "T");
  }
  st.stations.LoadTrack(track);
  st.stations.RemoveStamped();
  ASSERT_EQ(st.stations.MoniOneCount(), 2);
  EXPECT_EQ(RecordView(st.stations.MoniOneTrack()[1]).Time(), "1202");
  EXPECT_EQ(RecordView(st.stations.MoniOneTrack()[2]).Time(), "1205");
  EXPECT_TRUE(RecordView(st.stations.MoniOneTrack()[3]).AllBlank());

  st.settings.moniOneCall = "SM5ABCDEF-15";
  reception::MoniOneNewest newest;
  newest.date = "240517";
  newest.time = "1432";
  newest.comment = "A&B";
  st.stations.SetNewest(newest);
  const MoniOneReadouts r = MoniOneReadoutsOf(st);
  EXPECT_EQ(r.call, "SM5ABCDEF");
  EXPECT_EQ(r.count, "2");
  EXPECT_EQ(r.stamp, "2024-05-17 1432");
  EXPECT_EQ(r.text, "TEXT: A&&B");
  st.stations.LoadTrack({});
  EXPECT_EQ(MoniOneReadoutsOf(st).stamp, "");
}

}  // namespace
}  // namespace zeblon::stations
