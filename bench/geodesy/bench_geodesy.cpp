// Times the two conversions that run for every pixel of a converted map tile,
// ConvertLatLonToUtm and the RT90 -> UTM zone 33 chain, against PROJ's
// proj_trans on the same points (and against the step-by-step formulas that
// derive every constant at each call). Ends with a summary of ns per point
// and the ratios.
#include "geodesy/geodesy.h"
#include "literal_reference.h"

#include <benchmark/benchmark.h>
#include <proj.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Point {
  double a, b;
};

constexpr int kSide = 100;  // 100 x 100 points per iteration

const std::vector<Point>& LatLonPoints() {
  static const std::vector<Point> points = [] {
    std::vector<Point> p;
    for (int i = 0; i < kSide; ++i)
      for (int j = 0; j < kSide; ++j) p.push_back({5.0 + 25.0 * j / (kSide - 1), 55.0 + 15.0 * i / (kSide - 1)});
    return p;
  }();
  return points;
}

const std::vector<Point>& Rt90Points() {
  static const std::vector<Point> points = [] {
    std::vector<Point> p;
    for (int i = 0; i < kSide; ++i)
      for (int j = 0; j < kSide; ++j)
        p.push_back({1250000.0 + 650000.0 * j / (kSide - 1), 6130000.0 + 1520000.0 * i / (kSide - 1)});
    return p;
  }();
  return points;
}

class Proj {
 public:
  Proj(const char* from, const char* to) {
    ctx_ = proj_context_create();
    proj_context_set_enable_network(ctx_, 0);
    PJ* raw = proj_create_crs_to_crs(ctx_, from, to, nullptr);
    pj_ = raw ? proj_normalize_for_visualization(ctx_, raw) : nullptr;
    if (raw) proj_destroy(raw);
  }
  ~Proj() {
    if (pj_) proj_destroy(pj_);
    proj_context_destroy(ctx_);
  }
  PJ* get() const { return pj_; }

 private:
  PJ_CONTEXT* ctx_;
  PJ* pj_;
};

void SetPointCounter(benchmark::State& state, std::size_t points) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * points));
  state.counters["ns/point"] = benchmark::Counter(
      static_cast<double>(points) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_LatLonToUtm_Library(benchmark::State& state) {
  const auto& pts = LatLonPoints();
  for (auto _ : state) {
    for (const Point& p : pts) {
      double e = 0, n = 0;
      geodesy::ConvertLatLonToUtm(p.a, p.b, 15, e, n, 500000);
      benchmark::DoNotOptimize(e);
      benchmark::DoNotOptimize(n);
    }
  }
  SetPointCounter(state, pts.size());
}

void BM_LatLonToUtm_StepByStep(benchmark::State& state) {
  const auto& pts = LatLonPoints();
  for (auto _ : state) {
    for (const Point& p : pts) {
      double e = 0, n = 0;
      literal::LatLonToTm(true, p.a, p.b, 15, e, n, 500000);
      benchmark::DoNotOptimize(e);
      benchmark::DoNotOptimize(n);
    }
  }
  SetPointCounter(state, pts.size());
}

void BM_LatLonToUtm_Proj(benchmark::State& state) {
  Proj proj("EPSG:4326", "EPSG:3006");
  if (!proj.get()) {
    state.SkipWithError("PROJ: no EPSG:4326 -> EPSG:3006");
    return;
  }
  const auto& pts = LatLonPoints();
  for (auto _ : state) {
    for (const Point& p : pts) {
      PJ_COORD c = proj_trans(proj.get(), PJ_FWD, proj_coord(p.a, p.b, 0, 0));
      benchmark::DoNotOptimize(c);
    }
  }
  SetPointCounter(state, pts.size());
}

void BM_Rt90ToUtm33_Library(benchmark::State& state) {
  const auto& pts = Rt90Points();
  for (auto _ : state) {
    for (const Point& p : pts) {
      double e = 0, n = 0;
      geodesy::ConvertRt90ToUtm33(p.a, p.b, e, n);
      benchmark::DoNotOptimize(e);
      benchmark::DoNotOptimize(n);
    }
  }
  SetPointCounter(state, pts.size());
}

void BM_Rt90ToUtm33_StepByStep(benchmark::State& state) {
  const auto& pts = Rt90Points();
  for (auto _ : state) {
    for (const Point& p : pts) {
      double e = 0, n = 0;
      literal::Rt90ToUtm(p.a, p.b, 15, 500000, e, n);
      benchmark::DoNotOptimize(e);
      benchmark::DoNotOptimize(n);
    }
  }
  SetPointCounter(state, pts.size());
}

void BM_Rt90ToUtm33_Proj(benchmark::State& state) {
  Proj proj("EPSG:3021", "EPSG:3006");
  if (!proj.get()) {
    state.SkipWithError("PROJ: no EPSG:3021 -> EPSG:3006");
    return;
  }
  const auto& pts = Rt90Points();
  for (auto _ : state) {
    for (const Point& p : pts) {
      PJ_COORD c = proj_trans(proj.get(), PJ_FWD, proj_coord(p.a, p.b, 0, 0));
      benchmark::DoNotOptimize(c);
    }
  }
  SetPointCounter(state, pts.size());
}

BENCHMARK(BM_LatLonToUtm_Library)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LatLonToUtm_StepByStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LatLonToUtm_Proj)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rt90ToUtm33_Library)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rt90ToUtm33_StepByStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rt90ToUtm33_Proj)->Unit(benchmark::kMicrosecond);

// Console output as usual, plus a summary of ns per point and ratios at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      const auto it = run.counters.find("ns/point");
      if (it != run.counters.end()) nsPerPoint_[run.benchmark_name()] = it->second.value;
    }
  }
  void PrintSummary() const {
    std::printf("\nSummary (ns per point, %d points per iteration):\n", kSide * kSide);
    Line("ConvertLatLonToUtm", "BM_LatLonToUtm");
    Line("RT90 -> UTM 33 chain", "BM_Rt90ToUtm33");
  }

 private:
  void Line(const char* title, const std::string& prefix) const {
    const double lib = Get(prefix + "_Library"), literal = Get(prefix + "_StepByStep"), proj = Get(prefix + "_Proj");
    std::printf(
        "  %-22s library %8.1f  step-by-step %8.1f  PROJ proj_trans %8.1f  PROJ/library %5.2fx  "
        "step-by-step/library %5.2fx\n",
        title, lib, literal, proj, lib > 0 ? proj / lib : 0.0, lib > 0 ? literal / lib : 0.0);
  }
  double Get(const std::string& name) const {
    const auto it = nsPerPoint_.find(name);
    return it == nsPerPoint_.end() ? 0.0 : it->second;
  }
  std::map<std::string, double> nsPerPoint_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
