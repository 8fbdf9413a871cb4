// The language files that ship with the program: complete, and the English
// one saying exactly what the program says without it.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "i18n/key_table.h"
#include "i18n/language.h"
#include "platform/profile/ini_reader.h"
#include "platform/ui/menu.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace {

std::string ShippedFolder() { return CLanguage().GetLanguageBaseFolder() + "/language"; }

// The built-in text of a key's id: a string resource, a dialog's caption or
// control text, or a popup menu item's text.
std::map<std::pair<TextSection, int>, std::string> BuiltInTexts() {
  std::map<std::pair<TextSection, int>, std::string> texts;
  for (const auto& dialog :
       {AboutDialogTemplate(), MainDialogTemplate(), OutputOptionsDialogTemplate()}) {
    texts[{TextSection::Dialog, dialog.id}] = dialog.caption;
    for (const auto& control : dialog.controls)
      texts[{TextSection::Dialog, control.id}] = control.text;
  }
  for (int id : {IDC_BUTTON_STOP, IDC_BUTTON_CONVERT_TEXT})
    texts[{TextSection::Dialog, id}] = *LoadBuiltInString(id);
  const auto menu = LoadPopupMenu();
  const ui::Menu& popup = *menu->GetSubMenu(0);
  texts[{TextSection::Menu, static_cast<int>(IDM_SELECT_LANGUAGE)}] = popup.ItemAt(0)->text;
  for (int i = 1; i < popup.GetMenuItemCount(); ++i)
    texts[{TextSection::Menu, static_cast<int>(popup.GetMenuItemID(i))}] = popup.ItemAt(i)->text;
  for (const auto& key : LanguageKeys())
    if (SectionOfKey(key.key) == TextSection::String)
      texts[{TextSection::String, key.id}] = LoadBuiltInString(key.id).value_or("");
  return texts;
}

TEST(ShippedLanguages, EveryFileHasEveryKey) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ShippedFolder())) {
    ++files;
    const auto file = profile::IniFile::Load(entry.path().string());
    ASSERT_EQ(file.status(), profile::FileBytes::Status::Read) << entry.path();
    for (const auto& key : LanguageKeys())
      EXPECT_FALSE(file.GetString(SectionName(SectionOfKey(key.key)), key.key, "", 2048).empty())
          << entry.path().filename() << " lacks " << key.key;
  }
  EXPECT_EQ(files, 5);
}

TEST(ShippedLanguages, EnglishSaysWhatTheProgramSaysWithoutIt) {
  const auto file = profile::IniFile::Load(ShippedFolder() + "/English.ini");
  const auto builtIn = BuiltInTexts();
  for (const auto& key : LanguageKeys()) {
    const TextSection section = SectionOfKey(key.key);
    const auto expected = builtIn.find({section, key.id});
    ASSERT_NE(expected, builtIn.end()) << key.key;
    EXPECT_EQ(file.GetString(SectionName(section), key.key, "", 2048), expected->second) << key.key;
  }
}

}  // namespace
