// The user-interface font, remembered per language in the settings section
// named after the language.

#include <cstdint>

#include "i18n/language.h"
#include "platform/profile/app_profile.h"
#include "platform/text/utf8.h"
#include "platform/ui/message_boxes.h"

namespace {

using IntegerMember = std::int32_t ui::LogFont::*;
using ByteMember = std::uint8_t ui::LogFont::*;

struct IntegerField {
  const char* key;
  std::int32_t defaultValue;
  IntegerMember member;
};
// The 8-bit fields are stored as whole integers and read back as their low
// 8 bits.
struct ByteField {
  const char* key;
  std::int32_t defaultValue;
  ByteMember member;
};

constexpr IntegerField kIntegerFields[] = {
    {"lfHeight", -11, &ui::LogFont::lfHeight},
    {"lfWidth", 0, &ui::LogFont::lfWidth},
    {"lfEscapement", 0, &ui::LogFont::lfEscapement},
    {"lfOrientation", 0, &ui::LogFont::lfOrientation},
    {"lfWeight", ui::FW_NORMAL, &ui::LogFont::lfWeight},
};
constexpr ByteField kByteFields[] = {
    {"lfItalic", 0, &ui::LogFont::lfItalic},
    {"lfUnderline", 0, &ui::LogFont::lfUnderline},
    {"lfStrikeOut", 0, &ui::LogFont::lfStrikeOut},
    {"lfCharSet", 1, &ui::LogFont::lfCharSet},
    {"lfOutPrecision", 0, &ui::LogFont::lfOutPrecision},
    {"lfClipPrecision", 0, &ui::LogFont::lfClipPrecision},
    {"lfPitchAndFamily", 0, &ui::LogFont::lfPitchAndFamily},
};
constexpr const char* kFaceNameKey = "lfFaceName";
constexpr const char* kDefaultFaceName = "Microsoft Sans Serif";
constexpr std::size_t kMaxFaceNameBytes = 31;

// The fields stored in `section`, each field's default where nothing is
// stored; without a section, the defaults.
ui::LogFont ReadFontFields(const std::string* section) {
  auto readInt = [&](const char* key, std::int32_t def) {
    return section ? profile::GetProfileInt(*section, key, def) : def;
  };
  ui::LogFont fields;  // all zero: the quality is never stored
  for (const auto& field : kIntegerFields)
    fields.*field.member = readInt(field.key, field.defaultValue);
  for (const auto& field : kByteFields)
    fields.*field.member = static_cast<std::uint8_t>(readInt(field.key, field.defaultValue));
  fields.lfFaceName = text::TruncateUtf8(
      section ? profile::GetProfileString(*section, kFaceNameKey, kDefaultFaceName)
              : kDefaultFaceName,
      kMaxFaceNameBytes);
  return fields;
}

}  // namespace

ui::LogFont CLanguage::DefaultUiFont() { return ReadFontFields(nullptr); }

bool CLanguage::LoadUiFont() {
  const std::string section = GetCurrentName();
  const ui::LogFont fields = ReadFontFields(&section);

  m_font.DeleteObject();
  if (!m_font.CreateFontIndirect(fields)) {
    ui::OwnerlessMessageBox("Failed to create font", "Error");
    return false;
  }
  return true;
}

void CLanguage::SaveUiFont(const ui::Font& font) {
  const auto fields = font.GetLogFont();
  if (!fields) return;
  const std::string section = GetCurrentName();
  for (const auto& field : kIntegerFields)
    profile::WriteProfileInt(section, field.key, (*fields).*field.member);
  for (const auto& field : kByteFields)
    profile::WriteProfileInt(section, field.key, (*fields).*field.member);
  profile::WriteProfileString(section, kFaceNameKey, fields->lfFaceName);
}
