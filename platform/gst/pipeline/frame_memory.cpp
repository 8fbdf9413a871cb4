#include "platform/gst/pipeline/frame_memory.h"

#include <malloc.h>

namespace gst {

void ConfigureFrameMemory() { mallopt(M_ARENA_MAX, 2); }

}  // namespace gst
