// The start window's work on the program and map folders: the stock data unpacked
// and made writable, the MONI 1 log trimmed by SMART LOG, and the start picture
// (the clock's band of the stored picture, or a map picture and its location).
#include "start_window/form0.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "geodesy/text.h"
#include "platform/paths.h"
#include "platform/message_box.h"
#include "platform/zip_extract_whole.h"
#include "reception/station_record.h"
#include "start_window/smart_log.h"
#include "start_window/start_picture.h"

namespace zeblon {

namespace fs = std::filesystem;
using namespace platform;

void Form0::ProvideStockData() {
  // Keys and clicks wait until the start-up is done: a call typed meanwhile lands
  // in the filled form instead of being overwritten by the settings.
  constexpr auto kNoInput = QEventLoop::ExcludeUserInputEvents;
  QCoreApplication::processEvents(kNoInput);
  const fs::path stock_folder = fs::path(app_folder_) / "U33";
  const auto zip = ResolveCaseInsensitive(fs::path(app_folder_) / "STOCK.ZIP");
  const bool had_folder = ResolveCaseInsensitive(stock_folder).has_value();
  // An unpack that failed or was interrupted left its stage: the stock folder
  // (made by the start-up whatever came of the unpack) is then no finished unpack.
  std::error_code ec;
  const bool unfinished = zip && fs::is_directory(UnpackStage(*zip, app_folder_), ec);
  if (had_folder && zip && !unfinished) fs::remove(*zip, ec);
  if (!zip) fs::remove_all(UnpackStage(fs::path(app_folder_) / "STOCK.ZIP", app_folder_), ec);  // nothing to finish
  if (zip && (!had_folder || unfinished)) {
    Label15->show();
    QCoreApplication::processEvents(kNoInput);
    // Unpacked whole or not at all: the stock folder appears only when every file
    // came out whole, and the archive goes only then. A refusal or a failure is
    // said, and the next start tries again.
    std::string why;
    const bool unpacked = UnpackArchiveWhole(*zip, app_folder_, "U33", &why);
    if (unpacked && ResolveCaseInsensitive(stock_folder)) fs::remove(*zip, ec);
    Label15->hide();
    if (!unpacked) {
      MsgBox("STOCK.ZIP NOT UNPACKED:\r\n" + why + "\r\n\r\nTHE STOCK MAPS ARE MISSING. STOCK.ZIP IS KEPT;" +
                 " THE NEXT START TRIES AGAIN.",
             "ZEBLON  SETUP", MsgButtons::Ok, MsgIcon::Exclamation);
    }
  }
  QCoreApplication::processEvents(kNoInput);
}

void Form0::ClearStockReadOnly() {
  // Owner write permission back on the files of the stock folders (what a
  // read-only attribute would be), done directly, not through a console command.
  const fs::path stock = fs::path(app_folder_) / "U33";
  for (const char* sub : {"LOG", "M0002", "M0010", "M0050", "M0200", "M1000", "M5000", "POI", "UTMPICS", "TRK"}) {
    const auto folder = ResolveCaseInsensitive(stock / sub);
    if (!folder) continue;
    std::error_code ec;
    for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code pec;
      if (it->is_regular_file(pec)) {
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, pec);
      }
    }
    QCoreApplication::processEvents();
  }
}

void Form0::TrimMoniOneLog() {
  const std::string call = Trim(settings_.MoniOneCall);
  if (call.empty()) return;  // no MONI 1 station, no log to trim
  const int passes = SpeedTest ? SpeedTest() : SpeedTestPasses();
  // The very file the main window restores the track from, always a plain name in
  // the LOG folder: a call holding "/" or ".." reaches no other file.
  TrimMoniOneLogFile(reception::MoniOneLogPath(data_folder_, call), SmartLogLineLimit(passes));
}

void Form0::PaintStartPicture() {
  const QTime now = ClockTime ? ClockTime() : QTime::currentTime();
  const int k = StartPictureBand(now.minute());
  const qreal fx = 1, fy = 1;  // the screen's pixels are the picture's
  QPixmap view(static_cast<int>(kStartViewWidth * fx), static_cast<int>(kStartViewHeight * fy));
  view.fill(QColor(32, 64, 96));
  const auto file = ResolveCaseInsensitive(fs::path(app_folder_) / "STARTPIC.JPG");
  QImage stored;
  if (file && stored.load(QString::fromStdString(file->string()))) {
    QPainter p(&view);
    const QRect band(0, kStartViewHeight * k, kStartViewWidth, kStartViewHeight);
    if (stored.rect().contains(band)) {
      p.drawImage(view.rect(), stored, band);
    } else {
      p.drawImage(QPoint(0, 0), stored);  // the whole picture unscaled instead
    }
  }
  Picture2->setPixmap(view);
}

void Form0::ChooseStartPictureFromMaps() {
  const fs::path maps = WindowsPathToLinux(settings_.MapRootFolder, app_folder_);
  const auto folder = ResolveCaseInsensitive(maps / "UTMPICS");
  if (!folder) return;
  std::vector<fs::path> pictures;
  std::error_code ec;
  for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (UpperAscii(it->path().extension().string()) == ".BMP") pictures.push_back(it->path());
  }
  std::sort(pictures.begin(), pictures.end());
  const QTime now = ClockTime ? ClockTime() : QTime::currentTime();
  const auto r = ChooseStartPicture(static_cast<int>(pictures.size()), now.msecsSinceStartOfDay() / 1000.0);
  if (!r) return;
  start_picture_path_ = pictures[static_cast<size_t>(*r)].string();
  QImage image;
  if (!image.load(QString::fromStdString(start_picture_path_))) return;
  QPixmap view = Picture2->pixmap();
  if (view.isNull()) view = QPixmap(kStartViewWidth, kStartViewHeight);
  {
    QPainter p(&view);
    p.drawImage(QPoint(0, 0), image);
  }
  Picture2->setPixmap(view);
}

void Form0::CentreMapOnStartPicture() {
  const auto loc = PictureLocationOf(start_picture_path_);
  if (!loc) return;
  settings_.CentreNorth = loc->north;
  settings_.CentreEast = loc->east;
  Label18->show();
  Picture2->setToolTip(QString());
}

}  // namespace zeblon
