#pragma once
// The kinds of filter the stand-in makes, with their pins.

#include <string>

#include "platform/dshow/model_filter.h"

namespace dshow {

// The source of a file: one output pin per stream, offering the stream as
// found in the file ("Video", "Audio", "Audio 2", ...).
ComPtr<ModelFilter> MakeSourceFilter(SourceFileRole role);

// Decodes one stream: input "In", output "Out" offering the decoded stream.
ComPtr<ModelFilter> MakeDecoderFilter(const StreamInfo& stream);

// Plays one decoded stream: one input pin "Input", no output pin.
ComPtr<ModelFilter> MakeRendererFilter(const StreamInfo& stream);

// A compressor around a new element of the encoder factory: input "In",
// output "Out". Fails with E_FAIL when the element cannot be made.
HRESULT MakeCompressorFilter(StreamKind kind, const std::string& factoryName,
                             ComPtr<IBaseFilter>& filter);

// The name a decoder or renderer of the stream gets in a graph.
std::string DecoderName(const StreamInfo& stream);
std::string RendererName(const StreamInfo& stream);

}  // namespace dshow
