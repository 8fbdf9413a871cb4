#include "platform/dshow/media_type.h"

#include <algorithm>

#include "platform/com/runtime.h"

void FreeMediaType(AM_MEDIA_TYPE& type) {
  if (type.pbFormat) CoTaskMemFree(type.pbFormat);
  type.pbFormat = nullptr;
  type.cbFormat = 0;
  if (type.pUnk) type.pUnk->Release();
  type.pUnk = nullptr;
}

namespace dshow {

void MediaType::CopyTo(AM_MEDIA_TYPE& out) const {
  FreeMediaType(out);
  out.majortype = majortype;
  out.subtype = subtype;
  out.bFixedSizeSamples = !temporalCompression;
  out.bTemporalCompression = temporalCompression;
  out.lSampleSize = 0;
  out.formattype = formattype;
  if (!format.empty()) {
    out.pbFormat = static_cast<std::uint8_t*>(CoTaskMemAlloc(format.size()));
    std::copy(format.begin(), format.end(), out.pbFormat);
    out.cbFormat = static_cast<std::uint32_t>(format.size());
  }
}

MediaType MediaType::From(const AM_MEDIA_TYPE& type) {
  MediaType result;
  result.majortype = type.majortype;
  result.subtype = type.subtype;
  result.temporalCompression = type.bTemporalCompression;
  result.formattype = type.formattype;
  if (type.pbFormat && type.cbFormat > 0)
    result.format.assign(type.pbFormat, type.pbFormat + type.cbFormat);
  return result;
}

}  // namespace dshow
