#pragma once
// Configuration of the codec behind the chosen video compressor: the
// Settings button of the output options dialog finds the video codec whose
// description matches the chosen compressor's name and runs the codec's own
// dialog, starting from the state saved at the last confirmed configuration.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/vfw/vfw.h"

namespace ui {
class Dialog;
}

// Process-wide; lives until the process ends.
struct VideoCodecConfiguration {
  static constexpr std::size_t kMaxCodecs = 50;

  // The codecs that accept the probe format, in the platform's order.
  std::vector<vfw::ICINFO> codecTable;
  // The text of the video compressor combo's selection at the last press.
  std::string chosenCompressorName;
  // One block shared by all codecs; empty while there is none.
  std::vector<std::uint8_t> stateBuffer;
  bool stateSaved = false;
};

VideoCodecConfiguration& TheVideoCodecConfiguration();

// 352 x 240 RGB, 24 bits.
vfw::BITMAPINFOHEADER CodecProbeFormat();

// The number of a text: its first run of digits and '.', or none.
std::optional<std::string> NumberOf(const std::string& text);

// The position in `descriptions` of the codec that matches the chosen
// compressor: an exact match ignoring case (the last one wins), else the
// first one that shares "ffdshow video encoder" and its number with it.
std::optional<std::size_t> MatchingCodec(const std::string& chosenName,
                                         const std::vector<std::string>& descriptions);

// The Settings button (IDC_BUTTON_VIDEO_CODEC_SETTINGS) of the output options
// dialog. Every failure ends it silently.
void ConfigureChosenVideoCodec(ui::Dialog& optionsDialog);
