#include "links/serial_tnc_reader.h"

#include "platform/serial_port.h"
#include "platform/wait.h"

namespace zeblon::links {

namespace {

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// A character of an address part as the PK-232 prints it.
bool InAddressPart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '*' || c == '>';
}

// Keeps the last characters of a thrown-away line: enough for a header and its line end.
void KeepLast(std::string& tail, std::string_view more) {
  constexpr std::size_t kKept = kLongestTncLine + 2;
  if (more.size() >= kKept) {
    tail.assign(more.substr(more.size() - kKept));
    return;
  }
  tail += more;
  if (tail.size() > kKept) tail.erase(0, tail.size() - kKept);
}

}  // namespace

std::size_t FrameHeaderStart(std::string_view line) {
  if (EndsWith(line, " pid F0")) {
    std::size_t fm = line.rfind("fm ");
    if (fm == std::string_view::npos) return fm;
    if (fm >= 2 && line.substr(fm - 2, 2) == "1:") fm -= 2;
    return fm;
  }
  for (std::string_view marker : {" <UI>:", " [UI]:", " (UI):"}) {
    if (!EndsWith(line, marker)) continue;
    const std::size_t end = line.size() - marker.size();
    std::size_t start = end;
    while (start > 0 && InAddressPart(line[start - 1])) --start;
    // Whole only behind a character that cannot stand in it: the junk ahead
    // might otherwise be the beginning of the source call.
    if (start == 0) return std::string_view::npos;
    const std::string_view address = line.substr(start, end - start);
    const std::size_t gt = address.find('>');
    if (gt == std::string_view::npos || gt == 0) return std::string_view::npos;
    return start;
  }
  return std::string_view::npos;
}

std::string HoldLinesShort(std::string_view text, TncLineState& s) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    const bool ends = lf != std::string_view::npos;
    std::string_view line = text.substr(0, ends ? lf + 1 : text.size());  // with its line end
    text.remove_prefix(line.size());
    if (!s.dropping) {
      // The length without the line end (LF, or CR LF).
      const std::size_t length = line.size() - (!ends ? 0 : line.size() >= 2 && line[line.size() - 2] == '\r' ? 2 : 1);
      if (s.lineLength + length <= kLongestTncLine) {
        out += line;
        s.lineLength = ends ? 0 : s.lineLength + length;
        continue;
      }
      const std::size_t kept = kLongestTncLine - s.lineLength;
      out += line.substr(0, kept);
      out += "\r\n";
      s.lineLength = 0;
      s.dropping = true;
      s.droppedTail.clear();
      line.remove_prefix(kept);
    }
    KeepLast(s.droppedTail, line);
    if (!ends) continue;
    // The overlong line's own end: a frame header that the junk ran into stays.
    std::string_view body = s.droppedTail;
    body.remove_suffix(1);
    if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
    const std::size_t header = FrameHeaderStart(body);
    if (header != std::string_view::npos) out += s.droppedTail.substr(header);
    s.dropping = false;
    s.droppedTail.clear();
  }
  return out;
}

SerialTncReader::SerialTncReader(platform::SerialPort& port, std::string kindName, int portNumber,
                                 std::function<void(const std::string&)> notice)
    : port_(port), kindName_(std::move(kindName)), portNumber_(portNumber), notice_(std::move(notice)) {}

std::string SerialTncReader::Read() {
  if (!port_.IsOpen()) return {};
  lost_ = false;  // open again (the TX setup's OK reopens the port): a new loss is said again
  // What came before a loss is still in the port's buffer: it is read first.
  std::string text = HoldLinesShort(port_.ReadAll(), lines_);
  if (port_.LineLost()) {
    text += HoldLinesShort(port_.ReadAll(), lines_);
    port_.Close();
    if (notice_) notice_("LINE TO THE " + kindName_ + " ON COM" + std::to_string(portNumber_) + " LOST");
    lost_ = true;
    // The line the loss tore is ended.
    if (lines_.lineLength > 0) text += "\r\n";
    lines_ = TncLineState{};
  }
  return text;
}

std::unique_ptr<reception::MonitorSource> SerialTncReader::SourceFor(reception::InterfaceKind kind,
                                                                     reception::GateHook gate) {
  auto read = [this] { return Read(); };
  switch (kind) {
    case reception::InterfaceKind::Pk232: return std::make_unique<reception::Pk232Source>(read, std::move(gate));
    case reception::InterfaceKind::ScsTnc:
    case reception::InterfaceKind::ScsPtc:
      return std::make_unique<reception::ScsSource>(
          read, [] { platform::Pause(0.01f); }, std::move(gate), kind == reception::InterfaceKind::ScsPtc);
    default: return nullptr;
  }
}

}  // namespace zeblon::links
