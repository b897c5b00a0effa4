// The web requests against a local HTTP server started by the test: the exact
// requests, the pages of each source in their forms (HTML around the text, NUL
// bytes, odd line ends), slow answers, errors, time limits and the size cap, and
// what lands in the stores and the window's ports.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fakes.h"
#include "internet_fakes.h"
#include "internet/web_requests.h"
#include "tests/support/run_until.h"
#include "tests/support/tiny_http_server.h"

namespace zeblon::internet {
namespace {

using reception::testing::FakeHost;
using reception::testing::TempDataFolder;

using testing_support::Route;
using testing_support::TinyHttpServer;

using testing_support::RunUntil;

struct WebFixture : ::testing::Test {
  TinyHttpServer server;
  TempDataFolder folder;
  reception::ReceptionState state;
  FakeHost host;
  reception::ChatLines chat;
  InternetSwitchState switches;
  IonoState iono;
  testing::FakeInternetWindow window;
  std::vector<std::string>& events = window.events;
  std::unique_ptr<WebRequests> web;

  void SetUp() override {
    state.settings.dataFolder = folder.path();
    state.settings.moniOneCall = "AB1CD-9";
    host.now = {2024, 5, 1, 13, 40, 0};
    switches.moniOneSupport = true;
    window.centreLatitude = 52.5;
    window.centreLongitude = 13.25;
    web = std::make_unique<WebRequests>(state, host, chat, switches, iono, window, window, window,
                                        WebSourcesAt(server.Base()));
  }
  bool Has(const std::string& e) const { return std::find(events.begin(), events.end(), e) != events.end(); }
};

TEST_F(WebFixture, Source2PageWithHtmlAndNulBytes) {
  switches.webSource = 1;
  state.stations.LoadTrack({reception::ToSlot("240501 1005 \xFE 5817.960  391.437 AB1CD-9")});
  std::string page =
      "<html><head><title>raw</title><script>var x='<br>';</script></head><body>"
      "<h3>Raw data: AB1CD-9</h3>\r"
      "20240501110000,AB1CD-9>APRS,TCPIP*:!5230.00N/01320.00E&gt;one &amp; two<br>\r"
      "20240501120000,AB1CD-9>APRS,WIDE1-1,qAR,GATE:=5231.00N/01321.00E&gt;three<br>\n"
      "</body></html>";
  page.insert(page.find("20240501120000") + 3, std::string("\0", 1));
  server.routes["/cgi-bin/raw.cgi"] = Route{200, "text/html; charset=ISO-8859-1", page};
  web->StartRawPoll();
  ASSERT_TRUE(RunUntil([&] { return Has("timer1 on"); }));
  ASSERT_EQ(server.targets.size(), 1u);
  EXPECT_EQ(server.targets[0], "/cgi-bin/raw.cgi?call=AB1CD-9&start=4&time=1");
  EXPECT_EQ(switches.lastRawRequestHhmm, 1340);
  EXPECT_TRUE(Has("timer2 60000"));
  EXPECT_TRUE(Has("notice COLLECTING INTERNET DATA (MONI 1) ... 49152"));
  ASSERT_EQ(state.stations.MoniOneCount(), 3);
  EXPECT_EQ(reception::TrimmedColumns(state.stations.MoniOneTrack()[2], 43, 89), "one & two");
  EXPECT_EQ(reception::TrimmedColumns(state.stations.MoniOneTrack()[3], 91, 100), "gate");
  EXPECT_EQ(events.back(), "timer1 on");
}

TEST_F(WebFixture, Source1PlainTextAndPercentEncodedCall) {
  state.settings.userCall = "ME1XY";
  state.settings.logsOn = true;
  server.routes["/aprs/raw"] = Route{200, "text/plain",
                                     "2024-05-01 12:34:56: AB1CD-9>APRS,TCPIP*:!5230.00N/01320.00E>one\n"
                                     "2024-05-01 12:36:00: AB1CD-9>APRS,TCPIP*::ME1XY    :are you there{3\n"
                                     "2024-05-01 12:40:00: AB1CD-9>APRS,TCPIP*:!5231.00N\\01320.00E!help\r"};
  web->StartRawPoll();
  ASSERT_TRUE(RunUntil([&] { return Has("timer1 on"); }));
  EXPECT_EQ(server.targets.at(0), "/aprs/raw?callsign=AB1CD-9&seconds=259200");
  EXPECT_TRUE(Has("notice COLLECTING INTERNET DATA (MONI 1) ... 49344"));  // olive for source 1
  EXPECT_EQ(state.stations.MoniOneCount(), 2);
  EXPECT_EQ(state.stations.MoniAllCount(), 2);
  // The message: in the chat, in the chat log, answered; the emergency: in _ALARM_.TXT.
  EXPECT_EQ(chat.text[7].substr(0, 35), "AB1CD-9  :ME1XY    :are you there{3");
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0], ":AB1CD-9  :mok3");
  EXPECT_NE(folder.read("_CHATLOG.TXT").find("AB1CD-9  :ME1XY    :are you there{3"), std::string::npos);
  EXPECT_NE(folder.read("_ALARM_.TXT").find("STATION : AB1CD-9\r\nTIME    : 2024-05-01 12:40\r\n"), std::string::npos);
  EXPECT_EQ(host.emergencyWindows, 1);
  EXPECT_EQ(folder.read("_LOGL_.TXT").size(), 2 * 122u);
  // Another call: percent-encoded in the request.
  state.settings.moniOneCall = "A/B 1";
  state.stations.LoadTrack({});
  events.clear();
  web->RequestStationRawPackets();
  ASSERT_TRUE(RunUntil([&] { return Has("timer1 on"); }));
  EXPECT_EQ(server.targets.at(1), "/aprs/raw?callsign=A%2FB%201&seconds=259200");
}

TEST_F(WebFixture, UnansweredPollIsEndedByTheTimeLimit) {
  server.routes["/aprs/raw"] = Route{200, "text/plain", "", 0, true};
  web->PageLoader().SetTimeoutMs(300);
  std::string error;
  web->PageLoader().onNavigateError = [&](const std::string& url, const std::string& reason) {
    error = reason;
    web->NavigateError(url);
  };
  web->StartRawPoll();
  ASSERT_TRUE(RunUntil([&] { return !error.empty(); }, 3000));
  EXPECT_EQ(error, "timeout");
  EXPECT_FALSE(web->PageLoader().Busy());
  // No page: only Timer2 (armed for 60 s) switches Timer1 on again.
  EXPECT_FALSE(Has("timer1 on"));
  EXPECT_TRUE(Has("timer2 60000"));
}

TEST_F(WebFixture, AreaQuery) {
  auto station = [](const std::string& call, const std::string& when, const std::string& lat) {
    return "{\"callsign\":\"" + call + "\",\"ssid\":\"\",\"class\":\"a\",\"type\":\"l\",\"posreceived\":\"" + when +
           "\",\"lat\":" + lat +
           ",\"lon\":13.25,\"course\":0,\"speed\":0,\"symbolcode\":\"-\",\"symboltable\":\"/\","
           "\"comment\":\"padding so that the last station lies before the last hundred characters\"}";
  };
  server.routes["/aprs/area"] = Route{200, "application/json",
                                      "[" + station("AB1CD", "2024-05-01 13:30:00", "52.5") + "," +
                                          station("EF2GH", "2024-05-01 13:31:00", "52.6") + "]",
                                      150};
  switches.areaSupport = true;
  EXPECT_TRUE(web->AreaPollDue(1340));
  web->StartAreaPoll();
  ASSERT_TRUE(RunUntil([&] { return Has("timer1 on"); }));
  EXPECT_EQ(server.targets.at(0), "/aprs/area?lat=52.5&lon=13.25&distance=100000&seconds=3600");
  EXPECT_TRUE(Has("notice COLLECTING INTERNET DATA (MONI ALL) ... 16744672"));
  EXPECT_EQ(state.stations.MoniAllCount(), 2);
  EXPECT_EQ(switches.lastAreaRequestHhmm, 1340);
  EXPECT_FALSE(web->AreaPollDue(1343));
  EXPECT_TRUE(web->AreaPollDue(1344));
  // A failing service: the query ends, Timer1 on.
  server.routes["/aprs/area"] = Route{500, "text/html", "<html>error</html>"};
  events.clear();
  web->StartAreaPoll();
  ASSERT_TRUE(RunUntil([&] { return Has("timer1 on"); }));
  EXPECT_EQ(state.stations.MoniAllCount(), 2);
}

TEST_F(WebFixture, IonosphereUpdateWithFallback) {
  const std::string bulletin =
      std::string(300, '#') + "\nB. Solar: SSN 142 x\nA. Middle Latitude 2\nB. Estimated Planetary 3\nEnd\n";
  server.routes["/text/sgas.txt"] = Route{200, "text/plain", bulletin};
  iono.autoUpdate = true;
  EXPECT_TRUE(web->IonoUpdateDue(5000));
  web->StartHourlyIonoUpdate(5000);
  ASSERT_TRUE(RunUntil([&] { return iono.status.find("UPDATED") != std::string::npos; }));
  // The magnetogram page was missing (404): the bulletin gave both values.
  EXPECT_EQ(iono.status, " UPDATED (2) 13:40:00");
  EXPECT_DOUBLE_EQ(iono.sunspotNumber, 142);
  EXPECT_DOUBLE_EQ(iono.kIndex, 3);
  EXPECT_FALSE(web->IonoUpdateDue(5100));
  // With the magnetogram page: both values from it.
  server.routes["/magnetogram/index.html"] =
      Route{200, "text/html",
            "<html><body><table><tr><td>Kiel 3-hour K:</td><td>2</td></tr><tr><td>Kiel current K</td><td> 3</td>"
            "</tr></table><p>Sunspot number 77</p><p>" +
                std::string(300, '.') + "</p></body></html>"};
  iono.status.clear();
  web->StartIonoUpdateByUser();
  ASSERT_TRUE(RunUntil([&] { return iono.status.find("UPDATED") != std::string::npos; }));
  EXPECT_EQ(iono.status, " UPDATED (1) 13:40:00");
  EXPECT_DOUBLE_EQ(iono.kIndex, 2.5);
  EXPECT_DOUBLE_EQ(iono.sunspotNumber, 77);
}

TEST_F(WebFixture, BulletinWithoutPlanetaryLineResumesTheCycle) {
  server.routes["/text/sgas.txt"] = Route{200, "text/plain", std::string(300, '#') + "\nB. Solar: SSN 142 x\nEnd\n"};
  web->StartIonoUpdateByUser();
  ASSERT_TRUE(RunUntil([&] { return iono.status == "UPDATE FAILED" && Has("timer1 on"); }));
  EXPECT_DOUBLE_EQ(iono.sunspotNumber, 142);
  EXPECT_FALSE(Has("settings"));
}

TEST_F(WebFixture, AMagnetogramPageThatNeverEndsGivesWayToTheBulletin) {
  // The main cycle stops the page loader at every tick; the page's time limit,
  // counted from the request, still ends it, and the bulletin is asked.
  server.routes["/text/sgas.txt"] =
      Route{200, "text/plain",
            std::string(300, '#') + "\nB. Solar: SSN 142 x\nA. Middle Latitude 2\nB. Estimated Planetary 3\nEnd\n"};
  const std::string page = "<html><body>" + std::string(4000, '.') + "</body></html>";
  struct Case {
    const char* what;
    testing_support::EndlessRoute magnetogram;
  };
  const Case cases[] = {
      {"a byte every 50 ms", {page, 50, ""}},
      {"10^20 bytes declared, trickled", {page, 50, "100000000000000000000"}},
      {"10^20 bytes declared, a short page sent", {page, 0, "100000000000000000000"}},
      {"a longer page declared than sent", {page, 0, "1000000"}},
  };
  web->PageLoader().SetTimeoutMs(1500);
  double clock = 5000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server.endlessRoutes["/magnetogram/index.html"] = c.magnetogram;
    server.targets.clear();
    iono.status.clear();
    QElapsedTimer since;
    since.start();
    web->StartHourlyIonoUpdate(clock += 4000);
    // Ticks every 200 ms.
    for (int tick = 0; tick < 40 && iono.status.find("UPDATED") == std::string::npos; ++tick) {
      web->StopPageLoader();
      RunUntil([&] { return iono.status.find("UPDATED") != std::string::npos; }, 200);
    }
    EXPECT_EQ(iono.status, " UPDATED (2) 13:40:00");
    EXPECT_LT(since.elapsed(), 4000);
    ASSERT_FALSE(server.targets.empty());
    EXPECT_EQ(server.targets.back(), "/text/sgas.txt");
  }
  // Any other load is stopped by the tick at once, as before.
  server.routes["/aprs/raw"] = Route{200, "text/plain", "", 0, true};
  web->RequestStationRawPackets();
  ASSERT_TRUE(web->PageLoader().Busy());
  web->StopPageLoader();
  EXPECT_FALSE(web->PageLoader().Busy());
}

TEST(PageFetcher, SizeCapSlowAnswersAndErrors) {
  TinyHttpServer server;
  server.routes["/big"] = Route{200, "text/plain", std::string(200000, 'x'), 0};
  server.routes["/slow"] = Route{200, "text/plain", "line one\nline two", 300};
  server.routes["/error"] = Route{500, "text/plain", "broken"};
  platform::PageFetcher fetcher;
  std::string text, error;
  int pages = 0;
  fetcher.onPageComplete = [&](const std::string&, const std::string& t) {
    text = t;
    ++pages;
  };
  fetcher.onNavigateError = [&](const std::string&, const std::string& reason) { error = reason; };
  fetcher.SetSizeCap(10000);
  fetcher.Navigate(server.Base() + "/big");
  ASSERT_TRUE(RunUntil([&] { return pages == 1; }));
  EXPECT_EQ(text.size(), 10000u);
  fetcher.Navigate(server.Base() + "/slow");
  ASSERT_TRUE(RunUntil([&] { return pages == 2; }));
  EXPECT_EQ(text, "line one\r\nline two");
  fetcher.Navigate(server.Base() + "/error");
  ASSERT_TRUE(RunUntil([&] { return !error.empty(); }));
  EXPECT_EQ(error, "HTTP 500");
  // A stopped load never arrives.
  fetcher.Navigate(server.Base() + "/slow");
  fetcher.Stop();
  RunUntil([] { return false; }, 600);
  EXPECT_EQ(pages, 2);
  // An address without a host fails at once.
  error.clear();
  fetcher.Navigate("http:///aprs/raw");
  EXPECT_EQ(error, "no host");
}

TEST(PageFetcher, InnerTextOfPages) {
  EXPECT_EQ(platform::PageInnerText("<p>a&lt;b&#62;c</p><!-- x --><pre>1  2\n3</pre>x\n  y", true),
            "\r\na<b>c\r\n\r\n1  2\r\n3\r\nx y");
  EXPECT_EQ(platform::PageInnerText("a\rb\nc\r\nd", false), "a\r\nb\r\nc\r\nd");
}

}  // namespace
}  // namespace zeblon::internet
