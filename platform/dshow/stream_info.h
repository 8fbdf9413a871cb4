#pragma once
// What discovery learnt about one audio or video stream of a file.

#include <cstdint>
#include <string>

#include "platform/dshow/media_type.h"

namespace dshow {

enum class StreamKind { Video, Audio };

const GUID& MajorTypeOf(StreamKind kind);
const char* KindName(StreamKind kind);  // "Video", "Audio"

struct StreamInfo {
  StreamKind kind = StreamKind::Video;
  int indexInKind = 0;  // 0 for the first video (or audio) stream, 1 for the next...
  // The stream's id as the demuxer announces it when the file is played;
  // empty when not known (match streams by kind and index in kind then).
  std::string streamId;
  std::string caps;     // the stream's caps as found (compressed or raw)
  std::string decoder;  // long name of the decoder that will decode it; empty when raw
  std::uint32_t bitrate = 0;
  // Video: the size as shown, after the turn the file declares
  // (orientation, "rotate-90" for example; empty when upright).
  int width = 0;
  int height = 0;
  std::string orientation;
  // The declared rate; for a variable-rate stream that declares none, the
  // average measured from its frame times (frameRateMeasured), or 0/1 when
  // even that is not known.
  int frameRateNumerator = 0;
  int frameRateDenominator = 1;
  bool frameRateMeasured = false;
  // Audio.
  int channels = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;

  const GUID& MajorType() const;
  // Seconds per frame from the declared rate; 0 when there is none.
  REFTIME AverageFrameTime() const;
  // The media type a pin carrying this stream offers: compressed as found,
  // or decoded.
  MediaType CompressedType() const;
  MediaType DecodedType() const;
};

}  // namespace dshow
