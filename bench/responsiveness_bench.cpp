// How long the window's thread is kept from its messages around a
// conversion: pressing Convert (build and start), the run itself, pressing
// Stop, and the end of a completed run (event drain, teardown, reopening the
// source). The window runs headless on the offscreen platform with the
// program's own start-up, on a 20-second 1280x720 H.264/AAC clip.
//
// The loop's tick asks for every 5 ms; the longest gap between two ticks is
// the longest time a user would have waited for the window to react.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/console_modal_ui.h"
#include "app/convert_options.h"
#include "app/convert_session.h"
#include "app/reelcast_dlg.h"
#include "platform/dshow/initialise.h"
#include "platform/ui/application.h"
#include "platform/ui/environment.h"
#include "platform/ui/message_loop.h"
#include "platform/ui/modal_ui.h"
#include "resources/resource_ids.h"
#include "tests/support/media_fixtures.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

class BenchApplication : public ui::Application {
 public:
  bool InitInstance() override { return false; }
};

// One main window with the clip opened and the format's compressors chosen.
class Window {
 public:
  explicit Window(const ConvertOptions& options) {
    app_.SetRegistryKey("TARNWICK");
    app_.SetMainWindow(&window_);
    window_.Create();
    window_.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_ADD_VIDEO, BN_CLICKED));
    ready_ = window_.Graph().graph && ApplyConvertOptions(options, window_);
  }
  ~Window() { app_.SetMainWindow(nullptr); }

  bool ready() const { return ready_; }

  // How long the click's handling kept the thread.
  double Click() {
    const auto start = Clock::now();
    window_.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CONVERT, BN_CLICKED));
    return Milliseconds(Clock::now() - start);
  }
  bool converting() { return window_.IsConverting(); }

  // Runs the loop until `done`, giving the longest gap between ticks.
  template <typename Done>
  double LongestStallUntil(Done done) {
    auto last = Clock::now();
    double longest = 0;
    ui::RunMessageLoop(
        [&] {
          const auto now = Clock::now();
          longest = std::max(longest, Milliseconds(now - last));
          last = now;
          return done();
        },
        5);
    return longest;
  }

 private:
  BenchApplication app_;
  CReelcastDlg window_;
  bool ready_ = false;
};

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
BENCHMARK(BM_ConvertThenStop)->ArgName("format")->Arg(1)->Arg(2)->Iterations(3)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

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
BENCHMARK(BM_RunToCompletion)->ArgName("format")->Arg(1)->Iterations(1)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The program's settings are read from a private home, so the user's stay untouched.
  const auto home = std::filesystem::temp_directory_path() / "reelcast-bench-home";
  std::filesystem::create_directories(home);
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
  ui::PrepareEnvironment();
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QStringLiteral("reelcast"));
  dshow::Initialise();
  const std::string clip = test_support::Clip(test_support::ClipKind::Mp4Hd20s);
  ui::SetModal(std::make_unique<ConsoleModalUi>(clip, true));

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
