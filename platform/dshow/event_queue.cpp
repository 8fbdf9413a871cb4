#include "platform/dshow/event_queue.h"

#include <chrono>

namespace dshow {

void EventQueue::Post(long eventCode, LONG_PTR param1, LONG_PTR param2) {
  ui::WindowPort window;
  UINT message = 0;
  LONG_PTR instanceData = 0;
  {
    std::lock_guard lock(mutex_);
    events_.push_back({eventCode, param1, param2});
    window = window_;
    message = message_;
    instanceData = instanceData_;
  }
  arrived_.notify_all();
  // Posted outside the lock: the port takes its own lock and may deliver
  // at once.
  if (window) window->Post(message, 0, instanceData);
}

HRESULT EventQueue::Take(long& eventCode, LONG_PTR& param1, LONG_PTR& param2, long msTimeout) {
  std::unique_lock lock(mutex_);
  const auto ready = [this] { return !events_.empty(); };
  if (msTimeout < 0) arrived_.wait(lock, ready);
  else if (!arrived_.wait_for(lock, std::chrono::milliseconds(msTimeout), ready)) return E_ABORT;
  const Event event = events_.front();
  events_.pop_front();
  eventCode = event.code;
  param1 = event.param1;
  param2 = event.param2;
  return S_OK;
}

void EventQueue::Clear() {
  std::lock_guard lock(mutex_);
  events_.clear();
}

void EventQueue::SetNotifyWindow(ui::WindowPort window, UINT message, LONG_PTR instanceData) {
  std::lock_guard lock(mutex_);
  window_ = std::move(window);
  message_ = message;
  instanceData_ = instanceData;
}

}  // namespace dshow
