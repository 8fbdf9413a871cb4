#pragma once
// The system device enumerator over the encoder catalogue: one moniker per
// encoder of the category, in catalogue order.

#include "platform/dshow/device_interfaces.h"
#include "platform/dshow/stream_info.h"
#include "platform/gst/encoders/encoder_catalogue.h"

namespace dshow {

class SystemDeviceEnum : public com::Object<ICreateDevEnum> {
 public:
  HRESULT CreateClassEnumerator(const CLSID& category, ComPtr<IEnumMoniker>& monikers,
                                std::uint32_t flags) override;
};

// A compressor of the catalogue: its property bag gives "FriendlyName";
// binding makes a compressor filter around a new element.
class CompressorMoniker : public com::Object<IMoniker> {
 public:
  CompressorMoniker(StreamKind kind, gst::EncoderEntry entry)
      : kind_(kind), entry_(std::move(entry)) {}
  HRESULT BindToObject(const IID& iid, void** object) override;
  HRESULT BindToStorage(const IID& iid, void** object) override;

 private:
  StreamKind kind_;
  gst::EncoderEntry entry_;
};

}  // namespace dshow
