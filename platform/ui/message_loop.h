#pragma once
// A message loop for a program without a modal window of its own (the
// command-line converter): runs until `done` says so.

#include <functional>

namespace ui {

// Delivers messages, timers and posted messages, calling `tick` every
// `periodMilliseconds`, until `tick` returns true.
void RunMessageLoop(const std::function<bool()>& tick, unsigned periodMilliseconds);

}  // namespace ui
