// A small packet engine of the test's own on 127.0.0.1 (a free port): speaks
// the engine's 36-byte header frames, answers the registration, records what it
// gets and sends what the test gives it, also a flood of frames paced by what
// the client takes, so that the test's own memory stays small.
#pragma once

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "links/agw_frame.h"

namespace zeblon::testing_support {

class AgwEngine {
 public:
  char registrationAnswer = '\x01';
  bool answerRegistration = true;
  std::vector<links::AgwFrame> received;

  AgwEngine() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        client_ = s;
        QObject::connect(s, &QTcpSocket::readyRead, [this, s] { OnReadyRead(s); });
        QObject::connect(s, &QTcpSocket::bytesWritten, [this, s](qint64) {
          if (s == client_) PumpFlood();
        });
      }
    });
  }
  int port() const { return server_.serverPort(); }

  void Send(const std::string& bytes) {
    if (client_ == nullptr) return;
    client_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    client_->flush();
  }
  // A monitor frame of the kind with the data as it stands (for a text the
  // engine ends CR NUL, give it so).
  void SendMonitor(const std::string& data, char kind = 'U') { Send(MonitorFrame(data, kind)); }
  static std::string MonitorFrame(const std::string& data, char kind = 'U') {
    return *links::BuildAgwFrame(kind, 0, "SRC", "APRS", data);
  }
  // Sends `frame` (whole frames as bytes) `count` times, a batch whenever the
  // client has taken most of the last one.
  void Flood(std::string frame, std::uint64_t count) {
    floodFrame_ = std::move(frame);
    floodLeft_ = count;
    PumpFlood();
  }
  std::uint64_t FloodLeft() const { return floodLeft_; }

  void DropClient() {
    if (client_) client_->abort();
    client_ = nullptr;
  }
  void Close() {
    DropClient();
    server_.close();
  }
  bool Listen(int port) { return server_.listen(QHostAddress::LocalHost, static_cast<quint16>(port)); }
  bool HasClient() const { return client_ != nullptr; }
  int Count(char kind) const {
    int n = 0;
    for (const auto& f : received) n += f.kind == kind;
    return n;
  }

 private:
  void OnReadyRead(QTcpSocket* s) {
    const QByteArray b = s->readAll();
    reader_.Feed(std::string_view(b.constData(), static_cast<std::size_t>(b.size())));
    while (reader_.HasFrame()) {
      links::AgwFrame f = reader_.Take();
      if (f.kind == 'X' && answerRegistration) {
        // The answer split in two arrivals, as a stream may deliver it.
        const std::string a = *links::BuildAgwFrame('X', 0, f.callFrom, "", std::string(1, registrationAnswer));
        s->write(a.data(), 20);
        s->flush();
        s->write(a.data() + 20, static_cast<qint64>(a.size() - 20));
      }
      received.push_back(std::move(f));
    }
  }
  void PumpFlood() {
    constexpr qint64 kLowWater = 256 * 1024;
    if (client_ == nullptr || floodLeft_ == 0 || client_->bytesToWrite() > kLowWater) return;
    const std::uint64_t batch = std::min<std::uint64_t>(floodLeft_, kLowWater / (floodFrame_.size() + 1) + 1);
    std::string bytes;
    bytes.reserve(batch * floodFrame_.size());
    for (std::uint64_t i = 0; i < batch; ++i) bytes += floodFrame_;
    floodLeft_ -= batch;
    client_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  }

  QTcpServer server_;
  QTcpSocket* client_ = nullptr;
  links::AgwFrameReader reader_;
  std::string floodFrame_;
  std::uint64_t floodLeft_ = 0;
};

}  // namespace zeblon::testing_support
