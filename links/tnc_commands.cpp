#include "links/tnc_commands.h"

#include "geodesy/text.h"
#include "platform/serial_port.h"
#include "platform/wait.h"
#include "settings/interface_kind.h"
#include "settings/text_files.h"

namespace zeblon::links {
namespace {

TncStep Open(const std::string& speed, float wait = 0) { return {TncAction::Open, speed, wait, false}; }
TncStep Send(const std::string& bytes, float wait) { return {TncAction::Send, bytes, wait, false}; }
TncStep Wait(float seconds) { return {TncAction::Wait, {}, seconds, false}; }
TncStep Step(TncAction a) { return {a, {}, 0, false}; }

std::string Esc(const std::string& text) { return std::string(1, kEsc) + text; }

}  // namespace

std::string SignedNumber(int value) { return value < 0 ? std::to_string(value) : " " + std::to_string(value); }

std::string ScsTncModeCommand(const std::string& m) {
  if (m == "300R") return "%BR300";
  if (m == "300") return "%B300";
  if (m == "1200") return "%B1200";
  if (m == "9600") return "%B9600";
  if (m == "19200") return "%B19200";
  return {};
}

std::string ScsPtcModeCommand(const std::string& m) {
  if (m == "300R") return "B R300";
  if (m == "300") return "B 300";
  if (m == "1200") return "B 1200";
  if (m == "9600") return "B 9600";
  if (m == "19200") return "B 19200";
  return {};
}

std::string ScsTncCrossModeCommand(const std::string& radio, const std::string& cross) {
  if ((radio == "300R" && cross == "300") || (radio == "300" && cross == "R300")) return "%AGH";
  return "%AG " + cross;
}

TncCommandSet Pk232InitSet(const TncSettings& s) {
  TncCommandSet set;
  const std::string cr(1, kCr);
  // Phase A: wake the TNC at its own speed (autobaud stars).
  set.push_back(Wait(5));
  set.push_back(Open(s.tncBaud, 1));
  for (int i = 0; i < 10; ++i) set.push_back(Send("*", 0.5f));
  set.push_back(Wait(1));
  set.push_back(Step(TncAction::Drain));
  set.push_back(Step(TncAction::Close));
  // Phase B: out of KISS and host mode at every speed it may be left at.
  for (const char* speed : {"9600", "4800", "2400", "1200"}) {
    set.push_back(Open(speed));
    set.push_back(Send(std::string("\xC0\xFF\xC0", 3), 0.2f));
    set.push_back(Send(cr, 0.2f));
    set.push_back(Send("KISS OFF", 0.2f));
    set.push_back(Send(cr, 0.2f));
    set.push_back(Send(std::string("\x01OHON\x17", 6), 0.2f));
    set.push_back(Send(cr, 0.2f));
    set.push_back(Send("TB " + s.tncBaud + cr, 0.2f));
    set.push_back(Send("RESTART" + cr, 1));
    set.push_back(Step(TncAction::Drain));
    set.push_back(Step(TncAction::Close));
  }
  // Phase C.
  set.push_back(Open(s.tncBaud, 1));
  set.push_back(Send("PA" + cr, 0.2f));
  set.push_back(Send(cr, 1));
  set.push_back(Step(TncAction::Drain));
  set.push_back(Step(TncAction::Close));
  // Phase D: the parameters.
  set.push_back(Open(s.tncBaud));
  const double baud = LeadingNumber(s.radioMode);
  std::vector<std::string> commands = {"ECHO OFF",
                                       "ACRDISP 0",
                                       "ALFDISP ON",
                                       "CONOK OFF",
                                       "PASSALL OFF",
                                       "PA",
                                       "HB " + NumberText(baud),
                                       baud <= 699 ? "VHF OFF" : "VHF ON",
                                       "8B ON",
                                       "AW 8",
                                       "MFILTER $0",
                                       "MONITOR 5",
                                       "MFROM ALL",
                                       CallWithSsid("MYCALL " + s.userCall, s.txSsid)};
  std::string unproto = "UNPROTO " + s.destination;
  if (!s.path.empty()) unproto += " VIA " + s.path;
  commands.push_back(unproto);
  if (s.digiOn == 1) {
    commands.insert(commands.end(), {"DIGIPEAT ON", "DFROM ALL", "MYALIAS WIDE1-1"});
  } else {
    commands.insert(commands.end(), {"DIGIPEAT OFF", "DFROM NONE", "MYALIAS NONE"});
  }
  for (const std::string& c : commands) set.push_back(Send(c + cr, 0.2f));
  // Phase E: until the prompts stop.
  set.push_back(Send(cr, 1));
  set.push_back(Step(TncAction::Drain));
  set.push_back(Step(TncAction::DiscardInput));
  set.push_back({TncAction::AwaitPromptGone, {}, 1, false});
  set.push_back(Step(TncAction::Close));
  return set;
}

TncCommandSet ScsTncInitSet(const TncSettings& s) {
  TncCommandSet set;
  const std::string cr(1, kCr);
  set.push_back(Open(s.scsBaud, 1));
  std::vector<std::string> commands = {"%R",
                                       "E0",
                                       "Z1",
                                       "A1",
                                       "S0",
                                       "Y0",
                                       "C" + s.destination + " " + s.path,
                                       CallWithSsid("I" + s.userCall, s.txSsid),
                                       CallWithSsid("%AM" + s.userCall, s.txSsid),
                                       "K0",
                                       "MU",
                                       "P255",
                                       "T25",
                                       "U0",
                                       "W0",
                                       "X1",
                                       "%A0",
                                       ScsTncModeCommand(s.radioMode),
                                       "%X" + SignedNumber(s.txLevel),
                                       "%F 2000",
                                       "%T" + SignedNumber(s.txAfc),
                                       ScsTncCrossModeCommand(s.radioMode, s.crossMode)};
  if (s.digiOn == 1) {
    commands.insert(commands.end(), {"R1", "%AD3"});
  } else {
    commands.insert(commands.end(), {"R0", "%AD0"});
  }
  commands.push_back(s.hfDual ? "%AU1" : "%AU0");
  for (size_t i = 0; i < commands.size(); ++i) {
    const float wait = i == 0 ? 0.5f : 0.1f;
    // A radio mode the TNC has no command for sends nothing; the wait stays.
    if (commands[i].empty())
      set.push_back(Wait(wait));
    else
      set.push_back(Send(Esc(commands[i]) + cr, wait));
  }
  set.push_back(Wait(1));
  set.push_back(Step(TncAction::Drain));
  set.push_back(Step(TncAction::DiscardInput));
  set.push_back(Step(TncAction::Close));
  return set;
}

TncCommandSet ScsPtcInitSet(const TncSettings& s) {
  TncCommandSet set;
  const std::string crlf = kCrLf;
  const std::string user = Trim(s.userCall);
  set.push_back(Wait(5));
  set.push_back(Open(s.scsBaud, 1));
  set.push_back(Send(crlf, 3));
  for (const std::string& c : {std::string("TERM 0"), CallWithSsid("MYCALL " + user, s.txSsid), std::string("PAC")}) {
    set.push_back(Send(c + crlf, 0.3f));
  }
  std::string path = s.path;
  for (char& c : path) {
    if (c == ',') c = ' ';
  }
  std::vector<std::string> commands = {CallWithSsid("MYCALL " + user, s.txSsid), "APRS 0", "PORT 1", "PRBOX 0",
                                       "USERS 0"};
  const char* aliases[] = {"WIDE1-1", "RELAY", "ECHO"};
  for (int ch = 2; ch <= 4; ++ch) {
    commands.push_back("SETCHN " + SignedNumber(ch));
    commands.push_back(std::string("MYCALL ") + aliases[ch - 2]);
  }
  commands.push_back("SETCHN 1");
  commands.push_back("UNPROTO " + s.destination + " " + path);
  commands.push_back("MONITOR 1");
  commands.push_back(ScsPtcModeCommand(s.radioMode));
  commands.push_back("TXL A" + SignedNumber(s.txLevel));
  commands.push_back("TXL F" + SignedNumber(s.txLevel));
  commands.push_back("TXDELAY 1:300");
  commands.push_back(s.digiOn == 1 ? "DIGI ON" : "DIGI OFF");
  commands.push_back("MFI 128");
  for (const std::string& c : commands) {
    if (c.empty())
      set.push_back(Wait(0.3f));
    else
      set.push_back(Send(Esc(c) + crlf, 0.3f));
  }
  set.push_back(Wait(0.5f));
  set.push_back(Step(TncAction::Drain));
  set.push_back(Step(TncAction::DiscardInput));
  set.push_back(Step(TncAction::Close));
  return set;
}

TncCommandSet TncInitSet(const TncSettings& s) {
  switch (InterfaceKindOf(s.interfaceKind)) {
    case InterfaceKind::Pk232: return Pk232InitSet(s);
    case InterfaceKind::ScsTnc: return ScsTncInitSet(s);
    case InterfaceKind::ScsPtc: return ScsPtcInitSet(s);
    default: return {};
  }
}

std::string OwnCall(const TncSettings& s) { return CallWithSsid(Trim(s.userCall), s.txSsid); }

TncCommandSet Pk232ResendSet(const TncSettings& s) {
  const std::string cr(1, kCr);
  auto with_events = [](const std::string& bytes, float wait) -> TncStep {
    return {TncAction::Send, bytes, wait, true};
  };
  TncCommandSet set;
  set.push_back(with_events(std::string(1, '\x03'), 0.5f));
  set.push_back(with_events("MYCALL " + OwnCall(s) + cr, 0.2f));
  std::string unproto = "UNPROTO " + s.destination;
  if (!Trim(s.path).empty()) unproto += " VIA " + s.path;
  set.push_back(with_events(unproto + cr, 0.2f));
  const bool digi = s.digiOn == 1;
  set.push_back(Send(std::string(digi ? "DIGIPEAT ON" : "DIGIPEAT OFF") + cr, 0.2f));
  set.push_back(Send(std::string(digi ? "DFROM ALL" : "DFROM NONE") + cr, 0.2f));
  set.push_back(Send(std::string(digi ? "MYALIAS WIDE1-1" : "MYALIAS NONE") + cr, 0.2f));
  set.push_back(with_events(cr, 1));
  set.push_back(Step(TncAction::Drain));
  set.push_back(Step(TncAction::DiscardInput));
  set.push_back({TncAction::AwaitPromptGone, {}, 1, true});
  set.push_back(with_events("K" + cr, 0.2f));
  return set;
}

TncCommandSet ScsTncResendSet(const TncSettings& s) {
  const std::string cr(1, kCr);
  const std::string call = OwnCall(s);
  const std::vector<std::string> commands = {ScsTncModeCommand(s.radioMode),
                                             "I" + call,
                                             "%AM" + call,
                                             "C" + s.destination + " " + s.path,
                                             "%X" + SignedNumber(s.txLevel),
                                             ScsTncCrossModeCommand(s.radioMode, s.crossMode),
                                             s.digiOn == 1 ? "R1" : "R0",
                                             s.digiOn == 1 ? "%AD3" : "%AD0",
                                             s.hfDual ? "%AU1" : "%AU0",
                                             "%F 2000"};
  TncCommandSet set;
  for (const std::string& c : commands) {
    // A radio mode the TNC has no command for sends nothing; the wait stays.
    set.push_back(c.empty() ? Wait(0.1f) : Send(Esc(c) + cr, 0.1f));
  }
  set.push_back(Wait(1));
  set.push_back(Step(TncAction::Drain));
  set.push_back(Step(TncAction::DiscardInput));
  return set;
}

TncCommandSet ScsPtcResendSet(const TncSettings& s) {
  const std::string cr(1, kCr);
  std::string path = s.path;
  for (char& c : path) {
    if (c == ',') c = ' ';
  }
  const std::string mode = ScsPtcModeCommand(s.radioMode);
  TncCommandSet set;
  set.push_back(mode.empty() ? Wait(0.1f) : Send(Esc(mode) + cr, 0.1f));
  set.push_back(Send(Esc("TXL A" + SignedNumber(s.txLevel)) + cr, 0.5f));
  set.push_back(Send(Esc("TXL F" + SignedNumber(s.txLevel)) + cr, 0.1f));
  set.push_back(Send(Esc(s.digiOn == 1 ? "DIGI ON" : "DIGI OFF") + cr, 0.1f));
  set.push_back(Send(Esc("UNPROTO " + s.destination + " " + path) + cr, 0.2f));
  set.push_back(Wait(1));
  set.push_back(Step(TncAction::Drain));
  set.push_back(Step(TncAction::DiscardInput));
  return set;
}

TncCommandSet TncResendSet(const TncSettings& s) {
  switch (InterfaceKindOf(s.interfaceKind)) {
    case InterfaceKind::Pk232: return Pk232ResendSet(s);
    case InterfaceKind::ScsTnc: return ScsTncResendSet(s);
    case InterfaceKind::ScsPtc: return ScsPtcResendSet(s);
    default: return {};
  }
}

TncCommandSet TncCloseSet(int interface_kind) {
  switch (InterfaceKindOf(interface_kind)) {
    case InterfaceKind::AgwLocal: return {{TncAction::Wait, "", 0.5f, true}};
    case InterfaceKind::Pk232: return {{TncAction::Send, std::string(1, '\x03'), 0.2f, true}};
    case InterfaceKind::ScsTnc: return {{TncAction::Send, std::string(1, kEsc) + "%ZL\r", 0.2f, true}};
    case InterfaceKind::ScsPtc:
      return {{TncAction::Send, std::string(1, kEsc) + "Q\r", 0.5f, false},
              {TncAction::Send, std::string(1, kEsc) + "RESET\r", 0.5f, false}};
    default: return {};
  }
}

TncSettings TncSettingsFrom(const Settings& s, bool hf_dual) {
  TncSettings t;
  t.interfaceKind = s.InterfaceKind;
  t.comPort = s.TncComPort;
  t.tncBaud = s.TncBaud;
  t.scsComPort = ToWholeNumber<std::int16_t>(s.ScsComPort);
  t.scsBaud = s.ScsBaud;
  t.radioMode = s.RadioMode;
  t.crossMode = s.CrossMode;
  t.txLevel = s.TxLevel;
  t.txAfc = s.TxAfc;
  t.txSsid = s.TxSsid;
  t.userCall = s.UserCall;
  t.destination = s.TxDestination;
  t.path = s.TxPath;
  t.digiOn = s.DigiOn;
  t.hfDual = hf_dual;
  return t;
}

int TncPortNumber(const TncSettings& s) { return IsScs(InterfaceKindOf(s.interfaceKind)) ? s.scsComPort : s.comPort; }

std::string SentBytes(const TncCommandSet& set) {
  std::string out;
  for (const TncStep& st : set) {
    if (st.action == TncAction::Send) out += st.bytes;
  }
  return out;
}

double TotalWaitSeconds(const TncCommandSet& set) {
  double t = 0;
  for (const TncStep& st : set) t += st.wait;
  return t;
}

TncRunResult RunTncCommandSet(const TncCommandSet& set, platform::SerialPort& port, const TncRunOptions& o) {
  TncRunResult r;
  r.portOpened = true;
  auto wait = [&o](float seconds, bool with_events) {
    if (seconds <= 0) return;
    if (o.wait)
      o.wait(seconds, with_events);
    else if (with_events)
      platform::PauseWithEvents(seconds);
    else
      platform::Pause(seconds);
  };
  auto note_input = [&port, &r] {
    if (port.IsOpen() && port.InBufferCount() > 0) r.answered = true;
  };
  for (const TncStep& st : set) {
    switch (st.action) {
      case TncAction::Open:
        if (!port.Open(o.portNumber, st.bytes + ",N,8,1")) {
          r.portOpened = false;
          r.error = port.LastError();
          r.device = platform::SerialDeviceForPort(o.portNumber);
          return r;  // nothing can reach the TNC: the rest of the set is skipped
        }
        r.device = port.DeviceName();
        break;
      case TncAction::Send:
        port.Write(st.bytes);  // a failing write is skipped, as the waits go on
        break;
      case TncAction::Drain:
        note_input();
        if (port.IsOpen()) {
          // Drain also drops the input; what the TNC said so far was noted above.
          port.Drain(o.drainTimeoutMs);
        }
        break;
      case TncAction::DiscardInput:
        note_input();
        if (port.IsOpen()) port.ReadAll();
        break;
      case TncAction::AwaitPromptGone: {
        int reads = 0;
        for (;;) {
          if (reads >= o.maxPromptReads) {
            r.promptLoopCut = true;
            break;
          }
          wait(st.wait, st.withEvents);
          ++reads;
          const std::string got = port.ReadAll();
          if (!got.empty()) r.answered = true;
          if (got.find("cmd:") == std::string::npos) break;
        }
        continue;  // its wait belongs to each turn
      }
      case TncAction::Close:
        note_input();
        port.Close();
        break;
      case TncAction::Wait: break;
    }
    wait(st.wait, st.withEvents);
  }
  note_input();
  if (o.closeAtEnd) port.Close();
  return r;
}

std::string TncKindName(int interface_kind) {
  switch (InterfaceKindOf(interface_kind)) {
    case InterfaceKind::Pk232: return "PK-232";
    case InterfaceKind::ScsTnc: return "SCS TNC";
    case InterfaceKind::ScsPtc: return "SCS PTC";
    default: return {};
  }
}

std::string TncRunMessage(const TncRunResult& r, const std::string& kind, int port_number) {
  const std::string com = "COM" + std::to_string(port_number);
  if (!r.portOpened) {
    std::string m = "CANNOT OPEN " + com + " FOR THE " + kind + " - THE TNC WAS NOT SET UP !";
    if (!r.error.empty()) m += "\r\n" + r.error;
    return m;
  }
  if (!r.answered) {
    return "NO ANSWER FROM THE " + kind + " ON " + com + " (" + r.device + ") - CHECK CABLE, SPEED AND POWER !";
  }
  if (r.promptLoopCut) {
    return "THE " + kind + " ON " + com + " DID NOT STOP SENDING ITS PROMPT - CHECK THE TNC !";
  }
  return {};
}

}  // namespace zeblon::links
