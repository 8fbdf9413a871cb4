#include "app/convert_options.h"

#include <charconv>

#include "engine/compressor_catalogue.h"
#include "platform/text/ascii_case.h"

namespace {

std::optional<int> ParseInt(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

std::string ConvertUsage() {
  return "Usage: reelcast-convert [OPTIONS] SOURCE [OUTPUT]\n"
         "\n"
         "Converts SOURCE with the settings Reelcast has stored, exactly as the Convert\n"
         "button does. OUTPUT, when given, replaces the stored output name; it gets the\n"
         "extension of the output format. The options apply to this run only and are\n"
         "not stored. Messages go to standard error; the exit status is 0 only when the\n"
         "output file was written.\n"
         "\n"
         "Options:\n"
         "  --format ID                 output format: 0 AVI, 1 WMV, 2 MKV, 3 ASF, 4 MP4,\n"
         "                              5 DSM, 6 OGM (no file is written for 6)\n"
         "  --video-compressor NAME|INDEX|none\n"
         "                              video compressor for AVI, MKV and MP4: the first\n"
         "                              catalogue entry whose name contains NAME (letters\n"
         "                              compared without case), a catalogue index, or\n"
         "                              none for uncompressed video\n"
         "  --audio-compressor NAME|INDEX|none\n"
         "                              the same for audio\n"
         "  --video-bitrate KBPS        Windows Media video bitrate (1 Kbps = 1024 bit/s)\n"
         "  --audio-bitrate BPS         Windows Media audio bitrate: 64000, 128000,\n"
         "                              192000 or 320000\n"
         "  --size WxH                  output frame size (cut to multiples of 8, at least 16)\n"
         "  --yes                       replace an existing output file\n"
         "  --help                      show this text\n";
}

std::variant<ConvertOptions, std::string> ParseConvertOptions(const std::vector<std::string>& args) {
  ConvertOptions options;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    auto number = [&](std::optional<int>& target) -> std::optional<std::string> {
      auto text = value();
      if (!text) return arg + " needs a value";
      auto parsed = ParseInt(*text);
      if (!parsed) return arg + " needs a whole number, not \"" + *text + "\"";
      target = parsed;
      return std::nullopt;
    };
    std::optional<std::string> error;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--yes" || arg == "-y") {
      options.replaceExisting = true;
    } else if (arg == "--format") {
      error = number(options.format);
    } else if (arg == "--video-bitrate") {
      error = number(options.videoBitrateKbps);
      if (!error && *options.videoBitrateKbps <= 0) error = "--video-bitrate must be above 0";
    } else if (arg == "--audio-bitrate") {
      error = number(options.audioBitrate);
      if (!error && *options.audioBitrate <= 0) error = "--audio-bitrate must be above 0";
    } else if (arg == "--video-compressor" || arg == "--audio-compressor") {
      auto text = value();
      if (!text || text->empty()) error = arg + " needs a value";
      else (arg == "--video-compressor" ? options.videoCompressor : options.audioCompressor) = *text;
    } else if (arg == "--size") {
      auto text = value();
      const auto x = text ? text->find_first_of("xX") : std::string::npos;
      std::optional<int> w, h;
      if (x != std::string::npos) {
        w = ParseInt(text->substr(0, x));
        h = ParseInt(text->substr(x + 1));
      }
      if (!w || !h || *w <= 0 || *h <= 0) error = "--size needs WIDTHxHEIGHT, for example 640x480";
      options.width = w;
      options.height = h;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
      error = "unknown option " + arg;
    } else {
      positional.push_back(arg);
    }
    if (error) return *error;
  }
  if (options.help) return options;
  if (positional.empty()) return std::string("no SOURCE given");
  if (positional.size() > 2) return std::string("too many arguments: ") + positional[2];
  options.source = positional[0];
  if (positional.size() == 2) options.output = positional[1];
  return options;
}

std::optional<int> ResolveCompressorSelector(const std::string& selector,
                                             const std::vector<std::string>& names) {
  if (text::AsciiLower(selector) == "none") return -1;
  if (auto index = ParseInt(selector)) {
    if (*index >= 0 && static_cast<std::size_t>(*index) < names.size()) return *index;
    return std::nullopt;
  }
  const std::string wanted = text::AsciiLower(selector);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (text::AsciiLower(names[i]).find(wanted) != std::string::npos) return static_cast<int>(i);
  return std::nullopt;
}
