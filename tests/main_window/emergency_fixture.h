// The main window under test for the EMERGENCY window: a program folder of the
// test's own (with or without the alarm sound file), a live radio link, and
// frames handed to the real receive pass as the TNC hands them over.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "panels/emergency_window.h"
#include "reception/receive_pass.h"
#include "tests/support/one_frame.h"
#include "tests/support/program_folder.h"

namespace zeblon::testing_support {

class EmergencyWindowTest : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    Write("ZEBLON.INI", "TEMP=" + folder_.string() +
                            "\r\nUSER=AB1CD\r\nMODEM=4\r\nMSYS=U33\r\nLANG=11\r\n"
                            "UTN=5818\r\nUTE=391\r\nUUN=5818\r\nUUE=391\r\nCALL=QW7TK-9\r\nNOAT=1\r\nWVER=WIN10\r\n");
  }
  void WithSound() {
    std::filesystem::copy_file(std::filesystem::path(ZEBLON_PROGRAM_DIR) / "ALARM.WAV", folder_ / "ALARM.WAV");
  }
  void Start() {
    form_ = std::make_unique<Form1>();
    form_->SetRadioLink(std::make_unique<links::LiveRadioLink>());
    form_->AlarmClock = [this] { return clock_; };
    form_->show();
    PumpUntil([&] { return form_->Map().state().MapDrawnOnce == 1; });
    ASSERT_EQ(form_->Map().state().MapDrawnOnce, 1);
    std::filesystem::create_directories(form_->Reception().settings.dataFolder / "LOG");
  }
  // One receive pass over a frame as the TNC hands it over.
  void Frame(const std::string& header, const std::string& payload) { RunOneFrame(*form_, header, payload); }
  std::string AlarmFile() {
    std::string b;
    ReadWholeFile(form_->Reception().alarm.file, b);
    return b;
  }
  // Text boxes of the frame.
  std::array<std::string, 5> Shown() {
    panels::EmergencyPanel& p = form_->EmergencyFrame();
    return {p.Text11->Text(), p.Text12->Text(), p.Text13->Text(), p.Text14->Text(), p.Text15->Text()};
  }
  bool Visible() { return !form_->EmergencyFrame().isHidden(); }

  double clock_ = 1000.0;
  std::unique_ptr<Form1> form_;
};

}  // namespace zeblon::testing_support
