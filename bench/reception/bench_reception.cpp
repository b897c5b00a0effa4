// Frames per second through the decoding alone and through decoding and
// storing (logs written into a temporary folder), on 100 000 generated frames
// of every form. "bench_reception --write-packets FILE" writes the same
// packets as TNC2 lines for the comparison run of run.sh.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "fuzz/corpus.h"
#include "reception/frame_assembly.h"
#include "reception/receive_pass.h"

using namespace zeblon::reception;

namespace {

constexpr int kFrames = 100000;

const std::vector<corpus::Packet>& Packets() {
  static const std::vector<corpus::Packet> packets = corpus::Packets(1, kFrames);
  return packets;
}

// The frames as cut from the receive buffer (header line, CR LF, payload, CR).
const std::vector<std::string>& Frames() {
  static const std::vector<std::string> frames = [] {
    std::vector<std::string> lines;
    lines.reserve(kFrames);
    for (const auto& p : Packets()) lines.push_back(p.line);
    return corpus::CutFrames(lines);
  }();
  return frames;
}

using Host = corpus::QuietHost;

// Header and payload decoded frame by frame; `project` goes on into metres of the
// map zone (the transverse Mercator projection).
void RunDecode(benchmark::State& state, bool project) {
  const auto& frames = Frames();
  std::size_t positions = 0;
  for (auto _ : state) positions += corpus::DecodedPositions(frames, project);
  benchmark::DoNotOptimize(positions);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kFrames);
  state.counters["positions"] = static_cast<double>(positions) / static_cast<double>(state.iterations());
}

// To latitude and longitude, as other decoders go.
void BM_DecodeToDegrees(benchmark::State& state) { RunDecode(state, false); }

// The same and on into metres of the map zone.
void BM_DecodeOnly(benchmark::State& state) { RunDecode(state, true); }

void BM_DecodeAndStore(benchmark::State& state) {
  const auto& frames = Frames();
  std::random_device rd;
  const auto folder = std::filesystem::temp_directory_path() / ("zeblon-bench-" + std::to_string(rd()));
  std::filesystem::create_directories(folder / "LOG");
  for (auto _ : state) {
    state.PauseTiming();
    auto st = std::make_unique<ReceptionState>();
    st->settings.dataFolder = folder;
    st->settings.logsOn = true;
    st->settings.moniAllLimit = 667;
    st->settings.userCall = "N0CALL";
    st->settings.txCall = "N0CALL";
    Host host;
    ChatLines chat;
    ReceivePass pass(*st, host, chat);
    state.ResumeTiming();
    for (const auto& f : frames) pass.ProcessFrame(f);
    benchmark::DoNotOptimize(st->stations.MoniAllCount());
    state.PauseTiming();
    for (const auto& e : std::filesystem::directory_iterator(folder / "LOG")) std::filesystem::remove(e.path());
    state.ResumeTiming();
  }
  std::filesystem::remove_all(folder);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kFrames);
}

BENCHMARK(BM_DecodeToDegrees)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAndStore)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-packets") == 0) {
    std::ofstream out(argv[2], std::ios::binary);
    for (const auto& p : Packets()) out << p.line << "\n";
    return out ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
