#pragma once
// Interfaces of the Windows Media profile runtime: the profile manager, the
// codec information it offers, profiles, their stream configurations with
// media properties, and mutual exclusions.
//
// Names are UTF-8. An interface result is handed out through a ComPtr that
// then holds the one reference the caller owns.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/wmf/wm_types.h"

struct IWMMediaProps : IUnknown {
  static constexpr IID kIid = GUID::Parse("{96406BCE-2B2B-11D3-B36B-00C04F6108FF}");
  virtual HRESULT GetType(GUID& type) = 0;
  // With a null `type`, `size` receives the bytes needed: the structure plus
  // its format block. With a buffer of at least `size` bytes the type is
  // written there and its pbFormat points inside the same buffer.
  virtual HRESULT GetMediaType(WM_MEDIA_TYPE* type, std::uint32_t& size) = 0;
  virtual HRESULT SetMediaType(const WM_MEDIA_TYPE* type) = 0;
};

struct IWMVideoMediaProps : IWMMediaProps {
  using Base = IWMMediaProps;
  static constexpr IID kIid = GUID::Parse("{96406BCF-2B2B-11D3-B36B-00C04F6108FF}");
  // Largest distance between key frames, 100-nanosecond units.
  virtual HRESULT GetMaxKeyFrameSpacing(std::int64_t& spacing) = 0;
  virtual HRESULT SetMaxKeyFrameSpacing(std::int64_t spacing) = 0;
  virtual HRESULT GetQuality(std::uint32_t& quality) = 0;
  virtual HRESULT SetQuality(std::uint32_t quality) = 0;
};

struct IWMStreamConfig : IUnknown {
  static constexpr IID kIid = GUID::Parse("{96406BDC-2B2B-11D3-B36B-00C04F6108FF}");
  virtual HRESULT GetStreamType(GUID& type) = 0;
  virtual HRESULT GetStreamNumber(std::uint16_t& number) = 0;
  // Stream numbers run from 1 to 127.
  virtual HRESULT SetStreamNumber(std::uint16_t number) = 0;
  virtual HRESULT GetStreamName(std::string& name) = 0;
  virtual HRESULT SetStreamName(const std::string& name) = 0;
  virtual HRESULT GetConnectionName(std::string& name) = 0;
  virtual HRESULT SetConnectionName(const std::string& name) = 0;
  virtual HRESULT GetBitrate(std::uint32_t& bitrate) = 0;
  virtual HRESULT SetBitrate(std::uint32_t bitrate) = 0;
  // Milliseconds of data the decoder buffers.
  virtual HRESULT GetBufferWindow(std::uint32_t& milliseconds) = 0;
  virtual HRESULT SetBufferWindow(std::uint32_t milliseconds) = 0;
};

struct IWMStreamList : IUnknown {
  static constexpr IID kIid = GUID::Parse("{96406BDD-2B2B-11D3-B36B-00C04F6108FF}");
  virtual HRESULT GetStreams(std::vector<std::uint16_t>& numbers) = 0;
  virtual HRESULT AddStream(std::uint16_t number) = 0;
  virtual HRESULT RemoveStream(std::uint16_t number) = 0;
};

struct IWMMutualExclusion : IWMStreamList {
  using Base = IWMStreamList;
  static constexpr IID kIid = GUID::Parse("{96406BDE-2B2B-11D3-B36B-00C04F6108FF}");
  virtual HRESULT GetType(GUID& type) = 0;
  virtual HRESULT SetType(const GUID& type) = 0;
};

struct IWMProfile : IUnknown {
  static constexpr IID kIid = GUID::Parse("{96406BDB-2B2B-11D3-B36B-00C04F6108FF}");
  virtual HRESULT GetVersion(WMT_VERSION& version) = 0;
  virtual HRESULT GetName(std::string& name) = 0;
  virtual HRESULT SetName(const std::string& name) = 0;
  virtual HRESULT GetDescription(std::string& description) = 0;
  virtual HRESULT SetDescription(const std::string& description) = 0;

  virtual HRESULT GetStreamCount(std::uint32_t& count) = 0;
  // A copy of the stream's configuration; edits reach the profile only
  // through ReconfigStream.
  virtual HRESULT GetStream(std::uint32_t index, ComPtr<IWMStreamConfig>& config) = 0;
  virtual HRESULT GetStreamByNumber(std::uint16_t number, ComPtr<IWMStreamConfig>& config) = 0;
  virtual HRESULT RemoveStreamByNumber(std::uint16_t number) = 0;
  // Adds a copy of the configuration; its stream number must be set and
  // not yet used, and its media type must be set.
  virtual HRESULT AddStream(IWMStreamConfig* config) = 0;
  virtual HRESULT ReconfigStream(IWMStreamConfig* config) = 0;
  virtual HRESULT CreateNewStream(const GUID& streamType, ComPtr<IWMStreamConfig>& config) = 0;

  virtual HRESULT GetMutualExclusionCount(std::uint32_t& count) = 0;
  virtual HRESULT GetMutualExclusion(std::uint32_t index,
                                     ComPtr<IWMMutualExclusion>& exclusion) = 0;
  virtual HRESULT AddMutualExclusion(IWMMutualExclusion* exclusion) = 0;
  virtual HRESULT CreateNewMutualExclusion(ComPtr<IWMMutualExclusion>& exclusion) = 0;
};

struct IWMCodecInfo : IUnknown {
  static constexpr IID kIid = GUID::Parse("{A970F41E-34DE-4A98-B3BA-E4B3CA7528F0}");
  virtual HRESULT GetCodecInfoCount(const GUID& mediaType, std::uint32_t& codecs) = 0;
  virtual HRESULT GetCodecFormatCount(const GUID& mediaType, std::uint32_t codec,
                                      std::uint32_t& formats) = 0;
  // A new stream configuration holding the predefined format.
  virtual HRESULT GetCodecFormat(const GUID& mediaType, std::uint32_t codec, std::uint32_t format,
                                 ComPtr<IWMStreamConfig>& config) = 0;
};

struct IWMProfileManager : IUnknown {
  static constexpr IID kIid = GUID::Parse("{D16679F2-6CA0-472D-8D31-2F5D55AEE155}");
  virtual HRESULT CreateEmptyProfile(WMT_VERSION version, ComPtr<IWMProfile>& profile) = 0;
  // Fails with WM_E_INVALID_PROFILE_TEXT when the text is no valid profile.
  virtual HRESULT LoadProfileByData(const std::string& text, ComPtr<IWMProfile>& profile) = 0;
  // The profile as text that LoadProfileByData reads back.
  virtual HRESULT SaveProfile(IWMProfile* profile, std::string& text) = 0;
};

// Creates a profile manager; it also answers IWMCodecInfo for the codec
// catalogue in force (see codec_catalogue.h).
HRESULT WMCreateProfileManager(ComPtr<IWMProfileManager>& manager);
