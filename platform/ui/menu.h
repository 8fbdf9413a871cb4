#pragma once
// A plain menu tree: items with a command id, a text, a check mark and an
// optional submenu. Testable without a screen; shown through ModalUi.

#include <memory>
#include <string>
#include <vector>

namespace ui {

class Menu;

struct MenuItem {
  unsigned id = 0;  // 0 for a separator; popups report kPopupId
  std::string text;
  bool checked = false;
  bool separator = false;
  std::unique_ptr<Menu> submenu;
};

class Menu {
 public:
  static constexpr unsigned kPopupId = 0xFFFFFFFFu;

  int GetMenuItemCount() const { return static_cast<int>(items_.size()); }
  // The command id at a position: kPopupId for a popup, 0 for a separator or
  // a position that does not exist.
  unsigned GetMenuItemID(int position) const;
  Menu* GetSubMenu(int position) const;
  const MenuItem* ItemAt(int position) const;

  void AppendMenu(unsigned id, const std::string& text);
  void AppendSeparator();
  Menu& AppendPopup(const std::string& text);
  bool RemoveMenu(int position);
  // Renames the item with this command id (first match, depth-first).
  bool ModifyMenu(unsigned id, const std::string& text);
  // Renames the popup item that holds `submenu`, keeping the submenu.
  bool ModifyPopup(const Menu* submenu, const std::string& text);
  bool CheckMenuItem(unsigned id, bool checked);

  const std::vector<MenuItem>& Items() const { return items_; }

 private:
  MenuItem* FindById(unsigned id);
  std::vector<MenuItem> items_;
};

}  // namespace ui
