// The main window's station data from the web against a local HTTP server: the
// MONI 1 internet support box makes the next tick ask the source named by the
// environment for the watched call's raw packets, and their positions land in
// the MONI 1 track; the IONO DATA frame's OK saves typed values; with automatic
// update the start-up takes both values from the magnetogram page, and a
// settings file that cannot be written then is told in a box that is not modal.
#include <QDateTime>
#include <QFontMetrics>
#include <QMessageBox>
#include <cstdlib>
#include <memory>

#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "map/readouts.h"
#include "platform/qtext.h"
#include "reception/station_record.h"
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
  form->Tick().Run(Inputs());
  EXPECT_TRUE(server_.targets.empty());

  auto* check22 = Find<platform::CheckBox>(*form, "Check22");
  check22->SetValue(1);  // as the user's click: its handler runs
  EXPECT_TRUE(form->Internet().SwitchState().moniOneSupport);
  EXPECT_EQ(form->Tick().Run(Inputs()), links::TickEnd::MoniOnePoll);
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
  form->Tick().Run(Inputs());
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
  text17->SetText("123");
  text18->SetText("4.5 x");
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

// Step 12 of the tick: the polls switch themselves off InternetPollLimit seconds
// after a support was switched on (the clock compared as an absolute difference).
TEST(InternetWiring, PollTimeLimit) {
  struct Case {
    double start, now;
    bool area, expectOff;
  } cases[] = {{100, 999, false, false}, {100, 1001, false, true}, {1001, 100, true, true}, {100, 1000, true, false}};
  for (const Case& c : cases) {
    reception::ReceptionState state;
    double clock = c.start;
    InternetWiring::Hooks h;
    h.switches.runTimer = [&] { return clock; };
    h.clockSeconds = [&] { return clock; };
    h.pollLimitSeconds = [] { return 900.0; };
    int shown = 0;
    h.switchesChanged = [&] { ++shown; };
    InternetWiring wiring(state, h, internet::WebSourcesAt("http://127.0.0.1:9"));
    links::TickHooks tick;
    wiring.FillTickHooks(tick);
    c.area ? wiring.AreaSupportClicked(true) : wiring.MoniOneSupportClicked(true);
    ASSERT_TRUE(wiring.SwitchState().moniOneSupport);
    clock = c.now;
    shown = 0;
    tick.pollTimeLimit();
    EXPECT_EQ(!wiring.SwitchState().moniOneSupport, c.expectOff) << c.start << " " << c.now;
    EXPECT_EQ(!wiring.SwitchState().areaSupport, c.expectOff || !c.area);
    EXPECT_EQ(shown, c.expectOff ? 1 : 0);
  }
}

}  // namespace
}  // namespace zeblon
