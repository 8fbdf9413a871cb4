// The profile manager: empty profiles, profiles from and to text, and the
// codec information of the catalogue in force when it was created.

#include "platform/wmf/codec_catalogue.h"
#include "platform/wmf/profile_objects.h"
#include "platform/wmf/profile_text.h"
#include "platform/wmf/wm_interfaces.h"

namespace wmf {

namespace {

class ProfileManager final : public com::Object<IWMProfileManager, IWMCodecInfo> {
 public:
  explicit ProfileManager(std::shared_ptr<const CodecCatalogue> catalogue)
      : catalogue_(std::move(catalogue)) {}

  HRESULT CreateEmptyProfile(WMT_VERSION version, ComPtr<IWMProfile>& profile) override {
    profile.Reset();
    if (!IsKnownVersion(version)) return E_INVALIDARG;
    profile = MakeProfile(ProfileData{version, {}, {}, {}, {}});
    return S_OK;
  }

  HRESULT LoadProfileByData(const std::string& text, ComPtr<IWMProfile>& profile) override {
    profile.Reset();
    auto data = ProfileFromText(text);
    if (!data) return WM_E_INVALID_PROFILE_TEXT;
    // The streams go in through the profile itself, so text is held to the
    // same rules as streams added by hand.
    auto loaded = MakeProfile(ProfileData{data->version, data->name, data->description, {}, {}});
    for (StreamData& stream : data->streams)
      if (FAILED(loaded->AddStream(MakeStreamConfig(std::move(stream)).Get())))
        return WM_E_INVALID_PROFILE_TEXT;
    for (MutexData& mutex : data->mutexes)
      if (FAILED(loaded->AddMutualExclusion(MakeMutualExclusion(std::move(mutex)).Get())))
        return WM_E_INVALID_PROFILE_TEXT;
    profile = std::move(loaded);
    return S_OK;
  }

  HRESULT SaveProfile(IWMProfile* profile, std::string& text) override {
    if (!profile) return E_POINTER;
    const auto data = ReadProfile(*profile);
    if (!data) return E_FAIL;
    text = ProfileToText(*data);
    return S_OK;
  }

  HRESULT GetCodecInfoCount(const GUID& mediaType, std::uint32_t& codecs) override {
    codecs = static_cast<std::uint32_t>(CodecsOf(mediaType).size());
    return S_OK;
  }

  HRESULT GetCodecFormatCount(const GUID& mediaType, std::uint32_t codec,
                              std::uint32_t& formats) override {
    const auto codecs = CodecsOf(mediaType);
    if (codec >= codecs.size()) return E_INVALIDARG;
    formats = static_cast<std::uint32_t>(codecs[codec]->formats.size());
    return S_OK;
  }

  HRESULT GetCodecFormat(const GUID& mediaType, std::uint32_t codec, std::uint32_t format,
                         ComPtr<IWMStreamConfig>& config) override {
    config.Reset();
    const auto codecs = CodecsOf(mediaType);
    if (codec >= codecs.size() || format >= codecs[codec]->formats.size()) return E_INVALIDARG;
    StreamData stream = codecs[codec]->formats[format];
    stream.streamType = mediaType;
    config = MakeStreamConfig(std::move(stream));
    return S_OK;
  }

 private:
  std::vector<const Codec*> CodecsOf(const GUID& mediaType) const {
    std::vector<const Codec*> codecs;
    for (const Codec& codec : *catalogue_)
      if (codec.mediaType == mediaType) codecs.push_back(&codec);
    return codecs;
  }

  std::shared_ptr<const CodecCatalogue> catalogue_;
};

}  // namespace

}  // namespace wmf

HRESULT WMCreateProfileManager(ComPtr<IWMProfileManager>& manager) {
  manager = MakeCom<wmf::ProfileManager>(wmf::CurrentCodecCatalogue());
  return S_OK;
}
