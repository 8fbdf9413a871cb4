#include "platform/dshow/stream_info.h"

#include <cmath>

#include "platform/dshow/guids.h"

namespace dshow {

namespace {

MediaType VideoType(const StreamInfo& stream, bool compressed) {
  MediaType type;
  type.majortype = MEDIATYPE_Video;
  type.temporalCompression = compressed;
  VIDEOINFOHEADER info;
  info.rcSource = {0, 0, stream.width, stream.height};
  info.rcTarget = info.rcSource;
  info.dwBitRate = compressed ? stream.bitrate : 0;
  info.AvgTimePerFrame = std::llround(stream.AverageFrameTime() * kUnitsPerSecond);
  info.bmiHeader.biWidth = stream.width;
  info.bmiHeader.biHeight = stream.height;
  // Decoded pictures are planar 4:2:0 (12 bits a pixel) until the run
  // negotiates otherwise.
  info.bmiHeader.biBitCount = compressed ? 0 : 12;
  type.SetFormat(FORMAT_VideoInfo, info);
  return type;
}

MediaType AudioType(const StreamInfo& stream, bool compressed) {
  MediaType type;
  type.majortype = MEDIATYPE_Audio;
  type.subtype = compressed ? GUID_NULL : MEDIASUBTYPE_PCM;
  type.temporalCompression = compressed;
  WAVEFORMATEX wave;
  wave.wFormatTag = compressed ? 0 : WAVE_FORMAT_PCM;
  wave.nChannels = static_cast<std::uint16_t>(stream.channels);
  wave.nSamplesPerSec = static_cast<std::uint32_t>(stream.sampleRate);
  wave.wBitsPerSample = static_cast<std::uint16_t>(compressed ? 0 : 16);
  wave.nBlockAlign = static_cast<std::uint16_t>(wave.nChannels * wave.wBitsPerSample / 8);
  wave.nAvgBytesPerSec = compressed ? stream.bitrate / 8 : wave.nSamplesPerSec * wave.nBlockAlign;
  type.SetFormat(FORMAT_WaveFormatEx, wave);
  return type;
}

}  // namespace

const GUID& MajorTypeOf(StreamKind kind) {
  return kind == StreamKind::Video ? MEDIATYPE_Video : MEDIATYPE_Audio;
}

const char* KindName(StreamKind kind) { return kind == StreamKind::Video ? "Video" : "Audio"; }

const GUID& StreamInfo::MajorType() const { return MajorTypeOf(kind); }

REFTIME StreamInfo::AverageFrameTime() const {
  if (frameRateNumerator <= 0 || frameRateDenominator <= 0) return 0.0;
  return static_cast<double>(frameRateDenominator) / frameRateNumerator;
}

MediaType StreamInfo::CompressedType() const {
  return kind == StreamKind::Video ? VideoType(*this, true) : AudioType(*this, true);
}

MediaType StreamInfo::DecodedType() const {
  return kind == StreamKind::Video ? VideoType(*this, false) : AudioType(*this, false);
}

}  // namespace dshow
