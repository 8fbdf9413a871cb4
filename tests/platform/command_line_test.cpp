#include "platform/shell/command_line.h"

#include <gtest/gtest.h>

namespace {

const std::vector<shell::CommandLineOption> kOptions = {
    {{"n", "name"}, "TEXT", "a value"},
    {{"y", "yes"}, "", "a flag"},
};

shell::ParsedCommandLine Parse(const std::vector<std::string>& arguments) {
  auto result = shell::ParseCommandLine(kOptions, arguments);
  if (auto* error = std::get_if<std::string>(&result)) ADD_FAILURE() << *error;
  return std::get<shell::ParsedCommandLine>(result);
}

TEST(CommandLine, ValuesFlagsAndPositionalArgumentsInTheirOrder) {
  const auto line = Parse({"a", "--name", "one", "-y", "b", "--name=two", "-yy", "--", "-c"});
  ASSERT_EQ(line.values.size(), 2u);
  EXPECT_EQ(line.values[0], (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(line.values[1].size(), 3u) << "a flag counts each time it came";
  EXPECT_EQ(line.positional, (std::vector<std::string>{"a", "b", "-c"}));
  EXPECT_TRUE(Parse({}).values[0].empty());
}

TEST(CommandLine, WhatCannotBeReadIsSaid) {
  for (const std::vector<std::string>& wrong :
       {std::vector<std::string>{"--name"}, {"--other"}, {"-x"}, {"--yes=no"}}) {
    auto result = shell::ParseCommandLine(kOptions, wrong);
    ASSERT_TRUE(std::holds_alternative<std::string>(result)) << wrong[0];
    EXPECT_FALSE(std::get<std::string>(result).empty());
  }
}

TEST(CommandLine, ArgumentsThatAreNotUtf8ComeThroughByteForByte) {
  const std::string latin1 = "caf\xE9.avi";
  const auto line = Parse({latin1, "--name", "\xFFx", "--", "-\xE9"});
  EXPECT_EQ(line.positional, (std::vector<std::string>{latin1, "-\xE9"}));
  EXPECT_EQ(line.values[0], std::vector<std::string>{"\xFFx"});
}

}  // namespace
