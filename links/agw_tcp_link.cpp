#include "links/agw_tcp_link.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpSocket>

#include "platform/paths.h"
#include "platform/wait.h"
#include "settings/text_files.h"

namespace zeblon::links {

AgwTcpLink::AgwTcpLink(QObject* parent) : QObject(parent), socket_(std::make_unique<QTcpSocket>()) {
  connect(socket_.get(), &QTcpSocket::connected, this, [this] { OnConnected(); });
  connect(socket_.get(), &QTcpSocket::readyRead, this, [this] { OnReadyRead(); });
  connect(socket_.get(), &QTcpSocket::disconnected, this, [this] { OnSocketGone(); });
  connect(socket_.get(), &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) { OnSocketGone(); });
  phaseLimit_.setSingleShot(true);
  phaseLimit_.setTimerType(Qt::PreciseTimer);
  connect(&phaseLimit_, &QTimer::timeout, this, [this] { EndOverdueAttempt(); });
  sinceDown_.start();
}

AgwTcpLink::~AgwTcpLink() {
  socket_->disconnect(this);
  socket_->abort();
}

void AgwTcpLink::StartAttempt() {
  socket_->abort();
  reader_.Clear();
  connected_ = false;
  state_ = State::Connecting;
  phase_.start();
  StartPhaseLimit(limits_.connectMs);
  socket_->connectToHost(QString::fromStdString(host_), static_cast<quint16>(port_));
}

void AgwTcpLink::OnConnected() {
  if (state_ != State::Connecting) return;
  connected_ = true;
  const auto frame = BuildAgwFrame('X', radioPort_, txCall_, "APRS");
  if (!frame || !Write(*frame)) {
    GoDown(false);
    return;
  }
  state_ = State::Registering;
  phase_.start();
  StartPhaseLimit(limits_.registerMs);
}

void AgwTcpLink::StartPhaseLimit(int ms) {
  // A little past the limit, so that the phase's own clock has run out when it fires.
  phaseLimit_.start(ms + 1);
}

void AgwTcpLink::EndOverdueAttempt() {
  const int limit = state_ == State::Connecting    ? limits_.connectMs
                    : state_ == State::Registering ? limits_.registerMs
                                                   : -1;
  if (limit < 0) return;
  const qint64 elapsed = phase_.elapsed();
  if (elapsed > limit) {
    GoDown(false);
  } else if (!phaseLimit_.isActive()) {
    StartPhaseLimit(static_cast<int>(limit - elapsed));  // a timer that fired early
  }
}

void AgwTcpLink::OnReadyRead() {
  const QByteArray bytes = socket_->readAll();
  if (!reader_.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    // A length field no engine sends: the stream is out of step.
    GoDown(state_ == State::Up);
    return;
  }
  while (reader_.HasFrame()) {
    AgwFrame f = reader_.Take();
    if (f.kind == 'X' && state_ == State::Registering) {
      // The registration is read from its own frame, however the stream cut it.
      if (!f.data.empty() && f.data[0] == '\x01') {
        state_ = State::Up;
        phaseLimit_.stop();
        const auto monitor = BuildAgwFrame('m', radioPort_, txCall_, "APRS");
        if (!monitor || !Write(*monitor)) {
          GoDown(false);
          return;
        }
        if (wasUp_) {
          ++reconnections_;
          if (lostReported_ && status_) status_(kAgwLinkRestored);
        }
        lostReported_ = false;
        wasUp_ = true;
        if (up_down_) up_down_(true);
      } else {
        GoDown(false);
        return;
      }
    } else if (state_ == State::Up && IsAgwMonitorKind(f.kind) && sink_) {
      sink_(AgwMonitorText(std::move(f.data)));
    }
  }
}

void AgwTcpLink::OnSocketGone() {
  if (state_ == State::Down) return;
  GoDown(state_ == State::Up);
}

void AgwTcpLink::GoDown(bool lost) {
  const bool was_up = state_ == State::Up;
  const bool attempt = state_ == State::Connecting || state_ == State::Registering;
  state_ = State::Down;
  phaseLimit_.stop();
  sinceDown_.start();
  socket_->abort();
  reader_.Clear();
  if (lost) {
    if (!lostReported_ && status_) status_(kAgwLinkLost);
    lostReported_ = true;
  }
  if (was_up && up_down_) up_down_(false);
  if (attempt && attempt_failed_) attempt_failed_();
}

bool AgwTcpLink::Write(const std::string& bytes) {
  if (socket_->state() != QAbstractSocket::ConnectedState) return false;
  const qint64 n = socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  if (n != static_cast<qint64>(bytes.size())) return false;
  socket_->flush();
  return true;
}

AgwTcpLink::ConnectResult AgwTcpLink::ConnectInBackground(const std::string& host, int port,
                                                          const std::string& txCall) {
  wanted_ = true;
  wasUp_ = false;
  lostReported_ = false;
  host_ = host;
  port_ = port;
  txCall_ = txCall;
  if (txCall.size() > kAgwCallField) {
    state_ = State::Down;
    wanted_ = false;  // no attempt can register it
    return ConnectResult::CallRefused;
  }
  if (port < 1 || port > 65535) {
    state_ = State::Down;
    sinceDown_.start();
    return ConnectResult::HostNotFound;
  }
  StartAttempt();
  return ConnectResult::Pending;
}

AgwTcpLink::ConnectResult AgwTcpLink::Connect(const std::string& host, int port, const std::string& txCall) {
  if (const ConnectResult r = ConnectInBackground(host, port, txCall); r != ConnectResult::Pending) return r;
  for (;;) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EndOverdueAttempt();
    if (state_ == State::Up) return ConnectResult::Registered;
    if (state_ == State::Down) return connected_ ? ConnectResult::NotRegistered : ConnectResult::HostNotFound;
    platform::Pause(0.002f);
  }
}

void AgwTcpLink::Upkeep() {
  if (!wanted_) return;
  switch (state_) {
    case State::Up: return;
    case State::Connecting:
    case State::Registering: EndOverdueAttempt(); return;
    case State::Down:
      if (sinceDown_.elapsed() >= limits_.retryMs) StartAttempt();
      return;
  }
}

bool AgwTcpLink::SendUiFrame(const std::string& txCall, const std::string& destination, const std::string& path,
                             const std::string& infoField, const std::string& radioMode) {
  if (state_ != State::Up) return false;
  const auto data = BuildUiFrameData(path, infoField);
  if (!data) return false;
  radioPort_ = AgwRadioPortFor(radioMode, radioPort_);
  auto upper = [](const std::string& s) { return platform::UpperAscii(TrimView(s)); };
  const auto frame = BuildAgwFrame('V', radioPort_, upper(txCall), upper(destination), *data);
  if (!frame) return false;
  if (!Write(*frame)) {
    GoDown(true);
    return false;
  }
  return true;
}

void AgwTcpLink::Disconnect(float waitSeconds) {
  wanted_ = false;
  phaseLimit_.stop();
  if (socket_->state() != QAbstractSocket::ConnectedState) {
    state_ = State::Down;  // an attempt given up is no failed attempt
    socket_->abort();
    return;
  }
  if (const auto frame = BuildAgwFrame('x', radioPort_, txCall_, "APRS")) Write(*frame);
  state_ = State::Down;  // the engine's close during the wait is no loss
  platform::PauseWithEvents(waitSeconds);
  socket_->disconnectFromHost();
  socket_->abort();
  state_ = State::Down;
}

}  // namespace zeblon::links
