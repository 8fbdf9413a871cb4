#pragma once
// The graph's event queue: filled from any thread (the streaming threads),
// drained on the user-interface thread. Each queued event posts the
// notification message to the window given, if any.

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/dshow/control_interfaces.h"

namespace dshow {

class EventQueue {
 public:
  // Thread-safe.
  void Post(long eventCode, LONG_PTR param1, LONG_PTR param2);
  // Waits up to msTimeout (negative: without limit); E_ABORT when empty.
  HRESULT Take(long& eventCode, LONG_PTR& param1, LONG_PTR& param2, long msTimeout);
  void SetNotifyWindow(ui::WindowPort window, UINT message, LONG_PTR instanceData);
  // Drops the events not yet taken.
  void Clear();

 private:
  struct Event {
    long code;
    LONG_PTR param1;
    LONG_PTR param2;
  };
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Event> events_;
  ui::WindowPort window_;
  UINT message_ = 0;
  LONG_PTR instanceData_ = 0;
};

}  // namespace dshow
