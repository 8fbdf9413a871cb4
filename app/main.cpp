#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
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
  QApplication::setApplicationVersion(QStringLiteral(REELCAST_VERSION));

  // A file manager's "Open with" names the video to open; nothing else is
  // read from the command line.
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Converts a video into Windows Media, AVI, Matroska or MP4."));
  parser.addHelpOption();
  parser.addVersionOption();
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
