#pragma once
// A program's command line read as command-line tools read theirs (through
// Qt's parser): options before, between or after the other arguments, a
// value as the next argument or after '=', "--" ending the options, short
// options that may be written together ("-hy").

#include <string>
#include <variant>
#include <vector>

namespace shell {

struct CommandLineOption {
  std::vector<std::string> names;  // without dashes: "h", "help", "format"
  std::string valueName;           // empty for an option without a value
  std::string description;
};

struct ParsedCommandLine {
  // For each option, in the order given to the parser: its values in the
  // order they came (an option without a value gives "" for each time it
  // came); empty when it did not come at all.
  std::vector<std::vector<std::string>> values;
  // The arguments that are not options, in order.
  std::vector<std::string> positional;
};

// Reads `arguments` (without the program's name). Arguments that are not
// valid UTF-8 (a file name in another encoding) come back byte for byte.
// On a line that cannot be read: the parser's message saying why.
std::variant<ParsedCommandLine, std::string> ParseCommandLine(
    const std::vector<CommandLineOption>& options, const std::vector<std::string>& arguments);

}  // namespace shell
