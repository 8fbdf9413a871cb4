#pragma once
// The user's output options. The main window owns the one record; the
// options dialog works on a copy.

#include <cstdint>
#include <string>

// Output format ids as stored in "OutputFormat".
constexpr int kFormatAvi = 0;
constexpr int kFormatWmv = 1;
constexpr int kFormatMkv = 2;
constexpr int kFormatAsf = 3;
constexpr int kFormatMp4 = 4;
constexpr int kFormatDsm = 5;
constexpr int kFormatOgm = 6;

// The frame rate of film shown on NTSC television (24000/1001 as three
// decimals): the output's frame rate until one is chosen.
constexpr double kFilmFrameRate = 23.976;

struct OutputSettings {
  std::string outputPath;  // at most 259 bytes
  std::int32_t outputWidth = 0;
  std::int32_t outputHeight = 0;
  std::int32_t videoCompressionOn = 1;
  std::int32_t audioCompressionOn = 1;
  double frameRate = kFilmFrameRate;
  std::int32_t frameRateChoice = 1;
  std::int32_t resizeMode = 2;
  std::int32_t videoCompressorIndex = 0;
  std::int32_t audioCompressorIndex = 0;
  std::int32_t videoBitrate = 389120;  // 380 * 1024
  std::int32_t audioBitrate = 128000;
  std::int32_t outputFormat = kFormatWmv;
  std::int32_t useFileProfile = 0;
};

// Paths live in buffers of 260 bytes: at most 259 bytes and the terminator.
constexpr std::size_t kMaxPath = 260;
