// The station INFO panel joined to the main window: thin glue between the panel,
// the main cycle, the map, the links and panels/station_info_controller.
#include "main_window/form1.h"

#include "geodesy/text.h"
#include "platform/wait.h"

namespace zeblon {

void Form1::WireInfoPanel() {
  wx_->OnReportShown = [this] { FocusMapWhenActive(); };
  InfoService::Hooks h;
  h.windowActive = [this] { return isActiveWindow(); };
  h.focusMap = [this] { Picture1->setFocus(); };
  h.stopCycle = [this] { cycle_->Stop(); };
  h.startCycle = [this] { cycle_->Start(); };
  h.cycleInterval = [this] { return shell_.CycleInterval; };
  h.setCycleInterval = [this](int ms) { Timer1->setInterval(ms); };
  h.pause = [](float seconds) { platform::PauseWithEvents(seconds); };
  h.shutDown = [this] { return shutdown_done_; };
  h.applyTexts = [this] { ApplyLanguageTexts(); };
  h.drawMap = [this] { DrawMap(); };
  h.hideScales = [this] { scales_->hide(); };
  h.mapLock = [this] { return map_core_->hooks().mapLock; };
  h.setMapLock = [this](int lock) { map_core_->hooks().mapLock = lock; };
  h.centreMapOn = [this](double north, double east) {
    map_core_->SetCentreMode(0);
    ClosePictureViewer();
    for (platform::OptionButton* o : {column_->Option1, column_->Option2}) {
      o->setAutoExclusive(false);
      o->setChecked(false);
      o->setAutoExclusive(true);
    }
    map_core_->SetCentre(north, east);
  };
  h.mapScale = [this] { return map_core_->state().MapScale; };
  h.setMapScale = [this](double scale) { map_core_->SetScale(scale); };
  h.metresPerPixel = [this] { return map_core_->state().MetresPerPixel; };
  h.selectedPlace = [this] {
    const map::MapState& m = map_core_->state();
    return std::make_pair(m.SelectedNorth, m.SelectedEast);
  };
  h.moniOneNewestChanged = [this] { TakeMoniOneNewestOrCentre(); };
  h.language = [this] { return settings_.LanguageSetting; };
  h.interfaceKind = [this] { return settings_.InterfaceKind; };
  h.moniOneCall = [this] { return settings_.MoniOneCall; };
  h.colourDepth = [this] { return shell_.ColourDepth; };
  h.selectMoniOneStation = [this](const std::string& call) { moni_one_select_->SelectMoniOneStation(call); };
  h.autoAnswerText = [this]() -> std::optional<std::string> {
    if (!chat_service_->Answer().on) return std::nullopt;
    return chat_service_->Answer().text;
  };
  h.openRawList = [this] {
    if (raw_list_->RawWindowShown != 0) return;
    if (column_->Check3->Value() != 1) {
      column_->Check3->SetValue(1);
    } else {
      raw_list_->ShowOrHideRawList();
    }
  };
  h.retransmitContext = [this] {
    panels::RetransmitContext c;
    c.userCall = settings_.UserCall;
    c.txCall = tx_setup_->Identity().EffectiveCall();
    c.now = ComputerClockNow();
    c.utcOffsetHours = static_cast<int>(RoundHalfEven(settings_.UtcOffsetHours));
    return c;
  };
  h.transmit = [this](const std::string& field) { return RadioLink().Transmit(field); };
  h.waitCursor = [this](bool on) { ShowWaitCursor(on); };
  info_service_ =
      std::make_unique<InfoService>(*info_, *Label5, *column_, *wx_, *chat_, *List1, reception_, std::move(h));
}

}  // namespace zeblon
