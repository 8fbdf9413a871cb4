#include "tests/support/test_environment.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdlib>

#include "platform/dshow/initialise.h"

namespace test_support {

namespace {
std::string& Home() {
  static std::string home;
  return home;
}
}  // namespace

void UsePrivateHome(const std::string& home) {
  Home() = home;
  const QString root = QString::fromStdString(home);
  for (const char* sub : {"config", "data", "cache", "Videos", "runtime"})
    QDir().mkpath(root + QLatin1Char('/') + QLatin1String(sub));
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
  setenv("XDG_VIDEOS_DIR", (home + "/Videos").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (home + "/runtime").c_str(), 1);
  QDir(root + QStringLiteral("/runtime")).removeRecursively();
  QDir().mkpath(root + QStringLiteral("/runtime"));
  QFile::setPermissions(root + QStringLiteral("/runtime"),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

std::string HomeFolder() { return Home(); }

void ResetSettings() {
  QDir config(QString::fromStdString(Home() + "/config"));
  config.removeRecursively();
  QDir().mkpath(config.path());
}

std::string SettingsFilePath() {
  return Home() + "/config/TARNWICK/" + QCoreApplication::applicationName().toStdString() + ".conf";
}

void InitialisePlatform() { dshow::Initialise(); }

}  // namespace test_support
