// The start window: settings, radio interface, and START into the main window.
#pragma once

#include <QTime>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "links/tx_setup.h"
#include "platform/controls.h"
#include "settings/settings.h"
#include "start_window/start_logic.h"
#include "start_window/start_window_host.h"

namespace zeblon {

// The start window's TX setup panel.
struct StartTxSetupPanel {
  platform::Frame* Frame4 = nullptr;
  platform::TextBox* fr4Text1 = nullptr;                 // SSID
  platform::TextBox* fr4Text2 = nullptr;                 // TX timer
  platform::TextBox* fr4Text3 = nullptr;                 // destination
  platform::TextBox* fr4Text4 = nullptr;                 // VIA path
  std::array<platform::TextBox*, 7> fr4ti{};             // info lines 1 … 6
  std::array<platform::CheckBox*, 7> fr4ta{};            // their ACTIVE boxes
  std::array<platform::CommandButton*, 7> fr4tm{};       // info-line memories M1 … M6
  platform::TextBox* fr4Text8 = nullptr;                 // the picker's symbol index
  platform::TextBox* fr4Text9 = nullptr;                 // the picker's code and name
  platform::PictureBox* fr4Picture1 = nullptr;           // the picker's 22 x 22 preview
  platform::TextBox* fr4Text10 = nullptr;                // overlay character
  platform::CommandButton* fr4Command1 = nullptr;        // symbol back
  platform::CommandButton* fr4Command2 = nullptr;        // symbol forward
  platform::CommandButton* fr4C21 = nullptr;             // TX timer up
  platform::CommandButton* fr4C22 = nullptr;             // TX timer down
  platform::TextBox* Text11 = nullptr;                   // SCS TX level
  platform::CheckBox* Check9 = nullptr;                  // IGATE
  platform::CheckBox* Check3 = nullptr;                  // DIGI
  platform::CheckBox* Check4 = nullptr;                  // HF-DUAL
  platform::CheckBox* Check6 = nullptr;                  // HF-TX-AFC
  platform::CheckBox* Check7 = nullptr;                  // TX TIMESTAMP (GPS)
  platform::OptionButton* Option7 = nullptr;             // 300
  platform::OptionButton* Option8 = nullptr;             // 1200
  platform::OptionButton* Option12 = nullptr;            // R300
  platform::OptionButton* Option18 = nullptr;            // 9600
  platform::OptionButton* Option19 = nullptr;            // 19200
  platform::Frame* Frame3 = nullptr;                     // the second mode
  platform::OptionButton* Option14 = nullptr;            // NONE
  platform::OptionButton* Option15 = nullptr;            // R300
  platform::OptionButton* Option16 = nullptr;            // 300
  platform::OptionButton* Option17 = nullptr;            // 1200
  platform::OptionButton* Option20 = nullptr;            // 9600
  platform::OptionButton* Option21 = nullptr;            // 19200
  std::array<platform::CommandButton*, 7> presets{};     // Command8 … Command13 at 1 … 6
  platform::CommandButton* Command7 = nullptr;           // CLEAR
  std::array<platform::CommandButton*, 5> pathMemory{};  // Command17, 18, 19, 21 at 1 … 4
  platform::Label* fr4Label2 = nullptr;
  platform::Label* fr4Label5 = nullptr;
  platform::Label* fr4Label7 = nullptr;
  platform::Label* Label14 = nullptr;
  platform::Label* Label16 = nullptr;
  platform::Label* Label17 = nullptr;              // the TX level caption
  platform::Label* Label19 = nullptr;              // the memories' hint
  platform::CommandButton* fr4Command3 = nullptr;  // ABORT
  platform::CommandButton* fr4Command4 = nullptr;  // OK
};

class Form0 : public QWidget {
  Q_OBJECT
 public:
  explicit Form0(StartWindowHost& host);
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
  int PickerSymbolIndex() const { return picker_symbol_index_; }
  const std::string& StartPicturePath() const { return start_picture_path_; }
  int LastInfoLine() const { return last_info_line_; }
  const std::array<std::string, 5>& NewPathMemories() const { return new_path_memories_; }
  // The symbol table of the picker (rows 0, 95 … 100 and 195 … 200 empty).
  const std::array<std::string, 201>& SymbolTable() const { return symbol_table_; }

  // The handlers a user reaches through the window (public for tests).
  void Command5_Click();     // opens the TX setup panel
  void fr4Command4_Click();  // OK of the panel
  void fr4Command3_Click();  // ABORT of the panel
  void Picture2_Click();
  void Text1_Click();
  void ApplyLanguageTexts();
  void ShowSelectedSymbol();
  // Step buttons: a press steps at once and repeats every 0.2 s until a release.
  void StepSymbol(int direction);   // fr4Command1 (-1) and fr4Command2 (+1) MouseDown
  void StepTxTimer(int direction);  // fr4C21 (+1) and fr4C22 (-1) MouseDown
  void StepButtonUp(int button) { step_button_released_ = button; }
  void PathMemoryUp(int n, int button);  // Command17 … Command21 MouseUp
  void InfoMemoryUp(int m, int button);  // fr4tm MouseUp
  void PathPreset(int n);                // Command8 … Command13

  // A PNG of the window as it is drawn now (offscreen too). False when it could not be saved.
  bool SaveScreenshot(const std::string& png_path);

  // Seams for tests: the installed font names, the opening of the help page, the
  // speed test of SMART LOG (its number of passes), the waits of the TNC command
  // sets, and the clock of the start picture.
  std::function<std::vector<std::string>()> FontList;
  std::function<bool(const std::string& path)> OpenDocument;
  std::function<int()> SpeedTest;
  std::function<void(float seconds, bool with_events)> TncWait;
  std::function<QTime()> ClockTime;

  // Controls of the main area.
  platform::Label* Label9 = nullptr;
  platform::Label* Label15 = nullptr;
  platform::Label* Label3 = nullptr;
  platform::Label* Label4 = nullptr;
  platform::Label* Label18 = nullptr;  // the start picture's confirmation
  platform::Label* Label20 = nullptr;
  platform::Label* Label23 = nullptr;
  platform::Label* Label24 = nullptr;
  platform::CommandButton* Command1 = nullptr;   // START
  platform::CommandButton* Command3 = nullptr;   // README
  platform::CommandButton* Command5 = nullptr;   // TX SETUP / APRS PARAMETERS
  platform::CommandButton* Command6 = nullptr;   // HISTORY
  platform::CommandButton* Command14 = nullptr;  // IGATE APRS-IS SETUP
  platform::CommandButton* Command15 = nullptr;  // OK of the APRS-IS inputs
  platform::TextBox* Text1 = nullptr;
  platform::TextBox *Text2 = nullptr, *Text3 = nullptr, *Text4 = nullptr, *Text5 = nullptr, *Text6 = nullptr,
                    *Text7 = nullptr, *Text8 = nullptr, *Text10 = nullptr, *Text13 = nullptr, *Text14 = nullptr,
                    *Text15 = nullptr, *Text16 = nullptr, *Text17 = nullptr;
  platform::CheckBox *Check1 = nullptr, *Check2 = nullptr, *Check8 = nullptr;
  platform::Frame* Frame1 = nullptr;
  platform::OptionButton *Option5 = nullptr, *Option4 = nullptr, *Option9 = nullptr, *Option10 = nullptr,
                         *Option11 = nullptr, *Option13 = nullptr;
  platform::Frame* FrameLanguage = nullptr;
  platform::OptionButton *Option1 = nullptr, *Option2 = nullptr, *Option3 = nullptr;
  QWidget* Picture1 = nullptr;
  platform::PictureBox* Picture2 = nullptr;  // the start picture

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildControls();
  void BuildTxPanel();
  void ConnectHandlers();
  std::string SettingsPath() const;

  // The fills of the start-up.
  void Fill1();
  void Fill2b();
  void Fill2c();
  void Fill3();
  void Fill4();
  void FillTxBoxes(int last_info_line);
  void FillOverlayBoxes();
  void FillTxFields(int last_info_line);
  void ProvideStockData();
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
  // The mode rules of the TX setup panel.
  void Option12_MouseUp();
  void Option7_MouseUp();
  void Check4_MouseUp();
  // The panel's controls as the values of links/tx_setup.h (what OK stores and
  // hands to the main window), and a mode rule run on its mode boxes, path and timer.
  std::array<std::pair<const char*, platform::OptionButton*>, 5> RadioModeOptions() const;
  std::array<std::pair<const char*, platform::OptionButton*>, 6> CrossModeOptions() const;
  links::TxPanelValues TxValues() const;
  void ApplyModeRule(const std::function<void(links::TxPanelValues&)>& rule);
  void Command7_Click();

  // Neighbours of the start-up and START.
  void BuildSymbolTable();
  void PaintStartPicture();
  void ChooseStartPictureFromMaps();
  void ClearStockReadOnly();
  void WaitForActiveAgain(QWidget* remembered);
  void InitSerialTnc();
  void TrimMoniOneLog();
  void WriteSettings();
  StartControlValues ReadControls() const;

  StartWindowHost& host_;
  Settings settings_;
  StartTxSetupPanel tx_;
  std::string app_folder_;
  std::string data_folder_;
  std::string start_picture_path_;
  std::array<std::string, 201> symbol_table_{};
  std::array<std::string, 5> new_path_memories_{};
  int igate_call_ok_ = 0;
  int start_in_progress_ = 0;
  int picker_symbol_index_ = 0;
  int step_button_released_ = 1;
  int last_info_line_ = 0;
  bool activated_ = false;
  bool startup_done_ = false;
  bool handing_over_ = false;
  bool applying_mode_rule_ = false;
};

}  // namespace zeblon
