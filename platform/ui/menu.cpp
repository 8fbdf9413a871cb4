#include "platform/ui/menu.h"

namespace ui {

const MenuItem* Menu::ItemAt(int position) const {
  if (position < 0 || position >= GetMenuItemCount()) return nullptr;
  return &items_[static_cast<std::size_t>(position)];
}

unsigned Menu::GetMenuItemID(int position) const {
  const MenuItem* item = ItemAt(position);
  if (!item) return 0;
  if (item->submenu) return kPopupId;
  return item->separator ? 0 : item->id;
}

Menu* Menu::GetSubMenu(int position) const {
  const MenuItem* item = ItemAt(position);
  return item ? item->submenu.get() : nullptr;
}

void Menu::AppendMenu(unsigned id, const std::string& text) {
  MenuItem item;
  item.id = id;
  item.text = text;
  items_.push_back(std::move(item));
}

void Menu::AppendSeparator() {
  MenuItem item;
  item.separator = true;
  items_.push_back(std::move(item));
}

Menu& Menu::AppendPopup(const std::string& text) {
  MenuItem item;
  item.text = text;
  item.submenu = std::make_unique<Menu>();
  items_.push_back(std::move(item));
  return *items_.back().submenu;
}

bool Menu::RemoveMenu(int position) {
  if (!ItemAt(position)) return false;
  items_.erase(items_.begin() + position);
  return true;
}

MenuItem* Menu::FindById(unsigned id) {
  for (auto& item : items_) {
    if (!item.submenu && !item.separator && item.id == id) return &item;
    if (item.submenu)
      if (MenuItem* found = item.submenu->FindById(id)) return found;
  }
  return nullptr;
}

bool Menu::ModifyMenu(unsigned id, const std::string& text) {
  MenuItem* item = FindById(id);
  if (!item) return false;
  item->text = text;
  return true;
}

bool Menu::ModifyPopup(const Menu* submenu, const std::string& text) {
  for (auto& item : items_) {
    if (item.submenu.get() == submenu) {
      item.text = text;
      return true;
    }
    if (item.submenu && item.submenu->ModifyPopup(submenu, text)) return true;
  }
  return false;
}

bool Menu::CheckMenuItem(unsigned id, bool checked) {
  MenuItem* item = FindById(id);
  if (!item) return false;
  item->checked = checked;
  return true;
}

}  // namespace ui
