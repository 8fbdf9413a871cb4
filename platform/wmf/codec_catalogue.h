#pragma once
// The codecs the runtime offers and their predefined formats, which
// IWMCodecInfo enumerates in order (codec, then format).
//
// The process uses the default catalogue: the Windows Media codecs that the
// ASF writer can actually produce. Tests put another catalogue in force with
// ScopedCodecCatalogue.

#include <memory>
#include <string>
#include <vector>

#include "platform/wmf/profile_data.h"

namespace wmf {

struct Codec {
  std::string name;
  GUID mediaType;                   // WMMEDIATYPE_Audio or WMMEDIATYPE_Video
  std::vector<StreamData> formats;  // each with its media type set
};

using CodecCatalogue = std::vector<Codec>;

// Windows Media Audio 2 (tag 0x0161) at 44.1 and 48 kHz, mono and stereo,
// 32 to 320 kbps; Windows Media Video 9, 8 and 7 ("WMV3", "WMV2", "WMV1").
const CodecCatalogue& DefaultCodecCatalogue();

// The catalogue in force for new profile managers.
std::shared_ptr<const CodecCatalogue> CurrentCodecCatalogue();

// Puts a catalogue in force for its lifetime, then restores the previous one.
class ScopedCodecCatalogue {
 public:
  explicit ScopedCodecCatalogue(CodecCatalogue catalogue);
  ~ScopedCodecCatalogue();
  ScopedCodecCatalogue(const ScopedCodecCatalogue&) = delete;
  ScopedCodecCatalogue& operator=(const ScopedCodecCatalogue&) = delete;

 private:
  std::shared_ptr<const CodecCatalogue> previous_;
};

// A predefined audio format: a WAVEFORMATEX with `extra` codec bytes after it.
StreamData AudioFormat(std::uint16_t formatTag, std::uint32_t sampleRate, std::uint16_t channels,
                       std::uint32_t avgBytesPerSec, std::uint16_t blockAlign,
                       std::vector<std::uint8_t> extra = {});

// A predefined video format: a VIDEOINFOHEADER with the given compression.
StreamData VideoFormat(std::uint32_t fourcc, std::int32_t width, std::int32_t height,
                       std::uint32_t bitrate, REFERENCE_TIME timePerFrame);

}  // namespace wmf
