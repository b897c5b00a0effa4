#include "panels/moni_one_select.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "map/moni_one_centre.h"
#include "platform/qtext.h"
#include "reception/aprs_decode.h"
#include "reception/station_record.h"
#include "settings/text_files.h"

namespace zeblon::panels {

std::string MoniOneComboCall(std::string_view text) { return reception::UpperCase(Trim(text)); }

std::string MoniOneComboPick::TakeOnLostFocus(std::string_view combo_text) {
  if (pick_.empty() || pick_ == combo_text) return {};
  std::string pick = std::move(pick_);
  pick_.clear();
  return pick;
}

MoniOneSelect::MoniOneSelect(ControlColumn& column, InfoPanel& info, platform::Label& recordLine, ChatFrame& chat,
                             Settings& settings, reception::ReceptionState& reception, map::MapDisplay& map,
                             links::CycleControl& cycle, MapActions& mapActions, MoniOneSelectPort& port)
    : column_(column),
      info_(info),
      record_line_(recordLine),
      chat_(chat),
      settings_(settings),
      reception_(reception),
      map_(map),
      cycle_(cycle),
      map_actions_(mapActions),
      port_(port) {
  column_.Combo9->OnClick = [this] { pick_.Clicked(column_.Combo9->Text()); };
}

void MoniOneSelect::SelectMoniOneStation(const std::string& call) {
  cycle_.HoldCycle();
  settings_.MoniOneCall = call;
  column_.Combo9->SetText(call);
  port_.UpdateReceptionSettings();
  // The track from the call's whole log (created when missing) and the later
  // reports of the call heard meanwhile; the log is written back with them.
  reception_.stations.SelectWatched(port_.DataFolder(), call, column_.Check22->Value() == 1);
  map::TakeMoniOneNewestOrCentre(reception_.stations, map_);
  // The settings file keeps the call; only its CALL= line changes.
  PatchSettingsFile(port_.SettingsPath(), {{"CALL", call}}, false);
  const std::string& newest =
      reception_.stations.MoniOneTrack()[static_cast<std::size_t>(reception_.stations.MoniOneCount())];
  if (!info_.isHidden()) record_line_.SetCaption(newest);
  // The map follows the station.
  map_.SetCentreMode(1);
  column_.Option1->setChecked(false);
  column_.Option2->setChecked(true);
  // The INFO panel turns to the station, on its track's newest slot.
  reception_.info.FollowWatchedStation(call, reception_.stations.MoniOneCount());
  info_.SetCaption(call);
  info_.Command18->SetCaption(reception_.info.BackCaption());
  info_.Label19->SetCaption(reception_.info.LabelCaption());
  info_.Command19->SetCaption(reception_.info.ForwardCaption());
  if (!info_.isHidden() && reception_.stations.MoniOneCount() > 0)
    port_.ShowStationInfo(call, reception_.stations.MoniOneCount());
  chat_.Text2->setText(platform::ToQ(call));
  port_.StationSelected();
  map_actions_.DrawMap();
  cycle_.StartCycle();  // the pause timer stays off
}

void MoniOneSelect::MoniOneComboKeyDown(int key_code) {
  cycle_.ArmPause(4000);
  if (key_code != 13) return;
  const std::string call = MoniOneComboCall(column_.Combo9->Text());
  if (call.empty()) {
    column_.Combo9->SetText(settings_.MoniOneCall);
    cycle_.StartCycle();
    return;
  }
  SelectMoniOneStation(call);
  map_actions_.FocusMapWhenActive();
}

void MoniOneSelect::ComboEntered() {
  cycle_.ArmPause(6000);
  port_.RestoreFrameWidths();
  column_.Check27->SetValue(0);
  auto* combo = column_.Combo9;
  const std::string text = combo->Text();
  combo->Clear();
  ListMoniOneLogs();
  combo->SetText(text);
}

void MoniOneSelect::ComboLeft() {
  const std::string pick = pick_.TakeOnLostFocus(column_.Combo9->Text());
  if (pick.empty()) return;
  column_.Combo9->SetText(pick);
  cycle_.StartCycle();
  MoniOneComboKeyDown(13);
}

bool MoniOneSelect::TakeChangedMoniOneCall() {
  if (column_.Combo9->Text() == settings_.MoniOneCall) return false;
  MoniOneComboKeyDown(13);
  return true;
}

void MoniOneSelect::ListMoniOneLogs() {
  for (const std::string& n : ListFileNames(reception::LogFolder(port_.DataFolder()), ".TXT", false, "_")) {
    column_.Combo9->AddItem(n);
  }
}

bool MoniOneSelect::ComboEvent(QObject* watched, QEvent* e) {
  auto* combo = column_.Combo9;
  if (combo == nullptr || (watched != combo && watched != combo->lineEdit())) return false;
  if (e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      MoniOneComboKeyDown(13);
      return true;
    }
    MoniOneComboKeyDown(key);
  } else if (e->type() == QEvent::FocusIn && watched == combo &&
             static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason) {
    ComboEntered();
  } else if (e->type() == QEvent::FocusOut && watched == combo &&
             static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason) {
    ComboLeft();
  }
  return false;
}

}  // namespace zeblon::panels
