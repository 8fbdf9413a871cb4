#pragma once
// Property pages of filters: a filter whose element has settings a user can
// edit names its page; the property frame shows that page over the element
// the filter will run with.

#include <cstdint>

#include "platform/com/com_ptr.h"

// A counted array of class identifiers, allocated with CoTaskMemAlloc.
struct CAUUID {
  std::uint32_t cElems = 0;
  GUID* pElems = nullptr;
};

struct ISpecifyPropertyPages : IUnknown {
  static constexpr IID kIid = GUID::Parse("{B196B28B-BAB4-101A-B69C-00AA00341D07}");
  // Fills the page identifiers; the caller frees pElems with CoTaskMemFree.
  virtual HRESULT GetPages(CAUUID* pages) = 0;
};

// The one page the stand-in has: the settings of the filter's element.
constexpr CLSID CLSID_ElementPropertyPage = GUID::Parse("{6C0F4B2E-63A1-4E8B-9A55-2F4C1D7E9B30}");
