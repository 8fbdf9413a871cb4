#pragma once
// The program's dialog templates, popup menu and icon, as data.

#include <memory>

#include "platform/ui/dialog_template.h"
#include "platform/ui/menu.h"

ui::DialogTemplate AboutDialogTemplate();             // 100
ui::DialogTemplate MainDialogTemplate();              // 102
ui::DialogTemplate OutputOptionsDialogTemplate();     // 129
ui::DialogTemplate FilterPropertiesDialogTemplate();  // 133

// Menu 131: a popup whose first item is the Language submenu.
std::unique_ptr<ui::Menu> LoadPopupMenu();

// Icon 128, in XPM form.
const char* const* ApplicationIconXpm();
