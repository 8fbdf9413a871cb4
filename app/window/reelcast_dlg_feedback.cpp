// What the window shows about a run besides its summary line: a progress bar
// with the share of the source converted and the time left, and, when the
// run ends while the user works in another window, a desktop notification.

#include <chrono>

#include "app/shared/status_texts.h"
#include "app/window/reelcast_dlg.h"
#include "i18n/language.h"
#include "platform/dshow/control_interfaces.h"
#include "platform/shell/notification.h"
#include "resources/resource_ids.h"

std::optional<CReelcastDlg::RunPosition> CReelcastDlg::Position() {
  ComPtr<IMediaSeeking> seeking;
  RunPosition at;
  if (!graph_.graph || FAILED(graph_.graph.As(seeking)) ||
      FAILED(seeking->GetCurrentPosition(at.position)) ||
      FAILED(seeking->GetDuration(at.duration)) || at.duration <= 0)
    return std::nullopt;
  return at;
}

std::int64_t CReelcastDlg::SteadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void CReelcastDlg::StartProgress() {
  progress_.Start();
  runStarted_ = runClock_();
  Item(IDC_PROGRESS_CONVERSION).SetPos(0);
  Item(IDC_PROGRESS_CONVERSION).SetText(ProgressText(0, std::nullopt));
  SetTimer(TIMER_PROGRESS, kProgressMilliseconds);
}

void CReelcastDlg::ShowProgress() {
  const auto at = Position();
  if (!at) return;
  const RunProgress::View view =
      progress_.Update(runClock_() - runStarted_, at->position, at->duration);
  Item(IDC_PROGRESS_CONVERSION).SetPos(view.percent);
  Item(IDC_PROGRESS_CONVERSION).SetText(ProgressText(view.percent, view.secondsLeft));
}

void CReelcastDlg::EndProgress() {
  KillTimer(TIMER_PROGRESS);
  // A completed run shows that all of it was done; any other end leaves the
  // bar as before a run.
  if (lastRun_ == RunOutcome::Completed) {
    const RunProgress::View view = progress_.Complete();
    Item(IDC_PROGRESS_CONVERSION).SetPos(view.percent);
    Item(IDC_PROGRESS_CONVERSION).SetText(ProgressText(view.percent, std::nullopt));
  } else {
    progress_.Start();
    Item(IDC_PROGRESS_CONVERSION).SetPos(0);
    Item(IDC_PROGRESS_CONVERSION).SetText("");
  }
  NotifyRunEnd();
}

void CReelcastDlg::NotifyRunEnd() {
  // Only a window on screen that the user has left needs to call them back;
  // a stop was the user's own doing.
  if (!IsWindowVisible() || IsActiveWindow()) return;
  int summary = 0;
  switch (lastRun_) {
    case RunOutcome::Completed:
      summary = IDS_MESSAGE_NOTIFY_DONE;
      break;
    case RunOutcome::Aborted:
    case RunOutcome::FailedToStart:
      summary = IDS_MESSAGE_NOTIFY_FAILED;
      break;
    default:
      return;
  }
  shell::ShowDesktopNotification(theLanguage.GetMessageText(summary), m_settings.outputPath);
}
