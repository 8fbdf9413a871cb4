// The main window's small commands reach their handlers from every place
// that offers them, in every state.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include "i18n/language.h"
#include "resources/resource_ids.h"
#include "tests/support/language_folder.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/test_environment.h"

namespace {

using test_support::MainWindowFixture;
using test_support::MainWindowProbe;
using test_support::Shown;

class MainWindowCommands : public ::testing::Test {
 protected:
  void SetUp() override { test_support::ResetSettings(); }
  MainWindowFixture f;
};

TEST_F(MainWindowCommands, AboutFromTheButtonAndThePopupMenuIsOneDialog) {
  CReelcastDlg& w = f.Open();
  w.Item(IDC_BUTTON_ABOUT).Click();
  w.SendMessage(WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 0));
  const auto dialogs = f.ui().OfKind(Shown::Kind::Dialog);
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].dialogId, IDD_ABOUTBOX);
  EXPECT_EQ(dialogs[1].dialogId, IDD_ABOUTBOX);
}

TEST_F(MainWindowCommands, HelpF1HomepageAndAboutWorkDuringAConversion) {
  CReelcastDlg& w = f.Open();
  MainWindowProbe::SetConverting(w, true);
  w.Item(IDC_BUTTON_HELP).Click();
  QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
  QCoreApplication::sendEvent(w.Widget(), &f1);
  w.Item(IDC_BUTTON_HOMEPAGE).Click();
  w.Item(IDC_BUTTON_ABOUT).Click();
  const auto addresses = f.ui().OfKind(Shown::Kind::Address);
  ASSERT_EQ(addresses.size(), 3u);
  EXPECT_TRUE(addresses[0].text.ends_with("/help/Introduction.htm"));
  EXPECT_EQ(addresses[1].text, addresses[0].text);
  EXPECT_EQ(f.ui().OfKind(Shown::Kind::Dialog).size(), 1u);
  EXPECT_TRUE(w.IsConverting());
  EXPECT_FALSE(w.HasEnded());
}

TEST_F(MainWindowCommands, RightButtonOnTheWindowOpensThePopupMenuAndFontAsksForAFont) {
  test_support::LanguageFolder folder;
  folder.Add("English.ini", "[DIALOG]\n");
  theLanguage.Open(folder.Base(), "english");
  CReelcastDlg& w = f.Open();
  f.ui().popupAnswers.push_back(IDM_POPUPMENU_FONT);
  w.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(5, 60));
  QCoreApplication::processEvents();  // the chosen command arrives as a posted message
  ASSERT_EQ(f.ui().OfKind(Shown::Kind::Popup).size(), 1u);
  EXPECT_EQ(f.ui().OfKind(Shown::Kind::Popup)[0].menu,
            (std::vector<std::string>{"Language", "Font", "About"}));
  EXPECT_EQ(f.ui().OfKind(Shown::Kind::Font).size(), 1u);
}

}  // namespace

namespace {

TEST_F(MainWindowCommands, OptionsOkRewritesTheSummaryWithTheReturnedSize) {
  CReelcastDlg& w = f.Open();
  f.ui().dialogScripts.push_back([](ui::Dialog& d) {
    EXPECT_EQ(d.Template().id, IDD_DIALOG_OUTPUT_OPTIONS);
    d.Item(IDC_COMBO_OUTPUT_FORMAT).SelectAsUser(1);
    d.Item(IDC_BUTTON_OPTIONS_OK).Click();
  });
  w.Item(IDC_BUTTON_OUTPUT_SETTINGS).Click();
  // No source was ever probed, so the window's source size is still 352x288
  // and the summary shows the size the dialog returned.
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text(), "Output file: " + test_support::HomeFolder() +
                                                   "/Videos/output.asf     Resolution: 16*16");
  EXPECT_EQ(w.Settings().outputFormat, 3);

  const std::string before = w.Item(IDC_STATIC_SUMMARY).Text();
  f.ui().dialogScripts.push_back([](ui::Dialog& d) {
    d.Item(IDC_COMBO_OUTPUT_FORMAT).SelectAsUser(0);
    d.Item(IDC_BUTTON_OPTIONS_CANCEL).Click();
  });
  w.Item(IDC_BUTTON_OUTPUT_SETTINGS).Click();
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text(), before);
  EXPECT_EQ(w.Settings().outputFormat, 3);
}

}  // namespace
