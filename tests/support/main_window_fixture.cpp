#include "tests/support/main_window_fixture.h"

#include "platform/ui/application.h"

namespace test_support {

class TestApplication : public ui::Application {
 public:
  bool InitInstance() override { return false; }
};

MainWindowFixture::MainWindowFixture() : app_(std::make_unique<TestApplication>()) {
  app_->SetRegistryKey("TARNWICK");
}

MainWindowFixture::~MainWindowFixture() {
  app_->SetMainWindow(nullptr);
  window_.reset();
}

CReelcastDlg& MainWindowFixture::Open() {
  window_ = std::make_unique<CReelcastDlg>();
  app_->SetMainWindow(window_.get());
  window_->Create();
  return *window_;
}

}  // namespace test_support
