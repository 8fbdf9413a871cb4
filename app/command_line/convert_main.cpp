// reelcast-convert: converts one file with the stored settings through the
// same engine as the window, for scripts and benchmarks; many files by
// starting itself once per file.

#include <unistd.h>

#include <QApplication>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

#include "app/command_line/console_modal_ui.h"
#include "app/command_line/convert_batch.h"
#include "app/command_line/convert_options.h"
#include "app/command_line/convert_session.h"
#include "app/shared/command_help.h"
#include "app/window/reelcast_dlg.h"
#include "i18n/language.h"
#include "options/settings_store.h"
#include "platform/dshow/initialise.h"
#include "platform/dshow/plugin_warm_up.h"
#include "platform/profile/app_profile.h"
#include "platform/shell/process_pool.h"
#include "platform/ui/application.h"
#include "platform/ui/environment.h"
#include "resources/build_info.h"
#include "resources/resource_ids.h"

namespace {

class ConvertApplication : public ui::Application {
 public:
  bool InitInstance() override { return false; }
};

// The source as the window's Open gives it; as given when the working folder
// is gone.
std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

}  // namespace

int main(int argc, char** argv) {
  // One file of a many-file run ends with the run, however the run ends.
  shell::EndWithPoolParent();
  // Messages and progress are all this program writes to a pipe: a reader
  // that goes away (`... 2>&1 | head`) must not end the run in the middle of
  // its file, so writing to it fails quietly instead, as for ffmpeg.
  std::signal(SIGPIPE, SIG_IGN);
  const auto usageError = [](const std::string& message) {
    std::cerr << "reelcast-convert: " << message << "\n(see reelcast-convert --help)\n";
    return kUsageErrorStatus;
  };
  const auto parsed = ParseConvertCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto* error = std::get_if<UsageError>(&parsed)) return usageError(error->message);
  const ConvertCommand& command = std::get<ConvertCommand>(parsed);
  if (command.action == ConvertAction::ShowHelp) {
    std::cout << HelpText(ConvertCommandHelp());
    return 0;
  }
  if (command.action == ConvertAction::ShowVersion) {
    std::cout << VersionText(ConvertCommandHelp(), kProgramVersion);
    return 0;
  }
  const ConvertOptions& options = command.options;
  if (const auto problem = OutputProblem(options.output)) return usageError(*problem);
  ApplyThreads(options);
  // A run leaves the settings as it found them: the options above apply to
  // it alone, and opening the source does not move the window's next Open.
  profile::SetReadOnly(true);

  // No window is shown; the offscreen platform needs no display.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ui::PrepareEnvironment();
  const bool many = command.action == ConvertAction::ConvertMany;
  // Many files are converted by processes of their own: this one runs no
  // pipeline. One file's media plugins load while the rest starts.
  std::jthread warmUp;
  if (!many) {
    dshow::Initialise();
    warmUp = dshow::WarmUpPlugins();
  }
  QApplication qt(argc, argv);
  // The settings are the program's own, whatever this executable is called.
  QApplication::setApplicationName(QStringLiteral("reelcast"));
  if (command.action == ConvertAction::ListCompressors) {
    std::cout << CompressorListing();
    return 0;
  }
  if (command.action == ConvertAction::ListWorkarounds) {
    std::cout << WorkaroundListing();
    return 0;
  }

  // On a terminal the progress stays on one line; scripts get a line each;
  // a run started for one file of many reports numbers to the run that
  // started it.
  const bool terminal = isatty(STDERR_FILENO) == 1;
  ConsoleProgress progress(command.reportProgress ? std::cout : std::cerr,
                           command.reportProgress ? ProgressStyle::Report
                           : terminal             ? ProgressStyle::Terminal
                                                  : ProgressStyle::Lines);
  if (options.videoCompressor || options.audioCompressor) {
    if (many) dshow::Initialise();
    if (const auto problem = CompressorProblem(options)) return usageError(*problem);
  }
  const std::string source = many ? std::string() : AbsolutePath(options.source);
  if (const auto problem = many ? std::nullopt : SourceProblem(source)) {
    std::cerr << CannotOpenText(options.source, *problem) << '\n';
    return 1;
  }
  ui::SetModal(std::make_unique<ConsoleModalUi>(source, options.replaceExisting, progress));

  ConvertApplication app;
  app.SetRegistryKey("TARNWICK");
  if (many) return ConvertMany(command, terminal);
  theLanguage.Open(theLanguage.GetLanguageBaseFolder(), ReadCurrentLanguage());

  CReelcastDlg window;
  app.SetMainWindow(&window);
  window.Create();
  window.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_ADD_VIDEO, BN_CLICKED));
  int status = 1;
  if (window.Graph().graph && ApplyConvertOptions(options, window))
    status = RunConversion(window, progress);
  app.SetMainWindow(nullptr);
  return status;
}
