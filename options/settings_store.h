#pragma once
// Loading and storing the settings the program remembers between runs.

#include <optional>
#include <string>

#include "engine/output_settings.h"

namespace ui {
class Dialog;
}

// How stored compressor numbers become compressor instances: the default
// search of the compressor catalogue and the binding of an index.
class CompressorResolver {
 public:
  virtual ~CompressorResolver() = default;
  virtual std::optional<int> FindDefaultVideoCompressor() = 0;
  virtual std::optional<int> FindDefaultAudioCompressor() = 0;
  virtual void CreateVideoCompressor(int index) = 0;
  virtual void CreateAudioCompressor(int index) = 0;
};

// Fills `settings` from the stored values, adjusts the foreign DivX value
// and creates the compressor instances. `versionAtLeast6` tells whether the
// platform version could be read and is 6 or more (else the default output
// name does not use the Videos folder). Messages are owned by `owner`.
void LoadSettings(OutputSettings& settings, CompressorResolver& compressors, bool versionAtLeast6,
                  ui::Dialog* owner);

// The output name used when none is stored: "output.avi" in the Videos
// folder, or in the home folder when the Videos folder cannot be found.
std::string DefaultOutputName(bool versionAtLeast6, ui::Dialog* owner);

// What the options dialog's OK stores, written in this order.
struct StoredOutputSettings {
  int frameRateIndex;
  std::string frameRateText;
  std::string outputName;
  int outputWidth;
  int outputHeight;
  int videoCompressorNumber;
  int audioCompressorNumber;
  int videoBitrate;
  int audioBitrate;
  int outputFormat;
};
void StoreOutputSettings(const StoredOutputSettings& values);

// The stored output format id, as LoadSettings reads it.
int ReadOutputFormat();
std::string ReadLastSourceFolder();
void StoreLastSourceFolder(const std::string& folder);
std::string ReadCurrentLanguage();
void StoreCurrentLanguage(const std::string& name);
