#pragma once
// Format blocks of media types, with the layouts of the Windows headers:
// shared by the media framework and the Windows Media profile runtime.

#include <cstdint>

using REFERENCE_TIME = std::int64_t;  // media time in 100 ns units
using REFTIME = double;               // media time in seconds

struct RECT {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
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
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct VIDEOINFOHEADER {
  RECT rcSource;
  RECT rcTarget;
  std::uint32_t dwBitRate = 0;
  std::uint32_t dwBitErrorRate = 0;
  REFERENCE_TIME AvgTimePerFrame = 0;  // 0 when the stream declares no rate
  BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER) == 88);

// Audio format block: 18 bytes without padding, followed by cbSize extra
// bytes that belong to the codec.
#pragma pack(push, 1)
struct WAVEFORMATEX {
  std::uint16_t wFormatTag = 0;
  std::uint16_t nChannels = 0;
  std::uint32_t nSamplesPerSec = 0;
  std::uint32_t nAvgBytesPerSec = 0;
  std::uint16_t nBlockAlign = 0;
  std::uint16_t wBitsPerSample = 0;
  std::uint16_t cbSize = 0;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);
constexpr std::uint32_t kWaveFormatExSize = 18;

constexpr std::uint16_t WAVE_FORMAT_PCM = 1;
constexpr std::uint16_t WAVE_FORMAT_MSAUDIO1 = 0x0160;  // Windows Media Audio 1
constexpr std::uint16_t WAVE_FORMAT_WMAUDIO2 = 0x0161;  // Windows Media Audio 2
// Beyond the rate of any encoder: a WAVE format that states more is damaged.
constexpr std::uint32_t kMostWaveSampleRate = 768000;

// Four characters packed little-endian, as biCompression holds them.
constexpr std::uint32_t MakeFourCC(char a, char b, char c, char d) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}
