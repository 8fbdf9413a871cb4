// Putting the language's texts and font on dialogs and renaming menu items.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QWidget>

#include "i18n/language.h"
#include "platform/ui/dialog.h"
#include "platform/ui/menu.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "tests/support/language_folder.h"
#include "tests/support/scripted_modal_ui.h"

namespace {

using test_support::LanguageFolder;

// The texts a user reads on the dialog's push buttons.
std::vector<std::string> ButtonTexts(ui::Dialog& dialog) {
  std::vector<std::string> texts;
  for (auto* button : dialog.Widget()->findChildren<QPushButton*>())
    texts.push_back(button->text().toStdString());
  return texts;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class ApplyTexts : public ::testing::Test {
 protected:
  test_support::ScriptedUi ui;
  LanguageFolder folder;
  CLanguage language;

  void Load(const std::string& fileName, const std::string& content) {
    folder.Add(fileName, content);
    ASSERT_TRUE(language.Open(folder.Base(), fileName.substr(0, fileName.size() - 4)));
  }
  // The face of the user-interface font, as a control carries it.
  static std::string Face(const ui::Control& control) { return control.Font().lfFaceName; }
};

TEST_F(ApplyTexts, OnlyTheExitButtonChangesWhenOnlyItHasAText) {
  Load("English.ini", "[DIALOG]\r\nIDC_BUTTON_EXIT=Quit\r\n");
  ui::Dialog main(MainDialogTemplate());
  main.Create();
  const std::string templateFace = Face(main.Item(IDC_BUTTON_HELP));

  EXPECT_TRUE(language.ApplyToDialog(main, IDD_REELCAST_DIALOG));
  EXPECT_EQ(main.GetWindowText(), "Reelcast");
  EXPECT_FALSE(main.DialogFont()) << "no caption text: the dialog keeps its font";
  EXPECT_EQ(main.Item(IDC_BUTTON_EXIT).Text(), "Quit");
  EXPECT_EQ(Face(main.Item(IDC_BUTTON_EXIT)), "Microsoft Sans Serif");
  EXPECT_EQ(main.Item(IDC_BUTTON_HELP).Text(), "Help");
  EXPECT_EQ(Face(main.Item(IDC_BUTTON_HELP)), templateFace);
  EXPECT_TRUE(Contains(ButtonTexts(main), "Quit"));
}

TEST_F(ApplyTexts, CaptionAndFontWithACaptionText) {
  Load("German.ini",
       "[DIALOG]\nIDD_PROGRAM_CAPTION=Reelcast Konverter\nIDC_BUTTON_CONVERT=Konvertieren\n");
  ui::Dialog main(MainDialogTemplate());
  main.Create();
  language.ApplyToDialog(main, IDD_REELCAST_DIALOG);
  EXPECT_EQ(main.GetWindowText(), "Reelcast Konverter");
  ASSERT_TRUE(main.DialogFont());
  EXPECT_EQ(main.DialogFont()->lfFaceName, "Microsoft Sans Serif");
  EXPECT_EQ(main.Item(IDC_BUTTON_CONVERT).Text(), "Konvertieren");
  EXPECT_EQ(language.GetDialogText(IDC_BUTTON_CONVERT_TEXT), "Konvertieren");
}

TEST_F(ApplyTexts, FileWithoutDialogSectionChangesNoDialog) {
  Load("English.ini", "[STRING]\nIDS_MESSAGE_ERROR=Oops\n");
  ui::Dialog main(MainDialogTemplate());
  main.Create();
  const std::string face = Face(main.Item(IDC_BUTTON_EXIT));
  EXPECT_TRUE(language.ApplyToDialog(main, IDD_REELCAST_DIALOG));
  EXPECT_EQ(main.Item(IDC_BUTTON_EXIT).Text(), "Exit");
  EXPECT_EQ(Face(main.Item(IDC_BUTTON_EXIT)), face);
  EXPECT_FALSE(main.DialogFont());
}

TEST_F(ApplyTexts, NothingIsAppliedWithoutLanguageFiles) {
  EXPECT_FALSE(language.Open(folder.Base(), "english"));
  ui::Dialog main(MainDialogTemplate());
  main.Create();
  EXPECT_FALSE(language.ApplyToDialog(main, IDD_REELCAST_DIALOG));
  EXPECT_EQ(main.Item(IDC_BUTTON_EXIT).Text(), "Exit");
}

TEST_F(ApplyTexts, AboutBoxKeepsItsUnnamedStaticsAndItsOkButton) {
  Load("French.ini",
       "[DIALOG]\nIDC_BUTTON_ABOUT=À propos\nIDD_PROGRAM_CAPTION=Reelcast en français\n"
       "[STRING]\nIDS_MESSAGE_ERROR=Erreur\n");
  ui::Dialog about(AboutDialogTemplate());
  about.Create();
  std::vector<std::pair<std::string, std::string>> unnamed;
  for (auto& control : about.Children())
    if (control.Id() == ui::IDC_STATIC) unnamed.emplace_back(control.Text(), Face(control));

  language.ApplyToDialog(about, IDD_ABOUTBOX);
  EXPECT_EQ(about.GetWindowText(), "À propos");
  EXPECT_EQ(about.Item(IDC_STATIC_PRODUCT_CAPTION).Text(), "Reelcast en français");
  EXPECT_EQ(about.Item(IDOK).Text(), "OK") << "no built-in string 1";
  EXPECT_EQ(about.Item(IDC_STATIC_VERSION).Text(), "Version 1.1");
  std::vector<std::pair<std::string, std::string>> after;
  for (auto& control : about.Children())
    if (control.Id() == ui::IDC_STATIC) after.emplace_back(control.Text(), Face(control));
  EXPECT_EQ(after, unnamed);
}

TEST_F(ApplyTexts, ComboListsAreSplitAtLineFeedsAndEditsAreSkipped) {
  // A dialog made for the test: a combo box and an edit box carrying ids
  // that the file has texts for, and a static with a message id below 100.
  ui::DialogTemplate t;
  t.id = 900;
  t.caption = "Test";
  t.fontFace = "MS Sans Serif";
  t.cx = 200;
  t.cy = 100;
  t.controls = {
      {IDC_BUTTON_EXIT, ui::ControlKind::ComboBox, "", 5, 5, 100, 60, ui::WS_VISIBLE, {"old"}},
      {IDC_BUTTON_HELP, ui::ControlKind::Edit, "typed", 5, 25, 100, 12, ui::WS_VISIBLE, {}},
      {2, ui::ControlKind::PushButton, "Cancel", 5, 45, 50, 14, ui::WS_VISIBLE, {}},
      {-1, ui::ControlKind::Static, "negative", 5, 65, 50, 14, ui::WS_VISIBLE, {}},
  };
  Load("English.ini", "[DIALOG]\nIDC_BUTTON_EXIT=one\\ntwo\\n\nIDC_BUTTON_HELP=Help\n");
  ui::Dialog dialog(t);
  dialog.Create();
  const std::string comboFace = Face(dialog.Item(IDC_BUTTON_EXIT));
  language.ApplyToDialog(dialog, 900);

  auto combo = dialog.Item(IDC_BUTTON_EXIT);
  ASSERT_EQ(combo.GetCount(), 3);
  EXPECT_EQ(combo.GetItemText(0), "one");
  EXPECT_EQ(combo.GetItemText(1), "two");
  EXPECT_EQ(combo.GetItemText(2), "") << "the piece after the last line feed";
  EXPECT_EQ(Face(combo), comboFace) << "a combo box keeps its font";
  EXPECT_EQ(dialog.Item(IDC_BUTTON_HELP).Text(), "typed");
  EXPECT_EQ(dialog.Item(2).Text(), "Cancel");
  EXPECT_EQ(dialog.Item(-1).Text(), "negative");
}

TEST_F(ApplyTexts, Utf8AndUtf16FilesShowTheirTexts) {
  folder.Add("CHS_utf-8.ini", "[DIALOG]\nIDC_BUTTON_EXIT=退出\nIDC_BUTTON_ADD_VIDEO=打开视频\n");
  folder.Add("German_Unicode.ini",
             test_support::Utf16LeWithMark(u"[DIALOG]\r\nIDC_BUTTON_EXIT=Schließen\r\n"));
  ASSERT_TRUE(language.Open(folder.Base(), "CHS_utf-8"));
  ui::Dialog main(MainDialogTemplate());
  main.Create();
  language.ApplyToDialog(main, IDD_REELCAST_DIALOG);
  EXPECT_TRUE(Contains(ButtonTexts(main), "退出"));
  EXPECT_TRUE(Contains(ButtonTexts(main), "打开视频"));

  language.SelectLanguage("German_Unicode");
  ui::Dialog again(MainDialogTemplate());
  again.Create();
  language.ApplyToDialog(again, IDD_REELCAST_DIALOG);
  EXPECT_TRUE(Contains(ButtonTexts(again), "Schließen"));
}

TEST_F(ApplyTexts, PopupMenuItemsTakeTheirMenuTexts) {
  Load("English.ini", "[MENU]\nIDM_SELECT_LANGUAGE=Languages\nIDM_POPUPMENU_FONT=Typeface\n");
  auto menu = LoadPopupMenu();
  ui::Menu& popup = *menu->GetSubMenu(0);
  ui::Menu& languages = *popup.GetSubMenu(0);
  languages.RemoveMenu(0);
  languages.AppendMenu(45400, "English");
  languages.AppendSeparator();

  EXPECT_TRUE(language.ApplyToMenu(*menu, IDR_MENU_POPUP, true));
  EXPECT_EQ(menu->ItemAt(0)->text, "PopupMenu") << "top-level items keep their texts";
  EXPECT_EQ(popup.ItemAt(0)->text, "Languages");
  EXPECT_EQ(popup.ItemAt(1)->text, "Typeface");
  EXPECT_EQ(popup.ItemAt(2)->text, "About") << "no text: the built-in stays";
  EXPECT_EQ(languages.ItemAt(0)->text, "English") << "language names keep their texts";

  CLanguage empty;
  EXPECT_FALSE(empty.ApplyToMenu(*menu, IDR_MENU_POPUP, true));
}

TEST_F(ApplyTexts, PopupsBelowTheTopLevelAreNumberedDepthFirst) {
  Load("English.ini", "[MENU]\nIDM_SELECT_LANGUAGE=First\n");
  // Two top-level popups, each holding one popup: those two are numbered
  // 131 x 65536 and 131 x 65536 + 1, across the top-level items.
  ui::Menu menu;
  menu.AppendPopup("Top 1").AppendPopup("Inner 1").AppendPopup("Innermost");
  menu.AppendPopup("Top 2").AppendPopup("Inner 2");
  language.ApplyToMenu(menu, IDR_MENU_POPUP, true);
  EXPECT_EQ(menu.GetSubMenu(0)->ItemAt(0)->text, "First");
  EXPECT_EQ(menu.GetSubMenu(1)->ItemAt(0)->text, "Inner 2");

  // A second top-level call starts counting afresh.
  ui::Menu other;
  other.AppendPopup("Top").AppendPopup("Again");
  language.ApplyToMenu(other, IDR_MENU_POPUP, true);
  EXPECT_EQ(other.GetSubMenu(0)->ItemAt(0)->text, "First");
}

}  // namespace
