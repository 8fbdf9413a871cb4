#include "platform/ui/dialog_window.h"

#include <QCloseEvent>
#include <QMouseEvent>

#include "platform/ui/dialog.h"

namespace ui {

QEvent::Type PostedMessageEvent::EventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

DialogWindow::DialogWindow(Dialog& owner, QWidget* parent) : QDialog(parent), owner_(owner) {}

// Escape: the cancel command, which the dialog may refuse.
void DialogWindow::reject() { owner_.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); }

// The close box: WM_CLOSE; only EndDialog really closes the window.
void DialogWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  owner_.SendMessage(WM_CLOSE, 0, 0);
}

void DialogWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    const QPoint at = event->position().toPoint();
    owner_.SendMessage(WM_RBUTTONUP, 0,
                       MAKELPARAM(static_cast<unsigned>(at.x()), static_cast<unsigned>(at.y())));
  }
  QDialog::mouseReleaseEvent(event);
}

void DialogWindow::customEvent(QEvent* event) {
  if (event->type() == PostedMessageEvent::EventType()) {
    auto* posted = static_cast<PostedMessageEvent*>(event);
    owner_.SendMessage(posted->message, posted->wParam, posted->lParam);
  }
}

}  // namespace ui
