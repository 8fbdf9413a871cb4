#include "platform/dshow/filter_element.h"

namespace dshow {

GstElement* ElementOf(IUnknown* object) {
  if (!object) return nullptr;
  ComPtr<IFilterElement> backed;
  if (FAILED(object->QueryInterface(IFilterElement::kIid,
                                    reinterpret_cast<void**>(backed.ReleaseAndGetAddressOf()))))
    return nullptr;
  return backed->Element();
}

}  // namespace dshow
