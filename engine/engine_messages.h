#pragma once
// The message boxes the engine shows and the pages it opens: the one place
// where the engine talks to the user.

#include <string>

// A box owned by the main window, caption "Error", OK button.
void WindowMessage(const std::string& text);

// A box owned by the main window, caption the application's name, OK button
// and the exclamation icon.
void ApplicationMessage(const std::string& text);

// The ownerless box that says a file cannot be opened: the text of message
// 122, the caption of message 105 followed by " IDS_MESSAGE_NOT_OPEN_FILE".
void CannotOpenFileMessage();

// An ownerless box captioned "Message", OK button.
void OwnerlessMessage(const std::string& text);

// Opens one of the program's help pages (a path below the folder that holds
// help/) in the desktop's browser; a browser that cannot be started is not
// reported.
void OpenHelpPage(const std::string& page);
