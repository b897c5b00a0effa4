#include "panels/station_info_controller.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <algorithm>
#include <array>

#include "geodesy/text.h"
#include "platform/message_box.h"
#include "reception/receive_pass.h"
#include "settings/interface_kind.h"

namespace zeblon {

using namespace platform;

InfoService::InfoService(panels::InfoPanel& panel, platform::Label& recordLine, panels::ControlColumn& column,
                         panels::WxStationPanel& wx, panels::ChatFrame& chat, platform::ListBox& rawLines,
                         reception::ReceptionState& reception, const Settings& settings, map::MapDisplay& map,
                         links::CycleControl& cycle, panels::MapActions& mapActions, panels::InfoPort& port)
    : panel_(panel),
      record_line_(recordLine),
      column_(column),
      wx_(wx),
      chat_(chat),
      raw_lines_(rawLines),
      reception_(reception),
      settings_(settings),
      map_(map),
      cycle_(cycle),
      map_actions_(mapActions),
      port_(port) {
  panels::InfoPanel& p = panel_;
  p.Command37->OnClick = [this] { ShowNewestReport(); };
  p.Command36->OnClick = [this] { ShowOldestReport(); };
  p.Command5->OnMouseDown = [this](int b) { StepEarlierWhileHeld(b); };
  p.Command6->OnMouseDown = [this](int b) { StepLaterWhileHeld(b); };
  p.Command5->OnMouseUp = [this](int b) { button_released_ = b > 0 ? b : 1; };
  p.Command6->OnMouseUp = [this](int b) { button_released_ = b > 0 ? b : 1; };
  p.Command12->OnMouseDown = [this](int b) { CentreOrRescaleMap(b); };
  p.Command10->OnClick = [this] { CloseInfoPanel(); };
  p.Command20->OnClick = [this] { ShowWxForReport(); };
  p.Command18->OnClick = [this] { DeleteOlderOrSearchBack(); };
  p.Command19->OnClick = [this] { DeleteNewerOrSearchForward(); };
  p.Command11->OnClick = [this] { WatchShownStation(); };
  p.Command41->OnClick = [this] { PingShownStation(); };
  p.Command23->OnClick = [this] { OpenChatWithShownStation(); };
  p.Command40->OnClick = [this] { ShowRawOfShownStation(); };
  record_line_.installEventFilter(this);
  for (QWidget* w : MoniOneLabels()) w->installEventFilter(this);
}

InfoService::~InfoService() = default;

bool InfoService::eventFilter(QObject* watched, QEvent* e) {
  if (watched == &record_line_ && e->type() == QEvent::MouseButtonRelease) {
    RecordLineReleased(MouseButtonNumber(static_cast<QMouseEvent*>(e)->button()));
    return true;
  }
  // A right press on any of them, and a double click with any button on "MONI 1".
  const bool rightPress =
      e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton;
  const bool doubleClick = e->type() == QEvent::MouseButtonDblClick && watched == column_.Label12;
  if (rightPress || doubleClick) {
    for (QWidget* w : MoniOneLabels()) {
      if (w == watched) {
        ShowMoniOneInfo();
        return true;
      }
    }
  }
  return QObject::eventFilter(watched, e);
}

std::array<QWidget*, 7> InfoService::MoniOneLabels() const {
  return {column_.Label10, column_.Label11, column_.Label6, column_.Label9,
          column_.Label12, column_.Label7,  column_.Label8};
}

// ---------------------------------------------------------------------------
// Opening and showing

bool InfoService::ShowStationInfo(const std::string& call, int index, bool moni_one) {
  const auto& store = moni_one ? reception_.stations.MoniOneTrack() : reception_.stations.MoniAll();
  if (call.empty() || index < 0 || index >= static_cast<int>(store.size())) return false;
  // The watched station's call puts the panel in its MONI 1 mode, whose slots are
  // the track's: a MONI ALL slot found for it (saved messages, RAW list, map) is
  // shown as the track's newest report, never stepped or deleted by as a track slot.
  if (!moni_one && call == reception_.settings.moniOneCall && reception_.stations.MoniOneCount() > 0) {
    ShowMoniOneInfo();
    return true;
  }
  OpenInfoPanel(call, index, moni_one);
  ShowInfoRecord(store[static_cast<std::size_t>(index)]);
  return true;
}

bool InfoService::ShowStationInfo(const std::string& call) {
  if (call.empty()) return false;
  if (call == settings_.MoniOneCall && reception_.stations.MoniOneCount() > 0) {
    ShowMoniOneInfo();
    return true;
  }
  for (int i = std::min(reception_.stations.MoniAllCount(), static_cast<int>(reception_.stations.MoniAll().size()) - 1);
       i >= 1; --i) {
    if (panels::RecordCall(reception_.stations.MoniAll()[static_cast<std::size_t>(i)]) == call) {
      wx_.closedByUser = false;
      return ShowStationInfo(call, i, false);
    }
  }
  return false;
}

void InfoService::OpenInfoPanel(const std::string& call, int index, bool moni_one) {
  reception_.info.Open(call, index, moni_one ? reception::InfoMode::MoniOne : reception::InfoMode::MoniAll);
  panel_.SetCaption(reception_.info.Call());
  ShowStepCaptions();
  panel_.show();
  panel_.raise();
  port_.HideScales();
  port_.ApplyTexts();
}

void InfoService::ShowStepCaptions() {
  const reception::InfoCaptions c = reception_.info.Captions();
  panel_.Command18->SetCaption(c.back);
  panel_.Label19->SetCaption(c.label);
  panel_.Command19->SetCaption(c.forward);
}

void InfoService::ShowInfoRecord(const std::string& record) {
  reception_.info.ShowRecord(record);
  ShowWxInfoForRecord(record);
  record_line_.SetCaption(record);
}

void InfoService::ShowWxInfoForRecord(const std::string& infoRecord) {
  // A weather report opens the window (unless the user closed it) and enables WX;
  // any other report closes it and disables WX.
  if (!wx_.ShowForRecord(reception_.info.Call(), infoRecord, port_.ColourDepth())) {
    panel_.Command20->setEnabled(false);
  } else if (!wx_.closedByUser) {
    panel_.Command20->setEnabled(true);
  }
}

// A receive pass stored a new report of the shown station (the pass has set
// the slot, the record and the WX STATION window already).
void InfoService::RefreshInfoPanel() {
  const reception::InfoCursor& info = reception_.info;
  if (!info.Visible() || panel_.isHidden()) return;
  ShowStepCaptions();
  record_line_.SetCaption(panels::RecordOfLabelText(info.LabelText()));
}

void InfoService::ShowMoniOneInfo() {
  OpenInfoPanel(settings_.MoniOneCall, reception_.stations.MoniOneCount(), true);
  wx_.closedByUser = false;
  // An empty track shows no report: the panel must not keep another station's
  // report for MONI1 or a retransmission to act on.
  if (reception_.stations.MoniOneCount() <= 0) ShowInfoRecord("");
  ShowNewestReport();
}

// ---------------------------------------------------------------------------
// Stepping

void InfoService::ShowNewestReport() { StepOnce(panels::InfoStepKind::Newest); }
void InfoService::ShowOldestReport() { StepOnce(panels::InfoStepKind::Oldest); }

void InfoService::StepOnce(panels::InfoStepKind kind) {
  map_actions_.FocusMapWhenActive();
  const panels::InfoStep s = panels::StepInfo(reception_, kind);
  if (s.found) {
    reception_.info.StepTo(s.index);
    ShowInfoRecord(panels::InfoSlotRecord(reception_));
  }
  if (map_.MapLock() == 1) CentreOrRescaleMap(1);
}

void InfoService::StepEarlierWhileHeld(int) { StepHeld(panels::InfoStepKind::Earlier); }
void InfoService::StepLaterWhileHeld(int) { StepHeld(panels::InfoStepKind::Later); }

// One step at once, then again after waits that halve from 0.5 s down to 0.01 s
// until the button is released.
void InfoService::StepHeld(panels::InfoStepKind kind) {
  cycle_.StopCycle();
  float wait = 1.0f;
  for (;;) {
    wait = std::max(wait / 2, 0.01f);
    map_actions_.FocusMapWhenActive();
    const panels::InfoStep s = panels::StepInfo(reception_, kind);
    if (s.end) break;
    if (s.found) {
      reception_.info.StepTo(s.index);
      ShowInfoRecord(panels::InfoSlotRecord(reception_));
    }
    button_released_ = 0;
    port_.Pause(wait);
    // The release ends it; so does the panel's or the window's end meanwhile.
    if (button_released_ != 0 || panel_.isHidden()) break;
    // A window shut down meanwhile has stopped its cycle for good: it stays off,
    // and the map of a closed window is not drawn again.
    if (port_.ShutDown()) return;
  }
  cycle_.StartCycle();
  if (map_.MapLock() == 1) CentreOrRescaleMap(1);
}

// ---------------------------------------------------------------------------
// MAP, close, WX

void InfoService::CentreOrRescaleMap(int button) {
  if (button == 1) {
    const std::string record = record_line_.Caption();
    map_actions_.CentreMapOn(LeadingNumber(reception::Columns(record, 14, 22)),
                             LeadingNumber(reception::Columns(record, 23, 31)));
    map_actions_.DrawMap();
    if (map_.MapLock() == 0) {
      map_.SetMapLock(1);
      panel_.Command12->SetCaption("MAP L");
    }
  } else if (button == 2) {
    const int scale = static_cast<int>(map_.state().MapScale);
    const int next = scale == 5000   ? 1000
                     : scale == 1000 ? 200
                     : scale == 200  ? 50
                     : scale == 50   ? 10
                     : scale == 10   ? 2
                                     : 5000;
    map_.SetScale(next);
    map_actions_.DrawMap();
  }
}

void InfoService::CloseInfoPanel() {
  reception_.info.Close();
  panel_.hide();
  map_.SetMapLock(0);
  panel_.Command12->SetCaption("MAP");
  wx_.hide();
  panel_.Command20->setEnabled(false);
  port_.ApplyTexts();
  map_actions_.DrawMap();  // the scale marks come back with the drawing
}

void InfoService::ShowWxForReport() {
  wx_.closedByUser = false;
  reception_.info.SetRecordForWx(panels::InfoSlotRecord(reception_));
  ShowWxInfoForRecord(reception_.info.Record());
}

// ---------------------------------------------------------------------------
// The mode buttons

void InfoService::DeleteOlderOrSearchBack() { InfoModeButton(false); }
void InfoService::DeleteNewerOrSearchForward() { InfoModeButton(true); }

void InfoService::InfoModeButton(bool forward) {
  map_actions_.FocusMapWhenActive();
  if (panels::InfoShowsMoniOne(reception_)) {
    DeleteTrackPositions(!forward);
  } else {
    SearchSamePlace(forward);
  }
}

void InfoService::DeleteTrackPositions(bool older) {
  cycle_.StopCycle();
  const auto q = panels::DeletionQuestion(settings_.LanguageSetting, older, panels::InfoSlotRecord(reception_));
  if (!q || MsgBox(q->text, q->title, MsgButtons::YesNo, MsgIcon::Exclamation, 2) != MsgResult::Yes) {
    cycle_.StartCycle();
    return;
  }
  std::string error;
  if (!panels::DeleteTrackPositions(reception_, older, &error)) {
    MsgBox(error, "ZEBLON  MONI 1 LOG", MsgButtons::Ok, MsgIcon::Exclamation);
    cycle_.StartCycle();
    return;
  }
  if (!older) port_.MoniOneNewestChanged();
  reception_.info.Hide();  // InfoCall stays
  panel_.hide();
  map_.SetMapLock(0);
  panel_.Command12->SetCaption("MAP");
  cycle_.StartCycle();
  map_actions_.DrawMap();
}

void InfoService::SearchSamePlace(bool forward) {
  const map::MapState& m = map_.state();
  const std::optional<int> hit = panels::FindReportNearby(reception_, forward, m.SelectedNorth, m.SelectedEast,
                                                          panels::SearchRadiusKm(m.MetresPerPixel));
  if (!hit) return;
  const std::string& record = reception_.stations.MoniAll()[static_cast<std::size_t>(*hit)];
  reception_.info.TakePlaceHit(*hit, record, forward);
  panel_.SetCaption(reception_.info.Call());  // the title keeps the call the panel was opened with
  ShowStepCaptions();
  if (forward) {
    panel_.show();
    panel_.raise();
  }
  port_.HideScales();
  if (!forward) ShowWxInfoForRecord(record);
  record_line_.SetCaption(record);
  port_.ApplyTexts();
}

// ---------------------------------------------------------------------------
// Actions on the shown station

void InfoService::WatchShownStation() {
  cycle_.StopCycle();
  const std::string call = panels::RecordCall(record_line_.Caption());
  if (call.empty() || panels::InfoShowsMoniOne(reception_)) {
    cycle_.StartCycle();
    return;
  }
  const panels::InfoQuestion q = panels::MoniOneQuestion(call);
  if (MsgBox(q.text, q.title, MsgButtons::YesNo, MsgIcon::Exclamation, 1) == MsgResult::Yes) {
    port_.SelectMoniOneStation(call);
    map_actions_.FocusMapWhenActive();
  }
  cycle_.StartCycle();
}

void InfoService::PingShownStation() {
  if (chat_.isHidden()) {
    column_.Check7->SetValue(1);
    chat_.show();
    chat_.raise();
  }
  chat_.Text2->SetText(reception_.info.Call());
  chat_.Text3->SetText("?APRST");
  chat_.Text3->KeyDown(13, 0);  // queued and sent as if the user pressed Enter
  // The answer text as the box holds it (the receive side keeps it as it goes out).
  if (const std::optional<std::string> answer = port_.AutoAnswerText()) chat_.Text3->SetText(*answer);
}

void InfoService::OpenChatWithShownStation() {
  // The automatic answer goes off first.
  reception_.settings.autoAnswerOn = false;
  chat_.Check16->SetValue(0);
  if (chat_.Check16->OnClick) chat_.Check16->OnClick();
  if (chat_.isHidden()) {
    column_.Check7->SetValue(1);
    chat_.show();
    chat_.raise();
    chat_.Check16->SetValue(0);
  }
  chat_.Text2->SetText(reception_.info.Call());
  chat_.Text3->setFocus();
}

void InfoService::ShowRawOfShownStation() {
  map_actions_.FocusMapWhenActive();
  port_.OpenRawList();
  QCoreApplication::processEvents();
  ShowNewestReport();
  QCoreApplication::processEvents();
  cycle_.StopCycle();
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(raw_lines_.ListCount()));
  for (int i = 0; i < raw_lines_.ListCount(); ++i) lines.push_back(raw_lines_.List(i));
  const int row = panels::FindRawLine(lines, reception_.info.Call());
  if (row >= 0) {
    cycle_.SetCycleInterval(4 * cycle_.CycleInterval());
    raw_lines_.setCurrentRow(row);
    raw_lines_.item(row)->setSelected(true);
    raw_lines_.scrollToItem(raw_lines_.item(row));
  }
  cycle_.StartCycle();
}

void InfoService::RecordLineReleased(int button) {
  // The record line lies along the window's foot, outside the panel: it stands
  // for the panel's report only while the panel is open.
  const InterfaceKind kind = InterfaceKindOf(settings_.InterfaceKind);
  if (button != 1 || kind == InterfaceKind::NoRadio || panel_.isHidden()) return;
  cycle_.StopCycle();
  const auto q = panels::RetransmitQuestion(settings_.LanguageSetting);
  if (q && MsgBox(q->text, q->title, MsgButtons::YesNo, MsgIcon::Exclamation, 2) == MsgResult::Yes) {
    RetransmitStationPosition();
  }
  cycle_.StartCycle();
}

void InfoService::RetransmitStationPosition() {
  port_.WaitCursor(true);
  panels::RetransmitContext c = port_.RetransmitContextNow();
  c.mapCentralMeridian = reception_.settings.mapCentralMeridian;
  c.mapFalseEasting = reception_.settings.mapFalseEasting;
  if (const auto field = panels::RetransmittedReport(record_line_.Caption(), c)) {
    port_.Transmit(*field);
  }
  port_.WaitCursor(false);
  cycle_.StartCycle();
  QCoreApplication::processEvents();
}

}  // namespace zeblon
