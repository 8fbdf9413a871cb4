#pragma once
// One conversion driven from the command line through the main window's own
// commands, so that it takes exactly the road a user's conversion takes.

#include <optional>
#include <string>

#include "app/command_line/console_progress.h"
#include "app/command_line/convert_options.h"

class CReelcastDlg;

// Applies the command line's choices to the window's settings for this run
// (nothing is stored). False, after saying why on standard error, when a
// choice cannot be honoured.
bool ApplyConvertOptions(const ConvertOptions& options, CReelcastDlg& window);

// Keeps the encoders of a Windows Media conversion to --threads, when given.
void ApplyThreads(const ConvertOptions& options);

// Why the source cannot be converted before anything is tried, as a file
// dialog refuses a name it cannot find: it is missing or not a file. None
// when it may be opened.
std::optional<std::string> SourceProblem(const std::string& path);

// Why the options cannot be taken before anything is opened: a compressor
// name that matches none, an output that names a folder. Nothing when they
// can; each is a usage error.
std::optional<std::string> CompressorProblem(const ConvertOptions& options);
std::optional<std::string> OutputProblem(const std::optional<std::string>& output);
// What is said of a source that cannot be opened for `problem`.
std::string CannotOpenText(const std::string& source, const std::string& problem);

// Runs the conversion to its end, showing its progress at most once a
// second. Returns the process's exit status: 0 only when the run completed
// and the output file exists.
int RunConversion(CReelcastDlg& window, ConsoleProgress& progress);

// What a run says at its end: "Done: OUTPUT" when it converted all of its
// source, "Stopped: OUTPUT holds what was converted so far" after Ctrl+C.
// Names are shown with the bytes that are not UTF-8 escaped.
std::string DoneText(const std::string& output);
std::string StoppedText(const std::string& output);

// Each mend of a library behaviour: its name, whether it is engaged on this
// system, and what it mends; one a line.
std::string WorkaroundListing();

// The video and audio compressor catalogues, each entry with its index and
// its name, in catalogue order: the names --video-compressor and
// --audio-compressor accept.
std::string CompressorListing();
