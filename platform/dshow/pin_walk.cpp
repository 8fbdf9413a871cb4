#include "platform/dshow/pin_walk.h"

#include "platform/dshow/errors.h"

namespace dshow {

HRESULT FirstPin(IBaseFilter& filter, PIN_DIRECTION direction, ComPtr<IPin>& found) {
  ComPtr<IEnumPins> pins;
  HRESULT hr = filter.EnumPins(pins);
  if (FAILED(hr)) return hr;
  ComPtr<IPin> pin;
  while (pins->Next(pin) == S_OK) {
    PIN_DIRECTION pinDirection;
    if (SUCCEEDED(pin->QueryDirection(pinDirection)) && pinDirection == direction) {
      found = pin;
      return S_OK;
    }
  }
  return VFW_E_NOT_FOUND;
}

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter& filter, PIN_DIRECTION direction) {
  std::vector<ComPtr<IPin>> found;
  ComPtr<IEnumPins> pins;
  if (FAILED(filter.EnumPins(pins))) return found;
  ComPtr<IPin> pin;
  while (pins->Next(pin) == S_OK) {
    PIN_DIRECTION pinDirection;
    if (SUCCEEDED(pin->QueryDirection(pinDirection)) && pinDirection == direction)
      found.push_back(pin);
  }
  return found;
}

ComPtr<IBaseFilter> FilterOf(IPin& pin) {
  PIN_INFO info;
  if (FAILED(pin.QueryPinInfo(info))) return {};
  return info.pFilter;
}

ComPtr<IBaseFilter> PeerFilter(IPin& pin) {
  ComPtr<IPin> peer;
  if (FAILED(pin.ConnectedTo(peer)) || !peer) return {};
  return FilterOf(*peer);
}

ComPtr<IPin> FreeInputPin(IBaseFilter& filter, const GUID& majorType) {
  OwnedMediaType wanted;
  wanted.Get().majortype = majorType;
  for (const ComPtr<IPin>& pin : PinsOf(filter, PINDIR_INPUT)) {
    ComPtr<IPin> peer;
    if (FAILED(pin->ConnectedTo(peer)) && pin->QueryAccept(wanted.Get()) == S_OK) return pin;
  }
  return {};
}

bool IsInGraph(IBaseFilter& filter, IFilterGraph& graph) {
  FILTER_INFO info;
  if (FAILED(filter.QueryFilterInfo(info)) || !info.pGraph) return false;
  return SameObject(info.pGraph, ComPtr<IFilterGraph>::Borrow(&graph));
}

}  // namespace dshow
