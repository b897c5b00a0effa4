// The live radio link: the bring-up by interface kind, the receive pass over
// the live ports, the own beacon and the transmit step, the packet engine's link
// with its upkeep. It reaches the window only through its port
// (links/radio_link.h); the work is in the other files of links/.
#pragma once

#include <memory>
#include <string>

#include "links/agw_tcp_link.h"
#include "links/own_beacon.h"
#include "links/radio_receiver.h"
#include "links/transmit.h"
#include "links/radio_link.h"
#include "reception/reception_host.h"

namespace zeblon::links {

class LiveRadioLink : public RadioLinkService {
 public:
  LiveRadioLink();
  ~LiveRadioLink() override;

  void Attach(const Settings& settings, reception::ReceptionState& reception, RadioLinkWindow& window,
              reception::ReceptionHost& host) override;
  void BringUp() override;
  void Close() override;
  void Disconnect() override;

  // The main cycle's steps.
  void DecodeReceivedTraffic() override;
  void LinkUpkeep() override;
  void SendOwnBeacon(bool status, bool aprsIsVerified) override;
  // Nothing goes out without a user call, with the home position unset or without
  // an object name (links/object_beacon.h).
  void SendObjectBeacon() override;
  // A failure is told in the title and the RAW list; the program goes on and the upkeep keeps
  // trying. Nothing else is started: the engine runs on its own.
  void RenewRegistration(const std::string& tx_call) override;
  reception::ChatPanel* Chat() override;
  // Every own packet ends here (TransmitInfoField).
  bool Transmit(const std::string& infoField) override;

  AgwTcpLink& Engine() { return engine_; }
  RadioReceiver* Receiver() { return rx_.get(); }
  // Messages the link gave the user (lost, restored, ports that did not open).
  const std::vector<std::string>& Told() const { return told_; }

 private:
  void Tell(const std::string& text);
  // The packet engine's state where the user looks: not reached by an attempt
  // (at START, or after the TX setup's renewal), or lost in mid-session. Said once
  // in the title and the RAW list; when the engine answers, the title is cleared
  // and the RAW list tells it.
  enum class EngineNotice { None, NotReached, Lost };
  std::string EngineNotReached() const;
  void SayEngineNotReached();
  // The title's notice, unless one is shown; false when one was.
  bool ShowEngineNotice(EngineNotice kind, const std::string& text);
  void EngineAnswered();

  AgwTcpLink engine_;
  reception::ChatLines chat_;
  std::unique_ptr<RadioReceiver> rx_;
  OwnBeacon beacon_;
  std::vector<std::string> told_;
  EngineNotice notice_ = EngineNotice::None;
  bool awaitingEngine_ = false;  // an attempt since START or the renewal has not yet registered
};

}  // namespace zeblon::links
