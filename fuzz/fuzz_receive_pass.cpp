// libFuzzer target: received text of any interface kind through the whole
// receive pass to stored records, logs and the MONI 1 track in a temporary
// data folder. The first byte chooses how the rest arrives. The reception state,
// the receive buffer too, lives on from input to input as from read to read.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "fuzz/corpus.h"
#include "fuzz/reception_host.h"
#include "fuzz/scratch.h"
#include "reception/frame_assembly.h"
#include "reception/receive_pass.h"

using namespace zeblon::reception;

namespace {

using Host = zeblon_fuzz::FuzzHost;
using zeblon_fuzz::Check;
using zeblon_fuzz::DataFolder;
using zeblon_fuzz::FuzzSettings;

// What the program promises of the buffer once the timer's passes have taken
// what they can: another cut takes nothing from it, and without a frame whose
// payload line is still to come it holds at most 2000 characters; with one, at
// most kReceiveBufferCap.
bool AtRest(const std::string& buffer) {
  std::string copy = buffer;
  const FrameCut cut = CutFrame(copy);
  if (copy != buffer || cut.kind == FrameCut::Kind::Frame) return false;
  return cut.kind == FrameCut::Kind::Incomplete ? buffer.size() <= kReceiveBufferCap : buffer.size() <= 2000;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int mode = data[0] % 5;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  static ReceptionState state;
  static bool first = true;
  if (first) {
    first = false;
    state.settings = FuzzSettings();
    state.settings.ownEchoHeader = "N0CALL-1*>WIDE1-1>APRS";
    state.settings.autoAnswerOn = true;
    state.settings.autoAnswerText = "away";
    state.settings.moniAllAlarmOn = true;
    state.settings.moniOneAlarmOn = true;
    state.settings.alarmDistanceKm = 20000;
  }
  // The watched station changes with the input, so that names from the air become MONI 1 files.
  state.settings.moniOneCall = text.substr(0, std::min<std::size_t>(text.find('>'), 9));
  Host host;
  ChatLines chat;
  chat.ownCall = "N0CALL-1";

  std::string monitor;
  switch (mode) {
    case 0: {  // TNC2 lines
      std::size_t from = 0;
      while (from < text.size()) {
        std::size_t nl = text.find('\n', from);
        if (nl == std::string::npos) nl = text.size();
        monitor += corpus::Tnc2ToMonitor(text.substr(from, nl - from));
        from = nl + 1;
      }
      break;
    }
    case 1: {  // the packet engine's TCP text
      std::string buffer = text;
      monitor = TakeAgwTcpFrames(buffer);
      break;
    }
    case 2: monitor = ConvertScsFrames(text, data[0] & 8); break;
    case 3: {
      auto read = TakePk232Read(text);
      if (read) monitor = *read;
      break;
    }
    default: monitor = text; break;
  }
  if (mode == 1) monitor += ConvertAgwMonitorText(text);

  struct Once : MonitorSource {
    std::string text;
    bool done = false;
    TurnRead ReadTurn() override {
      TurnRead r;
      if (!done) r.text = text;
      done = true;
      return r;
    }
  } source;
  source.text = monitor;
  ReceivePass pass(state, host, chat);
  pass.Run(source);
  // The program's timer runs the next passes, without new text, as long as they
  // still take frames from the buffer (a pass takes every whole frame itself).
  bool settled = false;
  for (int i = 0; i < 10000 && !settled; ++i) {
    const std::size_t before = state.receiveBuffer.size();
    Once more;
    more.done = true;
    pass.Run(more);
    settled = state.receiveBuffer.size() >= before;
  }

  Check(state.stations.MoniAllCount() >= 0 && state.stations.MoniAllCount() <= state.settings.moniAllLimit);
  Check(state.stations.MoniOneCount() >= 0 && state.stations.MoniOneCount() <= kMoniOneMaxLines);
  for (int i = 0; i <= state.stations.MoniAllCount(); ++i) Check(state.stations.MoniAll()[i].size() == kRecordLength);
  for (int i = 0; i <= state.stations.MoniOneCount(); ++i)
    Check(state.stations.MoniOneTrack()[i].size() == kRecordLength);
  // The buffer carries over to the next input, as it does from read to read.
  if (settled) Check(AtRest(state.receiveBuffer));
  // Nothing but the LOG folder in the data folder, and no folder inside LOG.
  for (const auto& e : std::filesystem::directory_iterator(DataFolder())) Check(e.path().filename() == "LOG");
  for (const auto& e : std::filesystem::directory_iterator(DataFolder() / "LOG")) Check(e.is_regular_file());
  // Keep the folder small.
  static int runs = 0;
  if (++runs % 2000 == 0)
    for (const auto& e : std::filesystem::directory_iterator(DataFolder() / "LOG")) std::filesystem::remove(e.path());
  return 0;
}
