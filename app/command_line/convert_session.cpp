#include "app/command_line/convert_session.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>

#include "app/command_line/interrupt_watch.h"
#include "app/window/reelcast_dlg.h"
#include "engine/compressor_catalogue.h"
#include "options/output_formats.h"
#include "platform/dshow/control_interfaces.h"
#include "platform/dshow/error_text.h"
#include "platform/dshow/errors.h"
#include "platform/gst/parallel/cores.h"
#include "platform/gst/workarounds/registry.h"
#include "platform/text/utf8.h"
#include "platform/ui/message_loop.h"
#include "resources/resource_ids.h"

namespace {

// Binds the chosen compressor of one kind, as the options dialog's OK does.
bool ApplyCompressor(const std::string& selector, CompressorKind kind, CReelcastDlg& window) {
  const auto index = ResolveCompressorSelector(selector, ListCompressors(kind));
  const bool video = kind == CompressorKind::Video;
  if (!index) return false;  // CompressorProblem has said why
  OutputSettings& s = window.Settings();
  GraphContext& context = window.Graph();
  (video ? s.videoCompressorIndex : s.audioCompressorIndex) = *index;
  (video ? s.videoCompressionOn : s.audioCompressionOn) = *index >= 0 ? 1 : 0;
  ComPtr<IBaseFilter>& slot = video ? context.videoCompressor : context.audioCompressor;
  slot.Reset();
  if (*index >= 0) (video ? GetCompressor : GetAudioCompressor)(*index, &slot);
  return true;
}

// How often the run is looked at: also how long its end can go unnoticed,
// which a batch of short files pays once per file.
constexpr unsigned kTickMilliseconds = 20;

int FrameDimension(int value) {
  value -= value % 8;
  return value < 16 ? 16 : value;
}

// How far the run is, from the graph's position when it knows one.
ProgressSnapshot Snapshot(CReelcastDlg& window) {
  ProgressSnapshot snapshot;
  snapshot.elapsedSeconds = window.ElapsedSeconds();
  if (const auto at = window.Position()) {
    snapshot.position = at->position;
    snapshot.duration = at->duration;
  }
  return snapshot;
}

}  // namespace

std::string WorkaroundListing() {
  std::size_t width = 0;
  for (const gst::WorkaroundEntry& entry : gst::Workarounds())
    width = std::max(width, entry.name.size());
  std::string out;
  for (const gst::WorkaroundEntry& entry : gst::Workarounds()) {
    out += std::string(entry.name) + std::string(width - entry.name.size(), ' ') +
           (gst::Engaged(entry.id) ? "  engaged  " : "  dormant  ") + std::string(entry.mends) +
           '\n';
  }
  return out;
}

std::string CompressorListing() {
  std::string out;
  for (const auto kind : {CompressorKind::Video, CompressorKind::Audio}) {
    out += kind == CompressorKind::Video ? "Video compressors:\n" : "Audio compressors:\n";
    const std::vector<std::string> names = ListCompressors(kind);
    const std::size_t width = std::to_string(names.empty() ? 0 : names.size() - 1).size();
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string index = std::to_string(i);
      out += "  " + std::string(width - index.size(), ' ') + index + "  " + names[i] + '\n';
    }
    if (names.empty()) out += "  (none)\n";
  }
  return out;
}

bool ApplyConvertOptions(const ConvertOptions& options, CReelcastDlg& window) {
  OutputSettings& s = window.Settings();
  if (options.format) s.outputFormat = *options.format;
  if (options.output || options.format) {
    std::string name = options.output ? *options.output : s.outputPath;
    if (options.output) name = std::filesystem::absolute(name).lexically_normal().string();
    const auto path = ApplyExtensionRule(s.outputFormat, name);
    if (!path) return false;  // the rule has said why
    s.outputPath = *path;
  }
  if (options.videoCompressor &&
      !ApplyCompressor(*options.videoCompressor, CompressorKind::Video, window))
    return false;
  if (options.audioCompressor &&
      !ApplyCompressor(*options.audioCompressor, CompressorKind::Audio, window))
    return false;
  if (options.videoBitrateKbps) s.videoBitrate = *options.videoBitrateKbps * 1024;
  if (options.audioBitrate) s.audioBitrate = *options.audioBitrate;
  if (options.width) s.outputWidth = FrameDimension(*options.width);
  if (options.height) s.outputHeight = FrameDimension(*options.height);
  return true;
}

std::optional<std::string> CompressorProblem(const ConvertOptions& options) {
  for (const auto& [selector, kind] : {std::pair{options.videoCompressor, CompressorKind::Video},
                                       std::pair{options.audioCompressor, CompressorKind::Audio}}) {
    if (!selector || ResolveCompressorSelector(*selector, ListCompressors(kind))) continue;
    return std::string("no ") + (kind == CompressorKind::Video ? "video" : "audio") +
           " compressor matches \"" + *selector + "\"; --list-compressors names them all";
  }
  return std::nullopt;
}

std::optional<std::string> OutputProblem(const std::optional<std::string>& output) {
  std::error_code error;
  if (output && (output->ends_with('/') || std::filesystem::is_directory(*output, error)))
    return "the output " + text::EscapedForTerminal(*output) +
           " is a folder; give a file name, or --output-dir for many files";
  return std::nullopt;
}

void ApplyThreads(const ConvertOptions& options) {
  if (options.threads) gst::SetWorkerLimit(*options.threads);
}

std::optional<std::string> SourceProblem(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const auto status = fs::status(path, error);
  if (error.value() == ELOOP) return std::string("Its name leads round a loop of symbolic links.");
  if (!fs::exists(status)) return AMGetErrorTextA(HRESULT_FILE_NOT_FOUND);
  if (fs::is_directory(status)) return std::string("It is a folder, not a file.");
  if (fs::is_fifo(status)) return std::string("It is a pipe, not a file: it cannot be read twice.");
  if (fs::is_block_file(status) || fs::is_character_file(status))
    return std::string("It is a device, not a file.");
  if (fs::is_socket(status)) return std::string("It is a socket, not a file.");
  return std::nullopt;
}

std::string CannotOpenText(const std::string& source, const std::string& problem) {
  return "reelcast-convert: cannot open " + text::EscapedForTerminal(source) + ": " + problem;
}

std::string DoneText(const std::string& output) {
  return "Done: " + text::EscapedForTerminal(output);
}

std::string StoppedText(const std::string& output) {
  return "Stopped: " + text::EscapedForTerminal(output) + " holds what was converted so far";
}

int RunConversion(CReelcastDlg& window, ConsoleProgress& progress) {
  // Watched from before the file is made: Ctrl+C, also when it reaches every
  // conversion of a many-file run at once, never ends a process while it is
  // writing.
  std::optional<InterruptWatch> watch(std::in_place);
  window.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CONVERT, BN_CLICKED));
  if (!window.IsConverting()) return 1;

  using SteadyClock = std::chrono::steady_clock;
  auto lastPrint = SteadyClock::now();
  ui::RunMessageLoop(
      [&] {
        if (watch->Interrupted() && window.IsConverting() && !window.IsStopping()) {
          progress.Break();
          std::cerr << "Stopping...\n";
          window.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CONVERT, BN_CLICKED));
        }
        if (!window.IsConverting()) return true;
        if (SteadyClock::now() - lastPrint >= std::chrono::seconds(1)) {
          progress.Show(Snapshot(window));
          lastPrint = SteadyClock::now();
        }
        return false;
      },
      kTickMilliseconds);
  watch.reset();
  progress.Break();

  const std::string& output = window.Settings().outputPath;
  std::error_code error;
  const bool written = std::filesystem::is_regular_file(output, error) &&
                       std::filesystem::file_size(output, error) > 0;
  switch (window.LastRun()) {
    case CReelcastDlg::RunOutcome::Completed:
      if (written) {
        std::cerr << DoneText(output) << '\n';
        return 0;
      }
      std::cerr << "reelcast-convert: the run ended but no file was written\n";
      return 1;
    case CReelcastDlg::RunOutcome::Stopped:
      std::cerr << StoppedText(output) << '\n';
      return kStoppedStatus;
    default:
      return 1;
  }
}
