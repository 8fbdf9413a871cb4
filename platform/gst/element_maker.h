#pragma once
// Elements from an ElementChoice, and properties set from their string form,
// with a readable reason when either cannot be done.

#include <string>
#include <string_view>

#include "platform/gst/pipeline/pipeline_description.h"
#include "platform/gst/result.h"

namespace gst {

// A new element from the factory, or the caller's element with a reference
// of our own. Fails when the factory is not installed, a property is
// unknown, read-only or given a value it cannot take, or the caller's
// element is floating.
Result<ElementPtr> MakeElement(const ElementChoice& choice);

// A new element of a named factory, owned (not floating).
Result<ElementPtr> MakeElement(const char* factory);

// The name of the factory that made the element; empty for none.
std::string_view FactoryNameOf(GstElement* element);

// What kind of element its factory says it is ("Codec/Decoder/Video");
// empty for none.
std::string_view KlassOf(GstElement* element);

// Sets a property from its string form.
Result<void> SetProperty(GstElement* element, const std::string& name, const std::string& value);

}  // namespace gst
