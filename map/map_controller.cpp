#include "map/map_controller.h"

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
#include "platform/wait.h"

namespace zeblon::map {

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

MapController::MapController(MapDisplay& display, MapWidget& widget, const Settings& settings,
                             const reception::ReceptionState& reception, const MapControls& controls, MapPort& port)
    : display_(display), widget_(widget), settings_(settings), reception_(reception), c_(controls), port_(port) {
  Wire();
}

MapController::~MapController() {
  // Another controller may follow this one: nothing may call into it afterwards.
  widget_.SetPort(nullptr);
  display_.hooks() = {};
  display_.SetMapLock(0);  // the map starts untied for the controller that follows
  for (platform::CommandButton* b : {c_.scaleOut, c_.scaleIn, c_.zoomOut, c_.zoomIn, c_.zoomReset, c_.poiMode,
                                     c_.background, c_.inkReset, c_.inkFold, c_.qthOk}) {
    b->OnClick = nullptr;
    b->OnMouseDown = nullptr;
  }
  for (platform::CheckBox* b : {c_.grid, c_.circles, c_.pictures, c_.directOnly, c_.tone}) b->OnClick = nullptr;
  c_.followUser->OnMouseUp = nullptr;
  c_.followMoniOne->OnMouseUp = nullptr;
  for (auto* ink : c_.inks)
    if (ink != nullptr) ink->OnClick = nullptr;
  for (int level = 0; level < kLevels; ++level) {
    c_.combos[level]->OnClick = nullptr;
    c_.marks[level]->OnClick = nullptr;
  }
}

fs::path MapController::IndexFolder(const std::string& temp_folder, const std::string& program_folder) {
  char tag[17];
  std::snprintf(tag, sizeof tag, "%016llx",
                static_cast<unsigned long long>(
                    std::hash<std::string>{}(fs::absolute(program_folder).lexically_normal().string())));
  return fs::path(temp_folder) / ("ZEBLON_MAP_" + std::string(tag));
}

void MapController::BuildMapIndex() {
  const Settings& s = settings_;
  const fs::path root = platform::ResolveOrSame(platform::WindowsPathToLinux(s.MapRootFolder, port_.AppFolder()));
  const fs::path index_folder = IndexFolder(port_.TempFolder(), port_.AppFolder());
  display_.SetFolders(root, index_folder);
  display_.SetFolderSettings(
      {s.MapFolderM5000, s.MapFolderM1000, s.MapFolderM0200, s.MapFolderM0050, s.MapFolderM0010, s.MapFolderM0002});
  display_.BuildMapIndex();
  for (int level = 0; level < kLevels; ++level) {
    platform::ComboBox* c = c_.combos[level];
    c->Clear();
    for (const auto& f : display_.index().Folders(level)) c->AddItem(f);
    c->SetText(display_.state().ComboText[level]);
  }
  for (const auto& f : display_.index().OwnFiles()) port_.KeepOwnFile(f);
}

void MapController::TakeInputs() {
  MapState& s = display_.mutable_state();
  const Settings& set = settings_;
  s.ObjectName = Trim(set.ObjectName);
  s.ObjectNorth = set.ObjectNorth;
  s.ObjectEast = set.ObjectEast;
  const MapInputs in = port_.Inputs();
  s.TwipsPerPixelX = in.twipsPerPixelX;
  s.TwipsPerPixelY = in.twipsPerPixelY;
  s.MoniAllDisplayLevel = in.moniAllDisplayLevel;
  s.ObjectBeaconOn = in.objectBeaconOn;
  s.TrackLines = in.trackLines;
  s.PoiLines = in.poiLines;
  const reception::ReceptionState& r = reception_;
  s.MoniAllCount = r.stations.MoniAllCount();
  s.MoniOneCount = r.stations.MoniOneCount();
  // The watched station where the receive passes left it (its newest report).
  s.MoniOneNorth = r.stations.Newest().north;
  s.MoniOneEast = r.stations.Newest().east;
  s.MoniAllLimit = std::max(1, r.settings.moniAllLimit);
  s.MoniOneTrackLimit = std::max(1, r.settings.moniOneTrackLimit);
  s.AlarmNorthText = r.alarm.northText;  // the one jump of CentreMode 3
  s.AlarmEastText = r.alarm.eastText;
  s.TrackShown = c_.track->Value() == 1 ? 1 : 0;
  for (int level = 0; level < kLevels; ++level) {
    s.ComboText[level] = c_.combos[level]->Text();
    s.TileFramesShown[level] = c_.marks[level]->Value() == 1;
  }
  s.InfoPanelVisible = r.info.Visible();
  s.GpsFixMoved = in.gpsFixMoved;
  s.GpsNorth = in.gpsNorth;
  s.GpsEast = in.gpsEast;
  display_.outputs().Tooltip = FromQ(widget_.toolTip());
}

void MapController::ShowOutputs() {
  const MapOutputs& o = display_.outputs();
  for (int i = 0; i < 6; ++i) c_.readouts[i]->SetCaption(o.Readouts[i]);
  if (scale_text_ != nullptr) {
    // Below the last row of the left column (the window's layout has no place of its own for it).
    scale_text_->move(0, c_.lastRow->y() + c_.lastRow->height() + 8);
    scale_text_->SetCaption(o.ScaleText);
    scale_text_->adjustSize();
    scale_text_->raise();
  }
  c_.moniAllGauge->resize(static_cast<int>(std::clamp(o.Gauge.moniAllWidth, 0.0, 4000.0)), c_.moniAllGauge->height());
  c_.moniOneGauge->resize(o.Gauge.moniOneWidth, c_.moniOneGauge->height());
  SetBackColour(c_.moniOneGauge, o.Gauge.moniOneColour);
  if (o.ScaleFrameShown) {
    for (int level = 0; level < kLevels; ++level) {
      SetTextColour(c_.combos[level], o.ComboColour[level]);
      SetBackColour(c_.marks[level], o.BoxBackground[level]);
    }
  }
  if (o.UntickCentringOptions) port_.UntickCentringOptions();
  if (o.ScaleFrameShown) c_.scaleRow->show();
  widget_.setToolTip(ToQ(o.Tooltip));
  if (c_.inkFrame != nullptr && display_.state().Palette.frameClosed) {
    c_.inkFrame->hide();
    for (auto* ink : c_.inks)
      if (ink != nullptr) ink->setChecked(false);
  }
  ColourInks();
}

void MapController::ColourInks() {
  // Each ink button in the colour of its ink as painted.
  const auto& p = display_.state().Palette.paletteShown;
  if (c_.inkFrame == nullptr || !c_.inkFrame->isVisible() || p.size() < 64) return;
  for (int i = 0; i < 16; ++i)
    if (c_.inks[i] != nullptr) SetBackColour(c_.inks[i], QColor(p[4 * i + 2], p[4 * i + 1], p[4 * i]));
}

void MapController::PrepareAndDraw() {
  port_.PrepareDrawing();
  DrawMap();
}

void MapController::DrawMap() {
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

void MapController::FocusMap() {
  if (port_.WindowActive()) widget_.setFocus();
}

void MapController::QthOk() {
  TakeInputs();
  const auto entries = map::SetQthToCentre(display_.mutable_state());
  display_.NotifyViewChanged();
  // Any number of lines, through a temporary file and a rename; a missing key is added.
  const std::string settings_path = port_.SettingsPath();
  if (!settings_path.empty()) PatchSettingsFile(settings_path, entries, true);
  c_.qthPanel->hide();
  const Settings& s = settings_;
  if (!Trim(s.UserCall).empty() && s.UserNorth != 0 && s.UserEast != 0 &&
      InterfaceKindOf(s.InterfaceKind) != InterfaceKind::NoRadio)
    c_.transmit->setVisible(true);
  PrepareAndDraw();
}

void MapController::ChooseFolder(int level) {
  TakeInputs();
  const std::string folder = c_.combos[level]->Text();
  if (!map::ChooseFolder(display_.mutable_state(), level, folder)) return;
  port_.ApplyTexts();
  PrepareAndDraw();
}

void MapController::Sync() { TakeInputs(); }

void MapController::Publish() { display_.NotifyViewChanged(); }

void MapController::Draw() { PrepareAndDraw(); }

void MapController::ReadoutsChanged() {
  c_.readouts[2]->SetCaption(display_.outputs().Readouts[2]);
  c_.readouts[3]->SetCaption(display_.outputs().Readouts[3]);
}

void MapController::UntickOptions() { port_.UntickCentringOptions(); }

void MapController::Wire() {
  MapState& s = display_.mutable_state();
  // A step of the map's own state, then a drawing when it changed.
  const auto step = [this](bool (*op)(MapState&), bool focus) {
    return [this, op, focus] {
      TakeInputs();
      if (op(display_.mutable_state())) PrepareAndDraw();
      if (focus) FocusMap();
    };
  };
  c_.scaleOut->OnClick = step(&ScaleOut, true);
  c_.scaleIn->OnClick = step(&ScaleIn, true);
  c_.zoomOut->OnClick = step(&ZoomOut, true);
  c_.zoomIn->OnClick = step(&ZoomIn, true);
  c_.zoomReset->OnClick = step(&ZoomReset, false);
  c_.followUser->OnMouseUp = [this](int button) {
    display_.NoteMapInteraction(platform::WaitClockNow());
    port_.ClosePictureViewer();
    if (button == kLeftButton) {
      c_.followUser->setChecked(true);
      display_.FollowOwnPositionAgain();
      display_.SetCentreMode(2);
      PrepareAndDraw();
    } else if (button == kRightButton) {
      c_.qthPanel->move(widget_.x(), widget_.y());
      c_.qthPanel->raise();
      c_.qthPanel->show();
    }
  };
  c_.followMoniOne->OnMouseUp = [this](int button) {
    display_.NoteMapInteraction(platform::WaitClockNow());
    if (button != kLeftButton) return;
    display_.SetCentreMode(1);
    c_.followMoniOne->setChecked(true);
    port_.ClosePictureViewer();
    PrepareAndDraw();
  };
  c_.qthOk->OnClick = [this] { QthOk(); };
  c_.grid->OnClick = [this, &s] {
    if (s.MapDrawnOnce != 1) return;
    s.GridOn = s.GridOn == 1 ? 0 : 1;
    PrepareAndDraw();
  };
  c_.circles->OnClick = [this, &s] {
    if (s.MapDrawnOnce != 1) return;
    s.CirclesOn = c_.circles->Value() == 1 ? 1 : 0;
    PrepareAndDraw();
  };
  c_.pictures->OnClick = [this, &s] {
    if (s.MapDrawnOnce != 1) return;
    port_.CloseInfoPanel();
    s.PictureDisplay ^= 1;
    PrepareAndDraw();
    FocusMap();
  };
  c_.poiMode->OnClick = [this, &s] {
    s.PoiDisplayMode = (s.PoiDisplayMode + 1) % 3;
    const QColor colours[3] = {QColor(160, 192, 192), QColor(187, 224, 224), QColor(214, 255, 255)};
    SetBackColour(c_.poiMode, colours[s.PoiDisplayMode]);
    PrepareAndDraw();
  };
  c_.background->OnClick = [this, &s] {
    s.Palette.backgroundMode = (s.Palette.backgroundMode + 1) % 3;
    const QColor colours[3] = {QColor(160, 192, 192), QColor(70, 96, 96), QColor(214, 255, 255)};
    SetBackColour(c_.background, colours[s.Palette.backgroundMode]);
    if (s.PictureMode == 0)
      PrepareAndDraw();
    else
      FocusMap();
  };
  c_.background->OnMouseDown = [this, &s](int button) {
    if (button != kRightButton || s.Palette.paletteAvailable == 0 || c_.inkFrame == nullptr) return;
    if (c_.inkFrame->isVisible()) {
      for (auto* ink : c_.inks)
        if (ink != nullptr) ink->setVisible(true);
      c_.inkFold->SetCaption("<");
    }
    c_.inkFrame->show();
    ColourInks();
  };
  c_.inkReset->OnClick = [this, &s] {
    s.Palette.markedInk = -1;
    for (auto* ink : c_.inks)
      if (ink != nullptr) ink->setChecked(false);
    if (c_.inkFrame != nullptr) c_.inkFrame->hide();
    PrepareAndDraw();
  };
  for (int i = 0; i < 16; ++i) {
    if (c_.inks[i] == nullptr) continue;
    c_.inks[i]->OnClick = [this, &s, i] {
      s.Palette.markedInk = i;
      PrepareAndDraw();
    };
  }
  c_.directOnly->OnClick = [this] {
    SetBackColour(c_.directOnly, c_.directOnly->Value() == 1 ? QColor(255, 0, 0) : QColor(160, 192, 192));
    PrepareAndDraw();
  };
  for (int level = 0; level < kLevels; ++level) {
    c_.combos[level]->OnClick = [this, level] { ChooseFolder(level); };
    c_.marks[level]->OnClick = [this] {
      if (display_.state().MapDrawnOnce == 1) PrepareAndDraw();
    };
  }
  std::array<QWidget*, 6> combos{};
  for (int level = 0; level < kLevels; ++level) combos[level] = c_.combos[level];
  label_clicks_ = std::make_unique<ControlEvents>(
      std::array<QWidget*, 6>{c_.readouts[0], c_.readouts[1], c_.readouts[2], c_.readouts[3], c_.readouts[4],
                              c_.readouts[5]},
      combos,
      [this](int pair) {
        TakeInputs();
        if (display_.StepReadoutSystem(pair)) {
          PrepareAndDraw();  // the grids follow the system
          return;
        }
        ShowOutputs();
        widget_.update();
      },
      [this](int level) { ChooseFolder(level); });
  c_.tone->OnClick = [this] {
    // The tone follows the box (a value set from code runs this too).
    port_.ToneSwitched(c_.tone->Value() == 1);
    FocusMap();
  };
  // The palette frame folds to its first button and unfolds again.
  c_.inkFold->OnClick = [this] {
    const std::string caption = c_.inkFold->Caption();
    if (c_.inkFrame == nullptr || (caption != "<" && caption != ">")) return;
    const bool fold = caption == "<";
    for (int i = 1; i < 16; ++i)
      if (c_.inks[i] != nullptr) c_.inks[i]->setVisible(!fold);
    c_.inkFold->SetCaption(fold ? ">" : "<");
  };
  // The picture box.
  widget_.SetPort(this);
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
    const Settings& set = settings_;
    const QDateTime now = QDateTime::currentDateTime();
    FoptInputs in;
    in.sunspotNumber = set.SunspotNumber;
    in.kIndex = set.KIndex;
    in.utcOffsetHours = static_cast<int>(RoundHalfEven(set.UtcOffsetHours));
    in.month = now.date().month();
    in.day = now.date().day();
    in.hour = now.time().hour();
    in.minute = now.time().minute();
    return EstimateFopt(lon, centre_lon, lat, centre_lat, in);
  };
  // The MONI 1 line: distance, direction and speed from the user's position, and the digipeater.
  dh.moniOneLine = [this] {
    const MapState& st = display_.state();
    std::string line;
    try {
      MapPoint point;
      const auto db = ComputeMoniOneDistanceBearing({st.UserNorth, st.UserEast}, {st.MoniOneNorth, st.MoniOneEast},
                                                    st.MapCentralMeridian, st.MapFalseEasting, point);
      const std::string speed =
          MoniOneSpeedText(reception_.stations.MoniOneTrack(), reception_.stations.MoniOneCount());
      line = MoniOneLine(db.distanceKm, db.bearing, speed, reception_.stations.Newest().via);
    } catch (const geodesy::GeodesyError&) {
      return;
    }
    // Two rows that the column shows whole: distance and direction, then speed and heard-via.
    if (const std::size_t speed = line.find("   SPEED:"); speed != std::string::npos) line.replace(speed, 3, "\n");
    c_.moniOneLine->SetCaption(line);
  };
  dh.infoMapCaption = [this](const std::string& caption) {
    if (c_.infoMapButton != nullptr) c_.infoMapButton->SetCaption(caption);
  };
  dh.focus = [this] {
    // Typing in a text box keeps its focus; otherwise the map takes it in the active window.
    if (!TypingInTextBox()) FocusMap();
  };
  dh.timer1On = [this] { port_.DrawingDone(); };
  scale_text_ = new platform::Label(widget_.parentWidget(), "ScaleText");
  SetTextColour(scale_text_, QColor(192, 192, 192));
  SetBackColour(scale_text_, QColor(64, 80, 80));
}

}  // namespace zeblon::map
