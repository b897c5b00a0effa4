// The start window from a fresh program folder to START, offscreen.
#include "start_window/form0.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "main_window/form1.h"
#include "platform/message_box.h"
#include "platform/wait.h"
#include "start_window/settings.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;

class StartWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("zeblon_form0_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    const fs::path built = ZEBLON_PROGRAM_DIR;
    fs::copy(built / "FONTS", folder_ / "FONTS", fs::copy_options::recursive);
    fs::copy_file(built / "STOCK.ZIP", folder_ / "STOCK.ZIP");
    fs::copy_file(built / "README.HTM", folder_ / "README.HTM");
    setenv("ZEBLON_PROGRAM_FOLDER", folder_.c_str(), 1);
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
    unsetenv("ZEBLON_PROGRAM_FOLDER");
    fs::remove_all(folder_);
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

  fs::path folder_;
  std::unique_ptr<Program> program_;
  Form0* form0_ = nullptr;
  std::vector<std::string> opened_;
  int end_code_ = -1;
};

TEST_F(StartWindowTest, FirstRunThenStartHandsOverToTheMainWindow) {
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
  EXPECT_EQ(form0_->settings().MapSystem, "U33");
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
  WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nUSER=ab1cd\r\nMODEM=5\r\nSCOMP=4\r\nHBAUD=300R\r\nLANG=2\r\n");
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
  EXPECT_EQ(form0_->settings().LanguageSetting, 12);
  EXPECT_EQ(form0_->IGateCallOk(), 1);
  EXPECT_TRUE(form0_->TxPanel().Check9->isEnabled());
}

TEST_F(StartWindowTest, StartRefusesAShortCall) {
  ASSERT_TRUE(form0_->Form_Activate());
  const std::string before = Ini();
  form0_->Text8->SetText(" ab ");
  form0_->Command1_Click();
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
  form0_->Command1_Click();
  EXPECT_TRUE(MessageShown("NMEA PORT / COMM PORT  CONFLICT !"));
  EXPECT_EQ(platform::MessageLog().back().title, "ZEBLON  SETUP");
  EXPECT_EQ(form0_->Command1->Caption(), "START");
  EXPECT_EQ(form0_->StartInProgress(), 0);
  EXPECT_EQ(Ini(), before);

  form0_->Text6->SetText("");
  form0_->Text3->SetText("4000");
  form0_->Command1_Click();
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
  EXPECT_EQ(form0_->settings().InterfaceKind, 0);
}

}  // namespace
}  // namespace zeblon
