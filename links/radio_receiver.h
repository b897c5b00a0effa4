// DecodeReceivedTraffic over the live ports: the packet engine's TCP link (its
// monitor frames as the engine's monitor texts) and, for the serial TNC kinds,
// a reader of the TNC port's text. The receive pass itself is reception's.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "reception/monitor_input.h"
#include "reception/receive_pass.h"

namespace zeblon::links {

class AgwTcpLink;

// The seam for the serial TNC kinds (PK-232, SCS TNC, SCS PTC): everything the
// TNC has sent since the last read, taken from the port by the read; empty when
// nothing waits or the port is closed.
class TncTextReader {
 public:
  virtual ~TncTextReader() = default;
  virtual std::string ReadText() = 0;
};

// The most the engine's text may hold while no pass empties it; beyond, the
// oldest text goes.
inline constexpr std::size_t kAgwTcpBufferCap = 1 << 20;

class RadioReceiver {
 public:
  RadioReceiver(reception::ReceptionState& state, reception::ReceptionHost& host, reception::ChatPanel& chat);

  // The engine's link of kind 0 (this computer) or 3 (another computer): its
  // monitor texts join AgwTcpBuffer (kind 3) or wait one by one for the pass as
  // the engine library would hand them (kind 0).
  void AttachEngine(AgwTcpLink& link);
  void AttachTnc(TncTextReader* reader) { tnc_ = reader; }
  // The IGate hand-off of the kinds that gate (all but 3).
  void SetGate(reception::GateHook gate) { gate_ = std::move(gate); }
  // The 0.01 s wait of the SCS reads (Pause by default).
  void SetScsPause(std::function<void()> pause) { scsPause_ = std::move(pause); }

  // The receive pass of the interface kind; nothing with NoRadio.
  void DecodeReceivedTraffic();

  std::string& AgwTcpBuffer() { return agwTcpBuffer_; }
  std::size_t EngineTextsWaiting() const { return engineTexts_.size(); }

 private:
  void EngineText(std::string text);

  reception::ReceptionState& st_;
  reception::ReceivePass pass_;
  AgwTcpLink* engine_ = nullptr;
  TncTextReader* tnc_ = nullptr;
  reception::GateHook gate_;
  std::function<void()> scsPause_;
  std::string agwTcpBuffer_;
  std::deque<std::string> engineTexts_;
};

}  // namespace zeblon::links
