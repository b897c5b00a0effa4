#include "reception/monitor_input.h"
#include "settings/text_files.h"

#include <algorithm>

namespace zeblon::reception {
namespace {

std::string_view Before(std::string_view s, std::string_view what) {
  const std::size_t p = s.find(what);
  return p == std::string_view::npos ? s : s.substr(0, p);
}

}  // namespace

void GateHook::Offer(const std::string& text) const {
  if (verified && gate && verified() && text.size() > 10) gate(text);
}

int CountCr(std::string_view text) {
  int n = 0;
  for (std::size_t at = text.find('\r'); at != std::string_view::npos; at = text.find('\r', at + 1)) ++n;
  return n;
}

namespace {

// ConvertAgwMonitorText appending to `out`; false (and nothing appended) where
// the conversion gives no frame. Works on views of the text, copying only what
// goes into the frame.
bool AppendAgwMonitorFrame(std::string& out, std::string_view t) {
  const std::size_t cr = t.find('\r');
  if (cr == std::string_view::npos) return false;
  // The header fields come from the first line only, so that words of the
  // payload ("Via", "To ") never become part of the header.
  const std::string_view line = t.substr(0, cr + 1);
  if (line.size() < 6) return false;
  const std::string_view from6 = TrimView(line.substr(5));
  const std::size_t to = from6.find("To");
  if (to == std::string_view::npos) return false;
  const std::size_t end = t.find("\r\r", cr + 1);
  if (end == std::string_view::npos) return false;
  out += TrimView(from6.substr(0, to));
  if (line.find('*') == std::string_view::npos) out += '*';
  out += '>';
  const std::size_t via = line.find("Via");
  if (via != std::string_view::npos) {
    const std::size_t pathAt = out.size();
    out += TrimView(Before(TrimView(line.substr(via + 3)), "<"));
    std::replace(out.begin() + static_cast<std::ptrdiff_t>(pathAt), out.end(), ',', '>');
    out += '>';
  }
  const std::size_t toBlank = line.find("To ");
  if (toBlank != std::string_view::npos) {
    std::string_view dest = TrimView(line.substr(toBlank + 2));
    if (dest.find("Via") != std::string_view::npos)
      dest = Before(dest, "Via");
    else
      dest = Before(dest, " <");
    out += TrimView(dest);
  }
  const std::size_t lt = line.find(" <");
  if (lt != std::string_view::npos) {
    out += " <";
    out += Before(TrimView(line.substr(lt + 2)), " ");
    out += ">:";
  }
  out += "\r\n";
  out += t.substr(cr + 1, end - cr - 1);
  out += "\r\n";
  return true;
}

}  // namespace

std::string ConvertAgwMonitorText(std::string_view t) {
  std::string frame;
  AppendAgwMonitorFrame(frame, t);
  return frame;
}

std::string TakeAgwTcpFrames(std::string& buffer) {
  std::string out;
  if (buffer.size() >= 20) out.reserve(buffer.size());  // a frame is about as long as its part
  // Parts are taken from the front by moving a start; the buffer is shortened
  // once at the end, so a long buffer is not moved once per part.
  std::size_t at = 0;
  for (;;) {
    if (buffer.size() - at < 20) break;
    std::size_t end = buffer.find("\r\r", at);
    // A CR NUL before that end (searched no further than the end, so that a long
    // buffer is not searched whole for every part).
    const std::string_view before(buffer.data() + at, (end == std::string::npos ? buffer.size() : end + 1) - at);
    std::size_t endNul = before.find(std::string_view("\r\0", 2));
    if (endNul != std::string_view::npos) endNul += at;
    if (endNul != std::string::npos && (end == std::string::npos || endNul < end)) {
      buffer[endNul + 1] = '\r';  // a monitor part that ends CR NUL ends like one that ends CR CR
      end = endNul;
    }
    if (end == std::string::npos) break;
    const std::string_view part(buffer.data() + at, end + 2 - at);
    at = end + 2;
    const std::size_t fm = part.find(":Fm ");
    if (fm == std::string_view::npos || fm == 0) continue;
    const std::string_view text = part.substr(fm - 1);
    // A part that is no monitor text of one frame is dropped alone: the parts
    // behind it are taken in the same turn.
    if (CountCr(text) != 3) continue;
    AppendAgwMonitorFrame(out, text);
  }
  buffer.erase(0, at);
  return out;
}

std::optional<std::string> TakePk232Read(std::string text) {
  if (text == "K\r\n" || text.size() < 10) return std::nullopt;
  const std::size_t crlf = text.find("\r\n");
  const std::string_view first = std::string_view(text).substr(0, crlf == std::string::npos ? text.size() : crlf + 2);
  if (first.find("<UI>") == std::string_view::npos && first.find("[UI]") == std::string_view::npos) {
    if (crlf == std::string::npos) return std::nullopt;  // a read without any line end
    text.erase(0, crlf);
    if (text.size() < 10) return std::nullopt;
    text.erase(0, 2);
  }
  return text;
}

std::string ConvertScsFrames(std::string text, bool ptc) {
  std::string out;
  for (int frames = 0; frames < 10; ++frames) {
    const std::size_t fm0 = text.find("fm ");
    if (fm0 == std::string::npos) break;
    const std::size_t pid0 = text.find(" pid F0\r\n", fm0);
    if (pid0 == std::string::npos || text.find("\r\n", pid0 + 9) == std::string::npos) break;
    if (fm0 < 9) text.replace(0, fm0, 1, '\n');
    const std::size_t h = text.find("\nfm ");
    if (h == std::string::npos) break;
    const std::size_t src = h + 4;
    const std::size_t to = text.find(" to ", src);
    if (to == std::string::npos) break;
    const std::string source = text.substr(src, to - src);
    const std::size_t ctl = text.find(" ctl ", to);
    if (ctl == std::string::npos) break;
    const std::size_t via = text.find(" via ", to);
    std::string dest, digis;
    if (via != std::string::npos && via < ctl) {
      dest = text.substr(to + 4, via - to - 4);
      digis = text.substr(via + 5, ctl - via - 5);
    } else {
      dest = text.substr(to + 4, ctl - to - 4);
    }
    const std::size_t pid = text.find(" pid F0\r\n", ctl);
    if (pid == std::string::npos) break;
    const std::size_t payload = pid + 9;
    std::string header = source;
    if (!digis.empty()) {
      std::replace(digis.begin(), digis.end(), ' ', '>');
      digis += '>';
      if (digis.find('*') == std::string::npos) header += '*';
    }
    header += ">" + digis + dest + " <UI>:\r\n";
    const std::size_t end = text.find("\r\n", payload);
    if (end == std::string::npos) break;
    out += header;
    out += text.substr(payload, end - payload);
    out += "\r\n";
    text.erase(0, end);
    if (text.find("\nfm ") == std::string::npos && !(ptc && text.find("1:fm ") != std::string::npos)) break;
  }
  return out;
}

// ---------------------------------------------------------------------------

AgwLocalSource::AgwLocalSource(std::function<std::optional<std::string>()> getData, GateHook gate)
    : getData_(std::move(getData)), gate_(std::move(gate)) {}

TurnRead AgwLocalSource::ReadTurn() {
  TurnRead r;
  for (;;) {
    std::optional<std::string> text = getData_();
    if (!text) break;
    if (text->size() > 4000) text->resize(4000);
    gate_.Offer(*text);
    // A text that is no monitor text of one frame (no payload, a supervisory
    // frame's short text) is dropped alone; the reading goes on with the next.
    if (CountCr(*text) != 3) continue;
    AppendAgwMonitorFrame(r.text, *text);
  }
  return r;
}

AgwRemoteSource::AgwRemoteSource(std::string& agwTcpBuffer, std::function<bool()> dataPending)
    : buffer_(agwTcpBuffer), dataPending_(std::move(dataPending)) {}

TurnRead AgwRemoteSource::ReadTurn() {
  TurnRead r;
  if (!dataPending_()) {
    r.leave = TurnRead::Leave::WithRedraw;
    return r;
  }
  r.text = TakeAgwTcpFrames(buffer_);
  return r;
}

Pk232Source::Pk232Source(std::function<std::string()> readPort, GateHook gate)
    : readPort_(std::move(readPort)), gate_(std::move(gate)) {}

TurnRead Pk232Source::ReadTurn() {
  TurnRead r;
  std::optional<std::string> text = TakePk232Read(readPort_());
  if (!text) {
    r.leave = TurnRead::Leave::WithRedraw;
    return r;
  }
  gate_.Offer(*text);
  r.text = std::move(*text);
  return r;
}

ScsSource::ScsSource(std::function<std::string()> readPort, std::function<void()> pause, GateHook gate, bool ptc)
    : readPort_(std::move(readPort)), pause_(std::move(pause)), gate_(std::move(gate)), ptc_(ptc) {}

TurnRead ScsSource::ReadTurn() {
  TurnRead r;
  std::string text = readPort_();
  gate_.Offer(text);
  std::size_t noted = text.size();
  if (pause_) pause_();
  int growths = 0;
  for (;;) {
    text += readPort_();
    if (text.size() > 1000) {
      r.leave = TurnRead::Leave::AtOnce;
      return r;
    }
    if (text.size() == noted) break;
    if (pause_) pause_();
    noted = text.size();
    if (++growths == 5) return r;  // still growing: the read is abandoned
  }
  if (!text.empty()) r.text = ConvertScsFrames(std::move(text), ptc_);
  return r;
}

}  // namespace zeblon::reception
