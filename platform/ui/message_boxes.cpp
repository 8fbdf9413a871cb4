#include "platform/ui/message_boxes.h"

#include "platform/ui/application.h"
#include "platform/ui/modal_ui.h"

namespace ui {

int AppMessageBox(const std::string& text) {
  return Modal().MessageBox(MainWindow(), text, Application::Name(), MB_OK | MB_ICONEXCLAMATION);
}

int OwnedMessageBox(Dialog* owner, const std::string& text, const std::string& caption,
                    UINT flags) {
  return Modal().MessageBox(owner, text, caption, flags);
}

int OwnerlessMessageBox(const std::string& text, const std::string& caption, UINT flags) {
  return Modal().MessageBox(nullptr, text, caption, flags);
}

}  // namespace ui
