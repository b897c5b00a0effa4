// ZEBLON: starts with the start window.
#include <QApplication>

#include "app/single_run.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "app/program.h"
#include "start_window/form0.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName("ZEBLON");
  // A second start in the same program folder ends with a message and touches nothing.
  zeblon::SingleRunGuard single_run(platform::ProgramFolder().string());
  if (!single_run.Acquired()) {
    platform::MsgBox(zeblon::kAlreadyRunningText, zeblon::kAlreadyRunningTitle, platform::MsgButtons::Ok,
                     platform::MsgIcon::Exclamation);
    return 1;
  }
  zeblon::RegisterProgramFonts(platform::ProgramFolder().string());
  zeblon::Program program;
  program.StartWindow()->show();
  return app.exec();
}
