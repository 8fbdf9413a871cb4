#include "platform/dshow/initialise.h"

#include <gst/gst.h>

#include "platform/com/runtime.h"
#include "platform/dshow/device_enumerator.h"
#include "platform/dshow/filter_graph.h"
#include "platform/dshow/guids.h"

namespace dshow {

void Initialise() {
  gst_init(nullptr, nullptr);
  CoRegisterClass(CLSID_FilterGraph, FactoryOf<FilterGraph>());
  CoRegisterClass(CLSID_SystemDeviceEnum, FactoryOf<SystemDeviceEnum>());
}

}  // namespace dshow
