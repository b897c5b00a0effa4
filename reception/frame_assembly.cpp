#include "reception/frame_assembly.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "reception/byte_scan.h"
#include "settings/text_files.h"

namespace zeblon::reception {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr std::string_view kMarkers[3] = {" (UI):\r\n", " <UI>:\r\n", " [UI]:\r\n"};

}  // namespace

namespace {

// The 0-based positions of the ">" before which a heard mark goes: of every UI
// header line ("UI" at 1-based positions 5 .. n - 5, followed by one character
// and ":" CR LF) that holds a ">" and no "*".
void HeardMarkPlaces(std::string_view text, std::vector<std::size_t>& places) {
  const std::size_t n = text.size();
  for (std::size_t p = 4; p + 6 <= n; ++p) {
    p = text.find('U', p);
    if (p == std::string_view::npos || p + 6 > n) break;
    if (text[p + 1] != 'I' || text[p + 3] != ':' || text[p + 4] != '\r' || text[p + 5] != '\n') continue;
    const std::size_t lf = text.rfind('\n', p);
    const std::size_t start = lf == std::string_view::npos ? 0 : lf + 1;
    const std::string_view line = text.substr(start, p - start);
    if (line.find('*') != std::string_view::npos) continue;
    const std::size_t gt = line.find('>');
    if (gt == std::string_view::npos) continue;
    places.push_back(start + gt);
  }
}

std::string WithHeardMarks(std::string_view text, const std::vector<std::size_t>& places) {
  std::string out;
  out.reserve(text.size() + places.size());
  std::size_t from = 0;
  for (std::size_t at : places) {
    out.append(text.substr(from, at - from));
    out += '*';
    from = at;
  }
  out.append(text.substr(from));
  return out;
}

}  // namespace

std::string ApplyHeardMark(std::string_view text) {
  std::vector<std::size_t> places;
  HeardMarkPlaces(text, places);
  return places.empty() ? std::string(text) : WithHeardMarks(text, places);
}

std::string ApplyHeardMark(std::string&& text) {
  std::vector<std::size_t> places;
  places.reserve(16);
  HeardMarkPlaces(text, places);
  return places.empty() ? std::move(text) : WithHeardMarks(text, places);
}

void AddToMonitorLines(MonitorLines& list, std::string_view text) {
  // Lines beyond 400 are let run into the spare slots and the oldest dropped
  // once per read (or when the slots are full), not once per line.
  constexpr int kKept = 400;
  constexpr int kLast = static_cast<int>(std::tuple_size_v<decltype(list.lines)>) - 1;
  auto dropOldest = [&list] {
    const int drop = list.count - kKept;
    if (drop <= 0) return;
    for (int i = 0; i <= kKept; ++i) list.lines[i] = std::move(list.lines[i + drop]);
    for (int i = kKept + 1; i <= list.count; ++i) list.lines[i].clear();
    list.count = kKept;
  };
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\n') {
      if (list.count == kLast) dropOldest();
      ++list.count;
      list.lines[list.count].clear();
      ++i;
      continue;
    }
    // The characters up to the next line feed: runs above code 27 in one piece.
    std::size_t end = text.find('\n', i);
    if (end == std::string_view::npos) end = text.size();
    std::string& line = list.lines[list.count];
    while (i < end) {
      std::size_t run = i;
      while (run<end&& static_cast<unsigned char>(text[run])> 27) ++run;
      line.append(text.substr(i, run - i));
      i = run;
      while (i < end && static_cast<unsigned char>(text[i]) <= 27) ++i;
    }
  }
  dropOldest();
}

FrameCut CutFrame(std::string& buffer) {
  FrameCut cut;
  // The first of the markers: each is looked for only before the first found
  // so far, so a long buffer is not searched whole for markers it lacks.
  std::size_t marker = std::string::npos;
  for (const int i : {1, 0, 2}) {  // the common " <UI>:" first
    const std::string_view m = kMarkers[i];
    const std::size_t limit = marker == std::string::npos ? buffer.size() : marker + m.size() - 1;
    const std::size_t at = std::string_view(buffer).substr(0, limit).find(m);
    if (at != std::string_view::npos) marker = std::min(marker, at);
  }
  if (marker == std::string::npos) {
    if (buffer.size() > 2000) buffer.erase(0, buffer.size() - 100);
    return cut;
  }
  const std::size_t lf = marker == 0 ? std::string::npos : buffer.rfind('\n', marker - 1);
  if (lf == std::string::npos) {
    buffer.erase(0, marker + 7);  // the marker and its CR; the LF stays first
    return cut;
  }
  buffer.erase(0, lf);
  const std::size_t lf2 = buffer.find('\n', 1);
  const std::size_t lf3 = lf2 == std::string::npos ? std::string::npos : buffer.find('\n', lf2 + 1);
  if (lf3 == std::string::npos) {
    cut.kind = FrameCut::Kind::Incomplete;
    return cut;
  }
  cut.kind = FrameCut::Kind::Frame;
  cut.frameText = buffer.substr(1, lf3 - 1);
  buffer.erase(0, lf3);
  return cut;
}

namespace {

// 1-based helpers over the frame text.

// A 0-based index as a 1-based position, npos as 0.
std::size_t Pos1(std::size_t i) { return i == scan::npos ? 0 : i + 1; }

bool OneOf(char c, std::string_view chars) {
  for (char x : chars)
    if (x == c) return true;
  return false;
}

// First position (1-based) of any of the characters within [from, to]; 0 when none.
std::size_t FirstOf(std::string_view s, std::string_view chars, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i <= to && i <= s.size(); ++i)
    if (OneOf(s[i - 1], chars)) return i;
  return 0;
}

// Last position (1-based) of any of the characters before 'before'; 0 when none.
std::size_t LastOfBefore(std::string_view s, std::string_view chars, std::size_t before) {
  for (std::size_t i = std::min(before, s.size() + 1); i-- > 1;)
    if (OneOf(s[i - 1], chars)) return i;
  return 0;
}

HeaderOutcome HandOver(FrameValues& v) {
  v.stampDeviates = 0;
  return v.payloadText.empty() ? HeaderOutcome::Drop : HeaderOutcome::Payload;
}

// The payload from the text behind the header's ":" CR LF (at least one character).
void TakePayload(FrameValues& v, std::string_view rest) {
  const std::string_view payload = TrimView(rest.substr(0, scan::Find(rest, '\r')));
  if (payload.empty()) return;
  v.dataTypeChar = rest[0];
  v.payloadText.Refer(payload);
}

// The call as the upper case of frame[from, to).
void SetCall(FrameText& call, std::string_view frame, std::size_t from, std::size_t to) {
  const std::string_view text = frame.substr(from, to - from);
  if (!scan::AnyFromA(frame, from, to)) {  // over the frame: longer texts are searched faster
    call.Refer(text);
    return;
  }
  std::string& b = call.Buffer();
  b.assign(text);
  UpperCaseInPlace(b);
  call.Commit();
}

// The alias test over the header from the end of the source call to its ":".
bool AliasUsed(std::string_view sub) {
  // 0-based from the second to the last but one character, where a "-" or "W" is.
  for (std::size_t j = scan::FindEither(sub, '-', 'W', 1); j != scan::npos && j + 1 < sub.size();
       j = scan::FindEither(sub, '-', 'W', j + 1)) {
    const char c = sub[j];
    if (c == '-') {
      if (IsDigit(sub[j - 1]) && IsDigit(sub[j + 1]) && sub[j - 1] > sub[j + 1]) return true;
    } else if (c == 'W') {
      if (j + 4 < sub.size() && sub[j + 1] == 'I' && sub[j + 2] == 'D' && sub[j + 3] == 'E' && IsDigit(sub[j + 4]) &&
          (j + 5 >= sub.size() || sub[j + 5] != '-'))
        return true;
    }
  }
  return false;
}

// 1-based position of the ":" of the first ":" CR LF; 0 when none. firstColon:
// 0-based index of the first ":" of all.
std::size_t HeaderEnd(std::string_view s, std::size_t& firstColon) {
  firstColon = scan::Find(s, ':');
  for (std::size_t i = firstColon; i != scan::npos; i = scan::Find(s, ':', i + 1))
    if (i + 2 < s.size() && s[i + 1] == '\r' && s[i + 2] == '\n') return i + 1;
  return 0;
}

}  // namespace

HeaderOutcome NormaliseHeader(std::string_view frame, std::string_view txCall, std::string_view ownEchoHeader,
                              FrameValues& v) {
  std::size_t firstColon = 0;
  const std::size_t P = HeaderEnd(frame, firstColon);
  if (P == 0) return HeaderOutcome::Drop;
  v.headerLine.Refer(frame.substr(0, P - 1));
  v.thirdPartyFlag = 0;
  // A third-party frame (APRS 1.0.1, chapter 17) carries its own header behind "}".
  const bool relayed = P + 3 <= frame.size() && frame[P + 2] == '}';

  if (relayed) {
    if (!txCall.empty() && v.headerLine.substr(0, 12).find(txCall) != std::string_view::npos)
      return HeaderOutcome::Drop;
    v.thirdPartyFlag = 1;
    if (scan::Find(frame, ':', P) != scan::npos) {
      // The inner packet after "}", its header line ended by CR LF behind its
      // first ":", in a buffer kept from frame to frame.
      thread_local std::string unwrapped;
      unwrapped.assign(frame.substr(P + 3));
      const std::size_t colon = unwrapped.find(':');
      unwrapped.insert(colon + 1, "\r\n");
      const std::string_view inner = unwrapped;
      // A piece of the inner packet: referred to in the frame where the frame
      // holds it as it is, copied where it takes in the inserted line end.
      auto piece = [&](FrameText& to, std::size_t from, std::size_t count) {
        if (from + count <= colon + 1)
          to.Refer(frame.substr(P + 3 + from, count));
        else if (from >= colon + 3)
          to.Refer(frame.substr(P + 1 + from, count));
        else
          to = inner.substr(from, count);
      };
      const std::size_t S = Pos1(scan::Find(inner, '>'));
      const std::size_t headerEnd = colon + 1;  // the first ":" CR LF: the first ":", where the line end went in
      if (S == 0) return HeaderOutcome::Drop;
      std::size_t callEnd = S - 1;
      if (callEnd > 0 && inner[callEnd - 1] == '*') --callEnd;
      if (scan::AnyFromA(inner, 0, callEnd)) {
        std::string& call = v.callText.Buffer();
        call.assign(inner.substr(0, callEnd));
        UpperCaseInPlace(call);
        v.callText.Commit();
      } else {
        piece(v.callText, 0, callEnd);
      }
      const std::size_t T = Pos1(scan::Find(inner, '*'));
      if (T > 11) {
        const std::size_t from = LastOfBefore(inner, ":,>", T);
        piece(v.viaText, from, T - 1 - from);
      }
      if (inner.find("TCPIP") != std::string_view::npos) v.viaText.Refer("TCPIP");
      if (S < headerEnd) {
        const std::size_t end = FirstOf(inner, "*:,>", S + 1, headerEnd);
        const std::size_t stop = end == 0 ? headerEnd : end;
        piece(v.destinationCall, S, stop - 1 - S);
      }
      if (v.viaText.empty()) v.viaText = v.destinationCall;
      // The payload lies behind the inserted line end, in the frame as it is.
      if (headerEnd + 3 <= inner.size()) TakePayload(v, frame.substr(P + 1 + headerEnd + 2));
      return HandOver(v);
    }
  }

  // Plain steps. One look over the header from its third character: E is the
  // first "*" or ">", A the first "*" (1-based, 0 when none).
  if (P < 7) return HeaderOutcome::Drop;
  const std::string_view header = frame.substr(0, P - 1);
  std::size_t E = 0, A = 0;
  const std::size_t e0 = scan::FindEither(header, '*', '>', 2);
  if (e0 != scan::npos) {
    E = e0 + 1;
    const std::size_t a0 = header[e0] == '*' ? e0 : scan::Find(header, '*', E);
    if (a0 != scan::npos) A = a0 + 1;
  }
  if (A == 0 && frame[0] != '*' && frame[1] != '*') return HeaderOutcome::Drop;  // no "*" before the ":"
  if (E == 0) return HeaderOutcome::Drop;
  SetCall(v.callText, frame, 0, E - 1);
  std::string_view echo;
  if (!ownEchoHeader.empty()) echo = frame.substr(0, ownEchoHeader.size());
  std::size_t cmd = 0;  // the first "cmd:" in the source call (which needs a ":" ahead of E)
  if (firstColon != scan::npos && firstColon + 1 < E)
    while (cmd + 4 < E &&
           !(frame[cmd] == 'c' && frame[cmd + 1] == 'm' && frame[cmd + 2] == 'd' && frame[cmd + 3] == ':'))
      ++cmd;
  else
    cmd = E;
  if (cmd + 4 < E) {
    SetCall(v.callText, frame, cmd + 4, E - 1);
    if (!ownEchoHeader.empty()) echo = frame.substr(cmd + 4, ownEchoHeader.size());
  }
  if (!ownEchoHeader.empty() && echo == ownEchoHeader) return HeaderOutcome::OwnEcho;
  if (A != 0 && A < 11) {
    v.viaText.Refer(" ");
  } else if (A != 0) {
    const std::size_t from = LastOfBefore(frame, ",>", A);
    v.viaText.Refer(frame.substr(from, A - 1 - from));
  }
  if (TrimView(v.viaText).empty()) {
    if (AliasUsed(frame.substr(E - 1, P - E + 1))) v.viaText.Refer("ALIAS");
  }
  const std::size_t g0 = scan::FindLast(frame, '>', P - 2);  // the last ">" before the character ahead of the ":"
  const std::size_t G = g0 == scan::npos ? 0 : g0 + 1;
  if (G != 0 && P >= G + 6) v.destinationCall.Refer(frame.substr(G, P - G - 6));
  if (G > E && A != 0 && A < P && P + 3 <= frame.size()) TakePayload(v, frame.substr(P + 2));
  return HandOver(v);
}

HeaderOutcome NormaliseHeader(std::string&& frameText, std::string_view txCall, std::string_view ownEchoHeader,
                              FrameValues& v) {
  return NormaliseHeader(v.HoldFrame(std::move(frameText)), txCall, ownEchoHeader, v);
}

HeaderOutcome NormaliseHeader(const char* frameText, std::string_view txCall, std::string_view ownEchoHeader,
                              FrameValues& v) {
  return NormaliseHeader(std::string(frameText), txCall, ownEchoHeader, v);
}

}  // namespace zeblon::reception
