#pragma once
// Windows Media profiles for the ASF writer: generated from a few numbers
// (one audio stream, up to 63 alternative video streams, an optional script
// stream) out of the installed codecs' predefined formats, or loaded from
// profile text.

#include <cstdint>
#include <string>

#include "platform/wmf/wm_interfaces.h"

struct AudioStreamParams {
  std::uint32_t bitrate = 0;     // bits per second
  std::uint32_t formatTag = 0;   // WAVE format tag of the wanted codec
  std::uint32_t sampleRate = 0;  // samples per second
  std::uint32_t channels = 0;
};

struct VideoStreamParams {
  std::uint32_t fourcc = 0;  // the codec format's biCompression must equal it
  std::uint32_t bitrate = 0;
  std::uint32_t height = 0;
  std::uint32_t width = 0;
  std::uint32_t frameRate = 0;  // whole frames per second, 1 to kMaxProfileFrameRate
  std::uint32_t quality = 0;
  std::uint32_t maxKeyFrameSpacing = 0;  // seconds
};

constexpr std::uint16_t kMaxVideoStreams = 63;
// A profile holds a video stream's frame time as a whole number of 100-ns
// units, at least 1: no higher rate has one.
constexpr std::uint32_t kMaxProfileFrameRate = 10'000'000;

// Builds a profile: audio is stream 1, video i is stream i + 2, the script
// stream (when scriptBitrate is not null) comes after the video streams.
// On success *profileOut receives the profile; on failure it is untouched.
// E_INVALIDARG, before the runtime is touched, for a missing audio request or
// profileOut, more than 63 video streams, missing video requests or a video
// frame rate of 0 or above kMaxProfileFrameRate.
HRESULT GenerateProfile(const AudioStreamParams* audio, const std::uint32_t* scriptBitrate,
                        std::uint16_t videoCount, const VideoStreamParams* videos,
                        ComPtr<IWMProfile>* profileOut, WMT_VERSION version);

// Loads a profile from profile text. E_POINTER without profileOut;
// E_INVALIDARG when the text does not fit the 260-character buffer it is
// converted into (it is never cut short).
HRESULT MapProfile(const std::string& profileText, ComPtr<IWMProfile>* profileOut);
