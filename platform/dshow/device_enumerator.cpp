#include "platform/dshow/device_enumerator.h"

#include "platform/dshow/filter_element.h"
#include "platform/dshow/guids.h"
#include "platform/dshow/model_filters.h"
#include "platform/dshow/run_plan.h"
#include "platform/vfw/kept_configuration.h"

namespace dshow {

namespace {

class FriendlyNameBag : public com::Object<IPropertyBag> {
 public:
  explicit FriendlyNameBag(std::string friendlyName) : friendlyName_(std::move(friendlyName)) {}
  HRESULT Read(const std::string& name, std::string& value) override {
    if (name != "FriendlyName") return E_INVALIDARG;
    value = friendlyName_;
    return S_OK;
  }

 private:
  std::string friendlyName_;
};

}  // namespace

HRESULT SystemDeviceEnum::CreateClassEnumerator(const CLSID& category,
                                                ComPtr<IEnumMoniker>& monikers, std::uint32_t) {
  monikers.Reset();
  StreamKind kind;
  if (category == CLSID_VideoCompressorCategory) kind = StreamKind::Video;
  else if (category == CLSID_AudioCompressorCategory) kind = StreamKind::Audio;
  else return S_FALSE;

  std::vector<ComPtr<IMoniker>> entries;
  for (gst::EncoderEntry& entry : gst::ListEncoders(ToRunKind(kind)))
    entries.push_back(MakeCom<CompressorMoniker>(kind, std::move(entry)));
  if (entries.empty()) return S_FALSE;
  monikers = MakeCom<SnapshotEnumerator<IEnumMoniker, IMoniker>>(std::move(entries));
  return S_OK;
}

HRESULT CompressorMoniker::BindToObject(const IID& iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  ComPtr<IBaseFilter> filter;
  const HRESULT hr = MakeCompressorFilter(kind_, entry_.factoryName, filter);
  if (FAILED(hr)) return hr;
  // An encoder whose codec was configured in its own dialog keeps that
  // configuration.
  vfw::ApplyKeptConfiguration(ElementOf(filter.Get()));
  return filter->QueryInterface(iid, object);
}

HRESULT CompressorMoniker::BindToStorage(const IID& iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  return MakeCom<FriendlyNameBag>(entry_.longName)->QueryInterface(iid, object);
}

}  // namespace dshow
