#include "i18n/language_menu.h"

#include <memory>

#include "i18n/language.h"
#include "platform/text/ascii_case.h"
#include "platform/ui/dialog.h"
#include "platform/ui/menu.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/modal_ui.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

namespace {

void FillLanguageSubmenu(ui::Menu& languages) {
  languages.RemoveMenu(0);  // the placeholder
  const std::string current = theLanguage.GetCurrentName();
  for (int i = 0; i < theLanguage.GetCount(); ++i) {
    const unsigned command = kFirstLanguageCommand + static_cast<unsigned>(i);
    const std::string name = theLanguage.GetName(i);
    languages.AppendMenu(command, name);
    languages.CheckMenuItem(command, text::EqualsIgnoringCase(name, current));
  }
}

void ShowPopupMenu(ui::Dialog& main, LPARAM lParam) {
  // Client coordinates, each 16 bits without sign.
  int x = static_cast<int>(LOWORD(static_cast<std::uintptr_t>(lParam)));
  int y = static_cast<int>(HIWORD(static_cast<std::uintptr_t>(lParam)));

  std::unique_ptr<ui::Menu> menu = LoadPopupMenu();
  if (!menu) {
    ui::OwnerlessMessageBox("Can not find Language Menu!", "error", MB_OK);
    return;
  }
  ui::Menu* popup = menu->GetSubMenu(0);
  if (!popup) return;
  if (ui::Menu* languages = popup->GetSubMenu(0)) {
    FillLanguageSubmenu(*languages);
    theLanguage.ApplyToMenu(*menu, IDR_MENU_POPUP, true);
  }

  main.ClientToScreen(x, y);
  const unsigned command = ui::Modal().TrackPopupMenu(*popup, 0, x, y, &main);
  // The choice reaches the window as a command after the menu is gone, as
  // it does when a menu posts it.
  if (command != 0) main.PostMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void SwitchLanguage(ui::Dialog& main, int index) {
  theLanguage.SelectLanguage(theLanguage.GetName(index));
  theLanguage.ApplyToDialog(main, IDD_REELCAST_DIALOG);
  ui::OwnedMessageBox(&main, theLanguage.GetMessageText(IDS_MESSAGE_RESTART_PROGRAM),
                      theLanguage.GetMessageText(IDS_MESSAGE_WARNING), MB_OK);
}

}  // namespace

bool LanguageHook(ui::Dialog& main, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RBUTTONUP) {
    ShowPopupMenu(main, lParam);
    return true;
  }
  if (message == WM_COMMAND) {
    const unsigned command = LOWORD(wParam);
    if (command < kFirstLanguageCommand || command >= kFirstLanguageCommand + kLanguageCommandCount)
      return false;
    const int index = static_cast<int>(command - kFirstLanguageCommand);
    // Entries past the command range are listed but cannot be chosen;
    // commands past the catalogue are ignored.
    if (index >= theLanguage.GetCount()) return false;
    SwitchLanguage(main, index);
    return true;
  }
  return false;
}

void ChooseUiFont(ui::Dialog& main) {
  ui::Font& font = theLanguage.UiFont();
  // Without a font (no language files, or stored fields that made none) the
  // dialog starts from the default font.
  const ui::LogFont initial = font.GetLogFont().value_or(CLanguage::DefaultUiFont());
  const auto chosen =
      ui::Modal().ChooseFont(&main, initial, ui::CF_SCREENFONTS | ui::CF_INITTOLOGFONTSTRUCT);
  if (!chosen) return;
  font.DeleteObject();
  if (font.CreateFontIndirect(*chosen)) theLanguage.SaveUiFont(font);
  else ui::OwnerlessMessageBox("Failed to create font", "Error", MB_OK);
  theLanguage.ApplyToDialog(main, IDD_REELCAST_DIALOG);
}
