#pragma once
// A codec's own setting: the configuration last confirmed in its dialog,
// kept for the rest of the process. Codecs opened afterwards and encoders made
// afterwards from the same encoder start from it.

#include <gst/gst.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/property/property_set.h"

namespace vfw {

void KeepConfiguration(const std::string& codecName, std::vector<std::uint8_t> state);
std::optional<std::vector<std::uint8_t>> KeptConfiguration(const std::string& codecName);

// Gives the settings the configuration kept for the codec; false when there
// is none or it was not taken.
bool ApplyKeptConfiguration(const std::string& codecName, property::PropertySet& settings);

// Gives a new encoder element the configuration kept for its codec; an
// element of an encoder never configured stays as it is.
void ApplyKeptConfiguration(GstElement* element);

}  // namespace vfw
