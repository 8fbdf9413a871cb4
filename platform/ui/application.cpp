#include "platform/ui/application.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "platform/text/locale.h"

namespace ui {

namespace {
Application* current = nullptr;
}

Application::Application() {
  current = this;
  // The toolkit took the user's locale for every category when it started;
  // numbers are read and written the English way from here on.
  text::UseEnglishNumbers();
}

Application::~Application() {
  if (current == this) current = nullptr;
}

int Application::Run() {
  InitInstance();
  return 0;
}

void Application::SetRegistryKey(const std::string& company) {
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
