#include "app/window/catalogue_resolver.h"

#include "engine/compressor_catalogue.h"
#include "engine/graph_context.h"

std::optional<int> CatalogueResolver::FindDefaultVideoCompressor() {
  return ::FindDefaultVideoCompressor();
}

std::optional<int> CatalogueResolver::FindDefaultAudioCompressor() {
  return ::FindDefaultAudioCompressor();
}

void CatalogueResolver::CreateVideoCompressor(int index) {
  GetCompressor(index, &context_.videoCompressor);
}

void CatalogueResolver::CreateAudioCompressor(int index) {
  GetAudioCompressor(index, &context_.audioCompressor);
}
