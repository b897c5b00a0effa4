// The WX STATION window (Frame15): one weather station's readings in full, a
// title with its call and report time, ten labels in metric units and the
// compass picture. The station INFO panel opens it for a record with the
// weather symbol; its close button hides it.
#pragma once

#include <QImage>
#include <functional>
#include <string>

#include "platform/controls.h"

namespace zeblon::panels {

class WxStationPanel : public platform::Frame {
  Q_OBJECT
 public:
  explicit WxStationPanel(QWidget* parent = nullptr);

  // ShowWxStation: the title from the call shown in the INFO panel and the
  // record's stamp (its first 11 characters), then the readings of the record.
  // A record too short for a report changes the title and clears the picture,
  // and leaves the labels as they were.
  void ShowStation(const std::string& infoCall, const std::string& wxRecord, int colourDepth = 24);

  // The label of each reading, from the top: wind direction, wind speed, gust,
  // temperature, rain 24 h, rain today, rain 1 h, humidity, pressure, remark.
  platform::Label* Label29;
  platform::Label* Label30;
  platform::Label* Label31;
  platform::Label* Label32;
  platform::Label* Label35;
  platform::Label* Label33;
  platform::Label* Label34;
  platform::Label* Label36;
  platform::Label* Label37;
  platform::Label* Label38;
  platform::PictureBox* Picture2;
  platform::CommandButton* Command15;  // "x"

  const QImage& Picture() const { return picture_; }

  // ShowWxInfoForRecord: for a record with the weather symbol ("_" in column
  // 102) the window is shown and filled, unless the user closed it (closedByUser);
  // for any other record it is hidden. Returns whether the record is a weather
  // report (the INFO panel's WX button is enabled for one).
  bool ShowForRecord(const std::string& infoCall, const std::string& infoRecord, int colourDepth = 24);
  bool closedByUser = false;  // WxInfoShown

  // Command15: the window hides itself, then runs this (the main window notes
  // that the user closed it, so the INFO panel does not reopen it).
  std::function<void()> OnClosed;
  // The readings of a report are shown (the main window gives the map the focus).
  std::function<void()> OnReportShown;

 private:
  QImage picture_;
};

}  // namespace zeblon::panels
