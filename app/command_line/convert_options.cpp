#include "app/command_line/convert_options.h"

#include <charconv>
#include <cstdint>
#include <functional>
#include <limits>

#include "platform/text/ascii_case.h"

namespace {

using Error = std::optional<std::string>;

// One option: how it is written and explained, and what its value does to
// the options of the run. `apply` gets the value as typed ("" for an option
// without one) and says what is wrong with it, if anything.
struct OptionEntry {
  HelpOption help;
  std::function<Error(const std::string& value, ConvertCommand& command)> apply;
  // False for an option that only the program gives itself.
  bool listed = true;
};

std::optional<long long> ParseWhole(const std::string& text) {
  long long value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  const auto [ptr, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || ptr != end || begin == end) return std::nullopt;
  return value;
}

std::string RangeText(long long low, long long high) {
  return "from " + std::to_string(low) + " to " + std::to_string(high);
}

// A whole number from `low` to `high`, or what is wrong with the text.
Error ParseInRange(const std::string& option, const std::string& text, long long low,
                   long long high, std::optional<int>& target) {
  const auto value = ParseWhole(text);
  if (!value || *value < low || *value > high)
    return "--" + option + " needs a whole number " + RangeText(low, high) + ", not \"" + text +
           "\"";
  target = static_cast<int>(*value);
  return std::nullopt;
}

// The video bitrate is stored in bits per second as a signed 32-bit number:
// KBPS times 1024 must fit.
constexpr long long kMaxVideoKbps = std::numeric_limits<std::int32_t>::max() / 1024;
constexpr long long kMaxAudioBitrate = std::numeric_limits<std::int32_t>::max();
// Frames larger than this would need gigabytes per queued picture.
constexpr long long kMaxFrameDimension = 8192;
constexpr int kLastFormatId = 6;

Error ApplySize(const std::string& text, ConvertOptions& options) {
  const auto x = text.find_first_of("xX");
  const std::string wrong = "--size needs WIDTHxHEIGHT, each " + RangeText(1, kMaxFrameDimension) +
                            ", for example 640x480, not \"" + text + "\"";
  if (x == std::string::npos) return wrong;
  const auto width = ParseWhole(text.substr(0, x));
  const auto height = ParseWhole(text.substr(x + 1));
  if (!width || !height || *width < 1 || *height < 1 || *width > kMaxFrameDimension ||
      *height > kMaxFrameDimension)
    return wrong;
  options.width = static_cast<int>(*width);
  options.height = static_cast<int>(*height);
  return std::nullopt;
}

Error ApplyCompressor(const std::string& option, const std::string& text,
                      std::optional<std::string>& target) {
  if (text.empty()) return "--" + option + " needs a name, an index or none";
  target = text;
  return std::nullopt;
}

// The options in the order --help lists them.
const std::vector<OptionEntry>& Options() {
  static const std::vector<OptionEntry> options = {
      {{{"format"},
        "ID",
        "Output format: 0 AVI, 1 WMV, 2 MKV, 3 ASF, 4 MP4, 5 DSM, 6 OGM (no file is written "
        "for 6)."},
       [](const std::string& v, ConvertCommand& c) {
         return ParseInRange("format", v, 0, kLastFormatId, c.options.format);
       }},
      {{{"video-compressor"},
        "NAME|INDEX|none",
        "Video compressor for AVI, MKV and MP4: the first entry of the catalogue whose name "
        "contains NAME (letters compared without case), the entry at INDEX, or none for "
        "uncompressed video. --list-compressors shows the catalogue."},
       [](const std::string& v, ConvertCommand& c) {
         return ApplyCompressor("video-compressor", v, c.options.videoCompressor);
       }},
      {{{"audio-compressor"}, "NAME|INDEX|none", "The same for audio."},
       [](const std::string& v, ConvertCommand& c) {
         return ApplyCompressor("audio-compressor", v, c.options.audioCompressor);
       }},
      {{{"video-bitrate"},
        "KBPS",
        "Windows Media video bitrate, " + RangeText(1, kMaxVideoKbps) +
            " (1 Kbps = 1024 bits per second)."},
       [](const std::string& v, ConvertCommand& c) {
         return ParseInRange("video-bitrate", v, 1, kMaxVideoKbps, c.options.videoBitrateKbps);
       }},
      {{{"audio-bitrate"},
        "BPS",
        "Windows Media audio bitrate in bits per second, " + RangeText(1, kMaxAudioBitrate) +
            "; the options dialog offers 64000, 128000, 192000 and 320000."},
       [](const std::string& v, ConvertCommand& c) {
         return ParseInRange("audio-bitrate", v, 1, kMaxAudioBitrate, c.options.audioBitrate);
       }},
      {{{"size"},
        "WxH",
        "Output frame size, each side " + RangeText(1, kMaxFrameDimension) +
            " pixels; cut to a multiple of 8, at least 16."},
       [](const std::string& v, ConvertCommand& c) { return ApplySize(v, c.options); }},
      {{{"output-dir"},
        "DIR",
        "Convert every SOURCE into the folder DIR, made when it is missing: each output file "
        "is named by its source's file name with the extension of the output format (see "
        "Many files)."},
       [](const std::string& v, ConvertCommand& c) -> Error {
         if (v.empty()) return std::string("--output-dir needs a folder");
         c.outputFolder = v;
         return std::nullopt;
       }},
      {{{"jobs"},
        "N",
        "With --output-dir, run up to N conversions at once, " + RangeText(1, kMaxJobs) +
            " (default 1), each in a process of its own."},
       [](const std::string& v, ConvertCommand& c) {
         std::optional<int> jobs;
         Error error = ParseInRange("jobs", v, 1, kMaxJobs, jobs);
         c.jobs = jobs.value_or(c.jobs);
         return error;
       }},
      {{{"threads"},
        "N",
        "Encode the picture of a Windows Media file on up to N cores at once, " +
            RangeText(1, kMaxThreads) +
            " (default: every core this process may use), in segments that are joined into "
            "the one file; 1 encodes it from start to end on one. With --jobs, each conversion "
            "gets its share of the cores unless this is given."},
       [](const std::string& v, ConvertCommand& c) {
         return ParseInRange("threads", v, 1, kMaxThreads, c.options.threads);
       }},
      {{{"y", "yes"}, "", "Replace an existing output file without asking."},
       [](const std::string&, ConvertCommand& c) -> Error {
         c.options.replaceExisting = true;
         return std::nullopt;
       }},
      {{{"list-compressors"},
        "",
        "List the video and audio compressors of the catalogue, each with its index and its "
        "name, in the order the options dialog shows them, and exit."},
       [](const std::string&, ConvertCommand& c) -> Error {
         c.action = ConvertAction::ListCompressors;
         return std::nullopt;
       }},
      {{{"list-workarounds"},
        "",
        "List the mends this program makes for behaviours of the installed GStreamer elements, "
        "each with what it mends and whether it is engaged here (its probe found the "
        "behaviour), and exit."},
       [](const std::string&, ConvertCommand& c) -> Error {
         c.action = ConvertAction::ListWorkarounds;
         return std::nullopt;
       }},
      {{{"h", "help"}, "", "Show this text and exit."},
       [](const std::string&, ConvertCommand& c) -> Error {
         c.action = ConvertAction::ShowHelp;
         return std::nullopt;
       }},
      {{{"version"}, "", "Show the version and exit."},
       [](const std::string&, ConvertCommand& c) -> Error {
         c.action = ConvertAction::ShowVersion;
         return std::nullopt;
       }},
      {{{"report-progress"}, "", "Progress as numbers on standard output."},
       [](const std::string&, ConvertCommand& c) -> Error {
         c.reportProgress = true;
         return std::nullopt;
       },
       false},
  };
  return options;
}

// An argument read as options that looks like a file name ("-odd.mp4": no
// option has a '.' or a '/') gets a hint on how to give it.
std::string FileNameHint(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (argument.size() > 1 && argument[0] == '-' && argument[1] != '-' &&
        argument.find_first_of("./") != std::string::npos)
      return "\nA file whose name starts with '-' goes after --, as in: -- " + argument;
  }
  return {};
}

// The file names: SOURCE and, when given, OUTPUT; with an output folder,
// every name is a source.
Error ApplyPositional(const std::vector<std::string>& positional, ConvertCommand& command) {
  if (command.action == ConvertAction::ListCompressors ||
      command.action == ConvertAction::ListWorkarounds) {
    if (!positional.empty())
      return std::string(command.action == ConvertAction::ListCompressors ? "--list-compressors"
                                                                          : "--list-workarounds") +
             " takes no file names";
    return std::nullopt;
  }
  if (positional.empty()) return std::string("no SOURCE given");
  for (const std::string& name : positional)
    if (name.empty()) return std::string("a file name cannot be empty");
  if (!command.outputFolder.empty()) {
    command.action = ConvertAction::ConvertMany;
    command.sources = positional;
    return std::nullopt;
  }
  if (positional.size() > 2) return "too many file names: " + positional[2];
  command.options.source = positional[0];
  if (positional.size() == 2) command.options.output = positional[1];
  return std::nullopt;
}

}  // namespace

std::variant<ConvertCommand, UsageError> ParseConvertCommandLine(
    const std::vector<std::string>& arguments) {
  std::vector<shell::CommandLineOption> known;
  for (const OptionEntry& entry : Options()) known.push_back(entry.help);
  const auto parsed = shell::ParseCommandLine(known, arguments);
  if (const auto* error = std::get_if<std::string>(&parsed))
    return UsageError{*error + FileNameHint(arguments)};
  const shell::ParsedCommandLine& line = std::get<shell::ParsedCommandLine>(parsed);

  ConvertCommand command;
  for (std::size_t i = 0; i < Options().size(); ++i) {
    // A repeated option counts once, with its last value.
    if (line.values[i].empty()) continue;
    if (Error error = Options()[i].apply(line.values[i].back(), command)) return UsageError{*error};
  }
  // Help and version answer whatever else the line says.
  if (command.action == ConvertAction::ShowHelp || command.action == ConvertAction::ShowVersion)
    return command;
  if (Error error = ApplyPositional(line.positional, command)) return UsageError{*error};
  return command;
}

const CommandHelp& ConvertCommandHelp() {
  static const CommandHelp help = [] {
    CommandHelp h;
    h.program = "reelcast-convert";
    h.summary = "convert a video file with the settings Reelcast has stored";
    h.synopsis = {"[OPTION]... SOURCE [OUTPUT]", "[OPTION]... --output-dir DIR SOURCE...",
                  "--list-compressors", "--list-workarounds"};
    h.description = {
        "Converts SOURCE with the settings Reelcast has stored, exactly as the Convert button "
        "of the Reelcast window does. OUTPUT, when given, replaces the stored output name; it "
        "gets the extension of the output format.",
        "The options apply to this run only: nothing is stored, and the window's settings stay "
        "as they were. An option takes its value as the next argument or after '=' "
        "(--format=1); -- ends the options, so a file whose name starts with '-' can follow "
        "it.",
        "Messages go to standard error. While converting, the elapsed time and the percentage "
        "done are printed there once a second; on a terminal they stay on one line that is "
        "updated in place, with the time left. Ctrl+C stops the run and leaves a playable file "
        "of what was converted so far."};
    for (const OptionEntry& entry : Options())
      if (entry.listed) h.options.push_back(entry.help);
    h.sections = {
        {"Many files",
         {"With --output-dir every SOURCE is converted into DIR with the same options, each in "
          "a process of its own, up to --jobs at once; a source that fails is reported with its "
          "name and the reason, and the others go on. The output is named by the source's file "
          "name (up to its last '.') and the format's extension. When two sources would give "
          "the same name, or a name that is one of the sources, the later one gets -2 "
          "(-3, ...) after its name, and a line says so; a source named twice is converted "
          "once. An output file that exists is replaced only with --yes, as for one file.",
          "Each file has a line of its own: on a terminal, the lines of the files being "
          "converted are updated in place; otherwise every progress line starts with the "
          "source's name. The last line says how many files were written. Ctrl+C stops every "
          "conversion, each leaving a playable file of what it converted so far, and starts no "
          "further one."}},
        {"Exit status",
         {"0 when the output file was written (with --output-dir: every output file), or the "
          "list or text asked for was shown; 1 when a conversion failed, 2 when the command line "
          "is wrong, 130 when the run was stopped with Ctrl+C."}},
        {"Files",
         {"~/.config/TARNWICK/reelcast.conf: the settings of Reelcast, read and never "
          "changed."}},
        {"See also", {"reelcast(1)"}}};
    return h;
  }();
  return help;
}

std::vector<std::string> OneFileCommandLine(const ConvertOptions& options, bool reportProgress) {
  std::vector<std::string> arguments;
  const auto add = [&](const char* name, const std::string& value) {
    arguments.push_back(std::string("--") + name + "=" + value);
  };
  if (options.format) add("format", std::to_string(*options.format));
  if (options.videoCompressor) add("video-compressor", *options.videoCompressor);
  if (options.audioCompressor) add("audio-compressor", *options.audioCompressor);
  if (options.videoBitrateKbps) add("video-bitrate", std::to_string(*options.videoBitrateKbps));
  if (options.audioBitrate) add("audio-bitrate", std::to_string(*options.audioBitrate));
  if (options.width && options.height)
    add("size", std::to_string(*options.width) + "x" + std::to_string(*options.height));
  if (options.threads) add("threads", std::to_string(*options.threads));
  if (options.replaceExisting) arguments.emplace_back("--yes");
  if (reportProgress) arguments.emplace_back("--report-progress");
  arguments.emplace_back("--");
  arguments.push_back(options.source);
  if (options.output) arguments.push_back(*options.output);
  return arguments;
}

std::optional<int> ResolveCompressorSelector(const std::string& selector,
                                             const std::vector<std::string>& names) {
  if (text::AsciiLower(selector) == "none") return -1;
  if (const auto index = ParseWhole(selector)) {
    if (*index >= 0 && static_cast<std::size_t>(*index) < names.size())
      return static_cast<int>(*index);
    return std::nullopt;
  }
  const std::string wanted = text::AsciiLower(selector);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (text::AsciiLower(names[i]).find(wanted) != std::string::npos) return static_cast<int>(i);
  return std::nullopt;
}
