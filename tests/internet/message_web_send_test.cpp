// The web send of chat messages against a local HTTP server: the page's keys
// in their order with every value percent-encoded, sends queued one at a time
// and none cut short, failures reported and shown.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUrlQuery>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "internet/message_web_send.h"
#include "internet/web_polls.h"
#include "internet_fakes.h"
#include "tests/support/run_until.h"
#include "tests/support/tiny_http_server.h"

namespace zeblon::internet {
namespace {

using testing_support::Route;
using testing_support::TinyHttpServer;

using testing_support::RunUntil;

TEST(MessageWebSend, AddressKeysInOrderAndEveryValueEncoded) {
  WebSources s = WebSourcesAt("http://127.0.0.1:8");
  const struct {
    const char* outgoing;
    const char* query;
  } cases[] = {
      {":ab1cd    :hello{01", "fromcall=N0CALL-5&tocall=AB1CD&msg=hello%7B01"},
      {":AB1CD    :fish & chips #1 +2 100%{02",
       "fromcall=N0CALL-5&tocall=AB1CD&msg=fish%20%26%20chips%20%231%20%2B2%20100%25%7B02"},
      {":AB1CD    :a=b&tocall=X{03", "fromcall=N0CALL-5&tocall=AB1CD&msg=a%3Db%26tocall%3DX%7B03"},
      {":AB1CD    :mok12", "fromcall=N0CALL-5&tocall=AB1CD&msg=mok12"},
      {":AB1CD    :\xE4h{04", "fromcall=N0CALL-5&tocall=AB1CD&msg=%E4h%7B04"},
  };
  for (const auto& c : cases) {
    const std::string url = SendMessageUrl(s, "N0CALL-5", c.outgoing);
    EXPECT_EQ(url, std::string("http://127.0.0.1:8/cgi-bin/sendmsg.cgi?") + c.query);
    // Read back as a server reads it: exactly three keys, the message whole.
    const QUrlQuery q(QUrl(QString::fromLatin1(url.c_str())).query(QUrl::FullyEncoded));
    ASSERT_EQ(q.queryItems().size(), 3) << url;
    EXPECT_EQ(q.queryItems()[0].first, "fromcall");
    EXPECT_EQ(q.queryItems()[1].first, "tocall");
    EXPECT_EQ(q.queryItems()[2].first, "msg");
    EXPECT_EQ(QByteArray::fromPercentEncoding(q.queryItemValue("msg", QUrl::FullyEncoded).toLatin1()).toStdString(),
              std::string(c.outgoing).substr(11));
  }
  EXPECT_EQ(ClassifyPage(SendMessageUrl(s, "N0CALL", ":AB1CD    :x"), s), PageKind::SendMessage);
}

struct QueueFixture : ::testing::Test {
  TinyHttpServer server;
  testing::FakeInternetWindow window;
  std::vector<std::string>& events = window.events;
  std::unique_ptr<WebMessageQueue> queue;
  std::vector<std::pair<bool, std::string>> outcomes;

  void SetUp() override {
    queue = std::make_unique<WebMessageQueue>(window, window, window);
    queue->settleMs = 20;
    queue->failureShownMs = 100;
  }
  void Send(const std::string& outgoing) {
    queue->Send(SendMessageUrl(WebSourcesAt(server.Base()), "N0CALL", outgoing),
                [this](bool sent, const std::string& reason) { outcomes.emplace_back(sent, reason); });
  }
};

TEST_F(QueueFixture, SeveralSendsGoOneAtATimeAndNoneIsCutShort) {
  server.routes["/cgi-bin/sendmsg.cgi"] = Route{200, "text/html", "<html>OK</html>", 150};
  Send(":AB1CD    :one{01");
  Send(":AB1CD    :two{02");
  Send(":AB2CD    :three{03");
  EXPECT_TRUE(queue->Busy());
  EXPECT_EQ(queue->Waiting(), 3u);  // the first starts from the event loop
  ASSERT_TRUE(RunUntil([&] { return !queue->Busy(); }));
  ASSERT_EQ(outcomes.size(), 3u);
  for (const auto& o : outcomes) EXPECT_TRUE(o.first) << o.second;
  EXPECT_EQ(server.targets,
            (std::vector<std::string>{"/cgi-bin/sendmsg.cgi?fromcall=N0CALL&tocall=AB1CD&msg=one%7B01",
                                      "/cgi-bin/sendmsg.cgi?fromcall=N0CALL&tocall=AB1CD&msg=two%7B02",
                                      "/cgi-bin/sendmsg.cgi?fromcall=N0CALL&tocall=AB2CD&msg=three%7B03"}));
  EXPECT_EQ(events.front(), "hourglass");
  EXPECT_EQ(events[1], "timer1 off");
  EXPECT_EQ(events[2], std::string("notice ") + kSendingNotice + " " + std::to_string(0xC0C0));
  EXPECT_EQ(events[events.size() - 3], "notice hidden");
  EXPECT_EQ(events[events.size() - 2], "pointer");
  EXPECT_EQ(events.back(), "timer1 on");
  EXPECT_FALSE(queue->ShowsNotice());
}

TEST_F(QueueFixture, FailuresAreReportedAndShown) {
  server.routes["/cgi-bin/sendmsg.cgi"] = Route{500, "text/html", "<html>down</html>"};
  Send(":AB1CD    :one{01");
  ASSERT_TRUE(RunUntil([&] { return outcomes.size() == 1; }));
  EXPECT_FALSE(outcomes[0].first);
  EXPECT_EQ(outcomes[0].second, "HTTP 500");
  EXPECT_TRUE(queue->ShowsNotice());
  EXPECT_NE(std::find(events.begin(), events.end(),
                      "notice CHAT MESSAGE NOT SENT VIA INTERNET (HTTP 500) " + std::to_string(kNoticeRed)),
            events.end());
  ASSERT_TRUE(RunUntil([&] { return !queue->ShowsNotice(); }));  // shown a while, then gone

  // A page that never comes ends at the time limit; the next send still goes out.
  server.routes["/cgi-bin/sendmsg.cgi"] = Route{200, "text/html", "x", 0, true};
  queue->Fetcher().SetTimeoutMs(300);
  Send(":AB1CD    :two{02");
  ASSERT_TRUE(RunUntil([&] { return outcomes.size() == 2; }));
  EXPECT_FALSE(outcomes[1].first);
  EXPECT_EQ(outcomes[1].second, "timeout");
  // No service named: the send fails at once and is told.
  queue->Send("http:///cgi-bin/sendmsg.cgi?fromcall=N0CALL&tocall=AB1CD&msg=x",
              [this](bool sent, const std::string& reason) { outcomes.emplace_back(sent, reason); });
  ASSERT_TRUE(RunUntil([&] { return outcomes.size() == 3 && !queue->Busy(); }));
  EXPECT_FALSE(outcomes[2].first);
}

}  // namespace
}  // namespace zeblon::internet
