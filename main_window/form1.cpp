#include "main_window/form1.h"

#include "geodesy/text.h"
#include "platform/paths.h"

namespace zeblon {

std::string TxTimerBoxText(const std::string& text) {
  const double n = LeadingNumber(text);
  if (n == 0 || n > 60) return "MANUAL";
  if (n < 0) return "60";
  return text;
}

Form1::Form1(QWidget* parent) : QWidget(parent) {
  setObjectName("Form1");
  setWindowTitle("ZEBLON");
  resize(1024, 740);

  using namespace platform;
  tx_.Frame = new Frame(this, "Frame4", " TX SETUP ");
  tx_.Frame->hide();
  Place(tx_.Frame, 0, 0, 640, 420);
  QWidget* f = tx_.Frame;
  tx_.fr4Text1 = new TextBox(f, "fr4Text1");
  tx_.fr4Text2 = new TextBox(f, "fr4Text2");
  tx_.fr4Text3 = new TextBox(f, "fr4Text3");
  tx_.fr4Text4 = new TextBox(f, "fr4Text4");
  Place(tx_.fr4Text1, 10, 30, 60, 22);
  Place(tx_.fr4Text2, 80, 30, 80, 22);
  Place(tx_.fr4Text3, 170, 30, 100, 22);
  Place(tx_.fr4Text4, 280, 30, 200, 22);
  for (int i = 1; i <= 6; ++i) {
    const std::string ti = "fr4ti" + std::to_string(i);
    const std::string ta = "fr4ta" + std::to_string(i);
    tx_.fr4ti[i] = new TextBox(f, ti.c_str());
    tx_.fr4ta[i] = new CheckBox(f, ta.c_str(), "ACTIVE");
    Place(tx_.fr4ti[i], 10, 60 + 28 * i, 420, 22);
    Place(tx_.fr4ta[i], 440, 60 + 28 * i, 90, 22);
  }
  tx_.fr4Text10 = new TextBox(f, "fr4Text10");
  Place(tx_.fr4Text10, 540, 30, 30, 22);
  tx_.fr4Label2 = new Label(f, "fr4Label2");
  tx_.fr4Label5 = new Label(f, "fr4Label5");
  Place(tx_.fr4Label2, 10, 260, 300, 20);
  Place(tx_.fr4Label5, 10, 280, 300, 20);
  tx_.fr4Command3 = new CommandButton(f, "fr4Command3", "ABORT");
  tx_.fr4Command4 = new CommandButton(f, "fr4Command4", "OK");
  Place(tx_.fr4Command3, 440, 370, 90, 30);
  Place(tx_.fr4Command4, 540, 370, 90, 30);
  tx_.Label42 = new Label(f, "Label42", " SCS TNC: TX SIGNAL LEVEL ( 30 mV - 3000 mV )");
  tx_.Text16 = new TextBox(f, "Text16");
  Place(tx_.Label42, 10, 310, 330, 20);
  Place(tx_.Text16, 350, 310, 60, 22);

  tx_.fr4Text2->OnChange = [this] { fr4Text2_Change(); };
  tx_.fr4Text10->OnChange = [this] { fr4Text10_Change(); };

  Form_Load();
}

Form1::~Form1() = default;

void Form1::Form_Load() { app_folder_ = platform::ProgramFolder().string(); }

void Form1::fr4Text2_Change() {
  const std::string text = tx_.fr4Text2->Text();
  const std::string want = TxTimerBoxText(text);
  if (want != text) tx_.fr4Text2->SetText(want);
}

void Form1::fr4Text10_Change() {
  // The symbol preview of the TX setup panel is redrawn here once the main window draws it.
}

}  // namespace zeblon
