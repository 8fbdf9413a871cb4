#pragma once
// Class, media-type, format and category identifiers of the media framework,
// with the values the Windows headers give them.

#include "platform/com/guid.h"

// Objects the system creates.
constexpr CLSID CLSID_FilterGraph = GUID::Parse("{E436EBB3-524F-11CE-9F53-0020AF0BA770}");
constexpr CLSID CLSID_CaptureGraphBuilder2 = GUID::Parse("{BF87B6E1-8C27-11D0-B3F0-00AA003761C5}");
constexpr CLSID CLSID_SystemDeviceEnum = GUID::Parse("{62BE5D10-60EB-11D0-BD3B-00A0C911CE86}");

// Device categories of the system device enumerator.
constexpr CLSID CLSID_VideoCompressorCategory =
    GUID::Parse("{33D9A760-90C8-11D0-BD43-00A0C911CE86}");
constexpr CLSID CLSID_AudioCompressorCategory =
    GUID::Parse("{33D9A761-90C8-11D0-BD43-00A0C911CE86}");

// Output types given to the capture graph builder.
constexpr GUID MEDIASUBTYPE_Avi = GUID::Parse("{E436EB88-524F-11CE-9F53-0020AF0BA770}");
constexpr CLSID CLSID_WMAsfWriter = GUID::Parse("{7C23220E-55BB-11D3-8B16-00C04FB6BD3D}");
constexpr CLSID CLSID_MatroskaMuxer = GUID::Parse("{A28F324B-DDC5-4999-AA25-D3A7E25EF7A8}");
constexpr CLSID CLSID_DsmMuxer = GUID::Parse("{C6590B76-587E-4082-9125-680D0693A97B}");

// Major types and subtypes of the media types pins carry.
constexpr GUID MEDIATYPE_Video = GUID::Parse("{73646976-0000-0010-8000-00AA00389B71}");
constexpr GUID MEDIATYPE_Audio = GUID::Parse("{73647561-0000-0010-8000-00AA00389B71}");
constexpr GUID MEDIASUBTYPE_PCM = GUID::Parse("{00000001-0000-0010-8000-00AA00389B71}");

// Kinds of format block.
constexpr GUID FORMAT_None = GUID::Parse("{0F6417D6-C318-11D0-A43F-00A0C9223196}");
constexpr GUID FORMAT_VideoInfo = GUID::Parse("{05589F80-C356-11CE-BF01-00AA0055595A}");
constexpr GUID FORMAT_WaveFormatEx = GUID::Parse("{05589F81-C356-11CE-BF01-00AA0055595A}");
