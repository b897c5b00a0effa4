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

std::string DroppedFramesText(std::size_t dropped) {
  return "TCP/IP AGWPE: " + std::to_string(dropped) + " FRAMES DROPPED - RECEIVE BUFFER FULL";
}

void RadioReceiver::EngineText(std::string text) {
  engineBytes_ += text.size();
  engineTexts_.push_back(std::move(text));
  while ((engineBytes_ > kAgwTcpBufferCap || engineTexts_.size() > kAgwTextsCap) && !engineTexts_.empty()) {
    engineBytes_ -= engineTexts_.front().size();
    engineTexts_.pop_front();
    ++dropped_;
  }
}

void RadioReceiver::TopUpAgwTcpBuffer() {
  while (agwTcpBuffer_.size() < kAgwTextPerTurn && !engineTexts_.empty()) {
    std::string& text = engineTexts_.front();
    engineBytes_ -= text.size();
    // Each text is the data of one engine frame: one that does not end like a
    // monitor text is dropped here, where its end is known, so that the cutting
    // of the joined texts never runs on into the next frame.
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\r") == 0) agwTcpBuffer_ += text;
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
    if (!topUp_) {
      rx_.OpenTurn();
      return inner_.ReadTurn();
    }
    for (;;) {
      if (rx_.ReceiveBufferSize() >= kAgwTextPerTurn) return inner_.ReadTurn();
      rx_.TopUpAgwTcpBuffer();
      reception::TurnRead read = inner_.ReadTurn();
      // A share of texts that gave no frame (all of them ill-formed) is no
      // reason to end the pass: the turn goes on with the texts behind them.
      if (!read.text.empty() || read.leave != reception::TurnRead::Leave::No || rx_.EngineTextsWaiting() == 0)
        return read;
    }
  }

 private:
  RadioReceiver& rx_;
  reception::MonitorSource& inner_;
  bool topUp_;
};

}  // namespace

void RadioReceiver::DecodeReceivedTraffic() {
  if (dropped_ > 0 && st_.settings.interfaceKind != InterfaceKind::NoRadio) {
    if (notice_) notice_(DroppedFramesText(dropped_));
    dropped_ = 0;
  }
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
            // Only a text that becomes a frame takes of the turn's share: texts
            // that are dropped never end a turn before the good one behind them.
            if (reception::CountCr(t) == 3) turnBudget_ = t.size() >= turnBudget_ ? 0 : turnBudget_ - t.size();
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
      // The 0.01 s wait of the SCS reads.
      const auto pause = [] { platform::Pause(0.01f); };
      reception::ScsSource source(readTnc, pause, gate_, st_.settings.interfaceKind == InterfaceKind::ScsPtc);
      pass_.Run(source);
      return;
    }
  }
}

}  // namespace zeblon::links
