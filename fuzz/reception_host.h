// Shared by the fuzz targets of the receive and internet passes: the window's side
// as the passes see it, and a data folder with its LOG folder in the scratch folder.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/scratch.h"
#include "internet/internet_ports.h"
#include "reception/reception_host.h"
#include "reception/reception_state.h"

namespace zeblon_fuzz {

class FuzzHost : public zeblon::reception::ReceptionHost {
 public:
  zeblon::reception::LocalTime Now() override { return {2024, 5, 31, 23, 59, 0}; }
  void DrawMap() override {}
  void SetTimer1(bool) override {}
  void ConvertMapKmToLatLon(double, double, std::string& a, std::string& b) override {
    a = "N";
    b = "E";
  }
  void SendAprsMessage(const std::string& m) override {
    for (char c : m)
      if (static_cast<unsigned char>(c) < 32 || c == 127) std::abort();  // control bytes never go on the air
  }
  void MonitorListChanged() override {}
  void ShowEmergencyWindow() override {}
  void ShowWxInfoForRecord(const std::string&) override {}
  void InfoPanelChanged() override {}
  void ShowDistanceAlarm(const zeblon::reception::DistanceAlarm&) override {}
  void Beep() override {}
  void FollowMoniOneStation() override {}
  void ClosePictureViewer() override {}
  bool PictureViewerShown() override { return false; }
  void AfterQuietPass() override {}
};

inline const std::filesystem::path& DataFolder() {
  static const std::filesystem::path folder = [] {
    auto p = ScratchFolder() / "data";
    std::filesystem::create_directories(p / "LOG");
    return p;
  }();
  return folder;
}

// The settings both passes start from: logs on in the data folder, small stores,
// the own call.
inline zeblon::reception::ReceptionSettings FuzzSettings() {
  zeblon::reception::ReceptionSettings s;
  s.dataFolder = DataFolder();
  s.logsOn = true;
  s.smartLog = true;
  s.moniAllLimit = 50;
  s.moniOneTrackLimit = 250;
  s.userCall = "N0CALL";
  s.txCall = "N0CALL-1";
  return s;
}

// The window the internet passes end in: its boxes and notice show nothing.
class FuzzInternetWindow : public zeblon::internet::InternetControls, public zeblon::internet::InternetWindow {
 public:
  void ShowNotice(const std::string&, int) override {}
  void HideNotice() override {}
  void SwitchesChanged() override {}
  bool ChatOpen() override { return false; }
  void CloseChat() override {}
  void DirectOnlyOff() override {}
  std::vector<std::string> StoredCalls() override { return {}; }
  std::string ComboText() override { return {}; }
  void SetComboText(const std::string&) override {}
  void MapCentre(double& latitude, double& longitude) override { latitude = longitude = 0; }
  void WriteSettings() override {}
  void ShowIono(const zeblon::internet::IonoOutcome&) override {}
  void ShowBusy(bool) override {}
  void PumpEvents() override {}
  void DrawMap() override {}
  void FocusMap() override {}
  void SelectMoniOneCall() override {}
  void RestoreMoniOneFrames() override {}
  double PollLimitSeconds() const override { return 900; }
  void ShowNewestInfoReport() override {}
  double ClockSeconds() const override { return 0; }
  int Hhmm() const override { return 1200; }
  zeblon::reception::ChatPanel* ChatLines() override { return nullptr; }
};

}  // namespace zeblon_fuzz
