// Open Video: pick a file, drop the previous source's graph, probe the new
// file, show its name and duration, remember its folder and open the graph
// a conversion will extend. A file named on the command line or dropped on
// the window takes the same road from the probe on.

#include "app/shared/status_texts.h"
#include "app/window/reelcast_dlg.h"
#include "engine/source_graph.h"
#include "i18n/language.h"
#include "options/output_formats.h"
#include "options/settings_store.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/modal_ui.h"
#include "resources/resource_ids.h"

namespace {

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder with its trailing separator; empty when the path has none.
std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void CReelcastDlg::OnOpenVideo() {
  ui::FileDialogRequest request;
  request.owner = this;
  request.filters = {{"Video Files (*.*)", "*.*"}};
  request.filterIndex = 1;
  request.initialFolder = ReadLastSourceFolder();
  request.title = theLanguage.GetMessageText(IDS_MESSAGE_OPEN_FILE);
  request.flags =
      ui::OFN_EXPLORER | ui::OFN_FILEMUSTEXIST | ui::OFN_PATHMUSTEXIST | ui::OFN_READONLY;
  const auto chosen = ui::Modal().GetOpenFileName(request);
  if (!chosen) return;
  OpenVideoFile(*chosen);
}

void CReelcastDlg::OpenVideoFile(const std::string& path) {
  if (path.size() >= kMaxPath) {
    // Refused before anything changes: the current source stays open.
    ReportPathTooLong(path);
    return;
  }

  if (!sourcePath.empty() && graph_.graph) graph_.ReleaseGraph();
  sourcePath = path;

  std::int64_t duration = 0;
  if (ProbeSourceFile(sourcePath, duration, mediaInfo_, m_settings) != 1) {
    ui::OwnedMessageBox(this,
                        theLanguage.GetMessageText(IDS_MESSAGE_NO_DURATION) +
                            theLanguage.GetMessageText(IDS_MESSAGE_NOT_OPEN_FILE),
                        theLanguage.GetMessageText(IDS_MESSAGE_ERROR) + " IDS_MESSAGE_NO_DURATION");
    sourcePath.clear();
    return;
  }

  StoreLastSourceFolder(FolderOf(sourcePath));
  mediaInfo_.duration = duration;
  Item(IDC_STATIC_DURATION).SetText(DurationDisplay(FileNameOf(sourcePath), duration));

  if (CreateSourceGraph(sourcePath, graph_) < 0) return;
  sourceOpened = 1;
}

void CReelcastDlg::OpenWhenShown(const std::string& path) {
  pendingOpen_ = path;
  if (IsCreated()) PostMessage(WM_OPEN_PENDING);
}

void CReelcastDlg::OnDropFiles(const std::vector<std::string>& paths) {
  // Refused while converting, as Open Video is (its button is disabled then).
  if (converting || paths.empty() || !Item(IDC_BUTTON_ADD_VIDEO).IsEnabled()) return;
  // One source at a time: the first file dropped.
  OpenVideoFile(paths.front());
}
