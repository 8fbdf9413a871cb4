// How long the window's thread is kept from its messages around a
// conversion: pressing Convert (build and start), the run itself, pressing
// Stop, the end of a completed run (event drain, teardown, reopening the
// source), and a stop whose writer never finishes. The window runs headless
// on the offscreen platform with the program's own start-up, on a 20-second
// 1280x720 H.264/AAC clip.
//
// The loop's tick asks for every 5 ms; the longest gap between two ticks is
// the longest time a user would have waited for the window to react.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "bench/bench_window.h"
#include "platform/gst/pipeline/conversion_pipeline.h"
#include "tests/support/media_fixtures.h"

namespace {

using bench::Clock;
using bench::Milliseconds;
using bench::Window;

ConvertOptions OptionsFor(int format) {
  ConvertOptions options;
  options.format = format;
  options.replaceExisting = true;
  options.output = (std::filesystem::temp_directory_path() / "reelcast-bench-out").string();
  if (format == 2) {  // MKV: x264 holds the most frames, so it takes longest to stop
    options.videoCompressor = "x264";
    options.audioCompressor = "vorbis";
  }
  return options;
}

// Convert, a second and a half of running (WMV takes about three), Stop.
void BM_ConvertThenStop(benchmark::State& state) {
  Window window(OptionsFor(static_cast<int>(state.range(0))));
  if (!window.ready()) return state.SkipWithError("the clip did not open");
  double convert = 0, running = 0, stop = 0, ending = 0, stopToEnd = 0;
  for (auto _ : state) {
    convert = std::max(convert, window.Click());
    if (!window.converting()) return state.SkipWithError("the conversion did not start");
    const auto until = Clock::now() + std::chrono::milliseconds(1500);
    running = std::max(running, window.LongestStallUntil([&] { return Clock::now() >= until; }));
    if (!window.converting()) return state.SkipWithError("the run ended before the stop");
    const auto pressed = Clock::now();
    stop = std::max(stop, window.Click());
    // The writer finishes while the window goes on; then the run is torn down.
    ending = std::max(ending, window.LongestStallUntil([&] { return !window.converting(); }));
    stopToEnd = std::max(stopToEnd, Milliseconds(Clock::now() - pressed));
  }
  state.counters["convert_ms"] = convert;
  state.counters["running_max_stall_ms"] = running;
  state.counters["stop_ms"] = stop;
  state.counters["stopping_max_stall_ms"] = ending;
  state.counters["stop_to_end_ms"] = stopToEnd;
}
BENCHMARK(BM_ConvertThenStop)
    ->ArgName("format")
    ->Arg(1)
    ->Arg(2)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A run to its end: the longest stall includes the end's handling.
void BM_RunToCompletion(benchmark::State& state) {
  Window window(OptionsFor(static_cast<int>(state.range(0))));
  if (!window.ready()) return state.SkipWithError("the clip did not open");
  double stall = 0;
  for (auto _ : state) {
    window.Click();
    if (!window.converting()) return state.SkipWithError("the conversion did not start");
    stall = std::max(stall, window.LongestStallUntil([&] { return !window.converting(); }));
  }
  state.counters["max_stall_ms"] = stall;
}
BENCHMARK(BM_RunToCompletion)
    ->ArgName("format")
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A writer that never finishes: the output is a pipe that nobody reads, as
// a hung network share would be. Stop, the five seconds the writer is given,
// and the teardown after that limit: the window never waits for the writer.
// The pipe is then read to its end, which comes once the pipeline left to
// finish on its own has let go of the file. The idle window's longest gap
// over as long a time, taken just before, is the machine's own share of
// the stall: on a loaded machine the scheduler alone keeps the thread
// waiting that long.
void BM_StopWithAStuckWriter(benchmark::State& state) {
  double stop = 0, stall = 0, stopToEnd = 0, idle = 0;
  for (auto _ : state) {
    int ends[2];
    if (pipe(ends) != 0) return state.SkipWithError("no pipe");
    const int capacity = fcntl(ends[0], F_SETPIPE_SZ, 4096);
    Window window(OptionsFor(1));
    if (!window.ready()) return state.SkipWithError("the clip did not open");
    window.dialog().Settings().outputPath = "/proc/self/fd/" + std::to_string(ends[1]);
    const auto quiet = Clock::now() + std::chrono::seconds(5);
    idle = std::max(idle, window.LongestStallUntil([&] { return Clock::now() >= quiet; }));
    window.Click();
    if (!window.converting()) return state.SkipWithError("the conversion did not start");
    window.LongestStallUntil([&] {
      int unread = 0;
      ioctl(ends[0], FIONREAD, &unread);
      return unread >= capacity;
    });
    const auto pressed = Clock::now();
    stop = std::max(stop, window.Click());
    stall = std::max(stall, window.LongestStallUntil([&] { return !window.converting(); }));
    stopToEnd = std::max(stopToEnd, Milliseconds(Clock::now() - pressed));
    close(ends[1]);
    char buffer[4096];
    while (read(ends[0], buffer, sizeof buffer) > 0) {
    }
    close(ends[0]);
    gst::ConversionPipeline::WaitUntilShutDown(std::chrono::seconds(60));
  }
  state.counters["stop_ms"] = stop;
  state.counters["stopping_max_stall_ms"] = stall;
  state.counters["stop_to_end_ms"] = stopToEnd;
  state.counters["idle_max_stall_ms"] = idle;
}
BENCHMARK(BM_StopWithAStuckWriter)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWindowBenchmarks(argc, argv, test_support::ClipKind::Mp4Hd20s);
}
