#pragma once
// Result codes of the media framework, with the values the Windows headers
// give them. AMGetErrorTextA (error_text.h) has a text for each code the
// stand-in returns.

#include "platform/com/hresult.h"

constexpr HRESULT VFW_S_NO_MORE_ITEMS = 0x00040103;
constexpr HRESULT VFW_S_DUPLICATE_NAME = 0x0004022D;
constexpr HRESULT VFW_S_PARTIAL_RENDER = 0x00040242;
constexpr HRESULT VFW_S_VIDEO_NOT_RENDERED = 0x00040257;
constexpr HRESULT VFW_S_AUDIO_NOT_RENDERED = 0x00040258;

constexpr HRESULT VFW_E_INVALIDMEDIATYPE = com_detail::Code(0x80040200u);
constexpr HRESULT VFW_E_ALREADY_CONNECTED = com_detail::Code(0x80040204u);
constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = com_detail::Code(0x80040207u);
constexpr HRESULT VFW_E_INVALID_DIRECTION = com_detail::Code(0x80040208u);
constexpr HRESULT VFW_E_NOT_CONNECTED = com_detail::Code(0x80040209u);
constexpr HRESULT VFW_E_NOT_FOUND = com_detail::Code(0x80040216u);
constexpr HRESULT VFW_E_CANNOT_CONNECT = com_detail::Code(0x80040217u);
constexpr HRESULT VFW_E_CANNOT_RENDER = com_detail::Code(0x80040218u);
constexpr HRESULT VFW_E_NOT_STOPPED = com_detail::Code(0x80040224u);
constexpr HRESULT VFW_E_WRONG_STATE = com_detail::Code(0x80040227u);
constexpr HRESULT VFW_E_DUPLICATE_NAME = com_detail::Code(0x8004022Du);
constexpr HRESULT VFW_E_TIMEOUT = com_detail::Code(0x8004022Eu);
constexpr HRESULT VFW_E_INVALID_FILE_FORMAT = com_detail::Code(0x8004022Fu);
constexpr HRESULT VFW_E_UNKNOWN_FILE_TYPE = com_detail::Code(0x80040240u);
constexpr HRESULT VFW_E_CANNOT_LOAD_SOURCE_FILTER = com_detail::Code(0x80040241u);
constexpr HRESULT VFW_E_FILE_TOO_SHORT = com_detail::Code(0x80040243u);
constexpr HRESULT VFW_E_MEDIA_TIME_NOT_SET = com_detail::Code(0x80040251u);
constexpr HRESULT VFW_E_NOT_IN_GRAPH = com_detail::Code(0x8004025Fu);
constexpr HRESULT VFW_E_UNSUPPORTED_STREAM = com_detail::Code(0x80040265u);

// Windows error 2 (the file was not found) as a result code.
constexpr HRESULT HRESULT_FILE_NOT_FOUND = com_detail::Code(0x80070002u);
// Windows error 206 (the file name is too long) as a result code.
constexpr HRESULT HRESULT_FILENAME_TOO_LONG = com_detail::Code(0x800700CEu);
