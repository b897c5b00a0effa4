#include "app/program.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <filesystem>
#include <system_error>

#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "platform/paths.h"
#include "start_window/form0.h"

namespace zeblon {

namespace fs = std::filesystem;

void RegisterProgramFonts(const std::string& app_folder) {
  const auto folder = platform::ResolveCaseInsensitive(fs::path(app_folder) / "FONTS");
  if (!folder) return;
  std::error_code ec;
  for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string ext = platform::UpperAscii(it->path().extension().string());
    if (ext == ".TTF" || ext == ".OTF") {
      QFontDatabase::addApplicationFont(QString::fromStdString(it->path().string()));
    }
  }
}

Program::Program() {
  EndProgram = [](int code) { QCoreApplication::exit(code); };
  form0_ = std::make_unique<Form0>(*this);
}

Program::~Program() = default;

Form1& Program::MainWindow() {
  if (!form1_) {
    form1_ = std::make_unique<Form1>();
    form1_->EndProgram = [this](int code) { EndProgram(code); };
    form1_->SetRadioLink(std::make_unique<links::LiveRadioLink>());
  }
  return *form1_;
}

panels::TxSetupPanel& Program::MainTxPanel() { return MainWindow().TxPanel(); }

void Program::HandOver() {
  Form1& main = MainWindow();
  main.show();
  main.raise();
  main.activateWindow();
  if (form0_) {
    form0_->hide();
    form0_.release()->deleteLater();
  }
}

void Program::UnloadMainWindow() {
  if (form1_) {
    form1_->hide();
    form1_.release()->deleteLater();
  }
}

}  // namespace zeblon
