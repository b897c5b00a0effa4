#include "links/aprs_is_link.h"

#include <QTcpSocket>

#include "settings/text_files.h"

namespace zeblon::links {

AprsIsSettings AprsIsSettingsFrom(const Settings& s, std::string_view passcode, std::string_view version) {
  AprsIsSettings a;
  a.interfaceKind = static_cast<reception::InterfaceKind>(s.InterfaceKind);
  a.igateOn = s.IGateOn == 1;
  a.server = s.AprsIsServer;
  a.port = s.AprsIsPort;
  a.userCall = s.UserCall;
  a.passcode = passcode;
  a.version = version;
  return a;
}

std::string AprsIsLoginLine(std::string_view userCall, std::string_view passcode, std::string_view version) {
  std::string line = "user ";
  line += AprsIsCall(userCall);
  line += " pass ";
  line += passcode;
  line += " vers ZEBLON ";
  line += version;
  line += " filter b/ZZ9ZZZ\r\n";
  return line;
}

int AprsIsPortNumber(std::string_view text) {
  const std::string t = Trim(text);
  long value = 0;
  for (char c : t) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > 65535) return 0;
  }
  return static_cast<int>(value);
}

bool AprsIsLinkKept(const AprsIsSettings& s) {
  long passcode = 0;
  for (char c : Trim(s.passcode)) {
    if (c < '0' || c > '9') break;
    passcode = passcode * 10 + (c - '0');
    if (passcode > 0) break;  // above 0 is all that counts
  }
  return passcode > 0 && reception::IsGatingInterface(s.interfaceKind);
}

std::string WithIGateTitleField(std::string title, bool verified, bool igateOn) {
  if (title.size() < 90) title.resize(90, ' ');
  if (!verified) {
    if (!igateOn) {
      title.replace(75, 15, 15, ' ');
    } else {
      title.replace(81, 9, 9, ' ');
    }
  } else if (title.find("IGate connected") == std::string::npos) {
    title.replace(75, 15, igateOn ? "IGate connected" : "      connected");
  }
  return Trim(title);
}

// ---------------------------------------------------------------------------

namespace {

class TcpAprsIsSocket : public AprsIsSocket {
 public:
  TcpAprsIsSocket() {
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
      const QByteArray data = socket_.readAll();
      if (onData) onData(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    });
  }
  bool Connected() const override { return socket_.state() == QAbstractSocket::ConnectedState; }
  void Close() override { socket_.abort(); }
  void Connect(const std::string& host, int port) override {
    socket_.abort();
    socket_.connectToHost(QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size())),
                          static_cast<quint16>(port));
  }
  bool Send(const std::string& text) override {
    if (!Connected()) return false;
    const qint64 n = socket_.write(text.data(), static_cast<qint64>(text.size()));
    if (n != static_cast<qint64>(text.size())) return false;
    socket_.flush();
    return Connected();
  }

 private:
  QTcpSocket socket_;
};

}  // namespace

std::unique_ptr<AprsIsSocket> MakeTcpAprsIsSocket() { return std::make_unique<TcpAprsIsSocket>(); }

AprsIsLink::AprsIsLink(Hooks hooks, std::unique_ptr<AprsIsSocket> socket)
    : hooks_(std::move(hooks)), socket_(std::move(socket)) {
  socket_->onData = [this](std::string_view data) { received_.Arrived(data); };
}

AprsIsLink::~AprsIsLink() {
  socket_->onData = nullptr;
  socket_->Close();
}

void AprsIsLink::Say(const std::function<void(const std::string&)>& to, const std::string& text) {
  if (to) to(text);
}

void AprsIsLink::Drop() {
  socket_->Close();
  verified_ = false;
  wasConnected_ = false;
  loginSent_ = false;
}

void AprsIsLink::Upkeep(const AprsIsSettings& s, std::string& windowTitle, Clock::time_point now) {
  LinkUpkeep(s, now);
  TitleAndAgeing(s, windowTitle);
}

void AprsIsLink::TitleAndAgeing(const AprsIsSettings& s, std::string& windowTitle) {
  windowTitle = WithIGateTitleField(std::move(windowTitle), verified_, s.igateOn && !stopped_);
  if (verified_) duplicates_.Age();
}

void AprsIsLink::LinkUpkeep(const AprsIsSettings& s, Clock::time_point now) {
  if (AprsIsLinkKept(s)) {
    const std::string call = AprsIsCall(s.userCall);
    const std::string key = call + "\n" + s.passcode + "\n" + s.server + "\n" + s.port;
    if (!s.igateOn) {
      Drop();
      stopped_ = false;
    } else if (stopped_ && stoppedFor_ == key) {
      Drop();
    } else {
      stopped_ = false;
      server_ = Trim(s.server);
      if (!socket_->Connected()) {
        if (wasConnected_) Say(hooks_.notice, "APRS-IS SERVER " + server_ + " CLOSED THE LINK");
        Drop();
        received_.Clear();
        const int port = AprsIsPortNumber(s.port);
        if (port > 0 && !server_.empty()) socket_->Connect(server_, port);
      }
      if (socket_->Connected()) {
        wasConnected_ = true;
        if (!verified_) {
          switch (FindLoginAnswer(received_.buffer, call)) {
            case LoginAnswer::Verified: verified_ = true; break;
            case LoginAnswer::Unverified:
              Drop();
              stopped_ = true;
              stoppedFor_ = key;
              Say(hooks_.message, "APRS-IS SERVER " + server_ + " DID NOT VERIFY THE LOGIN OF " + call +
                                      " (CHECK USER CALL). IGATE STOPPED.");
              break;
            case LoginAnswer::None: break;
          }
        }
        if (verified_) {
          received_.Clear();
        } else if (!stopped_ && !loginSent_) {
          loginSent_ = socket_->Send(AprsIsLoginLine(call, s.passcode, s.version));
          loginSentAt_ = now;
          if (!loginSent_) Drop();
        } else if (!stopped_ && now - loginSentAt_ > kLoginAnswerLimit) {
          Say(hooks_.notice, "NO LOGIN ANSWER FROM APRS-IS SERVER " + server_);
          Drop();
        }
      }
    }
  }
}

bool AprsIsLink::SendGatedLine(const std::string& line, Clock::time_point now) {
  if (!verified_) return false;  // nothing goes out before the login counts
  if (duplicates_.IsRepeat(line, now)) return true;
  if (!socket_->Send(line)) {
    Say(hooks_.notice, "APRS-IS LINK TO " + server_ + " LOST WHILE SENDING");
    Drop();
    return false;
  }
  duplicates_.Remember(line, now);
  return true;
}

reception::GateHook AprsIsLink::GateHookFor(reception::InterfaceKind kind, std::string txCall) {
  reception::GateHook hook;
  hook.verified = [this] { return verified_; };
  hook.gate = [this, kind, call = std::move(txCall)](const std::string& text) {
    try {
      for (const std::string& line : reception::GateFrames(kind, text, call)) {
        if (!SendGatedLine(line)) break;
      }
    } catch (const std::exception&) {
      // Gating is a side road: the frames go on to the receive pass whatever happens here.
    }
  };
  return hook;
}

}  // namespace zeblon::links
