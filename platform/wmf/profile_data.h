#pragma once
// The values behind the runtime's objects: media types that own their
// format block, stream configurations, mutual exclusions and profiles.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/wmf/wm_types.h"

namespace wmf {

// A WM_MEDIA_TYPE that owns its format block.
struct MediaType {
  GUID majortype;
  GUID subtype;
  bool fixedSizeSamples = false;
  bool temporalCompression = false;
  std::uint32_t sampleSize = 0;
  GUID formattype;
  std::vector<std::uint8_t> format;

  // Copies a caller's type; fails when a format size comes without bytes.
  static std::optional<MediaType> From(const WM_MEDIA_TYPE& type);
  // The size-then-data protocol of IWMMediaProps::GetMediaType.
  HRESULT WriteTo(WM_MEDIA_TYPE* type, std::uint32_t& size) const;
  // A structure whose pbFormat points into this object's block; valid while
  // the block is neither changed nor destroyed.
  WM_MEDIA_TYPE View();
  // Every field but pbFormat, which stays null.
  WM_MEDIA_TYPE Header() const;

  friend bool operator==(const MediaType&, const MediaType&) = default;
};

struct StreamData {
  GUID streamType;
  std::uint16_t number = 0;
  std::string name;
  std::string connectionName;
  std::uint32_t bitrate = 0;
  std::uint32_t bufferWindow = 3000;
  std::optional<MediaType> mediaType;
  // Video only.
  std::uint32_t quality = 0;
  std::int64_t maxKeyFrameSpacing = 0;

  friend bool operator==(const StreamData&, const StreamData&) = default;
};

struct MutexData {
  GUID type;
  std::vector<std::uint16_t> streams;

  friend bool operator==(const MutexData&, const MutexData&) = default;
};

struct ProfileData {
  WMT_VERSION version = WMT_VER_9_0;
  std::string name;
  std::string description;
  std::vector<StreamData> streams;
  std::vector<MutexData> mutexes;

  friend bool operator==(const ProfileData&, const ProfileData&) = default;
};

// Stream numbers a profile may use: the stream number field of an ASF file
// holds 7 bits. (One audio stream, 63 video streams and a script stream need
// numbers up to 65.)
constexpr std::uint16_t kMinStreamNumber = 1;
constexpr std::uint16_t kMaxStreamNumber = 127;

// Reads the start of a format block as a structure; nothing when the block
// is too short. Copies, so the block's alignment does not matter.
template <typename T>
std::optional<T> FormatAs(const std::vector<std::uint8_t>& format) {
  if (format.size() < sizeof(T)) return std::nullopt;
  T value;
  std::memcpy(&value, format.data(), sizeof(T));
  return value;
}

// True when the format block holds the whole structure its format type
// names (for a WAVEFORMATEX also its cbSize extra bytes).
bool FormatBlockIsWhole(const MediaType& type);

// True when a stream of this type may carry the media type: same major type
// and a whole format block.
bool MediaTypeFits(const GUID& streamType, const MediaType& type);

bool IsKnownVersion(std::uint32_t version);

}  // namespace wmf
