#pragma once
// A GValue that is unset when it goes.

#include <glib-object.h>

namespace gst {

class Value {
 public:
  explicit Value(GType type) { g_value_init(&value_, type); }
  ~Value() { g_value_unset(&value_); }
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;
  GValue* get() { return &value_; }

 private:
  GValue value_ = G_VALUE_INIT;
};

}  // namespace gst
