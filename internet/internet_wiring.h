// The main window's station data from the web: the internet switches, the web
// requests with their page receivers and the ionosphere values, joined to the
// main cycle's steps. It reaches the window only through the hooks it is given.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "internet/internet_switches.h"
#include "internet/ionosphere.h"
#include "internet/web_polls.h"
#include "internet/web_window_hooks.h"
#include "links/cycle_tick.h"
#include "reception/reception_host.h"
#include "reception/reception_state.h"

namespace zeblon::internet {
class WebRequests;
}

namespace zeblon {

// The chat lines of the radio link when it has them, else lines of its own.
class ChatPanelRelay : public reception::ChatPanel {
 public:
  std::function<reception::ChatPanel*()> target;

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
    if (reception::ChatPanel* c = target ? target() : nullptr) return *c;
    return own_;
  }
  reception::ChatLines own_;
};

class InternetWiring {
 public:
  struct Hooks {
    internet::WebWindowHooks web;                 // the requests' window hooks
    internet::SwitchHooks switches;               // the switches' window hooks
    std::function<reception::ChatPanel*()> chat;  // the radio link's chat lines, or null
    std::function<void()> switchesChanged;        // the boxes show the switch state anew
    // The step's clocks: seconds since midnight and HHMM of the local time.
    std::function<double()> clockSeconds;
    std::function<int()> hhmm;
    // InternetPollLimit. The polls switched off at the limit close the chat with
    // MONI 1 internet support (the switches' closeChat), with a radio or without.
    std::function<double()> pollLimitSeconds;
    // The MONI 1 read-out frames back at their standard width (every tick of a scan).
    std::function<void()> restoreMoniOneFrames;
  };

  // `host`: the window's receive host, the same the radio link's receive pass
  // decodes through (the web passes draw, alarm, send acknowledgements "mok" and
  // replies, and open the panels through it).
  InternetWiring(reception::ReceptionState& state, reception::ReceptionHost& host, Hooks hooks,
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
  // scan's step, the polls' time limit, the hourly ionosphere update and the two
  // web polls (the watched station's raw packets, the stations of the area).
  void FillTickHooks(links::TickHooks& hooks);

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
    switchState_.internetPollStart = h_.clockSeconds ? h_.clockSeconds() : 0;
    switchState_.webRequestCount = 0;
  }

  // The polls' time limit: true when the polls were switched off.
  bool PollTimeLimit();

 private:
  void Changed();

  Hooks h_;
  internet::InternetSwitchState switchState_;
  internet::IonoState iono_;
  ChatPanelRelay chat_;
  std::unique_ptr<internet::InternetSwitches> switches_;
  std::unique_ptr<internet::WebRequests> web_;
};

}  // namespace zeblon
