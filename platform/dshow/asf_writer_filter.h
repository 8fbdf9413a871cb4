#pragma once
// The Windows Media writer: one filter that encodes and multiplexes, with an
// input pin per stream of the profile it is configured with.
//
// It writes one audio and one video stream at most: audio as Windows Media
// Audio 2, video as Windows Media Video 8 (a profile asking for version 9 is
// written as version 8, the newest with an open encoder). Script streams of
// a profile get no pin and are not written. Inputs take decoded streams
// only, since the writer encodes them itself.

#include <string>

#include "platform/dshow/output_filters.h"

namespace dshow {

class AsfWriterFilter : public FileSinkFilter<AsfWriterRole, IConfigAsfWriter> {
 public:
  AsfWriterFilter(const std::string& path, gst::ElementPtr container);

  // Pins "Audio Input 01" and "Video Input 01" for the profile's streams.
  // Fails with E_POINTER for no profile, E_INVALIDARG for a profile without
  // a usable audio or video stream, E_NOTIMPL for one with more than one
  // stream of a kind, VFW_E_WRONG_STATE once a pin is connected or when a
  // kind that has a pin is no longer in the profile (pins are never taken
  // away). The profile's own failure codes pass through.
  HRESULT ConfigureFilterUsingProfile(IWMProfile* profile) override;
};

// An unconfigured writer of `path`; REGDB_E_CLASSNOTREG when the container
// element is not installed.
HRESULT MakeAsfWriter(const std::string& path, ComPtr<AsfWriterFilter>& filter);

}  // namespace dshow
