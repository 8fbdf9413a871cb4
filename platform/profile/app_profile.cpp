#include "platform/profile/app_profile.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStringList>
#include <charconv>
#include <limits>
#include <memory>

namespace profile {

namespace {

// The settings of this program: organisation chosen by SetRegistryKey,
// application = the executable's base name. Empty when no key was chosen.
std::unique_ptr<QSettings> OpenOwn() {
  const QString org = QCoreApplication::organizationName();
  const QString app = QCoreApplication::applicationName();
  if (org.isEmpty() || app.isEmpty()) return nullptr;
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, org, app);
}

// The spelling under which a name is stored, matched without regard to case.
QString StoredSpelling(const QStringList& stored, const QString& wanted) {
  for (const QString& name : stored)
    if (name.compare(wanted, Qt::CaseInsensitive) == 0) return name;
  return wanted;
}

// The full key of a value, spelled as stored when it exists: section and key
// match without regard to case (a hand-edited file may even hold the same
// section under two spellings). Reads through this never create.
QString ResolveKey(QSettings& settings, const std::string& section, const std::string& key) {
  const QString wantedGroup = QString::fromStdString(section);
  const QString wantedKey = QString::fromStdString(key);
  QString firstGroup;
  for (const QString& group : settings.childGroups()) {
    if (group.compare(wantedGroup, Qt::CaseInsensitive) != 0) continue;
    if (firstGroup.isEmpty()) firstGroup = group;
    settings.beginGroup(group);
    const QStringList keys = settings.childKeys();
    settings.endGroup();
    for (const QString& name : keys)
      if (name.compare(wantedKey, Qt::CaseInsensitive) == 0) return group + QLatin1Char('/') + name;
  }
  if (wantedGroup.isEmpty()) return StoredSpelling(settings.childKeys(), wantedKey);
  return (firstGroup.isEmpty() ? wantedGroup : firstGroup) + QLatin1Char('/') + wantedKey;
}

// A stored integer as the registry's 32-bit value: whole decimal numbers from
// -2^31 to 2^32-1 (the upper half reads back negative, as a DWORD would).
std::optional<std::int32_t> ParseInteger(const QString& text) {
  const std::string bytes = text.trimmed().toStdString();
  std::int64_t value = 0;
  const char* begin = bytes.data();
  const char* end = begin + bytes.size();
  if (begin != end && *begin == '+') ++begin;
  auto [ptr, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || ptr != end || begin == end) return std::nullopt;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max()))
    return std::nullopt;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::function<void(const std::string&, const std::string&)>& Observer() {
  static std::function<void(const std::string&, const std::string&)> observer;
  return observer;
}

bool& ReadOnly() {
  static bool readOnly = false;
  return readOnly;
}

bool Write(const std::string& section, const std::string& key, const QVariant& value) {
  if (ReadOnly()) return false;
  if (Observer()) Observer()(section, key);
  auto settings = OpenOwn();
  if (!settings) return false;
  settings->setValue(ResolveKey(*settings, section, key), value);
  settings->sync();
  return settings->status() == QSettings::NoError;
}

}  // namespace

std::int32_t GetProfileInt(const std::string& section, const std::string& key,
                           std::int32_t defaultValue) {
  auto settings = OpenOwn();
  if (!settings) return defaultValue;
  const QVariant value = settings->value(ResolveKey(*settings, section, key));
  if (!value.isValid() || !value.canConvert<QString>()) return defaultValue;
  return ParseInteger(value.toString()).value_or(defaultValue);
}

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue) {
  auto settings = OpenOwn();
  if (!settings) return defaultValue;
  const QVariant value = settings->value(ResolveKey(*settings, section, key));
  if (!value.isValid()) return defaultValue;
  // A list (a value with commas written by hand) reads back joined as it
  // stood in the file.
  if (value.typeId() == QMetaType::QStringList)
    return value.toStringList().join(QStringLiteral(", ")).toStdString();
  if (!value.canConvert<QString>()) return defaultValue;
  return value.toString().toStdString();
}

bool WriteProfileInt(const std::string& section, const std::string& key, std::int32_t value) {
  return Write(section, key, QVariant(static_cast<int>(value)));
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value) {
  return Write(section, key, QVariant(QString::fromStdString(value)));
}

void SetReadOnly(bool readOnly) { ReadOnly() = readOnly; }

void SetWriteObserver(std::function<void(const std::string&, const std::string&)> observer) {
  Observer() = std::move(observer);
}

void AdjustForeignDivXValue() {
  if (ReadOnly()) return;
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("DivXNetworks"),
                     QStringLiteral("DivX4Windows"));
  const QString key = StoredSpelling(settings.childKeys(), QStringLiteral("Disable feedback"));
  const QVariant value = settings.value(key);
  if (!value.isValid() || !value.canConvert<QString>()) return;
  const QString text = value.toString();
  // The first byte of the value's data becomes 1, keeping type and size: an
  // integer's lowest byte, or a string's first character.
  if (auto number = ParseInteger(text)) {
    const auto raw = static_cast<std::uint32_t>(*number);
    settings.setValue(key, static_cast<qint64>(static_cast<std::int32_t>((raw & ~0xFFu) | 1u)));
  } else {
    QString changed = text.isEmpty() ? QString(QChar(1)) : text;
    changed[0] = QChar(1);
    settings.setValue(key, changed);
  }
  settings.sync();
}

}  // namespace profile
