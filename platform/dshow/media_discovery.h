#pragma once
// Learns a file's audio and video streams with GStreamer's discoverer:
// synchronous, bounded by a time-out, never blocked by a file that is not a
// regular, readable file.

#include <optional>
#include <string>
#include <vector>

#include "platform/com/hresult.h"
#include "platform/dshow/stream_info.h"

namespace dshow {

struct Discovery {
  HRESULT result = S_OK;  // a failure code when the file cannot be played
  std::string uri;
  std::optional<REFERENCE_TIME> duration;
  std::vector<StreamInfo> streams;  // decodable streams: videos, then audios
  int undecodableVideos = 0;
  int undecodableAudios = 0;
  std::string detail;  // GStreamer's own words about a failure
};

// How long discovery of one file may take, in all.
constexpr int kDiscoveryTimeoutSeconds = 5;

Discovery DiscoverFile(const std::string& path);

}  // namespace dshow
