#pragma once
// How the process holds decoded frames, which are megabytes each (12 MB at
// 3840x2160). Left to itself the C library's allocator serves a freed large
// block's size from its heaps from then on, one heap per streaming thread,
// and frames freed on one thread stay in its heap while the next ones are
// taken from another: a 4K conversion peaked 80 MB above the frames it
// held. Blocks of a megabyte or more are mapped and given back one by one,
// and the threads share two heaps (as many as the cores the conversion
// keeps busy).

namespace gst {

// Call once, before the first pipeline runs.
void ConfigureFrameMemory();

}  // namespace gst
