#include "platform/ui/posted_call.h"

#include <QCoreApplication>
#include <QEvent>
#include <utility>

#include "platform/threads/thread_order.h"

namespace ui {

namespace {

class PostedCall : public QEvent {
 public:
  explicit PostedCall(std::function<void()> call) : QEvent(EventType()), call_(std::move(call)) {}
  static QEvent::Type EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }
  void Run() const { call_(); }

 private:
  const std::function<void()> call_;
};

class Receiver : public QObject {
 public:
  using QObject::QObject;

 protected:
  void customEvent(QEvent* event) override {
    threads::AcquireState(event);  // everything the poster wrote, the call included
    if (event->type() == PostedCall::EventType()) static_cast<PostedCall*>(event)->Run();
  }
};

}  // namespace

PostedCalls::PostedCalls() : receiver_(new Receiver(QCoreApplication::instance())) {}

void PostedCalls::Post(std::function<void()> call) const {
  if (!QCoreApplication::instance()) return;
  auto* event = new PostedCall(std::move(call));
  threads::ReleaseState(event);
  QCoreApplication::postEvent(receiver_, event);
}

}  // namespace ui
