#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/window/reelcast_app.h"
#include "app/window/reelcast_help.h"
#include "platform/dshow/initialise.h"
#include "platform/shell/shell.h"
#include "platform/ui/environment.h"
#include "platform/ui/qt_modal_ui.h"

int main(int argc, char** argv) {
  // Answered before the toolkit starts, so that no display is needed.
  if (const auto status = AnswerHelpOrVersion(std::vector<std::string>(argv + 1, argv + argc)))
    return *status;
  ui::PrepareEnvironment();
  QApplication application(argc, argv);
  // Settings live under the executable's base name.
  QApplication::setApplicationName(QString::fromStdString(shell::ExecutableBaseName()));

  // A file manager's "Open with" names the video to open; nothing else is
  // read from the command line (--help and --version were answered above).
  QCommandLineParser parser;
  parser.addPositionalArgument(QStringLiteral("file"),
                               QStringLiteral("The video to open, as Open Video would."),
                               QStringLiteral("[FILE]"));
  parser.process(application);
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    std::fputs("reelcast: give one video at most\n(see reelcast --help)\n", stderr);
    return 2;
  }

  ui::SetModal(std::make_unique<ui::QtModalUi>());
  dshow::Initialise();

  CReelcastApp app(files.isEmpty() ? std::string()
                                   : QFileInfo(files.front()).absoluteFilePath().toStdString());
  return app.Run();
}
