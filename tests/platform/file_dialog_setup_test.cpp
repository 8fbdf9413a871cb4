// The Qt file dialog as a request sets it up: shown filter texts and the
// files the filter offers.

#include "platform/ui/file_dialog_setup.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTimer>

#include "tests/support/waiting.h"

namespace {

TEST(FileDialogSetup, PatternsAreReadAsTheRequestsPlatformReadsThem) {
  EXPECT_EQ(ui::QtFilterPattern("*.*"), QStringLiteral("*"));
  EXPECT_EQ(ui::QtFilterPattern("*.avi;*.mp4"), QStringLiteral("*.avi *.mp4"));
  EXPECT_EQ(ui::QtFilterPattern("*.wmv"), QStringLiteral("*.wmv"));
}

TEST(FileDialogSetup, EveryFileFilterShowsItsTextAndOffersNamesWithoutADot) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  for (const char* name : {"clip", "movie.mp4", "notes.txt"}) {
    QFile file(folder.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  ui::FileDialogRequest request;
  request.initialFolder = folder.path().toStdString();
  request.filters = {{"Video Files (*.*)", "*.*"}};
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  ui::SetUpFileDialog(dialog, request);

  const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  ASSERT_NE(types, nullptr);
  ASSERT_EQ(types->count(), 1);
  EXPECT_EQ(types->itemText(0), QStringLiteral("Video Files (*.*)"));

  auto* model = dialog.findChild<QFileSystemModel*>();
  ASSERT_NE(model, nullptr);
  // The folder is read on a thread of the model's; its end arrives as a
  // signal (the guard only ends a wait that would never end).
  QEventLoop loop;
  QObject::connect(model, &QFileSystemModel::directoryLoaded, &loop, &QEventLoop::quit);
  const QModelIndex root = model->index(folder.path());
  bool givenUp = false;
  QTimer guard;
  QObject::connect(&guard, &QTimer::timeout, [&] {
    givenUp = true;
    loop.quit();
  });
  guard.start(static_cast<int>(test_support::kHangGuardMilliseconds));
  while (model->rowCount(root) < 3 && !givenUp) loop.exec();
  QStringList offered;
  for (int row = 0; row < model->rowCount(root); ++row) {
    const QModelIndex item = model->index(row, 0, root);
    if (item.flags() & Qt::ItemIsEnabled) offered << item.data().toString();
  }
  offered.sort();
  EXPECT_EQ(offered, (QStringList{QStringLiteral("clip"), QStringLiteral("movie.mp4"),
                                  QStringLiteral("notes.txt")}));
}

}  // namespace
