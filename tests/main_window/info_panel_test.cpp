// The station INFO panel in the main window, fed by the real receive pass:
// opening it on a station, stepping through its reports, the refresh when a new
// report of it comes in, MAP, the weather window and its WX button, the search at
// the selected place, the deletion of the watched station's older and newer
// positions in the track and its log file, MONI1, PING, CHAT, RAW, the record
// line's retransmission question, the MONI 1 labels and their frames widening
// under the mouse; screenshots of the panel, of the panel on a weather station
// with the WX STATION window, of a widened MONI 1 comment and of the EMERGENCY window. The
// retransmitted report goes out through the packet engine (direwolf) and
// decode_aprs reads the heard station's report from it.
#include <QMouseEvent>
#include <QTemporaryDir>
#include <memory>
#include <regex>

#include "geodesy/text.h"
#include "links/own_beacon.h"
#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "map/map_service.h"
#include "panels/station_info.h"
#include "platform/process.h"
#include "reception/receive_pass.h"
#include "tests/support/direwolf.h"
#include "tests/support/file_faults.h"
#include "tests/support/one_frame.h"
#include "tests/support/program_folder.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;
using platform::MsgResult;

class InfoPanelTest : public testing_support::ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    Ini("MODEM=4\r\n");
  }
  void TearDown() override {
    platform::SetMessageResponder(nullptr);
    form_.reset();
    ProgramFolderTest::TearDown();
  }
  void Ini(const std::string& extra) {
    Write("ZEBLON.INI", "TEMP=" + folder_.string() +
                            "\r\nUSER=SM5XYZ\r\nMSYS=U33\r\nLANG=11\r\nUTN=6600\r\nUTE=670\r\nUUN=6600\r\nUUE=670\r\n"
                            "CALL=QW7TK-9\r\nNOAT=1\r\nWVER=WIN10\r\n" +
                            extra);
  }
  void Start() {
    form_ = std::make_unique<Form1>();
    form_->SetRadioLink(std::make_unique<links::LiveRadioLink>());
    form_->show();
    PumpUntil([&] { return form_->Map().state().MapDrawnOnce == 1; });
    ASSERT_EQ(form_->Map().state().MapDrawnOnce, 1);
    fs::create_directories(form_->Reception().settings.dataFolder / "LOG");
  }
  // One receive pass over a frame as the TNC hands it over.
  void Frame(const std::string& header, const std::string& payload) {
    testing_support::RunOneFrame(*form_, header, payload);
  }
  // A plain position report of `call` at 59 deg `latMin` N, 18 deg `lonMin` E.
  void Heard(const std::string& call, const std::string& latMin, const std::string& lonMin, const std::string& comment,
             const std::string& symbol = "/>") {
    Frame(call + "*>APRS",
          "!59" + latMin + "N" + symbol.substr(0, 1) + "018" + lonMin + "E" + symbol.substr(1) + comment);
  }
  std::string Shown() { return form_->RecordLine().Caption(); }
  std::string Comment(const std::string& record) { return reception::TrimmedColumns(record, 43, 89); }
  std::vector<std::string> LogLines(const std::string& call) {
    std::string b;
    ReadWholeFile(reception::MoniOneLogPath(form_->Reception().settings.dataFolder, call), b);
    auto lines = SplitLines(b);
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
  }
  map::MapState& MapCore() { return form_->Map().mutable_state(); }
  // Mouse events as the user makes them.
  static void Press(QWidget* w, Qt::MouseButton b) {
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), b, b, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }
  static void Release(QWidget* w, Qt::MouseButton b) {
    QMouseEvent e(QEvent::MouseButtonRelease, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), b, Qt::NoButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }
  // A click of a stepping button: its release comes during the first wait.
  void Step(platform::CommandButton* b, bool back) {
    QTimer::singleShot(0, [b] { b->OnMouseUp(1); });
    back ? form_->Info().StepEarlierWhileHeld(1) : form_->Info().StepLaterWhileHeld(1);
  }
  void Screenshot(const std::string& name) {
    const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "artefacts";
    fs::create_directories(dir);
    ASSERT_TRUE(form_->grab().save(QString::fromStdString((dir / name).string()), "PNG"));
  }

  std::unique_ptr<Form1> form_;
};

TEST_F(InfoPanelTest, AStationsReportsSteppedRefreshedAndTheMapTiedToThem) {
  Start();
  Heard("AB1CD", "30.00", "00.00", "first");
  Heard("ZZ9ZZ", "31.00", "01.00", "other");
  Heard("AB1CD", "30.50", "00.50", "second");
  Heard("AB1CD-9", "32.00", "02.00", "longer call");
  Heard("AB1CD", "31.50", "01.50", "third");
  const reception::ReceptionState& st = form_->Reception();
  ASSERT_EQ(st.stations.MoniAllCount(), 5);

  ASSERT_TRUE(form_->ShowStationInfo("AB1CD"));
  EXPECT_FALSE(form_->ShowStationInfo("NOSUCH"));
  panels::InfoPanel& p = form_->InfoFrame();
  EXPECT_FALSE(p.isHidden());
  EXPECT_EQ(p.Caption(), "AB1CD");
  EXPECT_EQ(p.Command18->Caption(), "<");
  EXPECT_EQ(p.Label19->Caption(), "QTH=");
  EXPECT_EQ(p.Command19->Caption(), ">");
  EXPECT_EQ(st.info.Index(), 5);
  EXPECT_EQ(Shown(), st.stations.MoniAll()[5]);
  EXPECT_FALSE(p.Command20->isEnabled());
  Screenshot("info_panel_station.png");

  // Back and forth over the reports of the call only; the ends change nothing.
  Step(p.Command5, true);
  EXPECT_EQ(Comment(Shown()), "second");
  Step(p.Command5, true);
  EXPECT_EQ(Comment(Shown()), "first");
  Step(p.Command5, true);
  EXPECT_EQ(st.info.Index(), 1);
  EXPECT_TRUE(form_->Timer1->isActive());  // the main cycle runs again after every step
  p.Command37->click();
  EXPECT_EQ(Comment(Shown()), "third");
  Step(p.Command6, false);
  EXPECT_EQ(st.info.Index(), 5);
  p.Command36->click();
  EXPECT_EQ(Comment(Shown()), "first");
  Step(p.Command6, false);
  EXPECT_EQ(Comment(Shown()), "second");

  // ">" held on the newest report: the log's end stops it at once, released or not.
  p.Command37->click();
  form_->Timer1->stop();
  form_->Info().StepLaterWhileHeld(1);
  EXPECT_EQ(Comment(Shown()), "third");
  EXPECT_TRUE(form_->Timer1->isActive());
  p.Command36->click();
  Step(p.Command6, false);

  // MAP ties the map to the shown report, and every step moves it along.
  p.Command12->OnMouseDown(1);
  EXPECT_EQ(p.Command12->Caption(), "MAP L");
  EXPECT_EQ(form_->Map().state().CentreMode, 0);
  EXPECT_EQ(form_->CurrentSettings().CentreNorth, LeadingNumber(reception::Columns(st.stations.MoniAll()[3], 14, 22)));
  p.Command37->click();
  EXPECT_EQ(form_->CurrentSettings().CentreNorth, LeadingNumber(reception::Columns(st.stations.MoniAll()[5], 14, 22)));
  EXPECT_EQ(form_->CurrentSettings().CentreEast, LeadingNumber(reception::Columns(st.stations.MoniAll()[5], 23, 31)));
  // The right button: the next finer scale, from the finest back to the coarsest.
  const double scales[] = {1000, 200, 50, 10, 2, 5000};
  form_->Map().SetScale(5000);
  for (double s : scales) {
    p.Command12->OnMouseDown(2);
    EXPECT_EQ(form_->Map().state().MapScale, s);
    EXPECT_EQ(form_->Map().state().ZoomFactor, 1);
  }

  // A new report of the shown station comes in: the panel shows it.
  Heard("AB1CD", "33.00", "03.00", "fourth & last");
  EXPECT_EQ(st.info.Index(), 6);
  EXPECT_EQ(Shown(), st.stations.MoniAll()[6]);  // the record line shows "&" as it is
  EXPECT_EQ(Comment(Shown()), "fourth & last");

  // Closing (here by the PIC box, which closes the panel first): the call goes,
  // the map is untied.
  static_cast<platform::CheckBox*>(platform::FindControl(*form_, "Check12"))->click();
  EXPECT_TRUE(p.isHidden());
  EXPECT_TRUE(st.info.Call().empty());
  EXPECT_FALSE(st.info.Visible());
  EXPECT_EQ(p.Command12->Caption(), "MAP");
  Heard("AB1CD", "34.00", "04.00", "fifth");
  EXPECT_EQ(Comment(Shown()), "fourth & last");  // a closed panel is left alone
}

// The window closed while a stepping button is held: the step ends with the
// window, whose main cycle stays off (the links are closed by then).
TEST_F(InfoPanelTest, AHeldStepEndsWithTheWindowAndLeavesItsCycleOff) {
  Start();
  Heard("AB1CD", "30.00", "00.00", "first");
  Heard("AB1CD", "30.50", "00.50", "second");
  Heard("AB1CD", "31.00", "01.00", "third");
  ASSERT_TRUE(form_->ShowStationInfo("AB1CD"));
  form_->InfoFrame().Command12->OnMouseDown(1);  // tied to the map: every step ends by drawing it
  QTimer::singleShot(0, [&] { form_->CloseByUser(); });
  form_->Info().StepEarlierWhileHeld(1);  // held, never released
  ASSERT_TRUE(form_->ShutdownDone());
  EXPECT_EQ(Comment(Shown()), "second");
  EXPECT_FALSE(form_->Timer1->isActive());
}

TEST_F(InfoPanelTest, WeatherStationOpensTheWxWindowUntilTheUserClosesIt) {
  Start();
  Frame("WX1ABC*>APRS", "!5930.00N/01800.00E_090/005g010t068r000p000P000h50b10150");
  Frame("WX1ABC*>APRS", "!5930.10N/01800.10E_180/010g015t041r001p002P003h80b10080");
  ASSERT_TRUE(form_->ShowStationInfo("WX1ABC"));
  panels::WxStationPanel& wx = form_->WxStation();
  EXPECT_FALSE(wx.isHidden());
  EXPECT_TRUE(form_->InfoFrame().Command20->isEnabled());
  EXPECT_EQ(wx.Caption().substr(0, 20), "WX STATION  WX1ABC  ");
  Screenshot("info_panel_weather_station.png");

  wx.Command15->click();  // the user closes it
  EXPECT_TRUE(wx.isHidden());
  Step(form_->InfoFrame().Command5, true);
  EXPECT_EQ(form_->Reception().info.Index(), 1);
  EXPECT_TRUE(wx.isHidden());  // stays closed while stepping
  form_->InfoFrame().Command20->click();
  EXPECT_FALSE(wx.isHidden());
  EXPECT_EQ(form_->Reception().info.Record(), form_->HeardStations().MoniAll()[1]);

  // A station that is not a weather station closes it and disables WX.
  Heard("AB1CD", "30.00", "00.00", "car");
  ASSERT_TRUE(form_->ShowStationInfo("AB1CD"));
  EXPECT_TRUE(wx.isHidden());
  EXPECT_FALSE(form_->InfoFrame().Command20->isEnabled());
  form_->InfoFrame().Command10->click();
  EXPECT_TRUE(wx.isHidden());
}

TEST_F(InfoPanelTest, SearchAtTheSelectedPlaceLooksThroughEveryStation) {
  Start();
  Heard("AB1CD", "30.00", "00.00", "start");
  Heard("NEAR1", "30.20", "00.20", "near before");
  Heard("FAR1", "50.00", "40.00", "far");
  Heard("AB1CD", "45.00", "20.00", "shown");
  Heard("NEAR2", "29.90", "00.10", "near after", "/-");
  const reception::ReceptionState& st = form_->Reception();
  ASSERT_EQ(st.stations.MoniAllCount(), 5);
  ASSERT_TRUE(form_->ShowStationInfo("AB1CD"));
  ASSERT_EQ(st.info.Index(), 4);
  // The selected point at the first report; 1000 m a pixel: 5.5 km around it.
  MapCore().SelectedNorth = LeadingNumber(reception::Columns(st.stations.MoniAll()[1], 14, 22));
  MapCore().SelectedEast = LeadingNumber(reception::Columns(st.stations.MoniAll()[1], 23, 31));
  MapCore().MetresPerPixel = 1000;
  panels::InfoPanel& p = form_->InfoFrame();
  p.Command19->click();
  EXPECT_EQ(st.info.Index(), 5);
  EXPECT_EQ(Comment(Shown()), "near after");
  EXPECT_EQ(p.Caption(), "AB1CD");  // the title keeps the call
  p.Command19->click();             // nothing later
  EXPECT_EQ(st.info.Index(), 5);
  p.Command18->click();
  EXPECT_EQ(Comment(Shown()), "near before");
  EXPECT_EQ(st.info.Record(), st.stations.MoniAll()[2]);
  p.Command18->click();
  EXPECT_EQ(Comment(Shown()), "start");
  p.Command18->click();
  EXPECT_EQ(st.info.Index(), 1);
  // Stepping goes on with the reports of the panel's call.
  p.Command37->click();
  EXPECT_EQ(Comment(Shown()), "shown");
}

TEST_F(InfoPanelTest, DeletingOlderAndNewerPositionsOfTheWatchedStation) {
  Start();
  const reception::ReceptionState& st = form_->Reception();
  const char* mins[] = {"30.00", "30.50", "31.00", "31.50", "32.00", "32.50"};
  for (int i = 0; i < 6; ++i) Heard("QW7TK-9", mins[i], mins[i], "point " + std::to_string(i + 1));
  ASSERT_EQ(st.stations.MoniOneCount(), 6);
  ASSERT_EQ(LogLines("QW7TK-9").size(), 6u);

  form_->ShowMoniOneInfo();
  panels::InfoPanel& p = form_->InfoFrame();
  EXPECT_EQ(p.Caption(), "QW7TK-9");
  EXPECT_EQ(p.Command18->Caption(), "<X");
  EXPECT_EQ(p.Label19->Caption(), "DELETE");
  EXPECT_EQ(p.Command19->Caption(), "X>");
  EXPECT_EQ(st.info.Index(), 6);
  // "<" held: it steps again and again until the release, never below the first slot.
  int reads = 0;
  double t = 0;
  platform::SetWaitClock([&] {
    if (++reads == 60) p.Command5->OnMouseUp(1);
    return t += 0.25;
  });
  form_->Info().StepEarlierWhileHeld(1);
  EXPECT_EQ(st.info.Index(), 1);
  EXPECT_EQ(Comment(Shown()), "point 1");
  EXPECT_GE(reads, 60);
  platform::SetWaitClock([t = 0.0]() mutable { return t += 0.25; });
  p.Command37->click();
  Step(p.Command5, true);
  Step(p.Command5, true);
  ASSERT_EQ(st.info.Index(), 4);
  const std::string shown = st.stations.MoniOneTrack()[4];

  // No (the default: a hasty Enter deletes nothing) leaves everything.
  const auto track = st.stations.MoniOneTrack();
  p.Command18->click();
  ASSERT_EQ(platform::MessageLog().size(), 1u);
  const platform::MessageRecord& box = platform::MessageLog()[0];
  EXPECT_EQ(box.text, "DELETE ALL POSITIONS OLDER THAN THIS ONE:  " + shown.substr(0, 31) + "  ?");
  EXPECT_EQ(box.title, "ZEBLON                            DELETE OLDER POSITIONS");
  EXPECT_EQ(box.buttons, platform::MsgButtons::YesNo);
  EXPECT_EQ(box.defaultButton, 2);
  EXPECT_EQ(st.stations.MoniOneTrack(), track);
  EXPECT_FALSE(p.isHidden());
  EXPECT_TRUE(form_->Timer1->isActive());

  // Yes: the older positions go from the track and the file; the panel closes.
  platform::SetMessageResponder([](const platform::MessageRecord&) { return MsgResult::Yes; });
  p.Command12->OnMouseDown(1);  // tied to the map
  p.Command18->click();
  ASSERT_EQ(st.stations.MoniOneCount(), 3);
  EXPECT_EQ(st.stations.MoniOneTrack()[1], shown);
  EXPECT_EQ(Comment(st.stations.MoniOneTrack()[3]), "point 6");
  EXPECT_EQ(st.stations.MoniOneTrack()[4], reception::BlankRecord());
  auto lines = LogLines("QW7TK-9");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], TrimRight(shown));
  EXPECT_TRUE(p.isHidden());
  EXPECT_EQ(st.info.Call(), "QW7TK-9");  // the call stays
  EXPECT_EQ(st.info.Index(), 3);
  EXPECT_EQ(p.Command12->Caption(), "MAP");
  EXPECT_TRUE(form_->Timer1->isActive());

  // Newer positions, from the oldest: one stays; the map goes to it.
  form_->ShowMoniOneInfo();
  p.Command36->click();
  ASSERT_EQ(st.info.Index(), 1);
  p.Command19->click();
  ASSERT_EQ(st.stations.MoniOneCount(), 1);
  EXPECT_EQ(st.stations.MoniOneTrack()[1], shown);
  lines = LogLines("QW7TK-9");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], TrimRight(shown));
  const double north = LeadingNumber(reception::Columns(shown, 14, 22));
  EXPECT_EQ(form_->CurrentSettings().CentreNorth, north);
  EXPECT_EQ(st.stations.Newest().north, north);
  EXPECT_EQ(st.stations.Newest().comment, "point 4");
  EXPECT_TRUE(p.isHidden());

  // Reception goes on from the shortened track.
  Heard("QW7TK-9", "40.00", "40.00", "point 7");
  EXPECT_EQ(st.stations.MoniOneCount(), 2);
  EXPECT_EQ(LogLines("QW7TK-9").size(), 2u);

  // A disk that is full: the user is told, track and file stay whole.
  form_->ShowMoniOneInfo();
  p.Command36->click();
  platform::ClearMessageLog();
  const auto kept = st.stations.MoniOneTrack();
  {
    testing_support::FileSizeLimit full(100);
    ASSERT_TRUE(full.set());
    p.Command19->click();
  }
  ASSERT_EQ(platform::MessageLog().size(), 2u);
  EXPECT_EQ(platform::MessageLog()[1].text.rfind("CANNOT WRITE ", 0), 0u) << platform::MessageLog()[1].text;
  EXPECT_EQ(st.stations.MoniOneCount(), 2);
  EXPECT_EQ(st.stations.MoniOneTrack(), kept);
  EXPECT_EQ(LogLines("QW7TK-9").size(), 2u);
  EXPECT_TRUE(form_->Timer1->isActive());
}

// The watched station's call picked from the saved messages or a RAW line finds
// its report in MONI ALL, whose slots are not the track's: the panel opens on
// the track, so that its buttons step and delete the positions it shows.
TEST_F(InfoPanelTest, TheWatchedStationOpenedFromElsewhereShowsItsTrack) {
  Start();
  const reception::ReceptionState& st = form_->Reception();
  const char* mins[] = {"30.00", "30.50", "31.00", "31.50", "32.00", "32.50"};
  for (int i = 0; i < 6; ++i) Heard("QW7TK-9", mins[i], mins[i], "point " + std::to_string(i + 1));
  static_cast<platform::CommandButton*>(platform::FindControl(*form_, "Command3"))->click();  // CLR: MONI ALL anew
  Heard("QW7TK-9", "33.00", "33.00", "point 7");
  ASSERT_EQ(st.stations.MoniOneCount(), 7);
  ASSERT_EQ(st.stations.MoniAllCount(), 1);

  form_->Chat().PickFromSaved(":QW7TK-9");
  panels::InfoPanel& p = form_->InfoFrame();
  ASSERT_FALSE(p.isHidden());
  EXPECT_EQ(p.Command18->Caption(), "<X");
  EXPECT_EQ(p.Label19->Caption(), "DELETE");
  EXPECT_EQ(st.info.Index(), 7);
  EXPECT_EQ(Comment(Shown()), "point 7");

  // Newer than the newest: nothing goes.
  platform::SetMessageResponder([](const platform::MessageRecord&) { return MsgResult::Yes; });
  p.Command19->click();
  EXPECT_EQ(st.stations.MoniOneCount(), 7);
  EXPECT_EQ(LogLines("QW7TK-9").size(), 7u);
}

TEST_F(InfoPanelTest, AnObjectNameFromTheAirStaysOneFileInLog) {
  Start();
  Frame("AB5CD*>APRS", ";EVIL/X/Y *111111z5931.00N/01801.00E-object");
  ASSERT_EQ(form_->HeardStations().MoniAllCount(), 1);
  ASSERT_TRUE(form_->ShowStationInfo("EVIL/X/Y"));
  platform::SetMessageResponder([](const platform::MessageRecord&) { return MsgResult::Yes; });
  form_->InfoFrame().Command11->click();
  EXPECT_EQ(form_->CurrentSettings().MoniOneCall, "EVIL/X/Y");
  const fs::path log = reception::MoniOneLogPath(form_->Reception().settings.dataFolder, "EVIL/X/Y");
  EXPECT_EQ(log.parent_path(), form_->Reception().settings.dataFolder / "LOG");
  EXPECT_EQ(LogLines("EVIL/X/Y").size(), 1u);
  // Deleting from its track writes the same file.
  form_->ShowMoniOneInfo();
  form_->InfoFrame().Command18->click();
  EXPECT_EQ(LogLines("EVIL/X/Y").size(), 1u);
  EXPECT_EQ(log.filename(), "EVIL_X_Y.TXT");
  EXPECT_FALSE(fs::exists(form_->Reception().settings.dataFolder / "LOG" / "EVIL"));
}

TEST_F(InfoPanelTest, MoniOnePingChatAndRaw) {
  Start();
  Heard("AB1CD", "30.00", "00.00", "first");
  Heard("AB1CD-9", "31.00", "01.00", "other");
  Heard("AB1CD", "30.50", "00.50", "second");
  ASSERT_TRUE(form_->ShowStationInfo("AB1CD"));
  panels::InfoPanel& p = form_->InfoFrame();
  panels::ChatFrame* chat = form_->findChild<panels::ChatFrame*>("Frame3");
  ASSERT_NE(chat, nullptr);
  auto* check7 = static_cast<platform::CheckBox*>(platform::FindControl(*form_, "Check7"));

  // PING: the chat window opens with the addressee and the query, sent by Enter.
  std::vector<std::pair<int, int>> keys;
  chat->Text3->OnKeyDown = [&](int code, int shift) {
    keys.emplace_back(code, shift);
    EXPECT_EQ(chat->Text2->Text(), "AB1CD");
    EXPECT_EQ(chat->Text3->Text(), "?APRST");
  };
  ASSERT_TRUE(chat->isHidden());
  p.Command41->click();
  EXPECT_FALSE(chat->isHidden());
  EXPECT_EQ(check7->Value(), 1);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0], std::make_pair(13, 0));

  // CHAT: the automatic answer goes off (its handler runs once more), the addressee is set.
  chat->Check16->SetValue(1);
  int check16_clicks = 0;
  const auto original = chat->Check16->OnClick;
  chat->Check16->OnClick = [&] {
    ++check16_clicks;
    if (original) original();
  };
  chat->Text2->SetText("");
  p.Command23->click();
  EXPECT_EQ(chat->Check16->Value(), 0);
  EXPECT_EQ(check16_clicks, 2);
  EXPECT_FALSE(form_->Reception().settings.autoAnswerOn);
  EXPECT_EQ(chat->Text2->Text(), "AB1CD");
  chat->Check16->OnClick = nullptr;  // a missing handler is no fault
  p.Command23->click();

  // RAW: the list opens on the station's last line; the cycle waits four intervals.
  p.Command36->click();
  auto* list = static_cast<platform::ListBox*>(platform::FindControl(*form_, "List1"));
  ASSERT_TRUE(list->isHidden());
  p.Command40->click();
  EXPECT_FALSE(list->isHidden());
  EXPECT_EQ(Comment(Shown()), "second");  // the newest report first
  const int row = list->currentRow();
  ASSERT_GE(row, 0);
  EXPECT_EQ(list->List(row).rfind("AB1CD*>APRS", 0), 0u) << list->List(row);
  EXPECT_TRUE(list->item(row)->isSelected());
  for (int i = row + 1; i < list->ListCount(); ++i) EXPECT_NE(list->List(i).rfind("AB1CD", 0), 0u) << i;
  EXPECT_EQ(form_->Timer1->interval(), 4 * 6000);
  EXPECT_TRUE(form_->Timer1->isActive());

  // MONI1: asked with Yes as the default; the station becomes the watched one.
  form_->InfoFrame().Command11->click();
  ASSERT_FALSE(platform::MessageLog().empty());
  EXPECT_EQ(platform::MessageLog().back().text, "SET  AB1CD  >  MONI 1  ?");
  EXPECT_EQ(platform::MessageLog().back().defaultButton, 1);
  EXPECT_EQ(form_->CurrentSettings().MoniOneCall, "AB1CD");
  EXPECT_TRUE(IniHas("CALL=AB1CD"));
  // The track takes the reports of later minutes (both may share one).
  EXPECT_GE(form_->HeardStations().MoniOneCount(), 1);
  EXPECT_EQ(static_cast<int>(LogLines("AB1CD").size()), form_->HeardStations().MoniOneCount());
  EXPECT_EQ(p.Label19->Caption(), "DELETE");
  // On the watched station MONI1 asks nothing.
  platform::ClearMessageLog();
  p.Command11->click();
  EXPECT_TRUE(platform::MessageLog().empty());
}

TEST_F(InfoPanelTest, TheWatchedStationWithoutTrackShowsNoOtherStationsReport) {
  Start();
  Heard("AB5CD", "31.00", "01.00", "someone else");
  ASSERT_TRUE(form_->ShowStationInfo("AB5CD"));
  EXPECT_EQ(Comment(Shown()), "someone else");
  ASSERT_EQ(form_->HeardStations().MoniOneCount(), 0);
  form_->ShowMoniOneInfo();
  EXPECT_EQ(form_->InfoFrame().Caption(), "QW7TK-9");
  EXPECT_EQ(form_->RecordLine().Caption(), "");
  EXPECT_EQ(form_->Reception().info.Record(), "");
}

TEST_F(InfoPanelTest, MoniOneLabelsOpenThePanelAndTheRecordLineAsksToRetransmit) {
  Start();
  Heard("QW7TK-9", "30.00", "00.00", "watched");
  Heard("AB1CD", "31.00", "01.00", "someone else");
  struct Case {
    const char* label;
    QEvent::Type type;
    Qt::MouseButton button;
    bool opens;
  };
  const Case cases[] = {
      {"Label10", QEvent::MouseButtonPress, Qt::LeftButton, false},
      {"Label12", QEvent::MouseButtonPress, Qt::LeftButton, false},
      {"Label12", QEvent::MouseButtonPress, Qt::MiddleButton, false},
      {"Label10", QEvent::MouseButtonDblClick, Qt::LeftButton, false},
      {"Label10", QEvent::MouseButtonPress, Qt::RightButton, true},
      {"Label11", QEvent::MouseButtonPress, Qt::RightButton, true},
      {"Label6", QEvent::MouseButtonPress, Qt::RightButton, true},
      {"Label9", QEvent::MouseButtonPress, Qt::RightButton, true},
      {"Label12", QEvent::MouseButtonPress, Qt::RightButton, true},
      {"Label12", QEvent::MouseButtonDblClick, Qt::LeftButton, true},
      {"Label12", QEvent::MouseButtonDblClick, Qt::MiddleButton, true},
      // The MONI 1 coordinate read-outs: the right button opens the panel, the
      // left one steps their coordinate system and opens nothing.
      {"Label7", QEvent::MouseButtonPress, Qt::RightButton, true},
      {"Label8", QEvent::MouseButtonPress, Qt::RightButton, true},
      {"Label7", QEvent::MouseButtonPress, Qt::LeftButton, false},
      {"Label8", QEvent::MouseButtonPress, Qt::LeftButton, false},
      {"Label7", QEvent::MouseButtonPress, Qt::MiddleButton, false},
  };
  auto& readout = dynamic_cast<platform::Label&>(*platform::FindControl(*form_, "Label7"));
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.label << " event " << c.type << " button " << c.button);
    // Another station's report open, or the panel closed: the label must bring the watched station.
    ASSERT_TRUE(form_->ShowStationInfo("AB1CD"));
    QWidget* label = platform::FindControl(*form_, c.label);
    ASSERT_NE(label, nullptr);
    const std::string system = readout.Caption().substr(0, 3);
    QMouseEvent e(c.type, QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)), c.button, c.button, Qt::NoModifier);
    QCoreApplication::sendEvent(label, &e);
    EXPECT_EQ(form_->InfoFrame().Caption(), c.opens ? "QW7TK-9" : "AB1CD");
    EXPECT_EQ(Comment(Shown()), c.opens ? "watched" : "someone else");
    const bool steps = (std::string(c.label) == "Label7" || std::string(c.label) == "Label8") &&
                       c.type == QEvent::MouseButtonPress && c.button == Qt::LeftButton;
    EXPECT_EQ(readout.Caption().substr(0, 3) != system, steps) << readout.Caption();
    form_->Info().CloseInfoPanel();
    EXPECT_TRUE(form_->InfoFrame().isHidden());
  }
  EXPECT_EQ(dynamic_cast<platform::Label&>(*platform::FindControl(*form_, "Label12")).Caption(), "MONI 1");
  form_->ShowMoniOneInfo();

  // Without a radio a click on the record line asks nothing.
  Release(&form_->RecordLine(), Qt::LeftButton);
  EXPECT_TRUE(platform::MessageLog().empty());
}

// The record line shares its row with the scale selector: while the panel is
// open, the main cycle's redraws leave the line in sight, so that stepping shows
// the reports and a click on the line reaches it; closing the panel brings the
// scale row back.
TEST_F(InfoPanelTest, TheRecordLineStaysInSightOverRedraws) {
  Start();
  Heard("AB1CD", "30.00", "00.00", "first");
  Heard("AB1CD", "30.50", "00.50", "second");
  platform::Label& line = form_->RecordLine();
  QWidget* scales = platform::FindControl(*form_, "Frame16");
  ASSERT_NE(scales, nullptr);
  EXPECT_TRUE(scales->isVisible());
  // The sibling widgets stacked above the line that lie over it.
  const auto covering = [&] {
    std::vector<std::string> names;
    const QObjectList& kids = line.parentWidget()->children();
    for (qsizetype i = kids.indexOf(&line) + 1; i < kids.size(); ++i) {
      auto* w = qobject_cast<QWidget*>(kids[i]);
      if (w != nullptr && w->isVisible() && w->geometry().intersects(line.geometry()))
        names.push_back(w->objectName().toStdString());
    }
    return names;
  };
  ASSERT_TRUE(form_->ShowStationInfo("AB1CD"));
  for (int redraw = 0; redraw < 3; ++redraw) {
    SCOPED_TRACE(redraw);
    form_->DrawMap();
    form_->LayOut(false);
    ASSERT_TRUE(line.isVisible());
    EXPECT_LE(line.geometry().bottom(), form_->height());
    EXPECT_EQ(covering(), std::vector<std::string>{});
    EXPECT_FALSE(scales->isVisible());
  }
  Step(form_->InfoFrame().Command5, true);
  form_->DrawMap();
  EXPECT_EQ(Comment(Shown()), "first");
  EXPECT_EQ(covering(), std::vector<std::string>{});
  Screenshot("info_panel_after_redraw.png");
  form_->Info().CloseInfoPanel();
  EXPECT_TRUE(scales->isVisible());
}

// The MONI 1 comment and distance line show in full over the map while the mouse
// moves over them, and go back to the frames' standard width.
TEST_F(InfoPanelTest, TheMoniOneReadoutsWidenUnderTheMouse) {
  Start();
  Heard("QW7TK-9", "30.00", "00.00", "watched");
  ASSERT_EQ(form_->Reception().settings.moniOneCall, "QW7TK-9");
  auto* frame5 = platform::FindControl(*form_, "Frame5");
  auto* frame9 = platform::FindControl(*form_, "Frame9");
  auto* label10 = dynamic_cast<platform::Label*>(platform::FindControl(*form_, "Label10"));
  auto* label11 = dynamic_cast<platform::Label*>(platform::FindControl(*form_, "Label11"));
  ASSERT_TRUE(frame5 && frame9 && label10 && label11);
  ASSERT_EQ(label10->parentWidget(), frame5);
  ASSERT_EQ(label11->parentWidget(), frame9);
  const int standard = MoniOneFrameStandardWidth(form_->Shell().TwipsPerPixelX);
  const int line_standard = MoniOneLineStandardWidth(form_->Shell().TwipsPerPixelX);
  EXPECT_EQ(frame5->width(), standard);
  EXPECT_EQ(frame9->width(), line_standard);
  auto move = [](QWidget* w, int x) {
    QMouseEvent e(QEvent::MouseMove, QPointF(x, 2), w->mapToGlobal(QPointF(x, 2)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  };
  auto widenBoth = [&] {
    label10->SetCaption("TEXT: a comment much longer than the frame shows at its standard width");
    label11->SetCaption("DIST: 1234.5 km  BEAM: 359 deg  RATE: 12 min  MOVE: 88 km/h  VIA: WIDE1-1,WIDE2-1");
    move(label10, 20);
    move(label11, 20);
    ASSERT_GT(frame5->width(), standard);
    ASSERT_GT(frame9->width(), line_standard);
  };

  // A long comment: the label is as wide as its text and the frame takes its width,
  // over the map beside the column.
  widenBoth();
  EXPECT_EQ(frame5->width(), label10->width());
  EXPECT_EQ(frame9->width(), label11->width());
  EXPECT_GT(frame5->geometry().right(), form_->Picture1->x());
  const QPoint overMap(form_->Picture1->x() + 10, frame5->y() + frame5->height() / 2);
  EXPECT_EQ(form_->childAt(overMap), label10);
  Screenshot("moni_one_comment_widened.png");

  // Short texts: the comment's frame stays standard, the distance line's fits its text.
  label10->SetCaption("TEXT: hi");
  label11->SetCaption("DIST: 3 km");
  move(label10, 20);
  move(label11, 20);
  EXPECT_EQ(frame5->width(), standard);
  EXPECT_LT(label11->width(), line_standard);
  EXPECT_EQ(frame9->width(), label11->width());

  // Combo9 taking the focus puts both back.
  widenBoth();
  QFocusEvent focus(QEvent::FocusIn, Qt::OtherFocusReason);
  QCoreApplication::sendEvent(form_->findChild<QWidget*>("Combo9"), &focus);
  EXPECT_EQ(frame5->width(), standard);
  EXPECT_EQ(frame9->width(), line_standard);

  // So does every tick of the internet scan, before its count-down.
  widenBoth();
  internet::InternetSwitchState& sw = form_->Internet().SwitchState();
  sw.internetScanBusy = true;
  sw.scanCountdown = 5;
  EXPECT_FALSE(form_->CycleSteps().InternetScanStep());
  EXPECT_EQ(sw.scanCountdown, 4);
  EXPECT_EQ(frame5->width(), standard);
  EXPECT_EQ(frame9->width(), line_standard);
  sw.internetScanBusy = false;

  // And a tick that runs to its end.
  widenBoth();
  links::TickInputs in;
  in.interfaceKind = 4;
  ASSERT_EQ(form_->RunTick(in), links::TickEnd::Full);
  EXPECT_EQ(frame5->width(), standard);
  EXPECT_EQ(frame9->width(), line_standard);
}

TEST_F(InfoPanelTest, EmergencyWindowScreenshot) {
  Start();
  Frame("SOS*>APRS", "!5930.00N\\01800.00E!injured, need help");
  ASSERT_FALSE(form_->EmergencyFrame().isHidden());
  Screenshot("emergency_window.png");
}

// The retransmitted report through the packet engine: heard from the air,
// shown in the panel, sent on the user's Yes.
TEST_F(InfoPanelTest, RetransmittedReportGoesOutThroughTheEngine) {
  for (const char* tool : {"direwolf", "gen_packets", "decode_aprs"})
    if (!platform::ProgramExists(tool)) GTEST_SKIP() << tool << " is not installed";
  QTemporaryDir dir;
  const int port = testing_support::FreePort();
  testing_support::Direwolf dw(dir, port);
  ASSERT_TRUE(dw.started()) << dw.output();
  // The engine on this computer; radio port 0 (FSK 300); local time 2 hours ahead of UTC.
  Ini("MODEM=0\r\nHOSTP=" + std::to_string(port) + "\r\nHBAUD=300\r\nTXTO=APZEB\r\nTXPA=WIDE1-1\r\nUTCD=2\r\n");
  Start();
  PumpUntil([&] { return form_->RadioLink().State().AgwDataPending == 1; }, 5000);  // registers after the start-up
  ASSERT_EQ(form_->RadioLink().State().AgwDataPending, 1);
  PumpUntil([] { return false; }, 1200);  // the engine reads a new client's commands late
  dw.Feed(testing_support::PacketAudio(dir, "AB1CD-9>APRS,WIDE1-1:!5930.00N/01800.00E>plain"));
  const reception::ReceptionState& st = form_->Reception();
  PumpUntil(
      [&] {
        form_->RadioLink().DecodeReceivedTraffic();
        return st.stations.MoniAllCount() >= 1;
      },
      15000);
  ASSERT_EQ(st.stations.MoniAllCount(), 1) << dw.output();
  Release(&form_->RecordLine(), Qt::LeftButton);  // the panel is closed: the line is no report of it
  EXPECT_TRUE(platform::MessageLog().empty());
  ASSERT_TRUE(form_->ShowStationInfo("AB1CD-9"));

  platform::SetMessageResponder([](const platform::MessageRecord& m) {
    return m.title == "ZEBLON          RETRANSMIT STATION'S POSITION" ? MsgResult::Yes : MsgResult::No;
  });
  Release(&form_->RecordLine(), Qt::RightButton);  // only the left button
  EXPECT_TRUE(platform::MessageLog().empty());
  Release(&form_->RecordLine(), Qt::LeftButton);
  ASSERT_EQ(platform::MessageLog().size(), 1u);
  EXPECT_EQ(platform::MessageLog()[0].text, "DO YOU WANT TO RETRANSMIT THIS STATION'S POSITION NOW ?");
  EXPECT_EQ(platform::MessageLog()[0].defaultButton, 2);
  EXPECT_TRUE(form_->Timer1->isActive());

  // The frame as the engine sent it; its time is the report's local stamp moved to UTC.
  const std::string& rec = st.stations.MoniAll()[1];
  reception::LocalTime stamp{2000 + std::stoi(rec.substr(0, 2)), std::stoi(rec.substr(2, 2)),
                             std::stoi(rec.substr(4, 2)),        std::stoi(rec.substr(7, 2)),
                             std::stoi(rec.substr(9, 2)),        0};
  const std::string inner = "AB1CD-9>ZEBLRE,SM5XYZ*:/" + links::FormatUtcDayTime(stamp, 2) + "z";
  const std::string sent = "SM5XYZ>APZEB,WIDE1-1:}" + inner;
  ASSERT_TRUE(testing_support::RunUntil([&] { return dw.output().find(sent) != std::string::npos; }, 10000))
      << dw.output();
  std::smatch m;
  const std::string out = dw.output();
  ASSERT_TRUE(std::regex_search(out, m, std::regex("\\}(AB1CD-9>ZEBLRE[^\\r\\n]*)")));
  const std::string decoded = testing_support::RunTool("decode_aprs", {}, m[1].str() + "\n");
  EXPECT_NE(decoded.find("Position with time"), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("N 59 30.0000, E 018 00.0000"), std::string::npos) << decoded;
  EXPECT_NE(decoded.find("plain"), std::string::npos) << decoded;
  form_->CloseByUser();
}

}  // namespace
}  // namespace zeblon
