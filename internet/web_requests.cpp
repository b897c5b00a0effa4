#include "internet/web_requests.h"

#include <cmath>

#include "internet/area_stations.h"

namespace zeblon::internet {
namespace {

std::string TwoDigits(int n) {
  std::string t(2, '0');
  t[0] = static_cast<char>('0' + (n / 10) % 10);
  t[1] = static_cast<char>('0' + n % 10);
  return t;
}

}  // namespace

WebRequests::WebRequests(reception::ReceptionState& state, reception::ReceptionHost& host, reception::ChatPanel& chat,
                         InternetSwitchState& switches, IonoState& iono, links::CycleControl& cycle,
                         InternetControls& controls, InternetWindow& window, WebSources sources)
    : st_(state),
      host_(host),
      chat_(chat),
      sw_(switches),
      iono_(iono),
      cycle_(cycle),
      controls_(controls),
      window_(window),
      sources_(std::move(sources)) {
  pageLoader_.onPageComplete = [this](const std::string& url, const std::string& text) { PageComplete(url, text); };
  pageLoader_.onNavigateError = [this](const std::string& url, const std::string&) { NavigateError(url); };
  areaLoader_.onPageComplete = [this](const std::string&, const std::string& text) { AreaAnswer(text); };
  areaLoader_.onNavigateError = [this](const std::string&, const std::string&) {
    sw_.lastAreaRequestHhmm = HhmmOf(host_.Now());
    EndAreaQuery();
  };
}

std::string WebRequests::Clock() const {
  const reception::LocalTime t = host_.Now();
  return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

bool WebRequests::RawPollDue(int hhmm) const {
  if (!sw_.moniOneSupport) return false;
  if (sw_.internetScanBusy) return true;
  const int d = sw_.areaSupport ? 2 : 1;
  return hhmm / d != sw_.lastRawRequestHhmm / d;
}

bool WebRequests::AreaPollDue(int hhmm) const {
  return sw_.areaSupport && !sw_.internetScanBusy && hhmm / 4 != sw_.lastAreaRequestHhmm / 4;
}

bool WebRequests::IonoUpdateDue(double clockSeconds) const {
  return iono_.autoUpdate && std::fabs(clockSeconds - lastIonoRequest_) > 3600;
}

void WebRequests::StartRawPoll() {
  cycle_.StopCycle();
  window_.ShowBusy(true);
  controls_.ShowNotice("COLLECTING INTERNET DATA (MONI 1) ...", kNoticeGreen);
  window_.PumpEvents();
  RequestStationRawPackets();
}

void WebRequests::StartAreaPoll() {
  cycle_.StopCycle();
  window_.ShowBusy(true);
  controls_.ShowNotice("COLLECTING INTERNET DATA (MONI ALL) ...", kNoticeViolet);
  window_.PumpEvents();
  RequestAreaStations();
}

void WebRequests::StartHourlyIonoUpdate(double clockSeconds) {
  iono_.status = "UPDATING...";
  controls_.ShowIono(IonoOutcome{});
  lastIonoRequest_ = clockSeconds;
  RequestMagnetogramPage();
}

void WebRequests::StartIonoUpdateByUser() {
  iono_.status = "UPDATING...";
  controls_.ShowIono(IonoOutcome{});
  cycle_.StopCycle();
  cycle_.ArmPause(6000);
  iono_.sunspotPending = iono_.kIndexPending = true;
  RequestMagnetogramPage();
}

void WebRequests::StopPageLoader() {
  // Stopped by the tick, an ionosphere page that trickles or never ends would
  // never fail, and the bulletin never be asked: its time limit ends it.
  if (pageLoader_.Busy()) {
    const PageKind kind = ClassifyPage(pageLoader_.LocationUrl(), sources_);
    if (kind == PageKind::Iono1 || kind == PageKind::Iono2) return;
  }
  pageLoader_.Stop();
}

void WebRequests::RequestStationRawPackets() {
  controls_.ShowNotice("COLLECTING INTERNET DATA (MONI 1) ...", sw_.webSource == 0 ? kNoticeOlive : kNoticeGreen);
  window_.PumpEvents();
  const int count = st_.stations.MoniOneCount();
  const std::string newest = count > 0 ? st_.stations.MoniOneTrack()[static_cast<std::size_t>(count)] : std::string();
  const reception::LocalTime now = host_.Now();
  lastUrl_ = RawPacketsUrl(sources_, sw_.webSource, st_.settings.moniOneCall, PollHours(newest, now));
  sw_.lastRawRequestHhmm = HhmmOf(now);
  ++sw_.webRequestCount;
  cycle_.ArmPause(60000);
  pageLoader_.Navigate(lastUrl_);
}

void WebRequests::RequestAreaStations() {
  double lat = 0, lon = 0;
  controls_.MapCentre(lat, lon);
  lastUrl_ = AreaUrl(sources_, lat, lon);
  areaLoader_.Navigate(lastUrl_);
}

void WebRequests::RequestMagnetogramPage() {
  lastUrl_ = sources_.ionoUrl1;
  pageLoader_.Navigate(lastUrl_.empty() ? std::string("http:///magnetogram/index.html") : lastUrl_);
}

void WebRequests::RequestSpaceWeatherBulletin() {
  lastUrl_ = sources_.ionoUrl2;
  if (lastUrl_.empty()) {
    ParseIonoPage(false, {});  // no bulletin to ask: the update fails
    return;
  }
  pageLoader_.Navigate(lastUrl_);
}

void WebRequests::PageComplete(const std::string& url, const std::string& text) {
  switch (ClassifyPage(url, sources_)) {
    case PageKind::Blank:
    case PageKind::Other: return;
    case PageKind::RawSource2: {
      const std::string lines = RawLinesFromSource2Page(text, st_.settings.moniOneCall);
      FinishRawPage(!lines.empty(), lines);
      return;
    }
    case PageKind::RawSource1: {
      const std::string lines = RawLinesFromSource1Page(text);
      FinishRawPage(!lines.empty(), lines);
      return;
    }
    case PageKind::SendMessage:
      window_.PumpEvents();
      FinishRawPage(false, {});
      return;
    case PageKind::Iono1: ParseIonoPage(true, text); return;
    case PageKind::Iono2: ParseIonoPage(false, text); return;
  }
}

void WebRequests::NavigateError(const std::string& url) {
  const PageKind kind = ClassifyPage(url, sources_);
  if (kind == PageKind::Iono1 || (sources_.ionoUrl1.empty() && url.find("/magnetogram/") != std::string::npos))
    RequestSpaceWeatherBulletin();
  else if (kind == PageKind::Iono2)
    ParseIonoPage(false, {});
}

void WebRequests::FinishRawPage(bool decode, const std::string& lines) {
  if (decode) {
    std::string webRawLines = lines;
    PassOptions options;
    options.scanBusy = sw_.internetScanBusy;
    options.areaSupportOn = sw_.areaSupport;
    InternetPass pass(st_, host_, chat_, controls_, window_);
    pass.Run(webRawLines, options);
  }
  window_.ShowBusy(false);
  controls_.HideNotice();
  cycle_.StartCycle();
}

void WebRequests::AreaAnswer(const std::string& text) {
  sw_.lastAreaRequestHhmm = HhmmOf(host_.Now());
  if (text.size() > 100) {
    ParseAreaStations(text, st_, host_, controls_, window_);
  }
  EndAreaQuery();
}

void WebRequests::EndAreaQuery() {
  controls_.HideNotice();
  window_.ShowBusy(false);
  cycle_.StartCycle();
}

void WebRequests::ParseIonoPage(bool magnetogram, const std::string& text) {
  lastUrl_ = "about:blank";
  pageLoader_.Navigate(lastUrl_);
  const IonoOutcome out =
      magnetogram ? ParseMagnetogramPage(text, iono_, Clock()) : ParseSpaceWeatherBulletin(text, iono_, Clock());
  controls_.ShowIono(out);
  for (int i = 0; i < out.settingsWrites; ++i) controls_.WriteSettings();
  // A value shown switches Timer1 off through the box's change handler; a parse
  // that saves nothing must switch it on itself.
  if ((out.sunspotTaken || out.kIndexTaken) && out.settingsWrites == 0) cycle_.StartCycle();
  if (out.requestBulletin) RequestSpaceWeatherBulletin();
}

}  // namespace zeblon::internet
