#include <gtest/gtest.h>

#include <QWidget>
#include <cstdlib>

#include "resources/resource_ids.h"
#include "tests/support/main_window_fixture.h"

namespace {
TEST(Screenshot, Save) {
  test_support::MainWindowFixture f;
  auto& w = f.Open();
  w.Widget()->show();
  if (const char* out = std::getenv("SHOT")) w.Widget()->grab().save(QString::fromUtf8(out));
}
}  // namespace
