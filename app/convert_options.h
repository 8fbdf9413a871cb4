#pragma once
// The command line of reelcast-convert.

#include <optional>
#include <string>
#include <variant>
#include <vector>

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
  bool replaceExisting = false;
  bool help = false;
};

// The options, or a message saying what is wrong with the command line.
std::variant<ConvertOptions, std::string> ParseConvertOptions(const std::vector<std::string>& args);

std::string ConvertUsage();

// A compressor selector against the catalogue's names: "none" gives -1, a
// whole number is an index (it must exist), anything else picks the first
// name that contains it (ASCII letters compared without case). Nothing when
// no entry matches.
std::optional<int> ResolveCompressorSelector(const std::string& selector,
                                             const std::vector<std::string>& names);
