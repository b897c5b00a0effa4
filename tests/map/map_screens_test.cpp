// Screenshots of the map in a real X window (Xvfb) at three scales with each grid,
// kept in the build folder as artefacts (build/artefacts/map).
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>

#include "tile_fixture.h"

namespace zeblon::map {
namespace {

namespace fs = std::filesystem;

TEST(MapScreens, ThreeScalesWithEachGridUnderXvfb) {
  if (QStandardPaths::findExecutable("xvfb-run").isEmpty()) GTEST_SKIP() << "xvfb-run is not installed";
  // The stock tiles of the build when it drew them, else patterned tiles.
  testing::TempFolder made, index;
  fs::path root = fs::path(ZEBLON_BINARY_DIR) / "assets" / "stock_maps" / "U33";
  if (!fs::exists(root / "M0010")) {
    root = made.path();
    testing::WritePatternTiles(root / "M1000", 5000, 7000, -1000, 1000, 1000);
    testing::WritePatternTiles(root / "M0050", 6550, 6600, 350, 450, 50);
    testing::WritePatternTiles(root / "M0010", 6570, 6590, 390, 410, 10);
  }
  const fs::path out = fs::path(ZEBLON_BINARY_DIR) / "artefacts" / "map";
  fs::remove_all(out);
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "xcb");
  p.setProcessEnvironment(env);
  p.start("xvfb-run", {"-a", "-s", "-screen 0 1280x1024x24", QString::fromStdString(MAP_SCREENS_PROGRAM),
                       QString::fromStdString(root.string()), QString::fromStdString(index.path().string()),
                       QString::fromStdString(out.string())});
  ASSERT_TRUE(p.waitForStarted(10000));
  if (!p.waitForFinished(60000)) {
    p.kill();
    p.waitForFinished(5000);
    FAIL() << "the screenshots took more than a minute";
  }
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  EXPECT_NE(p.readAllStandardOutput().toStdString().find("platform xcb"), std::string::npos);
  // Each grid changes the picture of its scale.
  for (int scale : {1000, 50, 10}) {
    QImage previous;
    for (int grid = 0; grid < 5; ++grid) {
      const fs::path f = out / ("map_" + std::to_string(scale) + "_grid" + std::to_string(grid) + ".png");
      QImage img(QString::fromStdString(f.string()));
      ASSERT_FALSE(img.isNull()) << f;
      EXPECT_EQ(img.size(), QSize(800, 600));
      if (!previous.isNull()) {
        EXPECT_NE(img, previous) << f;
      }
      previous = img;
    }
  }
}

}  // namespace
}  // namespace zeblon::map
