#pragma once
// Runs the program's start-up as far as the main window, without its modal
// loop: settings key, language, main window created and initialised.

#include <cstdint>
#include <functional>
#include <memory>

#include "app/window/reelcast_dlg.h"
#include "tests/support/scripted_modal_ui.h"

namespace test_support {

// Direct access to the main window's run state, for states that only a
// running conversion would otherwise reach.
struct MainWindowProbe {
  static void SetConverting(CReelcastDlg& window, bool converting) {
    window.converting = converting ? 1 : 0;
  }
  // The clock (milliseconds) by which the window estimates the time left.
  static void SetRunClock(CReelcastDlg& window, std::function<std::int64_t()> clock) {
    window.runClock_ = std::move(clock);
  }
  static int Teardowns(const CReelcastDlg& window) { return window.teardowns_; }
};

class MainWindowFixture {
 public:
  MainWindowFixture();
  ~MainWindowFixture();

  // Creates and initialises the main window (OnInitDialog runs).
  CReelcastDlg& Open();
  CReelcastDlg& window() { return *window_; }
  ScriptedModalUi& ui() { return *ui_; }

 private:
  ScriptedUi ui_;
  std::unique_ptr<class TestApplication> app_;
  std::unique_ptr<CReelcastDlg> window_;
};

}  // namespace test_support
