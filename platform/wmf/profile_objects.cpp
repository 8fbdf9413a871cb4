#include "platform/wmf/profile_objects.h"

#include <algorithm>
#include <memory>
#include <new>

namespace wmf {

namespace {

// Returned when a configuration's media type is asked before it was set.
constexpr HRESULT kNoMediaType = E_UNEXPECTED;

bool IsKnownStreamType(const GUID& type) {
  return type == WMMEDIATYPE_Audio || type == WMMEDIATYPE_Video || type == WMMEDIATYPE_Script;
}

bool IsValidStreamNumber(std::uint16_t number) {
  return number >= kMinStreamNumber && number <= kMaxStreamNumber;
}

// A stream a profile can hold: numbered and with a media type that fits.
bool IsComplete(const StreamData& stream) {
  return IsValidStreamNumber(stream.number) && stream.mediaType &&
         MediaTypeFits(stream.streamType, *stream.mediaType);
}

class StreamConfig final : public com::Object<IWMStreamConfig, IWMVideoMediaProps> {
 public:
  explicit StreamConfig(StreamData data) : data_(std::move(data)) {}

  // Only video streams have video properties.
  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (iid == IWMVideoMediaProps::kIid && data_.streamType != WMMEDIATYPE_Video) {
      if (object) *object = nullptr;
      return E_NOINTERFACE;
    }
    return Object::QueryInterface(iid, object);
  }

  HRESULT GetStreamType(GUID& type) override {
    type = data_.streamType;
    return S_OK;
  }
  HRESULT GetStreamNumber(std::uint16_t& number) override {
    number = data_.number;
    return S_OK;
  }
  HRESULT SetStreamNumber(std::uint16_t number) override {
    if (!IsValidStreamNumber(number)) return E_INVALIDARG;
    data_.number = number;
    return S_OK;
  }
  HRESULT GetStreamName(std::string& name) override {
    name = data_.name;
    return S_OK;
  }
  HRESULT SetStreamName(const std::string& name) override {
    data_.name = name;
    return S_OK;
  }
  HRESULT GetConnectionName(std::string& name) override {
    name = data_.connectionName;
    return S_OK;
  }
  HRESULT SetConnectionName(const std::string& name) override {
    data_.connectionName = name;
    return S_OK;
  }
  HRESULT GetBitrate(std::uint32_t& bitrate) override {
    bitrate = data_.bitrate;
    return S_OK;
  }
  HRESULT SetBitrate(std::uint32_t bitrate) override {
    data_.bitrate = bitrate;
    return S_OK;
  }
  HRESULT GetBufferWindow(std::uint32_t& milliseconds) override {
    milliseconds = data_.bufferWindow;
    return S_OK;
  }
  HRESULT SetBufferWindow(std::uint32_t milliseconds) override {
    data_.bufferWindow = milliseconds;
    return S_OK;
  }

  HRESULT GetType(GUID& type) override {
    if (!data_.mediaType) return kNoMediaType;
    type = data_.mediaType->majortype;
    return S_OK;
  }
  HRESULT GetMediaType(WM_MEDIA_TYPE* type, std::uint32_t& size) override {
    if (!data_.mediaType) return kNoMediaType;
    return data_.mediaType->WriteTo(type, size);
  }
  HRESULT SetMediaType(const WM_MEDIA_TYPE* type) override {
    if (!type) return E_POINTER;
    auto copy = MediaType::From(*type);
    if (!copy || !MediaTypeFits(data_.streamType, *copy)) return E_INVALIDARG;
    data_.mediaType = std::move(copy);
    return S_OK;
  }

  HRESULT GetMaxKeyFrameSpacing(std::int64_t& spacing) override {
    spacing = data_.maxKeyFrameSpacing;
    return S_OK;
  }
  HRESULT SetMaxKeyFrameSpacing(std::int64_t spacing) override {
    if (spacing < 0) return E_INVALIDARG;
    data_.maxKeyFrameSpacing = spacing;
    return S_OK;
  }
  HRESULT GetQuality(std::uint32_t& quality) override {
    quality = data_.quality;
    return S_OK;
  }
  HRESULT SetQuality(std::uint32_t quality) override {
    if (quality > 100) return E_INVALIDARG;
    data_.quality = quality;
    return S_OK;
  }

 private:
  StreamData data_;
};

class MutualExclusion final : public com::Object<IWMMutualExclusion> {
 public:
  explicit MutualExclusion(MutexData data) : data_(std::move(data)) {}

  HRESULT GetStreams(std::vector<std::uint16_t>& numbers) override {
    numbers = data_.streams;
    return S_OK;
  }
  HRESULT AddStream(std::uint16_t number) override {
    if (!IsValidStreamNumber(number) || Contains(number)) return E_INVALIDARG;
    data_.streams.push_back(number);
    return S_OK;
  }
  HRESULT RemoveStream(std::uint16_t number) override {
    if (!Contains(number)) return E_INVALIDARG;
    std::erase(data_.streams, number);
    return S_OK;
  }
  HRESULT GetType(GUID& type) override {
    type = data_.type;
    return S_OK;
  }
  HRESULT SetType(const GUID& type) override {
    data_.type = type;
    return S_OK;
  }

 private:
  bool Contains(std::uint16_t number) const {
    return std::ranges::find(data_.streams, number) != data_.streams.end();
  }
  MutexData data_;
};

class Profile final : public com::Object<IWMProfile> {
 public:
  explicit Profile(ProfileData data) : data_(std::move(data)) {}

  HRESULT GetVersion(WMT_VERSION& version) override {
    version = data_.version;
    return S_OK;
  }
  HRESULT GetName(std::string& name) override {
    name = data_.name;
    return S_OK;
  }
  HRESULT SetName(const std::string& name) override {
    data_.name = name;
    return S_OK;
  }
  HRESULT GetDescription(std::string& description) override {
    description = data_.description;
    return S_OK;
  }
  HRESULT SetDescription(const std::string& description) override {
    data_.description = description;
    return S_OK;
  }

  HRESULT GetStreamCount(std::uint32_t& count) override {
    count = static_cast<std::uint32_t>(data_.streams.size());
    return S_OK;
  }
  HRESULT GetStream(std::uint32_t index, ComPtr<IWMStreamConfig>& config) override {
    config.Reset();
    if (index >= data_.streams.size()) return E_INVALIDARG;
    config = MakeStreamConfig(data_.streams[index]);
    return S_OK;
  }
  HRESULT GetStreamByNumber(std::uint16_t number, ComPtr<IWMStreamConfig>& config) override {
    config.Reset();
    const auto it = FindStream(number);
    if (it == data_.streams.end()) return E_INVALIDARG;
    config = MakeStreamConfig(*it);
    return S_OK;
  }
  HRESULT RemoveStreamByNumber(std::uint16_t number) override {
    const auto it = FindStream(number);
    if (it == data_.streams.end()) return E_INVALIDARG;
    data_.streams.erase(it);
    for (MutexData& mutex : data_.mutexes) std::erase(mutex.streams, number);
    return S_OK;
  }
  HRESULT AddStream(IWMStreamConfig* config) override {
    if (!config) return E_POINTER;
    auto stream = ReadStream(*config);
    if (!stream || !IsComplete(*stream) || FindStream(stream->number) != data_.streams.end())
      return E_INVALIDARG;
    data_.streams.push_back(std::move(*stream));
    return S_OK;
  }
  HRESULT ReconfigStream(IWMStreamConfig* config) override {
    if (!config) return E_POINTER;
    auto stream = ReadStream(*config);
    if (!stream || !IsComplete(*stream)) return E_INVALIDARG;
    const auto it = FindStream(stream->number);
    if (it == data_.streams.end() || it->streamType != stream->streamType) return E_INVALIDARG;
    *it = std::move(*stream);
    return S_OK;
  }
  HRESULT CreateNewStream(const GUID& streamType, ComPtr<IWMStreamConfig>& config) override {
    config.Reset();
    if (!IsKnownStreamType(streamType)) return E_INVALIDARG;
    StreamData stream;
    stream.streamType = streamType;
    config = MakeStreamConfig(std::move(stream));
    return S_OK;
  }

  HRESULT GetMutualExclusionCount(std::uint32_t& count) override {
    count = static_cast<std::uint32_t>(data_.mutexes.size());
    return S_OK;
  }
  HRESULT GetMutualExclusion(std::uint32_t index, ComPtr<IWMMutualExclusion>& exclusion) override {
    exclusion.Reset();
    if (index >= data_.mutexes.size()) return E_INVALIDARG;
    exclusion = MakeMutualExclusion(data_.mutexes[index]);
    return S_OK;
  }
  HRESULT AddMutualExclusion(IWMMutualExclusion* exclusion) override {
    if (!exclusion) return E_POINTER;
    auto mutex = ReadMutualExclusion(*exclusion);
    if (!mutex || mutex->type == GUID_NULL) return E_INVALIDARG;
    for (std::uint16_t number : mutex->streams)
      if (FindStream(number) == data_.streams.end()) return E_INVALIDARG;
    data_.mutexes.push_back(std::move(*mutex));
    return S_OK;
  }
  HRESULT CreateNewMutualExclusion(ComPtr<IWMMutualExclusion>& exclusion) override {
    exclusion = MakeMutualExclusion({});
    return S_OK;
  }

 private:
  std::vector<StreamData>::iterator FindStream(std::uint16_t number) {
    return std::ranges::find(data_.streams, number, &StreamData::number);
  }
  ProfileData data_;
};

}  // namespace

ComPtr<IWMStreamConfig> MakeStreamConfig(StreamData data) {
  return MakeCom<StreamConfig>(std::move(data));
}

ComPtr<IWMMutualExclusion> MakeMutualExclusion(MutexData data) {
  return MakeCom<MutualExclusion>(std::move(data));
}

ComPtr<IWMProfile> MakeProfile(ProfileData data) { return MakeCom<Profile>(std::move(data)); }

HRESULT ReadMediaType(IWMMediaProps& props, MediaType& type) {
  std::uint32_t size = 0;
  if (const HRESULT hr = props.GetMediaType(nullptr, size); FAILED(hr)) return hr;
  if (size < sizeof(WM_MEDIA_TYPE)) return E_FAIL;
  try {
    // operator new[] gives storage aligned for the structure.
    auto buffer = std::make_unique<std::uint8_t[]>(size);
    auto* written = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.get());
    if (const HRESULT hr = props.GetMediaType(written, size); FAILED(hr)) return hr;
    // The format block must lie inside the buffer that was handed out.
    const auto start = reinterpret_cast<std::uintptr_t>(buffer.get());
    const auto block = reinterpret_cast<std::uintptr_t>(written->pbFormat);
    const bool inside = written->cbFormat == 0 || (block >= start && block <= start + size &&
                                                   written->cbFormat <= start + size - block);
    if (!inside) return E_FAIL;
    auto copy = MediaType::From(*written);
    if (!copy) return E_FAIL;
    type = std::move(*copy);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

std::optional<StreamData> ReadStream(IWMStreamConfig& config) {
  StreamData stream;
  if (FAILED(config.GetStreamType(stream.streamType)) ||
      FAILED(config.GetStreamNumber(stream.number)) || FAILED(config.GetStreamName(stream.name)) ||
      FAILED(config.GetConnectionName(stream.connectionName)) ||
      FAILED(config.GetBitrate(stream.bitrate)) ||
      FAILED(config.GetBufferWindow(stream.bufferWindow)))
    return std::nullopt;
  ComPtr<IWMStreamConfig> self = ComPtr<IWMStreamConfig>::Borrow(&config);
  ComPtr<IWMMediaProps> props;
  if (SUCCEEDED(self.As(props))) {
    MediaType type;
    if (SUCCEEDED(ReadMediaType(*props, type))) stream.mediaType = std::move(type);
  }
  ComPtr<IWMVideoMediaProps> video;
  if (SUCCEEDED(self.As(video))) {
    if (FAILED(video->GetQuality(stream.quality)) ||
        FAILED(video->GetMaxKeyFrameSpacing(stream.maxKeyFrameSpacing)))
      return std::nullopt;
  }
  return stream;
}

std::optional<MutexData> ReadMutualExclusion(IWMMutualExclusion& exclusion) {
  MutexData mutex;
  if (FAILED(exclusion.GetType(mutex.type)) || FAILED(exclusion.GetStreams(mutex.streams)))
    return std::nullopt;
  return mutex;
}

std::optional<ProfileData> ReadProfile(IWMProfile& profile) {
  ProfileData data;
  std::uint32_t streams = 0;
  std::uint32_t mutexes = 0;
  if (FAILED(profile.GetVersion(data.version)) || FAILED(profile.GetName(data.name)) ||
      FAILED(profile.GetDescription(data.description)) || FAILED(profile.GetStreamCount(streams)) ||
      FAILED(profile.GetMutualExclusionCount(mutexes)))
    return std::nullopt;
  for (std::uint32_t i = 0; i < streams; ++i) {
    ComPtr<IWMStreamConfig> config;
    if (FAILED(profile.GetStream(i, config)) || !config) return std::nullopt;
    auto stream = ReadStream(*config);
    if (!stream) return std::nullopt;
    data.streams.push_back(std::move(*stream));
  }
  for (std::uint32_t i = 0; i < mutexes; ++i) {
    ComPtr<IWMMutualExclusion> exclusion;
    if (FAILED(profile.GetMutualExclusion(i, exclusion)) || !exclusion) return std::nullopt;
    auto mutex = ReadMutualExclusion(*exclusion);
    if (!mutex) return std::nullopt;
    data.mutexes.push_back(std::move(*mutex));
  }
  return data;
}

}  // namespace wmf
