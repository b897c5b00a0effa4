// TALMOR: converts RT90-referred map tiles, pictures and ZEBLON's data files to
// UTM zone 33. It starts with its menu.
//
// For timing and scripted use one map tile conversion can run without a person:
//   TALMOR --convert-tiles SOURCE DESTINATION TEMP SCALE
// fills the map converter window's folders, temp path and scale, presses START
// and ends with the run (exit code 0 after "READY !"). Without a display the
// window stays offscreen.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/qtext.h"
#include "talmor/windows.h"

namespace {

int ConvertTilesWithoutAPerson(char** argv) {
  talmor::Tool tool;
  tool.onEnd = [] {};
  auto& w = tool.Tiles();
  if (!w.Dir1->SetPath(argv[2]) || !w.Dir2->SetPath(argv[3])) {
    std::fprintf(stderr, "TALMOR: a folder cannot be read\n");
    return 2;
  }
  w.Text3->SetText(argv[4]);
  w.Text1->SetText(argv[5]);
  w.Command1->click();
  std::fputs(w.ProgressText().c_str(), stdout);
  const std::string& text = w.ProgressText();
  return text.size() >= 9 && text.compare(text.size() - 9, 9, "READY !\r\n") == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool convert = argc == 6 && std::strcmp(argv[1], "--convert-tiles") == 0;
  if (convert && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  if (convert) return ConvertTilesWithoutAPerson(argv);
  talmor::Tool tool;
  tool.ShowMenu();
  return app.exec();
}
