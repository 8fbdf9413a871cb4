#pragma once
// The video codec manager: installed video codecs enumerated by index,
// opened by type and handler, asked and configured through messages, and
// closed. Here the codecs are the video encoders of the compressor catalogue,
// in the same order and with the same descriptions; a codec's state is the
// block of its settings.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ui {
class Dialog;
}

namespace vfw {

using DWORD = std::uint32_t;
using LRESULT = std::intptr_t;
using UINT = std::uint32_t;

constexpr DWORD mmioFOURCC(char a, char b, char c, char d) {
  return static_cast<DWORD>(static_cast<unsigned char>(a)) |
         static_cast<DWORD>(static_cast<unsigned char>(b)) << 8 |
         static_cast<DWORD>(static_cast<unsigned char>(c)) << 16 |
         static_cast<DWORD>(static_cast<unsigned char>(d)) << 24;
}

constexpr DWORD ICTYPE_VIDEO = mmioFOURCC('v', 'i', 'd', 'c');

constexpr UINT ICMODE_COMPRESS = 1;
constexpr UINT ICMODE_DECOMPRESS = 2;
constexpr UINT ICMODE_QUERY = 4;

constexpr UINT ICM_USER = 0x4000;
constexpr UINT ICM_RESERVED = 0x5000;
constexpr UINT ICM_GETSTATE = ICM_RESERVED + 0;
constexpr UINT ICM_SETSTATE = ICM_RESERVED + 1;
constexpr UINT ICM_GETINFO = ICM_RESERVED + 2;
constexpr UINT ICM_CONFIGURE = ICM_RESERVED + 10;
constexpr UINT ICM_COMPRESS_QUERY = ICM_USER + 6;

constexpr LRESULT ICERR_OK = 0;
constexpr LRESULT ICERR_UNSUPPORTED = -1;
constexpr LRESULT ICERR_BADFORMAT = -2;
constexpr LRESULT ICERR_MEMORY = -3;
constexpr LRESULT ICERR_INTERNAL = -4;
constexpr LRESULT ICERR_BADPARAM = -6;
constexpr LRESULT ICERR_BADSIZE = -7;
constexpr LRESULT ICERR_BADHANDLE = -8;
constexpr LRESULT ICERR_ABORT = -10;

// ICM_CONFIGURE with this as the parent only asks whether a dialog exists.
constexpr std::uintptr_t ICQUERYCONFIGURE = static_cast<std::uintptr_t>(-1);

constexpr DWORD BI_RGB = 0;

struct BITMAPINFOHEADER {
  DWORD biSize = sizeof(BITMAPINFOHEADER);
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 0;
  std::uint16_t biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

constexpr DWORD VIDCF_QUALITY = 0x0001;
constexpr DWORD VIDCF_TEMPORAL = 0x0004;
constexpr DWORD ICVERSION = 0x0104;

// A codec's description record. The texts are UTF-8 and not cut.
struct ICINFO {
  DWORD dwSize = sizeof(ICINFO);
  DWORD fccType = 0;
  DWORD fccHandler = 0;
  DWORD dwFlags = 0;
  DWORD dwVersion = 0;
  DWORD dwVersionICM = 0;
  std::string szName;         // the codec's short name (the encoder's factory name)
  std::string szDescription;  // what the user reads (the compressor's friendly name)
  std::string szDriver;       // where the codec comes from
};

// An open codec; null when none could be opened.
struct Codec;
using HIC = Codec*;

// True while a codec of that type exists at `index` (0, 1, 2 ...); fills
// its type and handler (and its texts).
bool ICInfo(DWORD fccType, DWORD index, ICINFO* info);
// Opens the codec of that type and handler; null when there is none or it
// cannot be opened in that mode (only compression is offered).
HIC ICOpen(DWORD fccType, DWORD fccHandler, UINT mode);
// Copies the codec's record into `info` when `size` holds one; returns the
// bytes copied (0 for a bad handle or a short record).
LRESULT ICGetInfo(HIC codec, ICINFO* info, std::size_t size);
// ICM_COMPRESS_QUERY: dw1 the input BITMAPINFOHEADER*, dw2 the output
//   format (must be null: only the input is judged) -> ICERR_OK or
//   ICERR_BADFORMAT.
// ICM_GETSTATE: dw1 null -> the size of the state in bytes (0 when the codec
//   has none); dw1 a buffer of dw2 bytes -> ICERR_OK with the state written
//   (the rest of the buffer zeroed), ICERR_BADSIZE when it is too small.
// ICM_SETSTATE: dw1 a state of dw2 bytes -> the bytes taken, or 0 when the
//   block is not this codec's state or is damaged (the codec stays as it was).
// ICM_CONFIGURE: dw1 the parent ui::Dialog* (or 0) -> ICERR_OK when the user
//   confirmed the codec's dialog, ICERR_ABORT when cancelled; with
//   ICQUERYCONFIGURE -> ICERR_OK when the codec has a dialog at all.
//   A confirmed configuration becomes the codec's own setting for the rest
//   of the process: codecs opened and encoders made afterwards start from it.
LRESULT ICSendMessage(HIC codec, UINT message, std::uintptr_t dw1, std::uintptr_t dw2);
// Closes the codec; ICERR_BADHANDLE for a handle that is not open.
LRESULT ICClose(HIC codec);

// The message forms with their argument types.
LRESULT ICCompressQuery(HIC codec, const BITMAPINFOHEADER* input, const BITMAPINFOHEADER* output);
LRESULT ICGetStateSize(HIC codec);
LRESULT ICGetState(HIC codec, void* state, std::size_t size);
LRESULT ICSetState(HIC codec, const void* state, std::size_t size);
LRESULT ICConfigure(HIC codec, ui::Dialog* parent);
bool ICQueryConfigure(HIC codec);

// Closes its codec when it goes.
struct CodecCloser {
  void operator()(Codec* codec) const { ICClose(codec); }
};
using CodecHandle = std::unique_ptr<Codec, CodecCloser>;

inline CodecHandle OpenCodec(DWORD fccType, DWORD fccHandler, UINT mode) {
  return CodecHandle(ICOpen(fccType, fccHandler, mode));
}

}  // namespace vfw
