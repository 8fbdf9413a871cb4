#pragma once
// Stored compressor numbers resolved through the installed compressor
// catalogue into the engine's compressor instances.

#include "options/settings_store.h"

struct GraphContext;

class CatalogueResolver : public CompressorResolver {
 public:
  explicit CatalogueResolver(GraphContext& context) : context_(context) {}
  std::optional<int> FindDefaultVideoCompressor() override;
  std::optional<int> FindDefaultAudioCompressor() override;
  void CreateVideoCompressor(int index) override;
  void CreateAudioCompressor(int index) override;

 private:
  GraphContext& context_;
};
