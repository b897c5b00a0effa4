// The main window.
#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "platform/controls.h"
#include "start_window/settings.h"

namespace zeblon {

// The TX setup panel of the main window (the start window fills it before START).
struct MainTxSetupPanel {
  platform::Frame* Frame = nullptr;
  platform::TextBox* fr4Text1 = nullptr;  // SSID
  platform::TextBox* fr4Text2 = nullptr;  // beacon interval or "MANUAL"
  platform::TextBox* fr4Text3 = nullptr;  // destination
  platform::TextBox* fr4Text4 = nullptr;  // VIA path
  std::array<platform::TextBox*, 7> fr4ti{};      // info lines 1 … 6
  std::array<platform::CheckBox*, 7> fr4ta{};     // their ACTIVE boxes, fr4ta1 … fr4ta6
  platform::TextBox* fr4Text10 = nullptr;  // overlay character
  platform::Label* fr4Label2 = nullptr;
  platform::Label* fr4Label5 = nullptr;
  platform::CommandButton* fr4Command3 = nullptr;  // ABORT
  platform::CommandButton* fr4Command4 = nullptr;  // OK
  platform::Label* Label42 = nullptr;   // SCS TNC TX signal level caption
  platform::TextBox* Text16 = nullptr;  // SCS TNC TX signal level
};

class Form1 : public QWidget {
  Q_OBJECT
 public:
  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  MainTxSetupPanel& TxPanel() { return tx_; }

  // The program folder, fixed when the window is loaded.
  const std::string& AppFolder() const { return app_folder_; }

 private:
  void Form_Load();
  void fr4Text2_Change();
  void fr4Text10_Change();

  std::string app_folder_;
  MainTxSetupPanel tx_;
};

// The TX timer box's rule: a leading number of 0 (empty or no number included) or
// above 60 gives "MANUAL", a negative one "60"; any other text stays. Returns the
// text the box should hold.
std::string TxTimerBoxText(const std::string& text);

}  // namespace zeblon
