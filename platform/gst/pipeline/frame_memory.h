#pragma once
// How the process holds decoded frames, which are megabytes each (12 MB at
// 3840x2160). Left to itself the C library's allocator gives each streaming
// thread a heap of its own, and frames freed on one thread stay in its heap
// while the next ones are taken from another. The threads share two heaps
// (as many as the cores the conversion keeps busy).
//
// Frames stay in those heaps rather than being mapped and given back one by
// one: that would save 20 MB at 4K (5 %) and cost 10-15 % more CPU time at
// every size, the kernel clearing each frame's pages anew.

namespace gst {

// Call once, before the first pipeline runs.
void ConfigureFrameMemory();

}  // namespace gst
