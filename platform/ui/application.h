#pragma once
// The process's application object: where settings live, which window is
// the main window, and the start of the program.

#include <string>

namespace ui {

class Dialog;

class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Runs InitInstance; the process ends when it returns.
  int Run();
  virtual bool InitInstance() = 0;

  // Chooses the company part of the settings location. Until it is called
  // settings reads give their defaults and writes are dropped.
  void SetRegistryKey(const std::string& company);

  void SetMainWindow(Dialog* window) { mainWindow_ = window; }
  Dialog* GetMainWindow() const { return mainWindow_; }

  // The one application object, or null before it exists.
  static Application* Current();
  // The executable's base name (file name without folder and extension).
  static std::string Name();

 private:
  Dialog* mainWindow_ = nullptr;
};

// The main window of the current application, or null.
Dialog* MainWindow();

}  // namespace ui
