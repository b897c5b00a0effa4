#include "reception/igate.h"

#include <algorithm>

#include "settings/text_files.h"

namespace zeblon::reception {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// What the work on one frame gave.
struct FrameOutcome {
  enum class Kind {
    Line,  // a line to send
    Skip,  // not a gateable frame (another frame type, markers out of place): go on
    Stop   // nothing more can be gated from this text
  };
  Kind kind = Kind::Stop;
  std::string line;
  std::size_t payloadEnd = 0;  // the position from which the next frame is looked for
};

FrameOutcome Stop() { return {}; }

FrameOutcome Skip(std::size_t end) {
  FrameOutcome o;
  o.kind = FrameOutcome::Kind::Skip;
  o.payloadEnd = end;
  return o;
}

bool HoldsNoGateWord(std::string_view header) {
  for (std::string_view word : {"NOGATE", "RFONLY", "TCPIP", "TCPXX"}) {
    if (header.find(word) != npos) return true;
  }
  return false;
}

bool IsQueryOrThirdParty(std::string_view payload) {
  return !payload.empty() && (payload.front() == '}' || payload.front() == '?');
}

// The payload as it goes on the line: a CR, LF or NUL ends it, since the server
// would take what follows for a line of its own.
std::string_view PayloadForLine(std::string_view payload) {
  const std::size_t cut = payload.find_first_of(std::string_view("\r\n\0", 3));
  return cut == npos ? payload : payload.substr(0, cut);
}

// SRC ">" DEST "," path ",", "qAR," and the gate call, ":" (the part before the payload).
std::string LineHead(std::string_view src, std::string_view dest, std::string_view path, std::string_view gateCall) {
  std::string head;
  head.reserve(src.size() + dest.size() + path.size() + gateCall.size() + 10);
  head.append(src).append(">").append(dest).append(",");
  if (!path.empty()) head.append(path).append(",");
  head.append("qAR,");
  // The own station's frames (the own call, also with another SSID) go as TCPIP.
  const std::string_view src_and_on = head;
  if (src_and_on.substr(0, gateCall.size()) == gateCall) {
    head.append("TCPIP");
  } else {
    head.append(gateCall);
  }
  head.append(":");
  return head;
}

FrameOutcome Finish(std::string head, std::string_view payload, std::size_t payloadEnd) {
  FrameOutcome o;
  o.kind = FrameOutcome::Kind::Line;
  o.line = std::move(head);
  o.line.append(PayloadForLine(payload)).append("\r\n");
  o.payloadEnd = payloadEnd;
  return o;
}

// ---------------------------------------------------------------------------

FrameOutcome AgwFrame(std::string_view t, std::string_view gateCall) {
  const std::size_t fm = t.find(":Fm ");
  if (fm == npos) return Stop();
  const std::size_t headerEnd = t.find("]\r", fm);
  if (headerEnd == npos) return Stop();
  const std::size_t payloadStart = headerEnd + 2;
  // The payload ends at CR CR, or at the CR NUL with which the engine's TCP frames end.
  std::size_t end = npos;
  for (std::size_t i = payloadStart + 1; i + 1 < t.size(); ++i) {
    if (t[i] == '\r' && (t[i + 1] == '\r' || t[i + 1] == '\0')) {
      end = i;
      break;
    }
  }
  if (end == npos) return Stop();
  const std::string_view header = t.substr(fm, headerEnd - fm);
  // The header is one line: a line break before "]" CR ends a frame of another form.
  const std::size_t lineBreak = header.find_first_of("\r\n");
  if (lineBreak != npos) return Skip(fm + lineBreak);
  const std::size_t to = header.find(" To ");
  const std::size_t ui = to == npos ? npos : header.find(" <UI", to);
  if (ui == npos) return Skip(end);  // another frame type: never gated
  const std::size_t via = header.find(" Via ", to);
  const std::string_view src = header.substr(4, to - 4);
  std::string_view dest;
  std::string path;
  if (via != npos && via < ui) {
    dest = header.substr(to + 4, via - to - 4);
    path.assign(header.substr(via + 5, ui - via - 5));
    const std::size_t star = path.find('*');
    if (star != std::string::npos) path.erase(star, 1);
  } else {
    dest = header.substr(to + 4, ui - to - 4);
  }
  if (HoldsNoGateWord(t.substr(0, headerEnd + 1))) return Stop();
  const std::string_view payload = t.substr(payloadStart, end - payloadStart);
  if (IsQueryOrThirdParty(payload)) return Stop();
  return Finish(LineHead(src, dest, path, gateCall), payload, end);
}

FrameOutcome Tnc2Frame(std::string_view t, std::string_view gateCall) {
  const std::size_t colon = t.find(":\r\n");
  if (colon == npos) return Stop();
  const std::size_t payloadStart = colon + 3;
  const std::size_t payloadCrLf = t.find("\r\n", payloadStart);
  if (payloadCrLf == npos) return Stop();
  const std::size_t end = payloadCrLf + 1;  // the LF
  // The header is the line that ends with ":" CR LF; text before it is no frame.
  const std::size_t lineBreak = t.find_last_of("\r\n", colon);
  const std::size_t lineStart = lineBreak == npos ? 0 : lineBreak + 1;
  std::string header(t.substr(lineStart, colon - lineStart));
  const std::size_t star = header.find('*');
  if (star != std::string::npos) header.erase(star, 1);
  const std::size_t blank = header.find(' ');
  if (blank == std::string::npos) return Stop();
  // Only UI frames carry APRS: "<UI>", "[UI]" or "(UI)" after the address part.
  if (header.find("UI", blank) == std::string::npos) return Skip(end);
  const std::string_view address = std::string_view(header).substr(0, blank);
  const std::size_t first = address.find('>');
  if (first == npos) return Stop();
  const std::size_t last = address.rfind('>');
  const std::string_view src = address.substr(0, first);
  const std::string_view dest = address.substr(last + 1);
  std::string path;
  if (last > first) {
    path.assign(address.substr(first + 1, last - first - 1));
    std::replace(path.begin(), path.end(), '>', ',');
  }
  std::string rebuilt = std::string(src) + ">" + std::string(dest) + ",";
  if (!path.empty()) rebuilt += path + ",";
  if (HoldsNoGateWord(rebuilt)) return Stop();
  const std::string_view payload = t.substr(payloadStart, payloadCrLf - payloadStart);
  if (IsQueryOrThirdParty(payload)) return Stop();
  return Finish(LineHead(src, dest, path, gateCall), payload, end);
}

FrameOutcome ScsFrame(std::string_view t, std::string_view gateCall, bool ptc) {
  std::size_t fm, srcStart;
  if (ptc) {
    fm = t.find(":fm ");
    if (fm == npos) return Stop();
    srcStart = fm + 4;
  } else {
    fm = t.find("fm ");
    if (fm == npos || fm > 4) return Stop();  // "fm " within the first five characters
    srcStart = fm + 3;
  }
  const std::size_t headerEnd = t.find("\r\n", fm);
  if (headerEnd == npos) return Stop();
  const std::string_view header = t.substr(0, headerEnd);
  constexpr std::string_view kPid = "pid F0";
  const bool hasPayload = header.size() >= kPid.size() && header.substr(header.size() - kPid.size()) == kPid;
  if (!hasPayload) return Skip(headerEnd);  // a frame without information field
  const std::size_t payloadStart = headerEnd + 2;
  const std::size_t end = t.find("\r\n", payloadStart);
  if (end == npos) return Stop();
  const std::size_t to = header.find(" to ", srcStart);
  const std::size_t ctl = to == npos ? npos : header.find(" ctl UI", to);
  if (ctl == npos) return Skip(end);  // another frame type: never gated
  const std::size_t via = header.find(" via ", to);
  const std::string_view src = header.substr(srcStart, to - srcStart);
  std::string_view dest, path;
  if (via != npos && via < ctl) {
    dest = header.substr(to + 4, via - to - 4);
    path = header.substr(via + 5, ctl - via - 5);
  } else {
    dest = header.substr(to + 4, ctl - to - 4);
  }
  const std::size_t lineBreak = header.find_last_of("\r\n", fm);
  const std::size_t lineStart = lineBreak == npos ? 0 : lineBreak + 1;
  if (HoldsNoGateWord(header.substr(lineStart, header.size() - kPid.size() - lineStart))) return Stop();
  const std::string_view payload = t.substr(payloadStart, end - payloadStart);
  if (IsQueryOrThirdParty(payload)) return Stop();
  std::string head = LineHead(src, dest, path, gateCall);
  std::replace(head.begin(), head.end(), ' ', ',');
  return Finish(std::move(head), payload, end);
}

// The frame loop shared by the four formats: `skip` holds the line-end
// characters passed over between frames.
template <typename FrameFn>
std::vector<std::string> GateLoop(std::string_view text, std::string_view txCall, std::string_view skip,
                                  FrameFn frame) {
  std::vector<std::string> lines;
  const std::string gateCall = Trim(txCall);
  if (gateCall.empty()) return lines;  // no own call: no gate call to put on the lines
  std::string_view rest = text;
  while (rest.size() > 10) {
    const FrameOutcome o = frame(rest, gateCall);
    if (o.kind == FrameOutcome::Kind::Stop) break;
    if (o.kind == FrameOutcome::Kind::Line) lines.push_back(o.line);
    std::size_t pos = o.payloadEnd;
    if (rest.size() - pos - 1 <= 10) break;
    while (pos + 2 < rest.size() && skip.find(rest[pos]) != npos) ++pos;
    if (pos == 0) break;  // no progress: nothing more to find
    rest.remove_prefix(pos);
  }
  return lines;
}

}  // namespace

std::vector<std::string> GateAgwFrames(std::string_view text, std::string_view txCall) {
  return GateLoop(text, txCall, std::string_view("\r\0", 2), AgwFrame);
}

std::vector<std::string> GateTnc2Frames(std::string_view text, std::string_view txCall) {
  return GateLoop(text, txCall, "\r\n", Tnc2Frame);
}

std::vector<std::string> GateScsTncFrames(std::string_view text, std::string_view txCall) {
  return GateLoop(text, txCall, "\r\n", [](std::string_view t, std::string_view g) { return ScsFrame(t, g, false); });
}

std::vector<std::string> GateScsPtcFrames(std::string_view text, std::string_view txCall) {
  return GateLoop(text, txCall, "\r\n", [](std::string_view t, std::string_view g) { return ScsFrame(t, g, true); });
}

std::vector<std::string> GateFrames(InterfaceKind kind, std::string_view text, std::string_view txCall) {
  switch (kind) {
    case InterfaceKind::AgwLocal: return GateAgwFrames(text, txCall);
    case InterfaceKind::Pk232: return GateTnc2Frames(text, txCall);
    case InterfaceKind::ScsTnc: return GateScsTncFrames(text, txCall);
    case InterfaceKind::ScsPtc: return GateScsPtcFrames(text, txCall);
    case InterfaceKind::AgwRemote:
    case InterfaceKind::NoRadio: break;
  }
  return {};
}

bool IsGatingInterface(InterfaceKind kind) {
  return kind == InterfaceKind::AgwLocal || kind == InterfaceKind::Pk232 || kind == InterfaceKind::ScsTnc ||
         kind == InterfaceKind::ScsPtc;
}

// ---------------------------------------------------------------------------

namespace {

std::string_view FirstEight(std::string_view s) { return s.substr(0, std::min<std::size_t>(8, s.size())); }
std::string_view LastEight(std::string_view s) { return s.substr(s.size() - std::min<std::size_t>(8, s.size())); }

// Whole seconds from `then` to `now`, counted in second boundaries.
long long SecondBoundaries(IGateDuplicateList::Clock::time_point then, IGateDuplicateList::Clock::time_point now) {
  using std::chrono::duration_cast;
  using std::chrono::seconds;
  return duration_cast<seconds>(now.time_since_epoch()).count() -
         duration_cast<seconds>(then.time_since_epoch()).count();
}

}  // namespace

bool IGateDuplicateList::IsRepeat(std::string_view line, Clock::time_point now) const {
  for (const Slot& s : slots_) {
    if (s.text.empty()) continue;
    if (FirstEight(line) == FirstEight(s.text) && LastEight(line) == LastEight(s.text) &&
        SecondBoundaries(s.time, now) < kRepeatSeconds) {
      return true;
    }
  }
  return false;
}

void IGateDuplicateList::Remember(std::string line, Clock::time_point now) {
  slots_[kSlots - 1].text = std::move(line);
  slots_[kSlots - 1].time = now;
}

void IGateDuplicateList::Age() {
  for (int i = 0; i < kSlots - 1; ++i) slots_[i] = slots_[i + 1];
  slots_[kSlots - 1].text.clear();
}

}  // namespace zeblon::reception
