#include "tests/support/convert_program.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "tests/support/child_process.h"

namespace test_support {

std::string ConvertProgram() {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "reelcast-convert")
      .string();
}

ConvertFinished RunConvert(const QStringList& arguments, const std::function<bool()>& interruptWhen,
                           const std::string& folder, int signal) {
  std::vector<std::string> list;
  for (const QString& argument : arguments) list.push_back(argument.toStdString());
  ChildOptions options;
  options.folder = folder;
  options.interruptWhen = interruptWhen;
  options.interruptSignal = signal;
  const ChildOutcome child = RunChild(ConvertProgram(), list, options);
  ConvertFinished finished;
  if (!child.exited) {
    ADD_FAILURE() << "reelcast-convert did not finish";
    return finished;
  }
  finished.status = child.status;
  finished.errors = child.err;
  finished.output = child.out;
  return finished;
}

std::string RunConvertOnATerminal(const std::vector<std::string>& arguments, int status) {
  int terminal = -1, side = -1;
  if (openpty(&terminal, &side, nullptr, nullptr, nullptr) != 0) {
    ADD_FAILURE() << "no pseudo terminal";
    return {};
  }
  const std::string program = ConvertProgram();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, side, STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, terminal);
  posix_spawn_file_actions_addclose(&actions, side);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(side);
  std::string received;
  if (spawned == 0) {
    // Read until the child's end closes the terminal's other side.
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(terminal, buffer, sizeof buffer)) > 0) received.append(buffer, got);
    int ended = 0;
    ::waitpid(child, &ended, 0);
    EXPECT_TRUE(WIFEXITED(ended) && WEXITSTATUS(ended) == status) << received;
  } else {
    ADD_FAILURE() << "reelcast-convert did not start";
  }
  ::close(terminal);
  return received;
}

}  // namespace test_support
