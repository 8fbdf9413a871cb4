#pragma once
// Shows ThreadSanitizer the order that libraries not built for it (GLib,
// GStreamer, Qt's event queue) give between threads. What orders our state across threads
// (the thread pool that starts a pipeline's streaming threads and joins them
// at shutdown, the pads' stream locks that take one thread's data to the
// next) is invisible to it, and state set up before a pipeline plays, read
// back after it stopped or handed from one streaming thread to the next
// would look raced. Each such piece of state is named by one address: its
// owner releases it before the pipeline plays and acquires it once the
// pipeline is shut down, and every callback on a streaming thread acquires
// it on entry and releases it on exit. Callbacks that really run at once
// still race in its eyes. In any other build these are nothing.

#if defined(__SANITIZE_THREAD__)
#define REELCAST_THREAD_ORDER_SHOWN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define REELCAST_THREAD_ORDER_SHOWN 1
#endif
#endif

#ifdef REELCAST_THREAD_ORDER_SHOWN
#include <sanitizer/tsan_interface.h>
#endif

namespace threads {

#ifdef REELCAST_THREAD_ORDER_SHOWN
inline constexpr bool kThreadOrderShown = true;
inline void ReleaseState(const void* state) {
  if (state) __tsan_release(const_cast<void*>(state));
}
inline void AcquireState(const void* state) {
  if (state) __tsan_acquire(const_cast<void*>(state));
}
#else
inline constexpr bool kThreadOrderShown = false;
inline void ReleaseState(const void*) {}
inline void AcquireState(const void*) {}
#endif

// One callback on a streaming thread: what the threads before it did to the
// state is seen before it, what it does is seen after it.
class StateVisit {
 public:
  explicit StateVisit(const void* state) : state_(state) { AcquireState(state_); }
  ~StateVisit() { ReleaseState(state_); }
  StateVisit(const StateVisit&) = delete;
  StateVisit& operator=(const StateVisit&) = delete;

 private:
  const void* state_;
};

}  // namespace threads
