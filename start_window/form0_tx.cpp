// The start window's TX part: its TX setup panel filled from the settings, opened,
// taken at OK and restored at ABORT, and what it hands to the main window's panel.
#include "start_window/form0.h"

#include "geodesy/text.h"
#include "links/tx_setup.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "reception/station_record.h"

namespace zeblon {

using namespace platform;

// The TX boxes of the start window's panel from the settings: SSID, timer,
// destination, path and the info lines 1 to `last_info_line`.
void Form0::FillTxBoxes(int last_info_line) {
  tx_->fr4Text1->SetText(settings_.TxSsid);
  tx_->fr4Text2->SetText(NumberText(settings_.BeaconInterval));
  tx_->fr4Text3->SetText(settings_.TxDestination);
  tx_->fr4Text4->SetText(settings_.TxPath);
  for (int i = 1; i <= last_info_line; ++i) tx_->fr4ti[i]->SetText(settings_.InfoLines[i]);
}

// The main window's panel takes the given parts as the start window's panel holds them.
void Form0::HandOverTx(unsigned parts) { host_.MainTxPanel().TakeHandOver(tx_->Values(), parts); }

// The start-up's fills of the TX fields in both panels: the boxes with info line 1
// or all six, then the overlay ("A" when empty, its first character; the start
// window's box redraws the picker).
void Form0::FillTxFields(bool all_info_lines) {
  FillTxBoxes(all_info_lines ? 6 : 1);
  ApplyOverlayRule();
  tx_->fr4Text10->SetText(settings_.TxOverlay);
  using P = panels::TxSetupPanel;
  HandOverTx(P::kHandTxBoxes | P::kHandFirstInfoLine | (all_info_lines ? P::kHandOtherInfoLines : 0u) |
             P::kHandOverlay);
}

void Form0::ApplyOverlayRule() {
  std::string& overlay = settings_.TxOverlay;
  overlay = overlay.empty() ? std::string(1, 'A') : overlay.substr(0, 1);
}

void Form0::FillBoxesOfTheCall() {
  for (int i = 2; i <= 6; ++i) tx_->fr4ti[i]->SetText(settings_.InfoLines[i]);
  for (int i = 1; i <= 6; ++i) tx_->fr4ta[i]->SetValue(settings_.InfoLineActive[i] > 0 ? 1 : 0);
  HandOverTx(panels::TxSetupPanel::kHandOtherInfoLines | panels::TxSetupPanel::kHandInfoActive);
  if (IsValidOwnCall(settings_.UserCall)) igate_call_ok_ = 1;
  if (igate_call_ok_ == 1) tx_->Check9->setEnabled(true);
  if (Option11->Value() || Option13->Value() || Option4->Value() || Option5->Value()) {
    Command14->setEnabled(true);
  }
}

void Form0::OpenTxSetup() {
  if (Trim(Text8->Text()).size() < 3) {
    MsgBox("SET USER CALL !", "ZEBLON  TX SETUP", MsgButtons::Ok, MsgIcon::Exclamation);
    return;
  }
  tx_->OpenFromSettings(settings_, igate_call_ok_ == 1);
  // The main window's ACTIVE boxes as the panel shows them, and the picked symbol.
  settings_.UserCall = UpperAscii(Trim(Text8->Text()));
  HandOverTx(panels::TxSetupPanel::kHandInfoActive);
  tx_->ShowSymbol(tx_->PickedSymbol());
}

void Form0::TakeTxSetup() {
  // The values cleaned into the settings, and as typed into the main window's panel.
  const links::TxPanelValues v = tx_->Values();
  settings_ = tx_->Take(settings_, igate_call_ok_ == 1, tx_->Check9->Value()).settings;
  tx_->hide();
  host_.MainTxPanel().TakeHandOver(v);
  WriteSettings();
}

void Form0::AbortTxSetup() {
  // The stored values back into both panels.
  const Settings& s = settings_;
  tx_->hide();
  FillTxBoxes(1);
  tx_->RestorePickedSymbol(s.TxSymbolIndex);
  tx_->fr4Text10->SetText(s.TxOverlay);  // as stored: an empty overlay stays empty
  using P = panels::TxSetupPanel;
  HandOverTx(P::kHandTxBoxes | P::kHandFirstInfoLine | P::kHandSymbol | P::kHandOverlay);
  tx_->Check9->SetValue(igate_call_ok_ == 1 && s.IGateOn == 1 ? 1 : 0);
}

}  // namespace zeblon
