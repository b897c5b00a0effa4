#include "links/serial_tnc_reader.h"

#include "platform/serial_port.h"
#include "platform/wait.h"

namespace zeblon::links {

std::string HoldLinesShort(std::string_view text, std::size_t& lineLength, bool& dropping) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    const std::size_t run = lf == std::string_view::npos ? text.size() : lf + 1;  // with its line end
    const std::string_view line = text.substr(0, run);
    text.remove_prefix(run);
    const bool ends = lf != std::string_view::npos;
    if (dropping) {
      dropping = !ends;  // the overlong line's own end was given already
      continue;
    }
    // The length without the line end (LF, or CR LF).
    const std::size_t length = line.size() - (!ends ? 0 : line.size() >= 2 && line[line.size() - 2] == '\r' ? 2 : 1);
    if (lineLength + length <= kLongestTncLine) {
      out += line;
      lineLength = ends ? 0 : lineLength + length;
      continue;
    }
    out += line.substr(0, kLongestTncLine - lineLength);
    out += "\r\n";
    lineLength = 0;
    dropping = !ends;
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
  std::string text = HoldLinesShort(port_.ReadAll(), lineLength_, dropping_);
  if (port_.LineLost()) {
    text += HoldLinesShort(port_.ReadAll(), lineLength_, dropping_);
    port_.Close();
    if (notice_) notice_("LINE TO THE " + kindName_ + " ON COM" + std::to_string(portNumber_) + " LOST");
    lost_ = true;
    // The line the loss tore is ended.
    if (lineLength_ > 0) text += "\r\n";
    lineLength_ = 0;
    dropping_ = false;
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
