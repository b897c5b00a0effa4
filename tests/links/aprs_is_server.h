// A small APRS-IS line server for tests, on 127.0.0.1 and a free port: greets
// with a comment line, answers the login line ("# logresp CALL verified, server
// TEST", unverified, split over two writes, or nothing) and records every byte
// that its clients send. Runs on the test's own event loop.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "links/aprs_is_link.h"

namespace zeblon::links::test {

// Lets events run for `ms` milliseconds.
inline void PumpEvents(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
}

// Lets events run until `done` or `ms` milliseconds have passed.
inline bool PumpUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return done();
}

class AprsIsLineServer {
 public:
  enum class Answer { Verified, VerifiedSplit, Unverified, Silent };

  explicit AprsIsLineServer(Answer answer) : answer_(answer) {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* c = server_.nextPendingConnection()) Accept(c);
    });
  }
  ~AprsIsLineServer() {
    for (QTcpSocket* c : clients_) c->abort();
    server_.close();
  }

  bool Listening() const { return server_.isListening(); }
  quint16 Port() const { return server_.serverPort(); }
  int Connections() const { return connections_; }
  // Every byte the clients sent, in order.
  const std::string& Received() const { return received_; }
  // The whole lines received (without CR LF): from all connections, or from
  // connection `n` (1 the first).
  std::vector<std::string> Lines(int n = 0) const {
    const std::string& text = n == 0 ? received_ : perConnection_.at(static_cast<std::size_t>(n - 1));
    std::vector<std::string> out;
    std::size_t a = 0;
    for (std::size_t e; (e = text.find("\r\n", a)) != std::string::npos; a = e + 2) {
      out.push_back(text.substr(a, e - a));
    }
    return out;
  }
  // The server ends every link.
  void DropClients() {
    for (QTcpSocket* c : clients_) c->disconnectFromHost();
  }

 private:
  void Accept(QTcpSocket* c) {
    ++connections_;
    const std::size_t index = perConnection_.size();
    perConnection_.emplace_back();
    c->setParent(&server_);
    clients_.push_back(c);
    c->write("# aprsc 2.1.10-test\r\n");
    auto pending = std::make_shared<std::string>();
    QObject::connect(c, &QTcpSocket::readyRead, c, [this, c, pending, index] {
      const QByteArray data = c->readAll();
      received_.append(data.constData(), static_cast<std::size_t>(data.size()));
      perConnection_[index].append(data.constData(), static_cast<std::size_t>(data.size()));
      pending->append(data.constData(), static_cast<std::size_t>(data.size()));
      for (std::size_t e; (e = pending->find("\r\n")) != std::string::npos;) {
        const std::string line = pending->substr(0, e);
        pending->erase(0, e + 2);
        if (line.rfind("user ", 0) == 0) SendAnswer(c, line.substr(5, line.find(' ', 5) - 5));
      }
    });
  }
  void SendAnswer(QTcpSocket* c, const std::string& call) {
    switch (answer_) {
      case Answer::Verified: c->write(("# logresp " + call + " verified, server TEST\r\n").c_str()); break;
      case Answer::VerifiedSplit: {
        c->write("# logresp ");
        c->flush();
        const std::string rest = call + " verified, server TEST\r\n# filter b/ZZ9ZZZ active\r\n";
        QTimer::singleShot(30, c, [c, rest] { c->write(rest.c_str()); });
        break;
      }
      case Answer::Unverified: c->write(("# logresp " + call + " unverified, server TEST\r\n").c_str()); break;
      case Answer::Silent: break;
    }
  }

  Answer answer_;
  QTcpServer server_;
  std::vector<QTcpSocket*> clients_;
  int connections_ = 0;
  std::string received_;
  std::vector<std::string> perConnection_;
};

// The link's settings for a login of `call` at `server` with the IGate on.
inline AprsIsSettings SettingsFor(const AprsIsLineServer& server, reception::InterfaceKind kind,
                                  const std::string& call) {
  AprsIsSettings s;
  s.interfaceKind = kind;
  s.igateOn = true;
  s.server = "127.0.0.1";
  s.port = std::to_string(server.Port());
  s.userCall = call;
  s.passcode = ComputeAprsIsPasscode(call);
  return s;
}

// Ticks the link, with the events between ticks, until its login counts.
inline bool LogIn(AprsIsLink& link, const AprsIsSettings& s, int ms = 5000) {
  std::string title = "ZEBLON";
  return PumpUntil(
      [&] {
        link.Upkeep(s, title);
        PumpEvents(30);
        return link.Verified();
      },
      ms);
}

}  // namespace zeblon::links::test
