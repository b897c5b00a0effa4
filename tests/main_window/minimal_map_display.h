// A map display for window tests that draw no tiles: it builds the index files the
// way the shell expects, draws a placeholder picture with the centre, counts the
// drawings and records the F keys that hand off to outside maps.
#pragma once

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "geodesy/text.h"
#include "map/map_service.h"
#include "map/map_tile.h"
#include "platform/paths.h"
#include "platform/qtext.h"
#include "platform/safe_file.h"
#include "settings/text_files.h"

namespace zeblon {
namespace test_doubles {

namespace fs = std::filesystem;
using namespace platform;

class MinimalMapDisplay : public map::MapDisplayService {
 public:
  void BuildMapIndex() override;
  void DrawMap() override;
  void FunctionKey(int key_code) override;
  void FocusMap() override {}
  void ClosePictureViewer() override { map_.map->SetPictureMode(0); }
  int drawings = 0;
  std::vector<int> handedOff;  // F4 … F10: hand-offs to outside maps
};

inline void MinimalMapDisplay::BuildMapIndex() {
  const Settings& s = *map_.settings;
  const fs::path temp = map_.port->TempFolder();
  const auto root = ResolveCaseInsensitive(WindowsPathToLinux(s.MapRootFolder, map_.port->AppFolder()));
  const std::array<ComboBox*, 6>& combos = map_.controls.combos;
  for (ComboBox* c : combos) c->Clear();
  // ALLMDIRS.DIR: the map folders in listing order, once per scale tag they hold.
  std::vector<std::pair<std::string, fs::path>> folders;
  std::string all;
  std::error_code ec;
  if (root) {
    for (fs::directory_iterator it(*root, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code dec;
      if (!it->is_directory(dec)) continue;
      const std::string name = TrimUpper(it->path().filename().string());
      if (name.empty() || name[0] != 'M') continue;
      for (int i = 0; i < 6; ++i) {
        if (name.find(map::ScaleTag(map::kTileScales[i])) == std::string::npos) continue;
        combos[i]->AddItem(name);
        all += name + "\r\n";
        folders.emplace_back(name, it->path());
      }
    }
  }
  // The lists below are rewritten into the temporary folder: what a killed rewrite
  // left there goes first.
  platform::RemoveLeftoverTemporaryFiles(temp);
  const fs::path all_file = temp / "ALLMDIRS.DIR";
  if (WriteFileAtomically(all_file, all)) map_.port->KeepOwnFile(all_file);
  // Each combo's folder: the first entry, or the one whose suffix is the setting.
  const std::array<const std::string*, 6> wanted = {&s.MapFolderM5000, &s.MapFolderM1000, &s.MapFolderM0200,
                                                    &s.MapFolderM0050, &s.MapFolderM0010, &s.MapFolderM0002};
  for (int i = 0; i < 6; ++i) {
    ComboBox* c = combos[i];
    std::string text = c->ListCount() > 0 ? c->List(0) : std::string();
    const std::string want = Trim(*wanted[i]);
    if (!want.empty()) {
      for (int k = 0; k < c->ListCount(); ++k) {
        const std::string e = c->List(k);
        if (e.size() > 5 && UpperAscii(e.substr(5)) == want) text = e;
      }
    }
    c->SetText(text);
  }
  // One tile index per folder: the names of its ????????.BMP files.
  for (const auto& [name, path] : folders) {
    std::string tiles;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string f = it->path().filename().string();
      if (f.size() == 12 && UpperAscii(f.substr(8)) == ".BMP") tiles += f + "\r\n";
    }
    const fs::path index = temp / (name + ".DIR");
    if (WriteFileAtomically(index, tiles)) map_.port->KeepOwnFile(index);
  }
}

inline void MinimalMapDisplay::DrawMap() {
  map::MapState& m = map_.map->mutable_state();
  const Settings& s = *map_.settings;
  int level = 0;
  for (int i = 0; i < 6; ++i) {
    if (m.MapScale == map::kTileScales[i]) level = i;
  }
  const std::string folder = map_.controls.combos[level]->Text();
  m.MapBaseFolder = s.MapRootFolder + "\\" + folder.substr(0, 5);
  // The tiles are drawn by the map display; until then the map shows its centre.
  if (QLabel* pic = map_.picture) {
    const int w = std::max(1, pic->width()), h = std::max(1, pic->height());
    QPixmap px(w, h);
    px.fill(QColor(24, 48, 72));
    QPainter p(&px);
    p.setPen(m.PictureMarkerColour);
    p.drawLine(w / 2 - 12, h / 2, w / 2 + 12, h / 2);
    p.drawLine(w / 2, h / 2 - 12, w / 2, h / 2 + 12);
    p.drawText(8, h - 8,
               ToQ("U" + m.MapZoneText + "  " + PositionText(TruncateMetres(m.CentreNorth * 1000)) + " " +
                   PositionText(FloorMetres(m.CentreEast * 1000)) + "  " + folder));
    p.end();
    pic->setPixmap(px);
  }
  ++drawings;
  m.MapDrawnOnce = 1;
  map_.port->DrawingDone();
}

inline void MinimalMapDisplay::FunctionKey(int key_code) {
  if (key_code == 112) {
    map_.toolPort->OpenDocument(ResolveOrSame(fs::path(map_.port->AppFolder()) / "README.HTM").string());
  } else if (key_code == 114) {
    // The map picture as the first free MAP_nnnn.BMP of MY_MAPS.
    const fs::path folder = ResolveOrSame(fs::path(map_.port->AppFolder()) / "MY_MAPS");
    std::error_code ec;
    fs::create_directories(folder, ec);
    for (int n = 1; n <= 9999; ++n) {
      std::string num = std::to_string(n);
      num.insert(0, 4 - num.size(), '0');
      const fs::path file = folder / ("MAP_" + num + ".BMP");
      if (ResolveCaseInsensitive(file)) continue;
      map_.picture->grab().save(QString::fromStdString(file.string()), "BMP");
      break;
    }
  } else if (key_code >= 115 && key_code <= 121) {
    handedOff.push_back(key_code);
  }
}

}  // namespace test_doubles

using test_doubles::MinimalMapDisplay;

}  // namespace zeblon
