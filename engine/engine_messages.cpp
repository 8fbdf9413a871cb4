#include "engine/engine_messages.h"

#include "i18n/language.h"
#include "platform/ui/application.h"
#include "platform/ui/message_boxes.h"
#include "resources/resource_ids.h"

void WindowMessage(const std::string& text) {
  ui::OwnedMessageBox(ui::MainWindow(), text, "Error", MB_OK);
}

void ApplicationMessage(const std::string& text) { ui::AppMessageBox(text); }

void CannotOpenFileMessage() {
  ui::OwnerlessMessageBox(theLanguage.GetMessageText(IDS_MESSAGE_NOT_OPEN_FILE),
                          theLanguage.GetMessageText(IDS_MESSAGE_ERROR) +
                              " IDS_MESSAGE_NOT_OPEN_FILE",
                          MB_OK);
}
