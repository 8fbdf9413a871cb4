// The command-line help and the manual page are one text shown two ways.

#include "app/shared/command_help.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "app/command_line/convert_options.h"
#include "app/window/reelcast_help.h"
#include "resources/build_info.h"
#include "tests/support/child_process.h"

namespace {

// Words of a text, lowered, without ':' and with blanks collapsed.
std::string Normalised(const std::string& text) {
  std::istringstream in(text);
  std::string word, out;
  while (in >> word) {
    std::string kept;
    for (char c : word)
      if (c != ':') kept += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (!kept.empty()) out += (out.empty() ? "" : " ") + kept;
  }
  return out;
}

// What a reader of the manual page sees, without the layout requests.
std::string ManText(const std::string& page) {
  std::istringstream lines(page);
  std::string line, out;
  while (std::getline(lines, line)) {
    if (line.rfind(".TH", 0) == 0 || line == ".PP" || line == ".TP" || line == ".br") continue;
    for (const char* request : {".SH ", ".B "})
      if (line.rfind(request, 0) == 0) line.erase(0, std::string(request).size());
    std::string plain;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] != '\\') {
        if (line[i] != '"') plain += line[i];
        continue;
      }
      const char next = i + 1 < line.size() ? line[i + 1] : '\0';
      if (next == 'f') i += 2;                  // font change
      else if (next == '-') plain += '-', ++i;  // minus
      else if (next == 'e') plain += '\\', ++i;
      else if (next == '&') ++i;
    }
    out += plain + '\n';
  }
  return out;
}

TEST(CommandHelp, HelpTextFitsATerminalAndListsEveryOption) {
  const CommandHelp& help = ConvertCommandHelp();
  const std::string text = HelpText(help);
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) EXPECT_LE(line.size(), 79u) << line;
  EXPECT_EQ(text.rfind("Usage: reelcast-convert [OPTION]... SOURCE [OUTPUT]\n", 0), 0u) << text;
  for (const HelpOption& option : help.options)
    EXPECT_NE(text.find("\n  " + OptionSignature(option)), std::string::npos) << option.names[0];
  EXPECT_NE(text.find("\n  --video-compressor NAME|INDEX|none\n"), std::string::npos)
      << "a long signature has its description on the next line";
}

TEST(CommandHelp, TheManualPageSaysWhatHelpSays) {
  const CommandHelp& help = ConvertCommandHelp();
  const std::string page = ManPage(help, "1.1");
  EXPECT_EQ(page.rfind(".TH REELCAST\\-CONVERT 1 \"\" \"Reelcast 1.1\" \"User Commands\"\n", 0),
            0u);
  EXPECT_NE(page.find(".SH NAME\nreelcast\\-convert \\- "), std::string::npos);
  EXPECT_NE(page.find("\\fB\\-\\-format\\fR \\fIID\\fR\n"), std::string::npos);
  const std::string manual = Normalised(ManText(page));
  // Every block of the help text after the usage lines, in the same words.
  const std::string text = HelpText(help);
  std::size_t start = text.find("\n\n");
  ASSERT_NE(start, std::string::npos);
  while (start != std::string::npos) {
    const std::size_t end = text.find("\n\n", start + 2);
    const std::string block =
        text.substr(start + 2, end == std::string::npos ? std::string::npos : end - start - 2);
    EXPECT_NE(manual.find(Normalised(block)), std::string::npos) << block;
    start = end;
  }
}

std::string Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::filesystem::path Programs() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

// Runs a program built beside this test without a display: the window
// program must answer without starting its window.
std::pair<int, std::string> RunWithoutDisplay(const std::string& program,
                                              const std::string& argument) {
  test_support::ChildOptions options;
  options.environment = {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", "xcb"}};
  const test_support::ChildOutcome child =
      test_support::RunChild((Programs() / program).string(), {argument}, options);
  if (!child.exited) return {-1, ""};
  return {child.status, child.out};
}

TEST(CommandHelp, TheWindowProgramAnswersHelpAndVersionWithoutADisplay) {
  EXPECT_EQ(RunWithoutDisplay("reelcast", "--help"),
            std::make_pair(0, HelpText(ReelcastCommandHelp())));
  EXPECT_EQ(RunWithoutDisplay("reelcast", "--version"),
            std::make_pair(0, VersionText(ReelcastCommandHelp(), kProgramVersion)));
}

// The build writes both manual pages into share/man/man1 of its tree, from
// the help texts; groff reads them without a warning.
TEST(CommandHelp, TheBuildWritesTheManualPagesAndGroffReadsThemCleanly) {
  for (const CommandHelp* help : {&ReelcastCommandHelp(), &ConvertCommandHelp()}) {
    const auto page = Programs().parent_path() / "share/man/man1" / (help->program + ".1");
    EXPECT_EQ(Bytes(page), ManPage(*help, kProgramVersion)) << page;
    const test_support::ChildOutcome groff =
        test_support::RunChild("groff", {"-man", "-Tutf8", "-ww", "-z", page.string()});
    ASSERT_TRUE(groff.exited) << "groff (groff-base) is installed by scripts/setup";
    EXPECT_EQ(groff.status, 0);
    EXPECT_EQ(groff.err, "") << page;
  }
}

TEST(CommandHelp, RoffControlCharactersInTheTextAreEscaped) {
  CommandHelp help;
  help.program = "tool";
  help.summary = "does things";
  help.synopsis = {"FILE"};
  help.description = {".starts with a dot", "a \\ backslash"};
  const std::string page = ManPage(help, "2");
  EXPECT_NE(page.find("\n\\&.starts with a dot\n"), std::string::npos) << page;
  EXPECT_NE(page.find("\na \\e backslash\n"), std::string::npos) << page;
}

}  // namespace
