#pragma once
// Private state of ui::Dialog (platform/ui only).

#include <QFont>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/dialog_window.h"

namespace ui {

struct Dialog::Impl {
  struct Entry {
    int id;
    ControlKind kind;
    QPointer<QWidget> widget;
  };

  QPointer<DialogWindow> window;
  std::vector<Entry> controls;
  std::map<unsigned, std::unique_ptr<QTimer>> timers;
  QFont templateFont;
  int baseX = 6;  // dialog base units from the template font
  int baseY = 13;
  QPixmap icon;
  // Set while the program itself changes a selection, so that only a
  // user's change sends a notification.
  bool programmaticChange = false;
  bool acceptsDroppedFiles = false;
};

// The text a control was given, as given (mnemonic markers included).
extern const char* const kTextProperty;

}  // namespace ui
