#include "engine/wm_profile_builder.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/wmf/profile_objects.h"

namespace {

constexpr std::uint16_t kAudioStreamNumber = 1;
constexpr std::uint16_t kFirstVideoStreamNumber = 2;
constexpr std::int64_t kUnitsPerSecond = 10'000'000;  // 100-nanosecond units
// The audio format's bitrate may differ from the request by this much.
constexpr std::uint32_t kAudioBitrateSlack = 249;
// Longest profile text, in UTF-16 units, that fits the conversion buffer.
constexpr std::size_t kMaxProfileTextUnits = 259;

template <typename T>
std::vector<std::uint8_t> BytesOf(const T& value) {
  std::vector<std::uint8_t> bytes(sizeof(T));
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

// UTF-16 units the UTF-8 text becomes: one per character, two for characters
// beyond the basic plane.
std::size_t Utf16Length(const std::string& text) {
  std::size_t units = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++units;
    if (c >= 0xF0) ++units;
  }
  return units;
}

HRESULT ConfigureStream(IWMStreamConfig& config, std::uint16_t number, const std::string& name,
                        const std::string& connectionName, std::uint32_t bitrate,
                        const WM_MEDIA_TYPE& type) {
  HRESULT hr = config.SetStreamNumber(number);
  if (SUCCEEDED(hr)) hr = config.SetStreamName(name);
  if (SUCCEEDED(hr)) hr = config.SetConnectionName(connectionName);
  if (SUCCEEDED(hr)) hr = config.SetBitrate(bitrate);
  if (FAILED(hr)) return hr;
  ComPtr<IWMMediaProps> props;
  hr = ComPtr<IWMStreamConfig>::Borrow(&config).As(props);
  if (FAILED(hr)) return hr;
  return props->SetMediaType(&type);
}

// The steps of one profile generation, on one manager and one profile.
class ProfileBuilder {
 public:
  ProfileBuilder(ComPtr<IWMProfileManager> manager, ComPtr<IWMProfile> profile)
      : manager_(std::move(manager)), profile_(std::move(profile)) {}

  HRESULT AddAudioStream(const AudioStreamParams& request, bool videoPresent);
  HRESULT AddVideoStream(std::uint16_t streamNumber, const VideoStreamParams& request);
  HRESULT AddVideoMutex(std::uint16_t videoCount);
  HRESULT AddScriptStream(std::uint16_t streamNumber, std::uint32_t bitrate);

 private:
  // Adds a new stream of the type, configured, to the profile.
  HRESULT AddNewStream(const GUID& streamType, std::uint16_t number, const std::string& name,
                       const std::string& connectionName, std::uint32_t bitrate,
                       wmf::MediaType type);

  ComPtr<IWMProfileManager> manager_;
  ComPtr<IWMProfile> profile_;
};

HRESULT ProfileBuilder::AddNewStream(const GUID& streamType, std::uint16_t number,
                                     const std::string& name, const std::string& connectionName,
                                     std::uint32_t bitrate, wmf::MediaType type) {
  ComPtr<IWMStreamConfig> config;
  HRESULT hr = profile_->CreateNewStream(streamType, config);
  if (SUCCEEDED(hr))
    hr = ConfigureStream(*config, number, name, connectionName, bitrate, type.View());
  if (SUCCEEDED(hr)) hr = profile_->AddStream(config.Get());
  return hr;
}

// Hands every predefined format of the media type to `visit`, codec by codec
// and format by format, until `visit` answers S_FALSE (done) or a failure.
template <typename Visit>
HRESULT ForEachCodecFormat(const ComPtr<IWMProfileManager>& manager, const GUID& mediaType,
                           Visit visit) {
  ComPtr<IWMCodecInfo> info;
  HRESULT hr = manager.As(info);
  if (FAILED(hr)) return hr;
  std::uint32_t codecs = 0;
  hr = info->GetCodecInfoCount(mediaType, codecs);
  for (std::uint32_t i = 0; SUCCEEDED(hr) && i < codecs; ++i) {
    std::uint32_t formats = 0;
    hr = info->GetCodecFormatCount(mediaType, i, formats);
    for (std::uint32_t j = 0; SUCCEEDED(hr) && j < formats; ++j) {
      ComPtr<IWMStreamConfig> config;
      hr = info->GetCodecFormat(mediaType, i, j, config);
      if (SUCCEEDED(hr)) hr = visit(std::move(config));
      if (hr == S_FALSE) return S_OK;
    }
  }
  return hr;
}

HRESULT ProfileBuilder::AddAudioStream(const AudioStreamParams& request, bool videoPresent) {
  std::optional<wmf::MediaType> chosen;
  WAVEFORMATEX chosenWave;
  const HRESULT hr =
      ForEachCodecFormat(manager_, WMMEDIATYPE_Audio, [&](ComPtr<IWMStreamConfig> config) {
        ComPtr<IWMMediaProps> props;
        HRESULT step = config.As(props);
        config.Reset();
        wmf::MediaType type;
        if (SUCCEEDED(step)) step = wmf::ReadMediaType(*props, type);
        if (FAILED(step)) return step;
        // A block too short for its WAVEFORMATEX and extra bytes is refused
        // rather than read past.
        if (type.formattype != WMFORMAT_WaveFormatEx || !wmf::FormatBlockIsWhole(type))
          return E_FAIL;
        const WAVEFORMATEX wave = *wmf::FormatAs<WAVEFORMATEX>(type.format);
        // Unsigned wrap-around makes this one comparison a window on both sides.
        const std::uint32_t distance =
            wave.nAvgBytesPerSec * 8u - request.bitrate + kAudioBitrateSlack;
        const bool candidate =
            distance <= 2 * kAudioBitrateSlack && wave.nSamplesPerSec == request.sampleRate &&
            wave.nChannels == request.channels && wave.wFormatTag == request.formatTag;
        // With video the smallest block wins, without video the largest; among
        // equals the last one.
        if (candidate && (!chosen || (videoPresent ? wave.nBlockAlign <= chosenWave.nBlockAlign
                                                   : wave.nBlockAlign >= chosenWave.nBlockAlign))) {
          chosen = std::move(type);
          chosenWave = wave;
        }
        return S_OK;
      });
  if (FAILED(hr)) return hr;
  if (!chosen) return NS_E_AUDIO_CODEC_NOT_INSTALLED;

  wmf::MediaType type;
  type.majortype = WMMEDIATYPE_Audio;
  type.subtype = MediaSubtypeOf(chosenWave.wFormatTag);
  type.fixedSizeSamples = true;
  type.temporalCompression = false;
  type.sampleSize = chosenWave.nBlockAlign;
  type.formattype = WMFORMAT_WaveFormatEx;
  type.format.assign(chosen->format.begin(),
                     chosen->format.begin() + kWaveFormatExSize + chosenWave.cbSize);
  return AddNewStream(WMMEDIATYPE_Audio, kAudioStreamNumber, "Audio Stream", "Audio",
                      chosenWave.nAvgBytesPerSec * 8u, std::move(type));
}

HRESULT ProfileBuilder::AddVideoStream(std::uint16_t streamNumber,
                                       const VideoStreamParams& request) {
  ComPtr<IWMStreamConfig> taken;
  ComPtr<IWMVideoMediaProps> props;
  wmf::MediaType type;
  HRESULT hr = ForEachCodecFormat(manager_, WMMEDIATYPE_Video, [&](ComPtr<IWMStreamConfig> config) {
    HRESULT step = config.As(props);
    if (SUCCEEDED(step)) step = wmf::ReadMediaType(*props, type);
    if (FAILED(step)) return step;
    const auto header = wmf::FormatAs<VIDEOINFOHEADER>(type.format);
    if (type.formattype != WMFORMAT_VideoInfo || !header ||
        header->bmiHeader.biCompression != request.fourcc)
      return S_OK;  // not this one: released, and the search goes on
    taken = std::move(config);
    return S_FALSE;
  });
  if (FAILED(hr)) return hr;
  if (!taken) return NS_E_VIDEO_CODEC_NOT_INSTALLED;

  VIDEOINFOHEADER header = *wmf::FormatAs<VIDEOINFOHEADER>(type.format);
  const auto width = static_cast<std::int32_t>(request.width);
  const auto height = static_cast<std::int32_t>(request.height);
  header.rcSource.right = width;
  header.rcTarget.right = width;
  header.bmiHeader.biWidth = width;
  header.rcSource.bottom = height;
  header.rcTarget.bottom = height;
  header.bmiHeader.biHeight = height;
  header.dwBitRate = request.bitrate;
  header.AvgTimePerFrame = kUnitsPerSecond / request.frameRate;
  std::memcpy(type.format.data(), &header, sizeof header);

  hr = props->SetQuality(request.quality);
  if (SUCCEEDED(hr))
    hr = props->SetMaxKeyFrameSpacing(request.maxKeyFrameSpacing * kUnitsPerSecond);
  if (SUCCEEDED(hr))
    hr = ConfigureStream(*taken, streamNumber, "Video Stream", "Video", request.bitrate,
                         type.View());
  if (SUCCEEDED(hr)) hr = profile_->AddStream(taken.Get());
  return hr;
}

HRESULT ProfileBuilder::AddVideoMutex(std::uint16_t videoCount) {
  ComPtr<IWMMutualExclusion> exclusion;
  HRESULT hr = profile_->CreateNewMutualExclusion(exclusion);
  if (SUCCEEDED(hr)) hr = exclusion->SetType(CLSID_WMMutex_Bitrate);
  for (std::uint16_t i = 0; SUCCEEDED(hr) && i < videoCount; ++i)
    hr = exclusion->AddStream(static_cast<std::uint16_t>(kFirstVideoStreamNumber + i));
  if (SUCCEEDED(hr)) hr = profile_->AddMutualExclusion(exclusion.Get());
  return hr;
}

HRESULT ProfileBuilder::AddScriptStream(std::uint16_t streamNumber, std::uint32_t bitrate) {
  wmf::MediaType type;
  type.majortype = WMMEDIATYPE_Script;
  type.subtype = GUID_NULL;
  type.fixedSizeSamples = false;
  type.temporalCompression = false;
  type.sampleSize = 0;
  type.formattype = WMFORMAT_Script;
  type.format = BytesOf(WMSCRIPTFORMAT{WMSCRIPTTYPE_TwoStrings});
  return AddNewStream(WMMEDIATYPE_Script, streamNumber, "Script Stream", "Script", bitrate,
                      std::move(type));
}

bool RequestIsValid(const AudioStreamParams* audio, std::uint16_t videoCount,
                    const VideoStreamParams* videos, const ComPtr<IWMProfile>* profileOut) {
  if (!audio || !profileOut || videoCount > kMaxVideoStreams) return false;
  if (videoCount > 0 && !videos) return false;
  // A frame rate of 0, or one above the highest, has no frame duration.
  for (std::uint16_t i = 0; i < videoCount; ++i)
    if (videos[i].frameRate == 0 || videos[i].frameRate > kMaxProfileFrameRate) return false;
  return true;
}

}  // namespace

HRESULT GenerateProfile(const AudioStreamParams* audio, const std::uint32_t* scriptBitrate,
                        std::uint16_t videoCount, const VideoStreamParams* videos,
                        ComPtr<IWMProfile>* profileOut, WMT_VERSION version) {
  if (!RequestIsValid(audio, videoCount, videos, profileOut)) return E_INVALIDARG;

  ComPtr<IWMProfileManager> manager;
  HRESULT hr = WMCreateProfileManager(manager);
  if (FAILED(hr)) return hr;
  ComPtr<IWMProfile> profile;
  hr = manager->CreateEmptyProfile(version, profile);
  if (SUCCEEDED(hr)) hr = profile->SetName("Custom Profile");
  if (FAILED(hr)) return hr;

  ProfileBuilder builder(manager, profile);
  hr = builder.AddAudioStream(*audio, videoCount > 0);
  for (std::uint16_t i = 0; SUCCEEDED(hr) && i < videoCount; ++i)
    hr = builder.AddVideoStream(static_cast<std::uint16_t>(kFirstVideoStreamNumber + i), videos[i]);
  if (SUCCEEDED(hr) && videoCount > 1) hr = builder.AddVideoMutex(videoCount);
  if (SUCCEEDED(hr) && scriptBitrate)
    hr = builder.AddScriptStream(static_cast<std::uint16_t>(kFirstVideoStreamNumber + videoCount),
                                 *scriptBitrate);
  if (FAILED(hr)) return hr;
  *profileOut = std::move(profile);
  return hr;
}

HRESULT MapProfile(const std::string& profileText, ComPtr<IWMProfile>* profileOut) {
  if (!profileOut) return E_POINTER;
  ComPtr<IWMProfileManager> manager;
  HRESULT hr = WMCreateProfileManager(manager);
  if (FAILED(hr)) {
    std::printf("MapProfile: Failed to create profile manager!  hr=0x%x\n",
                static_cast<unsigned>(hr));
    return hr;
  }
  if (Utf16Length(profileText) > kMaxProfileTextUnits) return E_INVALIDARG;
  ComPtr<IWMProfile> profile;
  hr = manager->LoadProfileByData(profileText, profile);
  if (SUCCEEDED(hr)) *profileOut = std::move(profile);
  return hr;
}
