#pragma once
// The element behind a filter, for the platform's own use: property pages
// and kept codec configurations reach the element the run will use.

#include <gst/gst.h>

#include "platform/com/com_ptr.h"

namespace dshow {

// Answered by a filter that runs an element it already holds (a compressor,
// a multiplexer): settings made on that element reach the run.
struct IFilterElement : IUnknown {
  static constexpr IID kIid = GUID::Parse("{3E7A9C41-58D2-4B6F-8E1A-0C94F2B7D615}");
  // Borrowed; lives as long as the filter.
  virtual GstElement* Element() = 0;
};

// The element behind any object that answers IFilterElement, or null.
GstElement* ElementOf(IUnknown* object);

}  // namespace dshow
