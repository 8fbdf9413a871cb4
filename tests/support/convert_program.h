#pragma once
// Runs the built reelcast-convert (beside the test executable) as a script
// or a terminal would, with this test process's private home and settings.

#include <QStringList>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

namespace test_support {

struct ConvertFinished {
  int status = -1;     // the exit status; -1 when it did not end normally
  std::string errors;  // what it printed on standard error
  std::string output;  // what it printed on standard output
};

// The built reelcast-convert.
std::string ConvertProgram();

// Runs reelcast-convert in `folder` when one is given. With `interruptWhen`,
// Ctrl+C (SIGINT to that process alone, or `signal`) reaches it as soon as
// that holds, unless it has ended by then.
ConvertFinished RunConvert(const QStringList& arguments,
                           const std::function<bool()>& interruptWhen = {},
                           const std::string& folder = {}, int signal = SIGINT);

// Runs reelcast-convert with its standard error on a pseudo terminal and
// gives back what the terminal received; expects exit status `status`.
std::string RunConvertOnATerminal(const std::vector<std::string>& arguments, int status = 0);

}  // namespace test_support
