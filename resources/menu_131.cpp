// The popup menu of the main window: a Language submenu (filled with the
// catalogue when shown), Font and About.

#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

std::unique_ptr<ui::Menu> LoadPopupMenu() {
  auto menu = std::make_unique<ui::Menu>();
  ui::Menu& popup = menu->AppendPopup("PopupMenu");
  ui::Menu& language = popup.AppendPopup("Language");
  language.AppendMenu(0, "");  // placeholder, removed before the menu is shown
  popup.AppendMenu(IDM_POPUPMENU_FONT, "Font");
  popup.AppendMenu(IDM_ABOUT, "About");
  return menu;
}
