#include "platform/gst/parallel/cores.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <fstream>
#include <sstream>
#include <string>

namespace gst {

namespace {

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::optional<long long> Number(std::string_view text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The quota of this process's control group, v2 or v1, where one is set.
std::optional<int> QuotaCores() {
  std::ifstream groups("/proc/self/cgroup");
  std::string line;
  while (std::getline(groups, line)) {
    // "ID:CONTROLLERS:PATH"; v2 has ID 0 and no controllers.
    const auto first = line.find(':');
    const auto second = line.find(':', first + 1);
    if (first == std::string::npos || second == std::string::npos) continue;
    const std::string controllers = line.substr(first + 1, second - first - 1);
    const std::string path = line.substr(second + 1);
    if (controllers.empty()) {
      if (const auto cores = CoresOfQuota(FirstLine("/sys/fs/cgroup" + path + "/cpu.max")))
        return cores;
      continue;
    }
    std::stringstream names(controllers);
    for (std::string name; std::getline(names, name, ',');) {
      if (name != "cpu") continue;
      const std::string folder = std::string("/sys/fs/cgroup/").append(controllers).append(path);
      const auto quota = Number(FirstLine(folder + "/cpu.cfs_quota_us"));
      const auto period = Number(FirstLine(folder + "/cpu.cfs_period_us"));
      if (quota && period) return CoresOfQuota(*quota, *period);
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> CoresOfQuota(long long quota, long long period) {
  if (quota <= 0 || period <= 0) return std::nullopt;
  return static_cast<int>(std::max(1LL, (quota + period - 1) / period));
}

std::optional<int> CoresOfQuota(std::string_view cpuMax) {
  const auto blank = cpuMax.find(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  const auto quota = Number(cpuMax.substr(0, blank));
  const auto period = Number(cpuMax.substr(blank + 1));
  if (!quota || !period) return std::nullopt;  // "max": no limit
  return CoresOfQuota(*quota, *period);
}

int AvailableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  int cores = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
  if (const auto quota = QuotaCores()) cores = std::min(cores, *quota);
  return std::max(cores, 1);
}

namespace {
std::atomic<int> workerLimit{0};
}  // namespace

void SetWorkerLimit(int limit) { workerLimit.store(limit); }

bool WorkerLimitSet() { return workerLimit.load() > 0; }

int WorkerLimit() {
  const int limit = workerLimit.load();
  return limit > 0 ? limit : AvailableCores();
}

}  // namespace gst
