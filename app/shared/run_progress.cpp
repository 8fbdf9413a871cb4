#include "app/shared/run_progress.h"

#include <algorithm>

void RunProgress::Start() { view_ = View{}; }

RunProgress::View RunProgress::Update(std::int64_t elapsedMilliseconds, std::int64_t position,
                                      std::int64_t duration) {
  if (duration <= 0 || position < 0) return view_;
  if (position >= duration) {
    // The source's announced length is reached (or was short, as with
    // recordings whose clock restarts): what is left cannot be told, and a
    // time left kept from before would stand still for the rest of the run.
    view_.percent = 100;
    view_.secondsLeft.reset();
    return view_;
  }
  // Whole percents, rounded down, so 100 means the whole source is done.
  const int percent = static_cast<int>(position * 100 / duration);
  view_.percent = std::max(view_.percent, percent);
  if (elapsedMilliseconds >= kSettleMilliseconds && position > 0) {
    // The rate of the whole run so far: steady, and it takes a slower stretch
    // into account as well as a faster one.
    const double remaining = static_cast<double>(duration - position) /
                             static_cast<double>(position) *
                             static_cast<double>(elapsedMilliseconds) / 1000.0;
    // Rounded up: "00:00:00" would say the run is over while it is not.
    auto seconds = static_cast<std::int64_t>(remaining);
    if (static_cast<double>(seconds) < remaining) ++seconds;
    view_.secondsLeft = seconds;
  }
  return view_;
}

RunProgress::View RunProgress::Complete() {
  view_.percent = 100;
  view_.secondsLeft.reset();
  return view_;
}
