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

// Every turn's read first gives the engine's texts their share of the turn:
// new text joins the receive buffer while it holds little; a backlog waits.
class ToppedUpSource : public reception::MonitorSource {
 public:
  // topUp: the texts go through AgwTcpBuffer (kind 3); else they are handed
  // one by one within the turn's budget (kind 0).
  ToppedUpSource(RadioReceiver& rx, reception::MonitorSource& inner, bool topUp)
      : rx_(rx), inner_(inner), topUp_(topUp) {}
  reception::TurnRead ReadTurn() override {
    if (topUp_) {
      if (rx_.ReceiveBufferSize() < kAgwTextPerTurn) rx_.TopUpAgwTcpBuffer();
    } else {
      rx_.OpenTurn();
    }
    return inner_.ReadTurn();
  }

 private:
  RadioReceiver& rx_;
  reception::MonitorSource& inner_;
  bool topUp_;
};

}  // namespace

void RadioReceiver::DecodeReceivedTraffic() {
  const auto readTnc = [this] { return tnc_ ? tnc_() : std::string(); };
  switch (st_.settings.interfaceKind) {
    case InterfaceKind::NoRadio: return;
    case InterfaceKind::AgwLocal: {
      reception::AgwLocalSource local(
          [this]() -> std::optional<std::string> {
            if (engineTexts_.empty() || turnBudget_ == 0) return std::nullopt;
            std::string t = std::move(engineTexts_.front());
            engineTexts_.pop_front();
            engineBytes_ -= t.size();
            turnBudget_ = t.size() >= turnBudget_ ? 0 : turnBudget_ - t.size();
            return t;
          },
          gate_);
      ToppedUpSource source(*this, local, false);
      pass_.Run(source);
      return;
    }
    case InterfaceKind::AgwRemote: {
      // Text that came before a loss of the link is still decoded; only nothing
      // left to take without a link leaves the pass.
      reception::AgwRemoteSource remote(agwTcpBuffer_, [this] {
        return (engine_ != nullptr && engine_->DataPending()) || agwTcpBuffer_.size() >= 20 || !engineTexts_.empty() ||
               st_.receiveBuffer.size() > 1;
      });
      ToppedUpSource source(*this, remote, true);
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
