// Putting the language's texts and font on dialogs and menus.

#include <cstdint>

#include "i18n/language.h"
#include "platform/ui/dialog.h"
#include "platform/ui/menu.h"

namespace {

// The number of the next popup below the top level of the menu being
// renamed; set from the menu id by each top-level call.
std::uint32_t popupCounter = 0;

// The pieces of a text between line feeds, the last one even when empty.
template <typename Add>
void ForEachLine(const std::string& text, Add add) {
  std::size_t start = 0;
  for (std::size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', start)) {
    add(text.substr(start, lf - start));
    start = lf + 1;
  }
  add(text.substr(start));
}

}  // namespace

ui::LogFont CLanguage::FontForWindows() const {
  // All-zero fields stand for the system font.
  return m_font.GetLogFont().value_or(ui::LogFont{});
}

bool CLanguage::ApplyToDialog(ui::Dialog& dialog, int dialogId) {
  if (m_names.empty()) return false;

  // Without a caption text, the dialog keeps its caption and its own font.
  const std::string caption = FindDialogText(dialogId);
  if (!caption.empty()) {
    dialog.SetFont(FontForWindows());
    dialog.SetWindowText(caption);
  }

  for (ui::Control& control : dialog.Children()) {
    // Ids read as signed 16 bits: 0 and everything from 32768 up (among them
    // the 65535 of unnamed statics) belong to no text.
    const int id = static_cast<std::int16_t>(control.Id());
    if (id <= 0 || control.Kind() == ui::ControlKind::Edit) continue;
    const std::string text = id >= 100 ? FindDialogText(id) : GetMessageText(id);
    if (text.empty()) continue;
    if (control.Kind() == ui::ControlKind::ComboBox) {
      control.ResetContent();
      ForEachLine(text, [&](const std::string& item) { control.AddString(item); });
    } else {
      control.SetText(text);
      control.SetFont(FontForWindows());
    }
  }
  return true;
}

bool CLanguage::ApplyToMenu(ui::Menu& menu, int menuId, bool topLevel) {
  if (m_names.empty()) return false;
  if (topLevel) popupCounter = static_cast<std::uint32_t>(menuId) * 65536u;

  for (int position = 0; position < menu.GetMenuItemCount(); ++position) {
    const unsigned id = menu.GetMenuItemID(position);
    if (id == 0) continue;  // separators
    ui::Menu* submenu = id == ui::Menu::kPopupId ? menu.GetSubMenu(position) : nullptr;
    if (topLevel) {
      // Top-level items keep their texts; their popups are not numbered.
      if (submenu) ApplyToMenu(*submenu, menuId, false);
      continue;
    }
    if (submenu) {
      const std::string text = FindMenuText(static_cast<std::int32_t>(popupCounter++));
      if (!text.empty()) menu.ModifyPopup(submenu, text);
      ApplyToMenu(*submenu, menuId, false);
    } else {
      const std::string text = FindMenuText(static_cast<std::int32_t>(id));
      if (!text.empty()) menu.ModifyMenu(id, text);
    }
  }
  return true;
}
