// Our client of the packet engine's TCP host interface (Winsock1): connect,
// register the own call, switch monitoring on, send UI frames with a digipeater
// list, unregister. Arrivals are cut into frames by their length field; only
// monitor frames go on to the receive side, each as its monitor text.
//
// The link watches itself: a connection lost or a send that fails marks it down
// (AgwDataPending 0) and says so through the status hook; Upkeep(), called by
// the main cycle, connects and registers again without blocking. Every wait has
// a time limit on a monotonic clock.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "links/agw_frame.h"

class QTcpSocket;

namespace zeblon::links {

// The texts the link shows.
inline constexpr const char* kAgwTitle = "ZEBLON  TCP/IP AGWPE";
inline constexpr const char* kAgwHostNotFound = "TCP/IP AGWPE HOST NOT FOUND !";
inline constexpr const char* kAgwNotFound = "TCP/IP AGWPE NOT FOUND !";
inline constexpr const char* kAgwLinkLost = "TCP/IP AGWPE LINK LOST - RECONNECTING";
inline constexpr const char* kAgwLinkRestored = "TCP/IP AGWPE LINK RESTORED";
inline constexpr const char* kAgwCallTooLong = "TCP/IP AGWPE: OWN CALL LONGER THAN 10 CHARACTERS !";

class AgwTcpLink : public QObject {
 public:
  enum class State { Down, Connecting, Registering, Up };
  enum class ConnectResult {
    Registered,
    HostNotFound,   // refused, unreachable, unknown host, or no connection within the limit
    NotRegistered,  // connected, but no answer "registered" within the limit
    CallRefused,    // the own call does not fit the frame's call field
    Pending         // ConnectInBackground: the attempt runs on, the answer comes later
  };

  struct Limits {
    int connectMs = 5000;    // from the connect call to the connection
    int registerMs = 10000;  // from the registration to its answer
    int retryMs = 5000;      // between two attempts of the upkeep
  };

  explicit AgwTcpLink(QObject* parent = nullptr);
  ~AgwTcpLink() override;

  // Where monitor texts go (header line, CR, payload, CR CR), one per frame.
  void SetMonitorSink(std::function<void(std::string)> sink) { sink_ = std::move(sink); }
  // Told when the link goes down after it was up, and when it is up again.
  void SetStatusHook(std::function<void(const std::string&)> hook) { status_ = std::move(hook); }
  // Told whenever the link comes up (registered, monitoring on) or goes down.
  void SetUpDownHook(std::function<void(bool up)> hook) { up_down_ = std::move(hook); }
  // Told when an attempt ends without the link coming up: the connection refused
  // or not made within its time, the registration refused or not answered in time.
  void SetAttemptFailedHook(std::function<void()> hook) { attempt_failed_ = std::move(hook); }
  void SetLimits(const Limits& limits) { limits_ = limits; }

  // ConnectAgwTcp: connects to host:port, registers `txCall` and switches
  // monitoring on; lets events run while it waits, within the limits.
  ConnectResult Connect(const std::string& host, int port, const std::string& txCall);
  // The same without waiting: the attempt starts and the registration follows
  // when the engine answers (an engine may read a new client's commands only a
  // second later); an attempt that fails is left to the upkeep. Pending, or at
  // once CallRefused (no attempt) or HostNotFound (a port out of range).
  ConnectResult ConnectInBackground(const std::string& host, int port, const std::string& txCall);

  // The main cycle's look at the link: after a loss (or a failed start) it
  // starts a new attempt once the retry time has passed. An attempt that runs
  // past its limit ends by itself, whether the main cycle looks or not. Never blocks.
  void Upkeep();

  // SendAgwTcpUiFrame: one UI frame from the own call to the destination through
  // the path. Nothing is sent while the link is down. False when nothing went
  // out (down, a call that does not fit its field, or a send error, which marks
  // the link down).
  bool SendUiFrame(const std::string& txCall, const std::string& destination, const std::string& path,
                   const std::string& infoField, const std::string& radioMode);

  // DisconnectAgwTcp: unregisters (with a wait of `waitSeconds` letting events
  // run) and closes; no further attempts.
  void Disconnect(float waitSeconds = 1.0f);

  bool DataPending() const { return state_ == State::Up; }  // AgwDataPending
  State state() const { return state_; }
  int Reconnections() const { return reconnections_; }

 private:
  void StartAttempt();
  void OnConnected();
  void OnReadyRead();
  void OnSocketGone();
  void GoDown(bool lost);
  // Ends the attempt when its phase has run past the phase's limit.
  void EndOverdueAttempt();
  void StartPhaseLimit(int ms);
  bool Write(const std::string& bytes);

  std::unique_ptr<QTcpSocket> socket_;
  AgwFrameReader reader_;
  std::function<void(std::string)> sink_;
  std::function<void(const std::string&)> status_;
  std::function<void(bool)> up_down_;
  std::function<void()> attempt_failed_;
  Limits limits_;
  State state_ = State::Down;
  bool wanted_ = false;        // the link should be up (Connect was called, no Disconnect)
  bool wasUp_ = false;         // up at least once since Connect
  bool lostReported_ = false;  // the loss was told and the restoring is still to be told
  bool connected_ = false;     // the current attempt reached the engine
  std::string host_;
  int port_ = 0;
  std::string txCall_;
  std::uint8_t radioPort_ = 0;
  QElapsedTimer phase_;      // since the current attempt's phase began
  QElapsedTimer sinceDown_;  // since the link went down
  QTimer phaseLimit_;        // fires when the current attempt's phase is due to end
  int reconnections_ = 0;
};

}  // namespace zeblon::links
