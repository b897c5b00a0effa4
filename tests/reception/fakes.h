// Test doubles for the windows the receive pass talks to, and a temporary
// data folder with its LOG folder.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "reception/receive_pass.h"

namespace zeblon::reception::testing {

class FakeHost : public ReceptionHost {
 public:
  LocalTime now{2024, 5, 1, 12, 34, 0};
  int drawMaps = 0;
  int emergencyWindows = 0;
  int quietEnds = 0;
  int follows = 0;
  int beeps = 0;
  bool timer1 = true;
  bool pictureShown = false;
  std::vector<std::string> sent;
  std::vector<DistanceAlarm> alarms;

  LocalTime Now() override { return now; }
  void DrawMap() override {
    ++drawMaps;
    timer1 = true;
  }
  void SetTimer1(bool on) override { timer1 = on; }
  void ConvertMapKmToLatLon(double northKm, double eastKm, std::string& lat, std::string& lon) override {
    lat = "LAT" + std::to_string(static_cast<long long>(northKm));
    lon = "LON" + std::to_string(static_cast<long long>(eastKm));
  }
  void SendAprsMessage(const std::string& m) override { sent.push_back(m); }
  void ShowEmergencyWindow() override {
    ++emergencyWindows;
    DrawMap();
  }
  void ShowDistanceAlarm(const DistanceAlarm& a) override { alarms.push_back(a); }
  void MonitorListChanged() override {}
  void ShowWxInfoForRecord(const std::string&) override {}
  void InfoPanelChanged() override {}
  void Beep() override { ++beeps; }
  void FollowMoniOneStation() override { ++follows; }
  void ClosePictureViewer() override {}
  bool PictureViewerShown() override { return pictureShown; }
  void AfterQuietPass() override { ++quietEnds; }
};

// A source that hands out prepared reads, one per turn, then nothing.
class ScriptedSource : public MonitorSource {
 public:
  std::vector<TurnRead> reads;
  std::size_t next = 0;
  TurnRead ReadTurn() override { return next < reads.size() ? reads[next++] : TurnRead{}; }
};

// A data folder below the system's temporary folder with an empty LOG folder.
class TempDataFolder {
 public:
  TempDataFolder() {
    std::random_device rd;
    path_ =
        std::filesystem::temp_directory_path() / ("zeblon-reception-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_ / "LOG");
  }
  ~TempDataFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path log(const std::string& name) const { return path_ / "LOG" / name; }
  std::string read(const std::string& name) const {
    std::ifstream in(log(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  std::filesystem::path path_;
};

// A frame as the TNC2-form monitor text: header line, " <UI>:" CR LF, payload CR LF.
inline std::string Monitor(const std::string& header, const std::string& payload) {
  return header + " <UI>:\r\n" + payload + "\r\n";
}

}  // namespace zeblon::reception::testing
