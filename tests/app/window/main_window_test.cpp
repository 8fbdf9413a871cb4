#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QSettings>
#include <QWidget>

#include "platform/profile/app_profile.h"
#include "resources/resource_ids.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/test_environment.h"

namespace {

using test_support::MainWindowFixture;
using test_support::MainWindowProbe;

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override { test_support::ResetSettings(); }
  bool SettingsFileExists() {
    return QFile::exists(QString::fromStdString(test_support::SettingsFilePath()));
  }
  MainWindowFixture f;
};

TEST_F(MainWindow, StartsWithTheTemplateTextsAndTheFirstStatusTexts) {
  CReelcastDlg& w = f.Open();
  EXPECT_EQ(w.GetWindowText(), "Reelcast");
  const std::vector<std::pair<int, std::string>> expected = {
      {IDC_BUTTON_EXIT, "Exit"},
      {IDC_STATIC_DURATION, "00:00:00"},
      {IDC_BUTTON_ADD_VIDEO, "Open Video"},
      {IDC_BUTTON_CONVERT, "Convert"},
      {IDC_BUTTON_BUILD_FILTERS, "Build Filters"},
      {IDC_STATIC_SUMMARY, "Output file: " + test_support::HomeFolder() +
                               "/Videos/output.wmv     Resolution: Original size"},
      {IDC_BUTTON_OUTPUT_SETTINGS, "Options"},
      {IDC_BUTTON_HELP, "Help"},
      {IDC_BUTTON_HOMEPAGE, "Homepage"},
      {IDC_BUTTON_ABOUT, "About"},
      {IDC_PROGRESS_CONVERSION, ""}};
  const auto children = w.Children();
  ASSERT_EQ(children.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(children[i].Id(), expected[i].first) << i;
    EXPECT_EQ(children[i].Text(), expected[i].second) << i;
    EXPECT_TRUE(children[i].IsEnabled()) << i;
    EXPECT_EQ(children[i].IsVisible(), children[i].Id() != IDC_BUTTON_BUILD_FILTERS) << i;
  }
  EXPECT_TRUE(f.ui().shown.empty());
  EXPECT_FALSE(SettingsFileExists()) << "nothing is written at start-up";
}

TEST_F(MainWindow, StartUpSummaryIgnoresAStoredSize) {
  QSettings(QStringLiteral("TARNWICK"), QCoreApplication::applicationName())
      .setValue(QStringLiteral("Settings/OutputWidth"), 640);
  QSettings(QStringLiteral("TARNWICK"), QCoreApplication::applicationName())
      .setValue(QStringLiteral("Settings/OutputHigh"), 480);
  CReelcastDlg& w = f.Open();
  EXPECT_EQ(w.Settings().outputWidth, 640);
  EXPECT_NE(w.Item(IDC_STATIC_SUMMARY).Text().find("Resolution: Original size"), std::string::npos);
}

TEST_F(MainWindow, CloseIsRefusedWhileConvertingAndStoresTheLanguageOtherwise) {
  CReelcastDlg& w = f.Open();
  MainWindowProbe::SetConverting(w, true);
  w.SendMessage(WM_CLOSE);
  EXPECT_FALSE(w.HasEnded());
  ASSERT_EQ(f.ui().shown.size(), 1u);
  EXPECT_EQ(f.ui().shown[0].text, "Please first stop converting");
  EXPECT_EQ(f.ui().shown[0].caption, "Warning");
  EXPECT_EQ(f.ui().shown[0].owner, &w);
  EXPECT_FALSE(SettingsFileExists());

  MainWindowProbe::SetConverting(w, false);
  w.SendMessage(WM_CLOSE);
  EXPECT_TRUE(w.HasEnded());
  EXPECT_EQ(w.Result(), IDCANCEL);
  EXPECT_EQ(profile::GetProfileString("Option", "CurrentLanguage", "?"), "english");
}

TEST_F(MainWindow, ExitBehavesAsTheCloseBox) {
  CReelcastDlg& w = f.Open();
  MainWindowProbe::SetConverting(w, true);
  w.Item(IDC_BUTTON_EXIT).Click();
  EXPECT_FALSE(w.HasEnded());
  EXPECT_EQ(f.ui().MessageTexts(), std::vector<std::string>{"Please first stop converting"});

  MainWindowProbe::SetConverting(w, false);
  w.Item(IDC_BUTTON_EXIT).Click();
  EXPECT_TRUE(w.HasEnded());
  EXPECT_TRUE(SettingsFileExists());
  EXPECT_EQ(profile::GetProfileString("Option", "CurrentLanguage", "?"), "english");
}

TEST_F(MainWindow, TheWindowsOwnCloseEventGoesThroughTheCloseCommand) {
  CReelcastDlg& w = f.Open();
  MainWindowProbe::SetConverting(w, true);
  w.Widget()->close();
  EXPECT_FALSE(w.HasEnded());
  EXPECT_EQ(f.ui().MessageTexts().size(), 1u);
}

TEST_F(MainWindow, EscapeEndsAtOnceWhenIdleAndStoresNothing) {
  CReelcastDlg& w = f.Open();
  w.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0));
  EXPECT_TRUE(w.HasEnded());
  EXPECT_EQ(w.Result(), IDCANCEL);
  EXPECT_FALSE(SettingsFileExists());
}

TEST_F(MainWindow, EscapeIsRefusedWhileConverting) {
  CReelcastDlg& w = f.Open();
  MainWindowProbe::SetConverting(w, true);
  static_cast<QDialog*>(w.Widget())->reject();  // what the Escape key does
  EXPECT_FALSE(w.HasEnded());
  EXPECT_EQ(f.ui().MessageTexts(), std::vector<std::string>{"Please first stop converting"});
  EXPECT_FALSE(SettingsFileExists());
}

TEST_F(MainWindow, TheHiddenBuildFiltersButtonCannotBePressed) {
  CReelcastDlg& w = f.Open();
  w.Item(IDC_BUTTON_BUILD_FILTERS).Click();
  EXPECT_TRUE(f.ui().shown.empty());
  EXPECT_FALSE(w.HasEnded());
}

}  // namespace
