// How long opening a source takes: the probe and the source graph, as Open
// Video runs them, on a 20-second 1280x720 H.264/AAC clip made at start.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "app/command_line/console_modal_ui.h"
#include "engine/compressor_catalogue.h"
#include "engine/source_graph.h"
#include "platform/dshow/initialise.h"
#include "platform/ui/modal_ui.h"
#include "tests/support/media_fixtures.h"

namespace {

std::string& ClipPath() {
  static std::string path;
  return path;
}

bool Open(GraphContext& context) {
  std::int64_t duration = 0;
  MediaInfo info;
  OutputSettings settings;
  return ProbeSourceFile(ClipPath(), duration, info, settings) == 1 &&
         CreateSourceGraph(ClipPath(), context) == 1;
}

// A file's discovery is kept while the file is unchanged; touching it makes
// the next open learn it anew, as opening a video the user has not opened
// before does.
void Touch(benchmark::State& state) {
  state.PauseTiming();
  std::filesystem::last_write_time(ClipPath(), std::filesystem::file_time_type::clock::now());
  state.ResumeTiming();
}

// The first open in a process also loads the demuxer and decoder plugins.
void BM_FirstOpenInProcess(benchmark::State& state) {
  for (auto _ : state) {
    GraphContext context;
    if (!Open(context)) state.SkipWithError("the clip did not open");
  }
}
BENCHMARK(BM_FirstOpenInProcess)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_OpenSource(benchmark::State& state) {
  for (auto _ : state) {
    Touch(state);
    GraphContext context;
    if (!Open(context)) state.SkipWithError("the clip did not open");
  }
}
BENCHMARK(BM_OpenSource)->Unit(benchmark::kMillisecond);

// Opening the same unchanged file again, as the end of every run does.
void BM_ReopenUnchanged(benchmark::State& state) {
  for (auto _ : state) {
    GraphContext context;
    if (!Open(context)) state.SkipWithError("the clip did not open");
  }
}
BENCHMARK(BM_ReopenUnchanged)->Unit(benchmark::kMillisecond);

void BM_ProbeOnly(benchmark::State& state) {
  for (auto _ : state) {
    Touch(state);
    std::int64_t duration = 0;
    MediaInfo info;
    OutputSettings settings;
    benchmark::DoNotOptimize(ProbeSourceFile(ClipPath(), duration, info, settings));
  }
}
BENCHMARK(BM_ProbeOnly)->Unit(benchmark::kMillisecond);

// The catalogue is enumerated anew for every listing, search and binding.
void BM_ListVideoCompressors(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ListCompressors(CompressorKind::Video));
}
BENCHMARK(BM_ListVideoCompressors)->Unit(benchmark::kMillisecond);

// A file that cannot be opened is refused with its message well under a
// second: the probe of a text named .mp4, an empty file, a cut-off MP4 and
// a still picture (the window shows "cannot open" for each). The figure is
// the slowest of them.
void BM_RefuseBadFile(benchmark::State& state) {
  using test_support::ClipKind;
  std::vector<std::string> bad;
  for (ClipKind kind :
       {ClipKind::TextNamedMp4, ClipKind::EmptyMp4, ClipKind::TruncatedMp4, ClipKind::StillImage})
    bad.push_back(test_support::Clip(kind));
  double slowest = 0;
  for (auto _ : state) {
    for (const std::string& path : bad) {
      const auto start = std::chrono::steady_clock::now();
      std::int64_t duration = 0;
      MediaInfo info;
      OutputSettings settings;
      if (ProbeSourceFile(path, duration, info, settings) == 1)
        state.SkipWithError("a bad file was taken");
      slowest = std::max(slowest, std::chrono::duration<double, std::milli>(
                                      std::chrono::steady_clock::now() - start)
                                      .count());
    }
  }
  state.counters["slowest_ms"] = slowest;
}
BENCHMARK(BM_RefuseBadFile)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  dshow::Initialise();
  static ConsoleProgress progress(std::cerr,
                                  ProgressStyle::Lines);  // messages on lines of their own
  ui::SetModal(std::make_unique<ConsoleModalUi>(std::string(), false, progress));
  ClipPath() = test_support::Clip(test_support::ClipKind::Mp4Hd20s);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
