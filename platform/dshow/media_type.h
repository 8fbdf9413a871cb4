#pragma once
// Media types as pins describe their connections, the format blocks they
// carry, and the rules for freeing them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/com/format_blocks.h"
#include "platform/com/guid.h"
#include "platform/com/unknown.h"

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
  // A type of which only the major type is known: what an input pin that
  // takes any stream of that kind offers.
  static MediaType Major(const GUID& major) {
    MediaType type;
    type.majortype = major;
    return type;
  }

  template <typename Block>
  void SetFormat(const GUID& kind, const Block& block) {
    formattype = kind;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&block);
    format.assign(bytes, bytes + sizeof(Block));
  }
};

}  // namespace dshow
