#pragma once
// A window's letterbox for messages posted from any thread. A port outlives
// its window as long as somebody holds it; once the port is closed, posts are
// dropped.
//
// No lock is held while a message is handed on: the delivery function is
// fixed when the port is made, and a window's delivery only queues the
// message for the user-interface thread, where a message for a window that
// has gone in the meantime is dropped.

#include <atomic>
#include <functional>
#include <memory>

#include "platform/ui/win_constants.h"

namespace ui {

class MessagePort {
 public:
  using Deliver = std::function<void(UINT, WPARAM, LPARAM)>;
  explicit MessagePort(Deliver deliver) : deliver_(std::move(deliver)) {}

  // Thread-safe; the message is delivered later on the user-interface thread.
  void Post(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (open_.load(std::memory_order_acquire)) deliver_(message, wParam, lParam);
  }
  // Called by the window when it goes away. A post racing with it may still
  // be handed to the delivery function, which must cope.
  void Close() { open_.store(false, std::memory_order_release); }

 private:
  const Deliver deliver_;
  std::atomic<bool> open_{true};
};

using WindowPort = std::shared_ptr<MessagePort>;

}  // namespace ui
