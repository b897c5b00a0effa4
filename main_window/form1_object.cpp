#include "main_window/form1.h"
#include "platform/message_box.h"

namespace zeblon {

// The own object: the OBJ box, the OBJECT SETUP frame with the TX setup panel's
// symbol picker, and the main cycle's object beacon.
void Form1::WireObject() {
  panels::ObjectSetup::Hooks o;
  o.stopTimers = [this] { cycle_->StopAll(); };
  o.startTimer1 = [this] { cycle_->Start(); };
  o.drawMap = [this] { DrawMap(); };
  o.writeSettings = [this] { WriteSettingsFile(); };
  o.makeObjectDue = [this] { tick_.ResetObjectBeacon(); };
  o.centreOnObject = [this] {
    map_core_->SetCentreMode(0);
    column_->UntickCentringOptions();
    map_core_->CentreOnObjectOnce();
  };
  o.refuse = [](const std::string& text) {
    platform::MsgBox(text, "ZEBLON  OBJECT SETUP", platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
  };
  o.mapLeft = [this] { return Picture1->x(); };
  object_setup_ = std::make_unique<panels::ObjectSetup>(*object_, *tx_, *column_, settings_, std::move(o));
}

}  // namespace zeblon
