#pragma once
// An object whose properties a user may edit in a property frame or a
// codec's configuration dialog: what each property is, and get/set by name.

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace property {

using PropertyValue = std::variant<bool, std::int64_t, std::uint64_t, double, std::string>;

struct PropertyDescription {
  enum class Kind { Boolean, Integer, Unsigned, Double, Enum, Flags, Text };
  std::string name;         // the property's own name
  std::string label;        // short human name
  std::string description;  // what it does, with its unit
  Kind kind = Kind::Text;
  PropertyValue minimum{};
  PropertyValue maximum{};
  // Enum and flag values with their names.
  std::vector<std::pair<std::int64_t, std::string>> choices;
};

class PropertySet {
 public:
  virtual ~PropertySet() = default;
  virtual std::vector<PropertyDescription> Describe() const = 0;
  virtual PropertyValue Get(const std::string& name) const = 0;
  // False when the value is refused (out of range, not writable).
  virtual bool Set(const std::string& name, const PropertyValue& value) = 0;
};

}  // namespace property
