#pragma once
// What the header of a Windows Media (ASF) file says about where the file
// came from: when it was made, by which program, and the highest bitrate a
// player must be ready for. libav's ASF writer says 1970, names itself
// ("WM/EncodingSettings" = "Lavf...") and counts only the streams whose
// bitrate its encoder declared; these rewrite such a header.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace gst {

struct AsfHeaderFacts {
  std::uint64_t creationTime = 0;  // 100 ns units since 1601-01-01 (a FILETIME); 0 keeps
                                   // what the header says
  std::string toolName;            // "WM/ToolName", the encoding application
  std::string toolVersion;         // "WM/ToolVersion"
  std::uint32_t maxBitrate = 0;    // bits per second; 0 keeps what the header says
  // Codec data to give the streams (by stream number, from 1) whose format
  // carries none.
  std::map<unsigned, std::vector<std::uint8_t>> codecData;
};

// The FILETIME of a moment given in seconds since 1970-01-01.
std::uint64_t FileTimeOf(std::int64_t unixSeconds);

// What the file properties of a header say of the file.
struct AsfFileProperties {
  std::uint64_t creationTime = 0;  // a FILETIME
  std::uint32_t maxBitrate = 0;    // bits per second
};

// The file properties of the header object at the start of `bytes`; none
// when they do not start with a whole header that has them.
std::optional<AsfFileProperties> ReadAsfFileProperties(std::span<const std::uint8_t> bytes);

// Size in bytes of the ASF header object at the start of `bytes`; 0 when
// they do not start with one.
std::uint64_t AsfHeaderSize(std::span<const std::uint8_t> bytes);

// The codec data that the format of stream `number` carries in the header
// object at the start of `bytes`: what follows a video stream's bitmap
// header or an audio stream's wave format. Empty for none, or when there
// is no such stream in a whole header.
std::vector<std::uint8_t> AsfCodecData(std::span<const std::uint8_t> bytes, unsigned number);

// The header object at the start of `bytes`, rewritten with the facts: the
// file properties' creation date and maximum bitrate (those given), the
// extended content description naming the tool (its name and version)
// instead of libav, and the codec data given for streams whose format
// lacks it. The header may
// change size; a file size it states grows with it.
// None when `bytes` do not start with a whole, well-formed header object.
std::optional<std::vector<std::uint8_t>> RewriteAsfHeader(std::span<const std::uint8_t> bytes,
                                                          const AsfHeaderFacts& facts);

}  // namespace gst
