#include "platform/dshow/event_queue.h"

#include <algorithm>
#include <atomic>
#include <chrono>

namespace dshow {

RunGeneration NextRunGeneration() {
  static std::atomic<RunGeneration> last{0};
  return ++last;
}

void EventQueue::Open(RunGeneration generation) {
  std::lock_guard lock(mutex_);
  current_ = generation;
  open_ = true;
  std::erase_if(events_, [generation](const Event& e) { return e.generation != generation; });
}

void EventQueue::Close() {
  std::lock_guard lock(mutex_);
  open_ = false;
}

void EventQueue::Post(RunGeneration generation, long eventCode, LONG_PTR param1, LONG_PTR param2) {
  ui::WindowPort window;
  UINT message = 0;
  LONG_PTR instanceData = 0;
  {
    std::lock_guard lock(mutex_);
    // An event of a run that was stopped, or of an earlier one.
    if (!open_ || generation != current_) return;
    events_.push_back({generation, eventCode, param1, param2});
    window = window_;
    message = message_;
    instanceData = instanceData_;
  }
  arrived_.notify_all();
  if (window) window->Post(message, static_cast<WPARAM>(generation), instanceData);
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

void EventQueue::SetNotifyWindow(ui::WindowPort window, UINT message, LONG_PTR instanceData) {
  std::lock_guard lock(mutex_);
  window_ = std::move(window);
  message_ = message;
  instanceData_ = instanceData;
}

}  // namespace dshow
