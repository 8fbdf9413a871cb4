// Building the catalogue, selecting and loading a language, and identifying
// its locale.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "i18n/language.h"
#include "platform/shell/install_folder.h"
#include "platform/text/locale.h"
#include "resources/resource_ids.h"
#include "tests/support/language_folder.h"
#include "tests/support/scripted_modal_ui.h"
#include "tests/support/test_environment.h"

namespace {

using test_support::LanguageFolder;
using test_support::Shown;

class LanguageLoader : public ::testing::Test {
 protected:
  test_support::ScriptedUi ui;
  LanguageFolder folder;
  CLanguage language;

  std::vector<Shown> Boxes() { return ui->OfKind(Shown::Kind::MessageBox); }
};

TEST_F(LanguageLoader, StoredNameInCapitalsKeepsItsCaseAndLoadsTheMatchingFile) {
  folder.Add("English.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Exit\n");
  folder.Add("Chinese_utf-8.ini",
             "[DIALOG]\nIDC_BUTTON_EXIT=退出\n[STRING]\nIDS_MESSAGE_ERROR=错误\n");

  EXPECT_TRUE(language.Open(folder.Base(), "CHINESE_UTF-8"));
  ASSERT_EQ(language.GetCount(), 2);
  EXPECT_EQ(language.GetName(0), "Chinese_utf-8");
  EXPECT_EQ(language.GetName(1), "English");
  EXPECT_EQ(language.GetCurrentName(), "CHINESE_UTF-8");
  EXPECT_EQ(language.GetEncoding(), 2);
  EXPECT_EQ(language.GetFilePath(), folder.Base() + "/language/Chinese_utf-8.ini");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_EXIT), "退出");
  EXPECT_EQ(language.GetMessageText(IDS_MESSAGE_ERROR), "错误");

  // "chinese" names no row: the warning, with the language part as caption.
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Your language file name may be not proper,\n please read the help file!");
  EXPECT_EQ(boxes[0].caption, "chinese");
  EXPECT_EQ(boxes[0].owner, nullptr);
}

TEST_F(LanguageLoader, LocaleOfTheName) {
  folder.Add("CHS_utf-8.ini", "");
  folder.Add("Deutsch.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Beenden\n");
  folder.Add("English_United_States.ini", "");
  folder.Add("english.ini", "");

  ASSERT_TRUE(language.Open(folder.Base(), "CHS_utf-8"));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(text::GetThreadLocale(), 0x0804u);
  EXPECT_EQ(language.GetPrimaryLanguage(), 4);
  EXPECT_EQ(language.GetSubLanguage(), 2);

  // An unknown language part warns, keeps the previous locale and still
  // loads the file's texts.
  language.SelectLanguage("Deutsch");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "deutsch");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_EXIT), "Beenden");
  EXPECT_EQ(text::GetThreadLocale(), 0x0804u);

  language.SelectLanguage("English_United_States");
  EXPECT_EQ(text::GetThreadLocale(), 0x0409u);
  EXPECT_EQ(language.GetPrimaryLanguage(), 9);
  EXPECT_EQ(language.GetSubLanguage(), 1);

  language.SelectLanguage("Deutsch");
  language.SelectLanguage("english");
  EXPECT_EQ(text::GetThreadLocale(), 0x0409u);
  EXPECT_EQ(Boxes().size(), 2u);

  // Numbers keep the English conventions whatever the language.
  EXPECT_STREQ(std::localeconv()->decimal_point, ".");
  char number[16];
  std::snprintf(number, sizeof number, "%.2f", 23.976);
  EXPECT_STREQ(number, "23.98");
}

// Encoder threads format numbers while the language is switched, so the
// switch never sets the numeric category, not even for a moment: a value
// placed there beforehand is still there after several switches, while the
// other categories follow the user's locale.
TEST_F(LanguageLoader, SwitchingNeverTouchesTheNumericLocale) {
  folder.Add("English.ini", "");
  folder.Add("German.ini", "");
  const std::string before = std::setlocale(LC_ALL, nullptr);
  const char* savedAll = std::getenv("LC_ALL");
  const std::string saved = savedAll ? savedAll : "";
  setenv("LC_ALL", "C.UTF-8", 1);
  const char* marker = std::setlocale(LC_NUMERIC, "C.UTF-8");
  ASSERT_NE(marker, nullptr) << "C.UTF-8 is part of the C library";
  const std::string placed = marker;

  ASSERT_TRUE(language.Open(folder.Base(), "English"));
  language.SelectLanguage("German");
  language.SelectLanguage("english");
  EXPECT_EQ(std::string(std::setlocale(LC_NUMERIC, nullptr)), placed);
  EXPECT_EQ(std::string(std::setlocale(LC_CTYPE, nullptr)), "C.UTF-8");
  EXPECT_EQ(std::string(std::setlocale(LC_TIME, nullptr)), "C.UTF-8");

  if (savedAll) setenv("LC_ALL", saved.c_str(), 1);
  else unsetenv("LC_ALL");
  std::setlocale(LC_ALL, before.c_str());
}

TEST_F(LanguageLoader, AnUnknownNameLoadsEnglish) {
  folder.Add("English.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Quit\n");
  folder.Add("German.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Beenden\n");
  ASSERT_TRUE(language.Open(folder.Base(), "Klingon"));
  EXPECT_EQ(language.GetCurrentName(), "english");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_EXIT), "Quit");

  // Without an English file every text stays built in.
  folder.Remove("English.ini");
  ASSERT_TRUE(language.Open(folder.Base(), "Klingon"));
  EXPECT_EQ(language.GetCurrentName(), "english");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_EXIT), "");
  EXPECT_EQ(language.GetMessageText(IDS_MESSAGE_ERROR), "Error");
}

TEST_F(LanguageLoader, CatalogueSortsByBytesAndListsOnlyIniNames) {
  for (const char* name :
       {"zulu.ini", "Alpha.ini", "beta.ini", "Zeta.ini", "notes.txt", "x.ini.bak"})
    folder.Add(name, "");
  std::filesystem::create_directories(folder.Base() + "/language/Folder.ini");
  ASSERT_TRUE(language.Open(folder.Base(), "beta"));
  std::vector<std::string> names;
  for (int i = 0; i < language.GetCount(); ++i) names.push_back(language.GetName(i));
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Folder", "Zeta", "beta", "zulu"}));
  EXPECT_EQ(language.GetName(-1), "");
  EXPECT_EQ(language.GetName(5), "");

  // A folder in the list loads as an unreadable file: built-in texts.
  language.SelectLanguage("Folder");
  EXPECT_EQ(language.GetCurrentName(), "Folder");
  EXPECT_EQ(language.GetMessageText(IDS_MESSAGE_WARNING), "Warning");
}

TEST_F(LanguageLoader, EmptyFolderLoadsNothing) {
  EXPECT_FALSE(language.Open(folder.Base(), "German"));
  EXPECT_FALSE(language.Open(folder.Base() + "/no-such-folder", "German"));
  EXPECT_EQ(language.GetCount(), 0);
  EXPECT_EQ(language.GetCurrentName(), "english");
  EXPECT_FALSE(language.LoadLanguage("German"));
  EXPECT_FALSE(language.UiFont().IsCreated());
  EXPECT_EQ(language.GetDialogText(IDC_BUTTON_STOP), "Stop");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_STOP), "");
  EXPECT_TRUE(ui->shown.empty());
}

TEST_F(LanguageLoader, ValuesAsTheReaderGivesThem) {
  folder.Add("English.ini",
             "[dialog]\n"
             "idc_button_exit=Quit\\nnow\n"
             "IDC_BUTTON_HELP=" +
                 std::string(3000, 'h') +
                 "\n"
                 "IDC_BUTTON_ABOUT=C:\\temp\n"
                 "[STRING]\n"
                 "IDS_MESSAGE_WARNING=\n"
                 "IDS_MESSAGE_ERROR=\"  Oops  \"\n");
  ASSERT_TRUE(language.Open(folder.Base(), "English"));
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_EXIT), "Quit\nnow");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_HELP), std::string(2047, 'h'));
  EXPECT_EQ(language.FindDialogText(IDD_ABOUTBOX), "C:\temp");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_ABOUT), "C:\temp") << "one key, two ids";
  EXPECT_EQ(language.GetMessageText(IDS_MESSAGE_WARNING), "Warning") << "empty keeps the built-in";
  EXPECT_EQ(language.GetMessageText(IDS_MESSAGE_ERROR), "  Oops  ");
  EXPECT_EQ(language.GetDialogText(IDC_BUTTON_STOP), "Stop");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_STOP), "");
}

TEST_F(LanguageLoader, SwitchingReplacesEveryText) {
  folder.Add("German.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Beenden\nIDC_BUTTON_HELP=Hilfe\n");
  folder.Add("French.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Quitter\n");
  ASSERT_TRUE(language.Open(folder.Base(), "German"));
  language.SelectLanguage("French");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_EXIT), "Quitter");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_HELP), "") << "nothing of German is left";
  // Loading directly (not through a selection) also starts from empty tables.
  language.LoadLanguage("German");
  language.LoadLanguage("French");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_HELP), "");
}

TEST_F(LanguageLoader, Utf16FileWithMarkIsDecoded) {
  folder.Add("French_Unicode.ini",
             test_support::Utf16LeWithMark(u"[DIALOG]\r\nIDC_BUTTON_EXIT=Arrêter — déjà\r\n"));
  ASSERT_TRUE(language.Open(folder.Base(), "French_Unicode"));
  EXPECT_EQ(language.GetEncoding(), 1);
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_EXIT), "Arrêter — déjà");
  EXPECT_TRUE(Boxes().empty()) << "french names a locale";
}

TEST_F(LanguageLoader, DamagedFilesNeverStopTheLoad) {
  std::string garbage;
  for (unsigned i = 0; i < 200000; ++i) garbage += static_cast<char>((i * 7919u + (i >> 3)) & 0xFF);
  folder.Add("Garbage.ini", garbage);
  std::string huge = "[DIALOG]\r\nIDC_BUTTON_EXIT=Big\r\nIDC_BUTTON_HELP=";
  huge.append(10u * 1024u * 1024u, 'x');
  huge += "\r\nIDC_BUTTON_ABOUT=beyond\r\n";
  folder.Add("Huge.ini", huge);
  folder.Add("Vanishing.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Gone\n");
  ASSERT_EQ(::mkfifo((folder.Base() + "/language/Pipe.ini").c_str(), 0600), 0);

  ASSERT_TRUE(language.Open(folder.Base(), "Garbage"));
  EXPECT_EQ(language.GetMessageText(IDS_MESSAGE_ERROR), "Error");

  ui->Clear();
  language.SelectLanguage("Huge");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_EXIT), "Big");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_HELP), std::string(2047, 'x'));
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_ABOUT), "") << "beyond what is read";
  ASSERT_FALSE(ui->MessageTexts().empty());
  EXPECT_NE(ui->MessageTexts().back().find("only its beginning was read"), std::string::npos);

  folder.Remove("Vanishing.ini");
  language.SelectLanguage("Vanishing");
  EXPECT_EQ(language.GetCurrentName(), "Vanishing");
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_EXIT), "");

  language.SelectLanguage("Pipe");  // must not wait for a writer
  EXPECT_EQ(language.FindDialogText(IDC_BUTTON_EXIT), "");
}

TEST(LanguageBaseFolder, TheFolderAboveWinsWhenItHoldsTheEnglishFile) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(test_support::HomeFolder()) / "install";
  fs::create_directories(root / "bin" / "language");
  std::ofstream(root / "bin" / "language" / "English.ini") << "";
  const std::string exe = (root / "bin" / "reelcast").string();

  EXPECT_EQ(shell::InstallFolderHolding(exe, "language/English.ini"), (root / "bin").string());
  fs::create_directories(root / "language");
  std::ofstream(root / "language" / "English.ini") << "";
  EXPECT_EQ(shell::InstallFolderHolding(exe, "language/English.ini"), root.string());

  // An installed tree under a prefix: prefix/bin/reelcast beside
  // prefix/share/reelcast/; a folder beside or above the program still wins.
  const fs::path prefix = fs::path(test_support::HomeFolder()) / "prefix";
  fs::create_directories(prefix / "share" / "reelcast" / "language");
  std::ofstream(prefix / "share" / "reelcast" / "language" / "English.ini") << "";
  const std::string installed = (prefix / "bin" / "reelcast").string();
  EXPECT_EQ(shell::InstallFolderHolding(installed, "language/English.ini"),
            (prefix / "share" / "reelcast").string());
  EXPECT_EQ(shell::InstallFolderHolding(installed, "help/Introduction.htm"),
            (prefix / "bin").string())
      << "nothing holds the marker: the program folder, as before";
  fs::create_directories(prefix / "bin" / "language");
  std::ofstream(prefix / "bin" / "language" / "English.ini") << "";
  EXPECT_EQ(shell::InstallFolderHolding(installed, "language/English.ini"),
            (prefix / "bin").string());

  EXPECT_EQ(shell::InstallFolderHolding("/reelcast", "language/English.ini"), "");
  EXPECT_EQ(shell::InstallFolderHolding("reelcast", "language/English.ini"), ".");

  // The test program itself runs from the build tree, laid out as installed.
  CLanguage language;
  const std::string base = language.GetLanguageBaseFolder();
  EXPECT_TRUE(fs::exists(base + "/language/English.ini")) << base;
  EXPECT_NE(base.substr(base.rfind('/')), "/bin");
}

}  // namespace
