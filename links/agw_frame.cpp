#include "links/agw_frame.h"

#include "geodesy/text.h"
#include "settings/text_files.h"

namespace zeblon::links {
namespace {

void PutCall(std::string& frame, std::size_t offset, std::string_view call) {
  frame.replace(offset, call.size(), call);
}

std::string CallOf(std::string_view field) {
  const std::size_t nul = field.find('\0');
  return std::string(field.substr(0, nul));
}

std::uint32_t LittleEndian32(std::string_view b) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[3])) << 24;
}

}  // namespace

std::optional<std::string> BuildAgwFrame(char kind, std::uint8_t port, std::string_view callFrom,
                                         std::string_view callTo, std::string_view data) {
  if (callFrom.size() > kAgwCallField || callTo.size() > kAgwCallField) return std::nullopt;
  std::string frame(kAgwHeaderSize, '\0');
  frame[0] = static_cast<char>(port);
  frame[4] = kind;
  PutCall(frame, 8, callFrom);
  PutCall(frame, 18, callTo);
  const std::uint32_t n = static_cast<std::uint32_t>(data.size());
  for (int i = 0; i < 4; ++i) frame[28 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
  frame.replace(32, 4, "ZEBL");
  frame.append(data);
  return frame;
}

std::optional<std::string> BuildUiFrameData(std::string_view path, std::string_view infoField) {
  std::string calls;
  int count = 0;
  std::string_view rest = TrimView(path);
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    const std::string_view call = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    if (call.empty()) continue;
    if (call.size() > kAgwCallField || count == 255) return std::nullopt;
    std::string field(kAgwCallField, '\0');
    field.replace(0, call.size(), call);
    calls += field;
    ++count;
  }
  std::string data(1, static_cast<char>(count));
  data += calls;
  data.append(infoField);
  return data;
}

std::uint8_t AgwRadioPortFor(std::string_view radioMode, std::uint8_t current) {
  if (radioMode == "1200") return 1;
  if (LeadingNumber(radioMode) == 300) return 0;
  return current;
}

bool IsAgwMonitorKind(char kind) { return kind == 'U' || kind == 'I' || kind == 'S' || kind == 'T'; }

std::string AgwMonitorText(std::string data) {
  // Worked on in place: the trailing NUL bytes leave the room for a CR.
  while (!data.empty() && data.back() == '\0') data.pop_back();
  if (!data.empty() && data.back() == '\r' && (data.size() < 2 || data[data.size() - 2] != '\r')) data += '\r';
  return data;
}

bool AgwFrameReader::Feed(std::string_view bytes) {
  partial_.append(bytes);
  std::size_t at = 0;
  bool ok = true;
  while (partial_.size() - at >= kAgwHeaderSize) {
    const std::string_view head(partial_.data() + at, kAgwHeaderSize);
    const std::uint32_t len = LittleEndian32(head.substr(28, 4));
    if (len > kAgwMaxDataLen) {
      ok = false;
      at = partial_.size();
      break;
    }
    if (partial_.size() - at < kAgwHeaderSize + len) break;
    AgwFrame f;
    f.port = static_cast<std::uint8_t>(head[0]);
    f.kind = head[4];
    f.pid = static_cast<std::uint8_t>(head[6]);
    f.callFrom = CallOf(head.substr(8, kAgwCallField));
    f.callTo = CallOf(head.substr(18, kAgwCallField));
    f.data.assign(partial_, at + kAgwHeaderSize, len);
    frames_.push_back(std::move(f));
    at += kAgwHeaderSize + len;
  }
  partial_.erase(0, at);
  return ok;
}

AgwFrame AgwFrameReader::Take() {
  AgwFrame f = std::move(frames_.front());
  frames_.pop_front();
  return f;
}

void AgwFrameReader::Clear() {
  partial_.clear();
  frames_.clear();
}

}  // namespace zeblon::links
