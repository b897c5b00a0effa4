#include "panels/tx_setup_panel.h"

#include "geodesy/text.h"

namespace zeblon::panels {

using namespace platform;

std::string TxTimerBoxText(const std::string& text) {
  const double n = LeadingNumber(text);
  if (n == 0 || n > 60) return "MANUAL";
  if (n < 0) return "60";
  return text;
}

TxSetupPanel::TxSetupPanel(QWidget* window) : PanelFrame(window, "Frame4", " TX SETUP ", {0, 0, 640, 420}) {
  fr4Text1 = Add<TextBox>(this, {10, 30, 60, 22}, "fr4Text1");
  fr4Text2 = Add<TextBox>(this, {80, 30, 80, 22}, "fr4Text2");
  fr4Text3 = Add<TextBox>(this, {170, 30, 100, 22}, "fr4Text3");
  fr4Text4 = Add<TextBox>(this, {280, 30, 200, 22}, "fr4Text4");
  for (int i = 1; i <= 6; ++i) {
    const std::string ti = "fr4ti" + std::to_string(i);
    const std::string ta = "fr4ta" + std::to_string(i);
    fr4ti[i] = Add<TextBox>(this, {10, 60 + 28 * i, 420, 22}, ti.c_str());
    fr4ta[i] = Add<CheckBox>(this, {440, 60 + 28 * i, 90, 22}, ta.c_str(), "ACTIVE");
  }
  fr4Text10 = Add<TextBox>(this, {540, 30, 30, 22}, "fr4Text10");
  fr4Text8 = Add<TextBox>(this, {490, 30, 44, 22}, "fr4Text8");
  fr4Text9 = Add<TextBox>(this, {490, 56, 140, 22}, "fr4Text9");
  fr4Label2 = Add<Label>(this, {10, 260, 300, 20}, "fr4Label2");
  fr4Label5 = Add<Label>(this, {10, 280, 300, 20}, "fr4Label5");
  fr4Command3 = Add<CommandButton>(this, {440, 370, 90, 30}, "fr4Command3", "ABORT");
  fr4Command4 = Add<CommandButton>(this, {540, 370, 90, 30}, "fr4Command4", "OK");
  Label42 = Add<Label>(this, {10, 310, 330, 20}, "Label42", " SCS TNC: TX SIGNAL LEVEL ( 30 mV - 3000 mV )");
  Text16 = Add<TextBox>(this, {350, 310, 60, 22}, "Text16");
  Check2 = Add<CheckBox>(this, {440, 310, 90, 22}, "Check2", "HF-DUAL");
  const char* modes[] = {"300R", "300", "1200", "9600", "19200"};
  for (int i = 3; i <= 7; ++i) {
    const std::string name = "Option" + std::to_string(i);
    modeOption[i] = Add<OptionButton>(this, {10 + (i - 3) * 70, 340, 68, 22}, name.c_str(), modes[i - 3]);
    modeOption[i]->hide();
  }
  // The timer box keeps its own rule.
  fr4Text2->OnChange = [this] {
    const std::string text = fr4Text2->Text();
    const std::string want = TxTimerBoxText(text);
    if (want != text) fr4Text2->SetText(want);
  };
}

}  // namespace zeblon::panels
