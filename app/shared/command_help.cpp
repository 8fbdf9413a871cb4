#include "app/shared/command_help.h"

#include <sstream>

namespace {

constexpr std::size_t kWidth = 79;
constexpr std::size_t kOptionColumn = 30;

// The words of `text` filled into lines of at most `width` columns, each
// line after the first starting with `indent` blanks; a word longer than a
// line stands alone on its line.
std::string Fill(const std::string& text, std::size_t firstColumn, std::size_t indent) {
  std::istringstream words(text);
  std::string word, out;
  std::size_t column = firstColumn;
  bool lineEmpty = true;
  while (words >> word) {
    if (!lineEmpty && column + 1 + word.size() > kWidth) {
      out += '\n' + std::string(indent, ' ');
      column = indent;
      lineEmpty = true;
    }
    if (!lineEmpty) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    lineEmpty = false;
  }
  return out;
}

// Text for roff: backslashes and dashes escaped, a line never starting with
// a control character.
std::string Roff(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\e";
    else if (c == '-') out += "\\-";
    else out += c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string Dashed(const std::string& name) { return (name.size() == 1 ? "-" : "--") + name; }

}  // namespace

std::string OptionSignature(const HelpOption& option) {
  std::string out;
  for (const std::string& name : option.names) out += (out.empty() ? "" : ", ") + Dashed(name);
  if (!option.valueName.empty()) out += ' ' + option.valueName;
  return out;
}

std::string HelpText(const CommandHelp& help) {
  std::string out;
  for (std::size_t i = 0; i < help.synopsis.size(); ++i)
    out += (i == 0 ? "Usage: " : "   or: ") + help.program + ' ' + help.synopsis[i] + '\n';
  for (const std::string& paragraph : help.description) out += '\n' + Fill(paragraph, 0, 0) + '\n';
  if (!help.options.empty()) out += "\nOptions:\n";
  for (const HelpOption& option : help.options) {
    std::string line = "  " + OptionSignature(option);
    if (line.size() + 2 > kOptionColumn) {
      out += line + '\n';
      line.clear();
    }
    line.resize(kOptionColumn, ' ');
    out += line + Fill(option.description, kOptionColumn, kOptionColumn) + '\n';
  }
  for (const HelpSection& section : help.sections) {
    out += '\n' + section.title + ":\n";
    // Paragraphs apart, as the manual page sets them.
    for (std::size_t i = 0; i < section.paragraphs.size(); ++i)
      out += std::string(i == 0 ? "" : "\n") + "  " + Fill(section.paragraphs[i], 2, 2) + '\n';
  }
  return out;
}

std::string VersionText(const CommandHelp& help, const std::string& version) {
  return help.program + " (Reelcast) " + version + '\n';
}

std::string ManPage(const CommandHelp& help, const std::string& version) {
  std::string out = ".TH " + Roff(Upper(help.program)) + " 1 \"\" \"Reelcast " + Roff(version) +
                    "\" \"User Commands\"\n";
  out += ".SH NAME\n" + Roff(help.program) + " \\- " + Roff(help.summary) + '\n';
  out += ".SH SYNOPSIS\n";
  for (std::size_t i = 0; i < help.synopsis.size(); ++i)
    out += std::string(i == 0 ? "" : ".br\n") + ".B " + Roff(help.program) + '\n' +
           Roff(help.synopsis[i]) + '\n';
  out += ".SH DESCRIPTION\n";
  for (std::size_t i = 0; i < help.description.size(); ++i)
    out += std::string(i == 0 ? "" : ".PP\n") + Roff(help.description[i]) + '\n';
  if (!help.options.empty()) out += ".SH OPTIONS\n";
  for (const HelpOption& option : help.options) {
    std::string names;
    for (const std::string& name : option.names)
      names += (names.empty() ? "" : ", ") + Roff(Dashed(name));
    out += ".TP\n\\fB" + names + "\\fR";
    if (!option.valueName.empty()) out += " \\fI" + Roff(option.valueName) + "\\fR";
    out += '\n' + Roff(option.description) + '\n';
  }
  for (const HelpSection& section : help.sections) {
    out += ".SH \"" + Roff(Upper(section.title)) + "\"\n";
    for (std::size_t i = 0; i < section.paragraphs.size(); ++i)
      out += std::string(i == 0 ? "" : ".PP\n") + Roff(section.paragraphs[i]) + '\n';
  }
  return out;
}
