#pragma once
// What the canary tests share. What a canary test says of its mend, in the
// test's output: whether the behaviour is here on this system and the mend
// engaged, or the mend is dead code here.

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <utility>

#include "platform/gst/workarounds/registry.h"

namespace gst_test {

inline void ReportCanary(gst::Workaround id) {
  for (const auto& entry : gst::Workarounds()) {
    if (entry.id != id) continue;
    const bool present = gst::BehaviourPresent(id);
    std::cout << "[ canary   ] " << entry.name << ": "
              << (present ? "the behaviour is here; the mend is engaged"
                          : "the behaviour is gone; the mend is dead code here")
              << "\n";
    ::testing::Test::RecordProperty(std::string(entry.name), present ? "engaged" : "dead");
  }
}

}  // namespace gst_test
