#pragma once
// The language catalogue, the current language and its text tables.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ui {
class Dialog;
class Menu;
}  // namespace ui

class CLanguage {
 public:
  CLanguage() = default;
  virtual ~CLanguage() = default;

  // The language's message text for the id, else the built-in string.
  std::string GetMessageText(int id) const;
  // The language's dialog text for the id, else the built-in string.
  std::string GetDialogText(int id) const;
  // The language's dialog text, empty when it has none.
  std::string FindDialogText(int id) const;
  // The language's menu text, empty when it has none.
  std::string FindMenuText(int id) const;

  // Puts the language's texts and font on a dialog; false when no language
  // files exist.
  bool ApplyToDialog(ui::Dialog& dialog, int dialogId);

  std::string GetCurrentName() const { return m_strName; }
  int GetCount() const { return static_cast<int>(m_names.size()); }

 private:
  using TextTable = std::vector<std::pair<std::int32_t, std::string>>;
  static std::string Find(const TextTable& table, int id);

  std::string m_strName = "english";
  std::vector<std::string> m_names;
  TextTable m_menuTexts;
  TextTable m_stringTexts;
  TextTable m_dialogTexts;
};

extern CLanguage theLanguage;
