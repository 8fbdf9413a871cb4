#include "platform/dshow/property_frame.h"

#include <algorithm>

#include "platform/dshow/filter_element.h"
#include "platform/dshow/property_pages.h"
#include "platform/gst/encoders/element_properties.h"
#include "platform/ui/modal_ui.h"

HRESULT OleCreatePropertyFrame(ui::Dialog* owner, unsigned, unsigned, const std::string& caption,
                               std::uint32_t objectCount, IUnknown* const* objects,
                               std::uint32_t pageCount, const CLSID* pages, LCID, std::uint32_t,
                               void*) {
  if ((objectCount > 0 && !objects) || (pageCount > 0 && !pages)) return E_POINTER;
  if (std::find(pages, pages + pageCount, CLSID_ElementPropertyPage) == pages + pageCount)
    return REGDB_E_CLASSNOTREG;
  for (std::uint32_t i = 0; i < objectCount; ++i) {
    GstElement* element = dshow::ElementOf(objects[i]);
    if (!element) continue;
    gst::ElementProperties settings(element);
    ui::Modal().EditProperties(owner, caption, settings);
    return S_OK;
  }
  return E_NOINTERFACE;
}
