#pragma once
// A model filter that answers interfaces of its own (writer settings)
// beside those every filter of the model answers, with one identity and one
// reference count.

#include "platform/dshow/model_filter.h"

namespace dshow {

template <typename... Extra>
class ModelFilterWith : public ModelFilter, public Extra... {
 public:
  using ModelFilter::ModelFilter;

  HRESULT QueryInterface(const IID& iid, void** object) override {
    return ModelFilter::QueryInterface(iid, object);
  }
  ULONG AddRef() override { return ModelFilter::AddRef(); }
  ULONG Release() override { return ModelFilter::Release(); }

 protected:
  void* QueryExtra(const IID& iid) override {
    void* found = nullptr;
    ((found = found ? found : Match<Extra>(iid)), ...);
    return found ? found : ModelFilter::QueryExtra(iid);
  }

 private:
  template <typename I>
  void* Match(const IID& iid) {
    return com::InterfaceMatches<I>(iid) ? static_cast<I*>(this) : nullptr;
  }
};

}  // namespace dshow
