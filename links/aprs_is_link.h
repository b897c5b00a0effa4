// The APRS-IS link of the IGate: kept connected and logged in by the main
// cycle, and the one way out of gated lines.
//
// The main cycle calls Upkeep once per tick (link upkeep, login, the window
// title's IGate field, the ageing of the duplicate list); the receive pass gets
// its gate hook from GateHookFor. The link is for sending: what the server
// sends is only searched for the login answer.
//
// Upkeep, while a passcode is set and the interface kind gates (0, 1, 5, 6):
// - IGate off: the link is closed, the login no longer counts.
// - IGate on and the link down: it is (re)opened; a link that was up and is
//   down now is reported ("... CLOSED THE LINK") once.
// - IGate on and the link up: the login line goes out once per connection; the
//   answer "# logresp CALL verified" makes the login count, "# logresp CALL
//   unverified" stops the IGate with a message until the IGate is switched off
//   and on again or the call, passcode or server change; no answer within
//   kLoginAnswerLimit closes the link, and the next tick opens it anew.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "links/aprs_is.h"
#include "settings/settings.h"
#include "reception/igate.h"
#include "reception/monitor_input.h"

namespace zeblon::links {

// The program's version, as the APRS-IS login names it.
inline constexpr const char* kProgramVersion = "8.08";

// What the link reads of the settings and the main window's fields.
struct AprsIsSettings {
  reception::InterfaceKind interfaceKind = reception::InterfaceKind::NoRadio;  // MODEM
  bool igateOn = false;                                                        // IGATE
  std::string server;                                                          // AISRV
  std::string port;                                                            // AIPRT, decimal text
  std::string userCall;                                                        // USER
  std::string passcode;  // AprsIsPasscode (ComputeAprsIsPasscode of USER)
  std::string version = kProgramVersion;
};

// The link's settings from the main window's settings, its passcode and version.
AprsIsSettings AprsIsSettingsFrom(const Settings& s, std::string_view passcode, std::string_view version);

// AprsIsLogin: "user CALL pass CODE vers ZEBLON VERSION filter b/ZZ9ZZZ" CR LF.
std::string AprsIsLoginLine(std::string_view userCall, std::string_view passcode, std::string_view version);

// The TCP port of a port text (its leading digits), 0 when it is none (0 or above 65535).
int AprsIsPortNumber(std::string_view text);

// True when the link is kept at all: a passcode above 0 and a gating interface.
bool AprsIsLinkKept(const AprsIsSettings& s);

// The window title with its IGate field (columns 76-90) for the state: "IGate
// connected" once verified ("      connected" with the IGate off), "IGate" while
// the IGate is on and not verified, blanks with the IGate off.
std::string WithIGateTitleField(std::string title, bool verified, bool igateOn);

// The TCP client under the link (a QTcpSocket; tests may put in their own).
class AprsIsSocket {
 public:
  virtual ~AprsIsSocket() = default;
  virtual bool Connected() const = 0;
  virtual void Close() = 0;
  // Starts a connection; the outcome shows in Connected() later.
  virtual void Connect(const std::string& host, int port) = 0;
  // Hands the text to the link; false when it cannot go out.
  virtual bool Send(const std::string& text) = 0;
  // Set by the link: received data, in arrival order.
  std::function<void(std::string_view)> onData;
};

std::unique_ptr<AprsIsSocket> MakeTcpAprsIsSocket();

class AprsIsLink {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::seconds kLoginAnswerLimit{60};

  struct Hooks {
    // A message the user must see: the login was not verified. Called from the
    // main cycle, so it must not stop it (no modal box).
    std::function<void(const std::string&)> message;
    // A note on the link's state (status line): the server closed the link, ...
    std::function<void(const std::string&)> notice;
  };

  explicit AprsIsLink(Hooks hooks = {}, std::unique_ptr<AprsIsSocket> socket = MakeTcpAprsIsSocket());
  ~AprsIsLink();
  AprsIsLink(const AprsIsLink&) = delete;
  AprsIsLink& operator=(const AprsIsLink&) = delete;

  // The main cycle's tick's APRS-IS work: LinkUpkeep, then TitleAndAgeing.
  void Upkeep(const AprsIsSettings& s, std::string& windowTitle, Clock::time_point now = Clock::now());
  // Link upkeep and login.
  void LinkUpkeep(const AprsIsSettings& s, Clock::time_point now = Clock::now());
  // The IGate field of the window title, and while verified the ageing of the
  // duplicate list.
  void TitleAndAgeing(const AprsIsSettings& s, std::string& windowTitle);

  // AprsIsVerified.
  bool Verified() const { return verified_; }
  // True while an unverified login answer keeps the IGate stopped.
  bool StoppedUnverified() const { return stopped_; }

  // SendGatedLine: sends one gated line unless it repeats one sent less than 30 s
  // before; nothing before the login counts (false). A line that cannot go out
  // drops the login (not verified) and closes the link, so that the next tick
  // connects and logs in anew; false then.
  bool SendGatedLine(const std::string& line, Clock::time_point now = Clock::now());

  // The receive pass's hand-off: while verified, raw text of the kind goes to its
  // formatter and each line to SendGatedLine. `txCall` is the own call with its
  // SSID (the gate call). Nothing the formatter meets is thrown into the pass.
  reception::GateHook GateHookFor(reception::InterfaceKind kind, std::string txCall);

  const reception::IGateDuplicateList& DuplicateList() const { return duplicates_; }
  const AprsIsReceiveBuffer& ReceiveBuffer() const { return received_; }

 private:
  void Say(const std::function<void(const std::string&)>& to, const std::string& text);
  void Drop();

  Hooks hooks_;
  std::unique_ptr<AprsIsSocket> socket_;
  AprsIsReceiveBuffer received_;
  reception::IGateDuplicateList duplicates_;
  bool verified_ = false;
  bool loginSent_ = false;
  bool wasConnected_ = false;
  bool stopped_ = false;
  std::string stoppedFor_;  // the call, passcode and server the stop belongs to
  std::string server_;
  Clock::time_point loginSentAt_{};
};

}  // namespace zeblon::links
