#include "platform/gst/frame_memory.h"

#include <malloc.h>

namespace gst {

void ConfigureFrameMemory() {
  // A fixed threshold also keeps the allocator from raising it.
  mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
  mallopt(M_ARENA_MAX, 2);
}

}  // namespace gst
