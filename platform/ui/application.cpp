#include "platform/ui/application.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace ui {

namespace {
Application* current = nullptr;
}

Application::Application() { current = this; }

Application::~Application() {
  if (current == this) current = nullptr;
}

int Application::Run() {
  InitInstance();
  return 0;
}

void Application::SetRegistryKey(const std::string& company) {
  company_ = company;
  QCoreApplication::setOrganizationName(QString::fromStdString(company));
}

Application* Application::Current() { return current; }

std::string Application::Name() {
  const QString path = QCoreApplication::applicationFilePath();
  if (path.isEmpty()) return "reelcast";
  return QFileInfo(path).completeBaseName().toStdString();
}

Dialog* MainWindow() { return current ? current->GetMainWindow() : nullptr; }

}  // namespace ui
