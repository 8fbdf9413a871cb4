#pragma once
// The application object: starts the process and runs the main window.

#include <string>
#include <utility>

#include "platform/ui/application.h"

class CReelcastApp : public ui::Application {
 public:
  // `startupFile`, when not empty, is opened as Open Video would once the
  // main window is up.
  explicit CReelcastApp(std::string startupFile = {}) : startupFile_(std::move(startupFile)) {}
  bool InitInstance() override;

 private:
  std::string startupFile_;
};
