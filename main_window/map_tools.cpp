#include "main_window/map_tools.h"

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

namespace zeblon {
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

MapTools::MapTools(map::MapDisplay& display, map::MapWidget& widget, const MapContext& context, Calls calls)
    : display_(display), widget_(widget), map_(context), calls_(std::move(calls)) {
  QWidget* area = widget_.parentWidget() != nullptr ? widget_.parentWidget() : &widget_;
  picture4_ = new QLabel(area);
  picture4_->setObjectName("Picture4");
  picture4_->setGeometry(0, 0, map::kSunCurveWidth, map::kSunCurveHeight);
  picture4_->hide();
  track_text_ = new QLabel(&widget_);
  track_text_->setObjectName("TrackPointText");
  track_text_->setFont(map::MapFont());
  track_text_->hide();
  if (map_.viewer != nullptr) {
    picture_view_ = new QLabel(map_.viewer->WebBrowser2);
    picture_view_->setObjectName("PictureView");
    picture_view_->setAlignment(Qt::AlignCenter);
    SetTextColour(picture_view_, Qt::white, QColor(0x50, 0x50, 0x50));
  }
  Wire();
}

MapTools::~MapTools() { Unwire(); }

std::string MapTools::AppFolder() const { return map_.appFolder ? map_.appFolder() : std::string("."); }

void MapTools::Wire() {
  auto& h = widget_.hooks();
  h.find = [this] { return Find(); };
  h.sun_curve = [this](bool open) { ShowSunCurve(open); };
  h.sun_curve_open = [this] { return picture4_->isVisible(); };
  h.picture_name = [this] {
    const auto& pics = display_.index().Pictures();
    return picture_index_ >= 1 && std::size_t(picture_index_) <= pics.size() ? pics[picture_index_ - 1] : std::string();
  };
  h.left_picture_mode = [this] { ClosePictureViewer(); };
  auto& dh = display_.hooks();
  dh.hide_sun_curve = [this] {
    picture4_->hide();
    track_text_->hide();
  };
  dh.show_picture = [this] { ShowPositionPicture(); };

  if (map_.viewer != nullptr) {
    map_.viewer->Command29->OnClick = [this] { StepPicture(-1); };
    map_.viewer->Command30->OnClick = [this] { StepPicture(+1); };
    map_.viewer->Command70->OnClick = [this] { ShowPositionPicture(); };
    map_.viewer->Command71->OnClick = [this] { CentreAtPicture(); };
    // Whoever hides the viewer, its video stops with it.
    map_.viewer->installEventFilter(this);
  }
  if (map_.column != nullptr) {
    panels::ControlColumn& c = *map_.column;
    c.Command57->OnClick = [this] { FunctionKey(112); };
    c.Command59->OnClick = [this] { SaveMap(); };
    c.Command58->OnMouseDown = [this](int button) {
      if (button == map::kLeftButton) ShowInGlobe();
      if (button == map::kRightButton) ReadPositionFromClipboard(false);
      if (calls_.focus) calls_.focus();
    };
    c.Combo2->OnClick = [this] { ChoosePoiFile(map_.column->Combo2->Text(), false); };
    c.Combo1->OnClick = [this] { ChooseTrackFile(map_.column->Combo1->Text()); };
    for (QComboBox* combo : {static_cast<QComboBox*>(c.Combo1), static_cast<QComboBox*>(c.Combo2)}) {
      combo->installEventFilter(this);
      if (combo->lineEdit() != nullptr) combo->lineEdit()->installEventFilter(this);
    }
    c.Check14->OnMouseUp = [this](int button) {
      panels::ControlColumn& col = *map_.column;
      if (map_.trkPanel == nullptr) return;
      if (button == map::kLeftButton) {
        map_.trkPanel->hide();
      } else if (button == map::kRightButton) {
        if (col.Check14->Value() == 0) {
          col.Check14->SetValue(1);
          map_.trkPanel->show();
          map_.trkPanel->raise();
        } else if (col.Check14->Value() == 1) {
          map_.trkPanel->setVisible(!map_.trkPanel->isVisible());
          if (map_.trkPanel->isVisible()) map_.trkPanel->raise();
        } else {
          return;
        }
      } else {
        return;
      }
      if (display_.state().MapDrawnOnce == 1 && calls_.draw) calls_.draw();
    };
  }
  if (map_.poiEditor != nullptr) {
    panels::PoiEditor& e = *map_.poiEditor;
    e.Command26->OnClick = [this] { PoiOk(); };
    e.Command22->OnClick = [this] { PoiCancel(); };
    e.Command64->OnClick = [this] {
      display_.mutable_state().SelectedNorth = display_.state().CentreNorth;
      display_.mutable_state().SelectedEast = display_.state().CentreEast;
    };
    e.Command67->OnClick = [this] { PoiOpenLink(); };
    e.Text4->OnChange = [this] {
      if (map_.pause) map_.pause(2000);
    };
  }
  if (map_.trkPanel != nullptr) {
    map_.trkPanel->Command68->OnClick = [this] { StepTrackFile(-1); };
    map_.trkPanel->Command69->OnClick = [this] { StepTrackFile(+1); };
    map_.trkPanel->installEventFilter(this);
  }
}

void MapTools::Unwire() {
  if (map_.viewer != nullptr)
    for (auto* b : {map_.viewer->Command29, map_.viewer->Command30, map_.viewer->Command70, map_.viewer->Command71})
      b->OnClick = nullptr;
  if (map_.column != nullptr) {
    map_.column->Command57->OnClick = nullptr;
    map_.column->Command59->OnClick = nullptr;
    map_.column->Command58->OnMouseDown = nullptr;
    map_.column->Combo1->OnClick = nullptr;
    map_.column->Combo2->OnClick = nullptr;
    map_.column->Check14->OnMouseUp = nullptr;
  }
  if (map_.poiEditor != nullptr) {
    for (auto* b :
         {map_.poiEditor->Command26, map_.poiEditor->Command22, map_.poiEditor->Command64, map_.poiEditor->Command67})
      b->OnClick = nullptr;
    map_.poiEditor->Text4->OnChange = nullptr;
  }
  if (map_.trkPanel != nullptr) {
    map_.trkPanel->Command68->OnClick = nullptr;
    map_.trkPanel->Command69->OnClick = nullptr;
  }
}

bool MapTools::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::Hide && map_.viewer != nullptr && watched == map_.viewer && map_.viewer->isHidden())
    StopVideo();
  if (map_.column == nullptr) return false;
  QComboBox* poi = map_.column->Combo2;
  QComboBox* trk = map_.column->Combo1;
  const auto is = [&](QComboBox* c) { return watched == c || (c->lineEdit() != nullptr && watched == c->lineEdit()); };
  if (e->type() == QEvent::KeyPress && is(poi)) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ChoosePoiFile(map_.column->Combo2->Text(), true);
      return true;
    }
  } else if (e->type() == QEvent::FocusIn && (watched == poi || watched == trk)) {
    if (map_.pause) map_.pause(4000);
  } else if (e->type() == QEvent::FocusOut && (watched == poi || watched == trk)) {
    if (static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason) {
      if (watched == poi)
        LeavePoiCombo();
      else
        LeaveTrackCombo();
    }
  } else if (e->type() == QEvent::MouseButtonPress && map_.trkPanel != nullptr && watched == map_.trkPanel) {
    CentreOnTrackEnd();
  }
  return false;
}

// ---------------------------------------------------------------------------
// Function keys

bool MapTools::FunctionKey(int key_code) {
  switch (key_code) {
    case 112:
      platform::OpenDocumentOrSay(map_.openDocument,
                                  platform::ResolveOrSame(fs::path(AppFolder()) / "README.HTM").string(), "ZEBLON");
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
  const auto pause = [this](int ms) {
    if (map_.pause) map_.pause(ms);
  };
  const int level = map_.shell != nullptr ? map_.shell->MoniAllDisplayLevel : s.MoniAllDisplayLevel;
  if (level > 0 && map_.reception != nullptr && map_.showStation) {
    pause(3000);
    const reception::ReceptionState& r = *map_.reception;
    const auto filled = [](const std::vector<std::string>& v, int count) {
      std::span<const std::string> all(v);
      if (all.empty()) return all;
      return all.subspan(1, std::size_t(std::clamp(count, 0, int(all.size()) - 1)));
    };
    map::StationFilter filter;
    filter.direct_only = map_.column != nullptr && map_.column->Check24->Value() == 1;
    filter.mask = map_.shell != nullptr ? map_.shell->StationFilterMask : 31;
    const map::StationHit hit =
        map::FindStationAt(filled(r.stations.MoniOneTrack(), r.stations.MoniOneCount()), map_.settings->MoniOneCall,
                           filled(r.stations.MoniAll(), r.stations.MoniAllCount()), s.SelectedNorth, s.SelectedEast,
                           s.MetresPerPixel, filter);
    if (hit.index > 0) {
      map_.showStation(hit.call, static_cast<int>(hit.index), hit.moni_one);
      return true;
    }
    // Nothing there: a panel left open on another station closes (with a redraw).
    if (map_.closeInfoPanel) map_.closeInfoPanel();
  }
  if ((s.PictureDisplay & 1) != 0) {
    pause(3000);
    const int found =
        map::FindPictureAt(display_.index().Pictures(), s.SelectedNorth, s.SelectedEast, s.MetresPerPixel);
    if (found > 0) {
      picture_index_ = found;
      display_.SetPictureMode(1);
      display_.SetCentreMode(0);
      if (map_.column != nullptr) {
        map_.column->Option1->setChecked(false);
        map_.column->Option2->setChecked(false);
      }
      ShowPositionPicture();
      pause(30000);
      return true;
    }
  }
  if (map_.column != nullptr && map_.column->Check14->Value() == 1 && map_.panels != nullptr) {
    pause(3000);
    const PanelState& p = *map_.panels;
    std::span<const std::string> lines(p.TrackLines);
    if (!lines.empty())
      lines = lines.subspan(1, std::size_t(std::clamp<long>(p.TrackLineCount, 0, long(lines.size()) - 1)));
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
  if (s.PoiDisplayMode > 0 && map_.poiEditor != nullptr && map_.panels != nullptr) {
    pause(3000);
    panels::PoiEditor& e = *map_.poiEditor;
    e.move(widget_.x(), 0);
    e.Command64->hide();
    e.Command67->hide();
    e.Text4->SetText("");
    poi_edit_text_.clear();
    poi_edit_index_ = 0;
    const PanelState& p = *map_.panels;
    std::span<const std::string> lines(p.PoiLines);
    if (!lines.empty()) lines = lines.subspan(1, std::size_t(std::clamp(p.PoiCount, 0, int(lines.size()) - 1)));
    const map::LineHit hit = map::FindLineAt(lines, s.SelectedNorth, s.SelectedEast, s.MetresPerPixel);
    if (hit.index > 0) {
      poi_edit_index_ = hit.index;
      poi_edit_text_ = hit.text;
      e.Text4->SetText(hit.text);
      e.Command64->show();
      e.Command67->setVisible(map::TextHoldsLink(hit.text));
    }
    e.show();
    e.raise();
    e.Text4->setFocus();
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
  clock.utcOffsetHours = static_cast<int>(RoundHalfEven(map_.settings != nullptr ? map_.settings->UtcOffsetHours : 0));
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
  if (map_.viewer == nullptr || picture_index_ < 1 || std::size_t(picture_index_) > pics.size()) return;
  const std::string& name = pics[picture_index_ - 1];
  panels::PictureViewer& v = *map_.viewer;
  v.SetCaption(name);
  const fs::path root =
      platform::ResolveOrSame(platform::WindowsPathToLinux(map_.settings->MapRootFolder, AppFolder()));
  const fs::path path = platform::ResolveOrSame(root / "UTMPICS" / name);
  v.show();
  v.raise();
  const bool video = map::IsVideoName(name);
  v.Command70->setVisible(video);
  // The page of the picture, for a browser; the viewer itself shows the picture.
  WriteFileAtomically(fs::path(AppFolder()) / "PIC.HTM", map::PicturePage(Utf8ToCp1252(path.string())));
  picture_view_->setGeometry(0, 0, v.WebBrowser2->width(), v.WebBrowser2->height());
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
  if (map_.windowActive && map_.windowActive() && calls_.focus) calls_.focus();
}

void MapTools::PlayVideo(const std::string& path) {
#ifdef ZEBLON_HAVE_VIDEO
  if (map_.viewer == nullptr) return;
  if (player_ == nullptr) {
    player_ = new QMediaPlayer(this);
    auto* view = new QVideoWidget(map_.viewer->WebBrowser2);
    view->setObjectName("VideoView");
    video_view_ = view;
    player_->setVideoOutput(view);
    // Sound only where there is a screen to watch the video on.
    if (!platform::IsHeadless()) player_->setAudioOutput(new QAudioOutput(player_));
  }
  video_view_->setGeometry(0, 0, map_.viewer->WebBrowser2->width(), map_.viewer->WebBrowser2->height());
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
  if (map_.viewer != nullptr) map_.viewer->hide();
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
  if (map_.viewer != nullptr) map_.viewer->hide();
  display_.SetPictureMode(0);
  display_.SetCentreMode(0);
  if (map_.column != nullptr) {
    map_.column->Option1->setChecked(false);
    map_.column->Option2->setChecked(false);
  }
  if (calls_.draw) calls_.draw();
  if (calls_.focus) calls_.focus();
}

// ---------------------------------------------------------------------------
// Outside maps and the map save

void MapTools::ShowInWebMap(int which) {
  static constexpr map::WebMap kMaps[] = {map::WebMap::kGoogleMaps, map::WebMap::kSwedish, map::WebMap::kNorwegian,
                                          map::WebMap::kFinnish};
  if (which < 0 || which > 3) return;
  platform::OpenDocumentOrSay(
      map_.openDocument, map::WebMapAddress(kMaps[which], display_.state().CentreNorth, display_.state().CentreEast),
      "ZEBLON");
}

void MapTools::ShowInGlobe() {
  if (map_.pause) map_.pause(30000);
  const Settings& set = *map_.settings;
  const int centre_mode = display_.state().CentreMode;
  const long count = map_.reception != nullptr ? map_.reception->stations.MoniOneCount() : 0;
  const std::string caption = map_.column != nullptr ? map_.column->Label9->Caption() : std::string();
  const map::KmlPlacemark k =
      map::PlacemarkAt(display_.state().CentreNorth, display_.state().CentreEast, display_.state().MapCentralMeridian,
                       centre_mode == 1, count, Trim(set.MoniOneCall), caption);
  const fs::path file = fs::path(AppFolder()) / "ZEBLON.KML";
  if (!WriteFileAtomically(file, map::KmlText(k))) return;
  platform::OpenDocumentOrSay(map_.openDocument, file.string(), "ZEBLON");
}

bool MapTools::ReadPositionFromClipboard(bool web_map_address) {
  const QClipboard* clip = QGuiApplication::clipboard();
  if (clip == nullptr) return false;
  const std::string text = Utf8ToCp1252(clip->text().toStdString());
  const auto p = web_map_address ? map::ParseWebMapAddress(text) : map::ParseGlobePosition(text);
  if (!p) return false;
  const map::MapState& s = display_.state();
  const map::CentreKm c = map::CentreOfLatLon(*p, s.MapCentralMeridian, s.MapFalseEasting);
  TakeCentre(c.north, c.east);
  return true;
}

void MapTools::SaveMap() {
  const fs::path folder = platform::ResolveOrSame(fs::path(AppFolder()) / "MY_MAPS");
  std::error_code ec;
  fs::create_directories(folder, ec);
  const fs::path file = map::NextSavedMapFile(folder);
  const auto question = map::SaveMapQuestion(map_.settings->LanguageSetting, Utf8ToCp1252(file.string()));
  if (!question) return;
  if (platform::MsgBox(*question, "ZEBLON", platform::MsgButtons::OkCancel, platform::MsgIcon::Exclamation) !=
      platform::MsgResult::Ok)
    return;
  display_.mutable_state().MapSaveDrawing = 1;
  if (calls_.draw) calls_.draw();
  WriteNewBitmap(display_.picture(), file);
  if (calls_.draw) calls_.draw();
}

// ---------------------------------------------------------------------------
// POI files and the POI editor

void MapTools::PoiLinesToWindow() {
  if (map_.panels == nullptr) return;
  PanelState& p = *map_.panels;
  p.PoiLines.assign(1, std::string());
  p.PoiLines.insert(p.PoiLines.end(), pois_.lines().begin(), pois_.lines().end());
  p.PoiCount = static_cast<int>(std::min<std::size_t>(pois_.lines().size(), 2147483647u));
}

void MapTools::TrackLinesToWindow() {
  if (map_.panels == nullptr) return;
  PanelState& p = *map_.panels;
  p.TrackLines.assign(1, std::string());
  p.TrackLines.insert(p.TrackLines.end(), tracks_.lines().begin(), tracks_.lines().end());
  p.TrackLineCount = static_cast<long>(tracks_.lines().size());
}

void MapTools::EnsureFolders() {
  const fs::path data = map_.dataFolder ? fs::path(map_.dataFolder()) : fs::path(AppFolder());
  pois_.SetFolder(platform::ResolveOrSame(data / "POI"));
  tracks_.SetFolder(platform::ResolveOrSame(data / "TRK"));
}

void MapTools::PoiOk() {
  if (map_.poiEditor == nullptr) return;
  panels::PoiEditor& e = *map_.poiEditor;
  const std::string name = panels::ComboName(map_.column->Combo2->Text());
  EnsureFolders();
  if (pois_.name() != name) pois_.Load(name);
  map::MapState& s = display_.mutable_state();
  const bool to_centre = e.Command64->isVisible() && s.SelectedNorth == display_.state().CentreNorth &&
                         s.SelectedEast == display_.state().CentreEast;
  const std::string text = e.Text4->Text();
  if (!pois_.Ok(poi_edit_index_, text, to_centre, s.SelectedNorth, s.SelectedEast)) {
    platform::MsgBox("POI NOT SAVED: POSITION OUT OF RANGE OR FILE NOT WRITABLE", "ZEBLON", platform::MsgButtons::Ok,
                     platform::MsgIcon::Exclamation);
  }
  poi_edit_index_ = 0;
  poi_edit_text_.clear();
  e.Text4->SetText("");
  map_.settings->PoiFileName = name;
  PoiLinesToWindow();
  e.hide();
  if (calls_.draw) calls_.draw();
}

void MapTools::PoiCancel() {
  if (map_.poiEditor == nullptr) return;
  poi_edit_index_ = 0;
  poi_edit_text_.clear();
  map_.poiEditor->Text4->SetText("");
  map_.poiEditor->hide();
  if (map_.drawingDone) map_.drawingDone();
}

void MapTools::PoiOpenLink() {
  if (map_.poiEditor == nullptr) return;
  const auto link = panels::PoiLink(map_.poiEditor->Text4->Text());
  if (!link) return;
  const std::string target = Cp1252ToUtf8(*link);
  if (!panels::LinkMayBeOpened(target)) {
    platform::MsgBox("LINK NOT OPENED: " + *link, "ZEBLON", platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
    return;
  }
  platform::OpenDocumentOrSay(map_.openDocument, target, "ZEBLON");
}

void MapTools::ChoosePoiFile(const std::string& chosen, bool enter) {
  platform::ComboBox& combo = *map_.column->Combo2;
  std::string& current = map_.settings->PoiFileName;
  const int mode = display_.state().PoiDisplayMode;
  const auto rebuild = [&] {
    const std::string keep = combo.Text();
    combo.Clear();
    for (const std::string& n : pois_.List()) combo.AddItem(n);
    combo.SetText(keep);
  };
  EnsureFolders();
  if (!enter) {
    if (chosen.empty() || panels::ComboName(chosen) == panels::ComboName(current)) return;
    rebuild();
    combo.SetText(chosen);
    std::vector<std::string> list;
    for (int i = 0; i < combo.ListCount(); ++i) list.push_back(combo.List(i));
    if (!panels::Listed(list, chosen)) {
      if (map_.drawingDone) map_.drawingDone();
      combo.SetText(panels::ComboName(current));
      if (calls_.focus) calls_.focus();
      return;
    }
    current = panels::ComboName(chosen);
    if (calls_.focus) calls_.focus();
    pois_.Load(current);
    PoiLinesToWindow();
    if (mode != 0 && calls_.draw) calls_.draw();
    return;
  }
  const std::string name = panels::ComboName(chosen);
  combo.SetText(name);
  if (name.empty() || name == panels::ComboName(current)) {
    if (calls_.focus) calls_.focus();
    return;
  }
  if (panels::Listed(pois_.List(), name)) {
    current = name;
    pois_.Load(name);
  } else {
    pois_.Create(name);
    current = name;
    combo.Clear();
    for (const std::string& n : pois_.List()) combo.AddItem(n);
    if (map_.drawingDone) map_.drawingDone();
  }
  PoiLinesToWindow();
  combo.SetText(name);
  if (calls_.focus) calls_.focus();
  if (mode != 0 && calls_.draw) calls_.draw();
}

void MapTools::LeavePoiCombo() {
  if (map_.drawingDone) map_.drawingDone();
  map_.settings->PoiFileName = panels::ComboName(map_.settings->PoiFileName);
  map_.column->Combo2->SetText(map_.settings->PoiFileName);
  if (map_.writeSettings) map_.writeSettings();
}

// ---------------------------------------------------------------------------
// TRK files

void MapTools::ChooseTrackFile(const std::string& chosen) {
  platform::ComboBox& combo = *map_.column->Combo1;
  std::string& current = map_.settings->TrackFileName;
  if (chosen.empty() || panels::ComboName(current) == panels::ComboName(chosen)) return;
  EnsureFolders();
  combo.Clear();
  for (const std::string& n : tracks_.List()) combo.AddItem(n);
  combo.SetText(chosen);
  std::vector<std::string> list;
  for (int i = 0; i < combo.ListCount(); ++i) list.push_back(combo.List(i));
  if (!panels::Listed(list, combo.Text())) {
    if (map_.drawingDone) map_.drawingDone();
    combo.SetText(panels::ComboName(current));
    if (calls_.focus) calls_.focus();
    return;
  }
  current = panels::ComboName(combo.Text());
  if (calls_.focus) calls_.focus();
  tracks_.Load(current);
  TrackLinesToWindow();
  if (map_.column->Check14->Value() == 1 && calls_.draw) calls_.draw();
}

void MapTools::StepTrackFile(int step) {
  platform::ComboBox& combo = *map_.column->Combo1;
  std::vector<std::string> list;
  for (int i = 0; i < combo.ListCount(); ++i) list.push_back(combo.List(i));
  const auto next = panels::NeighbourEntry(list, combo.Text(), step);
  if (!next) return;
  combo.SetText(list[*next]);
  ChooseTrackFile(list[*next]);
  LeaveTrackCombo();
}

void MapTools::LeaveTrackCombo() {
  if (map_.drawingDone) map_.drawingDone();
  map_.settings->TrackFileName = panels::ComboName(map_.settings->TrackFileName);
  map_.column->Combo1->SetText(map_.settings->TrackFileName);
  if (map_.writeSettings) map_.writeSettings();
}

void MapTools::CentreOnTrackEnd() {
  if (map_.panels == nullptr) return;
  const PanelState& p = *map_.panels;
  std::span<const std::string> lines(p.TrackLines);
  if (!lines.empty())
    lines = lines.subspan(1, std::size_t(std::clamp<long>(p.TrackLineCount, 0, long(lines.size()) - 1)));
  const auto end = panels::TrackEnd(lines);
  if (!end) return;  // no track loaded: nothing to centre on
  TakeCentre(end->north, end->east);
}

}  // namespace zeblon
