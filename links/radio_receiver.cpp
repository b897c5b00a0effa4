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
  if (st_.settings.interfaceKind == InterfaceKind::AgwLocal) {
    engineTexts_.push_back(std::move(text));
    std::size_t total = 0;
    for (const auto& t : engineTexts_) total += t.size();
    while (total > kAgwTcpBufferCap && !engineTexts_.empty()) {
      total -= engineTexts_.front().size();
      engineTexts_.pop_front();
    }
    return;
  }
  agwTcpBuffer_ += text;
  if (agwTcpBuffer_.size() > kAgwTcpBufferCap) agwTcpBuffer_.erase(0, agwTcpBuffer_.size() - kAgwTcpBufferCap);
}

void RadioReceiver::DecodeReceivedTraffic() {
  const auto readTnc = [this] { return tnc_ != nullptr ? tnc_->ReadText() : std::string(); };
  switch (st_.settings.interfaceKind) {
    case InterfaceKind::NoRadio:
      return;
    case InterfaceKind::AgwLocal: {
      reception::AgwLocalSource source(
          [this]() -> std::optional<std::string> {
            if (engineTexts_.empty()) return std::nullopt;
            std::string t = std::move(engineTexts_.front());
            engineTexts_.pop_front();
            return t;
          },
          gate_);
      pass_.Run(source);
      return;
    }
    case InterfaceKind::AgwRemote: {
      // Text that came before a loss of the link is still decoded; only an empty
      // buffer without a link leaves the pass.
      reception::AgwRemoteSource source(agwTcpBuffer_, [this] {
        return (engine_ != nullptr && engine_->DataPending()) || agwTcpBuffer_.size() >= 20;
      });
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
