#include "tests/support/process_usage.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace test_support {

namespace {

int EntriesOf(const char* folder) {
  int count = 0;
  std::error_code error;
  for (auto it = std::filesystem::directory_iterator(folder, error);
       !error && it != std::filesystem::directory_iterator(); it.increment(error))
    ++count;
  return count;
}

}  // namespace

ProcessUsage CurrentUsage() {
  ProcessUsage usage;
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) usage.residentKiB = std::stol(line.substr(6));
  // The listing itself holds one descriptor while it is read.
  usage.descriptors = EntriesOf("/proc/self/fd") - 1;
  usage.threads = EntriesOf("/proc/self/task");
  return usage;
}

}  // namespace test_support
