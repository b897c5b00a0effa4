// The radio interfaces' received monitor texts and their conversion into the
// one MonitorFrame form: header line (source, digipeaters, destination joined
// by ">", "*" after a repeating station), " <UI>:", CR LF, payload, CR LF.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/interface_kind.h"

namespace zeblon::reception {

using zeblon::InterfaceKind;

// The text one turn of the receive pass read, and whether the pass leaves.
struct TurnRead {
  enum class Leave {
    No,          // go on with the frame assembly
    WithRedraw,  // leave the pass, redrawing the map
    AtOnce       // leave the pass without a redraw
  };
  std::string text;  // in MonitorFrame form
  Leave leave = Leave::No;
};

// One interface kind's reader: reads once per turn.
class MonitorSource {
 public:
  virtual ~MonitorSource() = default;
  virtual TurnRead ReadTurn() = 0;
};

// The IGate hand-off: raw text longer than 10 characters goes to the
// formatter of the kind while the APRS-IS login is verified.
struct GateHook {
  std::function<bool()> verified;                // AprsIsVerified
  std::function<void(const std::string&)> gate;  // the kind's formatter (works on a copy)
  void Offer(const std::string& text) const;
};

// ---------------------------------------------------------------------------
// Plain conversions.

// One AGW Packet Engine monitor text (header line, CR, payload, CR CR) as a
// MonitorFrame; the header fields are taken from the first line only.
std::string ConvertAgwMonitorText(std::string_view text);

// Number of CR characters of a text.
int CountCr(std::string_view text);

// The AgwRemote adapter's work on the engine's TCP text: takes whole monitor
// parts (ending CR CR, or CR NUL as the TCP host frames of some engines end)
// off the front of the buffer and converts them; a part without exactly three
// CR is dropped and the parts behind it are still taken.
std::string TakeAgwTcpFrames(std::string& agwTcpBuffer);

// The PK-232 adapter's handling of one read; nullopt: the pass leaves (the
// converse-command echo, or too short a text).
std::optional<std::string> TakePk232Read(std::string text);

// Converts at most 10 complete SCS frames ("fm SRC to DEST via DIGIS ctl UI
// pid F0" CR LF payload CR LF, for the PTC with a port prefix "1:") from the
// front of a text; what remains is dropped.
std::string ConvertScsFrames(std::string text, bool ptc);

// ---------------------------------------------------------------------------
// The adapters of the interface kinds, over the raw readers that the links give.

class AgwLocalSource : public MonitorSource {
 public:
  // getData: AGWGetData, nullopt when nothing waits.
  AgwLocalSource(std::function<std::optional<std::string>()> getData, GateHook gate);
  TurnRead ReadTurn() override;

 private:
  std::function<std::optional<std::string>()> getData_;
  GateHook gate_;
};

class AgwRemoteSource : public MonitorSource {
 public:
  AgwRemoteSource(std::string& agwTcpBuffer, std::function<bool()> dataPending);
  TurnRead ReadTurn() override;

 private:
  std::string& buffer_;
  std::function<bool()> dataPending_;
};

class Pk232Source : public MonitorSource {
 public:
  Pk232Source(std::function<std::string()> readPort, GateHook gate);
  TurnRead ReadTurn() override;

 private:
  std::function<std::string()> readPort_;
  GateHook gate_;
};

class ScsSource : public MonitorSource {
 public:
  // pause: the 0.01 s wait without window events.
  ScsSource(std::function<std::string()> readPort, std::function<void()> pause, GateHook gate, bool ptc);
  TurnRead ReadTurn() override;

 private:
  std::function<std::string()> readPort_;
  std::function<void()> pause_;
  GateHook gate_;
  bool ptc_;
};

}  // namespace zeblon::reception
