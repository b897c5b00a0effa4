// Lines per second through the internet decoder (stamp, header, position forms
// on into metres of the map zone) and through the whole internet pass, on the
// same 100 000 generated packets as the radio decoder's benchmark; and stations
// per second through the area query's parser.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "fuzz/corpus.h"
#include "internet/area_stations.h"
#include "internet/internet_pass.h"
#include "internet_fakes.h"

using namespace zeblon;
using namespace zeblon::reception;

namespace {

constexpr int kLines = 100000;

// The packets as raw lines of a web page, stamped a second apart.
const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = [] {
    const std::vector<corpus::Packet> packets = corpus::Packets(1, kLines);
    std::vector<std::string> v;
    v.reserve(kLines);
    for (int i = 0; i < kLines; ++i) {
      const int s = i % 3600;
      char stamp[32];
      std::snprintf(stamp, sizeof stamp, "202405011%01d%02d%02d,", s / 3600, (s / 60) % 60, s % 60);
      v.push_back(stamp + packets[static_cast<std::size_t>(i)].line);
    }
    return v;
  }();
  return lines;
}

using Host = corpus::QuietHost;

void BM_InternetDecode(benchmark::State& state) {
  const auto& lines = Lines();
  internet::LineSettings settings;
  internet::InternetLine l;
  std::size_t positions = 0;
  for (auto _ : state)
    for (const auto& line : lines)
      positions += internet::DecodeInternetLine(line, "           ", settings, l) == internet::LineOutcome::Record;
  benchmark::DoNotOptimize(positions);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kLines);
  state.counters["positions"] = static_cast<double>(positions) / static_cast<double>(state.iterations());
}

// The whole pass over a page of 1000 lines of the watched station: stored,
// logged and merged into the MONI 1 track, whose log file is rewritten for
// every record.
constexpr int kPageLines = 1000;
void BM_InternetPass(benchmark::State& state) {
  std::string text;
  for (int i = 0; i < kPageLines; ++i) {
    const std::string& line = Lines()[static_cast<std::size_t>(i)];
    const std::size_t gt = line.find('>');
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "20240501%02d%02d00,", 10 + i / 60 % 10, i % 60);
    text += stamp + std::string("AB1CD") + line.substr(gt) + "\r\n";
  }
  std::random_device rd;
  const auto folder = std::filesystem::temp_directory_path() / ("zeblon-bench-internet-" + std::to_string(rd()));
  std::filesystem::create_directories(folder / "LOG");
  for (auto _ : state) {
    state.PauseTiming();
    auto st = std::make_unique<ReceptionState>();
    st->settings.dataFolder = folder;
    st->settings.logsOn = true;
    st->settings.moniAllLimit = 667;
    st->settings.moniOneCall = "AB1CD";
    Host host;
    ChatLines chat;
    internet::testing::FakeInternetWindow window;
    internet::InternetPass pass(*st, host, chat, window, window);
    std::string lines = text;
    state.ResumeTiming();
    pass.Run(lines);
    benchmark::DoNotOptimize(st->stations.MoniAllCount());
  }
  std::filesystem::remove_all(folder);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kPageLines);
}

void BM_AreaParser(benchmark::State& state) {
  constexpr int kStations = 2000;
  std::string answer = "[";
  for (int i = 0; i < kStations; ++i) {
    char station[400];
    std::snprintf(station, sizeof station,
                  "%s{\"callsign\":\"ST%04d\",\"ssid\":\"\",\"class\":\"a\",\"type\":\"l\",\"posreceived\":"
                  "\"2024-05-01 12:%02d:%02d\",\"lat\":%.4f,\"lon\":%.4f,\"course\":0,\"speed\":0,"
                  "\"symbolcode\":\"-\",\"symboltable\":\"/\",\"comment\":\"a station of the area\"}",
                  i ? "," : "", i, (i / 60) % 60, i % 60, 52 + i * 0.0001, 13 + i * 0.0001);
    answer += station;
  }
  answer += "]";
  for (auto _ : state) {
    state.PauseTiming();
    auto st = std::make_unique<ReceptionState>();
    st->settings.moniAllLimit = 667;
    Host host;
    internet::testing::FakeInternetWindow window;
    state.ResumeTiming();
    benchmark::DoNotOptimize(internet::ParseAreaStations(answer, *st, host, window, window));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kStations);
}

}  // namespace

BENCHMARK(BM_InternetDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InternetPass)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AreaParser)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
