// The main window alone: start-up faults, closes at awkward times, settings that
// changed under the program, the bounded port drain, the single-run guard.
#include "main_window/form1.h"
#include "map/map_service.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <functional>
#include <memory>
#include <set>

#include "links/live_radio_link.h"
#include "platform/process.h"

#include "tests/support/program_folder.h"
#include "main_window/texts.h"
#include "reception/receive_pass.h"
#include "reception/station_record.h"
#include "settings/text_files.h"
#include "tests/support/find.h"
#include "tests/support/mouse.h"
#include "tests/main_window/minimal_map_display.h"

namespace zeblon {
namespace {

using testing_support::Find;

using testing_support::ProgramFolderTest;
namespace fs = std::filesystem;

class Form1Test : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    Write("ZEBLON.INI", "TEMP=" + folder_.string() +
                            "\r\nUSER=AB1CD\r\nMODEM=4\r\nMSYS=U33\r\nLANG=11\r\n"
                            "UTN=6581.5\r\nUTE=401.25\r\nUUN=6580\r\nUUE=400\r\nCALL=QW7TK\r\nNOAT=1\r\n"
                            "M0050=TOPO\r\nWVER=WIN10\r\n");
  }
  std::unique_ptr<Form1> StartMainWindow() {
    auto form = std::make_unique<Form1>();
    form->show();
    PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; });
    return form;
  }
  // A report of SM5ABC at the map centre, stored and drawn.
  static void HearStationAtTheCentre(Form1& form) {
    reception::RecordParts parts;
    parts.date = "240517";
    parts.time = "0930";
    parts.position = reception::PositionPart(6581500, 401250);
    parts.call = "SM5ABC";
    parts.symbol = "/>";
    form.StoreHeardReport(parts.Build(false));
    form.DrawMap();
  }
  // A report of the weather station SM5WX (weather symbol "/_").
  static std::string WeatherReport() {
    std::string record(120, ' ');
    record.replace(0, 11, "240517 0930");
    record.replace(42, 36, "180/010g015t050r001p010P005h65b10132");
    record.replace(32, 5, "SM5WX");
    record.replace(100, 2, "/_");
    return record;
  }
};

// The texts tables name the controls they set: every name must be one of the window's.
TEST_F(Form1Test, EveryControlTheTextsNameExists) {
  Form1 form;
  std::vector<std::string> names = shell::TooltipTargets();
  for (const auto& [target, source] : shell::DerivedTooltips()) {
    names.push_back(target);
    names.push_back(source);
  }
  for (int language = 1; language <= 3; ++language) {
    for (const auto& entry : shell::Captions(language)) names.push_back(entry.first);
    for (const auto& entry : shell::Tooltips(language, {})) names.push_back(entry.first);
  }
  for (const std::string& name : names) EXPECT_NE(Find(form, name), nullptr) << name;
}

TEST_F(Form1Test, MissingLogFolderDoesNotFailTheStartUp) {
  // No U33 folder at all: the data folder and its LOG folder are made on the way.
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  EXPECT_TRUE(fs::exists(folder_ / "U33" / "LOG" / "QW7TK.TXT"));
  EXPECT_TRUE(fs::exists(folder_ / "U33" / "LOG" / "_CHATLOG.TXT"));
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(form->RadioLink().State().AprsIsPasscode, "18403");  // the passcode of AB1CD
  EXPECT_TRUE(platform::MessageLog().empty());
}

TEST_F(Form1Test, TheReceivePathGetsTheAutomaticAnswerAndTheAlarmDistanceOfTheStartUp) {
  struct Case {
    const char* modem;
    bool autoAnswer;
  };
  for (const Case c : {Case{"4", false}, Case{"0", true}}) {
    Write("ZEBLON.INI", "TEMP=" + folder_.string() + "\r\nUSER=AB1CD\r\nMODEM=" + c.modem +
                            "\r\nMSYS=U33\r\nDIST=0\r\nCALL=QW7TK\r\n");
    auto form = StartMainWindow();
    ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
    EXPECT_EQ(Find<platform::CheckBox>(*form, "Check16")->Value(), 1);
    EXPECT_EQ(form->Reception().settings.autoAnswerOn, c.autoAnswer) << c.modem;
    EXPECT_EQ(form->CurrentSettings().AlarmDistanceKm, 1);
    EXPECT_EQ(form->Reception().settings.alarmDistanceKm, 1) << c.modem;
    form->close();
  }
}

// The clock label shows the radio mode after the time; a mode that names none of
// the known speeds shows the default "300 Bd" instead of nothing.
TEST_F(Form1Test, TheClockLabelShowsTheRadioMode) {
  const std::pair<const char*, const char*> cases[] = {
      {"2400", "300 Bd"}, {"", "300 Bd"}, {"300R", "RPR 300"}, {"9600", "9600 Bd"}};
  for (const auto& [mode, label] : cases) {
    Write("ZEBLON.INI",
          "TEMP=" + folder_.string() + "\r\nUSER=AB1CD\r\nMODEM=0\r\nMSYS=U33\r\nCALL=QW7TK\r\nHBAUD=" + mode + "\r\n");
    auto form = StartMainWindow();
    ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
    const std::string caption = Find<platform::Label>(*form, "Label15")->Caption();
    EXPECT_EQ(caption.substr(5), "   " + std::string(label)) << mode << ": " << caption;
    form->close();
  }
}

TEST_F(Form1Test, StationControlsReachTheReceivePathAndTheWxWindowOpensForWeatherRecords) {
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  auto* check11 = Find<platform::CheckBox>(*form, "Check11");
  auto* check25 = Find<platform::CheckBox>(*form, "Check25");
  auto* label16 = Find<platform::Label>(*form, "Label16");
  EXPECT_EQ(check11->Value(), 1);
  check11->SetValue(0);  // fixed stations hidden
  EXPECT_EQ(form->Reception().settings.stationFilterMask, 29);
  check25->SetValue(0);
  EXPECT_EQ(form->Reception().settings.stationFilterMask, 13);
  for (int i = 0; i < 4; ++i) Find<platform::CommandButton>(*form, "Command14")->click();
  EXPECT_EQ(label16->Caption(), "WX");
  EXPECT_EQ(check25->Value(), 1);  // weather stations shown at the "WX" level
  EXPECT_EQ(form->Reception().settings.moniAllDisplayLevel, 1);
  // MONI ALL alarm on switches MONI 1 on.
  auto* check20 = Find<platform::CheckBox>(*form, "Check20");
  auto* check21 = Find<platform::CheckBox>(*form, "Check21");
  check20->SetValue(0);
  check20->OnMouseUp(1);
  check21->SetValue(1);
  check21->OnMouseUp(1);
  EXPECT_EQ(check20->Value(), 1);
  EXPECT_TRUE(form->Reception().settings.moniAllAlarmOn);
  EXPECT_TRUE(form->Reception().settings.moniOneAlarmOn);
  // A right click opens ALARM DIST SETUP with the distance; OK takes 12.5 as 12.
  check21->OnMouseUp(2);
  auto* frame13 = Find<platform::Frame>(*form, "Frame13");
  EXPECT_TRUE(frame13->isVisible());
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_EQ(Find<platform::TextBox>(*form, "Text9")->Text(), std::to_string(form->CurrentSettings().AlarmDistanceKm));
  Find<platform::TextBox>(*form, "Text9")->SetText("12.5");
  Find<platform::CommandButton>(*form, "Command35")->click();
  EXPECT_FALSE(frame13->isVisible());
  EXPECT_EQ(form->CurrentSettings().AlarmDistanceKm, 12);
  EXPECT_EQ(form->Reception().settings.alarmDistanceKm, 12);
  EXPECT_TRUE(form->Timer1->isActive());

  // The station passes run in the map's redraw: MONI ALL, then MONI 1 with its read-outs.
  HearStationAtTheCentre(*form);
  EXPECT_EQ(form->StationPasses().DrawnOrder(), std::vector<std::string>{"SM5ABC"});
  EXPECT_EQ(Find<platform::Label>(*form, "Label6")->Caption(), std::to_string(form->HeardStations().MoniOneCount()));

  // The WX STATION window for a record with the weather symbol, closed for another.
  std::string record = WeatherReport();
  form->StoreHeardReport(record);
  ASSERT_TRUE(form->ShowStationInfo("SM5WX"));
  form->ShowWxInfoForRecord(record);
  auto* frame15 = Find<platform::Frame>(*form, "Frame15");
  EXPECT_TRUE(frame15->isVisible());
  EXPECT_EQ(frame15->Caption(), "WX STATION  SM5WX  2024-05-17 0930");
  EXPECT_EQ(Find<platform::Label>(*form, "Label37")->Caption(), "PRESSURE   hPa: 1013");
  record.replace(100, 2, "/>");
  form->ShowWxInfoForRecord(record);
  EXPECT_FALSE(frame15->isVisible());
  form->close();
}

// The MONI 1 km ALARM switch as stored: the box shows it and the alarm follows it;
// filter, level and MONI ALL alarm clicks leave it alone, so the next settings
// write stores it unchanged. Only the user's click on the box changes it.
TEST_F(Form1Test, TheStoredMoniOneAlarmIsShownAndKeptUntilTheUserChangesIt) {
  for (const int disa : {0, 1}) {
    SCOPED_TRACE(testing::Message() << "DISA=" << disa);
    Write("ZEBLON.INI", "TEMP=" + folder_.string() +
                            "\r\nUSER=AB1CD\r\nMODEM=4\r\nMSYS=U33\r\nLANG=11\r\nUTN=6581.5\r\nUTE=401.25\r\n"
                            "UUN=6580\r\nUUE=400\r\nCALL=QW7TK\r\nDIST=5\r\nDISA=" +
                            std::to_string(disa) + "\r\n");
    auto form = std::make_unique<Form1>();
    form->SetRadioLink(std::make_unique<links::LiveRadioLink>());
    form->show();
    PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; });
    ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
    auto* check20 = Find<platform::CheckBox>(*form, "Check20");
    auto* check21 = Find<platform::CheckBox>(*form, "Check21");
    auto* check11 = Find<platform::CheckBox>(*form, "Check11");
    EXPECT_EQ(check20->Value(), disa);
    EXPECT_EQ(form->Reception().settings.moniOneAlarmOn, disa == 1);
    // A settings write that changes nothing: OK on the alarm distance as it stands.
    const auto writeSettings = [&] {
      check21->OnMouseUp(2);
      ASSERT_EQ(Find<platform::TextBox>(*form, "Text9")->Text(), "5");
      Find<platform::CommandButton>(*form, "Command35")->click();
    };
    writeSettings();
    const std::string stored = Ini();
    EXPECT_TRUE(IniHas("DISA=" + std::to_string(disa)));

    // A fixed-station filter off and on, the MONI ALL level down and up, and
    // (where MONI 1 is on) the MONI ALL alarm on and off.
    check11->SetValue(0);
    check11->SetValue(1);
    Find<platform::CommandButton>(*form, "Command13")->click();
    Find<platform::CommandButton>(*form, "Command14")->click();
    if (disa == 1) {
      for (const int value : {1, 0}) {
        check21->SetValue(value);
        check21->OnMouseUp(1);
      }
    }
    EXPECT_EQ(check20->Value(), disa);
    EXPECT_EQ(form->Reception().settings.moniOneAlarmOn, disa == 1);
    writeSettings();
    EXPECT_EQ(Ini(), stored);

    // The user's click on the box: the alarm and the file follow it.
    check20->SetValue(1 - disa);
    check20->OnMouseUp(1);
    EXPECT_EQ(form->Reception().settings.moniOneAlarmOn, disa == 0);
    EXPECT_TRUE(IniHas("DISA=" + std::to_string(1 - disa)));
    form->close();
  }
}

// The station controls, Quick Info and the WX STATION window hand the keyboard
// focus back to the map of the active window; a level changed while the picture
// viewer covers the map draws nothing.
TEST_F(Form1Test, TheMapTakesTheFocusBackFromTheStationControls) {
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  form->activateWindow();
  QApplication::setActiveWindow(form.get());
  PumpUntil([&] { return form->isActiveWindow(); }, 2000);
  ASSERT_TRUE(form->isActiveWindow());
  auto& map = dynamic_cast<map::MapService&>(form->MapDisplay()).display();
  int drawings = 0;
  map.hooks().drawn = [&] { ++drawings; };
  QWidget* viewer = Find(*form, "Frame8");
  auto* label16 = Find<platform::Label>(*form, "Label16");
  auto* label17 = Find<platform::Label>(*form, "Label17");
  auto button = [&](const char* name) {
    return [&form, name] { Find<platform::CommandButton>(*form, name)->click(); };
  };
  auto release = [&](const char* name, Qt::MouseButton b) {
    return [&form, name, b] { testing_support::ClickWith(*Find(*form, name), b, QPointF(4, 6)); };
  };
  // A weather report shown in the INFO panel opens the WX STATION window.
  const std::string record = WeatherReport();
  form->StoreHeardReport(record);

  const struct {
    const char* what;
    bool underViewer;
    std::function<void()> act;
    std::function<bool()> done;  // what the control shows afterwards
  } cases[] = {
      {"MONI ALL level down", true, button("Command13"), [&] { return label16->Caption() == "1"; }},
      {"MONI ALL level up", true, button("Command14"), [&] { return label16->Caption() == "2"; }},
      {"MONI 1 level up", true, button("Command17"), [&] { return label17->Caption() == "3"; }},
      {"MONI 1 level down", true, button("Command16"), [&] { return label17->Caption() == "2"; }},
      {"Quick Info", false, [&] { Find<platform::CheckBox>(*form, "Check5")->click(); },
       [&] {
         return form->CurrentSettings().LanguageSetting ==
                (Find<platform::CheckBox>(*form, "Check5")->Value() == 1 ? 11 : 1);
       }},
      {"MONI ALL km ALARM", false, release("Check21", Qt::LeftButton),
       [&] { return Find<platform::CheckBox>(*form, "Check21")->Value() == 1; }},
      {"MONI 1 km ALARM", false, release("Check20", Qt::LeftButton),
       [&] { return Find<platform::CheckBox>(*form, "Check20")->Value() == 0; }},
      {"ALARM DIST SETUP's OK", false,
       [&] {
         testing_support::ClickWith(*Find(*form, "Check20"), Qt::RightButton, QPointF(4, 6));
         Find<platform::TextBox>(*form, "Text9")->SetText("7");
         Find<platform::CommandButton>(*form, "Command35")->click();
       },
       [&] { return form->CurrentSettings().AlarmDistanceKm == 7 && Find(*form, "Frame13")->isHidden(); }},
      {"the WX STATION window", false,
       [&] {
         ASSERT_TRUE(form->ShowStationInfo("SM5WX"));
         Find(*form, "Command1")->setFocus();
         form->ShowWxInfoForRecord(record);
       },
       [&] { return Find(*form, "Frame15")->isVisible(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    form->Map().SetPictureMode(c.underViewer ? 1 : 0);
    viewer->setVisible(c.underViewer);
    QWidget* other = Find(*form, "Command1");
    other->setFocus();
    ASSERT_TRUE(other->hasFocus());
    drawings = 0;
    c.act();
    EXPECT_TRUE(c.done());
    EXPECT_TRUE(form->Picture1->hasFocus());
    if (c.underViewer) {
      EXPECT_EQ(drawings, 0);
    }
  }
  form->close();
}

// The mobile box steps 0, 1, 2, 0 on the press of any mouse button, light only
// at 2 (mobile stations shown while they move); a click makes no step of its own.
TEST_F(Form1Test, TheMobileBoxStepsOnThePressOfAnyButton) {
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  auto* check13 = Find<platform::CheckBox>(*form, "Check13");
  ASSERT_EQ(check13->Value(), 1);
  const struct {
    Qt::MouseButton button;
    int value;
    bool light;
    int maskBit;
  } presses[] = {{Qt::LeftButton, 2, true, 4},
                 {Qt::RightButton, 0, false, 0},
                 {Qt::MiddleButton, 1, false, 4},
                 {Qt::LeftButton, 2, true, 4}};
  for (const auto& p : presses) {
    SCOPED_TRACE(std::to_string(p.button) + " to " + std::to_string(p.value));
    testing_support::ClickWith(*check13, p.button, QPointF(4, check13->height() / 2.0));
    EXPECT_EQ(check13->Value(), p.value);
    const QColor seen = check13->grab().toImage().pixelColor(check13->width() - 3, check13->height() / 2);
    EXPECT_EQ(seen, p.light ? QColor(208, 255, 255) : QColor(160, 192, 192));
    EXPECT_EQ(form->Reception().settings.stationFilterMask & 4, p.maskBit);
  }
  // The keyboard's click changes nothing.
  check13->setFocus();
  QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
  QCoreApplication::sendEvent(check13, &space);
  QKeyEvent spaceUp(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
  QCoreApplication::sendEvent(check13, &spaceUp);
  EXPECT_EQ(check13->Value(), 2);
  form->close();
}

// While a station pass draws, the window shows the wait pointer, and the normal
// one after it.
TEST_F(Form1Test, TheStationPassesShowTheWaitPointerWhileTheyDraw) {
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  struct Pointers : QObject {
    std::vector<Qt::CursorShape> seen;  // each change once
    bool eventFilter(QObject* o, QEvent* e) override {
      const Qt::CursorShape now = static_cast<QWidget*>(o)->cursor().shape();
      if (e->type() == QEvent::CursorChange && (seen.empty() || seen.back() != now)) seen.push_back(now);
      return false;
    }
  } pointers;
  form->installEventFilter(&pointers);
  const struct {
    int moniAllLevel;
    std::vector<Qt::CursorShape> seen;
  } cases[] = {{2, {Qt::WaitCursor, Qt::ArrowCursor, Qt::WaitCursor, Qt::ArrowCursor}},
               {0, {Qt::WaitCursor, Qt::ArrowCursor}}};  // MONI 1 alone
  for (const auto& c : cases) {
    SCOPED_TRACE(c.moniAllLevel);
    while (form->Reception().settings.moniAllDisplayLevel > c.moniAllLevel)
      Find<platform::CommandButton>(*form, "Command13")->click();
    pointers.seen.clear();
    form->DrawMap();
    EXPECT_EQ(pointers.seen, c.seen);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
  }
  form->removeEventFilter(&pointers);
  form->close();
}

// CLEAR MONI ALL empties the report log, the RAW list and the drawing's call
// lists, also while the picture viewer covers the map and nothing is drawn.
TEST_F(Form1Test, ClearMoniAllEmptiesTheStationDrawing) {
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  HearStationAtTheCentre(*form);
  ASSERT_EQ(form->StationPasses().DrawnOrder(), std::vector<std::string>{"SM5ABC"});
  form->Map().SetPictureMode(1);
  Find(*form, "Frame8")->show();
  Find<platform::CommandButton>(*form, "Command3")->click();
  EXPECT_EQ(form->HeardStations().MoniAllCount(), 0);
  auto* list1 = Find<platform::ListBox>(*form, "List1");
  ASSERT_EQ(list1->ListCount(), 1);
  EXPECT_EQ(list1->List(0), "");
  EXPECT_TRUE(form->StationPasses().DrawnOrder().empty());
  EXPECT_TRUE(form->Timer1->isActive());
  form->close();
}

// The INFO panel's buttons in the program's own font.
TEST_F(Form1Test, TheInfoPanelsButtonsUseTheProgramFont) {
  ASSERT_GE(QFontDatabase::addApplicationFont(QString(ZEBLON_PROGRAM_DIR) + "/FONTS/QW7_F3.TTF"), 0);
  auto form = StartMainWindow();
  const auto buttons = Find(*form, "Frame1")->findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 13);
  for (const QPushButton* b : buttons)
    EXPECT_EQ(QFontInfo(b->font()).family().toStdString(), "QW7_F3") << b->objectName().toStdString();
  form->close();
}

TEST_F(Form1Test, LaterActivationsRunOnlyTheHeadAndTheTail) {
  Write("ZEBLON.INI", "TEMP=" + folder_.string() + "\r\nUSER=AB1CD\r\nMODEM=4\r\nMSYS=U33\r\nUUN=0\r\nUUE=0\r\n");
  auto form = std::make_unique<Form1>();
  int clock_reads = 0;  // one speed test reads the clock three times
  form->SpeedTestClock = [&clock_reads] { return ++clock_reads * 0.6; };
  auto* map = new MinimalMapDisplay;
  form->SetMapDisplay(std::unique_ptr<map::MapDisplayService>(map));
  form->show();
  PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; });
  ASSERT_EQ(clock_reads, 3);
  ASSERT_EQ(map->drawings, 1);
  // The own position is 0/0: the prompt comes back at every activation; an open
  // terminal is set up again (its boxes emptied, the cycle paused).
  Find(*form, "Frame2")->hide();
  form->Form_KeyDown(113);
  Find<platform::TextBox>(*form, "Text19")->SetText("typed");
  form->Map().SetCentre(6000, form->Map().state().CentreEast);  // the full start-up would take the file's centre again
  form->Form_Activate();
  EXPECT_EQ(clock_reads, 3);
  EXPECT_EQ(map->drawings, 2);
  EXPECT_DOUBLE_EQ(form->CurrentSettings().CentreNorth, 6000);
  EXPECT_FALSE(Find(*form, "Frame2")->isHidden());
  EXPECT_EQ(Find<platform::TextBox>(*form, "Text19")->Text(), "");
  EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(Form1Test, TheChatLogIsFoundWhateverTheCaseOfItsName) {
  Write("u33/log/_chatlog.txt", "saved\r\n");
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  EXPECT_FALSE(fs::exists(folder_ / "u33" / "log" / "_CHATLOG.TXT"));
  EXPECT_EQ(Read("u33/log/_chatlog.txt"), "saved\r\n");
}

// A radio link whose bring-up lets the user close the window in the middle of the start-up.
class ClosingLink : public links::MinimalRadioLink {
 public:
  explicit ClosingLink(Form1& form) : form_(form) {}
  void BringUp() override {
    links::MinimalRadioLink::BringUp();
    form_.CloseByUser();
    closedDuringStartup = form_.ShutdownDone();
  }
  bool closedDuringStartup = true;

 private:
  Form1& form_;
};

TEST_F(Form1Test, ACloseDuringStartUpWaitsForItsEndAndThenSavesEverything) {
  auto form = std::make_unique<Form1>();
  auto link = std::make_unique<ClosingLink>(*form);
  ClosingLink* l = link.get();
  form->SetRadioLink(std::move(link));
  form->show();
  PumpUntil([&] { return form->ShutdownDone(); });
  EXPECT_FALSE(l->closedDuringStartup);
  EXPECT_TRUE(form->ShutdownDone());
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_TRUE(IniHas("UUN=6580"));
  EXPECT_TRUE(IniHas("USER=AB1CD"));
}

TEST_F(Form1Test, SettingsThatChangedUnderTheProgramAreKept) {
  auto form = StartMainWindow();
  // Someone edits the file while the program runs: their lines stay, ours are patched.
  Write("ZEBLON.INI", Ini() + "XTRA=kept\r\n");
  form->CloseByUser();
  EXPECT_TRUE(IniHas("XTRA=kept"));
  EXPECT_TRUE(IniHas("USER=AB1CD"));
  EXPECT_TRUE(IniHas("NOAT=1"));
  EXPECT_TRUE(IniHas("UTN=6581.5"));
}

TEST_F(Form1Test, ASettingsFileDeletedWhileRunningIsWrittenAnew) {
  auto form = StartMainWindow();
  fs::remove(folder_ / "ZEBLON.INI");
  form->CloseByUser();
  EXPECT_TRUE(IniHas("USER=AB1CD"));
  EXPECT_TRUE(IniHas("MODEM=4"));
  EXPECT_TRUE(IniHas("UTE=401.25"));
  EXPECT_TRUE(IniHas("M0050="));
  EXPECT_TRUE(platform::MessageLog().empty());
}

TEST_F(Form1Test, AnUnwritableSettingsFileGivesAClearMessage) {
  auto form = StartMainWindow();
  // A folder in the settings file's place: neither read nor written, whoever runs the test.
  fs::remove(folder_ / "ZEBLON.INI");
  fs::create_directory(folder_ / "ZEBLON.INI");
  form->CloseByUser();
  EXPECT_TRUE(fs::is_directory(folder_ / "ZEBLON.INI"));
  ASSERT_FALSE(platform::MessageLog().empty());
  EXPECT_EQ(platform::MessageLog().back().text, "CANNOT WRITE " + (folder_ / "ZEBLON.INI").string() + " !");
}

TEST_F(Form1Test, ACloseFromCodeOnlyStopsTheTimers) {
  auto form = StartMainWindow();
  fs::create_directories(folder_ / "MAPS" / "M0050TOPO");
  const std::string before = Ini();
  form->close();
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_FALSE(form->ShutdownDone());
  EXPECT_EQ(Ini(), before);
  EXPECT_TRUE(fs::exists(map::MapService::IndexFolder(folder_.string(), form->AppFolder()) / "ALLMDIRS.DIR"));  // left
}

// A connected pair of pseudo-terminals: the program opens `a`, the test plays the TNC on `b`.
struct SocatPair {
  explicit SocatPair(const fs::path& folder) : a((folder / "ttyA").string()), b((folder / "ttyB").string()) {
    socat.start("socat", {QString::fromStdString("pty,raw,echo=0,link=" + a),
                          QString::fromStdString("pty,raw,echo=0,link=" + b)});
    started = socat.waitForStarted();
    QElapsedTimer t;
    t.start();
    while (!(fs::exists(a) && fs::exists(b)) && t.elapsed() < 3000) QThread::msleep(10);
  }
  ~SocatPair() {
    socat.kill();
    socat.waitForFinished();
  }
  std::string a, b;
  QProcess socat;
  bool started = false;
};

TEST_F(Form1Test, TheUsersCloseSendsTheTncItsLastCommands) {
  if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat missing";
  struct Case {
    const char* modem;
    std::string bytes;
  };
  const Case cases[] = {{"1", "\x03"}, {"5", "\x1B%ZL\r"}, {"6", "\x1BQ\r\x1BRESET\r"}, {"4", ""}, {"0", ""}};
  for (const Case& c : cases) {
    SocatPair pair(folder_);
    ASSERT_TRUE(pair.started);
    Write("ZEBLON.INI",
          "TEMP=" + folder_.string() + "\r\nUSER=AB1CD\r\nMODEM=" + c.modem + "\r\nMSYS=U33\r\nCALL=QW7TK\r\n");
    auto form = StartMainWindow();
    const int tnc = ::open(pair.b.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
    ASSERT_GE(tnc, 0);
    ASSERT_TRUE(form->RadioLink().State().MSComm1.Open(1, "9600,N,8,1", pair.a));
    form->CloseByUser();
    EXPECT_FALSE(form->RadioLink().State().MSComm1.IsOpen()) << "MODEM=" << c.modem;  // drained and closed
    std::string got;
    QElapsedTimer t;
    t.start();
    // Under load the line may take a while: wait for all that is expected (up to 5 s),
    // and at least 300 ms for anything beyond it.
    while ((got.size() < c.bytes.size() && t.elapsed() < 5000) || (got.size() == c.bytes.size() && t.elapsed() < 300)) {
      char buf[64];
      const ssize_t n = ::read(tnc, buf, sizeof buf);
      if (n > 0)
        got.append(buf, static_cast<std::size_t>(n));
      else
        QThread::msleep(10);
    }
    ::close(tnc);
    EXPECT_EQ(got, c.bytes) << "MODEM=" << c.modem;
  }
}

TEST_F(Form1Test, FunctionKeysReachTheWindowWhicheverControlHasTheFocus) {
  auto form = StartMainWindow();
  auto* map = new MinimalMapDisplay;
  form->SetMapDisplay(std::unique_ptr<map::MapDisplayService>(map));
  auto press = [](QWidget* w, Qt::Key key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  };
  // A combo box takes F4 for its own list unless the window sees the key first.
  auto* combo9 = Find(*form, "Combo9");
  press(combo9, Qt::Key_F4);
  press(combo9, Qt::Key_F9);
  EXPECT_EQ(map->handedOff, (std::vector<int>{115, 120}));
  // F2 from the chat box opens the terminal, also with the TERM button disabled.
  ASSERT_FALSE(Find(*form, "Command65")->isEnabled());
  press(Find(*form, "Text2"), Qt::Key_F2);
  EXPECT_FALSE(Find(*form, "Frame19")->isHidden());
  // Other keys stay with the control.
  press(combo9, Qt::Key_A);
  EXPECT_EQ(map->handedOff.size(), 2u);
}

// A stored record of `call` (date and time "YYMMDD HHMM", comment) as the logs hold it.
std::string StoredRecord(const std::string& date_time, const std::string& call, const std::string& comment) {
  std::string r = reception::BlankRecord();
  r.replace(0, date_time.size(), date_time);
  r.replace(13, 9, "6585.5000");
  r.replace(22, 9, " 405.2500");
  r.replace(32, call.size(), call);
  r.replace(42, comment.size(), comment);
  r.replace(90, 5, "WIDE1");
  r.replace(100, 2, "/>");
  r.replace(104, 3, "CAR");
  return r;
}

TEST_F(Form1Test, PickingAStationInTheCallComboLoadsItsLogAndStoresTheCall) {
  Write("U33/LOG/XY1ABC.TXT", StoredRecord("240101 1000", "XY1ABC", "first") + "\r\n" +
                                  StoredRecord("240101 1100", "XY1ABC", "second & more") + "\r\n");
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  auto* combo9 = Find<platform::ComboBox>(*form, "Combo9");
  std::vector<std::string> listed;
  for (int i = 0; i < combo9->ListCount(); ++i) listed.push_back(combo9->List(i));
  EXPECT_NE(std::find(listed.begin(), listed.end(), "XY1ABC"), listed.end());
  EXPECT_EQ(std::find(listed.begin(), listed.end(), "_CHATLOG"), listed.end());
  // A report of the station heard since its log was written.
  ASSERT_EQ(form->HeardStations().MoniAllCount(), 0);
  form->StoreHeardReport(StoredRecord("240101 1200", "XY1ABC", "heard since"));
  form->Internet().SwitchState().lastRawRequestHhmm = 1200;

  combo9->SetText(" xy1abc ");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(combo9->lineEdit(), &enter);

  EXPECT_EQ(form->CurrentSettings().MoniOneCall, "XY1ABC");
  EXPECT_EQ(combo9->Text(), "XY1ABC");
  ASSERT_EQ(form->HeardStations().MoniOneCount(), 3);
  EXPECT_EQ(form->HeardStations().Newest().comment, "heard since");
  EXPECT_DOUBLE_EQ(form->HeardStations().Newest().north, 6585.5);
  EXPECT_EQ(form->Map().state().CentreMode, 1);
  EXPECT_TRUE(Find<platform::OptionButton>(*form, "Option2")->isChecked());
  EXPECT_EQ(Find<platform::Label>(*form, "Label6")->Caption(), "3");
  EXPECT_NE(Find<platform::Label>(*form, "Label10")->Caption().find("heard since"), std::string::npos);
  EXPECT_EQ(Find<QLineEdit>(*form, "Text2")->text(), "XY1ABC");
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(form->Internet().SwitchState().lastRawRequestHhmm, -5000);  // the station's poll is due
  // The log holds the merged report; the settings file the new call, other lines kept.
  const std::string log = Read("U33/LOG/XY1ABC.TXT");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
  const std::string ini = Ini();
  EXPECT_NE(ini.find("\r\nCALL=XY1ABC\r\n"), std::string::npos);
  EXPECT_EQ(ini.find("QW7TK"), std::string::npos);
  EXPECT_NE(ini.find("USER=AB1CD\r\n"), std::string::npos);

  // The main cycle takes a combo text other than the call like Enter; a blank text
  // puts the call back.
  combo9->SetText("qw7tk");
  EXPECT_TRUE(form->MoniOneSelect().TakeChangedMoniOneCall());
  EXPECT_EQ(form->CurrentSettings().MoniOneCall, "QW7TK");
  EXPECT_FALSE(form->MoniOneSelect().TakeChangedMoniOneCall());
  combo9->SetText("  ");
  form->MoniOneSelect().MoniOneComboKeyDown(13);
  EXPECT_EQ(combo9->Text(), "QW7TK");

  // A call that looks like a path stays a file inside LOG.
  combo9->SetText("../../EVIL");
  form->MoniOneSelect().MoniOneComboKeyDown(13);
  EXPECT_FALSE(fs::exists(folder_ / "EVIL.TXT"));
  EXPECT_FALSE(fs::exists(folder_ / "U33" / "EVIL.TXT"));
  const fs::path evil = reception::MoniOneLogPath(folder_ / "U33", "../../EVIL");
  EXPECT_EQ(evil.parent_path(), folder_ / "U33" / "LOG");
  EXPECT_TRUE(fs::exists(evil));
}

// Choosing a station, in each of the window's three ways, keeps every report of its
// log however old, and changes nothing in the settings file but the CALL= line.
// With smart logging the watched station's reports with a deviating time stamp
// leave the track when the window draws the map; without it they stay.
TEST_F(Form1Test, SmartLoggingDropsStampedTrackReportsWhenTheMapIsDrawn) {
  std::string stamped = StoredRecord("240101 1201", "QW7TK", "stamped");
  reception::WriteAt(stamped, 12, "T");
  const std::string ini = Read("ZEBLON.INI");
  for (const bool smart : {false, true}) {
    // The watched station's log restored into the track at the start, smart logging set.
    Write("ZEBLON.INI", ini + "SLOG=" + (smart ? "1" : "0") + "\r\n");
    Write("U33/LOG/QW7TK.TXT", TrimRight(StoredRecord("240101 1200", "QW7TK", "a")) + "\r\n" + TrimRight(stamped) +
                                   "\r\n" + TrimRight(StoredRecord("240101 1202", "QW7TK", "b")) + "\r\n");
    auto form = StartMainWindow();
    ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
    form->DrawMap();
    std::vector<std::string> comments;
    for (const std::string& r : form->HeardStations().TrackRecords()) {
      comments.push_back(reception::TrimmedColumns(r, 43, 89));
    }
    const std::vector<std::string> kept =
        smart ? std::vector<std::string>{"a", "b"} : std::vector<std::string>{"a", "stamped", "b"};
    EXPECT_EQ(comments, kept) << smart;
    form->close();
  }
}

TEST_F(Form1Test, ChoosingAStationKeepsEveryStoredReportHoweverOld) {
  // A stored line as the logs hold it: the record without its trailing blanks.
  auto line = [](const std::string& date_time, const std::string& call, const std::string& comment) {
    return TrimRight(StoredRecord(date_time, call, comment));
  };
  auto log_of = [&](const std::string& call) {
    return line("230115 0800", call, "January 2023") + "\r\n" + line("240620 1830", call, "June 2024") + "\r\n" +
           line("241224 2359", call, "December 2024") + "\r\n";
  };
  Write("U33/LOG/XY1ABC.TXT", log_of("XY1ABC"));
  Write("U33/LOG/AB2CD.TXT", log_of("AB2CD"));
  auto form = StartMainWindow();
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  const std::string ini = Ini();
  const std::string call_line = "\r\nCALL=QW7TK\r\n";
  const std::string::size_type at = ini.find(call_line);
  ASSERT_NE(at, std::string::npos);
  auto ini_with_call = [&](const std::string& call) {
    return ini.substr(0, at) + "\r\nCALL=" + call + "\r\n" + ini.substr(at + call_line.size());
  };

  // Enter in the call combo.
  auto* combo9 = Find<platform::ComboBox>(*form, "Combo9");
  combo9->SetText("xy1abc");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(combo9->lineEdit(), &enter);
  ASSERT_EQ(form->CurrentSettings().MoniOneCall, "XY1ABC");
  EXPECT_EQ(Read("U33/LOG/XY1ABC.TXT"), log_of("XY1ABC"));
  EXPECT_EQ(form->HeardStations().MoniOneCount(), 3);
  EXPECT_EQ(form->HeardStations().Newest().comment, "December 2024");
  EXPECT_EQ(Ini(), ini_with_call("XY1ABC"));

  // MONI1 in the INFO panel, on a station heard since its log was written.
  form->StoreHeardReport(StoredRecord("250105 1000", "AB2CD", "heard since"));
  ASSERT_TRUE(form->ShowStationInfo("AB2CD"));
  platform::SetMessageResponder([](const platform::MessageRecord&) { return platform::MsgResult::Yes; });
  form->InfoFrame().Command11->click();
  platform::SetMessageResponder(nullptr);
  ASSERT_EQ(form->CurrentSettings().MoniOneCall, "AB2CD");
  EXPECT_EQ(Read("U33/LOG/AB2CD.TXT"), log_of("AB2CD") + line("250105 1000", "AB2CD", "heard since") + "\r\n");
  EXPECT_EQ(form->HeardStations().MoniOneCount(), 4);
  EXPECT_EQ(Ini(), ini_with_call("AB2CD"));

  // The internet scan takes every stored station in turn.
  Find<platform::CommandButton>(*form, "Command3")->click();  // CLR: MONI ALL starts anew
  ASSERT_EQ(form->HeardStations().MoniAllCount(), 0);
  const std::string ab2cd = Read("U33/LOG/AB2CD.TXT");
  std::set<std::string> listed;
  for (int i = 0; i < combo9->ListCount(); ++i) listed.insert(combo9->List(i));
  ASSERT_TRUE(listed.count("XY1ABC") == 1 && listed.count("AB2CD") == 1);
  auto* check27 = Find<platform::CheckBox>(*form, "Check27");
  check27->SetValue(1);
  std::set<std::string> scanned{form->CurrentSettings().MoniOneCall};
  for (int tick = 0; tick < 5 * combo9->ListCount(); ++tick) {
    if (form->Internet().Switches().Tick()) scanned.insert(form->CurrentSettings().MoniOneCall);
  }
  check27->SetValue(0);
  EXPECT_EQ(scanned, listed);
  EXPECT_EQ(Read("U33/LOG/XY1ABC.TXT"), log_of("XY1ABC"));
  EXPECT_EQ(Read("U33/LOG/AB2CD.TXT"), ab2cd);
  EXPECT_EQ(Ini(), ini_with_call(form->CurrentSettings().MoniOneCall));
}

}  // namespace
}  // namespace zeblon
