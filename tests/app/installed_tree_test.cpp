// The program as `cmake --install` lays it out and as its Debian package
// holds it: every file where the platform's layout puts it, accepted by the
// desktop's validators, and the programs run from there finding their
// language files and help there.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/window/reelcast_app.h"
#include "app/window/reelcast_dlg.h"
#include "i18n/language.h"
#include "platform/shell/shell.h"
#include "platform/text/file_url.h"
#include "resources/resource_ids.h"
#include "tests/support/child_process.h"
#include "tests/support/ffprobe.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/scripted_modal_ui.h"
#include "tests/support/test_environment.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string output;  // standard output and error
};

Outcome Execute(const std::string& program, const QStringList& arguments,
                const std::map<QString, QString>& environment = {}) {
  test_support::ChildOptions options;
  options.mergeErrors = true;
  options.hangGuard = std::chrono::minutes(15);  // a whole test program, converting
  options.environment.emplace_back("QT_QPA_PLATFORM", "offscreen");
  for (const auto& [name, value] : environment)
    options.environment.emplace_back(name.toStdString(), value.toStdString());
  std::vector<std::string> list;
  for (const QString& argument : arguments) list.push_back(argument.toStdString());
  const test_support::ChildOutcome child = test_support::RunChild(program, list, options);
  if (!child.started) return {-1, program + " could not be started"};
  return {child.status, child.out};
}

// Runs this test program from `bin` (copied there), where it plays the
// user of the program installed beside it: see FromTheInstalledTree below.
Outcome RunAsInstalled(const fs::path& bin) {
  const fs::path copy = bin / fs::path(shell::ExecutablePath()).filename();
  fs::copy_file(shell::ExecutablePath(), copy, fs::copy_options::overwrite_existing);
  return Execute(copy.string(),
                 {QStringLiteral("--gtest_also_run_disabled_tests"),
                  QStringLiteral("--gtest_filter=InstalledTree.DISABLED_FromTheInstalledTree")});
}

// Run only from a copy of this program in an installed bin/ folder: with
// German stored, the window shows the installed German texts and Help opens
// the installed introduction.
TEST(InstalledTree, DISABLED_FromTheInstalledTree) {
  const fs::path shared =
      fs::path(shell::ExecutablePath()).parent_path().parent_path() / "share" / "reelcast";
  ASSERT_TRUE(fs::exists(shared / "language" / "German.ini")) << shared;
  QSettings(QStringLiteral("TARNWICK"), QCoreApplication::applicationName())
      .setValue(QStringLiteral("Option/CurrentLanguage"), QStringLiteral("German"));

  test_support::ScriptedUi ui;
  std::map<int, std::string> texts;
  ui->dialogScripts.push_back([&](ui::Dialog& window) {
    for (int id : {IDC_BUTTON_EXIT, IDC_BUTTON_ADD_VIDEO, IDC_BUTTON_CONVERT, IDC_BUTTON_HELP})
      texts[id] = window.Item(id).Text();
    window.Item(IDC_BUTTON_HELP).Click();
  });
  CReelcastApp app;
  app.Run();
  EXPECT_EQ(theLanguage.GetBaseFolder(), shared.string());
  EXPECT_EQ(theLanguage.GetCurrentName(), "German");
  EXPECT_EQ(texts[IDC_BUTTON_EXIT], "Beenden");
  EXPECT_EQ(texts[IDC_BUTTON_ADD_VIDEO], "Video öffnen");
  EXPECT_EQ(texts[IDC_BUTTON_CONVERT], "Konvertieren");
  EXPECT_EQ(texts[IDC_BUTTON_HELP], "Hilfe");
  const auto addresses = ui->OfKind(test_support::Shown::Kind::Address);
  ASSERT_EQ(addresses.size(), 1u);
  EXPECT_EQ(addresses[0].text, text::FileUrl((shared / "help" / "Introduction.htm").string()));
}

// File managers offer the program for the types its desktop entry names:
// each must be a container that an installed GStreamer demultiplexer reads.
void ExpectOnlyReadableTypes(const fs::path& desktopEntry) {
  const std::map<std::string, const char*> readers = {{"video/mp4", "qtdemux"},
                                                      {"video/x-m4v", "qtdemux"},
                                                      {"video/quicktime", "qtdemux"},
                                                      {"video/3gpp", "qtdemux"},
                                                      {"video/3gpp2", "qtdemux"},
                                                      {"video/x-matroska", "matroskademux"},
                                                      {"video/webm", "matroskademux"},
                                                      {"video/x-msvideo", "avidemux"},
                                                      {"video/vnd.avi", "avidemux"},
                                                      {"video/x-ms-wmv", "asfdemux"},
                                                      {"video/x-ms-asf", "asfdemux"},
                                                      {"video/x-flv", "flvdemux"},
                                                      {"video/mpeg", "mpegpsdemux"},
                                                      {"video/mp2t", "tsdemux"},
                                                      {"video/ogg", "oggdemux"},
                                                      {"video/x-ogm+ogg", "oggdemux"},
                                                      {"video/x-theora+ogg", "oggdemux"},
                                                      {"video/dv", "dvdemux"},
                                                      {"application/vnd.rn-realmedia", "rmdemux"}};
  std::ifstream in(desktopEntry);
  std::string line, types;
  while (std::getline(in, line))
    if (line.rfind("MimeType=", 0) == 0) types = line.substr(9);
  ASSERT_FALSE(types.empty());
  std::stringstream list(types);
  std::string type;
  int count = 0;
  while (std::getline(list, type, ';')) {
    if (type.empty()) continue;
    ++count;
    const auto reader = readers.find(type);
    ASSERT_NE(reader, readers.end()) << type << ": which demultiplexer reads it?";
    GstElementFactory* factory = gst_element_factory_find(reader->second);
    EXPECT_NE(factory, nullptr) << type << " needs " << reader->second;
    if (factory) gst_object_unref(factory);
  }
  EXPECT_GE(count, 10);
}

void ExpectPassed(const Outcome& run) {
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("[  PASSED  ] 1 test"), std::string::npos) << run.output;
}

TEST(InstalledTree, FollowsThePlatformLayoutAndRunsFromThere) {
  const fs::path destdir = fs::path(test_support::HomeFolder()) / "destdir";
  const Outcome install =
      Execute(REELCAST_CMAKE_COMMAND,
              {QStringLiteral("--install"), QStringLiteral(REELCAST_BUILD_DIR),
               QStringLiteral("--prefix"), QStringLiteral("/usr")},
              {{QStringLiteral("DESTDIR"), QString::fromStdString(destdir.string())}});
  ASSERT_EQ(install.status, 0) << install.output;

  const fs::path usr = destdir / "usr";
  const fs::path share = usr / "share";
  for (const fs::path& file :
       {usr / "bin" / "reelcast", usr / "bin" / "reelcast-convert",
        share / "reelcast" / "language" / "English.ini",
        share / "reelcast" / "language" / "German.ini",
        share / "reelcast" / "language" / "CHS_utf-8.ini",
        share / "reelcast" / "help" / "Introduction.htm",
        share / "reelcast" / "help" / "Reelcast.htm", share / "man" / "man1" / "reelcast.1",
        share / "man" / "man1" / "reelcast-convert.1",
        share / "applications" / "com.tarnwick.Reelcast.desktop",
        share / "metainfo" / "com.tarnwick.Reelcast.metainfo.xml",
        share / "icons" / "hicolor" / "scalable" / "apps" / "reelcast.svg",
        share / "icons" / "hicolor" / "48x48" / "apps" / "reelcast.png",
        share / "icons" / "hicolor" / "256x256" / "apps" / "reelcast.png"})
    EXPECT_TRUE(fs::is_regular_file(file)) << file;
  EXPECT_FALSE(fs::exists(usr / "language")) << "nothing at the root of the prefix";
  EXPECT_FALSE(fs::exists(share / "reelcast" / "help" / "Reelcast.htm.in")) << "only what it makes";

  // The desktop's own validators accept what the desktop reads.
  const Outcome entry =
      Execute("desktop-file-validate",
              {QString::fromStdString(
                  (share / "applications" / "com.tarnwick.Reelcast.desktop").string())});
  EXPECT_EQ(entry.status, 0) << entry.output;
  EXPECT_EQ(entry.output, "") << "not even a hint";
  const Outcome metadata = Execute(
      "appstreamcli", {QStringLiteral("validate"), QStringLiteral("--no-net"),
                       QString::fromStdString(
                           (share / "metainfo" / "com.tarnwick.Reelcast.metainfo.xml").string())});
  // Nothing above a hint, but that a build without a home page on the web
  // (the default) names none, which AppStream 1.0 warns of.
  for (const QString& line : QString::fromStdString(metadata.output).split(u'\n')) {
    if ((line.startsWith(u"E:") || line.startsWith(u"W:")) &&
        !line.contains(u"url-homepage-missing"))
      ADD_FAILURE() << line.toStdString();
  }
  EXPECT_TRUE(QString::fromStdString(metadata.output).contains(u"Validation")) << metadata.output;

  ExpectOnlyReadableTypes(share / "applications" / "com.tarnwick.Reelcast.desktop");

  const Outcome version =
      Execute((usr / "bin" / "reelcast").string(), {QStringLiteral("--version")});
  EXPECT_EQ(version.status, 0) << version.output;
  EXPECT_EQ(version.output.rfind("reelcast ", 0), 0u) << version.output;

  ExpectPassed(RunAsInstalled(usr / "bin"));
}

TEST(Package, HoldsTheInstalledTreeNamesWhatItNeedsAndConvertsWhenExtracted) {
  const fs::path work = fs::path(test_support::HomeFolder()) / "package";
  const Outcome pack =
      Execute(REELCAST_CPACK_COMMAND,
              {QStringLiteral("--config"), QStringLiteral(REELCAST_BUILD_DIR "/CPackConfig.cmake"),
               QStringLiteral("-B"), QString::fromStdString(work.string())});
  ASSERT_EQ(pack.status, 0) << pack.output;
  fs::path deb;
  for (const auto& entry : fs::directory_iterator(work))
    if (entry.path().extension() == ".deb") deb = entry.path();
  ASSERT_FALSE(deb.empty()) << pack.output;

  const Outcome depends = Execute(
      "dpkg-deb",
      {QStringLiteral("-f"), QString::fromStdString(deb.string()), QStringLiteral("Depends")});
  ASSERT_EQ(depends.status, 0) << depends.output;
  for (const char* package :
       {"libqt6widgets6", "libqt6dbus6", "libgstreamer1.0-0", "libgstreamer-plugins-base1.0-0",
        "gstreamer1.0-plugins-good", "gstreamer1.0-plugins-bad", "gstreamer1.0-plugins-ugly",
        "gstreamer1.0-libav", "fonts-dejavu-core", "xdg-utils"})
    EXPECT_NE(depends.output.find(package), std::string::npos)
        << package << " in " << depends.output;

  const fs::path root = work / "root";
  const Outcome extract =
      Execute("dpkg", {QStringLiteral("-x"), QString::fromStdString(deb.string()),
                       QString::fromStdString(root.string())});
  ASSERT_EQ(extract.status, 0) << extract.output;
  const fs::path bin = root / "usr" / "bin";
  const Outcome version = Execute((bin / "reelcast").string(), {QStringLiteral("--version")});
  EXPECT_EQ(version.status, 0) << version.output;

  const std::string output = (work / "converted.wmv").string();
  const Outcome convert =
      Execute((bin / "reelcast-convert").string(),
              {QString::fromStdString(test_support::Clip(test_support::ClipKind::Mp4H264Aac)),
               QString::fromStdString(output)});
  ASSERT_EQ(convert.status, 0) << convert.output;
  const auto report = test_support::FfProbe(output);
  ASSERT_TRUE(report.ok) << report.error;
  EXPECT_EQ(report.First("video").codecName, "wmv2");
  EXPECT_NEAR(report.duration, 2.0, 0.2);

  ExpectPassed(RunAsInstalled(bin));
}

}  // namespace
