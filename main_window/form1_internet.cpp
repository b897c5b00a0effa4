// The main window's station data from the web: thin glue between the internet
// switch boxes, the IONO DATA frame (panels/iono_data), the main cycle and internet/internet_wiring.
#include <QApplication>
#include <QTime>

#include "geodesy/text.h"
#include "main_window/form1.h"
#include "map/readouts.h"

namespace zeblon {

using namespace platform;

namespace {

double SecondsSinceMidnight() { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }

// A platform colour value (blue * 65536 + green * 256 + red).
QColor PlatformColour(int c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

void Form1::WireInternet() {
  panels::ControlColumn& c = *column_;
  InternetWiring::Hooks h;
  internet::WebWindowHooks& w = h.web;
  w.setTimer1 = [this](bool on) { on ? cycle_->Start() : cycle_->Stop(); };
  w.armTimer2 = [this](int ms) { cycle_->ArmPause(ms); };
  w.stopTimer2 = [this] { Timer2->stop(); };
  auto noticeColour = [this](int colour) {
    QPalette p = Text10->palette();
    p.setColor(QPalette::Base, PlatformColour(colour));
    Text10->setPalette(p);
  };
  w.showNotice = [this, noticeColour](const std::string& text, int colour) {
    Text10->SetText(text);
    noticeColour(colour);
    Text10->show();
    Text10->raise();
    // The notice is the poll's now (a message's web send shows its own again when it shows).
    if (chat_service_ != nullptr) chat_service_->WebNoticeTaken();
  };
  w.hideNotice = [this, noticeColour] {
    Text10->hide();
    noticeColour(internet::kNoticeGreen);
  };
  w.hourglass = [this](bool busy) {
    if (busy) {
      setCursor(Qt::WaitCursor);
      Picture1->setCursor(Qt::WaitCursor);
    } else {
      unsetCursor();
      Picture1->unsetCursor();
    }
  };
  w.pumpEvents = [] { QCoreApplication::processEvents(); };
  w.mapCentre = [this](double& latitude, double& longitude) {
    try {
      const map::MapState& m = map_core_->state();
      const map::MapPoint p =
          map::ConvertMapKmToLatLon(m.CentreNorth, m.CentreEast, m.MapCentralMeridian, m.MapFalseEasting);
      latitude = p.latitude;
      longitude = p.longitude;
    } catch (const std::exception&) {
      // A centre the conversion cannot take asks around 0/0.
    }
  };
  w.writeSettings = [this] {
    settings_.SunspotNumber = internet_->Iono().sunspotNumber;
    settings_.KIndex = internet_->Iono().kIndex;
    WriteSettingsFile();
  };
  w.showIono = [this](const internet::IonoOutcome& out) { iono_data_->ShowOutcome(out); };

  web_hooks_ = w;

  internet::SwitchHooks& sw = h.switches;
  sw.runTimer = [] { return SecondsSinceMidnight(); };
  sw.chatOpen = [this] { return column_->Check7->Value() == 1; };
  sw.closeChat = [this] {
    column_->Check7->SetValue(0);
    chat_->hide();
  };
  sw.directOnlyOff = [this] { column_->Check24->SetValue(0); };
  sw.drawMap = [this] { DrawMap(); };
  sw.pumpEvents = [] { QCoreApplication::processEvents(); };
  sw.storedCalls = [this] {
    std::vector<std::string> calls;
    for (int i = 0; i < column_->Combo9->ListCount(); ++i) calls.push_back(column_->Combo9->List(i));
    return calls;
  };
  sw.comboText = [this] { return column_->Combo9->Text(); };
  sw.setComboText = [this](const std::string& text) { column_->Combo9->SetText(text); };
  sw.selectComboCall = [this] { moni_one_select_->MoniOneComboKeyDown(13); };
  sw.focusMap = [this] {
    if (isActiveWindow()) Picture1->setFocus();
  };

  h.host = [this] { return radio_link_ ? radio_link_->Host() : nullptr; };
  h.chat = [this] { return chat_service_ != nullptr ? &chat_service_->Queue() : nullptr; };
  h.sendAprsMessage = [this](const std::string& outgoing) {
    if (chat_service_ != nullptr) chat_service_->SendAprsMessage(outgoing);
  };
  h.drawMap = [this] { DrawMap(); };
  h.setTimer1 = [this](bool on) { on ? cycle_->Start() : cycle_->Stop(); };
  h.showDistanceAlarm = [this](const reception::DistanceAlarm& alarm) { ShowDistanceAlarm(alarm); };
  h.switchesChanged = [this] { ShowInternetSwitches(); };
  h.clockSeconds = [] { return SecondsSinceMidnight(); };
  h.hhmm = [] {
    const QTime t = QTime::currentTime();
    return t.hour() * 100 + t.minute();
  };
  h.pollLimitSeconds = [this] { return static_cast<double>(shell_.InternetPollLimit); };
  h.restoreMoniOneFrames = [this] { moni_one_frames_->RestoreWidths(); };
  internet_ = std::make_unique<InternetWiring>(reception_, std::move(h));
  internet_->FillTickHooks(tick_.hooks);

  // The boxes: a click (or a value set from code) hands the box's value to the switches.
  c.Check22->OnClick = [this] {
    if (!showing_switches_) internet_->MoniOneSupportClicked(column_->Check22->Value() == 1);
  };
  c.Check23->OnClick = [this] {
    if (!showing_switches_) internet_->AreaSupportClicked(column_->Check23->Value() == 1);
  };
  c.Check27->OnClick = [this] {
    if (!showing_switches_) internet_->ScanClicked(column_->Check27->Value() == 1);
  };
  c.Check22->OnMouseUp = [this](int button) {
    if (button == 2) internet_->ToggleWebSource();
  };
  panels::IonoData::Hooks ih;
  ih.mapDrawnOnce = [this] { return map_core_->state().MapDrawnOnce == 1; };
  ih.startUpdate = [this] { internet_->StartIonoUpdateByUser(); };
  ih.saveValues = [this] {
    settings_.SunspotNumber = internet_->Iono().sunspotNumber;
    settings_.KIndex = internet_->Iono().kIndex;
    WriteSettingsFile();
  };
  ih.startCycle = [this] { cycle_->Start(); };
  ih.drawMap = [this] { DrawMap(); };
  iono_data_ = std::make_unique<panels::IonoData>(*iono_, internet_->Iono(), std::move(ih));
  c.Check9->OnMouseUp = [this](int button) { iono_data_->Open(button); };
  iono_->Command60->OnClick = [this] { iono_data_->TakeTypedValues(); };
}

void Form1::ShowInternetSwitches() {
  if (showing_switches_) return;
  showing_switches_ = true;
  const internet::InternetSwitchState& s = internet_->SwitchState();
  column_->Check22->SetValue(s.moniOneSupport ? 1 : 0);
  column_->Check23->SetValue(s.areaSupport ? 1 : 0);
  column_->Check27->SetValue(s.scan ? 1 : 0);
  column_->Check22->SetCaption(internet_->Switches().MoniOneCaption());
  showing_switches_ = false;
}

}  // namespace zeblon
