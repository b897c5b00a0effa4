// TALMOR: converts RT90-referred map tiles, pictures and ZEBLON's data files to
// UTM zone 33. It starts with its menu.
#include <QApplication>

#include "talmor/windows.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  talmor::Tool tool;
  tool.ShowMenu();
  return app.exec();
}
