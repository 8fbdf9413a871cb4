// Every test process runs with its own home and settings folders, so no
// test can read or write the real user's settings or files, and with Qt's
// offscreen platform, so no display is needed.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>

#include "tests/support/test_environment.h"

int main(int argc, char** argv) {
  // GStreamer keeps its plugin registry in the cache folder, which the private
  // home below would make new for every test process: share one in the build
  // tree instead, so the plugins are scanned once rather than once per test.
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error)
    setenv("GST_REGISTRY", (exe.parent_path().parent_path() / "gst-registry.bin").c_str(), 0);
  QTemporaryDir home(QDir::tempPath() + QStringLiteral("/reelcast-test-XXXXXX"));
  if (!home.isValid()) return 2;
  test_support::UsePrivateHome(home.path().toStdString());
  setenv("QT_QPA_PLATFORM", "offscreen", 0);

  QApplication application(argc, argv);
  test_support::InitialisePlatform();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
