// Loading one language file: its texts, its locale and its font.

#include "i18n/escapes.h"
#include "i18n/key_table.h"
#include "i18n/language.h"
#include "i18n/language_name.h"
#include "platform/profile/ini_reader.h"
#include "platform/text/locale.h"
#include "platform/ui/message_boxes.h"

namespace {
// The reader's buffer: a value keeps at most 2047 bytes.
constexpr std::size_t kValueBufferSize = 2048;
}  // namespace

bool CLanguage::LoadLanguage(const std::string& name) {
  if (m_names.empty()) return false;

  m_nEncoding = EncodingOfName(name);
  const std::string languagePart = LanguagePartOfName(name);
  const auto identity = IdentifyLocale(languagePart);
  if (identity) {
    m_nPrimaryLanguage = identity->primaryLanguage;
    m_nSubLanguage = identity->subLanguage;
  } else {
    ui::OwnerlessMessageBox(
        "Your language file name may be not proper,\n please read the help file!", languagePart);
  }

  m_strFilePath = m_strBaseFolder + "/language/" + FileNameOf(name) + ".ini";
  ReadTexts(m_strFilePath);
  ApplyLocale(identity ? identity->localeString : std::string());
  LoadUiFont();
  return true;
}

void CLanguage::ReadTexts(const std::string& path) {
  // The tables are rebuilt whole, so a second load never leaves the first
  // file's texts in front of the new ones.
  m_menuTexts.clear();
  m_stringTexts.clear();
  m_dialogTexts.clear();

  const profile::IniFile file = profile::IniFile::Load(path);
  if (file.status() == profile::FileBytes::Status::Truncated)
    ui::OwnerlessMessageBox(
        "The language file\n" + path + "\nis larger than " +
            std::to_string(profile::kMaxIniFileBytes / (std::size_t{1024} * 1024)) +
            " MB; only its beginning was read.",
        "Warning");

  for (const LanguageKey& key : LanguageKeys()) {
    const TextSection section = SectionOfKey(key.key);
    std::string text =
        ReplaceEscapes(file.GetString(SectionName(section), key.key, "", kValueBufferSize));
    TextTable& table = section == TextSection::Menu     ? m_menuTexts
                       : section == TextSection::String ? m_stringTexts
                                                        : m_dialogTexts;
    table.emplace_back(key.id, std::move(text));
  }
}

void CLanguage::ApplyLocale(const std::string& localeString) {
  text::SetProcessLocale(localeString);
  const auto langId = static_cast<std::uint16_t>(m_nSubLanguage * 1024 + m_nPrimaryLanguage);
  text::SetThreadLocale(text::MAKELCID(langId));
  // Numbers stay English: SetProcessLocale leaves the numeric category
  // alone, so no running stream ever sees it change.
}
