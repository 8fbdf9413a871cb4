#pragma once
// How far a conversion is and how long it still needs, from the position the
// graph has reached in the source and the source's duration.

#include <cstdint>
#include <optional>

class RunProgress {
 public:
  // The estimate of the time left is shown only from this much running time
  // on: before it, start-up costs make the rate of the run unreliable.
  static constexpr std::int64_t kSettleMilliseconds = 3000;

  struct View {
    int percent = 0;                          // 0 to 100, never falls during a run
    std::optional<std::int64_t> secondsLeft;  // once the estimate is stable
  };

  // A new run: nothing done, nothing estimated.
  void Start();
  // The run has been going for `elapsedMilliseconds` and has reached
  // `position` of `duration` (both in 100 ns). Positions the graph cannot
  // tell (negative, or an unknown duration) leave the view as it was.
  View Update(std::int64_t elapsedMilliseconds, std::int64_t position, std::int64_t duration);
  // The run has converted all of its source.
  View Complete();
  const View& Current() const { return view_; }

 private:
  View view_;
};
