#include "platform/gst/encoders/element_properties.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include "platform/gst/gvalue.h"

namespace gst {

namespace {

using property::PropertyDescription;
using property::PropertyValue;
using Kind = PropertyDescription::Kind;

std::optional<Kind> KindOf(const GParamSpec* pspec) {
  switch (G_TYPE_FUNDAMENTAL(pspec->value_type)) {
    case G_TYPE_BOOLEAN:
      return Kind::Boolean;
    case G_TYPE_CHAR:
    case G_TYPE_INT:
    case G_TYPE_LONG:
    case G_TYPE_INT64:
      return Kind::Integer;
    case G_TYPE_UCHAR:
    case G_TYPE_UINT:
    case G_TYPE_ULONG:
    case G_TYPE_UINT64:
      return Kind::Unsigned;
    case G_TYPE_FLOAT:
    case G_TYPE_DOUBLE:
      return Kind::Double;
    case G_TYPE_ENUM:
      return Kind::Enum;
    case G_TYPE_FLAGS:
      return Kind::Flags;
    case G_TYPE_STRING:
      return Kind::Text;
    default:
      return std::nullopt;
  }
}

// Readable, writable after construction, of a type the editor knows, and
// not the object's own bookkeeping.
bool IsEditable(const GParamSpec* pspec) {
  const GParamFlags flags = pspec->flags;
  if ((flags & G_PARAM_READWRITE) != G_PARAM_READWRITE) return false;
  if (flags & (G_PARAM_CONSTRUCT_ONLY | G_PARAM_DEPRECATED)) return false;
  if (std::strcmp(pspec->name, "name") == 0 || std::strcmp(pspec->name, "parent") == 0)
    return false;
  return KindOf(pspec).has_value();
}

// The smallest and largest value of a number property.
std::pair<PropertyValue, PropertyValue> RangeOf(GParamSpec* pspec) {
  auto i = [](auto lo, auto hi) {
    return std::pair<PropertyValue, PropertyValue>(static_cast<std::int64_t>(lo),
                                                   static_cast<std::int64_t>(hi));
  };
  auto u = [](auto lo, auto hi) {
    return std::pair<PropertyValue, PropertyValue>(static_cast<std::uint64_t>(lo),
                                                   static_cast<std::uint64_t>(hi));
  };
  auto d = [](auto lo, auto hi) {
    return std::pair<PropertyValue, PropertyValue>(static_cast<double>(lo),
                                                   static_cast<double>(hi));
  };
  if (G_IS_PARAM_SPEC_CHAR(pspec))
    return i(G_PARAM_SPEC_CHAR(pspec)->minimum, G_PARAM_SPEC_CHAR(pspec)->maximum);
  if (G_IS_PARAM_SPEC_INT(pspec))
    return i(G_PARAM_SPEC_INT(pspec)->minimum, G_PARAM_SPEC_INT(pspec)->maximum);
  if (G_IS_PARAM_SPEC_LONG(pspec))
    return i(G_PARAM_SPEC_LONG(pspec)->minimum, G_PARAM_SPEC_LONG(pspec)->maximum);
  if (G_IS_PARAM_SPEC_INT64(pspec))
    return i(G_PARAM_SPEC_INT64(pspec)->minimum, G_PARAM_SPEC_INT64(pspec)->maximum);
  if (G_IS_PARAM_SPEC_UCHAR(pspec))
    return u(G_PARAM_SPEC_UCHAR(pspec)->minimum, G_PARAM_SPEC_UCHAR(pspec)->maximum);
  if (G_IS_PARAM_SPEC_UINT(pspec))
    return u(G_PARAM_SPEC_UINT(pspec)->minimum, G_PARAM_SPEC_UINT(pspec)->maximum);
  if (G_IS_PARAM_SPEC_ULONG(pspec))
    return u(G_PARAM_SPEC_ULONG(pspec)->minimum, G_PARAM_SPEC_ULONG(pspec)->maximum);
  if (G_IS_PARAM_SPEC_UINT64(pspec))
    return u(G_PARAM_SPEC_UINT64(pspec)->minimum, G_PARAM_SPEC_UINT64(pspec)->maximum);
  if (G_IS_PARAM_SPEC_FLOAT(pspec))
    return d(G_PARAM_SPEC_FLOAT(pspec)->minimum, G_PARAM_SPEC_FLOAT(pspec)->maximum);
  if (G_IS_PARAM_SPEC_DOUBLE(pspec))
    return d(G_PARAM_SPEC_DOUBLE(pspec)->minimum, G_PARAM_SPEC_DOUBLE(pspec)->maximum);
  return {};
}

std::vector<std::pair<std::int64_t, std::string>> ChoicesOf(GParamSpec* pspec) {
  std::vector<std::pair<std::int64_t, std::string>> choices;
  if (G_IS_PARAM_SPEC_ENUM(pspec)) {
    const GEnumClass* type = G_PARAM_SPEC_ENUM(pspec)->enum_class;
    for (guint n = 0; n < type->n_values; ++n)
      choices.emplace_back(type->values[n].value, type->values[n].value_name);
  } else if (G_IS_PARAM_SPEC_FLAGS(pspec)) {
    const GFlagsClass* type = G_PARAM_SPEC_FLAGS(pspec)->flags_class;
    for (guint n = 0; n < type->n_values; ++n)
      if (type->values[n].value != 0)
        choices.emplace_back(type->values[n].value, type->values[n].value_name);
  }
  return choices;
}

// A whole number from either integer alternative, when it fits.
std::optional<std::int64_t> SignedOf(const PropertyValue& value) {
  if (const auto* v = std::get_if<std::int64_t>(&value)) return *v;
  if (const auto* v = std::get_if<std::uint64_t>(&value))
    if (*v <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
      return static_cast<std::int64_t>(*v);
  return std::nullopt;
}

std::optional<std::uint64_t> UnsignedOf(const PropertyValue& value) {
  if (const auto* v = std::get_if<std::uint64_t>(&value)) return *v;
  if (const auto* v = std::get_if<std::int64_t>(&value))
    if (*v >= 0) return static_cast<std::uint64_t>(*v);
  return std::nullopt;
}

std::optional<double> DoubleOf(const PropertyValue& value) {
  if (const auto* v = std::get_if<double>(&value)) return *v;
  if (const auto* v = std::get_if<std::int64_t>(&value)) return static_cast<double>(*v);
  if (const auto* v = std::get_if<std::uint64_t>(&value)) return static_cast<double>(*v);
  return std::nullopt;
}

template <typename T>
bool Within(T value, const std::pair<PropertyValue, PropertyValue>& range) {
  const T* lo = std::get_if<T>(&range.first);
  const T* hi = std::get_if<T>(&range.second);
  return lo && hi && *lo <= value && value <= *hi;
}

PropertyValue ReadValue(GParamSpec* pspec, GValue* value) {
  switch (G_TYPE_FUNDAMENTAL(pspec->value_type)) {
    case G_TYPE_BOOLEAN:
      return g_value_get_boolean(value) != FALSE;
    case G_TYPE_CHAR:
      return static_cast<std::int64_t>(g_value_get_schar(value));
    case G_TYPE_INT:
      return static_cast<std::int64_t>(g_value_get_int(value));
    case G_TYPE_LONG:
      return static_cast<std::int64_t>(g_value_get_long(value));
    case G_TYPE_INT64:
      return static_cast<std::int64_t>(g_value_get_int64(value));
    case G_TYPE_UCHAR:
      return static_cast<std::uint64_t>(g_value_get_uchar(value));
    case G_TYPE_UINT:
      return static_cast<std::uint64_t>(g_value_get_uint(value));
    case G_TYPE_ULONG:
      return static_cast<std::uint64_t>(g_value_get_ulong(value));
    case G_TYPE_UINT64:
      return static_cast<std::uint64_t>(g_value_get_uint64(value));
    case G_TYPE_FLOAT:
      return static_cast<double>(g_value_get_float(value));
    case G_TYPE_DOUBLE:
      return g_value_get_double(value);
    case G_TYPE_ENUM:
      return static_cast<std::int64_t>(g_value_get_enum(value));
    case G_TYPE_FLAGS:
      return static_cast<std::int64_t>(g_value_get_flags(value));
    case G_TYPE_STRING: {
      const char* text = g_value_get_string(value);
      return std::string(text ? text : "");
    }
    default:
      return false;
  }
}

// Puts `value` into `out` (initialised with the property's type) when it is
// of the right kind and allowed by the property.
bool WriteValue(GParamSpec* pspec, const PropertyValue& value, GValue* out) {
  const auto range = RangeOf(pspec);
  switch (G_TYPE_FUNDAMENTAL(pspec->value_type)) {
    case G_TYPE_BOOLEAN: {
      const auto* v = std::get_if<bool>(&value);
      if (!v) return false;
      g_value_set_boolean(out, *v ? TRUE : FALSE);
      return true;
    }
    case G_TYPE_CHAR:
    case G_TYPE_INT:
    case G_TYPE_LONG:
    case G_TYPE_INT64: {
      const auto v = SignedOf(value);
      if (!v || !Within(*v, range)) return false;
      if (G_VALUE_HOLDS_CHAR(out)) g_value_set_schar(out, static_cast<gint8>(*v));
      else if (G_VALUE_HOLDS_INT(out)) g_value_set_int(out, static_cast<gint>(*v));
      else if (G_VALUE_HOLDS_LONG(out)) g_value_set_long(out, static_cast<glong>(*v));
      else g_value_set_int64(out, *v);
      return true;
    }
    case G_TYPE_UCHAR:
    case G_TYPE_UINT:
    case G_TYPE_ULONG:
    case G_TYPE_UINT64: {
      const auto v = UnsignedOf(value);
      if (!v || !Within(*v, range)) return false;
      if (G_VALUE_HOLDS_UCHAR(out)) g_value_set_uchar(out, static_cast<guint8>(*v));
      else if (G_VALUE_HOLDS_UINT(out)) g_value_set_uint(out, static_cast<guint>(*v));
      else if (G_VALUE_HOLDS_ULONG(out)) g_value_set_ulong(out, static_cast<gulong>(*v));
      else g_value_set_uint64(out, *v);
      return true;
    }
    case G_TYPE_FLOAT:
    case G_TYPE_DOUBLE: {
      const auto v = DoubleOf(value);
      if (!v || std::isnan(*v) || !Within(*v, range)) return false;
      if (G_VALUE_HOLDS_FLOAT(out)) g_value_set_float(out, static_cast<gfloat>(*v));
      else g_value_set_double(out, *v);
      return true;
    }
    case G_TYPE_ENUM: {
      const auto v = SignedOf(value);
      if (!v || *v < std::numeric_limits<gint>::min() || *v > std::numeric_limits<gint>::max())
        return false;
      if (!g_enum_get_value(G_PARAM_SPEC_ENUM(pspec)->enum_class, static_cast<gint>(*v)))
        return false;
      g_value_set_enum(out, static_cast<gint>(*v));
      return true;
    }
    case G_TYPE_FLAGS: {
      const auto v = SignedOf(value);
      const guint mask = G_PARAM_SPEC_FLAGS(pspec)->flags_class->mask;
      if (!v || *v < 0 || *v > std::numeric_limits<guint>::max()) return false;
      if ((static_cast<guint>(*v) & ~mask) != 0) return false;
      g_value_set_flags(out, static_cast<guint>(*v));
      return true;
    }
    case G_TYPE_STRING: {
      const auto* v = std::get_if<std::string>(&value);
      if (!v || v->find('\0') != std::string::npos) return false;
      g_value_set_string(out, v->c_str());
      return true;
    }
    default:
      return false;
  }
}

struct SpecListFree {
  void operator()(GParamSpec** paramSpecs) const { g_free(paramSpecs); }
};

template <typename Visit>
void ForEachEditable(GstElement* element, Visit visit) {
  guint count = 0;
  const std::unique_ptr<GParamSpec*[], SpecListFree> paramSpecs(
      g_object_class_list_properties(G_OBJECT_GET_CLASS(element), &count));
  for (guint n = 0; n < count; ++n)
    if (IsEditable(paramSpecs[n])) visit(paramSpecs[n]);
}

}  // namespace

ElementProperties::ElementProperties(GstElement* element) : element_(Borrow(element)) {}

std::vector<PropertyDescription> ElementProperties::Describe() const {
  std::vector<PropertyDescription> descriptions;
  if (!element_) return descriptions;
  ForEachEditable(element_.get(), [&](GParamSpec* pspec) {
    PropertyDescription d;
    d.name = pspec->name;
    const char* nick = g_param_spec_get_nick(pspec);
    const char* blurb = g_param_spec_get_blurb(pspec);
    d.label = nick ? nick : pspec->name;
    d.description = blurb ? blurb : "";
    d.kind = *KindOf(pspec);
    std::tie(d.minimum, d.maximum) = RangeOf(pspec);
    d.choices = ChoicesOf(pspec);
    descriptions.push_back(std::move(d));
  });
  return descriptions;
}

GParamSpec* ElementProperties::Editable(const std::string& name) const {
  if (!element_) return nullptr;
  GParamSpec* pspec =
      g_object_class_find_property(G_OBJECT_GET_CLASS(element_.get()), name.c_str());
  return pspec && IsEditable(pspec) ? pspec : nullptr;
}

PropertyValue ElementProperties::Get(const std::string& name) const {
  GParamSpec* pspec = Editable(name);
  if (!pspec) return false;
  Value value(pspec->value_type);
  g_object_get_property(G_OBJECT(element_.get()), pspec->name, value.get());
  return ReadValue(pspec, value.get());
}

bool ElementProperties::Set(const std::string& name, const PropertyValue& value) {
  GParamSpec* pspec = Editable(name);
  if (!pspec) return false;
  Value converted(pspec->value_type);
  if (!WriteValue(pspec, value, converted.get())) return false;
  g_object_set_property(G_OBJECT(element_.get()), pspec->name, converted.get());
  return true;
}

bool HasEditableProperties(GstElement* element) {
  bool any = false;
  if (element) ForEachEditable(element, [&](GParamSpec*) { any = true; });
  return any;
}

}  // namespace gst
