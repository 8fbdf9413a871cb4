#pragma once
// Plain data of the Windows Media profile runtime: media types and their
// format blocks, the identifiers of stream and format types, versions and
// the runtime's own result codes.

#include <cstdint>

#include "platform/com/format_blocks.h"
#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/com/unknown.h"

// A stream's media type. `pbFormat` points at `cbFormat` bytes of format
// block (a WAVEFORMATEX, VIDEOINFOHEADER or WMSCRIPTFORMAT).
struct WM_MEDIA_TYPE {
  GUID majortype;
  GUID subtype;
  bool bFixedSizeSamples = false;
  bool bTemporalCompression = false;
  std::uint32_t lSampleSize = 0;
  GUID formattype;
  IUnknown* pUnk = nullptr;  // never used here; kept for layout fidelity
  std::uint32_t cbFormat = 0;
  std::uint8_t* pbFormat = nullptr;
};

struct WMSCRIPTFORMAT {
  GUID scriptType;
};
static_assert(sizeof(WMSCRIPTFORMAT) == 16);

// The media subtype of a format tag or FOURCC: the base subtype with its
// first 32 bits replaced.
constexpr GUID kBaseMediaSubtype = GUID::Parse("{00000000-0000-0010-8000-00AA00389B71}");
constexpr GUID MediaSubtypeOf(std::uint32_t tagOrFourcc) {
  GUID g = kBaseMediaSubtype;
  g.Data1 = tagOrFourcc;
  return g;
}

constexpr GUID WMMEDIATYPE_Audio = GUID::Parse("{73647561-0000-0010-8000-00AA00389B71}");
constexpr GUID WMMEDIATYPE_Video = GUID::Parse("{73646976-0000-0010-8000-00AA00389B71}");
constexpr GUID WMMEDIATYPE_Script = GUID::Parse("{73636D64-0000-0010-8000-00AA00389B71}");
constexpr GUID WMFORMAT_WaveFormatEx = GUID::Parse("{05589F81-C356-11CE-BF01-00AA0055595A}");
constexpr GUID WMFORMAT_VideoInfo = GUID::Parse("{05589F80-C356-11CE-BF01-00AA0055595A}");
constexpr GUID WMFORMAT_Script = GUID::Parse("{5C8510F2-DEBE-4CA7-BBA5-F07A104F8DFF}");
constexpr GUID CLSID_WMMutex_Bitrate = GUID::Parse("{D6E22A01-35DA-11D1-9034-00A0C90349BE}");
constexpr GUID WMSCRIPTTYPE_TwoStrings = GUID::Parse("{82F38A70-C29F-11D1-97AD-00A0C95EA850}");

enum WMT_VERSION : std::uint32_t {
  WMT_VER_4_0 = 0x00040000,
  WMT_VER_7_0 = 0x00070000,
  WMT_VER_8_0 = 0x00080000,
  WMT_VER_9_0 = 0x00090000,
};

constexpr HRESULT NS_E_AUDIO_CODEC_NOT_INSTALLED = com_detail::Code(0xC00D0BC2u);
constexpr HRESULT NS_E_VIDEO_CODEC_NOT_INSTALLED = com_detail::Code(0xC00D0BC4u);
// A buffer given for a media type is smaller than the type needs.
constexpr HRESULT ASF_E_BUFFERTOOSMALL = com_detail::Code(0xC00D07D2u);
// Profile text that is not a valid profile (this runtime's own code).
constexpr HRESULT WM_E_INVALID_PROFILE_TEXT = com_detail::Code(0xC00D0BD8u);
