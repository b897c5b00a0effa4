#include "panels/internet_boxes.h"

#include <QPalette>
#include <exception>
#include <utility>

#include "map/readouts.h"

namespace zeblon::panels {

namespace {

// A box's back colour (a platform colour value).
void PaintBack(QWidget& box, int colour) { platform::SetBackColour(&box, platform::PlatformColour(colour)); }

// A combo's back colour is its text field's.
void PaintBack(platform::ComboBox& combo, int colour) {
  QPalette p = combo.palette();
  p.setColor(QPalette::Base, platform::PlatformColour(colour));
  combo.setPalette(p);
}

}  // namespace

InternetBoxes::InternetBoxes(ControlColumn& column, platform::TextBox& notice, IonoPanel& iono,
                             reception::ReceptionState& reception, reception::ReceptionHost& host,
                             links::CycleControl& cycle, InternetBoxesPort& port)
    : column_(column), notice_(notice), iono_(iono), cycle_(cycle), port_(port) {
  internet_ = std::make_unique<InternetWiring>(reception, host, cycle_, Controls(), port_);
  iono_data_ = std::make_unique<IonoData>(iono_, *internet_, cycle_, port_);
  WireBoxes();
}

InternetBoxes::~InternetBoxes() = default;

void InternetBoxes::WireBoxes() {
  // A click (or a value set from code) hands the box's value to the switches.
  column_.Check22->OnClick = [this] {
    if (!showing_switches_) internet_->MoniOneSupportClicked(column_.Check22->Value() == 1);
  };
  column_.Check23->OnClick = [this] {
    if (!showing_switches_) internet_->AreaSupportClicked(column_.Check23->Value() == 1);
  };
  column_.Check27->OnClick = [this] {
    if (!showing_switches_) internet_->ScanClicked(column_.Check27->Value() == 1);
  };
  column_.Check22->OnMouseUp = [this](int button) {
    if (button == 2) internet_->ToggleWebSource();
  };
  column_.Check9->OnMouseUp = [this](int button) { iono_data_->Open(button); };
  iono_.Command60->OnClick = [this] { iono_data_->TakeTypedValues(); };
}

void InternetBoxes::ShowSwitches() {
  if (showing_switches_) return;
  showing_switches_ = true;
  const internet::InternetSwitchState& s = internet_->SwitchState();
  column_.Check22->SetValue(s.moniOneSupport ? 1 : 0);
  column_.Check23->SetValue(s.areaSupport ? 1 : 0);
  column_.Check27->SetValue(s.scan ? 1 : 0);
  column_.Check22->SetCaption(internet_->Switches().MoniOneCaption());
  showing_switches_ = false;
  PaintBack(*column_.Combo9, s.comboColour);
  PaintBack(*column_.Check22, s.moniOneColour);
  PaintBack(*column_.Check23, internet::kSwitchColour);
  PaintBack(*column_.Check27, s.scanColour);
}

void InternetBoxes::StartUp(double sunspot_number, double k_index, bool auto_update) {
  internet_->TakeSavedIono(sunspot_number, k_index, auto_update);
  internet_->ResetPollsAtStart();
  ShowSwitches();
  if (auto_update) internet_->RequestMagnetogramPage();
}

void InternetBoxes::ShowNotice(const std::string& text, int colour) {
  notice_.SetText(text);
  SetNoticeColour(colour);
  notice_.show();
  notice_.raise();
  port_.WebNoticeTaken();
}

void InternetBoxes::HideNotice() {
  notice_.hide();
  SetNoticeColour(internet::kNoticeGreen);
}

void InternetBoxes::SetNoticeColour(int colour) {
  QPalette p = notice_.palette();
  p.setColor(QPalette::Base, platform::PlatformColour(colour));
  notice_.setPalette(p);
}

bool InternetBoxes::ChatOpen() { return column_.Check7->Value() == 1; }

void InternetBoxes::CloseChat() {
  column_.Check7->SetValue(0);
  port_.HideChat();
}

void InternetBoxes::DirectOnlyOff() { column_.Check24->SetValue(0); }

std::vector<std::string> InternetBoxes::StoredCalls() {
  std::vector<std::string> calls;
  for (int i = 0; i < column_.Combo9->ListCount(); ++i) calls.push_back(column_.Combo9->List(i));
  return calls;
}

std::string InternetBoxes::ComboText() { return column_.Combo9->Text(); }

void InternetBoxes::SetComboText(const std::string& text) { column_.Combo9->SetText(text); }

void InternetBoxes::MapCentre(double& latitude, double& longitude) {
  try {
    const map::MapState& m = port_.Map();
    const map::MapPoint p =
        map::ConvertMapKmToLatLon(m.CentreNorth, m.CentreEast, m.MapCentralMeridian, m.MapFalseEasting);
    latitude = p.latitude;
    longitude = p.longitude;
  } catch (const std::exception&) {
    // A centre the conversion cannot take asks around 0/0.
  }
}

void InternetBoxes::WriteSettings() {
  const internet::IonoState& iono = internet_->Iono();
  port_.WriteSettings(iono.sunspotNumber, iono.kIndex);
}

void InternetBoxes::ShowIono(const internet::IonoOutcome& outcome) { iono_data_->ShowOutcome(outcome); }

}  // namespace zeblon::panels
