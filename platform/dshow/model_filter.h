#pragma once
// The filters and pins of the graph model. A pin lives inside its filter and
// shares the filter's reference count; a connected pin holds a reference to
// its peer, which the graph breaks when it removes a filter or goes away.

#include <memory>
#include <string>
#include <vector>

#include "platform/dshow/filter_element.h"
#include "platform/dshow/filter_role.h"
#include "platform/dshow/graph_interfaces.h"
#include "platform/dshow/property_pages.h"

namespace dshow {

class ModelFilter;

class ModelPin final : public IPin {
 public:
  // An output pin offers `type`; an input pin accepts any type of the major
  // type of `type`.
  ModelPin(ModelFilter& owner, std::string name, PIN_DIRECTION direction, MediaType type);
  ModelPin(const ModelPin&) = delete;
  ModelPin& operator=(const ModelPin&) = delete;
  ~ModelPin() = default;

  HRESULT QueryInterface(const IID& iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
  HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE& type) override;
  HRESULT Disconnect() override;
  HRESULT ConnectedTo(ComPtr<IPin>& pin) override;
  HRESULT ConnectionMediaType(AM_MEDIA_TYPE& type) override;
  HRESULT QueryPinInfo(PIN_INFO& info) override;
  HRESULT QueryDirection(PIN_DIRECTION& direction) override;
  HRESULT QueryId(std::string& id) override;
  HRESULT QueryAccept(const AM_MEDIA_TYPE& type) override;

 private:
  ModelFilter& owner_;
  std::string name_;
  PIN_DIRECTION direction_;
  MediaType type_;
  ComPtr<IPin> peer_;
  MediaType connectionType_;
};

// A filter whose role holds an element answers IFilterElement, and
// ISpecifyPropertyPages too when that element has settings a user can edit.
class ModelFilter
    : public com::Object<IBaseFilter, IModelFilter, IFilterElement, ISpecifyPropertyPages> {
 public:
  explicit ModelFilter(FilterRole role) : role_(std::move(role)) {}

  HRESULT QueryInterface(const IID& iid, void** object) override;

  ModelPin& AddPin(std::string name, PIN_DIRECTION direction, MediaType type);

  HRESULT EnumPins(ComPtr<IEnumPins>& pins) override;
  HRESULT FindPin(const std::string& id, ComPtr<IPin>& pin) override;
  HRESULT QueryFilterInfo(FILTER_INFO& info) override;
  HRESULT JoinFilterGraph(IFilterGraph* graph, const std::string& name) override;

  const FilterRole& Role() const override { return role_; }

  GstElement* Element() override;
  HRESULT GetPages(CAUUID* pages) override;

 protected:
  // For filters whose settings change what they stand for (a writer's file
  // name, the Windows Media writer's streams).
  FilterRole& MutableRole() { return role_; }

 private:
  FilterRole role_;
  std::vector<std::unique_ptr<ModelPin>> pins_;
  IFilterGraph* graph_ = nullptr;  // not referenced: the graph owns the filter
  std::string name_;
};

}  // namespace dshow
