#pragma once
// The command line of the window program, reelcast: what its --help and its
// manual page say, and the answer to --help and --version.

#include <optional>
#include <string>
#include <vector>

#include "app/shared/command_help.h"

const CommandHelp& ReelcastCommandHelp();

// The exit status after printing the help or the version on standard
// output, when the arguments (without the program's name) ask for either;
// nothing when the program is to start. Other arguments are left alone: the
// toolkit reads its own (-platform, -style, ...).
std::optional<int> AnswerHelpOrVersion(const std::vector<std::string>& arguments);
