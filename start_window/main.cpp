// ZEBLON: starts with the start window.
#include <QApplication>

#include "platform/paths.h"
#include "start_window/form0.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName("ZEBLON");
  zeblon::RegisterProgramFonts(platform::ProgramFolder().string());
  zeblon::Program program;
  program.StartWindow()->show();
  return app.exec();
}
