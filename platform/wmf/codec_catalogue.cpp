#include "platform/wmf/codec_catalogue.h"

#include <cstring>
#include <mutex>

namespace wmf {

namespace {

std::mutex& CatalogueMutex() {
  static std::mutex mutex;
  return mutex;
}

std::shared_ptr<const CodecCatalogue>& CatalogueSlot() {
  static std::shared_ptr<const CodecCatalogue> slot(std::shared_ptr<const CodecCatalogue>(),
                                                    &DefaultCodecCatalogue());
  return slot;
}

template <typename T>
std::vector<std::uint8_t> BytesOf(const T& value) {
  std::vector<std::uint8_t> bytes(sizeof(T));
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

// The codec bytes of a Windows Media Audio 2 format: samples per block,
// encode options, super block alignment.
std::vector<std::uint8_t> Wma2Extra(std::uint32_t samplesPerBlock, std::uint16_t blockAlign) {
  std::vector<std::uint8_t> extra(10, 0);
  std::memcpy(extra.data(), &samplesPerBlock, 4);
  const std::uint16_t options = 0x000F;
  std::memcpy(extra.data() + 4, &options, 2);
  const std::uint32_t superBlock = blockAlign;
  std::memcpy(extra.data() + 6, &superBlock, 4);
  return extra;
}

Codec WindowsMediaAudio() {
  Codec codec{"Windows Media Audio 9.2", WMMEDIATYPE_Audio, {}};
  constexpr std::uint32_t kSamplesPerBlock = 2048;
  for (std::uint32_t rate : {44100u, 48000u}) {
    for (std::uint16_t channels : {std::uint16_t{2}, std::uint16_t{1}}) {
      for (std::uint32_t kbps : {320u, 256u, 192u, 160u, 128u, 96u, 80u, 64u, 48u, 32u}) {
        if (channels == 1 && kbps > 160) continue;
        const std::uint32_t bytesPerSec = kbps * 1000 / 8;
        // One block holds a fixed number of samples per channel.
        const auto blockAlign = static_cast<std::uint16_t>(
            (static_cast<std::uint64_t>(bytesPerSec) * kSamplesPerBlock + rate - 1) / rate);
        codec.formats.push_back(AudioFormat(WAVE_FORMAT_WMAUDIO2, rate, channels, bytesPerSec,
                                            blockAlign, Wma2Extra(kSamplesPerBlock, blockAlign)));
      }
    }
  }
  return codec;
}

Codec WindowsMediaVideo(const char* name, std::uint32_t fourcc) {
  return Codec{name, WMMEDIATYPE_Video, {VideoFormat(fourcc, 320, 240, 250000, 333333)}};
}

}  // namespace

StreamData AudioFormat(std::uint16_t formatTag, std::uint32_t sampleRate, std::uint16_t channels,
                       std::uint32_t avgBytesPerSec, std::uint16_t blockAlign,
                       std::vector<std::uint8_t> extra) {
  WAVEFORMATEX wave;
  wave.wFormatTag = formatTag;
  wave.nChannels = channels;
  wave.nSamplesPerSec = sampleRate;
  wave.nAvgBytesPerSec = avgBytesPerSec;
  wave.nBlockAlign = blockAlign;
  wave.wBitsPerSample = 16;
  wave.cbSize = static_cast<std::uint16_t>(extra.size());

  MediaType type;
  type.majortype = WMMEDIATYPE_Audio;
  type.subtype = MediaSubtypeOf(formatTag);
  type.fixedSizeSamples = true;
  type.sampleSize = blockAlign;
  type.formattype = WMFORMAT_WaveFormatEx;
  type.format = BytesOf(wave);
  type.format.insert(type.format.end(), extra.begin(), extra.end());

  StreamData stream;
  stream.streamType = WMMEDIATYPE_Audio;
  stream.bitrate = avgBytesPerSec * 8;
  stream.mediaType = std::move(type);
  return stream;
}

StreamData VideoFormat(std::uint32_t fourcc, std::int32_t width, std::int32_t height,
                       std::uint32_t bitrate, REFERENCE_TIME timePerFrame) {
  VIDEOINFOHEADER info;
  info.rcSource = {0, 0, width, height};
  info.rcTarget = {0, 0, width, height};
  info.dwBitRate = bitrate;
  info.AvgTimePerFrame = timePerFrame;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = fourcc;

  MediaType type;
  type.majortype = WMMEDIATYPE_Video;
  type.subtype = MediaSubtypeOf(fourcc);
  type.temporalCompression = true;
  type.formattype = WMFORMAT_VideoInfo;
  type.format = BytesOf(info);

  StreamData stream;
  stream.streamType = WMMEDIATYPE_Video;
  stream.bitrate = bitrate;
  stream.bufferWindow = 5000;
  stream.quality = 75;
  stream.maxKeyFrameSpacing = 80'000'000;
  stream.mediaType = std::move(type);
  return stream;
}

const CodecCatalogue& DefaultCodecCatalogue() {
  static const CodecCatalogue catalogue{
      WindowsMediaAudio(),
      WindowsMediaVideo("Windows Media Video 9", MakeFourCC('W', 'M', 'V', '3')),
      WindowsMediaVideo("Windows Media Video 8", MakeFourCC('W', 'M', 'V', '2')),
      WindowsMediaVideo("Windows Media Video 7", MakeFourCC('W', 'M', 'V', '1')),
  };
  return catalogue;
}

std::shared_ptr<const CodecCatalogue> CurrentCodecCatalogue() {
  std::lock_guard lock(CatalogueMutex());
  return CatalogueSlot();
}

ScopedCodecCatalogue::ScopedCodecCatalogue(CodecCatalogue catalogue) {
  auto replacement = std::make_shared<const CodecCatalogue>(std::move(catalogue));
  std::lock_guard lock(CatalogueMutex());
  previous_ = std::exchange(CatalogueSlot(), std::move(replacement));
}

ScopedCodecCatalogue::~ScopedCodecCatalogue() {
  std::lock_guard lock(CatalogueMutex());
  CatalogueSlot() = std::move(previous_);
}

}  // namespace wmf
