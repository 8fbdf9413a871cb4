#pragma once
// The catalogue of installed compressors: the entries of the video and audio
// compressor categories, listed by display name, searched for the default
// compressor and bound by position. The category is enumerated anew for
// every call, so that listing, searching and binding use one order.

#include <optional>
#include <string>
#include <vector>

#include "platform/dshow/graph_interfaces.h"

enum class CompressorKind { Video, Audio };

// Display names in catalogue order.
std::vector<std::string> ListCompressors(CompressorKind kind);

// The index of the first entry whose name, with only its letters A to Z
// lowered, contains "ffdshow video encoder" (video) or "microsoft adpcm"
// (audio).
std::optional<int> FindDefaultVideoCompressor();
std::optional<int> FindDefaultAudioCompressor();

// Binds the entry at `index` into *filterOut (emptied first); nothing is
// bound for a negative index or one beyond the catalogue.
void GetCompressor(int index, ComPtr<IBaseFilter>* filterOut);
void GetAudioCompressor(int index, ComPtr<IBaseFilter>* filterOut);
