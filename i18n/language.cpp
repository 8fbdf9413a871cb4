#include "i18n/language.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/shell/install_folder.h"
#include "platform/shell/shell.h"
#include "platform/text/ascii_case.h"
#include "resources/string_table.h"

CLanguage theLanguage;

namespace {
constexpr std::string_view kLanguageFileExtension = ".ini";
}

std::string CLanguage::GetLanguageBaseFolder() const {
  return shell::InstallFolderHolding(shell::ExecutablePath(), "language/English.ini");
}

bool CLanguage::Open(const std::string& baseFolder, const std::string& name) {
  m_strBaseFolder = baseFolder;
  m_names.clear();

  // Every entry whose name ends in ".ini", files and folders alike; a folder
  // that cannot be listed lists nothing.
  std::error_code error;
  for (std::filesystem::directory_iterator it(baseFolder + "/language", error), end;
       !error && it != end; it.increment(error)) {
    const std::string fileName = it->path().filename().string();
    if (fileName.size() >= kLanguageFileExtension.size() &&
        fileName.ends_with(kLanguageFileExtension))
      m_names.push_back(fileName.substr(0, fileName.size() - kLanguageFileExtension.size()));
  }
  // Byte order: every name starting with a capital sorts before every name
  // starting with a small letter.
  std::sort(m_names.begin(), m_names.end());

  if (m_names.empty()) return false;
  SelectLanguage(name);
  return true;
}

bool CLanguage::SelectLanguage(const std::string& name) {
  m_menuTexts.clear();
  m_stringTexts.clear();
  m_dialogTexts.clear();
  const bool listed = std::any_of(m_names.begin(), m_names.end(), [&](const std::string& entry) {
    return text::EqualsIgnoringCase(entry, name);
  });
  // A listed name keeps the caller's letter case; any other loads English.
  m_strName = listed ? name : "english";
  LoadLanguage(m_strName);
  return true;
}

std::string CLanguage::GetName(int index) const {
  if (index < 0 || index >= GetCount()) return {};
  return m_names[static_cast<std::size_t>(index)];
}

std::string CLanguage::FileNameOf(const std::string& name) const {
  // Letter case matters to this file system, so the file is named as the
  // folder spells it, whatever case the stored name has.
  for (const auto& entry : m_names)
    if (text::EqualsIgnoringCase(entry, name)) return entry;
  return name;
}

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
