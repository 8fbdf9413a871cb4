// Many runs in one window: Convert and the run's end, then Convert again,
// fifty times; and Convert, Stop, Convert again, fifty times. What the
// process holds (resident memory, file descriptors, threads) after the fifth
// run and after the last tells whether runs leave anything behind. The
// window runs headless with the program's own start-up, on a 2-second
// 320x240 clip converted to WMV.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/bench_window.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/process_usage.h"

namespace {

constexpr int kRuns = 50;
constexpr int kSettledAfter = 5;

void BM_ManyRuns(benchmark::State& state) {
  const bool stop = state.range(0) != 0;
  ConvertOptions options;
  options.format = 1;
  options.replaceExisting = true;
  options.output = (std::filesystem::temp_directory_path() / "reelcast-bench-runs").string();
  bench::Window window(options);
  if (!window.ready()) return state.SkipWithError("the clip did not open");
  test_support::ProcessUsage settled, last;
  for (auto _ : state) {
    for (int run = 1; run <= kRuns; ++run) {
      window.Click();
      if (!window.converting()) return state.SkipWithError("the conversion did not start");
      if (stop) window.Click();
      window.LongestStallUntil([&] { return !window.converting(); });
      if (run == kSettledAfter) settled = test_support::CurrentUsage();
    }
    last = test_support::CurrentUsage();
  }
  const auto settledKiB = static_cast<double>(settled.residentKiB);
  const auto lastKiB = static_cast<double>(last.residentKiB);
  state.counters["rss_after_5_MiB"] = settledKiB / 1024.0;
  state.counters["rss_after_50_MiB"] = lastKiB / 1024.0;
  state.counters["rss_growth_pct"] = 100.0 * (lastKiB - settledKiB) / settledKiB;
  state.counters["fds_after_5"] = settled.descriptors;
  state.counters["fds_after_50"] = last.descriptors;
  state.counters["threads_after_5"] = settled.threads;
  state.counters["threads_after_50"] = last.threads;
}
BENCHMARK(BM_ManyRuns)
    ->ArgName("stop")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWindowBenchmarks(argc, argv, test_support::ClipKind::Mp4H264Aac);
}
