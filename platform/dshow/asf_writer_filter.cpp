#include "platform/dshow/asf_writer_filter.h"

#include <gst/video/video.h>

#include <cmath>
#include <cstdlib>

#include "platform/dshow/errors.h"
#include "platform/dshow/pin_walk.h"
#include "platform/gst/element_maker.h"
#include "platform/wmf/profile_objects.h"

namespace dshow {

namespace {

struct ProfileStreams {
  std::optional<gst::AsfAudioStream> audio;
  std::optional<gst::AsfVideoStream> video;
};

// Frames per second from a frame time in 100 ns units: a whole number when
// the time is one (333,333 is 30), else the standard rate it stands for
// (417,083 is 24000/1001) or the nearest fraction.
void SetFrameRate(REFERENCE_TIME frameTime, gst::AsfVideoStream& video) {
  if (frameTime <= 0) return;  // the source's own timing
  const double rate = static_cast<double>(kUnitsPerSecond) / static_cast<double>(frameTime);
  if (std::abs(rate - std::round(rate)) < 1e-3) {
    video.framerateNum = static_cast<int>(std::lround(rate));
    video.framerateDen = 1;
    return;
  }
  gst_video_guess_framerate(static_cast<GstClockTime>(frameTime) * 100, &video.framerateNum,
                            &video.framerateDen);
}

HRESULT ReadAudio(const wmf::StreamData& stream, ProfileStreams& found) {
  if (found.audio) return E_NOTIMPL;
  const auto wave = stream.mediaType && stream.mediaType->formattype == WMFORMAT_WaveFormatEx
                        ? wmf::FormatAs<WAVEFORMATEX>(stream.mediaType->format)
                        : std::nullopt;
  if (!wave || wave->nSamplesPerSec == 0 || wave->nChannels == 0) return E_INVALIDARG;
  gst::AsfAudioStream audio;
  audio.bitrate = stream.bitrate > 0 ? stream.bitrate : wave->nAvgBytesPerSec * 8;
  audio.sampleRate = static_cast<int>(wave->nSamplesPerSec);
  audio.channels = wave->nChannels;
  found.audio = audio;
  return S_OK;
}

HRESULT ReadVideo(const wmf::StreamData& stream, ProfileStreams& found) {
  if (found.video) return E_NOTIMPL;
  const auto info = stream.mediaType && stream.mediaType->formattype == WMFORMAT_VideoInfo
                        ? wmf::FormatAs<VIDEOINFOHEADER>(stream.mediaType->format)
                        : std::nullopt;
  // A negative height is a top-down picture of that many lines.
  const std::int64_t height = info ? std::llabs(std::int64_t{info->bmiHeader.biHeight}) : 0;
  if (!info || info->bmiHeader.biWidth <= 0 || height <= 0 || height > INT32_MAX ||
      info->AvgTimePerFrame < 0)
    return E_INVALIDARG;
  gst::AsfVideoStream video;
  video.width = info->bmiHeader.biWidth;
  video.height = static_cast<int>(height);
  video.bitrate = stream.bitrate > 0 ? stream.bitrate : info->dwBitRate;
  SetFrameRate(info->AvgTimePerFrame, video);
  video.keyFrameSpacingSeconds = static_cast<int>(
      std::min<std::int64_t>(stream.maxKeyFrameSpacing / kUnitsPerSecond, INT32_MAX));
  found.video = video;
  return S_OK;
}

HRESULT ReadStreams(IWMProfile& profile, ProfileStreams& found) {
  const std::optional<wmf::ProfileData> data = wmf::ReadProfile(profile);
  if (!data) return E_INVALIDARG;
  for (const wmf::StreamData& stream : data->streams) {
    HRESULT hr = S_OK;
    if (stream.streamType == WMMEDIATYPE_Audio) hr = ReadAudio(stream, found);
    else if (stream.streamType == WMMEDIATYPE_Video) hr = ReadVideo(stream, found);
    if (FAILED(hr)) return hr;
  }
  return found.audio || found.video ? S_OK : E_INVALIDARG;
}

bool HasInput(IBaseFilter& filter, StreamKind kind) {
  OwnedMediaType type;
  type.Get().majortype = MajorTypeOf(kind);
  for (const ComPtr<IPin>& pin : PinsOf(filter, PINDIR_INPUT))
    if (pin->QueryAccept(type.Get()) == S_OK) return true;
  return false;
}

bool AnyInputConnected(IBaseFilter& filter) {
  for (const ComPtr<IPin>& pin : PinsOf(filter, PINDIR_INPUT)) {
    ComPtr<IPin> peer;
    if (SUCCEEDED(pin->ConnectedTo(peer))) return true;
  }
  return false;
}

}  // namespace

AsfWriterFilter::AsfWriterFilter(const std::string& path, gst::ElementPtr container)
    : FileSinkFilter<AsfWriterRole, IConfigAsfWriter>(
          AsfWriterRole{{path, 0}, {}, {}, std::move(container)}) {}

HRESULT AsfWriterFilter::ConfigureFilterUsingProfile(IWMProfile* profile) {
  if (!profile) return E_POINTER;
  ProfileStreams found;
  const HRESULT hr = ReadStreams(*profile, found);
  if (FAILED(hr)) return hr;
  if (AnyInputConnected(*this) || (HasInput(*this, StreamKind::Audio) && !found.audio) ||
      (HasInput(*this, StreamKind::Video) && !found.video))
    return VFW_E_WRONG_STATE;
  if (found.audio && !HasInput(*this, StreamKind::Audio))
    AddPin("Audio Input 01", PINDIR_INPUT, MediaType::Major(MajorTypeOf(StreamKind::Audio)));
  if (found.video && !HasInput(*this, StreamKind::Video))
    AddPin("Video Input 01", PINDIR_INPUT, MediaType::Major(MajorTypeOf(StreamKind::Video)));
  AsfWriterRole& role = Target();
  role.audio = found.audio;
  role.video = found.video;
  return S_OK;
}

HRESULT MakeAsfWriter(const std::string& path, ComPtr<AsfWriterFilter>& filter) {
  filter.Reset();
  gst::Result<gst::ElementPtr> container = gst::MakeElement(gst::PlanAsfWriter({}, {}).muxer);
  if (!container) return REGDB_E_CLASSNOTREG;
  filter = MakeCom<AsfWriterFilter>(path, std::move(*container));
  return S_OK;
}

}  // namespace dshow
