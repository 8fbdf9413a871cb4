#include "platform/dshow/model_filter.h"

#include "platform/com/runtime.h"
#include "platform/dshow/errors.h"
#include "platform/gst/encoders/element_properties.h"

namespace dshow {

ModelPin::ModelPin(ModelFilter& owner, std::string name, PIN_DIRECTION direction, MediaType type)
    : owner_(owner), name_(std::move(name)), direction_(direction), type_(std::move(type)) {}

HRESULT ModelPin::QueryInterface(const IID& iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!com::InterfaceMatches<IPin>(iid)) return E_NOINTERFACE;
  *object = static_cast<IPin*>(this);
  AddRef();
  return S_OK;
}

ULONG ModelPin::AddRef() { return owner_.AddRef(); }
ULONG ModelPin::Release() { return owner_.Release(); }

HRESULT ModelPin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) {
  if (!receivePin) return E_POINTER;
  if (direction_ != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
  if (peer_) return VFW_E_ALREADY_CONNECTED;
  PIN_DIRECTION otherDirection = PINDIR_OUTPUT;
  if (FAILED(receivePin->QueryDirection(otherDirection)) || otherDirection != PINDIR_INPUT)
    return VFW_E_INVALID_DIRECTION;
  if (type && type->majortype != type_.majortype) return VFW_E_NO_ACCEPTABLE_TYPES;
  const MediaType proposed = type ? MediaType::From(*type) : type_;
  OwnedMediaType offered;
  proposed.CopyTo(offered.Get());
  const HRESULT hr = receivePin->ReceiveConnection(this, offered.Get());
  if (FAILED(hr)) return hr;
  peer_ = ComPtr<IPin>::Borrow(receivePin);
  connectionType_ = proposed;
  return S_OK;
}

HRESULT ModelPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE& type) {
  if (!connector) return E_POINTER;
  if (direction_ != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
  if (peer_) return VFW_E_ALREADY_CONNECTED;
  if (QueryAccept(type) != S_OK) return VFW_E_NO_ACCEPTABLE_TYPES;
  peer_ = ComPtr<IPin>::Borrow(connector);
  connectionType_ = MediaType::From(type);
  return S_OK;
}

HRESULT ModelPin::Disconnect() {
  if (!peer_) return S_FALSE;
  peer_.Reset();
  connectionType_ = {};
  return S_OK;
}

HRESULT ModelPin::ConnectedTo(ComPtr<IPin>& pin) {
  pin = peer_;
  return peer_ ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT ModelPin::ConnectionMediaType(AM_MEDIA_TYPE& type) {
  if (!peer_) {
    FreeMediaType(type);
    type = {};
    return VFW_E_NOT_CONNECTED;
  }
  connectionType_.CopyTo(type);
  return S_OK;
}

HRESULT ModelPin::QueryPinInfo(PIN_INFO& info) {
  info.pFilter = ComPtr<IBaseFilter>::Borrow(&owner_);
  info.dir = direction_;
  info.achName = name_;
  return S_OK;
}

HRESULT ModelPin::QueryDirection(PIN_DIRECTION& direction) {
  direction = direction_;
  return S_OK;
}

HRESULT ModelPin::QueryId(std::string& id) {
  id = name_;
  return S_OK;
}

HRESULT ModelPin::QueryAccept(const AM_MEDIA_TYPE& type) {
  const bool any = type_.majortype == GUID_NULL;
  return any || type.majortype == type_.majortype ? S_OK : S_FALSE;
}

ModelPin& ModelFilter::AddPin(std::string name, PIN_DIRECTION direction, MediaType type) {
  pins_.push_back(std::make_unique<ModelPin>(*this, std::move(name), direction, std::move(type)));
  return *pins_.back();
}

HRESULT ModelFilter::EnumPins(ComPtr<IEnumPins>& pins) {
  std::vector<ComPtr<IPin>> snapshot;
  for (const auto& pin : pins_) snapshot.push_back(ComPtr<IPin>::Borrow(pin.get()));
  pins = MakeCom<SnapshotEnumerator<IEnumPins, IPin>>(std::move(snapshot));
  return S_OK;
}

HRESULT ModelFilter::FindPin(const std::string& id, ComPtr<IPin>& pin) {
  pin.Reset();
  for (const auto& candidate : pins_) {
    std::string candidateId;
    candidate->QueryId(candidateId);
    if (candidateId == id) {
      pin = ComPtr<IPin>::Borrow(candidate.get());
      return S_OK;
    }
  }
  return VFW_E_NOT_FOUND;
}

HRESULT ModelFilter::QueryFilterInfo(FILTER_INFO& info) {
  info.achName = name_;
  info.pGraph = ComPtr<IFilterGraph>::Borrow(graph_);
  return S_OK;
}

HRESULT ModelFilter::JoinFilterGraph(IFilterGraph* graph, const std::string& name) {
  graph_ = graph;
  name_ = graph ? name : std::string();
  return S_OK;
}

HRESULT ModelFilter::QueryInterface(const IID& iid, void** object) {
  GstElement* element = Element();
  const bool refused = (iid == IFilterElement::kIid && !element) ||
                       (iid == ISpecifyPropertyPages::kIid && !gst::HasEditableProperties(element));
  if (refused) {
    if (object) *object = nullptr;
    return E_NOINTERFACE;
  }
  return Object::QueryInterface(iid, object);
}

GstElement* ModelFilter::Element() {
  // Any role that carries an element offers it.
  return std::visit(
      [](const auto& role) -> GstElement* {
        if constexpr (requires { role.element.get(); }) return role.element.get();
        else return nullptr;
      },
      role_);
}

HRESULT ModelFilter::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
  if (!pages->pElems) return E_OUTOFMEMORY;
  pages->pElems[0] = CLSID_ElementPropertyPage;
  pages->cElems = 1;
  return S_OK;
}

}  // namespace dshow
