// A video opened from outside the window: named on the command line (a file
// manager's "Open with") or dropped on the window. Both take Open Video's
// road: same probe, same messages, same stored folder.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "app/window/reelcast_app.h"
#include "app/window/reelcast_dlg.h"
#include "options/settings_store.h"
#include "resources/resource_ids.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/scripted_modal_ui.h"
#include "tests/support/test_environment.h"
#include "tests/support/waiting.h"

namespace {

using test_support::Clip;
using test_support::ClipKind;
using test_support::Shown;

using test_support::PumpUntil;

std::string FileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}
std::string Folder(const std::string& path) {
  return std::filesystem::path(path).parent_path().string() + "/";
}

// Drags `path` over the window and drops it there, as a file manager does.
// True when the window took the drag.
bool DropFile(ui::Dialog& window, const std::string& path) {
  QWidget* widget = window.Widget();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  const QPoint at(widget->width() / 2, widget->height() / 2);
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &drop);
  return enter.isAccepted();
}

class OpenFromOutside : public ::testing::Test {
 protected:
  void SetUp() override { test_support::ResetSettings(); }
};

TEST_F(OpenFromOutside, TheFileNamedOnTheCommandLineOpensOnceTheWindowIsUp) {
  const std::string clip = Clip(ClipKind::Mp4H264Aac);
  test_support::ScriptedUi ui;
  std::string duration;
  bool openedBeforeShown = true;
  ui->dialogScripts.push_back([&](ui::Dialog& window) {
    auto& main = static_cast<CReelcastDlg&>(window);
    openedBeforeShown = main.IsSourceOpened();
    PumpUntil([&] { return main.IsSourceOpened(); });
    duration = main.Item(IDC_STATIC_DURATION).Text();
    main.SendMessage(WM_CLOSE);
  });
  CReelcastApp app(clip);
  app.Run();
  EXPECT_FALSE(openedBeforeShown) << "the probe waits for the window";
  EXPECT_EQ(duration, FileName(clip) + ": 00:00:02");
  EXPECT_EQ(ReadLastSourceFolder(), Folder(clip));
  EXPECT_TRUE(ui->OfKind(Shown::Kind::OpenFile).empty()) << "no file dialog is shown";
}

TEST_F(OpenFromOutside, ADroppedVideoOpensAsOpenVideoDoesAndANonVideoGetsItsMessages) {
  test_support::MainWindowFixture f;
  CReelcastDlg& w = f.Open();
  const std::string clip = Clip(ClipKind::Mp4H264Aac);
  EXPECT_TRUE(DropFile(w, clip));
  EXPECT_TRUE(w.IsSourceOpened());
  EXPECT_EQ(w.Item(IDC_STATIC_DURATION).Text(), FileName(clip) + ": 00:00:02");
  EXPECT_EQ(ReadLastSourceFolder(), Folder(clip));
  EXPECT_TRUE(f.ui().shown.empty());

  // A file that is no video: exactly what Open Video shows for it.
  const std::string text = Clip(ClipKind::TextNamedMp4);
  DropFile(w, text);
  const auto dropped = f.ui().shown;
  f.ui().Clear();
  f.ui().openFileAnswers.push_back(text);
  w.Item(IDC_BUTTON_ADD_VIDEO).Click();
  const auto opened = f.ui().OfKind(Shown::Kind::MessageBox);
  ASSERT_FALSE(dropped.empty());
  ASSERT_EQ(dropped.size(), opened.size());
  for (std::size_t i = 0; i < opened.size(); ++i) {
    EXPECT_EQ(dropped[i].text, opened[i].text) << i;
    EXPECT_EQ(dropped[i].caption, opened[i].caption) << i;
    EXPECT_EQ(dropped[i].owner, opened[i].owner) << i;
  }
  EXPECT_EQ(w.SourcePath(), "");
}

TEST_F(OpenFromOutside, ADropWhileConvertingIsRefused) {
  test_support::MainWindowFixture f;
  CReelcastDlg& w = f.Open();
  const std::string clip = Clip(ClipKind::Mp4H264Aac);
  ASSERT_TRUE(DropFile(w, clip));
  w.Settings().outputPath = test_support::HomeFolder() + "/drop.wmv";
  w.Item(IDC_BUTTON_CONVERT).Click();
  ASSERT_TRUE(w.IsConverting()) << testing::PrintToString(f.ui().MessageTexts());
  f.ui().Clear();

  EXPECT_FALSE(DropFile(w, Clip(ClipKind::AviMpeg4Mp3))) << "the drag is not taken";
  EXPECT_EQ(w.SourcePath(), clip);
  EXPECT_TRUE(f.ui().shown.empty());
  EXPECT_TRUE(w.IsConverting());
  w.Item(IDC_BUTTON_CONVERT).Click();  // stop
  ASSERT_TRUE(PumpUntil([&] { return !w.IsConverting(); }));
  EXPECT_TRUE(DropFile(w, Clip(ClipKind::AviMpeg4Mp3))) << "taken again once the run has ended";
  EXPECT_EQ(FileName(w.SourcePath()), "standard.avi");
}

}  // namespace
