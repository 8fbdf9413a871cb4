#pragma once
// The language catalogue, the current language with its three text tables,
// its locale identity and its user-interface font. One process-wide object,
// theLanguage, serves the whole program on the user-interface thread.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/font.h"

namespace ui {
class Dialog;
class Menu;
}  // namespace ui

class CLanguage {
 public:
  CLanguage() = default;
  virtual ~CLanguage() = default;
  CLanguage(const CLanguage&) = delete;
  CLanguage& operator=(const CLanguage&) = delete;

  // --- Catalogue and loading -------------------------------------------
  // The folder whose "language" subfolder holds the language files: the
  // executable's folder, or the one above it when that holds
  // language/English.ini.
  std::string GetLanguageBaseFolder() const;
  // Keeps the base folder, lists its language files and selects `name`.
  // False when the folder holds no language file.
  bool Open(const std::string& baseFolder, const std::string& name);
  // Makes `name` current (or "english" when the catalogue lacks it) and
  // loads it.
  bool SelectLanguage(const std::string& name);
  // Reads the language's file into the text tables, sets the locale and
  // creates the font. False only when the catalogue is empty.
  bool LoadLanguage(const std::string& name);

  std::string GetCurrentName() const { return m_strName; }
  int GetCount() const { return static_cast<int>(m_names.size()); }
  // The catalogue entry at `index`; empty for an index outside it.
  std::string GetName(int index) const;

  const std::string& GetBaseFolder() const { return m_strBaseFolder; }
  const std::string& GetFilePath() const { return m_strFilePath; }
  std::int32_t GetEncoding() const { return m_nEncoding; }
  std::int32_t GetPrimaryLanguage() const { return m_nPrimaryLanguage; }
  std::int32_t GetSubLanguage() const { return m_nSubLanguage; }

  // --- Lookups ---------------------------------------------------------
  // The language's message text for the id, else the built-in string.
  std::string GetMessageText(int id) const;
  // The language's dialog text for the id, else the built-in string.
  std::string GetDialogText(int id) const;
  // The language's dialog text, empty when it has none.
  std::string FindDialogText(int id) const;
  // The language's menu text, empty when it has none.
  std::string FindMenuText(int id) const;

  // --- Application to windows --------------------------------------------
  // Puts the language's texts and font on a dialog and its controls; false
  // (and nothing changed) when no language files exist.
  bool ApplyToDialog(ui::Dialog& dialog, int dialogId);
  // Renames a menu's items with the language's menu texts; popups are
  // numbered depth-first from menuId x 65536. False when no language files
  // exist.
  bool ApplyToMenu(ui::Menu& menu, int menuId, bool topLevel);

  // --- User-interface font -----------------------------------------------
  // Creates the font stored for the current language (or the default one).
  bool LoadUiFont();
  // Stores the font's fields in the current language's settings section.
  void SaveUiFont(const ui::Font& font);
  // The fields of the font a language has before anybody chose one.
  static ui::LogFont DefaultUiFont();
  ui::Font& UiFont() { return m_font; }
  const ui::Font& UiFont() const { return m_font; }

 private:
  using TextTable = std::vector<std::pair<std::int32_t, std::string>>;
  static std::string Find(const TextTable& table, int id);
  // The catalogue's spelling of a name, else the name itself.
  std::string FileNameOf(const std::string& name) const;
  void ReadTexts(const std::string& path);
  void ApplyLocale(const std::string& localeString);
  // The held font, or the system font when none could be made.
  ui::LogFont FontForWindows() const;

  std::string m_strName = "english";
  std::vector<std::string> m_names;
  TextTable m_menuTexts;
  TextTable m_stringTexts;
  TextTable m_dialogTexts;
  std::string m_strBaseFolder;
  std::int32_t m_nSubLanguage = 1;
  std::int32_t m_nPrimaryLanguage = 9;
  std::string m_strFilePath;
  std::int32_t m_nEncoding = 0;
  ui::Font m_font;
};

extern CLanguage theLanguage;
