#include "app/window/reelcast_dlg.h"

#include <utility>

#include "app/shared/status_texts.h"
#include "app/window/catalogue_resolver.h"
#include "app/window/help_commands.h"
#include "engine/conversion_graph.h"
#include "i18n/language.h"
#include "i18n/language_menu.h"
#include "options/settings_store.h"
#include "platform/com/runtime.h"
#include "platform/shell/shell.h"
#include "platform/ui/message_boxes.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

CReelcastDlg::CReelcastDlg() : ui::Dialog(MainDialogTemplate()) {}

CReelcastDlg::~CReelcastDlg() = default;

LRESULT CReelcastDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // The language hook sees every message first; the window then handles it
  // as usual whatever the hook did.
  LanguageHook(*this, message, wParam, lParam);
  return DefaultWindowProc(message, wParam, lParam);
}

bool CReelcastDlg::OnInitDialog() {
  SetIcon(ApplicationIconXpm());

  windowsMajorVersion = shell::PlatformMajorVersion();

  if (FAILED(CoInitialize(nullptr))) {
    ui::OwnerlessMessageBox("Could not initialize COM library.", "Error");
    return false;
  }
  comInitialised = true;

  Item(IDC_BUTTON_BUILD_FILTERS).Show(false);
  CatalogueResolver catalogue(graph_);
  LoadSettings(m_settings, catalogue, windowsMajorVersion >= 6, this);

  ShowOriginalSizeSummary();
  Item(IDC_STATIC_DURATION).SetText("00:00:00");

  theLanguage.ApplyToDialog(*this, IDD_REELCAST_DIALOG);
  Item(IDC_PROGRESS_CONVERSION).SetAccessibleName(theLanguage.GetMessageText(IDS_MESSAGE_PROGRESS));
  DragAcceptFiles(true);
  // A file named on the command line is opened once the window is up, so
  // that what the probe has to say has the window to stand on.
  if (!pendingOpen_.empty()) PostMessage(WM_OPEN_PENDING);
  return true;
}

void CReelcastDlg::ShowOriginalSizeSummary() {
  Item(IDC_STATIC_SUMMARY).SetText(SummaryOriginalSize(m_settings.outputPath));
}

bool CReelcastDlg::HoldEndWhileConverting(PendingEnd wish) {
  if (!converting) return false;
  if (stopping_) {
    // The user has stopped the run; the writer is finishing its file.
    pendingEnd_ = wish;
    return true;
  }
  ui::OwnedMessageBox(this, theLanguage.GetMessageText(IDS_MESSAGE_STOP_CONVERT),
                      theLanguage.GetMessageText(IDS_MESSAGE_WARNING));
  return true;
}

void CReelcastDlg::OnClose() {
  if (HoldEndWhileConverting(PendingEnd::Close)) return;
  ReleaseMediaObjects();
  StoreCurrentLanguage(theLanguage.GetCurrentName());
  if (comInitialised) {
    CoUninitialize();
    comInitialised = false;
  }
  EndDialog(IDCANCEL);
}

void CReelcastDlg::OnCancel() {
  // Escape ends the program at once when idle; during a conversion it is
  // held as the close command is, so the file being written is not left
  // unfinished.
  if (HoldEndWhileConverting(PendingEnd::Cancel)) return;
  EndDialog(IDCANCEL);
}

void CReelcastDlg::ReleaseMediaObjects() {
  graph_.control.Reset();
  graph_.graph.Reset();
  graph_.videoCompressor.Reset();
  graph_.audioCompressor.Reset();
}

bool CReelcastDlg::OnCommand(int id, int) {
  switch (id) {
    case IDC_BUTTON_ADD_VIDEO:
      OnOpenVideo();
      return true;
    case IDC_BUTTON_CONVERT:
      OnConvert();
      return true;
    case IDC_BUTTON_OUTPUT_SETTINGS:
      OnOutputSettings();
      return true;
    case IDC_BUTTON_EXIT:
      SendMessage(WM_CLOSE);
      return true;
    case IDC_BUTTON_HELP:
    case ID_HELP:
      ShowHelp();
      return true;
    case IDC_BUTTON_HOMEPAGE:
      OpenHomePage(*this);
      return true;
    case IDC_BUTTON_ABOUT:
    case IDM_ABOUT:
      ShowAboutBox(this);
      return true;
    case IDM_POPUPMENU_FONT:
      ChooseUiFont(*this);
      return true;
    default:
      return false;
  }
}

LRESULT CReelcastDlg::OnMessage(UINT message, WPARAM, LPARAM) {
  if (message == WM_GRAPHNOTIFY) return OnGraphNotify();
  if (message == WM_OPEN_PENDING && !pendingOpen_.empty()) {
    const std::string path = std::exchange(pendingOpen_, std::string());
    OpenVideoFile(path);
  }
  return 0;
}
