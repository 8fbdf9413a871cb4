#include "platform/ui/dialog_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include "platform/ui/dialog.h"

namespace ui {

DialogWindow::DialogWindow(Dialog& owner, QWidget* parent) : QDialog(parent), owner_(owner) {}

// Escape: the cancel command, which the dialog may refuse.
void DialogWindow::reject() { owner_.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); }

// The close box: WM_CLOSE; only EndDialog really closes the window.
void DialogWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  owner_.SendMessage(WM_CLOSE, 0, 0);
}

// F1: the framework's help command, which the dialog handles or ignores.
void DialogWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
    owner_.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
    return;
  }
  QDialog::keyPressEvent(event);
}

void DialogWindow::mouseReleaseEvent(QMouseEvent* event) {
  // A release that a control ignored reaches the dialog too. Only what the
  // dialog itself would receive counts: over a static text or a disabled
  // control (which take no mouse input), not over a working control.
  const QPoint at = event->position().toPoint();
  const QWidget* under = childAt(at);
  const bool forDialog = !under || qobject_cast<const QLabel*>(under) || !under->isEnabled();
  if (event->button() == Qt::RightButton && forDialog) {
    owner_.SendMessage(WM_RBUTTONUP, 0,
                       MAKELPARAM(static_cast<unsigned>(at.x()), static_cast<unsigned>(at.y())));
  }
  QDialog::mouseReleaseEvent(event);
}

namespace {

// The local files a drag carries; other addresses are not files to open.
std::vector<std::string> LocalFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  return paths;
}

}  // namespace

void DialogWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (owner_.AcceptsDroppedFiles() && !LocalFiles(event->mimeData()).empty())
    event->acceptProposedAction();
  else event->ignore();
}

void DialogWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (owner_.AcceptsDroppedFiles() && !LocalFiles(event->mimeData()).empty())
    event->acceptProposedAction();
  else event->ignore();
}

void DialogWindow::dropEvent(QDropEvent* event) {
  const auto paths = LocalFiles(event->mimeData());
  if (!owner_.AcceptsDroppedFiles() || paths.empty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  owner_.OnDropFiles(paths);
}

}  // namespace ui
