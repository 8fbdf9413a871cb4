#pragma once
// Media types as pins describe their connections, the format blocks they
// carry, and the rules for freeing them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/unknown.h"

using REFERENCE_TIME = std::int64_t;  // media time in 100 ns units
using REFTIME = double;               // media time in seconds

constexpr REFERENCE_TIME kUnitsPerSecond = 10'000'000;

// A media type as the framework hands it out: the format block is allocated
// with CoTaskMemAlloc and pUnk holds a reference. Free it with FreeMediaType,
// or let an OwnedMediaType do so.
struct AM_MEDIA_TYPE {
  GUID majortype{};
  GUID subtype{};
  bool bFixedSizeSamples = false;
  bool bTemporalCompression = false;
  std::uint32_t lSampleSize = 0;
  GUID formattype{};
  IUnknown* pUnk = nullptr;
  std::uint32_t cbFormat = 0;
  std::uint8_t* pbFormat = nullptr;
};

// Frees the format block (CoTaskMemFree) and releases pUnk; the type is left
// empty, so freeing twice is harmless.
void FreeMediaType(AM_MEDIA_TYPE& type);

// An AM_MEDIA_TYPE filled by a call and freed when the holder goes away.
class OwnedMediaType {
 public:
  OwnedMediaType() = default;
  ~OwnedMediaType() { FreeMediaType(type_); }
  OwnedMediaType(const OwnedMediaType&) = delete;
  OwnedMediaType& operator=(const OwnedMediaType&) = delete;

  AM_MEDIA_TYPE& Get() { return type_; }
  const AM_MEDIA_TYPE* operator->() const { return &type_; }

 private:
  AM_MEDIA_TYPE type_{};
};

// Format blocks (the layouts of the Windows headers, natural alignment).
struct RECT {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct BITMAPINFOHEADER {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

struct VIDEOINFOHEADER {
  RECT rcSource;
  RECT rcTarget;
  std::uint32_t dwBitRate = 0;
  std::uint32_t dwBitErrorRate = 0;
  REFERENCE_TIME AvgTimePerFrame = 0;  // 0 when the stream declares no rate
  BITMAPINFOHEADER bmiHeader;
};

struct WAVEFORMATEX {
  std::uint16_t wFormatTag = 0;
  std::uint16_t nChannels = 0;
  std::uint32_t nSamplesPerSec = 0;
  std::uint32_t nAvgBytesPerSec = 0;
  std::uint16_t nBlockAlign = 0;
  std::uint16_t wBitsPerSample = 0;
  std::uint16_t cbSize = 0;
};

constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

namespace dshow {

// A media type held by value inside the model: copyable, no task memory.
struct MediaType {
  GUID majortype{};
  GUID subtype{};
  bool temporalCompression = false;
  GUID formattype{};
  std::vector<std::uint8_t> format;

  // A copy in task memory, as ConnectionMediaType hands it out.
  void CopyTo(AM_MEDIA_TYPE& out) const;
  static MediaType From(const AM_MEDIA_TYPE& type);

  template <typename Block>
  void SetFormat(const GUID& kind, const Block& block) {
    formattype = kind;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&block);
    format.assign(bytes, bytes + sizeof(Block));
  }
};

}  // namespace dshow
