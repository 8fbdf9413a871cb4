#pragma once
// Hands a call from any thread to the application's thread, through Qt's
// event queue, in an order ThreadSanitizer sees: what the posting thread
// wrote before posting is seen by the call (Qt's queue itself is built
// without it, and its lock is invisible to it).

#include <QObject>
#include <functional>

namespace ui {

class PostedCalls {
 public:
  // Made on the application's thread, which it belongs to; gone with the
  // application object.
  PostedCalls();

  // Thread-safe. The call runs later on the application's thread; dropped
  // once the application object has gone.
  void Post(std::function<void()> call) const;

 private:
  QObject* receiver_;
};

}  // namespace ui
