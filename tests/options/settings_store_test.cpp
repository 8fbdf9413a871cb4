#include "options/settings_store.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <vector>

#include "platform/profile/app_profile.h"
#include "platform/ui/application.h"
#include "tests/support/scripted_modal_ui.h"
#include "tests/support/test_environment.h"

namespace {

using test_support::ScriptedUi;

// A catalogue whose answers and bindings a test chooses and records.
class FakeCatalogue : public CompressorResolver {
 public:
  std::optional<int> videoDefault, audioDefault;
  int defaultQueries = 0;
  std::vector<int> videoBound, audioBound;

  std::optional<int> FindDefaultVideoCompressor() override {
    ++defaultQueries;
    return videoDefault;
  }
  std::optional<int> FindDefaultAudioCompressor() override {
    ++defaultQueries;
    return audioDefault;
  }
  void CreateVideoCompressor(int index) override { videoBound.push_back(index); }
  void CreateAudioCompressor(int index) override { audioBound.push_back(index); }
};

class TestApp : public ui::Application {
 public:
  bool InitInstance() override { return false; }
};

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::ResetSettings();
    app.SetRegistryKey("TARNWICK");
  }
  OutputSettings Load(FakeCatalogue& catalogue) {
    OutputSettings settings;
    LoadSettings(settings, catalogue, true, nullptr);
    return settings;
  }
  // Writes a value straight into the settings file, as another program or
  // a hand edit would.
  void Store(const QString& key, const QVariant& value) {
    QSettings file(QStringLiteral("TARNWICK"), QCoreApplication::applicationName());
    file.setValue(key, value);
  }

  TestApp app;
  ScriptedUi ui;
};

TEST_F(SettingsStore, AFreshUserReadsEveryDefaultAndNothingIsWritten) {
  FakeCatalogue catalogue;
  catalogue.videoDefault = 3;
  const OutputSettings s = Load(catalogue);
  EXPECT_EQ(s.outputFormat, 1);
  EXPECT_EQ(s.outputPath, test_support::HomeFolder() + "/Videos/output.wmv");
  EXPECT_EQ(s.outputWidth, 0);
  EXPECT_EQ(s.outputHeight, 0);
  EXPECT_EQ(s.videoBitrate, 798720);
  EXPECT_EQ(s.audioBitrate, 128000);
  EXPECT_EQ(s.useFileProfile, 0);
  // Never chosen: the catalogue's defaults apply.
  EXPECT_EQ(s.videoCompressorIndex, 3);
  EXPECT_EQ(s.videoCompressionOn, 1);
  EXPECT_EQ(catalogue.videoBound, std::vector<int>{3});
  EXPECT_EQ(s.audioCompressorIndex, -1);
  EXPECT_EQ(s.audioCompressionOn, 0);
  EXPECT_TRUE(catalogue.audioBound.empty());
  // The frame rate is never loaded.
  EXPECT_DOUBLE_EQ(s.frameRate, 23.976);
  EXPECT_EQ(s.frameRateChoice, 1);
  EXPECT_EQ(s.resizeMode, 2);
  EXPECT_TRUE(ui->shown.empty());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(test_support::SettingsFilePath())));
}

TEST_F(SettingsStore, StoredNameGetsTheExtensionOfTheStoredFormat) {
  Store(QStringLiteral("Settings/OutputName"), QStringLiteral("/clips/holiday.avi"));
  Store(QStringLiteral("Settings/nOuptputFormat"), 1);
  FakeCatalogue catalogue;
  EXPECT_EQ(Load(catalogue).outputPath, "/clips/holiday.wmv");

  Store(QStringLiteral("Settings/OutputName"), QStringLiteral("/clips/holiday"));
  Store(QStringLiteral("Settings/nOuptputFormat"), 3);
  EXPECT_EQ(Load(catalogue).outputPath, "/clips/holiday.asf");
}

TEST_F(SettingsStore, CompressorNumbersMinusOneAndAnIndex) {
  Store(QStringLiteral("DexVideoCompress/CompressorNumber"), -1);
  Store(QStringLiteral("DexAudioCompress/CompressorNumber"), 4);
  FakeCatalogue catalogue;
  const OutputSettings s = Load(catalogue);
  EXPECT_EQ(s.videoCompressionOn, 0);
  EXPECT_EQ(s.videoCompressorIndex, -1);
  EXPECT_TRUE(catalogue.videoBound.empty());
  EXPECT_EQ(s.audioCompressionOn, 1);
  EXPECT_EQ(s.audioCompressorIndex, 4);
  EXPECT_EQ(catalogue.audioBound, std::vector<int>{4});
  EXPECT_EQ(catalogue.defaultQueries, 0) << "no catalogue search unless never chosen";
}

TEST_F(SettingsStore, StoredFrameRateKeysAreNeverRead) {
  Store(QStringLiteral("Settings/OutputFrameRateIndex"), 3);
  Store(QStringLiteral("Settings/OutputFrameRate"), QStringLiteral("25"));
  FakeCatalogue catalogue;
  const OutputSettings s = Load(catalogue);
  EXPECT_EQ(s.frameRateChoice, 1);
  EXPECT_DOUBLE_EQ(s.frameRate, 23.976);
}

TEST_F(SettingsStore, NamesMatchWithoutRegardToCase) {
  Store(QStringLiteral("settings/NOUPTPUTFORMAT"), 0);
  Store(QStringLiteral("SETTINGS/outputwidth"), 640);
  FakeCatalogue catalogue;
  const OutputSettings s = Load(catalogue);
  EXPECT_EQ(s.outputFormat, 0);
  EXPECT_EQ(s.outputWidth, 640);
  // A write finds the stored spelling instead of adding a second value.
  profile::WriteProfileInt("Settings", "OutputWidth", 320);
  EXPECT_EQ(profile::GetProfileInt("sEttings", "OUTPUTWIDTH", 0), 320);
  QSettings file(QStringLiteral("TARNWICK"), QCoreApplication::applicationName());
  EXPECT_FALSE(file.contains(QStringLiteral("Settings/OutputWidth")));
}

TEST_F(SettingsStore, StrangeStoredValuesReadAsDefaultsOrAsTheRegistryWould) {
  Store(QStringLiteral("Settings/nOuptputFormat"), QStringLiteral("wmv please"));
  Store(QStringLiteral("Settings/n_video_bitrate"), QStringLiteral("12.5"));
  Store(QStringLiteral("Settings/n_audio_bitrate"), QStringLiteral("99999999999"));
  Store(QStringLiteral("Settings/OutputWidth"), QStringLiteral("4294967295"));
  Store(QStringLiteral("Settings/OutputHigh"), QStringLiteral("-16"));
  FakeCatalogue catalogue;
  const OutputSettings s = Load(catalogue);
  EXPECT_EQ(s.outputFormat, 1);
  EXPECT_EQ(s.videoBitrate, 798720);
  EXPECT_EQ(s.audioBitrate, 128000);
  EXPECT_EQ(s.outputWidth, -1) << "a stored 0xFFFFFFFF reads back as -1";
  EXPECT_EQ(s.outputHeight, -16);
  EXPECT_TRUE(ui->shown.empty());
}

TEST_F(SettingsStore, AnUnsupportedStoredFormatIsReportedAndLeavesNoPath) {
  Store(QStringLiteral("Settings/nOuptputFormat"), 9);
  FakeCatalogue catalogue;
  const OutputSettings s = Load(catalogue);
  EXPECT_EQ(s.outputPath, "");
  EXPECT_EQ(ui->MessageTexts(), std::vector<std::string>{"Does not support the video format"});
}

TEST_F(SettingsStore, AStoredNameTooLongIsRefusedAndTheDefaultTakesItsPlace) {
  Store(QStringLiteral("Settings/OutputName"), QString(300, QLatin1Char('n')));
  FakeCatalogue catalogue;
  const OutputSettings s = Load(catalogue);
  EXPECT_EQ(s.outputPath, test_support::HomeFolder() + "/Videos/output.wmv");
  ASSERT_EQ(ui->shown.size(), 1u);
  EXPECT_NE(ui->shown[0].text.find("too long"), std::string::npos);
}

TEST_F(SettingsStore, OutputSettingsAreStoredInOrderAsTypedValues) {
  StoreOutputSettings({-1, "23.976", "/v/a.wmv", 632, 472, -1, 2, 798720, 64000, 1});
  EXPECT_EQ(profile::GetProfileInt("Settings", "OutputFrameRateIndex", 0), -1);
  EXPECT_EQ(profile::GetProfileString("Settings", "OutputFrameRate", ""), "23.976");
  EXPECT_EQ(profile::GetProfileString("Settings", "OutputName", ""), "/v/a.wmv");
  EXPECT_EQ(profile::GetProfileInt("Settings", "OutputHigh", 0), 472);
  EXPECT_EQ(profile::GetProfileInt("DexVideoCompress", "CompressorNumber", 0), -1);
  EXPECT_EQ(profile::GetProfileInt("DexAudioCompress", "CompressorNumber", 0), 2);
  EXPECT_EQ(profile::GetProfileInt("Settings", "nOuptputFormat", 0), 1);
  // A name that looks like a number stays a string.
  profile::WriteProfileString("Option", "LastPhotoFolder", "42");
  EXPECT_EQ(ReadLastSourceFolder(), "42");
}

TEST_F(SettingsStore, TheForeignDivXValueIsAdjustedOnlyWhenItExists) {
  const QString org = QStringLiteral("DivXNetworks"), appName = QStringLiteral("DivX4Windows");
  FakeCatalogue catalogue;
  Load(catalogue);
  EXPECT_FALSE(QSettings(org, appName).contains(QStringLiteral("Disable feedback")))
      << "the value is never created";

  QSettings(org, appName).setValue(QStringLiteral("Disable feedback"), 0);
  Load(catalogue);
  EXPECT_EQ(QSettings(org, appName).value(QStringLiteral("Disable feedback")).toInt(), 1);

  QSettings(org, appName).setValue(QStringLiteral("Disable feedback"), 0x200);
  Load(catalogue);
  EXPECT_EQ(QSettings(org, appName).value(QStringLiteral("Disable feedback")).toInt(), 0x201);
}

TEST_F(SettingsStore, WithoutAVersionTheHomeFolderIsTheDefault) {
  EXPECT_EQ(DefaultOutputName(false, nullptr), test_support::HomeFolder() + "/output.avi");
  EXPECT_EQ(DefaultOutputName(true, nullptr), test_support::HomeFolder() + "/Videos/output.avi");
}

}  // namespace
