#include "panels/wx_station_panel.h"

#include <QFontDatabase>
#include <QPixmap>

#include "stations/station_layers.h"
#include "stations/wx_report.h"

namespace zeblon::panels {
namespace {

// The words before each reading (the same in every language).
constexpr const char* kWords[] = {"WIND DIR   deg:",
                                  "WIND SPEED m/s:",
                                  "GUST SPEED m/s:",
                                  "TEMPERATURE \xB0"
                                  "C:",
                                  "RAIN 24 h   mm:",
                                  "RAIN TODAY  mm:",
                                  "RAIN  1 h   mm:",
                                  "HUMIDITY     %:",
                                  "PRESSURE   hPa:"};

// The design caption: the words with one blank more before the unit.
std::string DesignCaption(const std::string& words) {
  std::string s = words;
  const std::size_t blank = s.rfind(' ');
  if (blank != std::string::npos) s.insert(blank, " ");
  return s;
}

}  // namespace

WxStationPanel::WxStationPanel(QWidget* parent)
    : platform::Frame(parent, "Frame15", "WX STATION"), picture_(159, 159, QImage::Format_RGB32) {
  setAutoFillBackground(true);
  platform::Place(this, 0, 0, 353, 193);
  const char* names[] = {"Label29", "Label30", "Label31", "Label32", "Label35",
                         "Label33", "Label34", "Label36", "Label37", "Label38"};
  platform::Label** labels[] = {&Label29, &Label30, &Label31, &Label32, &Label35,
                                &Label33, &Label34, &Label36, &Label37, &Label38};
  // The readings stand right-aligned in five characters: a fixed-pitch font
  // keeps them in one column.
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setPixelSize(12);
  for (int i = 0; i < 10; ++i) {
    *labels[i] = new platform::Label(this, names[i], i < 9 ? DesignCaption(kWords[i]) : std::string());
    (*labels[i])->setFont(fixed);
    platform::Place(*labels[i], 8, 24 + 16 * i, 169, 15);
  }
  Picture2 = new platform::PictureBox(this, "Picture2");
  platform::Place(Picture2, 184, 24, 159, 159);
  picture_.fill(QColor(224, 224, 224));
  Picture2->setPixmap(QPixmap::fromImage(picture_));
  Command15 = new platform::CommandButton(this, "Command15", "x");
  platform::Place(Command15, 329, 4, 18, 16);
  Command15->OnClick = [this] {
    hide();
    closedByUser = true;
    if (OnClosed) OnClosed();
  };
  hide();  // opened by the INFO panel
}

bool WxStationPanel::ShowForRecord(const std::string& infoCall, const std::string& infoRecord, int colourDepth) {
  if (infoRecord.size() < 102 || infoRecord[101] != '_') {
    hide();
    return false;
  }
  if (closedByUser) return true;
  show();
  raise();
  ShowStation(infoCall, infoRecord, colourDepth);
  return true;
}

void WxStationPanel::ShowStation(const std::string& infoCall, const std::string& wxRecord, int colourDepth) {
  std::string stamp = wxRecord.substr(0, 11);
  stamp.resize(11, ' ');
  SetCaption("WX STATION  " + infoCall + "  20" + stamp.substr(0, 2) + "-" + stamp.substr(2, 2) + "-" +
             stamp.substr(4, 2) + " " + stamp.substr(7, 4));
  const bool report = stations::DrawWxStationPicture(picture_, wxRecord, colourDepth);
  Picture2->setPixmap(QPixmap::fromImage(picture_));
  if (!report) return;
  const auto wx = stations::DecodeWxReport(wxRecord);
  const stations::WxReading* readings[] = {&wx->windDirection, &wx->windSpeed,       &wx->gustSpeed,
                                           &wx->temperature,   &wx->rainLast24Hours, &wx->rainToday,
                                           &wx->rainLastHour,  &wx->humidity,        &wx->pressure};
  platform::Label* labels[] = {Label29, Label30, Label31, Label32, Label35, Label33, Label34, Label36, Label37};
  for (int i = 0; i < 9; ++i) labels[i]->SetCaption(std::string(kWords[i]) + readings[i]->text);
  Label38->SetCaption(wx->remark);
  if (OnReportShown) OnReportShown();
}

}  // namespace zeblon::panels
