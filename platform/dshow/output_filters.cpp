#include "platform/dshow/output_filters.h"

#include <cstdio>

#include "platform/dshow/guids.h"
#include "platform/dshow/pin_walk.h"

namespace dshow {

FileWriterFilter::FileWriterFilter(const std::string& path)
    : FileSinkFilter<FileWriterRole>(FileWriterRole{{path, 0}}) {
  AddPin("In", PINDIR_INPUT, MediaType::Major(MEDIATYPE_Stream));
}

MultiplexerFilter::MultiplexerFilter(MultiplexerRole role)
    : ModelFilterWith<IConfigInterleaving>(std::move(role)) {
  AddPin("Output", PINDIR_OUTPUT, MediaType::Major(MEDIATYPE_Stream));
}

HRESULT MultiplexerFilter::put_Mode(InterleavingMode mode) {
  if (mode < INTERLEAVE_NONE || mode > INTERLEAVE_NONE_BUFFERED) return E_INVALIDARG;
  mode_ = mode;
  return S_OK;
}

HRESULT MultiplexerFilter::get_Mode(InterleavingMode& mode) {
  mode = mode_;
  return S_OK;
}

ComPtr<IPin> MultiplexerFilter::FreeInput() {
  if (ComPtr<IPin> free = FreeInputPin(*this, GUID_NULL)) return free;
  char name[32];
  std::snprintf(name, sizeof name, "Input %02d", ++inputs_);
  return ComPtr<IPin>::Borrow(&AddPin(name, PINDIR_INPUT, MediaType{}));
}

HRESULT MakeMultiplexer(const std::string& factoryName, ComPtr<MultiplexerFilter>& filter) {
  filter.Reset();
  GstElement* created = gst_element_factory_make(factoryName.c_str(), nullptr);
  if (!created) return REGDB_E_CLASSNOTREG;
  gst::ElementPtr element(GST_ELEMENT(gst_object_ref_sink(created)));
  filter = MakeCom<MultiplexerFilter>(MultiplexerRole{factoryName, std::move(element)});
  return S_OK;
}

}  // namespace dshow
