#include "main_window/form1.h"
#include "platform/message_box.h"

namespace zeblon {

// The window's side of the object set-up's port (panels/object_setup.h).
class Form1::ObjectWindow : public panels::ObjectSetupPort {
 public:
  explicit ObjectWindow(Form1& f) : f_(f) {}

  void WriteSettings() override { f_.WriteSettingsFile(); }
  void MakeObjectDue() override { f_.tick_.ResetObjectBeacon(); }
  void CentreOnObject() override {
    f_.map_core_->SetCentreMode(0);
    f_.ClearCentreOptions();
    f_.map_core_->CentreOnObjectOnce();
  }
  void Refuse(const std::string& text) override {
    platform::MsgBox(text, "ZEBLON  OBJECT SETUP", platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
  }
  int MapLeft() const override { return f_.Picture1->x(); }

 private:
  Form1& f_;
};

// The own object: the OBJ box, the OBJECT SETUP frame with the TX setup panel's
// symbol picker, and the main cycle's object beacon.
void Form1::WireObject() {
  if (!object_window_) object_window_ = std::make_unique<ObjectWindow>(*this);
  object_setup_ = std::make_unique<panels::ObjectSetup>(*object_, *tx_, *column_, settings_,
                                                        static_cast<links::CycleControl&>(*this),
                                                        static_cast<panels::MapActions&>(*this), *object_window_);
}

}  // namespace zeblon
