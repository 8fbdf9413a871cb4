#include "tests/support/waiting.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <thread>

namespace test_support {

namespace {
using Clock = std::chrono::steady_clock;
constexpr auto kCheckEvery = std::chrono::milliseconds(2);
}  // namespace

bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds guard) {
  const auto deadline = Clock::now() + guard;
  while (!done()) {
    if (Clock::now() >= deadline) return false;
    // Returns when something was handled, or after a short while so that
    // states changed by other threads are seen too.
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  }
  return true;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds guard) {
  const auto deadline = Clock::now() + guard;
  while (!done()) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kCheckEvery);
  }
  return true;
}

}  // namespace test_support
