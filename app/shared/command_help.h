#pragma once
// The text that explains a program's command line, written once and shown
// two ways: as the --help text and as the manual page, so the two never
// say different things.

#include <string>
#include <vector>

#include "platform/shell/command_line.h"

// An option as the parser reads it and the help explains it.
using HelpOption = shell::CommandLineOption;

// A titled part of the text (EXIT STATUS, FILES, ...): paragraphs of prose.
struct HelpSection {
  std::string title;
  std::vector<std::string> paragraphs;
};

struct CommandHelp {
  std::string program;                   // "reelcast-convert"
  std::string summary;                   // one line, for the manual's NAME
  std::vector<std::string> synopsis;     // forms of the command, without the program's name
  std::vector<std::string> description;  // paragraphs
  std::vector<HelpOption> options;
  std::vector<HelpSection> sections;  // after the options
};

// "-h, --help" or "--format ID": how an option is written.
std::string OptionSignature(const HelpOption& option);

// The --help text: usage lines, description, options and sections, wrapped
// to 79 columns.
std::string HelpText(const CommandHelp& help);

// The --version text: "reelcast-convert (Reelcast) 1.1".
std::string VersionText(const CommandHelp& help, const std::string& version);

// The same text as a manual page in section 1 (roff, man macros).
std::string ManPage(const CommandHelp& help, const std::string& version);
