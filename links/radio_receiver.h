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

// The most the engine's texts may hold while no pass takes them, in bytes and
// in texts (an empty text counts as one); beyond either, the oldest go.
inline constexpr std::size_t kAgwTcpBufferCap = 4 << 20;
inline constexpr std::size_t kAgwTextsCap = 16384;
// What one turn of the pass takes of the engine's texts at most (a text is
// never split): a backlog waits in arrival order for the following turns
// instead of being moved into the receive buffer at once, where every cut
// frame would move all of it.
inline constexpr std::size_t kAgwTextPerTurn = 2048;

// The RAW list's note of the engine's texts that a full queue dropped since the
// last pass.
std::string DroppedFramesText(std::size_t dropped);

class RadioReceiver {
 public:
  RadioReceiver(reception::ReceptionState& state, reception::ReceptionHost& host, reception::ChatPanel& chat);

  // The engine's link of kind 0 (this computer) or 3 (another computer): its
  // monitor texts join AgwTcpBuffer (kind 3) or wait one by one for the pass as
  // the engine library would hand them (kind 0).
  void AttachEngine(AgwTcpLink& link);
  // The serial TNC kinds (PK-232, SCS TNC, SCS PTC): everything the TNC has
  // sent since the last read, taken from the port by the read; empty when
  // nothing waits or the port is closed (the serial TNC reader's Read).
  void AttachTnc(std::function<std::string()> read) { tnc_ = std::move(read); }
  // The IGate hand-off of the kinds that gate (all but 3).
  void SetGate(reception::GateHook gate) { gate_ = std::move(gate); }
  // Where the pass tells the user of texts the full queue dropped (once a pass).
  void SetNotice(std::function<void(const std::string&)> notice) { notice_ = std::move(notice); }

  // The receive pass of the interface kind; nothing with NoRadio.
  void DecodeReceivedTraffic();

  // AgwTcpBuffer: the engine's text the next turn reads (kind 3).
  std::string& AgwTcpBuffer() { return agwTcpBuffer_; }
  // The engine's texts that wait behind it, in arrival order.
  std::size_t EngineTextsWaiting() const { return engineTexts_.size(); }
  // Winsock1_DataArrival: one monitor text of the engine (AttachEngine sends
  // the link's texts here).
  void EngineText(std::string text);
  // The texts the full queue dropped and the next pass has still to tell.
  std::size_t EngineTextsDropped() const { return dropped_; }
  // Moves waiting texts into AgwTcpBuffer up to one turn's share.
  void TopUpAgwTcpBuffer();
  // The share of the engine's texts the next turn may take (kind 0).
  void OpenTurn() { turnBudget_ = st_.receiveBuffer.size() < kAgwTextPerTurn ? kAgwTextPerTurn : 0; }
  std::size_t ReceiveBufferSize() const { return st_.receiveBuffer.size(); }

 private:
  reception::ReceptionState& st_;
  reception::ReceivePass pass_;
  AgwTcpLink* engine_ = nullptr;
  std::function<std::string()> tnc_;
  reception::GateHook gate_;
  std::function<void(const std::string&)> notice_;
  std::string agwTcpBuffer_;
  std::deque<std::string> engineTexts_;
  std::size_t engineBytes_ = 0;
  std::size_t turnBudget_ = 0;  // what the engine may still hand the current turn (kind 0)
  std::size_t dropped_ = 0;     // texts the full queue dropped since the last pass
};

}  // namespace zeblon::links
