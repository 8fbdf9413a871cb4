#pragma once
// The QDialog behind a ui::Dialog: turns Qt's events into the window
// messages the dialog handles (platform/ui only).

#include <QDialog>
#include <QEvent>

#include "platform/ui/win_constants.h"

namespace ui {

class Dialog;

class DialogWindow : public QDialog {
 public:
  DialogWindow(Dialog& owner, QWidget* parent);

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  Dialog& owner_;
};

}  // namespace ui
