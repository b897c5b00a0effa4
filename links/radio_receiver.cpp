#include "links/radio_receiver.h"

#include "links/agw_tcp_link.h"
#include "platform/wait.h"

namespace zeblon::links {

using reception::InterfaceKind;

RadioReceiver::RadioReceiver(reception::ReceptionState& state, reception::ReceptionHost& host,
                             reception::ChatPanel& chat)
    : st_(state), pass_(state, host, chat) {}

void RadioReceiver::AttachEngine(AgwTcpLink& link) {
  engine_ = &link;
  link.SetMonitorSink([this](std::string text) { EngineText(std::move(text)); });
}

void RadioReceiver::EngineText(std::string text) {
  engineBytes_ += text.size();
  engineTexts_.push_back(std::move(text));
  while (engineBytes_ > kAgwTcpBufferCap && !engineTexts_.empty()) {
    engineBytes_ -= engineTexts_.front().size();
    engineTexts_.pop_front();
  }
}

void RadioReceiver::TopUpAgwTcpBuffer() {
  while (agwTcpBuffer_.size() < kAgwTextPerTurn && !engineTexts_.empty()) {
    engineBytes_ -= engineTexts_.front().size();
    agwTcpBuffer_ += engineTexts_.front();
    engineTexts_.pop_front();
  }
}

namespace {

// Every turn's read first tops the engine's text up.
class ToppedUpSource : public reception::MonitorSource {
 public:
  ToppedUpSource(RadioReceiver& rx, reception::MonitorSource& inner) : rx_(rx), inner_(inner) {}
  reception::TurnRead ReadTurn() override {
    // New text joins the receive buffer while it holds little; a backlog waits.
    if (rx_.ReceiveBufferSize() < kAgwTextPerTurn) rx_.TopUpAgwTcpBuffer();
    return inner_.ReadTurn();
  }

 private:
  RadioReceiver& rx_;
  reception::MonitorSource& inner_;
};

}  // namespace

void RadioReceiver::DecodeReceivedTraffic() {
  const auto readTnc = [this] { return tnc_ ? tnc_() : std::string(); };
  switch (st_.settings.interfaceKind) {
    case InterfaceKind::NoRadio:
      return;
    case InterfaceKind::AgwLocal: {
      reception::AgwLocalSource source(
          [this]() -> std::optional<std::string> {
            if (engineTexts_.empty()) return std::nullopt;
            std::string t = std::move(engineTexts_.front());
            engineTexts_.pop_front();
            engineBytes_ -= t.size();
            return t;
          },
          gate_);
      pass_.Run(source);
      return;
    }
    case InterfaceKind::AgwRemote: {
      // Text that came before a loss of the link is still decoded; only an empty
      // buffer without a link leaves the pass.
      reception::AgwRemoteSource remote(agwTcpBuffer_, [this] {
        return (engine_ != nullptr && engine_->DataPending()) || agwTcpBuffer_.size() >= 20;
      });
      ToppedUpSource source(*this, remote);
      pass_.Run(source);
      return;
    }
    case InterfaceKind::Pk232: {
      reception::Pk232Source source(readTnc, gate_);
      pass_.Run(source);
      return;
    }
    case InterfaceKind::ScsTnc:
    case InterfaceKind::ScsPtc: {
      auto pause = scsPause_ ? scsPause_ : [] { platform::Pause(0.01f); };
      reception::ScsSource source(readTnc, pause, gate_, st_.settings.interfaceKind == InterfaceKind::ScsPtc);
      pass_.Run(source);
      return;
    }
  }
}

}  // namespace zeblon::links
