// The fixed tables and the pure rules of language files: keys, locales,
// name markers and escapes.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "i18n/escapes.h"
#include "i18n/key_table.h"
#include "i18n/language_name.h"
#include "i18n/locale_table.h"

namespace {

TEST(KeyTable, EveryKeyInReadingOrderWithItsSectionAndId) {
  const auto keys = LanguageKeys();
  // The system's 52 keys, then the 4 of the desktop additions.
  ASSERT_EQ(keys.size(), 56u);
  EXPECT_STREQ(keys[0].key, "IDM_ABOUT");
  EXPECT_EQ(keys[1].id, 8585216);
  EXPECT_STREQ(keys[28].key, "IDC_STATIC_OUTPUT_FORMAT");
  EXPECT_EQ(keys[28].id, 1056);
  EXPECT_STREQ(keys[37].key, "IDC_BUTTON_CONVERT");
  EXPECT_EQ(keys[37].id, 125);
  EXPECT_STREQ(keys[51].key, "IDS_MESSAGE_RESIZE_STRETCH");
  EXPECT_EQ(keys[51].id, 118);

  EXPECT_EQ(SectionOfKey("IDS_MESSAGE_ERROR"), TextSection::String);
  EXPECT_EQ(SectionOfKey("IDM_ABOUT"), TextSection::Menu);
  EXPECT_EQ(SectionOfKey("IDD_PROGRAM_CAPTION"), TextSection::Dialog);
  EXPECT_EQ(SectionOfKey("IDC_BUTTON_STOP"), TextSection::Dialog);

  // Within a section every id names one text; only the three double keys
  // stand twice, each feeding two ids.
  std::set<std::pair<TextSection, int>> ids;
  std::multiset<std::string> names;
  for (const auto& key : keys) {
    EXPECT_TRUE(ids.emplace(SectionOfKey(key.key), key.id).second) << key.key;
    names.insert(key.key);
  }
  for (const char* twice : {"IDC_BUTTON_ABOUT", "IDD_PROGRAM_CAPTION", "IDC_BUTTON_CONVERT"})
    EXPECT_EQ(names.count(twice), 2u) << twice;
  EXPECT_EQ(names.size() - std::set<std::string>(names.begin(), names.end()).size(), 3u);
}

TEST(LocaleTable, AllRowsInTheirFixedOrder) {
  const auto rows = LocaleTable();
  ASSERT_EQ(rows.size(), 273u);
  auto expectRow = [&](std::size_t index, const char* name, const char* abbreviation, int langId) {
    EXPECT_STREQ(rows[index].fullName, name) << index;
    EXPECT_STREQ(rows[index].abbreviation, abbreviation) << index;
    EXPECT_EQ(rows[index].langId, langId) << index;
  };
  expectRow(0, "Afrikaans", "AFK", 0x0036);
  expectRow(272, "Yoruba_Nigeria", "YOR", 0x046A);
  expectRow(45, "Chinese_Peoples_Republic_of_China", "CHS", 0x0804);
  expectRow(46, "Chinese_Simplified", "CHS", 0x0004);
  expectRow(64, "English", "ENU", 0x0009);
  expectRow(79, "English_United_States", "ENU", 0x0409);
  expectRow(138, "K_iche_Guatemala", "QUT", 0x0486);
  expectRow(235, "Spanish_United States", "EST", 0x540A);
  expectRow(243, "Tajik_Cyrillic_Tajikistan", "TAJ", 0x0428);

  // Rows keep the platform's order, which is not plain byte order.
  std::size_t khmer = 0, kiche = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (std::string(rows[i].fullName) == "Khmer_Cambodia") khmer = i;
    if (std::string(rows[i].fullName) == "K_iche_Guatemala") kiche = i;
  }
  EXPECT_EQ(kiche, khmer + 1);
}

TEST(LanguageName, EncodingMarkersAndLanguageParts) {
  EXPECT_EQ(EncodingOfName("French_Unicode"), kEncodingUnicode);
  EXPECT_EQ(LanguagePartOfName("French_Unicode"), "french");
  EXPECT_EQ(EncodingOfName("my_utf-8_test"), kEncodingUtf8);
  EXPECT_EQ(LanguagePartOfName("my_utf-8_test"), "my_utf-");
  EXPECT_EQ(EncodingOfName("x_UNICODE_Utf-8"), kEncodingUtf8) << "both markers: UTF-8";
  EXPECT_EQ(EncodingOfName("Chinese_utf-8"), kEncodingUtf8);
  EXPECT_EQ(LanguagePartOfName("Chinese_utf-8"), "chinese");
  EXPECT_EQ(EncodingOfName("German"), kEncodingNone);
  EXPECT_EQ(LanguagePartOfName("German"), "german");
  EXPECT_EQ(LanguagePartOfName("_utf-8"), "");
  EXPECT_EQ(LanguagePartOfName("Ärger_Unicode"), "Ärger") << "only ASCII letters are lowered";
}

void ExpectLocale(std::string_view part, const std::string& localeString, int primary, int sub) {
  const auto identity = IdentifyLocale(part);
  ASSERT_TRUE(identity) << part;
  EXPECT_EQ(identity->localeString, localeString) << part;
  EXPECT_EQ(identity->primaryLanguage, primary) << part;
  EXPECT_EQ(identity->subLanguage, sub) << part;
}

TEST(LanguageName, LocaleIdentification) {
  // The row of the People's Republic comes before Chinese_Simplified.
  ExpectLocale("chs", "chs", 4, 2);
  ExpectLocale("english_united_states", "enu", 9, 1);
  ExpectLocale("enu", "enu", 9, 0);  // the first ENU row is English itself
  ExpectLocale("english", "english", 9, 1);
  ExpectLocale("german", "deu", 7, 0);
  ExpectLocale("spanish_united states", "est", 10, 21);

  EXPECT_FALSE(IdentifyLocale("spanish_united_states"));
  EXPECT_FALSE(IdentifyLocale("deutsch"));
  EXPECT_FALSE(IdentifyLocale("chinese")) << "every Chinese row names a country or a script";
  EXPECT_FALSE(IdentifyLocale("my_utf-"));
  EXPECT_FALSE(IdentifyLocale("German")) << "the language part is compared lowered";
}

TEST(Escapes, TabLineFeedAndCarriageReturnOnly) {
  EXPECT_EQ(ReplaceEscapes("two\\nlines"), "two\nlines");
  EXPECT_EQ(ReplaceEscapes("C:\\temp"), "C:\temp");
  EXPECT_EQ(ReplaceEscapes("a\\\\n"), "a\\\n") << "two backslashes then n";
  EXPECT_EQ(ReplaceEscapes("\\x41"), "\\x41");
  EXPECT_EQ(ReplaceEscapes("end\\"), "end\\");
  EXPECT_EQ(ReplaceEscapes("\\r\\n\\t"), "\r\n\t");
  EXPECT_EQ(ReplaceEscapes("\\\\t\\\\"), "\\\t\\\\");
  EXPECT_EQ(ReplaceEscapes("\\T\\N"), "\\T\\N") << "escapes are lower case only";
  EXPECT_EQ(ReplaceEscapes("行\\n列"), "行\n列");
  EXPECT_EQ(ReplaceEscapes(""), "");
}

}  // namespace
