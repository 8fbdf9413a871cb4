#pragma once
// What a canary test says in its output: whether the mend it held back is
// alive on this system or dead code here.

#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "platform/gst/workarounds/registry.h"

namespace canary {

inline void Report(gst::Workaround id) {
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

}  // namespace canary
