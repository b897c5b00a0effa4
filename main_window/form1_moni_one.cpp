// The watched station (MONI 1): its call combo Combo9 and the selection of a call.

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "main_window/form1.h"
#include "platform/qtext.h"
#include "reception/moni_one_log.h"
#include "reception/station_record.h"
#include "settings/settings.h"
#include "settings/text_files.h"

namespace zeblon {

void Form1::SelectMoniOneStation(const std::string& call) {
  cycle_->StopAll();
  settings_.MoniOneCall = call;
  column_->Combo9->SetText(call);
  UpdateReceptionSettings();
  // The track from the call's whole log (created when missing) and the later
  // reports of the call heard meanwhile; the log is written back with them.
  reception_.stations.SelectWatched(data_folder_, call, column_->Check22->Value() == 1);
  TakeMoniOneNewestOrCentre();
  reception_.info.index = reception_.stations.MoniOneCount();
  // The settings file keeps the call; only its CALL= line changes.
  PatchSettingsFile(SettingsPath(), {{"CALL", call}}, false);
  const std::string& newest =
      reception_.stations.MoniOneTrack()[static_cast<std::size_t>(reception_.stations.MoniOneCount())];
  if (!info_->isHidden()) Label5->SetCaption(newest);
  // The map follows the station.
  map_core_->SetCentreMode(1);
  column_->Option1->setChecked(false);
  column_->Option2->setChecked(true);
  reception_.info.call = call;
  info_->SetCaption(call);
  info_->Command18->SetCaption("<X");
  info_->Label19->SetCaption("DELETE");
  info_->Command19->SetCaption("X>");
  if (!info_->isHidden() && reception_.stations.MoniOneCount() > 0)
    info_service_->ShowStationInfo(call, reception_.stations.MoniOneCount(), true);
  chat_->Text2->setText(platform::ToQ(call));
  internet_->MoniOneStationSelected();
  internet_->SwitchState().lastAreaRequestHhmm = 0;
  DrawMap();
  cycle_->Start();  // the pause timer stays off
}

void Form1::TakeMoniOneNewestOrCentre() {
  TakeMoniOneNewest();
  reception::MoniOneNewest n = reception_.stations.Newest();
  if (n.north != 0) map_core_->SetCentre(n.north, n.east);
  n.north = map_core_->state().CentreNorth;
  n.east = map_core_->state().CentreEast;
  reception_.stations.SetNewest(std::move(n));
}

void Form1::MoniOneComboKeyDown(int key_code) {
  ArmPause(4000);
  if (key_code != 13) return;
  const std::string call = panels::MoniOneComboCall(column_->Combo9->Text());
  if (call.empty()) {
    column_->Combo9->SetText(settings_.MoniOneCall);
    cycle_->Start();
    return;
  }
  SelectMoniOneStation(call);
  if (isActiveWindow()) Picture1->setFocus();
}

void Form1::MoniOneComboEntered() {
  ArmPause(6000);
  moni_one_frames_->RestoreWidths();
  column_->Check27->SetValue(0);
  auto* combo = column_->Combo9;
  const std::string text = combo->Text();
  combo->Clear();
  ListMoniOneLogs();
  combo->SetText(text);
}

void Form1::MoniOneComboLeft() {
  const std::string pick = combo9_pick_.TakeOnLostFocus(column_->Combo9->Text());
  if (pick.empty()) return;
  column_->Combo9->SetText(pick);
  cycle_->Start();
  MoniOneComboKeyDown(13);
}

bool Form1::TakeChangedMoniOneCall() {
  if (column_->Combo9->Text() == settings_.MoniOneCall) return false;
  MoniOneComboKeyDown(13);
  return true;
}

void Form1::ListMoniOneLogs() {
  for (const std::string& n : ListFileNames(reception::LogFolder(data_folder_), ".TXT", false, "_")) {
    column_->Combo9->AddItem(n);
  }
}

// Combo9's keys and focus changes, seen by the window's event filter.
bool Form1::Combo9Event(QObject* watched, QEvent* e) {
  auto* combo = column_ != nullptr ? column_->Combo9 : nullptr;
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
    MoniOneComboEntered();
  } else if (e->type() == QEvent::FocusOut && watched == combo &&
             static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason) {
    MoniOneComboLeft();
  }
  return false;
}

}  // namespace zeblon
