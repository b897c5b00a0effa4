// The main window's station data from the web against a local HTTP server: the
// MONI 1 internet support box makes the next tick ask the source named by the
// environment for the watched call's raw packets, and their positions land in
// the MONI 1 track; the IONO DATA frame's OK saves typed values; with automatic
// update the start-up takes both values from the magnetogram page, and a
// settings file that cannot be written then is told in a box that is not modal.
#include <QDateTime>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

#include "internet/web_requests.h"
#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "map/readouts.h"
#include "platform/qtext.h"
#include "reception/station_record.h"
#include "settings/text_files.h"
#include "tests/internet/internet_fakes.h"
#include "tests/reception/fakes.h"
#include "tests/support/find.h"
#include "tests/support/web_folder_test.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;
using testing_support::Find;
using testing_support::Route;

class InternetWindowTest : public testing_support::WebFolderTest {
 protected:
  void WriteIni(const std::string& extra) {
    Write("ZEBLON.INI", "TEMP=" + folder_.string() +
                            "\r\nUSER=AB1CD\r\nMODEM=4\r\nMSYS=U33\r\nLANG=11\r\n"
                            "UTN=5818\r\nUTE=391\r\nUUN=5818\r\nUUE=391\r\nCALL=QW7TK-9\r\nNOAT=1\r\nWVER=WIN10\r\n" +
                            extra);
  }
  std::unique_ptr<Form1> StartMainWindow() {
    auto form = std::make_unique<Form1>();
    form->SetRadioLink(std::make_unique<links::LiveRadioLink>());
    form->show();
    PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; });
    return form;
  }
  static links::TickInputs Inputs() {
    links::TickInputs in;
    in.interfaceKind = 4;
    const QDateTime t = QDateTime::currentDateTime();
    in.now = {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), 0};
    in.userCall = "AB1CD";
    return in;
  }
  // One web poll of the watched station's raw packets or of the area's stations,
  // as the main cycle's tick starts it, answered before it returns.
  void Poll(Form1& form, bool area) {
    const std::size_t asked = server_.targets.size();
    area ? form.Internet().Web().StartAreaPoll() : form.Internet().Web().StartRawPoll();
    PumpUntil([&] { return server_.targets.size() > asked && form.Timer1->isActive(); }, 5000);
    ASSERT_TRUE(form.Timer1->isActive());
  }
  static std::string Centre(Form1& form) {
    return Find<platform::Label>(form, "Label1")->Caption() + Find<platform::Label>(form, "Label2")->Caption();
  }
};

TEST_F(InternetWindowTest, MoniOneSupportPollsTheWatchedCallsRawPacketsIntoTheTrack) {
  WriteIni("");
  // Two positions of the watched call, ten and five minutes ago (the source gives UTC).
  const QDateTime utc = QDateTime::currentDateTimeUtc();
  auto line = [&](int minutesAgo, const std::string& packet) {
    return utc.addSecs(-60 * minutesAgo).toString("yyyy-MM-dd HH:mm:ss").toStdString() + ": " + packet + "\n";
  };
  server_.routes["/aprs/raw"] = Route{200, "text/plain",
                                      line(10, "QW7TK-9>APRS,TCPIP*:!5230.00N/01320.00E>first") +
                                          line(5, "QW7TK-9>APRS,TCPIP*:!5231.00N/01321.00E>second")};
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  ASSERT_EQ(form->HeardStations().MoniOneCount(), 0);

  // Without the support the tick asks nothing.
  form->RunTick(Inputs());
  EXPECT_TRUE(server_.targets.empty());

  auto* check22 = Find<platform::CheckBox>(*form, "Check22");
  check22->SetValue(1);  // as the user's click: its handler runs
  EXPECT_TRUE(form->Internet().SwitchState().moniOneSupport);
  EXPECT_EQ(form->RunTick(Inputs()), links::TickEnd::MoniOnePoll);
  EXPECT_TRUE(Find(*form, "Text10")->isVisible());
  EXPECT_EQ(Find<platform::TextBox>(*form, "Text10")->Text(), "COLLECTING INTERNET DATA (MONI 1) ...");
  // The poll pauses the cycle and arms the 60 s watchdog.
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_TRUE(form->Timer2->isActive());
  EXPECT_EQ(form->Timer2->interval(), 60000);

  PumpUntil([&] { return form->Timer1->isActive(); }, 5000);
  ASSERT_EQ(server_.targets.size(), 1u);
  // No stored report yet: the last 72 hours, the call as it stands.
  EXPECT_EQ(server_.targets[0], "/aprs/raw?callsign=QW7TK-9&seconds=259200");
  EXPECT_FALSE(Find(*form, "Text10")->isVisible());
  const reception::StationStore& stations = form->HeardStations();
  ASSERT_EQ(stations.MoniOneCount(), 2);
  const struct { double lat, lon; } expected[] = {{52.5, 13 + 20.0 / 60}, {52 + 31.0 / 60, 13 + 21.0 / 60}};
  for (int i = 1; i <= 2; ++i) {
    const std::string& rec = stations.MoniOneTrack()[static_cast<std::size_t>(i)];
    EXPECT_EQ(reception::TrimmedColumns(rec, 33, 41), "QW7TK-9") << rec;
    const double north = std::atof(rec.substr(13, 9).c_str());
    const double east = std::atof(rec.substr(22, 9).c_str());
    const map::MapPoint p = map::ConvertMapKmToLatLon(north, east, 15.0, 500000.0);
    EXPECT_NEAR(p.latitude, expected[i - 1].lat, 1e-4) << rec;
    EXPECT_NEAR(p.longitude, expected[i - 1].lon, 1e-4) << rec;
  }
  EXPECT_EQ(reception::TrimmedColumns(stations.MoniOneTrack()[2], 43, 89), "second");

  // Polled this minute: the next tick asks nothing more.
  form->RunTick(Inputs());
  EXPECT_EQ(server_.targets.size(), 1u);

  // A right click on the box chooses the other source; its caption tells which.
  check22->OnMouseUp(2);
  EXPECT_EQ(check22->Caption(), "i  2");
  EXPECT_EQ(check22->Value(), 1);
  // The watchdog's end with the notice still shown unticks the support.
  check22->SetValue(0);
  EXPECT_FALSE(form->Internet().SwitchState().moniOneSupport);
  // The area support ticks the MONI 1 support with it.
  Find<platform::CheckBox>(*form, "Check23")->SetValue(1);
  EXPECT_EQ(check22->Value(), 1);
  EXPECT_TRUE(form->Internet().SwitchState().areaSupport);
  form->close();
}

// An emergency among the watched call's packets from the web: its alarm block
// tells latitude and longitude as the map's read-outs write them.
TEST_F(InternetWindowTest, AnEmergencyFromTheWebTellsItsPositionAsTheMapsReadouts) {
  WriteIni("");
  const std::string when = QDateTime::currentDateTimeUtc().addSecs(-300).toString("yyyy-MM-dd HH:mm:ss").toStdString();
  server_.routes["/aprs/raw"] = Route{200, "text/plain", when + ": QW7TK-9>APRS,TCPIP*:!5930.00N\\01800.10E!help\n"};
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  Find<platform::CheckBox>(*form, "Check22")->SetValue(1);
  ASSERT_EQ(form->RunTick(Inputs()), links::TickEnd::MoniOnePoll);
  PumpUntil([&] { return form->Timer1->isActive(); }, 5000);
  ASSERT_EQ(server_.targets.size(), 1u);
  const std::string alarm = Read("U33/LOG/_ALARM_.TXT");
  EXPECT_NE(alarm.find("STATION : QW7TK-9\r\n"), std::string::npos) << alarm;
  EXPECT_NE(alarm.find("\r\nQTH GLL :  59:30.00  18:00.10\r\nUTM(Z33): "), std::string::npos) << alarm;
  form->close();
}

// The INFO panel open on the watched weather station: a web poll that brings its
// next report shows the new readings in the WX STATION window, as a report heard
// on the radio does.
TEST_F(InternetWindowTest, AWebPollRefreshesTheOpenPanelsWeatherWindow) {
  WriteIni("");
  const QDateTime utc = QDateTime::currentDateTimeUtc();
  auto line = [&](int minutesAgo, const std::string& packet) {
    return utc.addSecs(-60 * minutesAgo).toString("yyyy-MM-dd HH:mm:ss").toStdString() + ": " + packet + "\n";
  };
  const std::string first = line(10, "QW7TK-9>APRS,TCPIP*:!5230.00N/01320.00E_090/005g010t068r000p000P000h50b10150");
  server_.routes["/aprs/raw"] = Route{200, "text/plain", first};
  auto form = StartMainWindow();
  Find<platform::CheckBox>(*form, "Check22")->SetValue(1);
  Poll(*form, false);
  ASSERT_EQ(form->HeardStations().MoniOneCount(), 1);

  form->ShowMoniOneInfo();
  panels::WxStationPanel& wx = form->WxStation();
  ASSERT_FALSE(wx.isHidden());
  const std::string title = wx.Caption(), temperature = wx.Label32->Caption();

  server_.routes["/aprs/raw"] =
      Route{200, "text/plain",
            first + line(5, "QW7TK-9>APRS,TCPIP*:!5231.00N/01321.00E_180/010g015t041r001p002P003h80b10080")};
  Poll(*form, false);
  ASSERT_EQ(form->HeardStations().MoniOneCount(), 2);
  EXPECT_FALSE(wx.isHidden());
  EXPECT_NE(wx.Caption(), title);  // the new report's time
  EXPECT_NE(wx.Label32->Caption(), temperature);
  const std::string shown = wx.Caption() + wx.Label32->Caption();
  form->InfoFrame().Command20->click();  // WX: the window on the shown report
  EXPECT_EQ(wx.Caption() + wx.Label32->Caption(), shown);
  form->close();
}

// The INFO panel open on a station of the area with the map tied to it (MAP L):
// an area poll that brings the station's next report moves the map there and
// shows its WX STATION window anew.
TEST_F(InternetWindowTest, AnAreaPollMovesTheMapTiedToTheShownStation) {
  WriteIni("");
  auto station = [](const std::string& when, const std::string& lat, const std::string& lon) {
    return "[{\"callsign\":\"AB1CD\",\"ssid\":\"\",\"class\":\"a\",\"type\":\"l\",\"posreceived\":\"" + when +
           "\",\"lat\":" + lat + ",\"lon\":" + lon +
           ",\"course\":0,\"speed\":0,\"symbolcode\":\"_\",\"symboltable\":\"/\","
           "\"comment\":\"padding so that the station lies before the answer's last hundred characters\"}]";
  };
  server_.routes["/aprs/area"] = Route{200, "application/json", station("2024-05-01 13:30:00", "52.5", "13.25")};
  auto form = StartMainWindow();
  Poll(*form, true);
  ASSERT_EQ(form->HeardStations().MoniAllCount(), 1);
  ASSERT_TRUE(form->ShowStationInfo("AB1CD"));
  panels::InfoPanel& info = form->InfoFrame();
  info.Command12->OnMouseDown(1);  // MAP: the map on the shown report, tied to it
  ASSERT_EQ(info.Command12->Caption(), "MAP L");
  const std::string tied = Centre(*form);
  const std::string title = form->WxStation().Caption();

  server_.routes["/aprs/area"] = Route{200, "application/json", station("2024-05-01 13:34:00", "52.6", "13.4")};
  Poll(*form, true);
  ASSERT_EQ(form->HeardStations().MoniAllCount(), 2);
  EXPECT_EQ(form->RecordLine().Caption(), form->HeardStations().MoniAll()[2]);
  const std::string moved = Centre(*form);
  EXPECT_NE(moved, tied);
  info.Command12->OnMouseDown(1);  // MAP again: the map stays where the poll took it
  EXPECT_EQ(Centre(*form), moved);
  EXPECT_NE(form->WxStation().Caption(), title);
  EXPECT_EQ(form->WxStation().Caption(), "WX STATION  AB1CD  2024-05-01 1334");
  form->close();
}

// Smart logging thins a track that a web report takes beyond its limit; when one
// cycle is not enough, the next starts again from the track as the gap pass left
// it, with twice the tolerances.
TEST_F(InternetWindowTest, SmartLoggingThinsEveryCycleFromTheWholeTrack) {
  WriteIni("SLOG=1\r\nUTCD=0\r\n");
  // 275 reports, one a minute, 450 m apart going east: above the limit of 250
  // with the web's next report, which the first cycle (merging points closer than
  // 500 m in the oldest quarter) brings only to 221 points.
  std::vector<std::string> lines;
  for (int i = 0; i < 275; ++i) {
    const int east_m = 250000 + 450 * i;
    char head[64];
    std::snprintf(head, sizeof head, "240101 %02d%02d \xFE 5818.000  %3d.%03d QW7TK-9", i / 60, i % 60, east_m / 1000,
                  east_m % 1000);
    std::string r = reception::BlankRecord();
    r.replace(0, std::strlen(head), head);
    const std::string comment = "point " + std::to_string(i + 1);
    r.replace(42, comment.size(), comment);
    r.replace(90, 5, "WIDE1");
    r.replace(100, 2, "/>");
    r.replace(104, 3, "CAR");
    lines.push_back(r.substr(0, 107));
  }
  std::string log;
  for (const std::string& l : lines) log += l + "\r\n";
  Write("U33/LOG/QW7TK-9.TXT", log);
  server_.routes["/aprs/raw"] =
      Route{200, "text/plain", "2024-01-01 05:00:00: QW7TK-9>APRS,TCPIP*:!5230.00N/01320.00E>newest\n"};
  auto form = std::make_unique<Form1>();
  form->SetRadioLink(std::make_unique<links::LiveRadioLink>());
  form->SpeedTestClock = [t = 0.0]() mutable { return t += 2; };  // the slowest machine: limit 250
  form->show();
  PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; });
  ASSERT_EQ(form->HeardStations().MoniOneCount(), 275);
  Find<platform::CheckBox>(*form, "Check22")->SetValue(1);
  Poll(*form, false);

  // The second cycle on the whole track merges the oldest quarter's points closer
  // than 1 km: of points 450 m apart, point 1, then every third from point 3 on
  // (point 2 goes, and slot 2 is not compared with slot 1), to point 138;
  // the rest are kept.
  std::string expected;
  auto keep = [&](int point) { expected += lines[static_cast<std::size_t>(point - 1)] + "\r\n"; };
  keep(1);
  for (int point = 3; point <= 138; point += 3) keep(point);
  for (int point = 139; point <= 275; ++point) keep(point);
  const std::string written = Read("U33/LOG/QW7TK-9.TXT");
  ASSERT_EQ(written.substr(0, expected.size()), expected);
  // The web's report at the end, as the pass made it (52.5 N 13.333 E: cs2cs gives
  // 386869 E 5817963 N in zone 33).
  const std::string newest = written.substr(expected.size());
  EXPECT_EQ(newest.substr(0, 31), "240101 0500 \xFE 5817.963  386.869");
  EXPECT_EQ(newest.substr(32, 9), "QW7TK-9  ");
  EXPECT_EQ(newest.substr(42, 6), "newest");
  EXPECT_EQ(newest.find("\r\n"), newest.size() - 2);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 185);
  form->close();
}

TEST_F(InternetWindowTest, IonoDataOkSavesTheTypedValues) {
  WriteIni("SSPT=80\r\nKIND=2\r\nIONA=0\r\n");
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  auto* frame = Find(*form, "Frame18");
  auto* check9 = Find<platform::CheckBox>(*form, "Check9");
  check9->OnMouseUp(1);  // a left click opens nothing
  EXPECT_FALSE(frame->isVisible());
  check9->OnMouseUp(2);
  ASSERT_TRUE(frame->isVisible());
  auto* text17 = Find<platform::TextBox>(*form, "Text17");
  auto* text18 = Find<platform::TextBox>(*form, "Text18");
  EXPECT_EQ(text17->Text(), "80");
  EXPECT_EQ(text18->Text(), "2");
  EXPECT_FALSE(form->Timer1->isActive());  // the values shown stopped the cycle
  // A click into either box, and typing in it, stop the main cycle until OK.
  const struct {
    platform::TextBox* box;
    bool typing;
    const char* text;  // the text then
  } steps[] = {{text17, false, "80"}, {text17, true, "123"}, {text18, false, "2"}, {text18, true, "4.5 x"}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.box->objectName().toStdString() + (step.typing ? " typed" : " clicked"));
    form->Timer1->start();
    if (step.typing) {
      step.box->selectAll();
      for (const char c : std::string(step.text)) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
        QCoreApplication::sendEvent(step.box, &key);
      }
    } else {
      const QPointF at(4, step.box->height() / 2.0);
      QMouseEvent press(QEvent::MouseButtonPress, at, step.box->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
      QCoreApplication::sendEvent(step.box, &press);
    }
    EXPECT_EQ(step.box->Text(), step.text);
    EXPECT_FALSE(form->Timer1->isActive());
  }
  Find<platform::CommandButton>(*form, "Command60")->click();
  EXPECT_FALSE(frame->isVisible());
  EXPECT_TRUE(IniHas("SSPT=123"));
  EXPECT_TRUE(IniHas("KIND=4.5"));
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_TRUE(server_.targets.empty());  // no automatic update: nothing asked
  form->close();
}

// A magnetogram page with the K index 3.5 and the sunspot number 77.
std::string MagnetogramPage() {
  return "<html><body><table><tr><td>Kiel 3-hour K:</td><td>3</td></tr><tr><td>Kiel current K</td><td> 4</td>"
         "</tr></table><p>Sunspot number 77</p><p>" +
         std::string(300, '.') + "</p></body></html>";
}

TEST_F(InternetWindowTest, AutomaticUpdateTakesTheMagnetogramAtStartUp) {
  WriteIni("SSPT=80\r\nKIND=2\r\nIONA=1\r\n");
  server_.routes["/magnetogram/index.html"] = Route{200, "text/html", MagnetogramPage()};
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  auto* label46 = Find<platform::Label>(*form, "Label46");
  PumpUntil([&] { return label46->Caption().find("UPDATED (1)") != std::string::npos; }, 5000);
  EXPECT_EQ(label46->Caption().substr(0, 13), " UPDATED (1) ");
  ASSERT_EQ(server_.targets.size(), 1u);
  EXPECT_EQ(server_.targets[0], "/magnetogram/index.html");
  EXPECT_TRUE(IniHas("KIND=3.5"));
  EXPECT_TRUE(IniHas("SSPT=77"));
  EXPECT_EQ(Find<platform::TextBox>(*form, "Text18")->Text(), internet::InetValueText(3.5));
  form->close();
}

// MONI ALL internet support: the area poll's answer is read as JSON, whether the
// service writes it compact or pretty-printed (blanks after the colons, numbers
// in quotes): the same stations land in the station logs, the object does not.
TEST_F(InternetWindowTest, AreaPollTakesTheSameStationsCompactOrPrettyPrinted) {
  const std::string compact =
      R"([{"callsign":"SM4XYZ-9","type":"l","posreceived":"2024-05-01 11:50:00","lat":59.5,"lon":18.25,)"
      R"("symbolcode":">","symboltable":"\/","comment":"mobile"},{"callsign":"HUT1","type":"O",)"
      R"("posreceived":"2024-05-01 11:51:00","lat":59.6,"lon":18.3,"symbolcode":"-","symboltable":"/"},)"
      R"({"callsign":"SM5ABC","type":"l","posreceived":"2024-05-01 11:52:00","lat":59.7,"lon":18.4,)"
      R"("symbolcode":"#","symboltable":"S","comment":"digi"}])";
  const std::string pretty = R"([
    {
        "callsign": "SM4XYZ-9",
        "type": "l",
        "posreceived": "2024-05-01 11:50:00",
        "lat": "59.5",
        "lon": "18.25",
        "symbolcode": ">",
        "symboltable": "/",
        "comment": "mobile"
    },
    {
        "callsign": "HUT1",
        "type": "O",
        "posreceived": "2024-05-01 11:51:00",
        "lat": "59.6",
        "lon": "18.3",
        "symbolcode": "-",
        "symboltable": "/"
    },
    {
        "callsign": "SM5ABC",
        "type": "l",
        "posreceived": "2024-05-01 11:52:00",
        "lat": "59.7",
        "lon": "18.4",
        "symbolcode": "#",
        "symboltable": "S",
        "comment": "digi"
    }
]
)";
  std::vector<std::string> logs;
  for (const std::string* answer : {&compact, &pretty}) {
    fs::remove_all(folder_ / "U33" / "LOG");
    WriteIni("LOGS=1\r\n");
    server_.targets.clear();
    server_.routes["/aprs/area"] = Route{200, "application/json", *answer};
    auto form = StartMainWindow();
    ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
    Find<platform::CheckBox>(*form, "Check23")->SetValue(1);  // as the user's click
    links::TickInputs in = Inputs();
    in.now = {2024, 5, 1, 12, 0, 0};
    // The first tick asks for the MONI 1 station's packets, the next for the area.
    links::TickEnd end = links::TickEnd::Full;
    for (int i = 0; i < 4 && end != links::TickEnd::AreaPoll; ++i) {
      end = form->RunTick(in);
      PumpUntil([&] { return form->Timer1->isActive(); }, 5000);
    }
    ASSERT_EQ(end, links::TickEnd::AreaPoll);
    PumpUntil([&] { return form->Timer1->isActive() && !Find(*form, "Text10")->isVisible(); }, 5000);
    ASSERT_FALSE(server_.targets.empty());
    EXPECT_EQ(server_.targets.back().rfind("/aprs/area?", 0), 0u) << server_.targets.back();
    // The two stations in the station log (the object left out), as heard via the internet.
    std::string log;
    ReadWholeFile(folder_ / "U33" / "LOG" / "_LOGL_.TXT", log);
    const std::vector<std::string> lines = SplitLines(log);
    ASSERT_EQ(lines.size(), 2u) << log;
    EXPECT_EQ(reception::TrimmedColumns(lines[0], 33, 41), "SM4XYZ-9");
    EXPECT_EQ(reception::TrimmedColumns(lines[1], 33, 41), "SM5ABC");
    for (const std::string& l : lines) EXPECT_EQ(reception::TrimmedColumns(l, 91, 100), "inet") << l;
    EXPECT_EQ(lines[1].substr(100, 3), "\\#S");
    logs.push_back(log);
    form->close();
  }
  // Both forms of the answer give the very same records.
  EXPECT_EQ(logs[0], logs[1]);
}

// The automatic update's answer comes while nobody watches: a settings file
// that cannot be written then is told in a box that lets the main cycle go on.
TEST_F(InternetWindowTest, AnUnwritableSettingsFileAtTheAutomaticUpdateStopsNothing) {
  WriteIni("SSPT=80\r\nKIND=2\r\nIONA=1\r\n");
  server_.routes["/magnetogram/index.html"] = Route{200, "text/html", MagnetogramPage(), 1500};
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  // A folder in the settings file's place: neither read nor written, whoever runs the test.
  fs::remove(folder_ / "ZEBLON.INI");
  fs::create_directory(folder_ / "ZEBLON.INI");
  platform::SetMessageResponder([](const platform::MessageRecord& r) {
    ADD_FAILURE() << "a modal box stopped the program: " << r.text;
    return platform::DefaultAnswer(r.buttons, r.defaultButton);
  });
  auto* label46 = Find<platform::Label>(*form, "Label46");
  PumpUntil([&] { return label46->Caption().find("UPDATED (1)") != std::string::npos; }, 8000);
  platform::SetMessageResponder(nullptr);
  ASSERT_FALSE(platform::MessageLog().empty());
  for (const platform::MessageRecord& r : platform::MessageLog()) {
    EXPECT_EQ(r.text, "CANNOT WRITE " + (folder_ / "ZEBLON.INI").string() + " !");
    EXPECT_FALSE(r.modal);
  }
  int shown = 0;
  for (QMessageBox* b : form->findChildren<QMessageBox*>()) {
    if (!b->isVisible()) continue;
    ++shown;
    EXPECT_FALSE(b->isModal());
  }
  EXPECT_EQ(shown, 1);  // the same text once, however often it was written
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(Find<platform::TextBox>(*form, "Text18")->Text(), internet::InetValueText(3.5));
  form->close();
}

// The IONO DATA frame as it opens over the map: every status text fits its line,
// the caption's two parts stand over their boxes, and a picture of the frame.
TEST_F(InternetWindowTest, IonoDataFrameHoldsItsTexts) {
  WriteIni("SSPT=80\r\nKIND=2\r\nIONA=1\r\n");
  server_.routes["/magnetogram/index.html"] =
      Route{200, "text/html",
            "<html><body><p>Kiel 3-hour K: 2</p><p>Kiel current K 3</p><p>Sunspot number 123</p><p>" +
                std::string(300, '.') + "</p></body></html>"};
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  auto* frame = Find<platform::Frame>(*form, "Frame18");
  auto* label46 = Find<platform::Label>(*form, "Label46");
  Find<platform::CheckBox>(*form, "Check9")->OnMouseUp(2);
  ASSERT_TRUE(frame->isVisible());
  EXPECT_EQ(frame->Caption(), "  IONO DATA  ");
  EXPECT_EQ(Find<platform::CommandButton>(*form, "Command60")->Caption(), "OK");
  PumpUntil([&] { return server_.targets.size() >= 2 && label46->Caption().find("UPDATED (1)") != std::string::npos; },
            5000);
  ASSERT_EQ(label46->Caption().substr(0, 13), " UPDATED (1) ");

  // Each status text, wrapped at its words, lies within the line's place.
  auto extent = [&](const QLabel& l, const std::string& text) {
    return QFontMetrics(l.font()).boundingRect(QRect(0, 0, l.width(), 10000), Qt::TextWordWrap, platform::ToQ(text));
  };
  for (const std::string& text : {label46->Caption(), std::string("UPDATING..."), std::string(" UPDATED (1) 23:58:59"),
                                  std::string(" UPDATED (2) 20:00:00"), std::string(" UPDATED (M) 08:48:08"),
                                  std::string("UPDATE FAILED"), std::string("INPUT")}) {
    const QRect r = extent(*label46, text);
    EXPECT_LE(r.width(), label46->width()) << text;
    EXPECT_LE(r.height(), label46->height()) << text;
  }
  // The caption behind the boxes: the sunspot words end above the sunspot box, the
  // K-index words start below it and end above the K box.
  auto* label44 = Find<platform::Label>(*form, "Label44");
  const QWidget* text17 = Find(*form, "Text17");
  const QWidget* text18 = Find(*form, "Text18");
  const std::string caption = label44->Caption();
  const std::size_t k = caption.find("GEOMAGNETIC  K-INDEX:");
  ASSERT_NE(k, std::string::npos) << caption;
  EXPECT_EQ(caption.rfind(" REL. SUNSPOT NUMBER (R):", 0), 0u) << caption;
  const int whole = extent(*label44, caption).height();
  EXPECT_LE(label44->y() + extent(*label44, " REL. SUNSPOT NUMBER (R):").height(), text17->y());
  EXPECT_GE(label44->y() + whole - extent(*label44, caption.substr(k)).height(), text17->y() + text17->height());
  EXPECT_LE(label44->y() + whole, text18->y());
  for (const QWidget* w : {static_cast<const QWidget*>(label46), static_cast<const QWidget*>(label44), text17, text18,
                           static_cast<const QWidget*>(Find(*form, "Command60"))}) {
    EXPECT_TRUE(frame->rect().contains(w->geometry())) << w->objectName().toStdString();
  }

  const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "artefacts";
  fs::create_directories(dir);
  ASSERT_TRUE(frame->grab().save(QString::fromStdString((dir / "iono_data_frame.png").string()), "PNG"));
  ASSERT_TRUE(form->grab().save(QString::fromStdString((dir / "iono_data_window.png").string()), "PNG"));
  label46->SetCaption("UPDATE FAILED");
  ASSERT_TRUE(frame->grab().save(QString::fromStdString((dir / "iono_data_frame_failed.png").string()), "PNG"));
  form->close();
}

// The scan of the stored MONI 1 stations shows in the back colours of the MONI 1
// combo, Check22 and Check27 while it runs; whatever ends it gives them their
// normal colours again.
TEST_F(InternetWindowTest, TheScanShowsInTheBoxesColoursUntilItEnds) {
  WriteIni("");
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  auto* combo9 = Find<platform::ComboBox>(*form, "Combo9");
  auto* check7 = Find<platform::CheckBox>(*form, "Check7");
  auto* check22 = Find<platform::CheckBox>(*form, "Check22");
  auto* check23 = Find<platform::CheckBox>(*form, "Check23");
  auto* check27 = Find<platform::CheckBox>(*form, "Check27");
  // The colour a box shows beside its caption, and the combo's text field beside its text.
  auto seen = [](QWidget* w) { return w->grab().toImage().pixelColor(w->width() - 3, w->height() / 2); };
  const QColor grey(200, 200, 200), normal(160, 192, 192), scanning(224, 192, 128);
  auto expectColours = [&](const QColor& combo, const QColor& boxes) {
    EXPECT_EQ(seen(combo9->lineEdit()), combo);
    EXPECT_EQ(seen(check22), boxes);
    EXPECT_EQ(seen(check27), boxes);
    EXPECT_EQ(seen(check23), normal);
  };
  expectColours(grey, normal);

  const struct {
    const char* what;
    std::function<void()> end;
  } cases[] = {
      {"Check27 unticked", [&] { check27->click(); }},
      {"MONI ALL internet support ticked", [&] { check23->click(); }},
      {"MONI 1 internet support unticked", [&] { check22->click(); }},
      {"the CHAT window opened", [&] { check7->click(); }},
      {"the MONI 1 combo took the focus",
       [&] {
         QFocusEvent focus(QEvent::FocusIn, Qt::OtherFocusReason);
         QCoreApplication::sendEvent(combo9, &focus);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    check7->SetValue(0);
    check23->SetValue(0);
    check27->click();
    ASSERT_EQ(check27->Value(), 1);
    ASSERT_EQ(check22->Value(), 1);
    expectColours(scanning, scanning);
    c.end();
    EXPECT_EQ(check27->Value(), 0);
    expectColours(grey, normal);
  }
  form->close();
}

// Without a radio the chat reaches the watched station only through the web: the
// polls' time limit closes it with them.
TEST_F(InternetWindowTest, ThePollLimitClosesTheChatWithoutRadio) {
  WriteIni("");
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  auto* check7 = Find<platform::CheckBox>(*form, "Check7");
  auto* check22 = Find<platform::CheckBox>(*form, "Check22");
  QWidget* chat = Find(*form, "Frame3");
  check7->click();
  ASSERT_TRUE(chat->isVisible());
  ASSERT_EQ(check22->Value(), 1);  // the chat switched MONI 1 internet support on
  form->CycleSteps().PollTimeLimit();
  EXPECT_TRUE(chat->isVisible());  // within the limit
  form->Internet().SwitchState().internetPollStart -= form->Shell().InternetPollLimit + 1;
  form->CycleSteps().PollTimeLimit();
  EXPECT_EQ(check22->Value(), 0);
  EXPECT_EQ(check7->Value(), 0);
  EXPECT_FALSE(chat->isVisible());
  form->close();
}

// The tick's time limit of the polls: they switch themselves off InternetPollLimit seconds
// after a support was switched on (the clock compared as an absolute difference).
TEST(InternetWiring, PollTimeLimit) {
  struct Case {
    double start, now;
    bool area, expectOff;
  } cases[] = {{100, 999, false, false}, {100, 1001, false, true}, {1001, 100, true, true}, {100, 1000, true, false}};
  for (const Case& c : cases) {
    reception::ReceptionState state;
    internet::testing::FakeInternetWindow window;
    double& clock = window.clock;
    clock = c.start;
    window.pollLimit = 900;
    int& shown = window.switchesShown;
    reception::testing::FakeHost host;
    InternetWiring wiring(state, host, window, window, window, internet::WebSourcesAt("http://127.0.0.1:9"));
    c.area ? wiring.AreaSupportClicked(true) : wiring.MoniOneSupportClicked(true);
    ASSERT_TRUE(wiring.SwitchState().moniOneSupport);
    clock = c.now;
    shown = 0;
    wiring.PollTimeLimit();
    EXPECT_EQ(!wiring.SwitchState().moniOneSupport, c.expectOff) << c.start << " " << c.now;
    EXPECT_EQ(!wiring.SwitchState().areaSupport, c.expectOff || !c.area);
    EXPECT_EQ(shown, c.expectOff ? 1 : 0);
  }
}

}  // namespace
}  // namespace zeblon
