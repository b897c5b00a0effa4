// The watched station (MONI 1): the connection of its call combo and selection
// (panels/moni_one_select) and the map centre on the track's newest record.

#include "main_window/form1.h"
#include "map/moni_one_centre.h"

namespace zeblon {

// The window's side of the MONI 1 selection's port (panels/moni_one_select.h).
class Form1::MoniOneWindow : public panels::MoniOneSelectPort {
 public:
  explicit MoniOneWindow(Form1& f) : f_(f) {}

  std::filesystem::path DataFolder() const override { return f_.data_folder_; }
  std::filesystem::path SettingsPath() const override { return f_.SettingsPath(); }
  void UpdateReceptionSettings() override { f_.UpdateReceptionSettings(); }
  void ShowStationInfo(const std::string& call, int index) override {
    f_.info_service_->ShowStationInfo(call, index, true);
  }
  void StationSelected() override { f_.Internet().MoniOneStationSelected(); }
  void RestoreFrameWidths() override { f_.moni_one_frames_->RestoreWidths(); }

 private:
  Form1& f_;
};

void Form1::WireMoniOneSelect() {
  if (!moni_one_window_) moni_one_window_ = std::make_unique<MoniOneWindow>(*this);
  moni_one_select_ = std::make_unique<panels::MoniOneSelect>(
      *column_, *info_, *Label5, *chat_, settings_, reception_, *map_core_, static_cast<links::CycleControl&>(*this),
      static_cast<panels::MapActions&>(*this), *moni_one_window_);
}

void Form1::TakeMoniOneNewestOrCentre() { map::TakeMoniOneNewestOrCentre(reception_.stations, *map_core_); }

}  // namespace zeblon
