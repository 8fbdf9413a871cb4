#include "platform/dshow/filter_role.h"

#include "platform/dshow/graph_interfaces.h"

namespace dshow {

const FilterRole* RoleOf(IBaseFilter& filter) {
  ComPtr<IModelFilter> model;
  if (FAILED(ComPtr<IBaseFilter>::Borrow(&filter).As(model))) return nullptr;
  // The filter outlives this call: the caller holds it.
  return &model->Role();
}

}  // namespace dshow
