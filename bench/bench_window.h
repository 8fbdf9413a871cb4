#pragma once
// The main window as the benchmarks drive it: headless (offscreen
// platform), with the program's own start-up and its settings in a private
// home, a clip opened and the output options of the command-line converter
// applied.

#include <chrono>
#include <functional>
#include <string>

#include "app/command_line/convert_options.h"
#include "app/window/reelcast_dlg.h"
#include "platform/ui/application.h"
#include "tests/support/media_fixtures.h"

namespace bench {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d);

// A window benchmark's main: the process prepared as the program's main
// does (private home, offscreen platform), the media framework started, the
// clip as every Open Video's answer, then the benchmarks given on the command
// line.
int RunWindowBenchmarks(int argc, char** argv, test_support::ClipKind clip);

class Window {
 public:
  explicit Window(const ConvertOptions& options);
  ~Window();

  bool ready() const { return ready_; }
  CReelcastDlg& dialog() { return window_; }

  // How long the click's handling kept the thread.
  double Click();
  bool converting() { return window_.IsConverting(); }

  // Runs the loop until `done`, giving the longest gap between ticks of a
  // timer that asks for one every 5 ms: the longest a user would have waited
  // for the window to react.
  double LongestStallUntil(const std::function<bool()>& done);

 private:
  class App : public ui::Application {
   public:
    bool InitInstance() override { return false; }
  };
  App app_;
  CReelcastDlg window_;
  bool ready_ = false;
};

}  // namespace bench
