// Help, home page and About.

#include "app/window/help_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "i18n/language.h"
#include "platform/text/file_url.h"
#include "platform/ui/dialog.h"
#include "resources/build_info.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "tests/support/language_folder.h"
#include "tests/support/scripted_modal_ui.h"

namespace {

using test_support::Shown;

TEST(HelpCommands, HelpOpensTheIntroductionOfTheInstalledTree) {
  test_support::ScriptedUi ui;
  // The tests run from bin/ of the build tree, whose help/ lies one level up.
  const std::string page = HelpIntroductionPath();
  EXPECT_TRUE(std::filesystem::exists(page)) << page;
  EXPECT_EQ(page.find("/bin/"), std::string::npos) << page;

  ShowHelp();
  const auto opened = ui->OfKind(Shown::Kind::Address);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].text, text::FileUrl(page));
  EXPECT_TRUE(opened[0].text.starts_with("file:///"));
  EXPECT_TRUE(opened[0].text.ends_with("/help/Introduction.htm"));

  // A browser that cannot be started is not reported.
  ui->openAddressSucceeds = false;
  ShowHelp();
  EXPECT_TRUE(ui->MessageTexts().empty());
}

TEST(HelpCommands, FileUrlsEscapeWhatABrowserWouldMisread) {
  EXPECT_EQ(text::FileUrl("/opt/My Apps/#1/100%/Übung/x.htm"),
            "file:///opt/My%20Apps/%231/100%25/%C3%9Cbung/x.htm");
  EXPECT_EQ(text::FileUrl("/a/./b/../c.htm"), "file:///a/c.htm");
  EXPECT_TRUE(text::FileUrl("relative.htm").starts_with("file:///"));
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(HelpCommands, TheHomePageIsAHelpPageUnlessTheBuildConfiguredAnAddress) {
  EXPECT_EQ(HomePageAddress("http://localhost/reelcast/"), "http://localhost/reelcast/");
  const std::string own = HomePageAddress("");
  ASSERT_TRUE(own.starts_with("file:///")) << own;
  ASSERT_TRUE(own.ends_with("/help/Reelcast.htm")) << own;
  const std::string page = FileText(own.substr(std::string("file://").size()));
  EXPECT_NE(page.find("What Reelcast is"), std::string::npos);
  EXPECT_NE(page.find("Where it comes from"), std::string::npos);
  EXPECT_NE(page.find(std::string("Version ") + kProgramVersion), std::string::npos) << page;
  EXPECT_EQ(page.find('@'), std::string::npos) << "every placeholder was filled in";
}

TEST(HelpCommands, HomePageFailureGivesTheAddressToTypeByHand) {
  test_support::ScriptedUi ui;
  ui::Dialog main(MainDialogTemplate());
  const std::string address = HomePageAddress(kConfiguredHomePage);
  OpenHomePage(main);
  ASSERT_EQ(ui->OfKind(Shown::Kind::Address).size(), 1u);
  EXPECT_EQ(ui->OfKind(Shown::Kind::Address)[0].text, address);
  EXPECT_TRUE(ui->MessageTexts().empty());

  ui->openAddressSucceeds = false;
  OpenHomePage(main);
  const auto boxes = ui->OfKind(Shown::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "unknown errors");
  EXPECT_EQ(boxes[0].owner, &main);
  EXPECT_EQ(boxes[0].flags, MB_OK);
  EXPECT_NE(boxes[0].text.find(address), std::string::npos);
}

TEST(HelpCommands, AboutBoxShowsTheLanguageTexts) {
  test_support::ScriptedUi ui;
  test_support::LanguageFolder folder;
  folder.Add("German.ini",
             "[DIALOG]\nIDC_BUTTON_ABOUT=Info\nIDD_PROGRAM_CAPTION=Reelcast Videokonverter\n"
             "IDC_BUTTON_EXIT=Beenden\n");
  theLanguage.Open(folder.Base(), "German");

  ui::Dialog main(MainDialogTemplate());
  struct Seen {
    std::string caption, product, version, ok;
  } seen;
  ui->dialogScripts.push_back([&seen](ui::Dialog& about) {
    seen.caption = about.GetWindowText();
    seen.product = about.Item(IDC_STATIC_PRODUCT_CAPTION).Text();
    seen.version = about.Item(IDC_STATIC_VERSION).Text();
    seen.ok = about.Item(IDOK).Text();
    about.Item(IDOK).Click();
  });
  ShowAboutBox(&main);

  const auto dialogs = ui->OfKind(Shown::Kind::Dialog);
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].dialogId, IDD_ABOUTBOX);
  EXPECT_EQ(dialogs[0].owner, &main);
  EXPECT_EQ(seen.caption, "Info");
  EXPECT_EQ(seen.product, "Reelcast Videokonverter");
  EXPECT_EQ(seen.version, "Version 1.1");
  EXPECT_EQ(seen.ok, "OK");
}

}  // namespace
