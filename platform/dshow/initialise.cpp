#include "platform/dshow/initialise.h"

#include <gst/gst.h>

#include <chrono>
#include <cstdlib>

#include "platform/com/runtime.h"
#include "platform/dshow/capture_graph_builder.h"
#include "platform/dshow/device_enumerator.h"
#include "platform/dshow/filter_graph.h"
#include "platform/dshow/guids.h"
#include "platform/gst/pipeline/conversion_pipeline.h"
#include "platform/gst/pipeline/frame_memory.h"

namespace dshow {

namespace {

// A run stopped while its writer was still busy finishes on a thread of its
// own; the program waits for it a while when it ends, so the file is whole.
void FinishStoppedRuns() { gst::ConversionPipeline::WaitUntilShutDown(std::chrono::seconds(60)); }

}  // namespace

void Initialise() {
  gst::ConfigureFrameMemory();
  gst_init(nullptr, nullptr);
  static const bool registered = std::atexit(FinishStoppedRuns) == 0;
  (void)registered;
  CoRegisterClass(CLSID_FilterGraph, FactoryOf<FilterGraph>());
  CoRegisterClass(CLSID_SystemDeviceEnum, FactoryOf<SystemDeviceEnum>());
  CoRegisterClass(CLSID_CaptureGraphBuilder2, FactoryOf<CaptureGraphBuilder>());
}

}  // namespace dshow
