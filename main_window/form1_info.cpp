// The station INFO panel in the main window: the panel opened on a station, the
// stepping buttons, MAP, WX and close, the mode buttons (deletion of the watched
// station's older or newer positions, search of reports at the selected place),
// and the actions on the shown station (MONI1, PING, CHAT, RAW, retransmission).
// Thin: the work on the stores is in panels/station_info.
//
// The record line Label5 shows the report as it is: our labels take no "&" as an
// access-key mark, so the report's "&" are not doubled there (the panel's state
// keeps the doubled text for the label controls that do).

#include <QCoreApplication>
#include <QMouseEvent>

#include "geodesy/text.h"
#include "main_window/form1.h"
#include "panels/station_info.h"
#include "platform/message_box.h"
#include "platform/qtext.h"
#include "platform/wait.h"
#include "reception/receive_pass.h"

namespace zeblon {

using namespace platform;

namespace {

// Mouse events of labels, which have no handlers of their own: the record line's
// release and the MONI 1 labels' right press.
class LabelEvents : public QObject {
 public:
  LabelEvents(QWidget* record_line, std::vector<QWidget*> moni_one_labels, std::function<void(int)> record_up,
              std::function<void()> moni_one)
      : record_line_(record_line),
        moni_one_labels_(std::move(moni_one_labels)),
        record_up_(std::move(record_up)),
        moni_one_(std::move(moni_one)) {
    record_line_->installEventFilter(this);
    for (QWidget* w : moni_one_labels_) w->installEventFilter(this);
  }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == record_line_ && e->type() == QEvent::MouseButtonRelease) {
      record_up_(MouseButtonNumber(static_cast<QMouseEvent*>(e)->button()));
      return true;
    }
    if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
      for (QWidget* w : moni_one_labels_) {
        if (w == o) {
          moni_one_();
          return true;
        }
      }
    }
    return false;
  }

 private:
  QWidget* record_line_;
  std::vector<QWidget*> moni_one_labels_;
  std::function<void(int)> record_up_;
  std::function<void()> moni_one_;
};

}  // namespace

void Form1::WireInfoPanel() {
  panels::InfoPanel& p = *info_;
  p.Command37->OnClick = [this] { Command37_Click(); };
  p.Command36->OnClick = [this] { Command36_Click(); };
  p.Command5->OnMouseDown = [this](int b) { Command5_MouseDown(b); };
  p.Command6->OnMouseDown = [this](int b) { Command6_MouseDown(b); };
  p.Command5->OnMouseUp = [this](int b) { button_released_ = b > 0 ? b : 1; };
  p.Command6->OnMouseUp = [this](int b) { button_released_ = b > 0 ? b : 1; };
  p.Command12->OnMouseDown = [this](int b) { Command12_MouseDown(b); };
  p.Command10->OnClick = [this] { Command10_Click(); };
  p.Command20->OnClick = [this] { Command20_Click(); };
  p.Command18->OnClick = [this] { Command18_Click(); };
  p.Command19->OnClick = [this] { Command19_Click(); };
  p.Command11->OnClick = [this] { Command11_Click(); };
  p.Command41->OnClick = [this] { Command41_Click(); };
  p.Command23->OnClick = [this] { Command23_Click(); };
  p.Command40->OnClick = [this] { Command40_Click(); };
  const panels::ControlColumn& c = *column_;
  info_label_events_ = std::make_unique<LabelEvents>(
      Label5, std::vector<QWidget*>{c.Label10, c.Label11, c.Label6, c.Label9},
      [this](int button) { Label5_MouseUp(button); }, [this] { ShowMoniOneInfo(); });
}

void Form1::FocusMapWhenActive() {
  if (isActiveWindow()) Picture1->setFocus();
}

// ---------------------------------------------------------------------------
// Opening and showing

bool Form1::ShowStationInfo(const std::string& call, int index, bool moni_one) {
  reception::InfoPanelState& info = reception_.info;
  const auto& store = moni_one ? reception_.moniOneTrack : reception_.moniAllLog;
  if (call.empty() || index < 0 || index >= static_cast<int>(store.size())) return false;
  // The watched station's call puts the panel in its MONI 1 mode, whose slots are
  // the track's: a MONI ALL slot found for it (saved messages, RAW list, map) is
  // shown as the track's newest report, never stepped or deleted by as a track slot.
  if (!moni_one && call == reception_.settings.moniOneCall && reception_.moniOneCount > 0) {
    ShowMoniOneInfo();
    return true;
  }
  info.call = call;
  info.index = index;
  OpenInfoPanel(moni_one);
  ShowInfoRecord(store[static_cast<std::size_t>(index)]);
  return true;
}

bool Form1::ShowStationInfo(const std::string& call) {
  if (call.empty()) return false;
  if (call == settings_.MoniOneCall && reception_.moniOneCount > 0) {
    ShowMoniOneInfo();
    return true;
  }
  for (int i = std::min(reception_.moniAllCount, static_cast<int>(reception_.moniAllLog.size()) - 1); i >= 1; --i) {
    if (panels::RecordCall(reception_.moniAllLog[static_cast<std::size_t>(i)]) == call) {
      wx_->closedByUser = false;
      return ShowStationInfo(call, i, false);
    }
  }
  return false;
}

void Form1::OpenInfoPanel(bool moni_one) {
  reception::InfoPanelState& info = reception_.info;
  info.backCaption = moni_one ? "<X" : "<";
  info.labelCaption = moni_one ? "DELETE" : "QTH=";
  info.forwardCaption = moni_one ? "X>" : ">";
  info.visible = true;
  info_->SetCaption(info.call);
  info_->Command18->SetCaption(info.backCaption);
  info_->Label19->SetCaption(info.labelCaption);
  info_->Command19->SetCaption(info.forwardCaption);
  info_->show();
  info_->raise();
  scales_->hide();
  ApplyLanguageTexts();
}

void Form1::ShowInfoRecord(const std::string& record) {
  reception::InfoPanelState& info = reception_.info;
  info.record = record;
  ShowWxInfoForRecord(record);
  info.labelText = reception::LabelText(record);
  Label5->SetCaption(record);
}

// A receive pass stored a new report of the shown station (the pass has set
// the slot, the record and the WX STATION window already).
void Form1::RefreshInfoPanel() {
  const reception::InfoPanelState& info = reception_.info;
  if (!info.visible || info_->isHidden()) return;
  info_->Command18->SetCaption(info.backCaption);
  info_->Label19->SetCaption(info.labelCaption);
  info_->Command19->SetCaption(info.forwardCaption);
  Label5->SetCaption(panels::RecordOfLabelText(info.labelText));
}

void Form1::ShowMoniOneInfo() {
  reception::InfoPanelState& info = reception_.info;
  info.call = settings_.MoniOneCall;
  info.index = reception_.moniOneCount;
  OpenInfoPanel(true);
  wx_->closedByUser = false;
  // An empty track shows no report: the panel must not keep another station's
  // report for MONI1 or a retransmission to act on.
  if (reception_.moniOneCount <= 0) ShowInfoRecord("");
  Command37_Click();
}

// ---------------------------------------------------------------------------
// Stepping

void Form1::Command37_Click() { StepOnce(static_cast<int>(panels::InfoStepKind::Newest)); }
void Form1::Command36_Click() { StepOnce(static_cast<int>(panels::InfoStepKind::Oldest)); }

void Form1::StepOnce(int kind) {
  FocusMapWhenActive();
  const panels::InfoStep s = panels::StepInfo(reception_, static_cast<panels::InfoStepKind>(kind));
  if (s.found) {
    reception_.info.index = s.index;
    ShowInfoRecord(panels::InfoSlotRecord(reception_));
  }
  if (map_core_->hooks().map_lock == 1) Command12_MouseDown(1);
}

void Form1::Command5_MouseDown(int) { StepHeld(static_cast<int>(panels::InfoStepKind::Earlier)); }
void Form1::Command6_MouseDown(int) { StepHeld(static_cast<int>(panels::InfoStepKind::Later)); }

// One step at once, then again after waits that halve from 0.5 s down to 0.01 s
// until the button is released.
void Form1::StepHeld(int kind) {
  cycle_->Stop();
  float wait = 1.0f;
  for (;;) {
    wait = std::max(wait / 2, 0.01f);
    FocusMapWhenActive();
    const panels::InfoStep s = panels::StepInfo(reception_, static_cast<panels::InfoStepKind>(kind));
    if (s.end) break;
    if (s.found) {
      reception_.info.index = s.index;
      ShowInfoRecord(panels::InfoSlotRecord(reception_));
    }
    button_released_ = 0;
    PauseWithEvents(wait);
    // The release ends it; so does the panel's or the window's end meanwhile.
    if (button_released_ != 0 || info_->isHidden() || shutdown_done_) break;
  }
  cycle_->Start();
  if (map_core_->hooks().map_lock == 1) Command12_MouseDown(1);
}

// ---------------------------------------------------------------------------
// MAP, close, WX

void Form1::Command12_MouseDown(int button) {
  if (button == 1) {
    map_.CentreMode = 0;
    map_.PictureMode = 0;
    viewer_->hide();
    for (OptionButton* o : {column_->Option1, column_->Option2}) {
      o->setAutoExclusive(false);
      o->setChecked(false);
      o->setAutoExclusive(true);
    }
    const std::string record = Label5->Caption();
    settings_.CentreNorth = LeadingNumber(reception::Columns(record, 14, 22));
    settings_.CentreEast = LeadingNumber(reception::Columns(record, 23, 31));
    DrawMap();
    if (map_core_->hooks().map_lock == 0) {
      map_core_->hooks().map_lock = 1;
      info_->Command12->SetCaption("MAP L");
    }
  } else if (button == 2) {
    const int scale = static_cast<int>(map_.MapScale);
    const int next = scale == 5000   ? 1000
                     : scale == 1000 ? 200
                     : scale == 200  ? 50
                     : scale == 50   ? 10
                     : scale == 10   ? 2
                                     : 5000;
    map_.MapScale = next;
    map_.MetresPerPixel = next;
    map_.ZoomFactor = 1;
    DrawMap();
  }
}

void Form1::Command10_Click() {
  reception::InfoPanelState& info = reception_.info;
  info.call.clear();
  info.visible = false;
  info_->hide();
  map_core_->hooks().map_lock = 0;
  info_->Command12->SetCaption("MAP");
  wx_->hide();
  info_->Command20->setEnabled(false);
  ApplyLanguageTexts();
  DrawMap();  // the scale marks come back with the drawing
}

void Form1::Command20_Click() {
  wx_->closedByUser = false;
  reception_.info.record = panels::InfoSlotRecord(reception_);
  ShowWxInfoForRecord(reception_.info.record);
}

// ---------------------------------------------------------------------------
// The mode buttons

void Form1::Command18_Click() { InfoModeButton(false); }
void Form1::Command19_Click() { InfoModeButton(true); }

void Form1::InfoModeButton(bool forward) {
  FocusMapWhenActive();
  if (panels::InfoShowsMoniOne(reception_)) {
    DeleteTrackPositions(!forward);
  } else {
    SearchSamePlace(forward);
  }
}

void Form1::DeleteTrackPositions(bool older) {
  cycle_->Stop();
  const auto q = panels::DeletionQuestion(settings_.LanguageSetting, older, panels::InfoSlotRecord(reception_));
  if (!q || MsgBox(q->text, q->title, MsgButtons::YesNo, MsgIcon::Exclamation, 2) != MsgResult::Yes) {
    cycle_->Start();
    return;
  }
  std::string error;
  if (!panels::DeleteTrackPositions(reception_, older, &error)) {
    MsgBox(error, "ZEBLON  MONI 1 LOG", MsgButtons::Ok, MsgIcon::Exclamation);
    cycle_->Start();
    return;
  }
  if (!older) {
    // The newest record now: its fields, and the map on it (a record without a
    // position takes the map centre).
    TakeMoniOneNewest();
    if (panels_.MoniOne.north != 0) {
      settings_.CentreNorth = panels_.MoniOne.north;
      settings_.CentreEast = panels_.MoniOne.east;
    }
    panels_.MoniOne.north = settings_.CentreNorth;
    panels_.MoniOne.east = settings_.CentreEast;
    CopyMoniOneNewest();
  }
  reception_.info.visible = false;  // InfoCall stays
  info_->hide();
  map_core_->hooks().map_lock = 0;
  info_->Command12->SetCaption("MAP");
  cycle_->Start();
  DrawMap();
}

void Form1::SearchSamePlace(bool forward) {
  const map::MapState& m = map_core_->state();
  const std::optional<int> hit = panels::FindReportNearby(reception_, forward, m.SelectedNorth, m.SelectedEast,
                                                          panels::SearchRadiusKm(map_.MetresPerPixel));
  if (!hit) return;
  reception::InfoPanelState& info = reception_.info;
  info.index = *hit;
  const std::string& record = reception_.moniAllLog[static_cast<std::size_t>(*hit)];
  info_->SetCaption(info.call);  // the title keeps the call the panel was opened with
  info.backCaption = "<";
  info.labelCaption = "QTH=";
  info.forwardCaption = ">";
  info_->Command18->SetCaption(info.backCaption);
  info_->Label19->SetCaption(info.labelCaption);
  info_->Command19->SetCaption(info.forwardCaption);
  if (forward) {
    info.visible = true;
    info_->show();
    info_->raise();
  }
  scales_->hide();
  if (!forward) {
    info.record = record;
    ShowWxInfoForRecord(record);
  }
  info.labelText = reception::LabelText(record);
  Label5->SetCaption(record);
  ApplyLanguageTexts();
}

// ---------------------------------------------------------------------------
// Actions on the shown station

void Form1::Command11_Click() {
  cycle_->Stop();
  const std::string call = panels::RecordCall(Label5->Caption());
  if (call.empty() || panels::InfoShowsMoniOne(reception_)) {
    cycle_->Start();
    return;
  }
  const panels::InfoQuestion q = panels::MoniOneQuestion(call);
  if (MsgBox(q.text, q.title, MsgButtons::YesNo, MsgIcon::Exclamation, 1) == MsgResult::Yes) {
    SelectMoniOneStation(call);
    FocusMapWhenActive();
  }
  cycle_->Start();
}

void Form1::Command41_Click() {
  if (chat_->isHidden()) {
    column_->Check7->SetValue(1);
    chat_->show();
    chat_->raise();
  }
  chat_->Text2->SetText(reception_.info.call);
  chat_->Text3->SetText("?APRST");
  chat_->Text3->KeyDown(13, 0);  // queued and sent as if the user pressed Enter
  // The answer text as the box holds it (the receive side keeps it as it goes out).
  if (chat_service_->Answer().on) chat_->Text3->SetText(chat_service_->Answer().text);
}

void Form1::Command23_Click() {
  // The automatic answer goes off first.
  reception_.settings.autoAnswerOn = false;
  chat_->Check16->SetValue(0);
  if (chat_->Check16->OnClick) chat_->Check16->OnClick();
  if (chat_->isHidden()) {
    column_->Check7->SetValue(1);
    chat_->show();
    chat_->raise();
    chat_->Check16->SetValue(0);
  }
  chat_->Text2->SetText(reception_.info.call);
  chat_->Text3->setFocus();
}

void Form1::Command40_Click() {
  FocusMapWhenActive();
  if (raw_list_->RawWindowShown == 0) {
    if (column_->Check3->Value() != 1) {
      column_->Check3->SetValue(1);
    } else {
      raw_list_->Check3_Click();
    }
  }
  QCoreApplication::processEvents();
  Command37_Click();
  QCoreApplication::processEvents();
  cycle_->Stop();
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(List1->ListCount()));
  for (int i = 0; i < List1->ListCount(); ++i) lines.push_back(List1->List(i));
  const int row = panels::FindRawLine(lines, reception_.info.call);
  if (row >= 0) {
    Timer1->setInterval(4 * shell_.CycleInterval);
    List1->setCurrentRow(row);
    List1->item(row)->setSelected(true);
    List1->scrollToItem(List1->item(row));
  }
  cycle_->Start();
}

void Form1::Label5_MouseUp(int button) {
  // The record line lies along the window's foot, outside the panel: it stands
  // for the panel's report only while the panel is open.
  if (button != 1 || settings_.InterfaceKind == 4 || info_->isHidden()) return;
  cycle_->Stop();
  const auto q = panels::RetransmitQuestion(settings_.LanguageSetting);
  if (q && MsgBox(q->text, q->title, MsgButtons::YesNo, MsgIcon::Exclamation, 2) == MsgResult::Yes) {
    RetransmitStationPosition();
  }
  cycle_->Start();
}

void Form1::RetransmitStationPosition() {
  setCursor(Qt::WaitCursor);
  Picture1->setCursor(Qt::WaitCursor);
  panels::RetransmitContext c;
  c.userCall = settings_.UserCall;
  c.txCall = shell_.TxCall.empty() ? settings_.UserCall : shell_.TxCall;
  c.now = ComputerClockNow();
  c.utcOffsetHours = static_cast<int>(RoundHalfEven(settings_.UtcOffsetHours));
  c.mapCentralMeridian = reception_.settings.mapCentralMeridian;
  c.mapFalseEasting = reception_.settings.mapFalseEasting;
  if (const auto field = panels::RetransmittedReport(Label5->Caption(), c)) {
    RadioLink().Transmit(*field);
  }
  unsetCursor();
  Picture1->unsetCursor();
  cycle_->Start();
  QCoreApplication::processEvents();
}

}  // namespace zeblon
