// The main window's station data from the web: the internet switches, the web
// requests with their page receivers and the ionosphere values, joined to the
// main cycle's steps. It reaches the window through the ports it is given.
#pragma once

#include <memory>
#include <string>

#include "internet/internet_ports.h"
#include "internet/internet_switches.h"
#include "internet/ionosphere.h"
#include "internet/web_polls.h"
#include "links/cycle_control.h"
#include "links/cycle_tick.h"
#include "reception/reception_host.h"
#include "reception/reception_state.h"

namespace zeblon::internet {
class WebRequests;
}

namespace zeblon {

// The chat lines of the radio link when the window has them, else lines of its own.
class ChatPanelRelay : public reception::ChatPanel {
 public:
  explicit ChatPanelRelay(internet::InternetWindow& window) : window_(window) {}

  std::string Line(int index) override { return Chat().Line(index); }
  int Colour(int index) override { return Chat().Colour(index); }
  void SetColour(int index, int colour) override { Chat().SetColour(index, colour); }
  void ScrollIn(const std::string& text, int colour) override { Chat().ScrollIn(text, colour); }
  bool Visible() override { return Chat().Visible(); }
  bool MeOnly() override { return Chat().MeOnly(); }
  void OpenForUser() override { Chat().OpenForUser(); }
  void QueueChatMessage(const std::string& addressee, const std::string& text) override {
    Chat().QueueChatMessage(addressee, text);
  }
  void Acknowledge(const std::string& number) override { Chat().Acknowledge(number); }

 private:
  reception::ChatPanel& Chat() {
    if (reception::ChatPanel* c = window_.ChatLines()) return *c;
    return own_;
  }
  internet::InternetWindow& window_;
  reception::ChatLines own_;
};

class InternetWiring {
 public:
  // `host`: the window's receive host, the same the radio link's receive pass
  // decodes through (the web passes draw, alarm, send acknowledgements "mok" and
  // replies, and open the panels through it). The switches and the requests show
  // their state in `controls` and reach the rest of the window through `window`;
  // the polls hold the main cycle through `cycle`; the chat lines are the
  // window's while it has them.
  InternetWiring(reception::ReceptionState& state, reception::ReceptionHost& host, links::CycleControl& cycle,
                 internet::InternetControls& controls, internet::InternetWindow& window,
                 internet::WebSources sources = internet::WebSourcesFromEnvironment());
  ~InternetWiring();

  internet::InternetSwitchState& SwitchState() { return switchState_; }
  internet::IonoState& Iono() { return iono_; }
  internet::InternetSwitches& Switches() { return *switches_; }
  internet::WebRequests& Web() { return *web_; }

  // The ionosphere update of the start-up and of the right click on the distance-circle box.
  void RequestMagnetogramPage();
  void StartIonoUpdateByUser();

  // The main cycle's web steps: the page loader stopped at the tick's start, the
  // scan's step (true when it ran), the hourly ionosphere update and the two web
  // polls (the watched station's raw packets, the stations of the area), each
  // true when its request went out; the polls' time limit is PollTimeLimit.
  void StopWebBrowser();
  bool ScanStep();
  bool IonosphereUpdate();
  bool MoniOneWebPoll();
  bool AreaWebPoll();

  // The saved ionosphere values at start-up.
  void TakeSavedIono(double sunspotNumber, double kIndex, bool autoUpdate);
  // The polls at start-up: the first web source, the MONI 1 station's raw packets
  // at the first tick, no area request remembered.
  void ResetPollsAtStart() {
    switchState_.webSource = 0;
    MoniOneStationSelected();
  }

  // The boxes' clicks (their values as they are now) and the right click on Check22.
  void MoniOneSupportClicked(bool on);
  void AreaSupportClicked(bool on);
  void ScanClicked(bool on);
  // The CHAT window opened: the scan stops with its colours.
  void StopScan();
  void ToggleWebSource();
  // A MONI 1 station was selected: the next tick polls its raw packets, and the
  // area's last request is forgotten.
  void MoniOneStationSelected() {
    switchState_.lastRawRequestHhmm = -5000;
    switchState_.lastAreaRequestHhmm = 0;
  }
  // The polls' time limit starts again from now, with no request counted (a chat
  // message that needs the web switches the support on, or keeps it on).
  void RestartPollLimit() {
    switchState_.internetPollStart = window_.ClockSeconds();
    switchState_.webRequestCount = 0;
  }

  // The polls' time limit (InternetPollLimit): true when the polls were switched
  // off. They close the chat with MONI 1 internet support, with a radio or without.
  bool PollTimeLimit();

 private:
  void Changed();

  internet::InternetControls& controls_;
  internet::InternetWindow& window_;
  internet::InternetSwitchState switchState_;
  internet::IonoState iono_;
  ChatPanelRelay chat_;
  std::unique_ptr<internet::InternetSwitches> switches_;
  std::unique_ptr<internet::WebRequests> web_;
};

}  // namespace zeblon
