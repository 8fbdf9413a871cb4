#include "platform/dshow/model_filters.h"

#include "platform/dshow/guids.h"
#include "platform/gst/encoders/encoder_defaults.h"

namespace dshow {

ComPtr<ModelFilter> MakeSourceFilter(SourceFileRole role) {
  auto filter = MakeCom<ModelFilter>(role);
  for (const StreamInfo& stream : role.streams) {
    std::string name = KindName(stream.kind);
    if (stream.indexInKind > 0) {
      name += ' ';
      name += std::to_string(stream.indexInKind + 1);
    }
    filter->AddPin(std::move(name), PINDIR_OUTPUT, stream.CompressedType());
  }
  return filter;
}

ComPtr<ModelFilter> MakeDecoderFilter(const StreamInfo& stream) {
  auto filter = MakeCom<ModelFilter>(DecoderRole{stream});
  filter->AddPin("In", PINDIR_INPUT, MediaType::Major(stream.MajorType()));
  filter->AddPin("Out", PINDIR_OUTPUT, stream.DecodedType());
  return filter;
}

ComPtr<ModelFilter> MakeRendererFilter(const StreamInfo& stream) {
  auto filter = MakeCom<ModelFilter>(RendererRole{stream});
  filter->AddPin("Input", PINDIR_INPUT, MediaType::Major(stream.MajorType()));
  return filter;
}

HRESULT MakeCompressorFilter(StreamKind kind, const std::string& factoryName,
                             ComPtr<IBaseFilter>& filter) {
  filter.Reset();
  gst::ElementPtr element = gst::MakeEncoder(factoryName);
  if (!element) return E_FAIL;
  auto compressor = MakeCom<ModelFilter>(CompressorRole{kind, factoryName, std::move(element)});
  compressor->AddPin("In", PINDIR_INPUT, MediaType::Major(MajorTypeOf(kind)));
  compressor->AddPin("Out", PINDIR_OUTPUT, MediaType::Major(MajorTypeOf(kind)));
  filter = compressor;
  return S_OK;
}

std::string DecoderName(const StreamInfo& stream) {
  if (!stream.decoder.empty()) return stream.decoder;
  std::string name = KindName(stream.kind);
  return name.append(" Decoder");
}

std::string RendererName(const StreamInfo& stream) {
  std::string name = KindName(stream.kind);
  return name.append(" Renderer");
}

}  // namespace dshow
