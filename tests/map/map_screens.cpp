// Draws the map in a real window at three scales with each of the five grids and
// saves every picture box as FOLDER/map_SCALE_gridK.png. Run under Xvfb by
// map_screens_test:
//   map_screens TILE_ROOT INDEX_FOLDER OUT_FOLDER
#include <QApplication>
#include <QImage>
#include <cstdio>
#include <filesystem>

#include "map/map_display.h"
#include "map/map_widget.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "map_screens TILE_ROOT INDEX_FOLDER OUT_FOLDER\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path out = argv[3];
  fs::create_directories(out);
  zeblon::map::MapDisplay display(argv[1], argv[2]);
  display.BuildMapIndex();
  zeblon::map::MapWidget widget(display);
  widget.resize(800, 600);
  widget.show();
  auto& s = display.mutable_state();
  s.CentreNorth = 6581.5;
  s.CentreEast = 401.25;
  s.UserNorth = 6580;
  s.UserEast = 400;
  s.GridOn = 1;
  s.CirclesOn = 1;
  int saved = 0;
  for (double scale : {1000.0, 50.0, 10.0}) {
    for (int grid = 0; grid < 5; ++grid) {
      s.MapScale = scale;
      s.ZoomFactor = 1;
      s.ReadoutSystem = {grid, grid, grid};
      s.Zones = zeblon::map::ComputeZoneMeridians(18.07);
      widget.Redraw();
      app.processEvents();
      const fs::path file =
          out / ("map_" + std::to_string(static_cast<int>(scale)) + "_grid" + std::to_string(grid) + ".png");
      if (widget.grab().toImage().save(QString::fromStdString(file.string()))) ++saved;
    }
  }
  std::printf("%d pictures in %s (platform %s)\n", saved, out.c_str(), qPrintable(QGuiApplication::platformName()));
  return saved == 15 ? 0 : 1;
}
