// Convert and Stop: build the conversion graph, run it, show the elapsed
// time, and tear everything down when the run completes, is stopped or
// fails, leaving the source ready for the next run.

#include <filesystem>
#include <utility>

#include "app/shared/status_texts.h"
#include "app/window/reelcast_dlg.h"
#include "engine/conversion_graph.h"
#include "engine/graph_teardown.h"
#include "engine/source_graph.h"
#include "i18n/language.h"
#include "options/dialog_filter_properties.h"
#include "platform/dshow/control_interfaces.h"
#include "platform/dshow/error_text.h"
#include "platform/shell/shell.h"
#include "platform/ui/message_boxes.h"
#include "resources/resource_ids.h"

namespace {

// True when both paths name one file (the output would replace the source).
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  if (std::filesystem::equivalent(a, b, error)) return true;
  const auto ca = std::filesystem::weakly_canonical(a, error);
  if (error) return a == b;
  const auto cb = std::filesystem::weakly_canonical(b, error);
  return error ? a == b : ca == cb;
}

// The desktop's Videos folder is where output goes by default; on a machine
// whose user never had one it is made, as a file manager would, rather than
// failing the first conversion. No other missing folder is created.
void MakeVideosFolderFor(const std::string& outputPath) {
  const auto videos = shell::VideosFolder();
  if (!videos) return;
  const std::filesystem::path folder = std::filesystem::path(outputPath).parent_path();
  std::error_code error;
  if (folder == std::filesystem::path(*videos) && !std::filesystem::exists(folder, error))
    std::filesystem::create_directories(folder, error);
}

}  // namespace

void CReelcastDlg::OnConvert() {
  if (converting) {
    RequestStop();
    return;
  }
  if (!graph_.control) {
    ui::AppMessageBox("Please open an media file fisrt!");
    return;
  }
  // Replacing the source with its own conversion would destroy it: refused
  // before any question about replacing.
  if (SameFile(m_settings.outputPath, sourcePath)) {
    ui::OwnedMessageBox(this,
                        "The output file is the video being converted:\n" + m_settings.outputPath +
                            "\nPlease choose another output file in Options.",
                        theLanguage.GetMessageText(IDS_MESSAGE_ERROR), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  // A file the user agrees to replace keeps its name until the new one is
  // whole: the run writes under a name of its own and takes the output's
  // name only at its end.
  if (shell::FileExists(m_settings.outputPath)) {
    const int answer = ui::OwnedMessageBox(
        this, m_settings.outputPath + " " + theLanguage.GetMessageText(IDS_MESSAGE_FILE_EXIST),
        "Warning", MB_YESNO | MB_ICONEXCLAMATION);
    if (answer != IDYES) return;
  }

  MakeVideosFolderFor(m_settings.outputPath);
  lastRun_ = RunOutcome::FailedToStart;
  runOpen_ = true;
  ConversionRequest request{m_settings, graph_, Port(), errorText};
  if (BuildGraphWithCompressors(request) < 0) {
    TearDown();
    return;
  }
  if (m_settings.outputFormat == kFormatMp4) ShowFilterPropertiesBeforeRun();

  const HRESULT hr = graph_.control->Run();
  if (FAILED(hr)) {
    ui::AppMessageBox("can not pControl->Run()!!!");
    errorText = AMGetErrorTextA(hr);
    ui::AppMessageBox(errorText);
    TearDown();
    return;
  }
  converting = 1;
  lastRun_ = RunOutcome::Running;
  Item(IDC_BUTTON_CONVERT).SetText(theLanguage.GetDialogText(IDC_BUTTON_STOP));
  SetTimer(TIMER_ELAPSED, 1000);
  Item(IDC_BUTTON_ADD_VIDEO).Enable(false);
  Item(IDC_BUTTON_OUTPUT_SETTINGS).Enable(false);
  DragAcceptFiles(false);  // a drop is an Open Video
  StartProgress();
}

void CReelcastDlg::RequestStop() {
  if (stopping_) return;  // the writer is already finishing
  lastRun_ = RunOutcome::Stopped;
  ComPtr<IMediaStreamEnd> end;
  if (graph_.graph && SUCCEEDED(graph_.graph.As(end)) && end->EndStreams() == S_OK) {
    stopping_ = true;
    SetTimer(TIMER_STOP_LIMIT, kStopLimitMilliseconds);
    return;
  }
  TearDown();
}

void CReelcastDlg::OnTimer(unsigned id) {
  if (id == TIMER_STOP_LIMIT) {
    // The writer did not finish in time: the run is stopped as it stands.
    TearDown();
    return;
  }
  if (id == TIMER_PROGRESS) {
    ShowProgress();
    return;
  }
  if (id != TIMER_ELAPSED) return;
  ++elapsedSeconds;
  Item(IDC_STATIC_SUMMARY).SetText(ElapsedText(elapsedSeconds));
}

LRESULT CReelcastDlg::OnGraphNotify() {
  if (!graph_.events) return 0;
  HRESULT result = S_OK;
  long code = 0;
  LONG_PTR param1 = 0, param2 = 0;
  while (graph_.events && SUCCEEDED(graph_.events->GetEvent(code, param1, param2, 0))) {
    result = graph_.events->FreeEventParams(code, param1, param2);
    if (code == EC_COMPLETE) {
      // After Stop, the end of the streams is the stop taking effect.
      lastRun_ = stopping_ ? RunOutcome::Stopped : RunOutcome::Completed;
      TearDown();
    } else if (code == EC_ERRORABORT || code == EC_USERABORT) {
      // An aborted graph ends the run as a stop does, after saying why,
      // instead of staying in the converting state. The box runs its own
      // message loop: the run's timers are stopped first, so that neither
      // the elapsed time nor the stop limit acts on a run that is ending.
      lastRun_ = RunOutcome::Aborted;
      StopRunTimers();
      errorText = AMGetErrorTextA(code == EC_ERRORABORT ? static_cast<HRESULT>(param1) : E_ABORT);
      ui::AppMessageBox(errorText);
      TearDown();
    }
  }
  return result;
}

void CReelcastDlg::StopRunTimers() {
  KillTimer(TIMER_ELAPSED);
  KillTimer(TIMER_STOP_LIMIT);
}

void CReelcastDlg::TearDown() {
  // Once per run: whatever asks again (a message handled inside a message
  // box, a late timer) finds the run already ended.
  if (!runOpen_) return;
  runOpen_ = false;
  ++teardowns_;
  StopRunTimers();
  stopping_ = false;
  if (graph_.control) graph_.control->Stop();
  if (graph_.events) graph_.events->SetNotifyWindow(nullptr, 0, 0);
  if (graph_.graph) TearDownGraph(graph_.graph.Get(), sourcePath, m_settings, graph_);
  graph_.ReleaseGraph();
  converting = 0;
  Item(IDC_BUTTON_CONVERT).SetText(theLanguage.GetDialogText(IDC_BUTTON_CONVERT_TEXT));
  elapsedSeconds = 0;
  Item(IDC_STATIC_SUMMARY)
      .SetText(CompletionSummary(m_settings.outputPath, m_settings.outputWidth,
                                 m_settings.outputHeight));
  Item(IDC_BUTTON_ADD_VIDEO).Enable(true);
  Item(IDC_BUTTON_OUTPUT_SETTINGS).Enable(true);
  DragAcceptFiles(true);
  EndProgress();
  CreateSourceGraph(sourcePath, graph_);
  // A close or Escape that waited for the stop is carried out now, after
  // whatever the end of the run has shown.
  const PendingEnd pending = std::exchange(pendingEnd_, PendingEnd::None);
  if (pending == PendingEnd::Close) PostMessage(WM_CLOSE);
  if (pending == PendingEnd::Cancel) PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0));
}

void CReelcastDlg::ShowFilterPropertiesBeforeRun() {
  // Whatever the dialog returns, the run goes on.
  ShowFilterProperties(graph_.graph.Get(), this);
}
