// The start window: settings, radio interface, and START into the main window.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "start_window/settings.h"
#include "start_window/start_logic.h"

namespace zeblon {

// Makes the fonts of the program folder's FONTS folder known to the program.
void RegisterProgramFonts(const std::string& app_folder);

class Form1;
class Form0;

// The two windows of a run. The start window loads the main window hidden on first
// use and hands over to it at START.
class Program {
 public:
  Program();
  ~Program();
  Form0* StartWindow() { return form0_.get(); }
  // The main window, loaded (hidden) on first use.
  Form1& MainWindow();
  bool MainWindowLoaded() const { return form1_ != nullptr; }
  // Unloads the start window and shows the main window.
  void HandOver();
  // Unloads the main window (the user closed the start window before START).
  void UnloadMainWindow();
  // Ends the program at once; tests replace it.
  std::function<void(int code)> EndProgram;

 private:
  std::unique_ptr<Form0> form0_;
  std::unique_ptr<Form1> form1_;
};

// The start window's TX setup panel (the controls the start-up fills).
struct StartTxSetupPanel {
  platform::Frame* Frame4 = nullptr;
  platform::TextBox* fr4Text1 = nullptr;
  platform::TextBox* fr4Text2 = nullptr;
  platform::TextBox* fr4Text3 = nullptr;
  platform::TextBox* fr4Text4 = nullptr;
  std::array<platform::TextBox*, 7> fr4ti{};
  std::array<platform::CheckBox*, 7> fr4ta{};
  platform::TextBox* fr4Text8 = nullptr;   // the picker's symbol index
  platform::TextBox* fr4Text10 = nullptr;  // overlay character
  platform::TextBox* Text11 = nullptr;     // SCS TNC TX level
  platform::CheckBox* Check9 = nullptr;    // IGATE
  platform::CheckBox* Check3 = nullptr;    // DIGI
  platform::CheckBox* Check4 = nullptr;    // HF-DUAL
  platform::OptionButton* Option7 = nullptr;   // 300
  platform::OptionButton* Option8 = nullptr;   // 1200
  platform::OptionButton* Option12 = nullptr;  // R300
  platform::OptionButton* Option18 = nullptr;  // 9600
  platform::OptionButton* Option19 = nullptr;  // 19200
  platform::OptionButton* Option14 = nullptr;  // second mode NONE
  platform::Label* fr4Label2 = nullptr;
  platform::Label* fr4Label5 = nullptr;
  platform::Label* Label14 = nullptr;
  platform::Label* Label16 = nullptr;
  platform::CommandButton* fr4Command3 = nullptr;  // ABORT
  platform::CommandButton* fr4Command4 = nullptr;  // OK
};

class Form0 : public QWidget {
  Q_OBJECT
 public:
  explicit Form0(Program& program);
  ~Form0() override;

  // The start-up; runs once, on the first activation. False when the program ends.
  bool Form_Activate();
  bool StartupDone() const { return startup_done_; }

  // START.
  void Command1_Click();

  Settings& settings() { return settings_; }
  const std::string& AppFolder() const { return app_folder_; }
  const std::string& DataFolder() const { return data_folder_; }
  int IGateCallOk() const { return igate_call_ok_; }
  int StartInProgress() const { return start_in_progress_; }
  StartTxSetupPanel& TxPanel() { return tx_; }

  // Seams for tests: the installed font names, the opening of the help page.
  std::function<std::vector<std::string>()> FontList;
  std::function<bool(const std::string& path)> OpenDocument;

  // Controls of the main area.
  platform::Label* Label9 = nullptr;
  platform::Label* Label15 = nullptr;
  platform::Label* Label3 = nullptr;
  platform::Label* Label4 = nullptr;
  platform::Label* Label20 = nullptr;
  platform::Label* Label23 = nullptr;
  platform::Label* Label24 = nullptr;
  platform::CommandButton* Command1 = nullptr;   // START
  platform::CommandButton* Command3 = nullptr;   // README
  platform::CommandButton* Command5 = nullptr;   // TX SETUP / APRS PARAMETERS
  platform::CommandButton* Command6 = nullptr;   // HISTORY
  platform::CommandButton* Command14 = nullptr;  // IGATE APRS-IS SETUP
  platform::CommandButton* Command15 = nullptr;  // OK of the APRS-IS inputs
  platform::TextBox *Text1 = nullptr, *Text2 = nullptr, *Text3 = nullptr, *Text4 = nullptr,
                    *Text5 = nullptr, *Text6 = nullptr, *Text7 = nullptr, *Text8 = nullptr,
                    *Text10 = nullptr, *Text13 = nullptr, *Text14 = nullptr,
                    *Text15 = nullptr, *Text16 = nullptr, *Text17 = nullptr;
  platform::CheckBox *Check1 = nullptr, *Check2 = nullptr, *Check8 = nullptr;
  platform::Frame* Frame1 = nullptr;
  platform::OptionButton *Option5 = nullptr, *Option4 = nullptr, *Option9 = nullptr,
                         *Option10 = nullptr, *Option11 = nullptr, *Option13 = nullptr;
  platform::Frame* FrameLanguage = nullptr;
  platform::OptionButton *Option1 = nullptr, *Option2 = nullptr, *Option3 = nullptr;
  QWidget* Picture1 = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildControls();
  void ConnectHandlers();
  std::string SettingsPath() const;

  // The fills of the start-up.
  void Fill1();
  void Fill2b();
  void Fill2c();
  void Fill3();
  void Fill4();
  void ProvideStockData();
  void WriteTxFieldsBoth(bool info_line_1_only);
  void ApplyOverlayRule();
  void ColourUserCallBox();

  // Handlers.
  void SelectInterface(int modem);
  void FallBackAndDisableRadioModes();
  void Option4_Click() { SelectInterface(1); }
  void Option5_Click() { SelectInterface(0); }
  void Option9_Click() { SelectInterface(3); }
  void Option10_Click() { SelectInterface(4); }
  void Option11_Click() { SelectInterface(5); }
  void Option13_Click() { SelectInterface(6); }
  void Option8_Click();
  void Command14_Click();
  void Command15_Click();
  void Check8_Click();
  void Check1_Click();
  void Text10_Change();
  void Text7_Change();
  void Text8_Change();
  void Command3_Click();
  void Command6_Click();
  void fr4Text2_Change();
  void SelectLanguage(int lang);

  // Neighbours of the start-up and START.
  void ApplyLanguageTexts();
  void BuildSymbolTable();
  void ShowSelectedSymbol();
  void PaintStartPicture();
  void ClearStockReadOnly();
  void WaitForActiveAgain(QWidget* remembered);
  void InitSerialTnc();
  void TrimMoniOneLog();
  void WriteSettings();
  StartControlValues ReadControls() const;

  Program& program_;
  Settings settings_;
  StartTxSetupPanel tx_;
  std::string app_folder_;
  std::string data_folder_;
  int igate_call_ok_ = 0;
  int start_in_progress_ = 0;
  int picker_symbol_index_ = 0;
  bool activated_ = false;
  bool startup_done_ = false;
  bool handing_over_ = false;
};

}  // namespace zeblon
