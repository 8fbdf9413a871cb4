// The popup menu of the main window, the language switch and the
// user-interface font remembered per language.

#include "i18n/language_menu.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include "i18n/language.h"
#include "platform/profile/app_profile.h"
#include "platform/ui/application.h"
#include "platform/ui/dialog.h"
#include "platform/ui/menu.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "tests/support/language_folder.h"
#include "tests/support/scripted_modal_ui.h"

namespace {

using test_support::LanguageFolder;
using test_support::Shown;

class TestApplication : public ui::Application {
 public:
  bool InitInstance() override { return false; }
};

// A main window that routes its messages as the program's does: the hook
// first, then the window's own handling of Font and About.
class HookedWindow : public ui::Dialog {
 public:
  HookedWindow() : ui::Dialog(MainDialogTemplate()) {}
  std::vector<int> commands;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    LanguageHook(*this, message, wParam, lParam);
    return DefaultWindowProc(message, wParam, lParam);
  }
  bool OnCommand(int id, int) override {
    commands.push_back(id);
    if (id == static_cast<int>(IDM_POPUPMENU_FONT)) ChooseUiFont(*this);
    return true;
  }
};

class LanguageMenu : public ::testing::Test {
 protected:
  test_support::ScriptedUi ui;
  TestApplication app;
  LanguageFolder folder;
  HookedWindow main;

  LanguageMenu() { app.SetRegistryKey("TARNWICK"); }

  void Open(const std::string& name) {
    theLanguage.Open(folder.Base(), name);
    main.Create();
    theLanguage.ApplyToDialog(main, IDD_REELCAST_DIALOG);
  }
  // A right-button release at (x, y); the chosen command arrives later, as
  // a posted message.
  void RightClick(unsigned x, unsigned y) {
    main.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    QCoreApplication::sendPostedEvents();
  }
  // Right-click and pick the Language submenu's entry `index`.
  void ChooseLanguageFromMenu(int index) {
    ui->popupScripts.push_back(
        [index](const ui::Menu& popup) { return popup.GetSubMenu(0)->GetMenuItemID(index); });
    RightClick(10, 10);
  }
  std::vector<Shown> Boxes() { return ui->OfKind(Shown::Kind::MessageBox); }
};

TEST_F(LanguageMenu, PopupListsTheCatalogueWithACheckAtTheCurrentLanguage) {
  folder.Add("English.ini", "");
  folder.Add("German.ini", "[MENU]\nIDM_SELECT_LANGUAGE=Sprache\nIDM_POPUPMENU_FONT=Schriftart\n");
  folder.Add("French.ini", "");
  Open("german");

  struct Seen {
    std::vector<std::pair<std::string, bool>> languages;
    std::vector<unsigned> ids;
  } seen;
  ui->popupScripts.push_back([&seen](const ui::Menu& popup) {
    const ui::Menu* languages = popup.GetSubMenu(0);
    for (int i = 0; languages && i < languages->GetMenuItemCount(); ++i) {
      seen.languages.emplace_back(languages->ItemAt(i)->text, languages->ItemAt(i)->checked);
      seen.ids.push_back(languages->GetMenuItemID(i));
    }
    return 0u;
  });
  RightClick(30, 40);

  const auto popups = ui->OfKind(Shown::Kind::Popup);
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].menu, (std::vector<std::string>{"Sprache", "Schriftart", "About"}));
  EXPECT_EQ(popups[0].owner, &main);
  EXPECT_EQ(popups[0].flags, 0u);
  EXPECT_EQ(seen.languages, (std::vector<std::pair<std::string, bool>>{
                                {"English", false}, {"French", false}, {"German", true}}));
  EXPECT_EQ(seen.ids, (std::vector<unsigned>{45400, 45401, 45402}));
  EXPECT_TRUE(main.commands.empty()) << "nothing chosen, nothing sent";
}

TEST_F(LanguageMenu, ChoosingALanguageReloadsAndAsksForARestart) {
  folder.Add("English.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Exit\n");
  folder.Add(
      "German.ini",
      "[DIALOG]\nIDC_BUTTON_EXIT=Beenden\n"
      "[STRING]\nIDS_MESSAGE_RESTART_PROGRAM=Bitte neu starten\nIDS_MESSAGE_WARNING=Warnung\n");
  Open("English");

  ChooseLanguageFromMenu(1);
  EXPECT_EQ(theLanguage.GetCurrentName(), "German");
  EXPECT_EQ(main.Item(IDC_BUTTON_EXIT).Text(), "Beenden");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "Bitte neu starten");
  EXPECT_EQ(Boxes()[0].caption, "Warnung");
  EXPECT_EQ(Boxes()[0].owner, &main);
  EXPECT_EQ(Boxes()[0].flags, MB_OK);

  // The checked language chosen again reloads it and asks again.
  folder.Add("German.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Schließen\n");
  ChooseLanguageFromMenu(1);
  EXPECT_EQ(main.Item(IDC_BUTTON_EXIT).Text(), "Schließen");
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].text, "Please restart the program");
  EXPECT_EQ(Boxes()[1].caption, "Warning");
}

TEST_F(LanguageMenu, LanguagesPastTheCommandRangeAreListedButNotChosen) {
  for (int i = 0; i < 1001; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "L%04d.ini", i);
    folder.Add(name, "");
  }
  folder.Add("English.ini", "");
  Open("English");
  ASSERT_EQ(theLanguage.GetCount(), 1002);
  ui->Clear();

  int listed = 0;
  unsigned last = 0;
  ui->popupScripts.push_back([&](const ui::Menu& popup) {
    listed = popup.GetSubMenu(0)->GetMenuItemCount();
    last = popup.GetSubMenu(0)->GetMenuItemID(1000);
    return last;
  });
  RightClick(5, 5);
  EXPECT_EQ(listed, 1002);
  EXPECT_EQ(last, 46400u);
  EXPECT_EQ(theLanguage.GetCurrentName(), "English") << "command 46400 is no language choice";
  EXPECT_TRUE(Boxes().empty());

  // The last command of the range is a choice (English sorts first).
  main.SendMessage(WM_COMMAND, MAKEWPARAM(46399, 0), 0);
  EXPECT_EQ(theLanguage.GetCurrentName(), "L0998");
  // A command past the catalogue is ignored.
  LanguageFolder small;
  small.Add("Only.ini", "");
  theLanguage.Open(small.Base(), "Only");
  ui->Clear();
  main.SendMessage(WM_COMMAND, MAKEWPARAM(45401, 0), 0);
  EXPECT_EQ(theLanguage.GetCurrentName(), "Only");
  EXPECT_TRUE(Boxes().empty());
}

// A right button pressed and released over a widget of the window, as the
// window system delivers it.
void RightClickOn(QWidget* widget) {
  const QPointF at(3, 3);
  QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::RightButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

// The widget that shows a control, found where the template places it.
QWidget* WidgetOf(ui::Dialog& dialog, int id) {
  for (const auto& c : dialog.Template().controls) {
    if (c.id != id) continue;
    const auto r = dialog.DialogUnitsToPixels(c.x, c.y, c.cx, c.cy);
    return dialog.Widget()->childAt(r.x + r.width / 2, r.y + r.height / 2);
  }
  return nullptr;
}

TEST_F(LanguageMenu, OnlyClicksTheWindowItselfReceivesOpenTheMenu) {
  folder.Add("English.ini", "");
  Open("English");
  main.Widget()->show();
  auto popups = [&] { return ui->OfKind(Shown::Kind::Popup).size(); };

  RightClickOn(main.Widget());
  EXPECT_EQ(popups(), 1u);
  // The button takes the click for itself.
  RightClickOn(WidgetOf(main, IDC_BUTTON_HELP));
  EXPECT_EQ(popups(), 1u);
  // A static text lets it through to the window.
  RightClickOn(WidgetOf(main, IDC_STATIC_SUMMARY));
  EXPECT_EQ(popups(), 2u);
}

TEST_F(LanguageMenu, EmptyCatalogueGivesAnEmptyLanguageSubmenu) {
  Open("english");
  int listed = -1;
  ui->popupScripts.push_back([&](const ui::Menu& popup) {
    listed = popup.GetSubMenu(0)->GetMenuItemCount();
    return 0u;
  });
  RightClick(1, 1);
  EXPECT_EQ(listed, 0);
  EXPECT_EQ(ui->OfKind(Shown::Kind::Popup)[0].menu,
            (std::vector<std::string>{"Language", "Font", "About"}));
}

TEST_F(LanguageMenu, FontAndAboutCommandsReachTheWindow) {
  folder.Add("English.ini", "");
  Open("English");
  ui->popupAnswers.push_back(IDM_ABOUT);
  RightClick(3, 4);
  EXPECT_EQ(main.commands, std::vector<int>{static_cast<int>(IDM_ABOUT)});
}

// --- The user-interface font -------------------------------------------

ui::LogFont Chosen(const std::string& face, int height, int weight, std::uint8_t italic) {
  ui::LogFont font;
  font.lfFaceName = face;
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfItalic = italic;
  font.lfCharSet = 0;
  font.lfQuality = 5;
  return font;
}

TEST_F(LanguageMenu, FirstStartGivesTheDefaultFont) {
  folder.Add("English.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Exit\n");
  Open("English");
  ui::LogFont expected;
  expected.lfHeight = -11;
  expected.lfWeight = 400;
  expected.lfCharSet = 1;
  expected.lfFaceName = "Microsoft Sans Serif";
  ASSERT_TRUE(theLanguage.UiFont().GetLogFont());
  EXPECT_EQ(*theLanguage.UiFont().GetLogFont(), expected);
  EXPECT_EQ(CLanguage::DefaultUiFont(), expected);
}

TEST_F(LanguageMenu, EachLanguageRemembersItsOwnFont) {
  folder.Add("English.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Exit\n");
  folder.Add("German.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Beenden\n");
  Open("english");  // stored in lower case, the file is English.ini

  ui->fontAnswers.push_back(Chosen("DejaVu Serif", -17, 700, 1));
  main.SendMessage(WM_COMMAND, MAKEWPARAM(IDM_POPUPMENU_FONT, 0), 0);
  const auto fonts = ui->OfKind(Shown::Kind::Font);
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_EQ(fonts[0].flags, ui::CF_SCREENFONTS | ui::CF_INITTOLOGFONTSTRUCT);
  EXPECT_EQ(fonts[0].owner, &main);
  EXPECT_EQ(main.Item(IDC_BUTTON_EXIT).Font().lfFaceName, "DejaVu Serif");
  EXPECT_EQ(profile::GetProfileInt("english", "lfWeight", 0), 700);
  EXPECT_EQ(profile::GetProfileInt("english", "lfItalic", 0), 1);
  EXPECT_EQ(profile::GetProfileString("english", "lfFaceName", ""), "DejaVu Serif");

  ChooseLanguageFromMenu(1);  // German: the defaults
  EXPECT_EQ(theLanguage.UiFont().GetLogFont()->lfFaceName, "Microsoft Sans Serif");
  EXPECT_EQ(main.Item(IDC_BUTTON_EXIT).Font().lfFaceName, "Microsoft Sans Serif");

  // Back to English under the file's own spelling: the same settings
  // section, whatever the letter case.
  ChooseLanguageFromMenu(0);
  EXPECT_EQ(theLanguage.GetCurrentName(), "English");
  const ui::LogFont restored = *theLanguage.UiFont().GetLogFont();
  EXPECT_EQ(restored.lfFaceName, "DejaVu Serif");
  EXPECT_EQ(restored.lfHeight, -17);
  EXPECT_EQ(restored.lfWeight, 700);
  EXPECT_EQ(restored.lfItalic, 1);
  EXPECT_EQ(restored.lfCharSet, 0);
  EXPECT_EQ(restored.lfQuality, 0) << "the quality is not kept";
  EXPECT_EQ(main.Item(IDC_BUTTON_EXIT).Font().lfFaceName, "DejaVu Serif");
}

TEST_F(LanguageMenu, CancelledFontDialogChangesNothing) {
  folder.Add("English.ini", "");
  Open("English");
  const auto before = theLanguage.UiFont().GetLogFont();
  ChooseUiFont(main);
  EXPECT_EQ(theLanguage.UiFont().GetLogFont(), before);
  EXPECT_EQ(profile::GetProfileString("English", "lfFaceName", "unset"), "unset");
}

TEST_F(LanguageMenu, DamagedStoredFontIsReportedAndTheSystemFontUsed) {
  profile::WriteProfileInt("English", "lfHeight", -2000000000);
  profile::WriteProfileInt("English", "lfItalic", 0x1FF);
  folder.Add("English.ini", "[DIALOG]\nIDC_BUTTON_EXIT=Quit\n");
  Open("English");
  EXPECT_FALSE(theLanguage.UiFont().IsCreated());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "Failed to create font");
  EXPECT_EQ(Boxes()[0].caption, "Error");
  EXPECT_EQ(Boxes()[0].owner, nullptr);
  EXPECT_EQ(main.Item(IDC_BUTTON_EXIT).Text(), "Quit") << "texts are applied all the same";

  // The font dialog then starts from the default font; its choice is kept.
  ui->fontAnswers.push_back(Chosen("DejaVu Sans", -12, 400, 0));
  ChooseUiFont(main);
  EXPECT_TRUE(theLanguage.UiFont().IsCreated());
  EXPECT_EQ(profile::GetProfileInt("English", "lfHeight", 0), -12);

  // A choice that makes no font stores nothing and is reported.
  ui->fontAnswers.push_back(Chosen("DejaVu Sans", -5000, 400, 0));
  ChooseUiFont(main);
  EXPECT_FALSE(theLanguage.UiFont().IsCreated());
  EXPECT_EQ(profile::GetProfileInt("English", "lfHeight", 0), -12);
  EXPECT_EQ(Boxes().back().text, "Failed to create font");
}

TEST_F(LanguageMenu, EightBitFieldsAreStoredWidenedAndReadAsTheirLowBits) {
  folder.Add("English.ini", "");
  profile::WriteProfileInt("English", "lfCharSet", 0x186);
  profile::WriteProfileInt("English", "lfFaceName", 12);
  Open("English");
  ASSERT_TRUE(theLanguage.UiFont().IsCreated());
  EXPECT_EQ(theLanguage.UiFont().GetLogFont()->lfCharSet, 0x86);
  EXPECT_EQ(theLanguage.UiFont().GetLogFont()->lfFaceName, "12");

  ui::LogFont chosen = Chosen("DejaVu Sans", -12, 400, 0);
  chosen.lfCharSet = 0xEE;
  ui->fontAnswers.push_back(chosen);
  ChooseUiFont(main);
  EXPECT_EQ(profile::GetProfileInt("English", "lfCharSet", 0), 0xEE) << "widened without sign";
}

}  // namespace
