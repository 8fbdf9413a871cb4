#pragma once
// Waiting in tests is for an event or a state, never for a stretch of time:
// these return as soon as `done` holds. The guard only keeps a hang from
// holding the test run; it is no expectation of speed (those are measured
// in bench/), so it is far longer than any healthy wait on a loaded machine.

#include <chrono>
#include <functional>

namespace test_support {

constexpr std::chrono::seconds kHangGuard{120};
constexpr long kHangGuardMilliseconds = 120 * 1000;

// Lets the user-interface thread handle posted messages and timers until
// `done`; false when the guard ran out first.
bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds guard = kHangGuard);

// Waits on this thread, without handling messages, until `done` (for states
// that other threads bring about, such as a run's position).
bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds guard = kHangGuard);

}  // namespace test_support
