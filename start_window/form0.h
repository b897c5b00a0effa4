// The start window: settings, radio interface, and START into the main window.
#pragma once

#include <QTime>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "panels/tx_setup_panel.h"
#include "platform/controls.h"
#include "settings/interface_kind.h"
#include "settings/settings.h"
#include "start_window/start_logic.h"
#include "start_window/start_window_host.h"

namespace zeblon {

class Form0 : public QWidget {
  Q_OBJECT
 public:
  explicit Form0(StartWindowHost& host);
  ~Form0() override;

  // The start-up; runs once, on the first activation. False when the program ends.
  bool Form_Activate();

  // Takes the boxes into the settings, checks the ports, sets up a serial TNC and
  // hands over to the main window.
  void Start();  // Command1, START

  // The settings as they are now (read).
  const Settings& CurrentSettings() const { return settings_; }
  const std::string& AppFolder() const { return app_folder_; }
  const std::string& DataFolder() const { return data_folder_; }
  int IGateCallOk() const { return igate_call_ok_; }
  int StartInProgress() const { return start_in_progress_; }
  panels::TxSetupPanel& TxPanel() { return *tx_; }
  const std::string& StartPicturePath() const { return start_picture_path_; }

  // The handlers a user reaches through the window (public for tests).
  void OpenTxSetup();              // Command5, TX SETUP / APRS PARAMETERS
  void TakeTxSetup();              // fr4Command4, OK of the TX setup panel
  void AbortTxSetup();             // fr4Command3, ABORT of the TX setup panel
  void CentreMapOnStartPicture();  // Picture2, the start picture
  void ShowMapsPathHelp();         // Text1, the maps path box
  void ApplyLanguageTexts();
  // The language of the texts (Option1 … Option3 give 11, 12, 13: English, German,
  // Swedish with Quick Info); tests reach other values through it.
  void SelectLanguage(int lang);

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
  void ConnectHandlers();
  std::string SettingsPath() const;

  // The fills of the start-up (form0_settings.cpp, form0_tx.cpp).
  void FillDefaultBoxes();              // the defaults into both TX panels, alarm distance, SAVE LOG
  void FillIonosphereAndAprsIsBoxes();  // the ionosphere boxes and the APRS-IS server
  void FillInterfaceAndFolderBoxes();   // radio mode, interface, call, folders, ports, language
  void FillBoxesOfTheCall();            // info lines, ACTIVE boxes, IGate and APRS-IS setup for the call
  void FillTxBoxes(int last_info_line);
  void FillTxFields(bool all_info_lines);
  void HandOverTx(unsigned parts);
  void ProvideStockData();
  void ApplyOverlayRule();
  void ColourUserCallBox();

  // Handlers.
  void SelectInterface(InterfaceKind kind);  // Option4, 5, 9, 10, 11, 13
  void ShowAprsIsInputs();                   // Command14, IGATE APRS-IS SETUP
  void TakeAprsIsInputs();                   // Command15, OK of the APRS-IS inputs
  void ToggleIonosphereFromInternet();       // Check8, <- INET
  void ToggleSmartLog();                     // Check1, SMART LOG
  void TakeUtcOffset();                      // Text10, UTC OFFSET
  void TakeAlarmDistance();                  // Text7, ALARM DIST
  void CheckUserCall();                      // Text8, USER CALL
  void OpenReadme();                         // Command3, READ!
  void OpenHistory();                        // Command6, HISTORY
  // Neighbours of the start-up and START.
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
  panels::TxSetupPanel* tx_ = nullptr;
  std::string app_folder_;
  std::string data_folder_;
  std::string start_picture_path_;
  int igate_call_ok_ = 0;
  int start_in_progress_ = 0;
  bool activated_ = false;
  bool startup_done_ = false;
  bool handing_over_ = false;
};

}  // namespace zeblon
