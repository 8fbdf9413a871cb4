#include "platform/wmf/profile_data.h"

#include <cstring>

namespace wmf {

std::optional<MediaType> MediaType::From(const WM_MEDIA_TYPE& type) {
  if (type.cbFormat > 0 && !type.pbFormat) return std::nullopt;
  MediaType copy;
  copy.majortype = type.majortype;
  copy.subtype = type.subtype;
  copy.fixedSizeSamples = type.bFixedSizeSamples;
  copy.temporalCompression = type.bTemporalCompression;
  copy.sampleSize = type.lSampleSize;
  copy.formattype = type.formattype;
  copy.format.assign(type.pbFormat, type.pbFormat + type.cbFormat);
  return copy;
}

HRESULT MediaType::WriteTo(WM_MEDIA_TYPE* type, std::uint32_t& size) const {
  const auto needed = static_cast<std::uint32_t>(sizeof(WM_MEDIA_TYPE) + format.size());
  if (!type) {
    size = needed;
    return S_OK;
  }
  if (size < needed) {
    size = needed;
    return ASF_E_BUFFERTOOSMALL;
  }
  // The format block follows the structure in the caller's buffer.
  auto* block = reinterpret_cast<std::uint8_t*>(type) + sizeof(WM_MEDIA_TYPE);
  if (!format.empty()) std::memcpy(block, format.data(), format.size());
  *type = Header();
  type->pbFormat = format.empty() ? nullptr : block;
  size = needed;
  return S_OK;
}

WM_MEDIA_TYPE MediaType::Header() const {
  WM_MEDIA_TYPE type;
  type.majortype = majortype;
  type.subtype = subtype;
  type.bFixedSizeSamples = fixedSizeSamples;
  type.bTemporalCompression = temporalCompression;
  type.lSampleSize = sampleSize;
  type.formattype = formattype;
  type.cbFormat = static_cast<std::uint32_t>(format.size());
  return type;
}

WM_MEDIA_TYPE MediaType::View() {
  WM_MEDIA_TYPE type = Header();
  type.pbFormat = format.empty() ? nullptr : format.data();
  return type;
}

bool FormatBlockIsWhole(const MediaType& type) {
  if (type.formattype == WMFORMAT_WaveFormatEx) {
    const auto wave = FormatAs<WAVEFORMATEX>(type.format);
    return wave && type.format.size() >= kWaveFormatExSize + wave->cbSize;
  }
  if (type.formattype == WMFORMAT_VideoInfo)
    return FormatAs<VIDEOINFOHEADER>(type.format).has_value();
  if (type.formattype == WMFORMAT_Script) return FormatAs<WMSCRIPTFORMAT>(type.format).has_value();
  return true;
}

bool MediaTypeFits(const GUID& streamType, const MediaType& type) {
  return type.majortype == streamType && FormatBlockIsWhole(type);
}

bool IsKnownVersion(std::uint32_t version) {
  return version == WMT_VER_4_0 || version == WMT_VER_7_0 || version == WMT_VER_8_0 ||
         version == WMT_VER_9_0;
}

}  // namespace wmf
