#pragma once
// The main window's popup menu (Language submenu, Font, About), the language
// switch and the choice of the user-interface font.

#include "platform/ui/win_constants.h"

namespace ui {
class Dialog;
}

// The Language submenu lists catalogue entry i as command 45400 + i; 1000
// commands are taken as language choices.
constexpr unsigned kFirstLanguageCommand = 45400;
constexpr unsigned kLanguageCommandCount = 1000;

// Sees every message of the main window before the window handles it:
// a right-button release opens the popup menu at the click point, a language
// command switches the language. True when it acted on the message; the
// window handles the message normally either way.
bool LanguageHook(ui::Dialog& main, UINT message, WPARAM wParam, LPARAM lParam);

// The Font command: the font dialog, started from the current font; a
// confirmed choice is stored for the current language and put on the main
// window.
void ChooseUiFont(ui::Dialog& main);
