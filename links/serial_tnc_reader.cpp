#include "links/serial_tnc_reader.h"

#include "platform/serial_port.h"
#include "platform/wait.h"

namespace zeblon::links {

SerialTncReader::SerialTncReader(platform::SerialPort& port, std::string kindName, int portNumber,
                                 std::function<void(const std::string&)> notice)
    : port_(port), kindName_(std::move(kindName)), portNumber_(portNumber), notice_(std::move(notice)) {}

std::string SerialTncReader::Read() {
  if (!port_.IsOpen()) return {};
  lost_ = false;  // open again (the TX setup's OK reopens the port): a new loss is said again
  // What came before a loss is still in the port's buffer: it is read first.
  std::string text = port_.ReadAll();
  if (port_.LineLost()) {
    text += port_.ReadAll();
    port_.Close();
    if (notice_) notice_("LINE TO THE " + kindName_ + " ON COM" + std::to_string(portNumber_) + " LOST");
    lost_ = true;
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
