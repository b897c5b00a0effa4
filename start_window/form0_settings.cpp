// The start window's boxes from the settings at the start-up, and the boxes read
// back and the settings written at START.
#include "start_window/form0.h"

#include <cmath>

#include "geodesy/text.h"
#include "platform/message_box.h"
#include "settings/interface_kind.h"

namespace zeblon {

using namespace platform;

void Form0::FillDefaultBoxes() {
  FillTxFields(true);
  Text7->SetText(NumberText(settings_.AlarmDistanceKm));
  Check2->SetValue(settings_.LogsOn);
}

void Form0::FillIonosphereAndAprsIsBoxes() {
  if (settings_.IonoAutoUpdate == 0) {
    Check8->SetValue(0);
    Text15->setEnabled(true);
    Text16->setEnabled(true);
  } else if (settings_.IonoAutoUpdate == 1) {
    Check8->SetValue(1);
    Text15->setEnabled(false);
    Text16->setEnabled(false);
  }
  if (!settings_.AprsIsPort.empty()) Text14->SetText(settings_.AprsIsPort);
  if (!settings_.AprsIsServer.empty()) Text13->SetText(settings_.AprsIsServer);
}

void Form0::FillInterfaceAndFolderBoxes() {
  Settings& s = settings_;
  const InterfaceKind kind = InterfaceKindOf(s.InterfaceKind);
  const bool scs = IsScs(kind);
  tx_->ShowRadioMode(s);

  Text8->SetText(s.UserCall);
  ColourUserCallBox();
  Text1->SetText(s.MapRootFolder);
  Text2->SetText(s.TempFolder);
  Text6->SetText(s.GpsSource);
  Text17->SetText(s.GpsBaud);

  switch (kind) {
    case InterfaceKind::Pk232: Option4->SetValue(true); break;
    case InterfaceKind::AgwLocal: Option5->SetValue(true); break;
    case InterfaceKind::AgwRemote: Option9->SetValue(true); break;
    case InterfaceKind::NoRadio: Option10->SetValue(true); break;
    case InterfaceKind::ScsTnc: Option11->SetValue(true); break;
    case InterfaceKind::ScsPtc: Option13->SetValue(true); break;
    default: break;
  }
  if (kind == InterfaceKind::Pk232) {
    Label3->SetCaption("COMM PORT");
    Text3->SetText(NumberText(std::fabs(s.TncComPort)));
    Text4->SetText(s.TncBaud);
  } else if (kind == InterfaceKind::AgwRemote) {
    Label3->SetCaption("HOST NAME");
    Text3->SetText(s.AgwHost);
    Label4->SetCaption("HOST PORT");
    Text4->SetText(s.AgwPort);
  } else if (scs) {
    Label3->SetCaption("COMM PORT");
    Text3->SetText(NumberText(std::fabs(s.ScsComPort)));
    Text4->SetText(s.ScsBaud);
  }
  Text5->SetText(s.MoniOneCall);
  const int units = s.LanguageSetting % 10;
  if (units < 2)
    Option1->SetValue(true);
  else if (units == 2)
    Option2->SetValue(true);
  else if (units == 3)
    Option3->SetValue(true);
}

StartControlValues Form0::ReadControls() const {
  StartControlValues v;
  v.AprsIsServer = Text13->Text();
  v.AprsIsPort = Text14->Text();
  v.UserCall = Text8->Text();
  const std::pair<OptionButton*, InterfaceKind> interfaces[] = {
      {Option4, InterfaceKind::Pk232},    {Option5, InterfaceKind::AgwLocal}, {Option9, InterfaceKind::AgwRemote},
      {Option10, InterfaceKind::NoRadio}, {Option11, InterfaceKind::ScsTnc},  {Option13, InterfaceKind::ScsPtc}};
  for (const auto& [option, kind] : interfaces) {
    if (option->Value()) {
      v.SelectedInterface = ModemNumber(kind);
      break;
    }
  }
  v.MapsPath = Text1->Text();
  v.TempPath = Text2->Text();
  v.PortOrHost = Text3->Text();
  v.BaudOrHostPort = Text4->Text();
  v.MoniCall = Text5->Text();
  v.NmeaPort = Text6->Text();
  v.NmeaBaud = Text17->Text();
  v.SelectedRadioMode = tx_->Values().radioMode;
  v.AlarmDistance = Text7->Text();
  v.SunspotNumber = Text15->Text();
  v.KIndex = Text16->Text();
  v.IonoFromInternet = Check8->Value();
  v.SmartLog = Check1->Value();
  v.SaveLog = Check2->Value();
  return v;
}

void Form0::WriteSettings() {
  if (!WriteSettingsFile(SettingsPath(), SettingsWindow::Start, settings_)) {
    MsgBox("CANNOT WRITE " + SettingsPath() + " !", "ZEBLON  SETUP", MsgButtons::Ok, MsgIcon::Exclamation);
  }
}

}  // namespace zeblon
