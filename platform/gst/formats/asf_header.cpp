#include "platform/gst/formats/asf_header.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace gst {

namespace {

using Guid = std::array<std::uint8_t, 16>;

// As stored in the file: the first three fields little-endian.
constexpr Guid kHeaderObject{0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                             0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kFileProperties{0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                               0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kStreamProperties{0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                 0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kAudioMedia{0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                           0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr Guid kVideoMedia{0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11,
                           0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr Guid kExtendedContentDescription{0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                           0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};

constexpr std::size_t kObjectHeader = 24;        // GUID and 64-bit size
constexpr std::size_t kHeaderObjectHeader = 30;  // and a count and two reserved bytes
// Fields of the file properties object, from its start.
constexpr std::size_t kFileSizeAt = 40;
constexpr std::size_t kCreationDateAt = 48;
constexpr std::size_t kMaxBitrateAt = 100;
constexpr std::size_t kFilePropertiesSize = 104;
// Fields of a stream properties object, from its start.
constexpr std::size_t kStreamTypeAt = 24;
constexpr std::size_t kTypeSpecificLengthAt = 64;
constexpr std::size_t kStreamFlagsAt = 72;
constexpr std::size_t kTypeSpecificAt = 78;
constexpr std::uint64_t kStreamNumberMask = 0x7F;
// Where a video format's size and its bitmap header's own size stand, and
// how long that header is without codec data; an audio format's count of
// codec data bytes, and how long it is without them.
constexpr std::size_t kVideoFormatSizeAt = 9;
constexpr std::size_t kBitmapHeaderAt = 11;
constexpr std::size_t kBitmapHeaderSize = 40;
constexpr std::size_t kWaveFormatExtraAt = 16;
constexpr std::size_t kWaveFormatSize = 18;

// Names whose descriptions this rewrite owns: libav's own name for itself,
// and the tool's.
constexpr const char* kEncodingSettings = "WM/EncodingSettings";
constexpr const char* kToolName = "WM/ToolName";
constexpr const char* kToolVersion = "WM/ToolVersion";

using Bytes = std::vector<std::uint8_t>;

std::uint64_t Get(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= std::uint64_t{bytes[at + i]} << (8 * i);
  return value;
}

void Put(Bytes& bytes, std::size_t at, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i)
    bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Append(Bytes& bytes, std::uint64_t value, std::size_t width) {
  bytes.resize(bytes.size() + width);
  Put(bytes, bytes.size() - width, value, width);
}

bool IsGuid(std::span<const std::uint8_t> bytes, const Guid& guid) {
  return bytes.size() >= guid.size() && std::equal(guid.begin(), guid.end(), bytes.begin());
}

// UTF-16LE with its terminating zero, as ASF stores names and texts.
Bytes Utf16(const std::string& text) {
  glong units = 0;
  std::unique_ptr<gunichar2, decltype(&g_free)> converted(
      g_utf8_to_utf16(text.c_str(), static_cast<glong>(text.size()), nullptr, &units, nullptr),
      &g_free);
  Bytes bytes;
  for (glong i = 0; converted && i < units; ++i) Append(bytes, converted.get()[i], 2);
  Append(bytes, 0, 2);
  return bytes;
}

void AppendDescription(Bytes& out, const std::string& name, const std::string& value) {
  const Bytes encodedName = Utf16(name);
  const Bytes encodedValue = Utf16(value);
  Append(out, encodedName.size(), 2);
  out.insert(out.end(), encodedName.begin(), encodedName.end());
  Append(out, 0, 2);  // a text
  Append(out, encodedValue.size(), 2);
  out.insert(out.end(), encodedValue.begin(), encodedValue.end());
}

// The descriptions of an extended content description object (its body
// after the object header), without those this rewrite owns, then the
// tool's. None when the body is malformed.
std::optional<Bytes> Descriptions(std::span<const std::uint8_t> body, const AsfHeaderFacts& facts) {
  if (body.size() < 2) return std::nullopt;
  const std::uint64_t count = Get(body, 0, 2);
  const Bytes owned[] = {Utf16(kEncodingSettings), Utf16(kToolName), Utf16(kToolVersion)};
  Bytes kept;
  std::uint64_t keptCount = 0;
  std::size_t at = 2;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (at + 2 > body.size()) return std::nullopt;
    const std::size_t nameLength = Get(body, at, 2);
    if (at + 2 + nameLength + 4 > body.size()) return std::nullopt;
    const std::size_t valueLength = Get(body, at + 2 + nameLength + 2, 2);
    const std::size_t end = at + 2 + nameLength + 4 + valueLength;
    if (end > body.size()) return std::nullopt;
    const auto name = body.subspan(at + 2, nameLength);
    const bool isOwned = std::any_of(std::begin(owned), std::end(owned), [&](const Bytes& o) {
      return std::equal(name.begin(), name.end(), o.begin(), o.end());
    });
    if (!isOwned) {
      kept.insert(kept.end(), body.begin() + static_cast<std::ptrdiff_t>(at),
                  body.begin() + static_cast<std::ptrdiff_t>(end));
      ++keptCount;
    }
    at = end;
  }
  Bytes out;
  Append(out, keptCount + 2, 2);
  out.insert(out.end(), kept.begin(), kept.end());
  AppendDescription(out, kToolName, facts.toolName);
  AppendDescription(out, kToolVersion, facts.toolVersion);
  return out;
}

void AppendObject(Bytes& out, const Guid& guid, const Bytes& body) {
  out.insert(out.end(), guid.begin(), guid.end());
  Append(out, kObjectHeader + body.size(), 8);
  out.insert(out.end(), body.begin(), body.end());
}

// Where a stream's codec data sits in its stream properties object, how
// long it is, and where its lengths are counted.
struct CodecDataPlace {
  unsigned stream = 0;
  std::size_t at = 0;  // from the object's start
  std::size_t length = 0;
  std::size_t lengthAt = 0;       // a length field that counts it (2 bytes)
  std::size_t innerLengthAt = 0;  // another that does (a bitmap header's, 4 bytes); 0 for none
};

std::optional<CodecDataPlace> CodecDataIn(std::span<const std::uint8_t> object) {
  if (!IsGuid(object, kStreamProperties) || object.size() < kTypeSpecificAt) return std::nullopt;
  const std::size_t specific = Get(object, kTypeSpecificLengthAt, 4);
  if (specific > object.size() - kTypeSpecificAt) return std::nullopt;
  const auto format = object.subspan(kTypeSpecificAt, specific);
  CodecDataPlace place;
  place.stream = static_cast<unsigned>(Get(object, kStreamFlagsAt, 2) & kStreamNumberMask);
  const auto type = object.subspan(kStreamTypeAt);
  if (IsGuid(type, kVideoMedia)) {
    if (format.size() < kBitmapHeaderAt + kBitmapHeaderSize) return std::nullopt;
    const std::size_t size = Get(format, kVideoFormatSizeAt, 2);
    if (size < kBitmapHeaderSize || size > format.size() - kBitmapHeaderAt) return std::nullopt;
    place.at = kTypeSpecificAt + kBitmapHeaderAt + kBitmapHeaderSize;
    place.length = size - kBitmapHeaderSize;
    place.lengthAt = kTypeSpecificAt + kVideoFormatSizeAt;
    place.innerLengthAt = kTypeSpecificAt + kBitmapHeaderAt;
  } else if (IsGuid(type, kAudioMedia)) {
    if (format.size() < kWaveFormatSize) return std::nullopt;
    const std::size_t extra = Get(format, kWaveFormatExtraAt, 2);
    if (extra > format.size() - kWaveFormatSize) return std::nullopt;
    place.at = kTypeSpecificAt + kWaveFormatSize;
    place.length = extra;
    place.lengthAt = kTypeSpecificAt + kWaveFormatExtraAt;
  } else {
    return std::nullopt;
  }
  return place;
}

// A stream properties object with `data` as its codec data, where it has
// none; the object as it was otherwise.
Bytes WithCodecData(std::span<const std::uint8_t> object, const CodecDataPlace& place,
                    const std::vector<std::uint8_t>& data) {
  Bytes out(object.begin(), object.end());
  if (place.length > 0 || data.empty() || data.size() > 0xFFFF - kBitmapHeaderSize) return out;
  out.insert(out.begin() + static_cast<std::ptrdiff_t>(place.at), data.begin(), data.end());
  Put(out, 16, out.size(), 8);
  Put(out, kTypeSpecificLengthAt, Get(out, kTypeSpecificLengthAt, 4) + data.size(), 4);
  Put(out, place.lengthAt, Get(out, place.lengthAt, 2) + data.size(), 2);
  if (place.innerLengthAt > 0)
    Put(out, place.innerLengthAt, Get(out, place.innerLengthAt, 4) + data.size(), 4);
  return out;
}

// Calls `visit(object)` for each object of a whole header object, in order;
// false when the header is not whole or an object's size points outside it.
template <typename Visit>
bool ForEachObject(std::span<const std::uint8_t> header, Visit visit) {
  const std::uint64_t count = Get(header, 24, 4);
  std::size_t at = kHeaderObjectHeader;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (at + kObjectHeader > header.size()) return false;
    const std::uint64_t objectSize = Get(header, at + 16, 8);
    if (objectSize < kObjectHeader || objectSize > header.size() - at) return false;
    if (!visit(header.subspan(at, static_cast<std::size_t>(objectSize)))) return false;
    at += static_cast<std::size_t>(objectSize);
  }
  return true;
}

// The header object at the start of `bytes`; empty when it is not whole.
std::span<const std::uint8_t> WholeHeader(std::span<const std::uint8_t> bytes) {
  const std::uint64_t size = AsfHeaderSize(bytes);
  if (size < kHeaderObjectHeader || size > bytes.size()) return {};
  return bytes.first(static_cast<std::size_t>(size));
}

}  // namespace

std::vector<std::uint8_t> AsfCodecData(std::span<const std::uint8_t> bytes, unsigned number) {
  std::vector<std::uint8_t> found;
  const auto header = WholeHeader(bytes);
  if (header.empty()) return found;
  ForEachObject(header, [&](std::span<const std::uint8_t> object) {
    const auto place = CodecDataIn(object);
    if (place && place->stream == number)
      found.assign(object.begin() + static_cast<std::ptrdiff_t>(place->at),
                   object.begin() + static_cast<std::ptrdiff_t>(place->at + place->length));
    return true;
  });
  return found;
}

std::uint64_t FileTimeOf(std::int64_t unixSeconds) {
  constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
  return static_cast<std::uint64_t>(unixSeconds + kSecondsFrom1601To1970) * 10'000'000ULL;
}

std::optional<AsfFileProperties> ReadAsfFileProperties(std::span<const std::uint8_t> bytes) {
  std::optional<AsfFileProperties> found;
  const auto header = WholeHeader(bytes);
  if (header.empty()) return found;
  ForEachObject(header, [&](std::span<const std::uint8_t> object) {
    if (IsGuid(object, kFileProperties) && object.size() >= kFilePropertiesSize)
      found = AsfFileProperties{Get(object, kCreationDateAt, 8),
                                static_cast<std::uint32_t>(Get(object, kMaxBitrateAt, 4))};
    return true;
  });
  return found;
}

std::uint64_t AsfHeaderSize(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHeaderObjectHeader || !IsGuid(bytes, kHeaderObject)) return 0;
  return Get(bytes, 16, 8);
}

std::optional<std::vector<std::uint8_t>> RewriteAsfHeader(std::span<const std::uint8_t> bytes,
                                                          const AsfHeaderFacts& facts) {
  const auto header = WholeHeader(bytes);
  if (header.empty()) return std::nullopt;
  const std::uint64_t size = header.size();
  const std::uint64_t count = Get(header, 24, 4);

  Bytes out(header.begin(), header.begin() + kHeaderObjectHeader);
  std::optional<std::size_t> fileProperties;
  bool described = false;
  const bool whole = ForEachObject(header, [&](std::span<const std::uint8_t> object) {
    if (IsGuid(object, kExtendedContentDescription)) {
      const auto body = Descriptions(object.subspan(kObjectHeader), facts);
      if (!body) return false;
      AppendObject(out, kExtendedContentDescription, *body);
      described = true;
      return true;
    }
    if (IsGuid(object, kFileProperties)) {
      if (object.size() < kFilePropertiesSize) return false;
      fileProperties = out.size();
    }
    const auto place = CodecDataIn(object);
    const auto data = place ? facts.codecData.find(place->stream) : facts.codecData.end();
    if (data != facts.codecData.end()) {
      const Bytes mended = WithCodecData(object, *place, data->second);
      out.insert(out.end(), mended.begin(), mended.end());
    } else {
      out.insert(out.end(), object.begin(), object.end());
    }
    return true;
  });
  if (!whole) return std::nullopt;
  if (!fileProperties) return std::nullopt;
  if (!described) {
    const Bytes none{0, 0};
    AppendObject(out, kExtendedContentDescription, *Descriptions(none, facts));
    Put(out, 24, count + 1, 4);
  }
  Put(out, 16, out.size(), 8);

  const std::size_t properties = *fileProperties;
  const std::uint64_t fileSize = Get(out, properties + kFileSizeAt, 8);
  // The writer states the size once it knows it; the header's growth is ours.
  if (fileSize > 0) Put(out, properties + kFileSizeAt, fileSize + out.size() - size, 8);
  if (facts.creationTime > 0) Put(out, properties + kCreationDateAt, facts.creationTime, 8);
  if (facts.maxBitrate > 0) Put(out, properties + kMaxBitrateAt, facts.maxBitrate, 4);
  return out;
}

}  // namespace gst
