#pragma once
// The three kinds of message box the program shows.

#include <string>

#include "platform/ui/win_constants.h"

namespace ui {

class Dialog;

// Owned by the main window, with the application's name as caption, an OK
// button and the exclamation icon.
int AppMessageBox(const std::string& text);

// Owned by `owner` (may be null), with the caller's caption and flags.
int OwnedMessageBox(Dialog* owner, const std::string& text, const std::string& caption,
                    UINT flags = MB_OK);

// Without owner window.
int OwnerlessMessageBox(const std::string& text, const std::string& caption, UINT flags = MB_OK);

}  // namespace ui
