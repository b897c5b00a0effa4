// The program object: the two windows of a run. The start window loads the main
// window hidden on first use and hands over to it at START.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "start_window/start_window_host.h"

namespace zeblon {

class Form0;
class Form1;

// Makes the fonts of the program folder's FONTS folder known to the program.
void RegisterProgramFonts(const std::string& app_folder);

class Program : public StartWindowHost {
 public:
  Program();
  ~Program() override;
  Form0* StartWindow() { return form0_.get(); }
  // The main window, loaded (hidden) on first use.
  Form1& MainWindow();
  bool MainWindowLoaded() const { return form1_ != nullptr; }

  panels::TxSetupPanel& MainTxPanel() override;
  void HandOver() override;
  void UnloadMainWindow() override;
  void End(int code) override { EndProgram(code); }
  // Ends the program at once; tests replace it.
  std::function<void(int code)> EndProgram;

 private:
  std::unique_ptr<Form0> form0_;
  std::unique_ptr<Form1> form1_;
};

}  // namespace zeblon
