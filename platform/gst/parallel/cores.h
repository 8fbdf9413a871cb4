#pragma once
// How many cores this process may keep busy: the processors it may run on
// (its affinity), fewer where its control group's CPU quota allows less.

#include <optional>
#include <string_view>

namespace gst {

// The cores available to this process now; at least 1.
int AvailableCores();

// How many encoders a conversion may keep busy at once: `limit` when one
// was set above 0 (the command line's --threads), else AvailableCores().
// Set before runs start.
void SetWorkerLimit(int limit);
int WorkerLimit();
// Whether a limit was set.
bool WorkerLimitSet();

// Whole cores a control group's quota allows, rounded up: cgroup v2's
// cpu.max ("max 100000", "150000 100000"), or cgroup v1's quota and period
// in microseconds (a quota of -1 is none). Nothing for no limit or text
// that is no quota.
std::optional<int> CoresOfQuota(std::string_view cpuMax);
std::optional<int> CoresOfQuota(long long quota, long long period);

}  // namespace gst
