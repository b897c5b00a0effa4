#include "map/map_tools.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFocusEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <unistd.h>
#ifdef ZEBLON_HAVE_VIDEO
#include <QAudioOutput>
#include <QMediaPlayer>
#include <QVideoWidget>
#endif

#include "geodesy/text.h"
#include "map/finders.h"
#include "map/layers/sun_curve_picture.h"
#include "map/map_display.h"
#include "map/map_widget.h"
#include "map/navigation.h"
#include "map/outside_maps.h"
#include "map/picture_page.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/qtext.h"
#include "settings/text_files.h"
#include "platform/wait.h"

namespace zeblon::map {
namespace fs = std::filesystem;
namespace {

void SetTextColour(QLabel* l, const QColor& fg, const QColor& bg) {
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, fg);
  p.setColor(QPalette::Window, bg);
  l->setPalette(p);
  l->setAutoFillBackground(bg.alpha() != 0);
}

// Writes the picture as a bitmap to a file that does not exist yet: through a
// temporary file linked to its name, so that a file that appeared meanwhile is
// never replaced.
bool WriteNewBitmap(const QImage& image, const fs::path& file) {
  if (image.isNull()) return false;
  const fs::path tmp = file.parent_path() / ("~MAP_" + std::to_string(::getpid()) + ".BMP");
  if (!image.save(QString::fromStdString(tmp.string()), "BMP")) return false;
  std::error_code ec;
  fs::create_hard_link(tmp, file, ec);
  fs::remove(tmp);
  return !ec;
}

}  // namespace

MapTools::MapTools(MapDisplay& display, MapWidget& widget, Settings& settings,
                   const reception::ReceptionState& reception, UserFiles& files, const ToolControls& controls,
                   ToolPort& port)
    : display_(display),
      widget_(widget),
      settings_(settings),
      reception_(reception),
      files_(files),
      c_(controls),
      port_(port) {
  QWidget* area = widget_.parentWidget() != nullptr ? widget_.parentWidget() : &widget_;
  picture4_ = new QLabel(area);
  picture4_->setObjectName("Picture4");
  picture4_->setGeometry(0, 0, map::kSunCurveWidth, map::kSunCurveHeight);
  picture4_->hide();
  track_text_ = new QLabel(&widget_);
  track_text_->setObjectName("TrackPointText");
  track_text_->setFont(map::MapFont());
  track_text_->hide();
  if (c_.viewer != nullptr) {
    picture_view_ = new QLabel(c_.viewerPage);
    picture_view_->setObjectName("PictureView");
    picture_view_->setAlignment(Qt::AlignCenter);
    SetTextColour(picture_view_, Qt::white, QColor(0x50, 0x50, 0x50));
  }
  Wire();
}

MapTools::~MapTools() { Unwire(); }

std::string MapTools::AppFolder() const { return port_.AppFolder(); }

std::function<bool(const std::string&)> MapTools::Opener() {
  return [this](const std::string& path) { return port_.OpenDocument(path); };
}

bool MapTools::SunCurveOpen() const { return picture4_->isVisible(); }

std::string MapTools::PictureName() const {
  const auto& pics = display_.index().Pictures();
  return picture_index_ >= 1 && std::size_t(picture_index_) <= pics.size() ? pics[picture_index_ - 1] : std::string();
}

void MapTools::Wire() {
  widget_.SetTools(this);
  auto& dh = display_.hooks();
  dh.hideSunCurve = [this] {
    picture4_->hide();
    track_text_->hide();
  };
  dh.showPicture = [this] { ShowPositionPicture(); };

  if (c_.viewer != nullptr) {
    c_.picturePrevious->OnClick = [this] { StepPicture(-1); };
    c_.pictureNext->OnClick = [this] { StepPicture(+1); };
    c_.videoStart->OnClick = [this] { ShowPositionPicture(); };
    c_.pictureCentre->OnClick = [this] { CentreAtPicture(); };
    // Whoever hides the viewer, its video stops with it.
    c_.viewer->installEventFilter(this);
  }
  if (c_.poiCombo != nullptr) {
    c_.help->OnClick = [this] { FunctionKey(112); };
    c_.saveMap->OnClick = [this] { SaveMap(); };
    c_.globe->OnMouseDown = [this](int button) {
      if (button == map::kLeftButton) ShowInGlobe();
      if (button == map::kRightButton) ReadPositionFromClipboard(false);
      port_.FocusMap();
    };
    c_.poiCombo->OnClick = [this] { ChoosePoiFile(c_.poiCombo->Text(), false); };
    c_.trackCombo->OnClick = [this] { ChooseTrackFile(c_.trackCombo->Text()); };
    for (QComboBox* combo : {static_cast<QComboBox*>(c_.trackCombo), static_cast<QComboBox*>(c_.poiCombo)}) {
      combo->installEventFilter(this);
      if (combo->lineEdit() != nullptr) combo->lineEdit()->installEventFilter(this);
    }
    c_.track->OnMouseUp = [this](int button) {
      if (c_.trackPanel == nullptr) return;
      if (button == map::kLeftButton) {
        c_.trackPanel->hide();
      } else if (button == map::kRightButton) {
        if (c_.track->Value() == 0) {
          c_.track->SetValue(1);
          c_.trackPanel->show();
          c_.trackPanel->raise();
        } else if (c_.track->Value() == 1) {
          c_.trackPanel->setVisible(!c_.trackPanel->isVisible());
          if (c_.trackPanel->isVisible()) c_.trackPanel->raise();
        } else {
          return;
        }
      } else {
        return;
      }
      if (display_.state().MapDrawnOnce == 1) port_.Draw();
    };
  }
  if (c_.poiEditor != nullptr) {
    c_.poiOk->OnClick = [this] { PoiOk(); };
    c_.poiCancel->OnClick = [this] { PoiCancel(); };
    c_.poiToCentre->OnClick = [this] {
      display_.mutable_state().SelectedNorth = display_.state().CentreNorth;
      display_.mutable_state().SelectedEast = display_.state().CentreEast;
    };
    c_.poiOpenLink->OnClick = [this] { PoiOpenLink(); };
    c_.poiText->OnChange = [this] { port_.Pause(2000); };
  }
  if (c_.trackPanel != nullptr) {
    c_.trackPrevious->OnClick = [this] { StepTrackFile(-1); };
    c_.trackNext->OnClick = [this] { StepTrackFile(+1); };
    c_.trackPanel->installEventFilter(this);
  }
}

void MapTools::Unwire() {
  widget_.SetTools(nullptr);
  if (c_.viewer != nullptr)
    for (auto* b : {c_.picturePrevious, c_.pictureNext, c_.videoStart, c_.pictureCentre}) b->OnClick = nullptr;
  if (c_.poiCombo != nullptr) {
    c_.help->OnClick = nullptr;
    c_.saveMap->OnClick = nullptr;
    c_.globe->OnMouseDown = nullptr;
    c_.trackCombo->OnClick = nullptr;
    c_.poiCombo->OnClick = nullptr;
    c_.track->OnMouseUp = nullptr;
  }
  if (c_.poiEditor != nullptr) {
    for (auto* b : {c_.poiOk, c_.poiCancel, c_.poiToCentre, c_.poiOpenLink}) b->OnClick = nullptr;
    c_.poiText->OnChange = nullptr;
  }
  if (c_.trackPanel != nullptr) {
    c_.trackPrevious->OnClick = nullptr;
    c_.trackNext->OnClick = nullptr;
  }
}

bool MapTools::eventFilter(QObject* watched, QEvent* e) {
  // The viewer is asked through the event's object: a hide may come while it is being destroyed.
  if (e->type() == QEvent::Hide && c_.viewer != nullptr && watched == c_.viewer &&
      static_cast<QWidget*>(watched)->isHidden()) {
    StopVideo();
  }
  if (c_.poiCombo == nullptr) return false;
  QComboBox* poi = c_.poiCombo;
  QComboBox* trk = c_.trackCombo;
  const auto is = [&](QComboBox* c) { return watched == c || (c->lineEdit() != nullptr && watched == c->lineEdit()); };
  if (e->type() == QEvent::KeyPress && is(poi)) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ChoosePoiFile(c_.poiCombo->Text(), true);
      return true;
    }
  } else if (e->type() == QEvent::FocusIn && (watched == poi || watched == trk)) {
    port_.Pause(4000);
  } else if (e->type() == QEvent::FocusOut && (watched == poi || watched == trk)) {
    if (static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason) {
      if (watched == poi)
        LeavePoiCombo();
      else
        LeaveTrackCombo();
    }
  } else if (e->type() == QEvent::MouseButtonPress && c_.trackPanel != nullptr && watched == c_.trackPanel) {
    CentreOnTrackEnd();
  }
  return false;
}

// ---------------------------------------------------------------------------
// Function keys

bool MapTools::FunctionKey(int key_code) {
  switch (key_code) {
    case 112:
      platform::OpenDocumentOrSay(Opener(), platform::ResolveOrSame(fs::path(AppFolder()) / "README.HTM").string(),
                                  "ZEBLON");
      return true;
    case 114: SaveMap(); return true;
    case 115: ShowInGlobe(); return true;
    case 116: ReadPositionFromClipboard(false); return true;
    case 117: ShowInWebMap(1); return true;
    case 118: ShowInWebMap(2); return true;
    case 119: ShowInWebMap(3); return true;
    case 120: ShowInWebMap(0); return true;
    case 121: ReadPositionFromClipboard(true); return true;
    default: return false;
  }
}

// ---------------------------------------------------------------------------
// Finders and the sun curve

bool MapTools::Find() {
  if (widget_.window()->height() < map::kFinderMinWindowHeight) return false;
  const map::MapState& s = display_.state();
  const auto pause = [this](int ms) { port_.Pause(ms); };
  const int level = port_.MoniAllDisplayLevel();
  if (level > 0) {
    pause(3000);
    const reception::ReceptionState& r = reception_;
    const auto filled = [](const std::vector<std::string>& v, int count) {
      std::span<const std::string> all(v);
      if (all.empty()) return all;
      return all.subspan(1, std::size_t(std::clamp(count, 0, int(all.size()) - 1)));
    };
    map::StationFilter filter;
    filter.directOnly = c_.directOnly != nullptr && c_.directOnly->Value() == 1;
    filter.mask = port_.StationFilterMask();
    const map::StationHit hit =
        map::FindStationAt(filled(r.stations.MoniOneTrack(), r.stations.MoniOneCount()), settings_.MoniOneCall,
                           filled(r.stations.MoniAll(), r.stations.MoniAllCount()), s.SelectedNorth, s.SelectedEast,
                           s.MetresPerPixel, filter);
    if (hit.index > 0) {
      port_.ShowStation(hit.call, static_cast<int>(hit.index), hit.moniOne);
      return true;
    }
    // Nothing there: a panel left open on another station closes (with a redraw).
    port_.CloseInfoPanel();
  }
  if ((s.PictureDisplay & 1) != 0) {
    pause(3000);
    const int found =
        map::FindPictureAt(display_.index().Pictures(), s.SelectedNorth, s.SelectedEast, s.MetresPerPixel);
    if (found > 0) {
      picture_index_ = found;
      display_.SetPictureMode(1);
      display_.SetCentreMode(0);
      if (c_.followUser != nullptr) {
        c_.followUser->setChecked(false);
        c_.followMoniOne->setChecked(false);
      }
      ShowPositionPicture();
      pause(30000);
      return true;
    }
  }
  if (c_.track != nullptr && c_.track->Value() == 1) {
    pause(3000);
    const std::span<const std::string> lines(files_.tracks.lines());
    const map::LineHit hit = map::FindLineAt(lines, s.SelectedNorth, s.SelectedEast, s.MetresPerPixel);
    if (!hit.text.empty()) {
      const QColor colour = hit.text.size() > 14 ? QColor(144, 255, 208) : s.OwnTrackColour;
      SetTextColour(track_text_, colour, QColor(0, 0, 0, 0));
      track_text_->setText(platform::ToQ(hit.text));
      track_text_->adjustSize();
      track_text_->move(int(s.CursorX), int(s.CursorY));
      track_text_->show();
      track_text_->raise();
      return true;
    }
  }
  if (s.PoiDisplayMode > 0 && c_.poiEditor != nullptr) {
    pause(3000);
    platform::Frame& e = *c_.poiEditor;
    e.move(widget_.x(), 0);
    c_.poiToCentre->hide();
    c_.poiOpenLink->hide();
    c_.poiText->SetText("");
    poi_edit_text_.clear();
    poi_edit_index_ = 0;
    const std::span<const std::string> lines(files_.pois.lines());
    const map::LineHit hit = map::FindLineAt(lines, s.SelectedNorth, s.SelectedEast, s.MetresPerPixel);
    if (hit.index > 0) {
      poi_edit_index_ = hit.index;
      poi_edit_text_ = hit.text;
      c_.poiText->SetText(hit.text);
      c_.poiToCentre->show();
      c_.poiOpenLink->setVisible(map::TextHoldsLink(hit.text));
    }
    e.show();
    e.raise();
    c_.poiText->setFocus();
    return true;
  }
  return false;
}

void MapTools::ShowSunCurve(bool open) {
  if (!open) {
    picture4_->hide();
    return;
  }
  const map::MapState& s = display_.state();
  const QDateTime now = QDateTime::currentDateTime();
  map::SunCurveClock clock;
  clock.year = now.date().year();
  clock.month = now.date().month();
  clock.day = now.date().day();
  clock.secondsSinceMidnight = now.time().msecsSinceStartOfDay() / 1000.0;
  clock.utcOffsetHours = static_cast<int>(RoundHalfEven(settings_.UtcOffsetHours));
  const auto curve = map::ComputeSunCurve(s.CursorNorth, s.CursorEast, s.MapCentralMeridian, clock);
  if (!curve) {
    picture4_->hide();
    return;
  }
  picture4_->setPixmap(QPixmap::fromImage(map::SunCurveImage(*curve)));
  picture4_->show();
  picture4_->raise();
}

// ---------------------------------------------------------------------------
// The picture viewer

void MapTools::ShowPositionPicture() {
  const auto& pics = display_.index().Pictures();
  if (c_.viewer == nullptr || picture_index_ < 1 || std::size_t(picture_index_) > pics.size()) return;
  const std::string& name = pics[picture_index_ - 1];
  platform::Frame& v = *c_.viewer;
  v.SetCaption(name);
  const fs::path root = platform::ResolveOrSame(platform::WindowsPathToLinux(settings_.MapRootFolder, AppFolder()));
  const fs::path path = platform::ResolveOrSame(root / "UTMPICS" / name);
  v.show();
  v.raise();
  const bool video = map::IsVideoName(name);
  c_.videoStart->setVisible(video);
  // The page of the picture, for a browser; the viewer itself shows the picture.
  WriteFileAtomically(fs::path(AppFolder()) / "PIC.HTM", map::PicturePage(Utf8ToCp1252(path.string())));
  picture_view_->setGeometry(0, 0, c_.viewerPage->width(), c_.viewerPage->height());
  picture_view_->clear();
  if (!video) {
    QImageReader reader(QString::fromStdString(path.string()));
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (!image.isNull())
      picture_view_->setPixmap(
          QPixmap::fromImage(image.scaled(picture_view_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  }
  picture_view_->show();
  if (video)
    PlayVideo(path.string());
  else
    StopVideo();
  if (port_.WindowActive()) port_.FocusMap();
}

void MapTools::PlayVideo(const std::string& path) {
#ifdef ZEBLON_HAVE_VIDEO
  if (c_.viewer == nullptr) return;
  if (player_ == nullptr) {
    player_ = new QMediaPlayer(this);
    auto* view = new QVideoWidget(c_.viewerPage);
    view->setObjectName("VideoView");
    video_view_ = view;
    player_->setVideoOutput(view);
    // Sound only where there is a screen to watch the video on.
    if (!platform::IsHeadless()) player_->setAudioOutput(new QAudioOutput(player_));
  }
  video_view_->setGeometry(0, 0, c_.viewerPage->width(), c_.viewerPage->height());
  video_view_->show();
  video_view_->raise();
  player_->stop();
  player_->setSource(QUrl());
  player_->setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
  player_->play();
#else
  (void)path;  // no video player in this build: the grey page stays
#endif
}

void MapTools::StopVideo() {
#ifdef ZEBLON_HAVE_VIDEO
  if (player_ == nullptr) return;
  player_->stop();
  video_view_->hide();
#endif
}

void MapTools::StepPicture(int step) {
  const int next = map::StepPicture(picture_index_, int(display_.index().Pictures().size()), step);
  if (next == picture_index_) return;
  picture_index_ = next;
  ShowPositionPicture();
}

void MapTools::ClosePictureViewer() {
  StopVideo();
  if (c_.viewer != nullptr) c_.viewer->hide();
  display_.SetPictureMode(0);
}

void MapTools::CentreAtPicture() {
  const auto& pics = display_.index().Pictures();
  if (picture_index_ < 1 || std::size_t(picture_index_) > pics.size()) return;
  const map::PicturePlace c = map::PictureCentre(pics[picture_index_ - 1]);
  TakeCentre(c.north, c.east);
}

void MapTools::TakeCentre(double north, double east) {
  display_.SetCentre(north, east);
  StopVideo();
  if (c_.viewer != nullptr) c_.viewer->hide();
  display_.SetPictureMode(0);
  display_.SetCentreMode(0);
  if (c_.followUser != nullptr) {
    c_.followUser->setChecked(false);
    c_.followMoniOne->setChecked(false);
  }
  port_.Draw();
  port_.FocusMap();
}

// ---------------------------------------------------------------------------
// Outside maps and the map save

void MapTools::ShowInWebMap(int which) {
  static constexpr map::WebMap kMaps[] = {map::WebMap::kGoogleMaps, map::WebMap::kSwedish, map::WebMap::kNorwegian,
                                          map::WebMap::kFinnish};
  if (which < 0 || which > 3) return;
  platform::OpenDocumentOrSay(
      Opener(), map::WebMapAddress(kMaps[which], display_.state().CentreNorth, display_.state().CentreEast), "ZEBLON");
}

void MapTools::ShowInGlobe() {
  port_.Pause(30000);
  const Settings& set = settings_;
  const int centre_mode = display_.state().CentreMode;
  const long count = reception_.stations.MoniOneCount();
  const std::string caption = c_.moniOneStamp != nullptr ? c_.moniOneStamp->Caption() : std::string();
  const map::KmlPlacemark k =
      map::PlacemarkAt(display_.state().CentreNorth, display_.state().CentreEast, display_.state().MapCentralMeridian,
                       centre_mode == 1, count, Trim(set.MoniOneCall), caption);
  const fs::path file = fs::path(AppFolder()) / "ZEBLON.KML";
  if (!WriteFileAtomically(file, map::KmlText(k))) return;
  platform::OpenDocumentOrSay(Opener(), file.string(), "ZEBLON");
}

bool MapTools::ReadPositionFromClipboard(bool web_map_address) {
  const QClipboard* clip = QGuiApplication::clipboard();
  if (clip == nullptr) return false;
  const std::string text = Utf8ToCp1252(clip->text().toStdString());
  const auto p = web_map_address ? map::ParseWebMapAddress(text) : map::ParseGlobePosition(text);
  if (!p) return false;
  const map::MapState& s = display_.state();
  const map::CentreKm c = map::CentreOfLatLon(*p, s.MapCentralMeridian, s.MapFalseEasting);
  display_.NoteMapInteraction(platform::WaitClockNow());
  TakeCentre(c.north, c.east);
  return true;
}

void MapTools::SaveMap() {
  const fs::path folder = platform::ResolveOrSame(fs::path(AppFolder()) / "MY_MAPS");
  std::error_code ec;
  fs::create_directories(folder, ec);
  const fs::path file = map::NextSavedMapFile(folder);
  const auto question = map::SaveMapQuestion(settings_.LanguageSetting, Utf8ToCp1252(file.string()));
  if (!question) return;
  if (platform::MsgBox(*question, "ZEBLON", platform::MsgButtons::OkCancel, platform::MsgIcon::Exclamation) !=
      platform::MsgResult::Ok)
    return;
  display_.mutable_state().MapSaveDrawing = 1;
  port_.Draw();
  WriteNewBitmap(display_.picture(), file);
  port_.Draw();
}

// ---------------------------------------------------------------------------
// POI files and the POI editor

void MapTools::EnsureFolders() {
  const fs::path data = fs::path(port_.DataFolder());
  files_.pois.SetFolder(platform::ResolveOrSame(data / "POI"));
  files_.tracks.SetFolder(platform::ResolveOrSame(data / "TRK"));
}

void MapTools::PoiOk() {
  if (c_.poiEditor == nullptr) return;
  platform::Frame& e = *c_.poiEditor;
  std::string name = ComboName(c_.poiCombo->Text());
  const std::string text = c_.poiText->Text();
  EnsureFolders();
  // No POI file chosen yet: the first point starts the file of the first name,
  // which the combo then lists and shows.
  const bool first_file = name.empty() && !text.empty();
  if (first_file) name = map::kFirstPoiFileName;
  if (!name.empty()) {
    if (files_.pois.name() != name) files_.pois.Load(name);
    map::MapState& s = display_.mutable_state();
    const bool to_centre = c_.poiToCentre->isVisible() && s.SelectedNorth == display_.state().CentreNorth &&
                           s.SelectedEast == display_.state().CentreEast;
    if (!files_.pois.Ok(poi_edit_index_, text, to_centre, s.SelectedNorth, s.SelectedEast)) {
      platform::MsgBox("POI NOT SAVED: POSITION OUT OF RANGE OR FILE NOT WRITABLE", "ZEBLON", platform::MsgButtons::Ok,
                       platform::MsgIcon::Exclamation);
    }
  }
  if (first_file) {
    platform::ComboBox& combo = *c_.poiCombo;
    combo.Clear();
    for (const std::string& n : files_.pois.List()) combo.AddItem(n);
    combo.SetText(name);
  }
  poi_edit_index_ = 0;
  poi_edit_text_.clear();
  c_.poiText->SetText("");
  settings_.PoiFileName = name;
  e.hide();
  port_.Draw();
}

void MapTools::PoiCancel() {
  if (c_.poiEditor == nullptr) return;
  poi_edit_index_ = 0;
  poi_edit_text_.clear();
  c_.poiText->SetText("");
  c_.poiEditor->hide();
  port_.DrawingDone();
}

void MapTools::PoiOpenLink() {
  if (c_.poiEditor == nullptr) return;
  const auto link = PoiLink(c_.poiText->Text());
  if (!link) return;
  const std::string target = Cp1252ToUtf8(*link);
  if (!LinkMayBeOpened(target)) {
    platform::MsgBox("LINK NOT OPENED: " + *link, "ZEBLON", platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
    return;
  }
  platform::OpenDocumentOrSay(Opener(), target, "ZEBLON");
}

void MapTools::ChoosePoiFile(const std::string& chosen, bool enter) {
  platform::ComboBox& combo = *c_.poiCombo;
  std::string& current = settings_.PoiFileName;
  const int mode = display_.state().PoiDisplayMode;
  const auto rebuild = [&] {
    const std::string keep = combo.Text();
    combo.Clear();
    for (const std::string& n : files_.pois.List()) combo.AddItem(n);
    combo.SetText(keep);
  };
  EnsureFolders();
  if (!enter) {
    if (chosen.empty() || ComboName(chosen) == ComboName(current)) return;
    rebuild();
    combo.SetText(chosen);
    std::vector<std::string> list;
    for (int i = 0; i < combo.ListCount(); ++i) list.push_back(combo.List(i));
    if (!Listed(list, chosen)) {
      port_.DrawingDone();
      combo.SetText(ComboName(current));
      port_.FocusMap();
      return;
    }
    current = ComboName(chosen);
    port_.FocusMap();
    files_.pois.Load(current);
    if (mode != 0) port_.Draw();
    return;
  }
  const std::string name = ComboName(chosen);
  combo.SetText(name);
  if (name.empty() || name == ComboName(current)) {
    port_.FocusMap();
    return;
  }
  if (Listed(files_.pois.List(), name)) {
    current = name;
    files_.pois.Load(name);
  } else {
    files_.pois.Create(name);
    current = name;
    combo.Clear();
    for (const std::string& n : files_.pois.List()) combo.AddItem(n);
    port_.DrawingDone();
  }
  combo.SetText(name);
  port_.FocusMap();
  if (mode != 0) port_.Draw();
}

void MapTools::LeavePoiCombo() {
  port_.DrawingDone();
  settings_.PoiFileName = ComboName(settings_.PoiFileName);
  c_.poiCombo->SetText(settings_.PoiFileName);
  port_.WriteSettings();
}

// ---------------------------------------------------------------------------
// TRK files

void MapTools::ChooseTrackFile(const std::string& chosen) {
  platform::ComboBox& combo = *c_.trackCombo;
  std::string& current = settings_.TrackFileName;
  if (chosen.empty() || ComboName(current) == ComboName(chosen)) return;
  EnsureFolders();
  combo.Clear();
  for (const std::string& n : files_.tracks.List()) combo.AddItem(n);
  combo.SetText(chosen);
  std::vector<std::string> list;
  for (int i = 0; i < combo.ListCount(); ++i) list.push_back(combo.List(i));
  if (!Listed(list, combo.Text())) {
    port_.DrawingDone();
    combo.SetText(ComboName(current));
    port_.FocusMap();
    return;
  }
  current = ComboName(combo.Text());
  port_.FocusMap();
  files_.tracks.Load(current);
  if (c_.track->Value() == 1) port_.Draw();
}

void MapTools::StepTrackFile(int step) {
  platform::ComboBox& combo = *c_.trackCombo;
  std::vector<std::string> list;
  for (int i = 0; i < combo.ListCount(); ++i) list.push_back(combo.List(i));
  const auto next = NeighbourEntry(list, combo.Text(), step);
  if (!next) return;
  combo.SetText(list[*next]);
  ChooseTrackFile(list[*next]);
  LeaveTrackCombo();
}

void MapTools::LeaveTrackCombo() {
  port_.DrawingDone();
  settings_.TrackFileName = ComboName(settings_.TrackFileName);
  c_.trackCombo->SetText(settings_.TrackFileName);
  port_.WriteSettings();
}

void MapTools::CentreOnTrackEnd() {
  const auto end = TrackEnd(files_.tracks.lines());
  if (!end) return;  // no track loaded: nothing to centre on
  TakeCentre(end->north, end->east);
}

}  // namespace zeblon::map
