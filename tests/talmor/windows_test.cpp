#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>

#include "fixture.h"
#include "platform/message_box.h"
#include "talmor/windows.h"

namespace {

using namespace talmor_test;

class ToolWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "talmor_windows_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }
  void SetUp() override {
    root = Scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
    setenv("ZEBLON_PROGRAM_FOLDER", root.c_str(), 1);
    platform::ClearMessageLog();
    tool.onEnd = [this] { ended = true; };
  }
  std::string LastMessage() {
    const auto& log = platform::MessageLog();
    return log.empty() ? std::string() : log.back().title + "|" + log.back().text;
  }
  fs::path root;
  talmor::Tool tool;
  bool ended = false;
};

TEST_F(ToolWindows, MenuOpensTheChosenConverterAndBackReturns) {
  tool.ShowMenu();
  tool.Menu().Command1->click();  // DATA is chosen at the start
  EXPECT_TRUE(tool.Data().isVisible());
  EXPECT_FALSE(tool.Menu().isVisible());
  EXPECT_EQ(tool.Data().windowTitle(), "TALMORDC");
  EXPECT_EQ(tool.Data().ProgressText().substr(0, 31), "\r\nRULES CONCERNING THE FILES:\r\n");
  tool.Data().Command2->click();
  EXPECT_TRUE(tool.Menu().isVisible());
  tool.Menu().Option2->SetValue(true);
  tool.Menu().Command1->click();
  EXPECT_TRUE(tool.Pictures().isVisible());
  tool.Pictures().Command2->click();
  EXPECT_TRUE(tool.Menu().Option2->Value());  // the option used stays chosen
  tool.Menu().Option3->SetValue(true);
  tool.Menu().Command1->click();
  EXPECT_TRUE(tool.Tiles().isVisible());
  EXPECT_EQ(tool.Tiles().windowTitle(), "TALMORMC");
  tool.Tiles().Command2->click();  // BACK with no run: back to the menu
  EXPECT_TRUE(tool.Menu().isVisible());
  EXPECT_FALSE(tool.Tiles().isVisible());
  EXPECT_FALSE(ended);
  tool.Menu().Command2->click();  // ABORT
  EXPECT_TRUE(ended);
}

TEST_F(ToolWindows, ClosingADataOrPictureWindowEndsTheTool) {
  tool.Pictures().show();
  tool.Pictures().close();
  EXPECT_TRUE(ended);
  talmor::Tool other;
  bool other_ended = false;
  other.onEnd = [&] { other_ended = true; };
  other.Data().show();
  other.Data().close();
  EXPECT_TRUE(other_ended);
}

TEST_F(ToolWindows, DataAndPictureWindowsWarnOfEqualFolders) {
  fs::create_directories(root / "RN");
  for (talmor::ConverterWindow* w : std::initializer_list<talmor::ConverterWindow*>{&tool.Data(), &tool.Pictures()}) {
    platform::ClearMessageLog();
    w->Dir1->SetPath(root / "RN");
    w->Dir2->SetPath(root / "RN");
    w->Command1->click();
    EXPECT_EQ(LastMessage(), "WARNING!|SOURCE / DESTINATION  PATHS  HAVE TO BE DIFFERENT !")
        << w->objectName().toStdString();
    EXPECT_EQ(w->Label6->Caption(), "INFO:");  // nothing ran
  }
}

TEST_F(ToolWindows, ClosingTheTileWindowReturnsToTheMenu) {
  bool last_closed = false;
  const auto watch = QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [&] { last_closed = true; });
  tool.ShowMenu();
  tool.Menu().Option3->SetValue(true);
  tool.Menu().Command1->click();
  ASSERT_TRUE(tool.Tiles().isVisible());
  tool.Tiles().close();
  QCoreApplication::processEvents();
  QObject::disconnect(watch);
  EXPECT_TRUE(tool.Menu().isVisible());
  EXPECT_FALSE(last_closed);  // the program goes on with its menu
  EXPECT_FALSE(ended);
}

TEST_F(ToolWindows, TileWindowScaleAndCollisionMode) {
  auto& w = tool.Tiles();
  const struct {
    const char* folder;
    const char* scale;
  } cases[] = {{"ZEBLON/RN/M0200", "200"}, {"MAPS/M5000/M0010", "10"}, {"MAPS/OTHER", "10"}, {"x/m0050", "50"}};
  for (const auto& c : cases) {
    fs::create_directories(root / c.folder);
    ASSERT_TRUE(w.Dir1->SetPath(root / c.folder));
    EXPECT_EQ(w.Text1->Text(), c.scale) << c.folder;
  }
  EXPECT_TRUE(w.Option1->Value());
  EXPECT_FALSE(w.Text4->isEnabled());
  w.Option2->SetValue(true);
  EXPECT_TRUE(w.Text4->isEnabled());
  w.Text4->SetText("5 3");
  w.Option1->SetValue(true);
  EXPECT_FALSE(w.Text4->isEnabled());
  EXPECT_EQ(w.Text4->Text(), "");
}

TEST_F(ToolWindows, TileWindowWarnings) {
  auto& w = tool.Tiles();
  fs::create_directories(root / "RN" / "M0002");
  fs::create_directories(root / "U33" / "M0002");
  fs::create_directories(root / "temp");
  w.Text3->SetText((root / "temp").string());
  w.Dir1->SetPath(root / "RN" / "M0002");
  w.Dir2->SetPath(root / "RN" / "M0002");
  w.Command1->click();
  EXPECT_EQ(LastMessage(), "WARNING!|SOURCE / DESTINATION / TEMP  PATHS  HAVE TO BE DIFFERENT !");
  EXPECT_EQ(w.Label6->Caption(), "INFO:");  // nothing ran
  w.Dir2->SetPath(root / "U33" / "M0002");
  for (const char* scale : {"7", "abc", "1e30"}) {
    platform::ClearMessageLog();
    w.Text1->SetText(scale);
    w.Command1->click();
    EXPECT_EQ(LastMessage(), "WARNING!|SUPPORTED SCALES ARE 2 10 50 200 1000 5000 !") << scale;
  }
  w.Option2->SetValue(true);
  w.Text4->SetText("1 300");
  w.Text1->SetText(" 50 ");
  w.Command1->click();
  EXPECT_EQ(LastMessage(), "WARNING!|INK NUMBERS OF THE LIST MUST BE 0 TO 260 !");
  w.Text4->SetText("1 3");
  platform::ClearMessageLog();
  w.Command1->click();  // accepted: the empty source folder gives its line
  EXPECT_TRUE(platform::MessageLog().empty());
  EXPECT_EQ(w.Label6->Caption(), "PROGRESS:");
  EXPECT_EQ(w.ProgressText(), "\r\nNO SOURCE DATA FOUND !\r\n");
  EXPECT_FALSE(w.Command1->isEnabled());
}

TEST_F(ToolWindows, TileRunThroughTheWindowAndBackDuringARun) {
  auto& w = tool.Tiles();
  for (const char* d : {"RN/M0002", "U33/M0002", "temp"}) fs::create_directories(root / d);
  WriteBytes(root / "RN" / "M0002" / "60001200.BMP", FilledTile(4, 3).bytes());
  w.Text3->SetText((root / "temp").string());
  w.Dir1->SetPath(root / "RN" / "M0002");
  w.Dir2->SetPath(root / "U33" / "M0002");
  EXPECT_EQ(w.Text1->Text(), "2");
  w.show();
  w.Command1->click();
  EXPECT_NE(w.ProgressText().find("60001200.BMP   1/1"), std::string::npos);
  EXPECT_EQ(w.ProgressText().substr(w.ProgressText().size() - 11), "\r\nREADY !\r\n");
  EXPECT_TRUE(w.Text2->toPlainText().endsWith("\nREADY !\n"));  // the box shows the whole run once it ends
  EXPECT_TRUE(w.Command1->isEnabled());
  EXPECT_FALSE(FilesIn(root / "U33" / "M0002").empty());

  // BACK while the next run is under way: it stops and the menu comes back.
  for (const auto& n : FilesIn(root / "U33" / "M0002")) fs::remove(root / "U33" / "M0002" / n);
  QTimer::singleShot(0, &w, [&w] { w.Command2->click(); });
  w.Command1->click();
  EXPECT_EQ(w.ProgressText().find("READY !"), std::string::npos);
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(tool.Menu().isVisible());
  EXPECT_TRUE(fs::exists(root / "RN" / "M0002" / "60001200.BMP"));
  EXPECT_FALSE(fs::exists(root / "temp" / "TALMORMC"));
}

TEST_F(ToolWindows, RestoringAMinimizedWindowKeepsItsProgress) {
  auto& w = tool.Data();
  fs::create_directories(root / "RN");
  fs::create_directories(root / "U33");
  w.Dir1->SetPath(root / "RN");
  w.Dir2->SetPath(root / "U33");
  w.show();
  w.Command1->click();
  ASSERT_EQ(w.ProgressText(), "\r\nNO SOURCE DATA FOUND !\r\n");
  w.setWindowState(Qt::WindowMinimized);
  w.setWindowState(Qt::WindowNoState);
  EXPECT_EQ(w.ProgressText(), "\r\nNO SOURCE DATA FOUND !\r\n");
  w.hide();
  w.show();  // shown again from the menu: the rules anew
  EXPECT_EQ(w.ProgressText().substr(0, 31), "\r\nRULES CONCERNING THE FILES:\r\n");
}

TEST_F(ToolWindows, ProgressBoxKeepsItsLast4000Characters) {
  auto& w = tool.Data();
  std::string text;
  for (int i = 0; i < 500; ++i) text += "LINE " + std::to_string(1000 + i) + "\r\n";
  w.SetProgress(text);
  EXPECT_EQ(w.ProgressText().size(), 4000u);
  EXPECT_EQ(w.ProgressText(), text.substr(text.size() - 4000));
}

TEST_F(ToolWindows, FailureDuringARunIsReportedAndTheToolStays) {
  auto& w = tool.Data();
  fs::create_directories(root / "RN");
  fs::create_directories(root / "U33" / "A.POI");  // a folder in the way of the result
  WriteText(root / "RN" / "A.POI", "\xFE 6581.234 1628.500 Home\r\n");
  w.Dir1->SetPath(root / "RN");
  w.Dir2->SetPath(root / "U33");
  w.show();
  w.Command1->click();
  EXPECT_EQ(LastMessage().rfind("WARNING!|CANNOT WRITE", 0), 0u) << LastMessage();
  EXPECT_FALSE(ended);
  EXPECT_TRUE(w.Command1->isEnabled());
  EXPECT_TRUE(fs::exists(root / "RN" / "A.POI"));
}

}  // namespace

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

int RunTalmor(const std::vector<std::string>& args) {
  std::vector<std::string> all{std::string(ZEBLON_PROGRAM_DIR) + "/TALMOR"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(TalmorProgram, ConvertsOneFolderWithoutAPerson) {
  const fs::path root = Scratch("program_convert");
  for (const char* d : {"RN", "U33", "temp"}) fs::create_directories(root / d);
  WriteBytes(root / "RN" / "60001200.BMP", FilledTile(4, 3).bytes());
  const std::vector<std::string> args{"--convert-tiles", (root / "RN").string(), (root / "U33").string(),
                                      (root / "temp").string(), "2"};
  EXPECT_EQ(RunTalmor(args), 0);
  EXPECT_FALSE(FilesIn(root / "U33").empty());
  WriteBytes(root / "RN" / "60021200.BMP", {'B', 'M', 0});  // not a tile: refused, nothing more written
  for (const auto& n : FilesIn(root / "U33")) fs::remove(root / "U33" / n);
  EXPECT_EQ(RunTalmor(args), 1);
  EXPECT_TRUE(FilesIn(root / "U33").empty());
}

}  // namespace
