#include "options/settings_store.h"

#include "options/output_formats.h"
#include "options/settings_keys.h"
#include "platform/profile/app_profile.h"
#include "platform/shell/shell.h"
#include "platform/ui/message_boxes.h"

namespace {

using profile::GetProfileInt;
using profile::GetProfileString;
using profile::WriteProfileInt;
using profile::WriteProfileString;

constexpr const char* kDefaultFileName = "output.avi";

using SettingsMember = std::int32_t OutputSettings::*;

struct CompressorKind {
  const char* section;
  SettingsMember index;
  SettingsMember used;
  std::optional<int> (CompressorResolver::*findDefault)();
  void (CompressorResolver::*create)(int);
};

// A stored compressor number becomes an index and a compression flag:
// -2 (never chosen) takes the catalogue's default, -1 means none.
void ResolveCompressor(OutputSettings& settings, CompressorResolver& compressors,
                       const CompressorKind& kind) {
  const int stored = GetProfileInt(kind.section, kKeyCompressorNumber, kCompressorNeverChosen);
  if (stored == kCompressorNeverChosen) {
    if (auto found = (compressors.*kind.findDefault)()) {
      settings.*kind.index = *found;
      (compressors.*kind.create)(*found);
    } else {
      settings.*kind.used = 0;
      settings.*kind.index = kNoCompressor;
    }
  } else if (stored == kNoCompressor) {
    settings.*kind.used = 0;
    settings.*kind.index = kNoCompressor;
  } else {
    settings.*kind.used = 1;
    settings.*kind.index = stored;
    (compressors.*kind.create)(stored);
  }
}

}  // namespace

std::string DefaultOutputName(bool versionAtLeast6, ui::Dialog* owner) {
  const std::string fallback = shell::HomeFolder() + "/" + kDefaultFileName;
  if (!versionAtLeast6) return fallback;
  const auto videos = shell::VideosFolder();
  if (!videos) {
    ui::OwnedMessageBox(owner, "Can not get My Video directory!", "Error");
    return fallback;
  }
  return *videos + "/" + kDefaultFileName;
}

void LoadSettings(OutputSettings& settings, CompressorResolver& compressors, bool versionAtLeast6,
                  ui::Dialog* owner) {
  settings.outputFormat = ReadOutputFormat();
  profile::AdjustForeignDivXValue();

  ResolveCompressor(
      settings, compressors,
      {kSectionVideoCompressor, &OutputSettings::videoCompressorIndex,
       &OutputSettings::videoCompressionOn, &CompressorResolver::FindDefaultVideoCompressor,
       &CompressorResolver::CreateVideoCompressor});
  ResolveCompressor(
      settings, compressors,
      {kSectionAudioCompressor, &OutputSettings::audioCompressorIndex,
       &OutputSettings::audioCompressionOn, &CompressorResolver::FindDefaultAudioCompressor,
       &CompressorResolver::CreateAudioCompressor});

  const std::string defaultName = DefaultOutputName(versionAtLeast6, owner);
  const std::string name = GetProfileString(kSectionSettings, kKeyOutputName, defaultName);
  if (auto path = ApplyExtensionRule(settings.outputFormat, name)) {
    settings.outputPath = *path;
  } else if (FindOutputFormat(settings.outputFormat) && name != defaultName) {
    // A stored name too long for the system's buffers was refused; the
    // default name takes its place rather than an empty path.
    settings.outputPath = ApplyExtensionRule(settings.outputFormat, defaultName).value_or("");
  }

  settings.outputWidth = GetProfileInt(kSectionSettings, kKeyOutputWidth, 0);
  settings.outputHeight = GetProfileInt(kSectionSettings, kKeyOutputHeight, 0);
  settings.videoBitrate = GetProfileInt(kSectionSettings, kKeyVideoBitrate, kDefaultVideoBitrate);
  settings.audioBitrate = GetProfileInt(kSectionSettings, kKeyAudioBitrate, kDefaultAudioBitrate);
  settings.useFileProfile = GetProfileInt(kSectionSettings, kKeyFileProfile, 0);
}

void StoreOutputSettings(const StoredOutputSettings& v) {
  WriteProfileInt(kSectionSettings, kKeyFrameRateIndex, v.frameRateIndex);
  WriteProfileString(kSectionSettings, kKeyFrameRate, v.frameRateText);
  WriteProfileString(kSectionSettings, kKeyOutputName, v.outputName);
  WriteProfileInt(kSectionSettings, kKeyOutputWidth, v.outputWidth);
  WriteProfileInt(kSectionSettings, kKeyOutputHeight, v.outputHeight);
  WriteProfileInt(kSectionVideoCompressor, kKeyCompressorNumber, v.videoCompressorNumber);
  WriteProfileInt(kSectionAudioCompressor, kKeyCompressorNumber, v.audioCompressorNumber);
  WriteProfileInt(kSectionSettings, kKeyVideoBitrate, v.videoBitrate);
  WriteProfileInt(kSectionSettings, kKeyAudioBitrate, v.audioBitrate);
  WriteProfileInt(kSectionSettings, kKeyOutputFormat, v.outputFormat);
}

int ReadOutputFormat() {
  return GetProfileInt(kSectionSettings, kKeyOutputFormat, kDefaultOutputFormat);
}

std::string ReadLastSourceFolder() {
  return GetProfileString(kSectionOption, kKeyLastSourceFolder, "");
}

void StoreLastSourceFolder(const std::string& folder) {
  WriteProfileString(kSectionOption, kKeyLastSourceFolder, folder);
}

std::string ReadCurrentLanguage() {
  return GetProfileString(kSectionOption, kKeyCurrentLanguage, "english");
}

void StoreCurrentLanguage(const std::string& name) {
  WriteProfileString(kSectionOption, kKeyCurrentLanguage, name);
}
