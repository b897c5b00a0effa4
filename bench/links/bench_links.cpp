// Frames per second of the live radio path: the engine's TCP socket (monitor
// frames as the engine sends them, from a small engine in this process on
// 127.0.0.1), the link's reassembly by length, the receive pass, the stores and
// the logs on disk; against the decoding alone of the same frames (header and
// payload to map metres, as bench_reception's BM_DecodeOnly). Prints both
// figures and their ratio. The live run counts only when every frame reached
// the pass (the raw log holds them all).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <filesystem>
#include <random>

#include "fuzz/corpus.h"
#include "links/agw_frame.h"
#include "links/agw_tcp_link.h"
#include "links/radio_receiver.h"
#include "reception/frame_assembly.h"
#include "reception/monitor_input.h"

using namespace zeblon;
using namespace zeblon::reception;

namespace {

constexpr int kFrames = 50000;

const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> v;
    for (const corpus::Packet& p : corpus::Packets(7, kFrames)) v.push_back(p.line);
    return v;
  }();
  return lines;
}

// The engine's monitor frame of a TNC2 line.
std::string EngineFrame(const std::string& line) {
  const std::size_t colon = line.find(':');
  const std::string header = line.substr(0, colon);
  const std::size_t gt = header.find('>');
  const std::string src = header.substr(0, gt);
  std::string rest = header.substr(gt + 1);
  const std::size_t comma = rest.find(',');
  const std::string dest = rest.substr(0, comma);
  std::string text = " 1:Fm " + src + " To " + dest;
  if (comma != std::string::npos) text += " Via " + rest.substr(comma + 1);
  const std::string info = line.substr(colon + 1);
  text += " <UI pid=F0 Len=" + std::to_string(info.size()) + " PF=0 >[12:34:56]\r" + info + "\r";
  text.push_back('\0');
  return *links::BuildAgwFrame('U', 0, src.substr(0, 10), dest.substr(0, 10), text);
}

// The engine's byte stream of every frame, cut into chunks of kChunkFrames
// frames, and the bytes the raw log must hold once all of them went through.
constexpr int kChunkFrames = 2000;

struct EngineStream {
  std::vector<std::string> chunks;
  std::size_t rawLogBytes = 0;
};

const EngineStream& Stream() {
  static const EngineStream s = [] {
    EngineStream e;
    int inChunk = kChunkFrames;
    for (const auto& l : Lines()) {
      if (inChunk == kChunkFrames) {
        e.chunks.emplace_back();
        inChunk = 0;
      }
      const std::string frame = EngineFrame(l);
      e.chunks.back() += frame;
      ++inChunk;
      const std::string data = frame.substr(links::kAgwHeaderSize);
      e.rawLogBytes += ApplyHeardMark(ConvertAgwMonitorText(links::AgwMonitorText(data))).size();
    }
    return e;
  }();
  return s;
}

double g_decodeOnly = 0, g_live = 0;

void BM_DecodeOnly(benchmark::State& state) {
  const std::vector<std::string> frames = corpus::CutFrames(Lines());
  std::size_t positions = 0;
  for (auto _ : state) positions += corpus::DecodedPositions(frames, true);
  benchmark::DoNotOptimize(positions);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kFrames);
  g_decodeOnly = static_cast<double>(state.iterations()) * kFrames;
}

using Host = corpus::QuietHost;

void BM_LiveFromEngineSocket(benchmark::State& state) {
  std::random_device rd;
  const auto folder = std::filesystem::temp_directory_path() / ("zeblon-bench-links-" + std::to_string(rd()));
  std::filesystem::create_directories(folder / "LOG");
  QTcpServer engine;
  engine.listen(QHostAddress::LocalHost, 0);
  QTcpSocket* peer = nullptr;
  QObject::connect(&engine, &QTcpServer::newConnection, [&] {
    peer = engine.nextPendingConnection();
    QObject::connect(peer, &QTcpSocket::readyRead, [&] {
      const QByteArray b = peer->readAll();
      if (b.size() >= 5 && b[4] == 'X') {
        const std::string a = *links::BuildAgwFrame('X', 0, "N0CALL", "", std::string(1, '\x01'));
        peer->write(a.data(), static_cast<qint64>(a.size()));
      }
    });
  });
  std::size_t stored = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto st = std::make_unique<ReceptionState>();
    st->settings.interfaceKind = InterfaceKind::AgwRemote;
    st->settings.dataFolder = folder;
    st->settings.logsOn = true;
    st->settings.moniAllLimit = 667;
    st->settings.userCall = "N0CALL";
    st->settings.txCall = "N0CALL";
    Host host;
    ChatLines chat;
    links::AgwTcpLink link;
    links::RadioReceiver rx(*st, host, chat);
    rx.AttachEngine(link);
    std::size_t texts = 0;
    link.SetMonitorSink([&](std::string t) {
      ++texts;
      rx.EngineText(std::move(t));
    });
    if (link.Connect("127.0.0.1", engine.serverPort(), "N0CALL") != links::AgwTcpLink::ConnectResult::Registered) {
      state.SkipWithError("no link");
      break;
    }
    QCoreApplication::processEvents();
    const EngineStream& stream = Stream();
    state.ResumeTiming();
    // The engine sends its frames a chunk at a time, the next chunk once the
    // receiver has taken the texts of the last one into its passes (a backlog
    // beyond the receiver's cap would lose frames instead of storing them).
    std::size_t sent = 0;
    std::size_t last = std::string::npos;
    // The main cycle's passes until every frame has gone through.
    for (;;) {
      if (sent < stream.chunks.size() && rx.EngineTextsWaiting() < static_cast<std::size_t>(kChunkFrames) &&
          texts + kChunkFrames >= sent * kChunkFrames) {
        peer->write(stream.chunks[sent].data(), static_cast<qint64>(stream.chunks[sent].size()));
        ++sent;
      }
      // The socket's arrivals, while some are still on their way.
      if (texts < static_cast<std::size_t>(kFrames)) QCoreApplication::processEvents(QEventLoop::AllEvents);
      rx.DecodeReceivedTraffic();
      if (texts == static_cast<std::size_t>(kFrames) && rx.AgwTcpBuffer().size() < 20 && rx.EngineTextsWaiting() == 0 &&
          st->receiveBuffer.size() == last)
        break;
      last = st->receiveBuffer.size();
    }
    stored += static_cast<std::size_t>(st->stations.MoniAllCount());
    state.PauseTiming();
    link.Disconnect(0);
    // Every frame reached the pass: the raw log holds them all.
    std::error_code ec;
    const auto rawBytes = std::filesystem::file_size(folder / "LOG" / "_LOGRAW_.TXT", ec);
    if (ec || rawBytes != stream.rawLogBytes) {
      state.SkipWithError("frames were lost on the way");
      break;
    }
    for (const auto& e : std::filesystem::directory_iterator(folder / "LOG")) std::filesystem::remove(e.path());
    state.ResumeTiming();
  }
  std::filesystem::remove_all(folder);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kFrames);
  state.counters["stored"] =
      static_cast<double>(stored) / static_cast<double>(std::max<int64_t>(1, state.iterations()));
  g_live = static_cast<double>(state.iterations()) * kFrames;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  // Each benchmark records its frames per second through the reporter.
  class Reporter : public benchmark::ConsoleReporter {
   public:
    std::map<std::string, double> rates;
    void ReportRuns(const std::vector<Run>& runs) override {
      for (const auto& r : runs) {
        const auto it = r.counters.find("items_per_second");
        if (it != r.counters.end()) rates[r.benchmark_name()] = it->second;
      }
      ConsoleReporter::ReportRuns(runs);
    }
  } reporter;
  benchmark::RegisterBenchmark("BM_DecodeOnly", BM_DecodeOnly)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_LiveFromEngineSocket", BM_LiveFromEngineSocket)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double decode = reporter.rates["BM_DecodeOnly"], live = reporter.rates["BM_LiveFromEngineSocket/iterations:3"];
  if (decode > 0 && live > 0)
    std::printf(
        "decode only: %.0f frames/s, live from the engine's socket with logs on disk: %.0f frames/s, ratio %.1f %%\n",
        decode, live, 100.0 * live / decode);
  (void)g_decodeOnly;
  (void)g_live;
  return 0;
}
