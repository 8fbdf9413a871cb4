#pragma once
// The application object: starts the process and runs the main window.

#include "platform/ui/application.h"

class CReelcastApp : public ui::Application {
 public:
  bool InitInstance() override;
};
