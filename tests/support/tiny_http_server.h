// A small HTTP server on 127.0.0.1 for the tests of the web requests: it answers
// by path with recorded pages (slow, failing or never, as a route says) and
// keeps every request target it was asked for.
#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zeblon::testing_support {

// One answer of the server.
struct Route {
  int status = 200;
  std::string contentType = "text/html";
  std::string body;
  int delayMs = 0;
  bool never = false;  // no answer at all
};

// An answer that never ends: the head at once, with a Content-Length of
// `declaredLength` (the body's when empty), then the body a byte every
// `byteEveryMs` (all at once for 0); the server never closes the connection.
struct EndlessRoute {
  std::string body;
  int byteEveryMs = 0;
  std::string declaredLength;
};

// An HTTP server on 127.0.0.1 that answers by path and keeps every request target.
class TinyHttpServer {
 public:
  TinyHttpServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { Accept(); });
  }
  ~TinyHttpServer() {
    for (QTcpSocket* s : open_) s->abort();
  }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(server_.serverPort()); }
  std::map<std::string, Route> routes;
  std::map<std::string, EndlessRoute> endlessRoutes;  // before routes
  std::vector<std::string> targets;

 private:
  void Accept() {
    while (QTcpSocket* s = server_.nextPendingConnection()) {
      open_.push_back(s);
      auto buffer = std::make_shared<std::string>();
      QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
        const QByteArray b = s->readAll();
        buffer->append(b.constData(), static_cast<std::size_t>(b.size()));
        if (buffer->find("\r\n\r\n") == std::string::npos) return;
        const std::size_t sp1 = buffer->find(' '), sp2 = buffer->find(' ', sp1 + 1);
        const std::string target = buffer->substr(sp1 + 1, sp2 - sp1 - 1);
        buffer->clear();
        targets.push_back(target);
        const auto endless = endlessRoutes.find(target.substr(0, target.find('?')));
        if (endless != endlessRoutes.end()) {
          SendEndless(s, endless->second);
          return;
        }
        const auto it = routes.find(target.substr(0, target.find('?')));
        Route r = it == routes.end() ? Route{404, "text/html", "<html>not found</html>"} : it->second;
        if (r.never) return;
        const std::string reply = "HTTP/1.1 " + std::to_string(r.status) + " X\r\nContent-Type: " + r.contentType +
                                  "\r\nContent-Length: " + std::to_string(r.body.size()) +
                                  "\r\nConnection: close\r\n\r\n" + r.body;
        QTimer::singleShot(r.delayMs, s, [s, reply] {
          s->write(reply.data(), static_cast<qint64>(reply.size()));
          s->disconnectFromHost();
        });
      });
    }
  }
  static void SendEndless(QTcpSocket* s, const EndlessRoute& r) {
    const std::string head = "HTTP/1.1 200 X\r\nContent-Type: text/html\r\nContent-Length: " +
                             (r.declaredLength.empty() ? std::to_string(r.body.size()) : r.declaredLength) + "\r\n\r\n";
    if (r.byteEveryMs <= 0) {
      const std::string all = head + r.body;
      s->write(all.data(), static_cast<qint64>(all.size()));
      return;
    }
    s->write(head.data(), static_cast<qint64>(head.size()));
    auto* timer = new QTimer(s);
    auto left = std::make_shared<std::string>(r.body);
    QObject::connect(timer, &QTimer::timeout, s, [s, left] {
      if (left->empty()) return;
      s->write(left->data(), 1);
      left->erase(0, 1);
    });
    timer->start(r.byteEveryMs);
  }
  QTcpServer server_;
  std::vector<QTcpSocket*> open_;
};

}  // namespace zeblon::testing_support
