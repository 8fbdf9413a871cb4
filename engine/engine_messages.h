#pragma once
// The message boxes the engine shows.

#include <string>

// A box owned by the main window, caption "Error", OK button.
void WindowMessage(const std::string& text);

// A box owned by the main window, caption the application's name, OK button
// and the exclamation icon.
void ApplicationMessage(const std::string& text);

// The ownerless box that says a file cannot be opened: the text of message
// 122, the caption of message 105 followed by " IDS_MESSAGE_NOT_OPEN_FILE".
void CannotOpenFileMessage();
