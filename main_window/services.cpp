#include "main_window/services.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <fstream>
#include <system_error>

#include "geodesy/text.h"
#include "main_window/form1.h"
#include "platform/paths.h"
#include "platform/qtext.h"
#include "platform/wait.h"

namespace zeblon {

namespace fs = std::filesystem;
using namespace platform;

namespace {

const char* const kTags[6] = {"M5000", "M1000", "M0200", "M0050", "M0010", "M0002"};
const char* const kCombos[6] = {"Combo3", "Combo4", "Combo5", "Combo6", "Combo7", "Combo8"};
const double kScales[6] = {5000, 1000, 200, 50, 10, 2};

std::string TrimUpper(const std::string& s) { return UpperAscii(Trim(s)); }

}  // namespace

// ---------------------------------------------------------------------------
// Map display

void MinimalMapDisplay::BuildMapIndex(Form1& form) {
  const Settings& s = form.settings();
  const fs::path temp = form.TempFolderPath();
  const auto root = ResolveCaseInsensitive(WindowsPathToLinux(s.MapRootFolder, form.AppFolder()));
  std::array<ComboBox*, 6> combos{};
  for (int i = 0; i < 6; ++i) {
    combos[i] = form.Get<ComboBox>(kCombos[i]);
    combos[i]->Clear();
  }
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
        if (name.find(kTags[i]) == std::string::npos) continue;
        combos[i]->AddItem(name);
        all += name + "\r\n";
        folders.emplace_back(name, it->path());
      }
    }
  }
  const fs::path all_file = temp / "ALLMDIRS.DIR";
  if (WriteFileAtomically(all_file, all)) form.OwnTempFiles().Add(all_file);
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
    if (WriteFileAtomically(index, tiles)) form.OwnTempFiles().Add(index);
  }
}

void MinimalMapDisplay::DrawMap(Form1& form) {
  MapState& m = form.map();
  int level = 0;
  for (int i = 0; i < 6; ++i) {
    if (m.MapScale == kScales[i]) level = i;
  }
  const std::string folder = form.Get<ComboBox>(kCombos[level])->Text();
  m.MapBaseFolder = form.settings().MapRootFolder + "\\" + folder.substr(0, 5);
  // The tiles are drawn by the map display; until then the map shows its centre.
  if (auto* pic = qobject_cast<QLabel*>(form.Picture1)) {
    const int w = std::max(1, pic->width()), h = std::max(1, pic->height());
    QPixmap px(w, h);
    px.fill(QColor(24, 48, 72));
    QPainter p(&px);
    p.setPen(QColor(m.PictureMarkerColour.r, m.PictureMarkerColour.g, m.PictureMarkerColour.b));
    p.drawLine(w / 2 - 12, h / 2, w / 2 + 12, h / 2);
    p.drawLine(w / 2, h / 2 - 12, w / 2, h / 2 + 12);
    p.drawText(8, h - 8,
               ToQ("U" + m.MapZoneText + "  " + PositionText(TruncateMetres(form.settings().CentreNorth * 1000)) +
                   " " + PositionText(FloorMetres(form.settings().CentreEast * 1000)) + "  " + folder));
    p.end();
    pic->setPixmap(px);
  }
  ++drawings;
  m.MapDrawnOnce = 1;
  form.unsetCursor();
  form.Picture1->unsetCursor();
  form.Timer1->start();
  form.update();
}

void MinimalMapDisplay::RequestMagnetogramPage(Form1&) { ++magnetogramRequests; }

void MinimalMapDisplay::FunctionKey(Form1& form, int key_code) {
  if (key_code == 112) {
    form.OpenDocument(ResolveOrSame(fs::path(form.AppFolder()) / "README.HTM").string());
  } else if (key_code == 114) {
    // The map picture as the first free MAP_nnnn.BMP of MY_MAPS.
    const fs::path folder = ResolveOrSame(fs::path(form.AppFolder()) / "MY_MAPS");
    std::error_code ec;
    fs::create_directories(folder, ec);
    for (int n = 1; n <= 9999; ++n) {
      std::string num = std::to_string(n);
      num.insert(0, 4 - num.size(), '0');
      const fs::path file = folder / ("MAP_" + num + ".BMP");
      if (ResolveCaseInsensitive(file)) continue;
      form.Picture1->grab().save(QString::fromStdString(file.string()), "BMP");
      break;
    }
  } else if (key_code >= 115 && key_code <= 121) {
    handedOff.push_back(key_code);
  }
}

// ---------------------------------------------------------------------------
// Radio links

void MinimalRadioLink::BringUp(Form1& form) {
  const int kind = form.settings().InterfaceKind;
  auto* check16 = form.Get<CheckBox>("Check16");
  if (kind == 4) {
    form.Get<CheckBox>("Check6")->setEnabled(false);
    check16->setEnabled(false);
    check16->hide();
  }
  if (form.shell().CallValid == 0) {
    auto* check8 = form.Get<CheckBox>("Check8");
    check8->SetValue(1);
    check8->setEnabled(false);
    check16->setEnabled(false);
    check16->hide();
    for (const char* n : {"Text2", "Text3"}) {
      form.Control(n)->setEnabled(false);
      form.Control(n)->hide();
    }
  }
  if (kind == 5 || kind == 6) {
    for (int i = 3; i <= 7; ++i) form.TxPanel().modeOption[i]->show();
  }
  form.reception().receiveBuffer = "\n";
}

void MinimalRadioLink::Close(Form1& form) {
  LinkState& l = form.link();
  auto send = [&l](const std::string& bytes) {
    if (l.MSComm1.IsOpen()) l.MSComm1.Write(bytes);
  };
  switch (form.settings().InterfaceKind) {
    case 0:
      // The UI digipeater's window and the engine's library have no Linux counterpart;
      // the close waits as it would after asking the digipeater to close.
      PauseWithEvents(0.5f);
      break;
    case 1:
      send(std::string(1, '\x03'));
      PauseWithEvents(0.2f);
      break;
    case 5:
      send("\x1B%ZL\r");
      PauseWithEvents(0.2f);
      break;
    case 6:
      // The PTC needs its pause between leaving host mode and the reset.
      send("\x1BQ\r");
      Pause(0.5f);
      send("\x1BRESET\r");
      Pause(0.5f);
      break;
    default:
      break;
  }
}

void MinimalRadioLink::Disconnect(Form1& form) { form.link().AgwDataPending = 0; }

}  // namespace zeblon
