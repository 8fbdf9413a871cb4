#pragma once
// Elements from an ElementChoice, and properties set from their string form,
// with a readable reason when either cannot be done.

#include <string>

#include "platform/gst/pipeline_description.h"

namespace gst {

// A new element from the factory, or the caller's element with a reference
// of our own. Empty, with `error` set, when the factory is not installed, a
// property is unknown, read-only or given a value it cannot take, or the
// caller's element is floating.
ElementPtr MakeElement(const ElementChoice& choice, std::string& error);

// A new element of a named factory, owned (not floating).
ElementPtr MakeElement(const char* factory, std::string& error);

// Sets a property from its string form; false with `error` set on failure.
bool SetProperty(GstElement* element, const std::string& name, const std::string& value,
                 std::string& error);

}  // namespace gst
