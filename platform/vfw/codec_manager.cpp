// The codec manager's calls over the installed codecs: handles, handlers,
// messages.

#include <map>
#include <mutex>
#include <set>
#include <span>
#include <utility>

#include "platform/ui/modal_ui.h"
#include "platform/vfw/codec_driver.h"
#include "platform/vfw/codec_state.h"
#include "platform/vfw/kept_configuration.h"
#include "platform/vfw/vfw.h"

namespace vfw {

struct Codec {
  ICINFO info;
  std::unique_ptr<CodecInstance> instance;
};

namespace {

struct Manager {
  std::mutex mutex;
  CodecSource source;
  std::map<std::string, DWORD> handlers;  // codec name -> handler, for the process
  std::set<Codec*> open;
};

Manager& TheManager() {
  static Manager manager;
  return manager;
}

// A codec's handler stays the same for the life of the process.
DWORD HandlerOf(const std::string& codecName) {
  Manager& manager = TheManager();
  std::lock_guard lock(manager.mutex);
  const auto [it, added] =
      manager.handlers.emplace(codecName, static_cast<DWORD>(manager.handlers.size() + 1));
  return it->second;
}

ICINFO InfoOf(const CodecDriver& codec) {
  ICINFO info;
  info.fccType = ICTYPE_VIDEO;
  info.fccHandler = HandlerOf(codec.name);
  info.dwFlags = VIDCF_QUALITY | VIDCF_TEMPORAL;
  info.dwVersion = 1;
  info.dwVersionICM = ICVERSION;
  info.szName = codec.name;
  info.szDescription = codec.description;
  info.szDriver = codec.driver;
  return info;
}

bool IsOpen(HIC codec) {
  Manager& manager = TheManager();
  std::lock_guard lock(manager.mutex);
  return codec && manager.open.count(codec) != 0;
}

LRESULT CompressQuery(Codec& codec, std::uintptr_t input, std::uintptr_t output) {
  if (!input) return ICERR_BADPARAM;
  if (output) return ICERR_BADFORMAT;
  const auto& header = *reinterpret_cast<const BITMAPINFOHEADER*>(input);
  if (header.biSize < sizeof(BITMAPINFOHEADER)) return ICERR_BADFORMAT;
  return codec.instance->CanCompress(header) ? ICERR_OK : ICERR_BADFORMAT;
}

LRESULT GetState(Codec& codec, std::uintptr_t buffer, std::uintptr_t size) {
  property::PropertySet& settings = codec.instance->Settings();
  if (!buffer) return static_cast<LRESULT>(StateSize(codec.info.szName, settings));
  const std::span<std::uint8_t> block(reinterpret_cast<std::uint8_t*>(buffer), size);
  return WriteState(codec.info.szName, settings, block) ? ICERR_OK : ICERR_BADSIZE;
}

LRESULT SetState(Codec& codec, std::uintptr_t buffer, std::uintptr_t size) {
  if (!buffer) return 0;
  const std::span<const std::uint8_t> block(reinterpret_cast<const std::uint8_t*>(buffer), size);
  return ReadState(codec.info.szName, codec.instance->Settings(), block)
             ? static_cast<LRESULT>(size)
             : 0;
}

// The codec's own dialog is the property editor over its settings.
LRESULT Configure(Codec& codec, std::uintptr_t parent) {
  property::PropertySet& settings = codec.instance->Settings();
  if (settings.Describe().empty()) return ICERR_UNSUPPORTED;
  if (parent == ICQUERYCONFIGURE) return ICERR_OK;
  StateBoundSettings bounded(settings);
  if (!ui::Modal().EditProperties(reinterpret_cast<ui::Dialog*>(parent), codec.info.szDescription,
                                  bounded))
    return ICERR_ABORT;
  KeepConfiguration(codec.info.szName, SaveState(codec.info.szName, settings));
  return ICERR_OK;
}

}  // namespace

std::vector<CodecDriver> InstalledVideoCodecs() {
  CodecSource source;
  {
    Manager& manager = TheManager();
    std::lock_guard lock(manager.mutex);
    source = manager.source;
  }
  return source ? source() : EncoderCodecs();
}

CodecSource SetCodecSource(CodecSource source) {
  Manager& manager = TheManager();
  std::lock_guard lock(manager.mutex);
  return std::exchange(manager.source, std::move(source));
}

bool ICInfo(DWORD fccType, DWORD index, ICINFO* info) {
  if (!info || fccType != ICTYPE_VIDEO) return false;
  const auto codecs = InstalledVideoCodecs();
  if (index >= codecs.size()) return false;
  *info = InfoOf(codecs[index]);
  return true;
}

HIC ICOpen(DWORD fccType, DWORD fccHandler, UINT mode) {
  if (fccType != ICTYPE_VIDEO || (mode != ICMODE_COMPRESS && mode != ICMODE_QUERY)) return nullptr;
  for (const CodecDriver& driver : InstalledVideoCodecs()) {
    if (HandlerOf(driver.name) != fccHandler) continue;
    auto instance = driver.open ? driver.open() : nullptr;
    if (!instance) return nullptr;
    // A codec starts from the configuration it keeps.
    ApplyKeptConfiguration(driver.name, instance->Settings());
    auto codec = std::make_unique<Codec>(Codec{InfoOf(driver), std::move(instance)});
    Manager& manager = TheManager();
    std::lock_guard lock(manager.mutex);
    manager.open.insert(codec.get());
    return codec.release();
  }
  return nullptr;
}

LRESULT ICGetInfo(HIC codec, ICINFO* info, std::size_t size) {
  if (!IsOpen(codec) || !info || size < sizeof(ICINFO)) return 0;
  *info = codec->info;
  return static_cast<LRESULT>(sizeof(ICINFO));
}

LRESULT ICSendMessage(HIC codec, UINT message, std::uintptr_t dw1, std::uintptr_t dw2) {
  if (!IsOpen(codec)) return ICERR_BADHANDLE;
  switch (message) {
    case ICM_COMPRESS_QUERY:
      return CompressQuery(*codec, dw1, dw2);
    case ICM_GETSTATE:
      return GetState(*codec, dw1, dw2);
    case ICM_SETSTATE:
      return SetState(*codec, dw1, dw2);
    case ICM_GETINFO:
      return ICGetInfo(codec, reinterpret_cast<ICINFO*>(dw1), static_cast<std::size_t>(dw2));
    case ICM_CONFIGURE:
      return Configure(*codec, dw1);
    default:
      return ICERR_UNSUPPORTED;
  }
}

LRESULT ICClose(HIC codec) {
  {
    Manager& manager = TheManager();
    std::lock_guard lock(manager.mutex);
    if (!codec || manager.open.erase(codec) == 0) return ICERR_BADHANDLE;
  }
  delete codec;
  return ICERR_OK;
}

LRESULT ICCompressQuery(HIC codec, const BITMAPINFOHEADER* input, const BITMAPINFOHEADER* output) {
  return ICSendMessage(codec, ICM_COMPRESS_QUERY, reinterpret_cast<std::uintptr_t>(input),
                       reinterpret_cast<std::uintptr_t>(output));
}

LRESULT ICGetStateSize(HIC codec) { return ICSendMessage(codec, ICM_GETSTATE, 0, 0); }

LRESULT ICGetState(HIC codec, void* state, std::size_t size) {
  return ICSendMessage(codec, ICM_GETSTATE, reinterpret_cast<std::uintptr_t>(state), size);
}

LRESULT ICSetState(HIC codec, const void* state, std::size_t size) {
  return ICSendMessage(codec, ICM_SETSTATE, reinterpret_cast<std::uintptr_t>(state), size);
}

LRESULT ICConfigure(HIC codec, ui::Dialog* parent) {
  return ICSendMessage(codec, ICM_CONFIGURE, reinterpret_cast<std::uintptr_t>(parent), 0);
}

bool ICQueryConfigure(HIC codec) {
  return ICSendMessage(codec, ICM_CONFIGURE, ICQUERYCONFIGURE, 0) == ICERR_OK;
}

}  // namespace vfw
