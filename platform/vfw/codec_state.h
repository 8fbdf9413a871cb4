#pragma once
// A codec's state block: the values of its settings as "name=value" lines
// behind a header naming the codec, padded with zero bytes to a size fixed
// for the codec whatever its values, so that a saved state always fits the
// codec that saved it again.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/property/property_set.h"

namespace vfw {

// The longest text value a state keeps, in bytes as written (with escapes).
constexpr std::size_t kStateTextCapacity = 1024;

// 0 when the codec has no settings.
std::size_t StateSize(const std::string& codecName, const property::PropertySet& settings);

// Writes the state into `block`; false when the block is smaller than
// StateSize. Bytes after the state are zeroed. A text too long for the state
// is left out (reading the state keeps that setting as it is).
bool WriteState(const std::string& codecName, const property::PropertySet& settings,
                std::span<std::uint8_t> block);
std::vector<std::uint8_t> SaveState(const std::string& codecName,
                                    const property::PropertySet& settings);

// Gives the settings the values of a state that this codec wrote. A block of
// another codec, or one that is damaged in any way (unknown header, a line
// that does not read, a name the codec lacks, a value it refuses) changes
// nothing and gives false.
bool ReadState(const std::string& codecName, property::PropertySet& settings,
               std::span<const std::uint8_t> block);

// The settings as a codec's own dialog edits them: a text that would not fit
// the state is refused like any other value out of range.
class StateBoundSettings : public property::PropertySet {
 public:
  explicit StateBoundSettings(property::PropertySet& settings) : settings_(settings) {}
  std::vector<property::PropertyDescription> Describe() const override {
    return settings_.Describe();
  }
  property::PropertyValue Get(const std::string& name) const override {
    return settings_.Get(name);
  }
  bool Set(const std::string& name, const property::PropertyValue& value) override;

 private:
  property::PropertySet& settings_;
};

}  // namespace vfw
