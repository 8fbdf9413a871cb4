#include "bench/bench_window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/command_line/console_modal_ui.h"
#include "app/command_line/convert_session.h"
#include "platform/dshow/initialise.h"
#include "platform/ui/environment.h"
#include "platform/ui/message_loop.h"
#include "platform/ui/modal_ui.h"
#include "resources/resource_ids.h"

namespace bench {

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

namespace {

void PrepareProcess() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The program's settings are read from a private home, so the user's stay untouched.
  const auto home = std::filesystem::temp_directory_path() / "reelcast-bench-home";
  std::filesystem::create_directories(home);
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
  ui::PrepareEnvironment();
}

void StartProgram(const std::string& clip) {
  QApplication::setApplicationName(QStringLiteral("reelcast"));
  dshow::Initialise();
  static ConsoleProgress progress(std::cerr,
                                  ProgressStyle::Lines);  // messages on lines of their own
  ui::SetModal(std::make_unique<ConsoleModalUi>(clip, true, progress));
}

}  // namespace

int RunWindowBenchmarks(int argc, char** argv, test_support::ClipKind clip) {
  PrepareProcess();
  QApplication qt(argc, argv);
  StartProgram(test_support::Clip(clip));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

Window::Window(const ConvertOptions& options) {
  app_.SetRegistryKey("TARNWICK");
  app_.SetMainWindow(&window_);
  window_.Create();
  window_.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_ADD_VIDEO, BN_CLICKED));
  ready_ = window_.Graph().graph && ApplyConvertOptions(options, window_);
}

Window::~Window() { app_.SetMainWindow(nullptr); }

double Window::Click() {
  const auto start = Clock::now();
  window_.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CONVERT, BN_CLICKED));
  return Milliseconds(Clock::now() - start);
}

double Window::LongestStallUntil(const std::function<bool()>& done) {
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

}  // namespace bench
