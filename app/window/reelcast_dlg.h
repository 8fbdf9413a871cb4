#pragma once
// The main window: the whole user interface outside the option, property
// and About dialogs.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/shared/run_progress.h"
#include "engine/graph_context.h"
#include "engine/media_info.h"
#include "engine/output_settings.h"
#include "platform/ui/dialog.h"

// The elapsed-time timer of a running conversion.
constexpr unsigned TIMER_ELAPSED = 1112;
// How long Stop lets the writer finish before the run is torn down anyway.
constexpr unsigned TIMER_STOP_LIMIT = 1113;
constexpr unsigned kStopLimitMilliseconds = 5000;
// How often the progress bar follows the run.
constexpr unsigned TIMER_PROGRESS = 1114;
constexpr unsigned kProgressMilliseconds = 500;
// Opens the file given when the program started, once the window is up.
constexpr UINT WM_OPEN_PENDING = WM_USER + 14;

namespace test_support {
struct MainWindowProbe;
}

class CReelcastDlg : public ui::Dialog {
 public:
  CReelcastDlg();
  ~CReelcastDlg() override;

  // State seen by the other parts of the program and by tests.
  const OutputSettings& Settings() const { return m_settings; }
  OutputSettings& Settings() { return m_settings; }
  const std::string& SourcePath() const { return sourcePath; }
  bool IsConverting() const { return converting != 0; }
  // Stop was pressed and the writer is finishing what the streams held.
  bool IsStopping() const { return stopping_; }
  bool IsSourceOpened() const { return sourceOpened != 0; }
  // How the last conversion ended.
  enum class RunOutcome { None, FailedToStart, Running, Completed, Stopped, Aborted };
  RunOutcome LastRun() const { return lastRun_; }
  std::int32_t ElapsedSeconds() const { return elapsedSeconds; }
  const MediaInfo& SourceInfo() const { return mediaInfo_; }
  GraphContext& Graph() { return graph_; }

  // Where the running graph is in its source, when it can tell.
  struct RunPosition {
    REFERENCE_TIME position = 0;
    REFERENCE_TIME duration = 0;
  };
  std::optional<RunPosition> Position();

  // Opens a video as Open Video does once the user has chosen it: the same
  // probe, messages and stored folder.
  void OpenVideoFile(const std::string& path);
  // Opens `path` that way as soon as the window is up (the file named on
  // the command line).
  void OpenWhenShown(const std::string& path);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnInitDialog() override;
  void OnCancel() override;
  void OnClose() override;
  bool OnCommand(int id, int notification) override;
  void OnTimer(unsigned id) override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDropFiles(const std::vector<std::string>& paths) override;

 private:
  friend struct test_support::MainWindowProbe;

  // Commands.
  void OnOpenVideo();
  void OnConvert();
  void OnOutputSettings();
  LRESULT OnGraphNotify();

  // Stop: ends the streams and lets the run finish on its own, so the window
  // never waits for the writer; the end then tears the run down.
  void RequestStop();
  // Ends a run (completed, stopped, aborted or failed to start) and reopens
  // the source for the next one; once per run.
  void TearDown();
  // The elapsed-time and stop-limit timers, stopped before anything of the
  // run shows a message box.
  void StopRunTimers();
  void ShowFilterPropertiesBeforeRun();

  // The progress bar of a run, and the notification at its end.
  void StartProgress();
  void ShowProgress();
  void EndProgress();
  void NotifyRunEnd();
  static std::int64_t SteadyMilliseconds();

  // Close (the close box, Exit) and Escape while converting: refused with
  // a message, or, while a stop is finishing, remembered and carried out
  // when the run has ended. True when the window must stay for now.
  enum class PendingEnd { None, Close, Cancel };
  bool HoldEndWhileConverting(PendingEnd wish);

  // Release of the media objects when the window closes.
  void ReleaseMediaObjects();
  // The summary pane in its "Original size" form.
  void ShowOriginalSizeSummary();

  OutputSettings m_settings;
  GraphContext graph_;
  std::string sourcePath;
  // What the probe found; the values before any probe are the window's own.
  MediaInfo mediaInfo_{0, 352, 288, kFilmFrameRate};
  std::int32_t sourceOpened = 0;
  std::int32_t converting = 0;
  std::int32_t elapsedSeconds = 0;
  std::string errorText;
  int windowsMajorVersion = 0;
  bool comInitialised = false;
  RunOutcome lastRun_ = RunOutcome::None;
  bool stopping_ = false;
  RunProgress progress_;
  // Milliseconds on a steady clock; the time left is estimated by it.
  std::function<std::int64_t()> runClock_ = SteadyMilliseconds;
  std::int64_t runStarted_ = 0;
  std::string pendingOpen_;
  bool runOpen_ = false;  // a run was begun and is not torn down yet
  int teardowns_ = 0;     // runs torn down, for tests
  PendingEnd pendingEnd_ = PendingEnd::None;
};
