// The start window from a fresh program folder to START, offscreen.
#include "app/program.h"
#include "start_window/form0.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QToolTip>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <thread>
#include <filesystem>

#include "geodesy/text.h"
#include "main_window/form1.h"
#include "platform/process.h"
#include "platform/serial_port.h"
#include "platform/message_box.h"
#include "platform/wait.h"
#include "reception/symbol_table.h"
#include "settings/settings.h"
#include "tests/support/direwolf.h"
#include "tests/support/path_memory_clicks.h"
#include "tests/support/program_folder.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;

class StartWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<testing_support::ScratchFolder>("zeblon_form0", true);
    folder_ = scratch_->path();
    const fs::path built = ZEBLON_PROGRAM_DIR;
    fs::copy(built / "FONTS", folder_ / "FONTS", fs::copy_options::recursive);
    fs::copy_file(ZEBLON_STOCK_ARCHIVE, folder_ / "STOCK.ZIP");
    fs::copy_file(built / "README.HTM", folder_ / "README.HTM");
    fs::copy_file(built / "HISTORY.TXT", folder_ / "HISTORY.TXT");
    for (const char* f :
         {"ZEBLSYM0.BMP", "ZEBLSYM1.BMP", "STARTPIC.JPG", "FLAG_EN.BMP", "FLAG_DE.BMP", "FLAG_SV.BMP"}) {
      fs::copy_file(built / f, folder_ / f);
    }
    RegisterProgramFonts(folder_.string());
    // Waits pass quickly: every look at the clock moves it on a quarter second.
    platform::SetWaitClock([t = 0.0]() mutable { return t += 0.25; });
    platform::ClearMessageLog();
    program_ = std::make_unique<Program>();
    program_->EndProgram = [this](int code) { end_code_ = code; };
    form0_ = program_->StartWindow();
    form0_->OpenDocument = [this](const std::string& path) {
      opened_.push_back(path);
      return true;
    };
  }

  void TearDown() override {
    program_.reset();
    platform::SetWaitClock(nullptr);
    scratch_.reset();
  }

  std::string Ini() {
    std::string bytes;
    ReadWholeFile(folder_ / "ZEBLON.INI", bytes);
    return bytes;
  }

  bool MessageShown(const std::string& text) {
    for (const auto& m : platform::MessageLog()) {
      if (m.text == text) return true;
    }
    return false;
  }

  std::unique_ptr<testing_support::ScratchFolder> scratch_;
  fs::path folder_;
  std::unique_ptr<Program> program_;
  Form0* form0_ = nullptr;
  std::vector<std::string> opened_;
  int end_code_ = -1;
};

TEST_F(StartWindowTest, FirstRunThenStartHandsOverToTheMainWindow) {
  // The packet engine's port is one of the test's own where nothing listens (the
  // file without TEMP= is still a first run).
  WriteFileAtomically(folder_ / "ZEBLON.INI", "HOSTP=" + std::to_string(testing_support::FreePort()) + "\r\n");
  form0_->show();
  ASSERT_TRUE(form0_->Form_Activate());
  // First run: settings file created, help page opened, stock data unpacked.
  EXPECT_TRUE(fs::exists(folder_ / "ZEBLON.INI"));
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], (folder_ / "README.HTM").string());
  EXPECT_TRUE(fs::is_directory(folder_ / "U33" / "LOG"));
  EXPECT_TRUE(fs::is_directory(folder_ / "U33" / "UTMPICS"));
  EXPECT_FALSE(fs::exists(folder_ / "STOCK.ZIP"));
  EXPECT_TRUE(form0_->Command1->isEnabled());
  EXPECT_EQ(form0_->CurrentSettings().MapSystem, "U33");
  // The defaults reached both TX setup panels.
  Form1& main = program_->MainWindow();
  EXPECT_EQ(main.TxPanel().fr4Text3->Text(), "ZEBL");
  EXPECT_EQ(main.TxPanel().fr4Text2->Text(), "MANUAL");
  EXPECT_EQ(form0_->TxPanel().fr4Text10->Text(), "A");
  EXPECT_FALSE(main.isVisible());

  // The call box drops an SSID as it is typed.
  form0_->Text8->SetText("ab1cd-7");
  EXPECT_EQ(form0_->Text8->Text(), "ab1cd");
  form0_->Command1->click();
  QCoreApplication::processEvents();

  const std::string ini = Ini();
  EXPECT_EQ(SplitLines(ini).size(), 80u);
  EXPECT_NE(ini.find("\r\nUSER=AB1CD\r\n"), std::string::npos);
  EXPECT_NE(ini.find("\r\nMSYS=U33\r\n"), std::string::npos);
  EXPECT_NE(ini.find("\r\nTXTO=ZEBL\r\n"), std::string::npos);
  EXPECT_NE(ini.find("\r\nAISRV="), std::string::npos);
  EXPECT_TRUE(program_->MainWindowLoaded());
  EXPECT_TRUE(program_->MainWindow().isVisible());
  EXPECT_EQ(end_code_, -1);
  EXPECT_TRUE(platform::MessageLog().empty());
}

TEST_F(StartWindowTest, SecondStartIsNotAFirstRun) {
  WriteFileAtomically(folder_ / "ZEBLON.INI",
                      "TEMP=/tmp\r\nUSER=ab1cd\r\nMODEM=5\r\nSCOMP=4\r\nHBAUD=300R\r\nLANG=2\r\n");
  fs::create_directories(folder_ / "U33");
  ASSERT_TRUE(form0_->Form_Activate());
  EXPECT_TRUE(opened_.empty());
  EXPECT_FALSE(fs::exists(folder_ / "STOCK.ZIP"));  // deleted: the stock folder is there
  EXPECT_EQ(form0_->Text8->Text(), "AB1CD");
  EXPECT_TRUE(form0_->Option11->Value());
  EXPECT_EQ(form0_->Text3->Text(), "4");
  EXPECT_TRUE(form0_->TxPanel().Option12->Value());
  EXPECT_TRUE(form0_->TxPanel().Option12->isEnabled());
  EXPECT_TRUE(form0_->Option2->Value());
  EXPECT_EQ(form0_->CurrentSettings().LanguageSetting, 12);
  EXPECT_EQ(form0_->IGateCallOk(), 1);
  EXPECT_TRUE(form0_->TxPanel().Check9->isEnabled());
}

// The TX setup's IGate box opens for every valid call, one-letter prefixes too.
TEST_F(StartWindowTest, IGateBoxFollowsTheCallRule) {
  for (const auto& [call, valid] : {std::pair{"W1AW", true}, std::pair{"ABCD", false}}) {
    SCOPED_TRACE(call);
    program_ = std::make_unique<Program>();
    program_->EndProgram = [this](int code) { end_code_ = code; };
    form0_ = program_->StartWindow();
    WriteFileAtomically(folder_ / "ZEBLON.INI", std::string("TEMP=/tmp\r\nUSER=") + call + "\r\nMODEM=4\r\n");
    fs::create_directories(folder_ / "U33");
    ASSERT_TRUE(form0_->Form_Activate());
    EXPECT_EQ(form0_->IGateCallOk(), valid ? 1 : 0);
    EXPECT_EQ(form0_->TxPanel().Check9->isEnabled(), valid);
  }
}

// READ! and HISTORY open the program folder's own documents; one that is missing,
// or that no program opens, is said in a box instead of nothing happening.
TEST_F(StartWindowTest, ReadAndHistoryOpenTheProgramsDocumentsOrSayWhyNot) {
  WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nUSER=ab1cd\r\nMODEM=4\r\nLANG=11\r\n");
  fs::create_directories(folder_ / "U33");
  ASSERT_TRUE(form0_->Form_Activate());
  // The history shipped with the program is this program's own.
  std::string history;
  ReadWholeFile(folder_ / "HISTORY.TXT", history);
  EXPECT_EQ(history.rfind("ZEBLON - PROGRAM VERSION HISTORY", 0), 0u);
  EXPECT_NE(history.find("8.08"), std::string::npos);
  opened_.clear();
  platform::ClearMessageLog();
  form0_->Command6->click();
  form0_->Command3->click();
  EXPECT_EQ(opened_, (std::vector<std::string>{(folder_ / "HISTORY.TXT").string(), (folder_ / "README.HTM").string()}));
  EXPECT_TRUE(platform::MessageLog().empty());

  fs::remove(folder_ / "HISTORY.TXT");
  form0_->Command6->click();
  EXPECT_EQ(opened_.size(), 2u);  // the opener is not asked about a missing file
  ASSERT_EQ(platform::MessageLog().size(), 1u);
  EXPECT_EQ(platform::MessageLog()[0].text.rfind("FILE NOT FOUND:\r\n" + (folder_ / "HISTORY.TXT").string(), 0), 0u);
  EXPECT_EQ(platform::MessageLog()[0].title, "ZEBLON  START");

  form0_->OpenDocument = [](const std::string&) { return false; };  // no program opens it
  form0_->Command3->click();
  ASSERT_EQ(platform::MessageLog().size(), 2u);
  EXPECT_EQ(platform::MessageLog()[1].text.rfind("NO PROGRAM FOUND TO OPEN\r\n" + (folder_ / "README.HTM").string(), 0),
            0u);
}

// Folders typed into the start window: a Linux path keeps its letter case (an
// upper-cased one would name a folder that does not exist), a Windows path is
// upper-cased as ever.
TEST_F(StartWindowTest, TypedFoldersKeepTheLetterCaseOfLinuxPaths) {
  WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nUSER=QW7TK\r\nMODEM=4\r\nLANG=11\r\n");
  fs::create_directories(folder_ / "U33");
  const fs::path temp = folder_ / "Temp Files";
  fs::create_directories(temp);
  ASSERT_TRUE(form0_->Form_Activate());
  form0_->Text2->SetText(" " + temp.string() + " ");
  form0_->Text1->SetText("c:\\zeblon\\u33");
  form0_->Command1->click();
  QCoreApplication::processEvents();
  ASSERT_TRUE(program_->MainWindowLoaded());
  const std::string ini = Ini();
  EXPECT_NE(ini.find("\r\nTEMP=" + temp.string() + "\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("\r\nUMAPS=C:\\ZEBLON\\U33\r\n"), std::string::npos) << ini;
  EXPECT_EQ(program_->MainWindow().CurrentSettings().TempFolder, temp.string());
  // The next start shows the folder as typed (START has closed the start window).
  program_.reset();
  program_ = std::make_unique<Program>();
  program_->EndProgram = [this](int code) { end_code_ = code; };
  form0_ = program_->StartWindow();
  ASSERT_TRUE(form0_->Form_Activate());
  EXPECT_EQ(form0_->Text2->Text(), temp.string());
}

// xdg-open is there but no program for the help page's kind of document: the
// message names what is missing, not the package that is installed.
TEST_F(StartWindowTest, ADocumentNoProgramOpensNamesWhatIsMissing) {
  WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nUSER=ab1cd\r\nMODEM=4\r\nLANG=11\r\n");
  fs::create_directories(folder_ / "U33");
  ASSERT_TRUE(form0_->Form_Activate());
  fs::create_directories(folder_ / "bin");
  WriteFileAtomically(folder_ / "bin" / "xdg-open", "#!/bin/sh\nexit 3\n");  // its word for "no program"
  fs::permissions(folder_ / "bin" / "xdg-open", fs::perms::owner_all);
  const std::string old_path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  setenv("PATH", ((folder_ / "bin").string() + ":" + old_path).c_str(), 1);
  form0_->OpenDocument = [](const std::string& path) { return platform::OpenWithShell(path); };
  platform::ClearMessageLog();
  form0_->Command3->click();  // READ!
  QElapsedTimer t;
  t.start();
  while (platform::MessageLog().empty() && t.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  setenv("PATH", old_path.c_str(), 1);
  ASSERT_EQ(platform::MessageLog().size(), 1u);
  const std::string text = platform::MessageLog()[0].text;
  EXPECT_EQ(text, "NO PROGRAM FOUND TO OPEN\r\n" + (folder_ / "README.HTM").string() +
                      "\r\n(NO PROGRAM IS INSTALLED FOR DOCUMENTS OF THE KIND text/html)");
  EXPECT_EQ(text.find("xdg-utils"), std::string::npos);
}

// A settings file brought from the other window version keeps START in the window.
TEST_F(StartWindowTest, WindowsVersionLineKeepsStartReachable) {
  WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nWVER=win10\r\n");
  fs::create_directories(folder_ / "U33");
  ASSERT_TRUE(form0_->Form_Activate());
  EXPECT_EQ(form0_->CurrentSettings().WindowsVersion, "WIN10");
  EXPECT_TRUE(form0_->rect().contains(form0_->Command1->geometry()));
  EXPECT_TRUE(form0_->rect().contains(form0_->Picture2->geometry()));
}

TEST_F(StartWindowTest, StartRefusesAShortCall) {
  ASSERT_TRUE(form0_->Form_Activate());
  const std::string before = Ini();
  form0_->Text8->SetText(" ab ");
  form0_->Start();
  EXPECT_TRUE(MessageShown("SET USER CALL !"));
  EXPECT_EQ(platform::MessageLog().back().title, "ZEBLON  START");
  EXPECT_EQ(form0_->StartInProgress(), 0);
  EXPECT_EQ(Ini(), before);
  EXPECT_FALSE(program_->MainWindow().isVisible());
}

TEST_F(StartWindowTest, StartRefusesAPortConflictAndABadPort) {
  ASSERT_TRUE(form0_->Form_Activate());
  const std::string before = Ini();
  form0_->Text8->SetText("AB1CD");
  form0_->Option4->SetValue(true);
  form0_->Text3->SetText("2");
  form0_->Text6->SetText("2");
  form0_->Start();
  EXPECT_TRUE(MessageShown("NMEA PORT / COMM PORT  CONFLICT !"));
  EXPECT_EQ(platform::MessageLog().back().title, "ZEBLON  SETUP");
  EXPECT_EQ(form0_->Command1->Caption(), "START");
  EXPECT_EQ(form0_->StartInProgress(), 0);
  EXPECT_EQ(Ini(), before);

  form0_->Text6->SetText("");
  form0_->Text3->SetText("4000");
  form0_->Start();
  EXPECT_TRUE(MessageShown("COMM PORT OUT OF RANGE ( 1 - 255 ) !"));
  EXPECT_EQ(Ini(), before);
  EXPECT_FALSE(program_->MainWindow().isVisible());
}

TEST_F(StartWindowTest, MissingFontsEndTheProgramWithoutTouchingAnything) {
  form0_->FontList = [] { return std::vector<std::string>{"DejaVu Sans", "QW7_T6"}; };
  EXPECT_FALSE(form0_->Form_Activate());
  EXPECT_TRUE(MessageShown("CHECK FONTS FOR QW7..-FONTS, THEN RESTART COMPUTER!"));
  EXPECT_EQ(end_code_, 1);
  EXPECT_FALSE(fs::exists(folder_ / "ZEBLON.INI"));
  EXPECT_TRUE(fs::exists(folder_ / "STOCK.ZIP"));
}

TEST_F(StartWindowTest, InterfaceOptionsSetTheirInputs) {
  ASSERT_TRUE(form0_->Form_Activate());
  auto& tx = form0_->TxPanel();
  form0_->Option11->SetValue(true);  // SCS TNC enables the three SCS modes
  tx.Option18->SetValue(true);
  form0_->Option4->SetValue(true);  // PK-232: back to 300, modes disabled
  EXPECT_TRUE(tx.Option7->Value());
  EXPECT_FALSE(tx.Option18->isEnabled());
  EXPECT_EQ(form0_->Label4->Caption(), "COMM BAUD");
  form0_->Option11->SetValue(true);
  EXPECT_TRUE(tx.Option18->isEnabled());
  EXPECT_TRUE(tx.Option7->Value());
  tx.Option19->SetValue(true);
  form0_->Option10->SetValue(true);  // no radio: disabled, selection kept
  EXPECT_TRUE(tx.Option19->Value());
  EXPECT_FALSE(tx.Option19->isEnabled());
  EXPECT_FALSE(form0_->Command5->isEnabled());
  form0_->Option9->SetValue(true);
  EXPECT_EQ(form0_->Label3->Caption(), "HOST NAME");
  EXPECT_FALSE(form0_->Command14->isEnabled());
  form0_->Option5->SetValue(true);
  EXPECT_TRUE(form0_->Command14->isEnabled());
  EXPECT_TRUE(form0_->Text3->isHidden());
  EXPECT_EQ(form0_->CurrentSettings().InterfaceKind, 0);
}

// The captions, tooltips and screenshots of the three languages.
TEST_F(StartWindowTest, CaptionsInEachLanguage) {
  WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nUSER=QW7TK\r\nMODEM=1\r\nCOM=2\r\n");
  fs::create_directories(folder_ / "U33");
  form0_->show();
  ASSERT_TRUE(form0_->Form_Activate());
  struct Case {
    platform::OptionButton* option;
    const char* tag;
    const char* abort;
    const char* timer;
    const char* info;
    const char* active;
    const char* digi;  // UTF-8
    const char* pictureLabel;
    const char* startTip;
    const char* portTip;
  };
  const Case cases[] = {
      {form0_->Option1, "EN", "ABORT", "TX TIMER IN MINUTES OR MANUAL TX", "INFO LINES (ALTERNATING)", "ACTIVE",
       "DIGI FUNCTION: START AGWUIDIGI.EXE ON AGWPE HOST COMPUTER", "MAP CENTER = PICTURE LOCATION",
       "Lclick to start, then it takes 40 s", "Com port number to modem"},
      {form0_->Option2, "DE", "ABBRUCH", "TX-TIMER IN MINUTEN ODER MANUELLES TX", "INFO-ZEILEN (ALTERNIEREND)", "AKTIV",
       "DIGI-FUNKTION: AGWUIDIGI.EXE AUF DEM AGWPE-HOST AUSFÜHREN", "KARTENZENTRUM = BILDSTANDORT",
       "Lclick für Start, bitte 40 Sekunden Geduld", "Nummer des seriellen Ports zum Modem"},
      {form0_->Option3, "SV", "AVBRYT", "TX-TIMER I MINUTER ELLER MANUELL TX", "INFO-RADER (ALTERNERANDE)", "AKTIV",
       "DIGI-FUNKTION: KÖR AGWUIDIGI.EXE PÅ AGWPE HOST-DATORN", "KARTCENTRUM = BILDENS PLATS",
       "Lclick för start, överföring tar 40 s", "Seriell port till modemet"},
  };
  auto& tx = form0_->TxPanel();
  Form1& main = program_->MainWindow();
  for (const Case& c : cases) {
    c.option->click();  // the user picks the language
    EXPECT_EQ(form0_->CurrentSettings().LanguageSetting % 10, (&c - cases) + 1) << c.tag;
    EXPECT_EQ(tx.fr4Command3->Caption(), c.abort) << c.tag;
    EXPECT_EQ(tx.fr4Command4->Caption(), "OK") << c.tag;
    EXPECT_EQ(tx.fr4Label2->Caption(), c.timer) << c.tag;
    EXPECT_EQ(tx.fr4Label5->Caption(), c.info) << c.tag;
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(tx.fr4ta[i]->Caption(), c.active) << c.tag << i;
    EXPECT_EQ(tx.Label14->Caption(), Utf8ToCp1252(c.digi)) << c.tag;
    EXPECT_EQ(form0_->Label18->Caption(), c.pictureLabel) << c.tag;
    EXPECT_EQ(form0_->Command1->toolTip().toStdString(), c.startTip) << c.tag;
    EXPECT_EQ(form0_->Text3->toolTip().toStdString(), c.portTip) << c.tag;
    const auto* label3 = form0_->findChild<QWidget*>("Label3");
    EXPECT_EQ(label3->toolTip(), form0_->Text3->toolTip()) << c.tag;
    // The main window's panel speaks the same language.
    EXPECT_EQ(main.TxPanel().fr4Command3->Caption(), c.abort) << c.tag;
    EXPECT_EQ(main.TxPanel().fr4Label2->Caption(), c.timer) << c.tag;
    // The fixed captions stay English.
    EXPECT_EQ(form0_->Command5->Caption(), "TX SETUP / APRS PARAMETERS") << c.tag;
    // A picture of the window for a person to look at.
    const std::string png = std::string(ZEBLON_ARTEFACT_DIR) + "/start_window_" + c.tag + ".png";
    ASSERT_TRUE(form0_->SaveScreenshot(png)) << png;
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), form0_->size());
  }
  // The TX setup panel too, in the last language.
  form0_->OpenTxSetup();
  ASSERT_TRUE(tx.Frame4->isVisible());
  ASSERT_TRUE(form0_->SaveScreenshot(std::string(ZEBLON_ARTEFACT_DIR) + "/start_window_tx_setup_SV.png"));
  // The maps path help, in Swedish.
  form0_->ShowMapsPathHelp();
  EXPECT_EQ(platform::MessageLog().back().title, "ZEBLON  START");
  EXPECT_EQ(platform::MessageLog().back().text.rfind("MAPS PATH: S\xF6kv\xE4g", 0), 0u);
}

TEST_F(StartWindowTest, LanguageWithoutTooltipsAndAnUnknownDigit) {
  WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nLANG=1\r\n");
  fs::create_directories(folder_ / "U33");
  ASSERT_TRUE(form0_->Form_Activate());
  EXPECT_EQ(form0_->TxPanel().fr4Command3->Caption(), "ABORT");
  EXPECT_TRUE(form0_->Command1->toolTip().isEmpty());
  EXPECT_EQ(form0_->Label18->Caption(), "MAP START LOCATION = IMAGE LOCATION");
  form0_->SelectLanguage(10);
  form0_->ShowMapsPathHelp();
  EXPECT_EQ(platform::MessageLog().back().text, "");
}

// The path memories as the user clicks them; OK stores the path a right click left.
TEST_F(StartWindowTest, PathMemoriesRecallTheStoredPath) {
  WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nUSER=qw7tk\r\nMODEM=4\r\nTXPM2=RELAY\r\n");
  ASSERT_TRUE(form0_->Form_Activate());
  auto& tx = form0_->TxPanel();
  form0_->OpenTxSetup();
  ASSERT_TRUE(tx.Frame4->isVisibleTo(form0_));
  ASSERT_EQ(tx.pathMemory[2]->toolTip().toStdString(), "RELAY");
  const std::string kept = testing_support::ClickPathMemoryTwo(tx, "RELAY");
  tx.fr4Command4->click();
  EXPECT_NE(Ini().find("\r\nTXPM2=" + kept + "\r\n"), std::string::npos) << Ini();
}

// The TX setup panel: opening, OK and ABORT.
TEST_F(StartWindowTest, TxSetupPanelStoresAndRestores) {
  WriteFileAtomically(folder_ / "ZEBLON.INI",
                      "TEMP=/tmp\r\nUSER=qw7tk\r\nMODEM=5\r\nSCOMP=3\r\nXBAUD=1200\r\nTXPM2=RELAY\r\n"
                      "TXM1=144.800 MHz\r\nIGATE=1\r\n");
  fs::create_directories(folder_ / "U33");
  ASSERT_TRUE(form0_->Form_Activate());
  auto& tx = form0_->TxPanel();
  // A short call refuses the panel.
  form0_->Text8->SetText("ab");
  form0_->OpenTxSetup();
  EXPECT_EQ(platform::MessageLog().back().text, "SET USER CALL !");
  EXPECT_EQ(platform::MessageLog().back().title, "ZEBLON  TX SETUP");
  EXPECT_FALSE(tx.Frame4->isVisibleTo(form0_));
  form0_->Text8->SetText("qw7tk");
  form0_->OpenTxSetup();
  EXPECT_TRUE(tx.Frame4->isVisibleTo(form0_));
  EXPECT_TRUE(tx.Frame3->isVisibleTo(form0_));  // SCS TNC: the second mode
  EXPECT_TRUE(tx.Option17->Value());            // chosen from XBAUD
  EXPECT_TRUE(tx.Check9->Value() == 1);         // a call that may gate
  EXPECT_EQ(form0_->CurrentSettings().UserCall, "QW7TK");
  EXPECT_EQ(tx.pathMemory[2]->toolTip().toStdString(), "RELAY");

  // Editing aids: presets, memories, the timer buttons.
  tx.fr4Text4->SetText(" WIDE1-1 ");
  tx.presets[2]->click();
  EXPECT_EQ(tx.fr4Text4->Text(), "WIDE1-1,WIDE2-1");
  tx.pathMemory[1]->OnMouseUp(2);  // right click saves
  tx.fr4Text4->SetText("");
  tx.pathMemory[1]->OnMouseUp(1);  // left click recalls the saved path
  EXPECT_EQ(tx.fr4Text4->Text(), "WIDE1-1,WIDE2-1");
  tx.pathMemory[2]->OnMouseUp(1);
  EXPECT_EQ(tx.fr4Text4->Text(), "RELAY");
  tx.fr4ti[2]->SetText("QRV 144.800 mhz");
  tx.fr4tm[1]->OnMouseUp(1);  // a frequency goes to the line with a frequency
  EXPECT_EQ(tx.fr4ti[2]->Text(), "144.800 MHz");
  // One press of up, released during its first wait.
  platform::SetWaitClock([&tx, t = 0.0]() mutable {
    if (t > 0.1) tx.fr4C21->OnMouseUp(1);
    return t += 0.05;
  });
  tx.fr4Text2->SetText("60");
  tx.fr4C21->OnMouseDown(1);
  EXPECT_EQ(tx.fr4Text2->Text(), "MANUAL");
  tx.fr4C22->OnMouseDown(1);
  EXPECT_EQ(tx.fr4Text2->Text(), "60");
  tx.fr4Text2->SetText("2.5");
  tx.fr4C21->OnMouseDown(1);
  EXPECT_EQ(tx.fr4Text2->Text(), "3.5");

  // OK: the cleaned values into the settings and the file, the typed ones to the main window.
  tx.fr4Text1->SetText(" 16 ");
  tx.fr4Text3->SetText("");
  tx.fr4Text10->SetText("ab");
  tx.Option20->SetValue(true);
  form0_->TakeTxSetup();
  const Settings& s = form0_->CurrentSettings();
  EXPECT_EQ(s.TxSsid, "");
  EXPECT_EQ(s.TxDestination, "ZEBL");
  EXPECT_EQ(s.BeaconInterval, 4);  // 3.5 to the even neighbour
  EXPECT_EQ(s.TxPath, "RELAY");
  EXPECT_EQ(s.PathMemories[1], "WIDE1-1,WIDE2-1");
  EXPECT_EQ(s.PathMemories[2], "RELAY");
  EXPECT_EQ(s.InfoLines[2], "144.800 MHz");
  EXPECT_EQ(s.CrossMode, "9600");
  EXPECT_EQ(s.TxOverlay, "B");
  EXPECT_EQ(s.IGateOn, 1);
  EXPECT_FALSE(tx.Frame4->isVisibleTo(form0_));
  EXPECT_EQ(program_->MainWindow().TxPanel().fr4Text1->Text(), " 16 ");
  const std::string ini = Ini();
  EXPECT_NE(ini.find("\r\nTXPM1=WIDE1-1,WIDE2-1\r\n"), std::string::npos);
  EXPECT_NE(ini.find("\r\nXBAUD=9600\r\n"), std::string::npos);

  // OK hands the HF-DUAL box to the main window; an emptied overlay stays empty.
  form0_->OpenTxSetup();
  tx.Check4->SetValue(1);
  tx.fr4Text10->SetText(" ");
  form0_->TakeTxSetup();
  EXPECT_EQ(program_->MainWindow().TxPanel().Check2->Value(), 1);
  EXPECT_EQ(s.TxOverlay, "");

  // ABORT puts the stored values back into both panels.
  form0_->OpenTxSetup();
  tx.fr4Text3->SetText("OTHER");
  tx.fr4ti[1]->SetText("edited");
  tx.fr4Text10->SetText("Q");
  tx.fr4Text8->SetText("101");
  form0_->AbortTxSetup();
  EXPECT_EQ(tx.fr4Text3->Text(), "ZEBL");
  EXPECT_EQ(tx.fr4ti[1]->Text(), s.InfoLines[1]);
  EXPECT_EQ(tx.fr4Text2->Text(), "4");
  EXPECT_EQ(tx.fr4Text10->Text(), "");
  EXPECT_EQ(tx.fr4Text8->Text(), "14");
  EXPECT_EQ(tx.PickedSymbol(), 14);
  const panels::TxSetupPanel& m = program_->MainWindow().TxPanel();
  EXPECT_EQ(m.fr4Text3->Text(), "ZEBL");
  EXPECT_EQ(m.fr4Text8->Text(), "14");
  EXPECT_EQ(m.fr4Text10->Text(), "");
}

TEST_F(StartWindowTest, HfDualAndTheModeRules) {
  WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nUSER=QW7TK\r\nMODEM=5\r\nSCOMP=3\r\nHBAUD=1200\r\n");
  fs::create_directories(folder_ / "U33");
  form0_->show();
  ASSERT_TRUE(form0_->Form_Activate());
  auto& tx = form0_->TxPanel();
  form0_->OpenTxSetup();
  tx.fr4Text2->SetText("1");
  tx.Check3->SetValue(1);
  // A click on HF-DUAL with the main mode 1200: R300 and 300, path and timer set.
  tx.Check4->SetValue(1);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(tx.Check4, &release);
  EXPECT_TRUE(tx.Option12->Value());
  EXPECT_TRUE(tx.Option16->Value());
  EXPECT_EQ(tx.fr4Text4->Text(), "WIDE1-1");
  EXPECT_EQ(tx.fr4Text2->Text(), "2");
  // Choosing 1200 from code unticks DIGI and HF-DUAL and the second mode goes to NONE.
  tx.Option8->SetValue(true);
  EXPECT_EQ(tx.Check4->Value(), 0);
  EXPECT_EQ(tx.Check3->Value(), 0);
  EXPECT_TRUE(tx.Option14->Value());
}

// The symbol picker: the preview is the sheet's cell; the step buttons move by one.
TEST_F(StartWindowTest, SymbolPickerShowsTheSheetCells) {
  ASSERT_TRUE(form0_->Form_Activate());
  auto& tx = form0_->TxPanel();
  EXPECT_EQ(tx.PickedSymbol(), 14);
  EXPECT_TRUE(tx.SymbolRow(0).empty());
  EXPECT_TRUE(tx.SymbolRow(95).empty());
  const QImage sheet1(QString::fromStdString((folder_ / "ZEBLSYM1.BMP").string()));
  ASSERT_FALSE(sheet1.isNull());
  EXPECT_GE(sheet1.width(), 337);
  EXPECT_GE(sheet1.height(), 127);
  platform::SetWaitClock([&tx, t = 0.0]() mutable {
    if (t > 0.1) tx.fr4Command2->OnMouseUp(2);  // a right button steps too
    return t += 0.05;
  });
  for (int i = 0; i < 80; ++i) tx.fr4Command2->OnMouseDown(1);
  EXPECT_EQ(tx.PickedSymbol(), 94);
  tx.fr4Command2->OnMouseDown(1);
  EXPECT_EQ(tx.PickedSymbol(), 101);  // 94 -> 101
  EXPECT_EQ(tx.fr4Text9->Text(), "\\!  Emergency ");
  const QImage shown = tx.fr4Picture1->pixmap().toImage();
  EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32),
            sheet1.copy(0, 0, 22, 22).convertToFormat(QImage::Format_RGB32));
  tx.fr4Command2->OnMouseDown(1);
  tx.fr4Command2->OnMouseDown(1);
  EXPECT_EQ(tx.PickedSymbol(), 103);  // No. Digi takes an overlay
  EXPECT_FALSE(tx.fr4Text10->isHidden());
  tx.fr4Command1->OnMouseDown(1);
  EXPECT_TRUE(tx.fr4Text10->isHidden());
}

// A symbol number typed into the TX setup's box: the preview shows its symbol at
// once, the box keeps what is typed, and "<" and ">" step on from it.
TEST_F(StartWindowTest, ATypedSymbolNumberIsShownAndSteppedFrom) {
  WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nUSER=QW7TK\r\nMODEM=5\r\nSCOMP=3\r\nTXSY=14\r\n");
  fs::create_directories(folder_ / "U33");
  ASSERT_TRUE(form0_->Form_Activate());
  form0_->Command5->click();  // TX SETUP / APRS PARAMETERS
  auto& tx = form0_->TxPanel();
  ASSERT_TRUE(tx.Frame4->isVisibleTo(form0_));
  ASSERT_EQ(tx.PickedSymbol(), 14);
  const QImage sheet0(QString::fromStdString((folder_ / "ZEBLSYM0.BMP").string()));
  const QImage sheet1(QString::fromStdString((folder_ / "ZEBLSYM1.BMP").string()));
  const auto cell = [](const QImage& sheet, int index) {
    const int n = index % 100;
    return sheet.copy(((n - 1) % 16) * 21, ((n - 1) / 16) * 21, 22, 22).convertToFormat(QImage::Format_RGB32);
  };
  const auto preview = [&] { return tx.fr4Picture1->pixmap().toImage().convertToFormat(QImage::Format_RGB32); };
  const auto type = [&](const QString& digits) {
    tx.fr4Text8->setFocus();
    tx.fr4Text8->selectAll();
    for (const QChar ch : digits) {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_0 + ch.digitValue(), Qt::NoModifier, QString(ch));
      QApplication::sendEvent(tx.fr4Text8, &key);
    }
  };
  type("62");
  EXPECT_EQ(tx.fr4Text8->Text(), "62");
  EXPECT_EQ(tx.PickedSymbol(), 62);
  EXPECT_EQ(tx.fr4Text9->Text(), reception::SymbolCodeAndName(tx.SymbolRow(62)));
  EXPECT_EQ(preview(), cell(sheet0, 62));
  // ">" once: the symbol after the typed one.
  platform::SetWaitClock([&tx, t = 0.0]() mutable {
    if (t > 0.1) tx.fr4Command2->OnMouseUp(1);
    return t += 0.05;
  });
  tx.fr4Command2->OnMouseDown(1);
  EXPECT_EQ(tx.fr4Text8->Text(), "63");
  EXPECT_EQ(preview(), cell(sheet0, 63));
  // An alternate-table symbol that takes an overlay shows its overlay box.
  type("103");
  EXPECT_EQ(tx.PickedSymbol(), 103);
  EXPECT_EQ(preview().copy(0, 0, 7, 22), cell(sheet1, 103).copy(0, 0, 7, 22));
  EXPECT_FALSE(tx.fr4Text10->isHidden());
  EXPECT_EQ(tx.fr4Text8->Text(), "103");
  // OK stores the typed symbol.
  tx.fr4Command4->click();
  EXPECT_NE(Ini().find("\r\nTXSY=103\r\n"), std::string::npos);
}

// The start picture of the map folders and the map centre from its name.
TEST_F(StartWindowTest, StartPictureFromTheMapFolders) {
  const fs::path pics = folder_ / "maps" / "UTMPICS";
  fs::create_directories(pics);
  for (int i = 0; i < 10; ++i) {
    QImage img(50, 40, QImage::Format_RGB32);
    img.fill(Qt::red);
    img.save(QString::fromStdString((pics / ("6580065" + std::to_string(i) + ".BMP")).string()), "BMP");
  }
  WriteFileAtomically(folder_ / "ZEBLON.INI",
                      "TEMP=/tmp\r\nUSER=QW7TK\r\nUMAPS=" + (folder_ / "maps").string() + "\r\n");
  fs::create_directories(folder_ / "U33");
  form0_->ClockTime = [] { return QTime(14, 37, 12, 340); };
  ASSERT_TRUE(form0_->Form_Activate());
  const std::string chosen = form0_->StartPicturePath();
  ASSERT_FALSE(chosen.empty());
  EXPECT_EQ(fs::path(chosen).filename().string(), "65800654.BMP");  // 5233234 Mod 10
  EXPECT_EQ(form0_->Picture2->pixmap().toImage().pixelColor(10, 10), QColor(Qt::red));
  form0_->CentreMapOnStartPicture();
  EXPECT_EQ(NumberText(form0_->CurrentSettings().CentreNorth), "6580.499");
  EXPECT_EQ(NumberText(form0_->CurrentSettings().CentreEast), "654.499");
  EXPECT_TRUE(form0_->Label18->isVisibleTo(form0_));
  EXPECT_TRUE(form0_->Picture2->toolTip().isEmpty());
}

// START makes the stock folders' files writable again, unless NOAT is 1.
TEST_F(StartWindowTest, StartClearsReadOnlyStockFilesUnlessNoat) {
  const fs::path poi = folder_ / "U33" / "POI" / "HOME.POI";
  const fs::path outside = folder_ / "U33" / "OTHER" / "KEEP.TXT";
  for (const int noat : {0, 1}) {
    SCOPED_TRACE(noat);
    program_ = std::make_unique<Program>();
    program_->EndProgram = [this](int code) { end_code_ = code; };
    form0_ = program_->StartWindow();
    form0_->OpenDocument = [](const std::string&) { return true; };
    WriteFileAtomically(folder_ / "ZEBLON.INI",
                        "TEMP=/tmp\r\nUSER=QW7TK\r\nMODEM=4\r\nNOAT=" + std::to_string(noat) + "\r\n");
    fs::create_directories(poi.parent_path());
    fs::create_directories(outside.parent_path());
    for (const fs::path& f : {poi, outside}) {
      WriteFileAtomically(f, "x\r\n");
      fs::permissions(f, fs::perms::owner_read);
    }
    ASSERT_TRUE(form0_->Form_Activate());
    form0_->Start();
    ASSERT_TRUE(program_->MainWindow().isVisible());
    const auto writable = [](const fs::path& f) {
      return (fs::status(f).permissions() & fs::perms::owner_write) != fs::perms::none;
    };
    EXPECT_EQ(writable(poi), noat == 0);
    EXPECT_FALSE(writable(outside));  // only the stock folders are touched
    // The next round starts from a fresh folder state.
    fs::permissions(poi, fs::perms::owner_all);
    fs::permissions(outside, fs::perms::owner_all);
  }
}

// SMART LOG trims the MONI 1 log the main window restores from, and no file
// outside the LOG folder, whatever the MONI 1 call holds.
TEST_F(StartWindowTest, SmartLogStaysInTheLogFolder) {
  const std::string notes = "my own notes\r\nnot a station record\r\n";
  WriteFileAtomically(folder_ / "NOTES.TXT", notes);
  WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nUSER=QW7TK\r\nMODEM=4\r\nCALL=../../notes\r\nSLOG=1\r\n");
  fs::create_directories(folder_ / "U33" / "LOG");
  ASSERT_TRUE(form0_->Form_Activate());
  form0_->SpeedTest = [] { return 150; };
  form0_->Start();
  ASSERT_TRUE(program_->MainWindow().isVisible());
  std::string after;
  ReadWholeFile(folder_ / "NOTES.TXT", after);
  EXPECT_EQ(after, notes);
  // The log of that call is a plain file in the LOG folder.
  for (const auto& e : fs::directory_iterator(folder_ / "U33" / "LOG")) {
    EXPECT_EQ(e.path().parent_path(), folder_ / "U33" / "LOG");
    EXPECT_TRUE(e.is_regular_file()) << e.path();
  }
}

// START with an SCS TNC on a serial line, SMART LOG and a waiting track file.
TEST_F(StartWindowTest, StartSetsUpTheTncTrimsTheLogAndImportsTracks) {
  if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
  QProcess socat;
  socat.start("socat", {"pty,raw,echo=0,link=" + QString::fromStdString((folder_ / "COM5").string()),
                        "pty,raw,echo=0,link=" + QString::fromStdString((folder_ / "TNC").string())});
  ASSERT_TRUE(socat.waitForStarted(5000));
  for (int i = 0; i < 200 && !fs::exists(folder_ / "TNC"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  platform::SerialPort tnc;
  ASSERT_TRUE(tnc.Open(0, "38400,N,8,1", (folder_ / "TNC").string())) << tnc.LastError();

  WriteFileAtomically(folder_ / "ZEBLON.INI",
                      "TEMP=/tmp\r\nUSER=QW7TK\r\nMODEM=5\r\nSCOMP=5\r\nSBAUD=38400\r\nHBAUD=300R\r\n"
                      "TXID=7\r\nCALL=QW7AB\r\nSLOG=1\r\n");
  fs::create_directories(folder_ / "U33" / "LOG");
  fs::create_directories(folder_ / "U33" / "VEC");
  std::string log;
  for (int i = 0; i < 20; ++i) {
    std::string r = "250101 1200 \xFE" + PositionText(6580000 + i) + PositionText(650000) + " QW7AB";
    r.resize(100, ' ');
    log += r + "/>  Car\r\n";
  }
  WriteFileAtomically(folder_ / "U33" / "LOG" / "QW7AB.TXT", log);
  WriteFileAtomically(folder_ / "U33" / "VEC" / "20250601.VEC", "\xFE 6580.123  650.456 20250601 1200\r\n");
  ASSERT_TRUE(form0_->Form_Activate());
  form0_->SpeedTest = [] { return 150; };  // a line limit of 3
  form0_->TncWait = [](float seconds, bool) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds / 50.0));
  };
  form0_->Start();

  std::string got;
  for (int i = 0; i < 50; ++i) {
    tnc.WaitForInput(20);
    got += tnc.ReadAll();
  }
  EXPECT_EQ(got.substr(0, 4), "\x1b%R\r");
  EXPECT_NE(got.find("\x1bIQW7TK-7\r"), std::string::npos);
  EXPECT_NE(got.find("\x1b%BR300\r"), std::string::npos);
  EXPECT_EQ(got.substr(got.size() - 6), "\x1b%AU0\r");
  // The silent line gave its message, and START went on to the main window.
  EXPECT_NE(platform::MessageLog().back().text.find("NO ANSWER FROM THE SCS TNC ON COM5"), std::string::npos);
  EXPECT_TRUE(program_->MainWindow().isVisible());
  // SMART LOG brought the log down to the limit.
  std::string trimmed;
  ReadWholeFile(folder_ / "U33" / "LOG" / "QW7AB.TXT", trimmed);
  EXPECT_LE(SplitLines(trimmed).size(), 3u);
  // The track file was merged and then deleted.
  EXPECT_TRUE(fs::exists(folder_ / "U33" / "TRK" / "20250601.TRK"));
  EXPECT_FALSE(fs::exists(folder_ / "U33" / "VEC" / "20250601.VEC"));
  tnc.Close();
  ::kill(static_cast<pid_t>(socat.processId()), SIGTERM);
  socat.waitForFinished(3000);
}

}  // namespace
}  // namespace zeblon
