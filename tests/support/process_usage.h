#pragma once
// What this process holds right now, read from /proc: resident memory, open
// file descriptors and threads. For checks that many runs leak nothing.

namespace test_support {

struct ProcessUsage {
  long residentKiB = 0;
  int descriptors = 0;
  int threads = 0;
};

ProcessUsage CurrentUsage();

}  // namespace test_support
