#include "platform/shell/command_line.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <map>

namespace shell {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Arguments as the parser sees them. One that is not valid UTF-8 goes
// through as a stand-in that cannot be an option, and comes back byte for
// byte.
class ArgumentText {
 public:
  QString In(const std::string& argument) {
    QString text = Q(argument);
    if (text.toStdString() == argument) return text;
    text = QChar(0xE000) + QString::number(standIns_.size());
    standIns_[text] = argument;
    return text;
  }
  std::string Out(const QString& text) const {
    const auto found = standIns_.find(text);
    return found != standIns_.end() ? found->second : text.toStdString();
  }

 private:
  std::map<QString, std::string> standIns_;
};

QCommandLineOption QtOption(const CommandLineOption& option) {
  QStringList names;
  for (const std::string& name : option.names) names << Q(name);
  return QCommandLineOption(names, Q(option.description), Q(option.valueName));
}

}  // namespace

std::variant<ParsedCommandLine, std::string> ParseCommandLine(
    const std::vector<CommandLineOption>& options, const std::vector<std::string>& arguments) {
  QCommandLineParser parser;
  for (const CommandLineOption& option : options) parser.addOption(QtOption(option));
  ArgumentText text;
  QStringList line{QStringLiteral("program")};
  for (const std::string& argument : arguments) line << text.In(argument);
  if (!parser.parse(line)) return parser.errorText().toStdString();

  ParsedCommandLine parsed;
  for (const CommandLineOption& option : options) {
    std::vector<std::string> values;
    if (!option.names.empty()) {
      const QString name = Q(option.names.back());
      if (option.valueName.empty()) {
        // A flag counts each time it came: the parser keeps its names.
        for (const QString& given : parser.optionNames())
          if (std::find(option.names.begin(), option.names.end(), given.toStdString()) !=
              option.names.end())
            values.emplace_back();
      } else {
        for (const QString& value : parser.values(name)) values.push_back(text.Out(value));
      }
    }
    parsed.values.push_back(std::move(values));
  }
  for (const QString& argument : parser.positionalArguments())
    parsed.positional.push_back(text.Out(argument));
  return parsed;
}

}  // namespace shell
