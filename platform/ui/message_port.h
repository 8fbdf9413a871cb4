#pragma once
// A window's letterbox for messages posted from any thread. A port outlives
// its window as long as somebody holds it; once the window is gone, posts are
// dropped.

#include <functional>
#include <memory>
#include <mutex>

#include "platform/ui/win_constants.h"

namespace ui {

class MessagePort {
 public:
  using Deliver = std::function<void(UINT, WPARAM, LPARAM)>;
  explicit MessagePort(Deliver deliver) : deliver_(std::move(deliver)) {}

  // Thread-safe; the message is delivered later on the user-interface thread.
  void Post(UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard lock(mutex_);
    if (deliver_) deliver_(message, wParam, lParam);
  }
  // Called by the window when it goes away.
  void Close() {
    std::lock_guard lock(mutex_);
    deliver_ = nullptr;
  }

 private:
  std::mutex mutex_;
  Deliver deliver_;
};

using WindowPort = std::shared_ptr<MessagePort>;

}  // namespace ui
