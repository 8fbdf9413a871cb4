#pragma once
// The property frame: a modal frame over the property pages of objects,
// here the editor of the settings of a filter's element.

#include <cstdint>
#include <string>

#include "platform/com/unknown.h"

namespace ui {
class Dialog;
}

using LCID = std::uint32_t;

// Shows the pages modally, owned by `owner`, titled `caption`; returns when
// the user closes the frame (S_OK whether or not anything was changed).
// Pages other than CLSID_ElementPropertyPage are not known here and are
// passed over; the element page shows the element of the first object that
// has one. REGDB_E_CLASSNOTREG when no page is known, E_NOINTERFACE when no
// object has an element, E_POINTER for missing arrays.
HRESULT OleCreatePropertyFrame(ui::Dialog* owner, unsigned x, unsigned y,
                               const std::string& caption, std::uint32_t objectCount,
                               IUnknown* const* objects, std::uint32_t pageCount,
                               const CLSID* pages, LCID locale, std::uint32_t reserved,
                               void* reservedPointer);
