#include <QApplication>
#include <memory>

#include "app/reelcast_app.h"
#include "platform/dshow/initialise.h"
#include "platform/ui/environment.h"
#include "platform/shell/shell.h"
#include "platform/ui/qt_modal_ui.h"

int main(int argc, char** argv) {
  ui::PrepareEnvironment();
  QApplication application(argc, argv);
  // Settings live under the executable's base name.
  QApplication::setApplicationName(QString::fromStdString(shell::ExecutableBaseName()));
  ui::SetModal(std::make_unique<ui::QtModalUi>());
  dshow::Initialise();

  CReelcastApp app;
  return app.Run();
}
