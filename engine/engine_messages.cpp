#include "engine/engine_messages.h"

#include "i18n/language.h"
#include "platform/shell/install_folder.h"
#include "platform/text/file_url.h"
#include "platform/ui/application.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/modal_ui.h"
#include "resources/resource_ids.h"

void WindowMessage(const std::string& text) {
  ui::OwnedMessageBox(ui::MainWindow(), text, "Error", MB_OK);
}

void ApplicationMessage(const std::string& text) { ui::AppMessageBox(text); }

void CannotOpenFileMessage() {
  ui::OwnerlessMessageBox(
      theLanguage.GetMessageText(IDS_MESSAGE_NOT_OPEN_FILE),
      theLanguage.GetMessageText(IDS_MESSAGE_ERROR) + " IDS_MESSAGE_NOT_OPEN_FILE", MB_OK);
}

void OwnerlessMessage(const std::string& text) { ui::OwnerlessMessageBox(text, "Message", MB_OK); }

void OpenHelpPage(const std::string& page) {
  ui::Modal().OpenAddress(text::FileUrl(shell::ProgramFilePath(page)));
}
