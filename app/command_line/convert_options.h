#pragma once
// The command line of reelcast-convert: what it accepts, how it is read,
// and the text that explains it (--help and the manual page).

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/shared/command_help.h"

struct ConvertOptions {
  std::string source;
  std::optional<std::string> output;
  std::optional<int> format;
  std::optional<std::string> videoCompressor;  // name fragment, index or "none"
  std::optional<std::string> audioCompressor;
  std::optional<int> videoBitrateKbps;
  std::optional<int> audioBitrate;  // bits per second
  std::optional<int> width;
  std::optional<int> height;
  // Encoders at work at once on one Windows Media conversion; none: one per
  // core available.
  std::optional<int> threads;
  bool replaceExisting = false;
};

// What the command line asks the program to do.
enum class ConvertAction {
  Convert,
  ConvertMany,
  ShowHelp,
  ShowVersion,
  ListCompressors,
  ListWorkarounds,
};

// The most conversions --jobs may run at once.
constexpr int kMaxJobs = 64;
// The most encoders --threads may keep at work on one conversion.
constexpr int kMaxThreads = 256;

struct ConvertCommand {
  ConvertAction action = ConvertAction::Convert;
  // For one file; for many, every file's conversion gets these (its own
  // source and output aside).
  ConvertOptions options;
  // ConvertMany: each source is converted into this folder.
  std::string outputFolder;
  std::vector<std::string> sources;
  int jobs = 1;
  // The run reports its progress as numbers on standard output, for the
  // process that started it (see progress_report.h).
  bool reportProgress = false;
};

// A command line that cannot be honoured; `message` says what is wrong.
struct UsageError {
  std::string message;
};

// The exit status of a usage error, as command-line tools have it.
constexpr int kUsageErrorStatus = 2;
// The exit status of a run stopped with Ctrl+C, as shells report it.
constexpr int kStoppedStatus = 130;

// Reads the arguments that follow the program's name. Options may come
// before, between or after the file names and take their value as the next
// argument or after '='; "--" ends the options, so a file whose name starts
// with '-' can follow it. Every number is checked against its range.
std::variant<ConvertCommand, UsageError> ParseConvertCommandLine(
    const std::vector<std::string>& arguments);

const CommandHelp& ConvertCommandHelp();

// The command line (without the program's name) of the one-file conversion
// of `options`, as this parser reads it back; with `reportProgress` the run
// reports its progress as numbers.
std::vector<std::string> OneFileCommandLine(const ConvertOptions& options, bool reportProgress);

// A compressor selector against the catalogue's names: "none" gives -1, a
// whole number is an index (it must exist), anything else picks the first
// name that contains it (ASCII letters compared without case). Nothing when
// no entry matches.
std::optional<int> ResolveCompressorSelector(const std::string& selector,
                                             const std::vector<std::string>& names);
