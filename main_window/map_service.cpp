#include "main_window/map_service.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QMouseEvent>
#include <cstdio>
#include <functional>
#include <span>

#include "geodesy/text.h"
#include "map/navigation.h"
#include "map/propagation.h"
#include "map/readouts.h"
#include "platform/paths.h"
#include "platform/qtext.h"
#include "settings/interface_kind.h"
#include "settings/settings.h"
#include "settings/text_files.h"

namespace zeblon {

namespace fs = std::filesystem;
using platform::FromQ;
using platform::SetBackColour;
using platform::SetTextColour;
using platform::ToQ;

namespace {

// Events of controls that have no handler of their own: left presses on the
// read-out labels (each steps the pair's system; other buttons pass on, the right
// one on the MONI 1 pair opens the INFO panel) and the focus entering a scale
// combo (which chooses its folder, as a click does).
class ControlEvents : public QObject {
 public:
  ControlEvents(std::array<QWidget*, 6> labels, std::array<QWidget*, 6> combos, std::function<void(int pair)> on_label,
                std::function<void(int level)> on_combo)
      : labels_(labels), combos_(combos), on_label_(std::move(on_label)), on_combo_(std::move(on_combo)) {
    for (QWidget* w : labels_)
      if (w != nullptr) w->installEventFilter(this);
    for (QWidget* w : combos_)
      if (w != nullptr) w->installEventFilter(this);
  }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::MouseButtonPress) {
      for (int i = 0; i < 6; ++i) {
        if (labels_[i] != o) continue;
        if (static_cast<QMouseEvent*>(e)->button() != Qt::LeftButton) return false;
        on_label_(i / 2);
        return true;
      }
    } else if (e->type() == QEvent::FocusIn) {
      for (int i = 0; i < 6; ++i)
        if (combos_[i] == o) on_combo_(i);
    }
    return false;
  }

 private:
  std::array<QWidget*, 6> labels_, combos_;
  std::function<void(int)> on_label_;
  std::function<void(int)> on_combo_;
};

}  // namespace

MapService::MapService(map::MapDisplay& display, map::MapWidget& widget) : display_(display), widget_(widget) {}

MapService::~MapService() {
  tools_.reset();
  // Another map service may follow this one: nothing may call into it afterwards.
  widget_.hooks() = {};
  display_.hooks() = {};
  if (!wired_) return;
  panels::ControlColumn& c = *map_.column;
  for (platform::CommandButton* b : {c.Command1, c.Command2, c.Command7, c.Command8, c.Command9, c.Command73,
                                     c.Command72, c.Command43, c.Command42, map_.qth->Command21}) {
    b->OnClick = nullptr;
    b->OnMouseDown = nullptr;
  }
  for (platform::CheckBox* b : {c.Check4, c.Check9, c.Check12, c.Check24, c.Check1}) b->OnClick = nullptr;
  c.Option1->OnMouseUp = nullptr;
  c.Option2->OnMouseUp = nullptr;
  for (auto* ink : map_.inks)
    if (ink != nullptr) ink->OnClick = nullptr;
  for (int level = 0; level < map::kLevels; ++level) {
    map_.scales->combos[level]->OnClick = nullptr;
    map_.scales->marks[level]->OnClick = nullptr;
  }
}

void MapService::Attach(const MapContext& context) {
  MapDisplayService::Attach(context);
  if (!wired_ && map_.column != nullptr) {
    Wire();
    wired_ = true;
  }
}

fs::path MapService::IndexFolder(const std::string& temp_folder, const std::string& program_folder) {
  char tag[17];
  std::snprintf(tag, sizeof tag, "%016llx",
                static_cast<unsigned long long>(
                    std::hash<std::string>{}(fs::absolute(program_folder).lexically_normal().string())));
  return fs::path(temp_folder) / ("ZEBLON_MAP_" + std::string(tag));
}

void MapService::BuildMapIndex() {
  const Settings& s = *map_.settings;
  const fs::path root = platform::ResolveOrSame(platform::WindowsPathToLinux(s.MapRootFolder, map_.appFolder()));
  const fs::path index_folder = IndexFolder(map_.tempFolder(), map_.appFolder());
  display_.SetFolders(root, index_folder);
  display_.SetFolderSettings(
      {s.MapFolderM5000, s.MapFolderM1000, s.MapFolderM0200, s.MapFolderM0050, s.MapFolderM0010, s.MapFolderM0002});
  display_.BuildMapIndex();
  for (int level = 0; level < map::kLevels; ++level) {
    platform::ComboBox* c = map_.scales->combos[level];
    c->Clear();
    for (const auto& f : display_.index().Folders(level)) c->AddItem(f);
    c->SetText(display_.state().ComboText[level]);
  }
  if (map_.ownFiles != nullptr)
    for (const auto& f : display_.index().OwnFiles()) map_.ownFiles->Add(f);
}

void MapService::TakeInputs() {
  map::MapState& s = display_.mutable_state();
  const Settings& set = *map_.settings;
  s.ObjectName = Trim(set.ObjectName);
  s.ObjectNorth = set.ObjectNorth;
  s.ObjectEast = set.ObjectEast;
  if (map_.shell != nullptr) {
    s.TwipsPerPixelX = map_.shell->TwipsPerPixelX;
    s.TwipsPerPixelY = map_.shell->TwipsPerPixelY;
    s.MoniAllDisplayLevel = map_.shell->MoniAllDisplayLevel;
  }
  if (map_.panels != nullptr) {
    PanelState& p = *map_.panels;
    s.ObjectBeaconOn = p.ObjectBeaconOn;
    const auto lines = [](const std::vector<std::string>& v, long count) {
      std::span<const std::string> all(v);
      if (all.empty()) return all;
      const auto n = static_cast<std::size_t>(std::clamp<long>(count, 0, static_cast<long>(all.size()) - 1));
      return all.subspan(1, n);
    };
    s.TrackLines = lines(p.TrackLines, p.TrackLineCount);
    s.PoiLines = lines(p.PoiLines, p.PoiCount);
  }
  if (map_.reception != nullptr) {
    const reception::ReceptionState& r = *map_.reception;
    s.MoniAllCount = r.moniAllCount;
    s.MoniOneCount = r.moniOneCount;
    // The watched station where the receive passes left it (its newest report).
    s.MoniOneNorth = r.moniOneNewest.north;
    s.MoniOneEast = r.moniOneNewest.east;
    s.MoniAllLimit = std::max(1, r.settings.moniAllLimit);
    s.MoniOneTrackLimit = std::max(1, r.settings.moniOneTrackLimit);
    s.AlarmNorthText = r.alarm.northText;  // the one jump of CentreMode 3
    s.AlarmEastText = r.alarm.eastText;
  }
  panels::ControlColumn& c = *map_.column;
  s.TrackShown = c.Check14->Value() == 1 ? 1 : 0;
  for (int level = 0; level < map::kLevels; ++level) {
    s.ComboText[level] = map_.scales->combos[level]->Text();
    s.TileFramesShown[level] = map_.scales->marks[level]->Value() == 1;
  }
  s.InfoPanelVisible = map_.reception != nullptr && map_.reception->info.visible;
  if (map_.gps != nullptr) {
    s.GpsFixMoved = map_.gps->GpsFixMoved;
    s.GpsNorth = map_.gps->GpsNorth;
    s.GpsEast = map_.gps->GpsEast;
  }
  display_.outputs().Tooltip = FromQ(widget_.toolTip());
}

void MapService::ShowOutputs() {
  const map::MapOutputs& o = display_.outputs();
  panels::ControlColumn& c = *map_.column;
  platform::Label* labels[6] = {c.Label1, c.Label2, c.Label3, c.Label4, c.Label7, c.Label8};
  for (int i = 0; i < 6; ++i) labels[i]->SetCaption(o.Readouts[i]);
  if (scale_text_ != nullptr) {
    // Below the last row of the left column (the window's layout has no place of its own for it).
    scale_text_->move(0, c.Command57->y() + c.Command57->height() + 8);
    scale_text_->SetCaption(o.ScaleText);
    scale_text_->adjustSize();
    scale_text_->raise();
  }
  c.Label26->resize(static_cast<int>(std::clamp(o.Gauge.moni_all_width, 0.0, 4000.0)), c.Label26->height());
  c.Label27->resize(o.Gauge.moni_one_width, c.Label27->height());
  SetBackColour(c.Label27, o.Gauge.moni_one_colour);
  if (o.ScaleFrameShown) {
    for (int level = 0; level < map::kLevels; ++level) {
      SetTextColour(map_.scales->combos[level], o.ComboColour[level]);
      SetBackColour(map_.scales->marks[level], o.BoxBackground[level]);
    }
  }
  if (o.UntickCentringOptions) UntickOptions();
  if (o.ScaleFrameShown) map_.scales->show();
  widget_.setToolTip(ToQ(o.Tooltip));
  if (map_.inkFrame != nullptr && display_.state().Palette.frame_closed) {
    map_.inkFrame->hide();
    for (auto* ink : map_.inks)
      if (ink != nullptr) ink->setChecked(false);
  }
  ColourInks();
}

void MapService::UntickOptions() { map_.column->UntickCentringOptions(); }

void MapService::ClosePictureViewer() {
  if (tools_ != nullptr)
    tools_->ClosePictureViewer();
  else
    display_.SetPictureMode(0);
}

void MapService::ColourInks() {
  // Each ink button in the colour of its ink as painted.
  const auto& p = display_.state().Palette.palette_shown;
  if (map_.inkFrame == nullptr || !map_.inkFrame->isVisible() || p.size() < 64) return;
  for (int i = 0; i < 16; ++i)
    if (map_.inks[i] != nullptr) SetBackColour(map_.inks[i], QColor(p[4 * i + 2], p[4 * i + 1], p[4 * i]));
}

void MapService::DrawMap() {
  TakeInputs();
  display_.DrawMap();
  ShowOutputs();
  widget_.update();
}

bool TypingInTextBox() {
  const QWidget* f = QApplication::focusWidget();
  if (const auto* combo = qobject_cast<const QComboBox*>(f)) return combo->isEditable();
  return f != nullptr && (f->inherits("QLineEdit") || f->inherits("QPlainTextEdit"));
}

void MapService::FocusMap() {
  if (map_.windowActive && map_.windowActive()) widget_.setFocus();
}

void MapService::FunctionKey(int key_code) {
  if (tools_ != nullptr) tools_->FunctionKey(key_code);
}

void MapService::QthOk() {
  TakeInputs();
  const auto entries = map::SetQthToCentre(display_.mutable_state());
  display_.NotifyViewChanged();
  // Any number of lines, through a temporary file and a rename; a missing key is added.
  if (map_.settingsPath) PatchSettingsFile(map_.settingsPath(), entries, true);
  map_.qth->hide();
  const Settings& s = *map_.settings;
  if (!Trim(s.UserCall).empty() && s.UserNorth != 0 && s.UserEast != 0 &&
      InterfaceKindOf(s.InterfaceKind) != InterfaceKind::NoRadio)
    map_.column->Check6->setVisible(true);
  DrawMap();
}

void MapService::ChooseFolder(int level) {
  TakeInputs();
  const std::string folder = map_.scales->combos[level]->Text();
  if (!map::ChooseFolder(display_.mutable_state(), level, folder)) return;
  if (map_.applyTexts) map_.applyTexts();
  DrawMap();
}

void MapService::Wire() {
  panels::ControlColumn& c = *map_.column;
  map::MapState& s = display_.mutable_state();
  // A step of the map's own state, then a drawing when it changed.
  const auto step = [this](bool (*op)(map::MapState&), bool focus) {
    return [this, op, focus] {
      TakeInputs();
      if (op(display_.mutable_state())) DrawMap();
      if (focus) FocusMap();
    };
  };
  c.Command1->OnClick = step(&map::ScaleOut, true);
  c.Command2->OnClick = step(&map::ScaleIn, true);
  c.Command7->OnClick = step(&map::ZoomOut, true);
  c.Command8->OnClick = step(&map::ZoomIn, true);
  c.Command9->OnClick = step(&map::ZoomReset, false);
  c.Option1->OnMouseUp = [this](int button) {
    ClosePictureViewer();
    if (button == map::kLeftButton) {
      map_.column->Option1->setChecked(true);
      display_.SetCentreMode(2);
      DrawMap();
    } else if (button == map::kRightButton) {
      map_.qth->move(widget_.x(), widget_.y());
      map_.qth->raise();
      map_.qth->show();
    }
  };
  c.Option2->OnMouseUp = [this](int button) {
    if (button != map::kLeftButton) return;
    display_.SetCentreMode(1);
    map_.column->Option2->setChecked(true);
    ClosePictureViewer();
    DrawMap();
  };
  map_.qth->Command21->OnClick = [this] { QthOk(); };
  c.Check4->OnClick = [this, &s] {
    if (s.MapDrawnOnce != 1) return;
    s.GridOn = s.GridOn == 1 ? 0 : 1;
    DrawMap();
  };
  c.Check9->OnClick = [this, &s] {
    if (s.MapDrawnOnce != 1) return;
    s.CirclesOn = map_.column->Check9->Value() == 1 ? 1 : 0;
    DrawMap();
  };
  c.Check12->OnClick = [this, &s] {
    if (s.MapDrawnOnce != 1) return;
    if (map_.closeInfoPanel) map_.closeInfoPanel();
    s.PictureDisplay ^= 1;
    DrawMap();
    FocusMap();
  };
  c.Command73->OnClick = [this, &s] {
    s.PoiDisplayMode = (s.PoiDisplayMode + 1) % 3;
    const QColor colours[3] = {QColor(160, 192, 192), QColor(187, 224, 224), QColor(214, 255, 255)};
    SetBackColour(map_.column->Command73, colours[s.PoiDisplayMode]);
    DrawMap();
  };
  c.Command72->OnClick = [this, &s] {
    s.Palette.background_mode = (s.Palette.background_mode + 1) % 3;
    const QColor colours[3] = {QColor(160, 192, 192), QColor(70, 96, 96), QColor(214, 255, 255)};
    SetBackColour(map_.column->Command72, colours[s.Palette.background_mode]);
    if (s.PictureMode == 0)
      DrawMap();
    else
      FocusMap();
  };
  c.Command72->OnMouseDown = [this, &s](int button) {
    if (button != map::kRightButton || s.Palette.palette_available == 0 || map_.inkFrame == nullptr) return;
    if (map_.inkFrame->isVisible()) {
      for (auto* ink : map_.inks)
        if (ink != nullptr) ink->setVisible(true);
      map_.column->Command42->SetCaption("<");
    }
    map_.inkFrame->show();
    ColourInks();
  };
  c.Command43->OnClick = [this, &s] {
    s.Palette.marked_ink = -1;
    for (auto* ink : map_.inks)
      if (ink != nullptr) ink->setChecked(false);
    if (map_.inkFrame != nullptr) map_.inkFrame->hide();
    DrawMap();
  };
  for (int i = 0; i < 16; ++i) {
    if (map_.inks[i] == nullptr) continue;
    map_.inks[i]->OnClick = [this, &s, i] {
      s.Palette.marked_ink = i;
      DrawMap();
    };
  }
  c.Check24->OnClick = [this] {
    SetBackColour(map_.column->Check24, map_.column->Check24->Value() == 1 ? QColor(255, 0, 0) : QColor(160, 192, 192));
    DrawMap();
  };
  for (int level = 0; level < map::kLevels; ++level) {
    map_.scales->combos[level]->OnClick = [this, level] { ChooseFolder(level); };
    map_.scales->marks[level]->OnClick = [this] {
      if (display_.state().MapDrawnOnce == 1) DrawMap();
    };
  }
  std::array<QWidget*, 6> combos{};
  for (int level = 0; level < map::kLevels; ++level) combos[level] = map_.scales->combos[level];
  label_clicks_ = std::make_unique<ControlEvents>(
      std::array<QWidget*, 6>{c.Label1, c.Label2, c.Label3, c.Label4, c.Label7, c.Label8}, combos,
      [this](int pair) {
        TakeInputs();
        display_.StepReadoutSystem(pair);
        ShowOutputs();
        widget_.update();
      },
      [this](int level) { ChooseFolder(level); });
  c.Check1->OnClick = [this] {
    // The tone follows the box (a value set from code runs this too).
    const bool on = map_.column->Check1->Value() == 1;
    if (map_.shell != nullptr) map_.shell->ToneOn = on ? 1 : 0;
    if (map_.toneSwitched) map_.toneSwitched(on);
    FocusMap();
  };
  // The palette frame folds to its first button and unfolds again.
  c.Command42->OnClick = [this] {
    const std::string caption = map_.column->Command42->Caption();
    if (map_.inkFrame == nullptr || (caption != "<" && caption != ">")) return;
    const bool fold = caption == "<";
    for (int i = 1; i < 16; ++i)
      if (map_.inks[i] != nullptr) map_.inks[i]->setVisible(!fold);
    map_.column->Command42->SetCaption(fold ? ">" : "<");
  };
  // The picture box.
  auto& h = widget_.hooks();
  h.sync = [this] { TakeInputs(); };
  h.publish = [this] { display_.NotifyViewChanged(); };
  h.draw = [this] {
    display_.DrawMap();
    ShowOutputs();
  };
  h.readouts_changed = [this] {
    panels::ControlColumn& col = *map_.column;
    col.Label3->SetCaption(display_.outputs().Readouts[2]);
    col.Label4->SetCaption(display_.outputs().Readouts[3]);
  };
  h.untick_options = [this] { UntickOptions(); };
  // The redraw's end: pointers back and the main cycle's timer on.
  auto& dh = display_.hooks();
  dh.busy = [this](bool on) {
    if (on)
      widget_.setCursor(Qt::WaitCursor);
    else
      widget_.unsetCursor();
  };
  // Fopt at the circles' compass points from the ionosphere values and the clock.
  dh.fopt = [this](double lon, double centre_lon, double lat, double centre_lat) {
    const Settings& set = *map_.settings;
    const QDateTime now = QDateTime::currentDateTime();
    map::FoptInputs in;
    in.sunspotNumber = set.SunspotNumber;
    in.kIndex = set.KIndex;
    in.utcOffsetHours = static_cast<int>(RoundHalfEven(set.UtcOffsetHours));
    in.month = now.date().month();
    in.day = now.date().day();
    in.hour = now.time().hour();
    in.minute = now.time().minute();
    return map::EstimateFopt(lon, centre_lon, lat, centre_lat, in);
  };
  // The MONI 1 line: distance, direction and speed from the user's position, and the digipeater.
  dh.moni_one_line = [this] {
    const map::MapState& st = display_.state();
    std::string line;
    try {
      map::MapPoint point;
      const auto db = map::ComputeMoniOneDistanceBearing({st.UserNorth, st.UserEast}, {st.MoniOneNorth, st.MoniOneEast},
                                                         st.MapCentralMeridian, st.MapFalseEasting, point);
      std::string speed;
      if (map_.reception != nullptr)
        speed = map::MoniOneSpeedText(map_.reception->moniOneTrack, map_.reception->moniOneCount);
      line = map::MoniOneLine(db.distanceKm, db.bearing, speed,
                              map_.reception != nullptr ? map_.reception->moniOneNewest.via : "");
    } catch (const geodesy::GeodesyError&) {
      return;
    }
    map_.column->Label11->SetCaption(line);
  };
  dh.info_map_caption = [this](const std::string& caption) {
    if (map_.info != nullptr) map_.info->Command12->SetCaption(caption);
  };
  dh.focus = [this] {
    // Typing in a text box keeps its focus; otherwise the map takes it in the active window.
    if (!TypingInTextBox()) FocusMap();
  };
  dh.timer1_on = [this] {
    if (map_.drawingDone) map_.drawingDone();
  };
  scale_text_ = new platform::Label(widget_.parentWidget(), "ScaleText");
  SetTextColour(scale_text_, QColor(192, 192, 192));
  SetBackColour(scale_text_, QColor(64, 80, 80));
  // The map's periphery: its own hooks and controls.
  MapTools::Calls calls;
  calls.draw = [this] { DrawMap(); };
  calls.focus = [this] { FocusMap(); };
  tools_ = std::make_unique<MapTools>(display_, widget_, map_, std::move(calls));
}

}  // namespace zeblon
