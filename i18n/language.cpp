#include "i18n/language.h"

#include "resources/string_table.h"

CLanguage theLanguage;

std::string CLanguage::Find(const TextTable& table, int id) {
  for (const auto& [key, text] : table)
    if (key == id) return text;
  return {};
}

std::string CLanguage::GetMessageText(int id) const {
  std::string text = Find(m_stringTexts, id);
  if (text.empty()) text = LoadBuiltInString(id).value_or(std::string());
  return text;
}

std::string CLanguage::GetDialogText(int id) const {
  std::string text = Find(m_dialogTexts, id);
  if (text.empty()) text = LoadBuiltInString(id).value_or(std::string());
  return text;
}

std::string CLanguage::FindDialogText(int id) const { return Find(m_dialogTexts, id); }

std::string CLanguage::FindMenuText(int id) const { return Find(m_menuTexts, id); }

bool CLanguage::ApplyToDialog(ui::Dialog&, int) {
  // Nothing to apply until a language file is loaded.
  return !m_names.empty();
}
