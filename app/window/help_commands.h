#pragma once
// The Help, Homepage and About commands of the main window. None changes the
// window's state; all work while a conversion runs.

#include <string>

namespace ui {
class Dialog;
}

// Where the help's first page is: help/Introduction.htm beside the program,
// or one level above it when it is there (as in an installed tree).
std::string HelpIntroductionPath();

// Opens the help's first page in the desktop's browser. A browser that
// cannot be started shows nothing, as a help viewer's failure never did.
void ShowHelp();

// The address the Homepage button opens: the one configured for the build,
// or else the home page among the help pages, as a file: URL.
std::string HomePageAddress(const std::string& configured);

// Opens the home page; when no browser can be started, says so in a box
// owned by `main` that gives the address to type by hand.
void OpenHomePage(ui::Dialog& main);

// Runs the About box modally over `parent`.
void ShowAboutBox(ui::Dialog* parent);
