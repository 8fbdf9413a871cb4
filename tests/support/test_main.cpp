// Every test process runs with its own home and settings folders, so no
// test can read or write the real user's settings or files, and with Qt's
// offscreen platform, so no display is needed.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

#include "tests/support/test_environment.h"

int main(int argc, char** argv) {
  QTemporaryDir home(QDir::tempPath() + QStringLiteral("/reelcast-test-XXXXXX"));
  if (!home.isValid()) return 2;
  test_support::UsePrivateHome(home.path().toStdString());
  setenv("QT_QPA_PLATFORM", "offscreen", 0);

  QApplication application(argc, argv);
  test_support::InitialisePlatform();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
