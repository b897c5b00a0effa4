// The web requests of the main window: the raw-packet poll of the MONI 1
// station (the page loader that also routes the ionosphere pages), the area
// query, and the ionosphere update, with their page receivers. It works on the
// stores and switch states it is given and reaches the window through its ports.
//
// The main cycle calls, in its tick:
//   - IonoUpdateDue(clockSeconds) -> StartHourlyIonoUpdate(clockSeconds), ending the tick;
//   - RawPollDue(hhmm)            -> StartRawPoll(), ending the tick;
//   - AreaPollDue(hhmm)           -> StartAreaPoll(), ending the tick;
//   - StopPageLoader() at the start of every tick (WebBrowser1.Stop); an
//     ionosphere page is left to its own time limit, counted from its request,
//     so that a page that never ends still leads to the bulletin.
#pragma once

#include <memory>
#include <string>

#include "internet/internet_pass.h"
#include "internet/internet_ports.h"
#include "internet/internet_switches.h"
#include "internet/ionosphere.h"
#include "internet/web_polls.h"
#include "links/cycle_control.h"
#include "platform/page_fetcher.h"

namespace zeblon::internet {

class WebRequests {
 public:
  WebRequests(reception::ReceptionState& state, reception::ReceptionHost& host, reception::ChatPanel& chat,
              InternetSwitchState& switches, IonoState& iono, links::CycleControl& cycle, InternetControls& controls,
              InternetWindow& window, WebSources sources = WebSourcesFromEnvironment());

  // The due tests of the main cycle.
  bool RawPollDue(int hhmm) const;
  bool AreaPollDue(int hhmm) const;
  bool IonoUpdateDue(double clockSeconds) const;

  // The polls with the main cycle's preparation (Timer1 off, hourglass, notice).
  void StartRawPoll();
  void StartAreaPoll();
  void StartHourlyIonoUpdate(double clockSeconds);

  // The requests themselves.
  void RequestStationRawPackets();
  void RequestAreaStations();
  void RequestMagnetogramPage();
  void RequestSpaceWeatherBulletin();
  // A right click on the distance-circle box with automatic update: both values wanted.
  void StartIonoUpdateByUser();

  void StopPageLoader();

  // The page receivers (the loaders call them; tests may too).
  void PageComplete(const std::string& url, const std::string& text);
  void NavigateError(const std::string& url);
  void AreaAnswer(const std::string& text);

  platform::PageFetcher& PageLoader() { return pageLoader_; }
  platform::PageFetcher& AreaLoader() { return areaLoader_; }
  const WebSources& Sources() const { return sources_; }
  const std::string& LastUrl() const { return lastUrl_; }

 private:
  void FinishRawPage(bool decode, const std::string& lines);
  void EndAreaQuery();
  void ParseIonoPage(bool magnetogram, const std::string& text);
  std::string Clock() const;

  reception::ReceptionState& st_;
  reception::ReceptionHost& host_;
  reception::ChatPanel& chat_;
  InternetSwitchState& sw_;
  IonoState& iono_;
  links::CycleControl& cycle_;
  InternetControls& controls_;
  InternetWindow& window_;
  WebSources sources_;
  platform::PageFetcher pageLoader_;  // WebBrowser1
  platform::PageFetcher areaLoader_;  // Inet1
  std::string lastUrl_;
  double lastIonoRequest_ = 0;
};

}  // namespace zeblon::internet
